#pragma once
// The printer geometry of one page's paper on the current printer: paper size, printable-area
// offsets and printable size, each in printer pixels (Dev…) and in report units (Unit…, 93/1.015
// per inch). Every template page and every prepared page holds one; the printer model fills it.
// Twelve signed 32-bit values in this order, which is also their order in files.
#include <QtGlobal>

namespace vaskel {

struct TfrPageMetrics {
    qint32 DevPaperWidth = 0;
    qint32 DevPaperHeight = 0;
    qint32 UnitPaperWidth = 0;
    qint32 UnitPaperHeight = 0;
    qint32 DevOffsetX = 0;
    qint32 DevOffsetY = 0;
    qint32 UnitOffsetX = 0;
    qint32 UnitOffsetY = 0;
    qint32 DevPrintWidth = 0;
    qint32 DevPrintHeight = 0;
    qint32 UnitPrintWidth = 0;
    qint32 UnitPrintHeight = 0;

    friend bool operator==(const TfrPageMetrics&, const TfrPageMetrics&) = default;
};

} // namespace vaskel
