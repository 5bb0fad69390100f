#pragma once
// The engine's one float-to-integer conversion: round to nearest, ties to even. Positions in report
// units, pixels and paper sizes all go through it so that screen, printer and files agree.
#include <QtGlobal>

#include <cmath>
#include <limits>

namespace vaskel {

inline qint64 roundToInt64(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<qint64>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<qint64>::max());
    if (v <= lo)
        return std::numeric_limits<qint64>::min();
    if (v >= hi)
        return std::numeric_limits<qint64>::max();
    // nearbyint uses the current rounding mode, which is never changed from to-nearest-even here.
    return static_cast<qint64>(std::nearbyint(v));
}

// Clamped to the 32-bit range that report geometry is stored in.
inline qint32 roundToInt(double v)
{
    const qint64 r = roundToInt64(v);
    if (r < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (r > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(r);
}

} // namespace vaskel
