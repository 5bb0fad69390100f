#include "report/engine/PageTarget.h"

#include "platform/Rounding.h"
#include "report/engine/TfrEMFPages.h"

namespace vaskel::PageTarget {

namespace {

// round(units × pixels / unitsSpan), the product in integers.
int scaled(qint32 units, qint32 pixels, qint32 unitsSpan)
{
    if (unitsSpan == 0)
        return 0;
    return roundToInt(static_cast<double>(static_cast<qint64>(units) * pixels) / unitsSpan);
}

} // namespace

QRect onPrinter(const TfrPreparedPage& page, const TfrPageMetrics& m)
{
    if (page.MarginsFlag) {
        return QRect(QPoint(-m.DevOffsetX, -m.DevOffsetY),
            QPoint(m.DevPaperWidth - m.DevOffsetX - 1, m.DevPaperHeight - m.DevOffsetY - 1));
    }
    const int left = scaled(page.Margins[0], m.DevPrintWidth, m.UnitPrintWidth);
    const int top = scaled(page.Margins[1], m.DevPrintHeight, m.UnitPrintHeight);
    const int right = m.DevPrintWidth - scaled(page.Margins[2], m.DevPrintWidth, m.UnitPrintWidth);
    const int bottom = m.DevPrintHeight - scaled(page.Margins[3], m.DevPrintHeight, m.UnitPrintHeight);
    // Right and bottom are exclusive edges.
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect onSheet(const TfrPreparedPage& page, QSize sheet)
{
    const TfrPageMetrics& units = page.Metrics;
    if (units.UnitPaperWidth <= 0 || units.UnitPaperHeight <= 0 || units.UnitPrintWidth <= 0
        || units.UnitPrintHeight <= 0)
        return QRect(QPoint(0, 0), sheet);
    const double sx = double(sheet.width()) / units.UnitPaperWidth;
    const double sy = double(sheet.height()) / units.UnitPaperHeight;
    TfrPageMetrics m = units;
    m.DevPaperWidth = sheet.width();
    m.DevPaperHeight = sheet.height();
    m.DevOffsetX = roundToInt(units.UnitOffsetX * sx);
    m.DevOffsetY = roundToInt(units.UnitOffsetY * sy);
    m.DevPrintWidth = roundToInt(units.UnitPrintWidth * sx);
    m.DevPrintHeight = roundToInt(units.UnitPrintHeight * sy);
    return onPrinter(page, m).translated(m.DevOffsetX, m.DevOffsetY);
}

} // namespace vaskel::PageTarget
