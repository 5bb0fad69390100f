#pragma once
// A template or prepared-page stream that cannot be read: a read past the end, a length or
// position that points outside the stream, an unknown record byte. The message is what a person
// sees; the detail names the byte offset for a developer. Readers catch it where the format says a
// bad object is skipped; anywhere else it ends the read with "Unsupported FRF format".
#include "platform/PlatformError.h"

namespace vaskel {

class EStreamError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

} // namespace vaskel
