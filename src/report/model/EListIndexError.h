#pragma once
// A line number outside a text list in a script's list method ("List index out of bounds (5)").
// It reaches the script's caller like any other script error.
#include "platform/PlatformError.h"

namespace vaskel {

class EListIndexError : public VaskelError {
public:
    explicit EListIndexError(qint64 index)
        : VaskelError(QStringLiteral("List index out of bounds (%1)").arg(index))
    {
    }
};

} // namespace vaskel
