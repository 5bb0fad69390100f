#include "report/preview/TfrTBSeparator.h"

#include <QEvent>
#include <QPainter>

namespace vaskel {

TfrTBSeparator::TfrTBSeparator(QWidget* parent) : QWidget(parent)
{
    resize(8, 8);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_align = alignmentOnToolbar(parent);
}

void TfrTBSeparator::setAlign(ToolbarAlign align)
{
    m_align = align;
    update();
}

void TfrTBSeparator::setDrawBevel(bool on)
{
    m_drawBevel = on;
    update();
}

void TfrTBSeparator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    if (!m_drawBevel)
        return;
    const int w = width();
    const int h = height();
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    // The groove runs across the toolbar: a control aligned top or bottom sits on a vertical one.
    if (m_align == ToolbarAlign::Top || m_align == ToolbarAlign::Bottom) {
        p.setPen(shadow);
        p.drawLine(2, h / 2 - 1, w - 2, h / 2 - 1);
        p.setPen(light);
        p.drawLine(2, h / 2, w - 2, h / 2);
    } else {
        p.setPen(shadow);
        p.drawLine(w / 2 - 1, 2, w / 2 - 1, h - 2);
        p.setPen(light);
        p.drawLine(w / 2, 2, w / 2, h - 2);
    }
}

bool TfrTBSeparator::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        m_align = alignmentOnToolbar(parentWidget());
    return QWidget::event(event);
}

} // namespace vaskel
