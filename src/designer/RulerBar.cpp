#include "designer/RulerBar.h"

#include "report/model/TfrPrinter.h"

#include <QPainter>

namespace vaskel {

RulerBar::RulerBar(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), m_orientation(orientation)
{
    if (orientation == Qt::Horizontal)
        setFixedHeight(kThickness);
    else
        setFixedWidth(kThickness);
}

void RulerBar::setScale(int origin, double zoom)
{
    if (origin == m_origin && zoom == m_zoom)
        return;
    m_origin = origin;
    m_zoom = zoom;
    update();
}

void RulerBar::setMark(double units)
{
    m_mark = units;
    update();
}

void RulerBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    QFont f = font();
    f.setPixelSize(9);
    p.setFont(f);
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const double pixelsPerMm = TfrPrinter::kUnitsPerInch / 25.4 * m_zoom;
    const int firstMm = qMax(0, int(-m_origin / pixelsPerMm));
    for (int mm = firstMm;; ++mm) {
        const int at = m_origin + qRound(mm * pixelsPerMm);
        if (at > length)
            break;
        // Below 3 pixels a millimetre only the 5 mm ticks are drawn.
        if (mm % 5 != 0 && pixelsPerMm < 3)
            continue;
        const int tick = mm % 10 == 0 ? kThickness - 2 : mm % 5 == 0 ? 8 : 4;
        if (horizontal)
            p.drawLine(at, kThickness - tick, at, kThickness);
        else
            p.drawLine(kThickness - tick, at, kThickness, at);
        const int labelEvery = pixelsPerMm < 2 ? 50 : 10;
        if (mm % labelEvery == 0 && mm > 0) {
            const QString text = QString::number(mm);
            if (horizontal)
                p.drawText(at + 2, 9, text);
            else
                p.drawText(1, at + 10, text);
        }
    }
    if (m_mark >= 0) {
        const int at = m_origin + qRound(m_mark * m_zoom);
        p.setPen(Qt::red);
        if (horizontal)
            p.drawLine(at, 0, at, kThickness);
        else
            p.drawLine(0, at, kThickness, at);
    }
}

} // namespace vaskel
