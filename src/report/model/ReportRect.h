#pragma once
// A rectangle in the window-system form the drawing algorithms are written in: left, top, right,
// bottom, where right and bottom lie one past the last unit. Units depend on the use (report units
// for layout, device pixels for `DrawRect`).
#include <QRect>
#include <QtGlobal>

namespace vaskel {

struct ReportRect {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;

    qint32 width() const { return Right - Left; }
    qint32 height() const { return Bottom - Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    bool operator==(const ReportRect&) const = default;
};

} // namespace vaskel
