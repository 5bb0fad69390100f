#pragma once
// Raised when a stream names an add-in view class that is not registered. The message is the
// accumulated list of missing class names, each followed by a carriage return, as kept in the run
// state's `ErrorText`.
#include "platform/PlatformError.h"

namespace vaskel {

class EClassNotFound : public VaskelError {
public:
    using VaskelError::VaskelError;
};

} // namespace vaskel
