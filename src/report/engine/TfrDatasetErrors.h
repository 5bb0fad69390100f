#pragma once
// The failures of the database layer and of report datasets. Each carries the user's message;
// they end a report run unless raised inside a guarded step, and window handlers show them in
// the standard error box.
#include "platform/PlatformError.h"

namespace vaskel {

// A database dataset failed: a rejected statement, a missing field, no connection. The message is
// the driver's or the data layer's own.
class EDatabaseError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// A report dataset has nothing to walk: "Unable to open dataset " and its name.
class EDSError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// A band's data source names a component that is not a report dataset.
class EDatasetInvalidCast : public VaskelError {
public:
    using VaskelError::VaskelError;
};

} // namespace vaskel
