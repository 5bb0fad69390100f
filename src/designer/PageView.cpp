#include "designer/PageView.h"

#include "designer/PageCanvas.h"
#include "designer/RulerBar.h"

#include <QEvent>

namespace vaskel {

PageView::PageView(DesignDocument& doc, TfrPage* page, QWidget* parent)
    : QScrollArea(parent),
      m_canvas(new PageCanvas(doc)),
      m_top(new RulerBar(Qt::Horizontal, this)),
      m_left(new RulerBar(Qt::Vertical, this))
{
    setViewportMargins(RulerBar::kThickness, RulerBar::kThickness, 0, 0);
    setWidget(m_canvas);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    m_canvas->setPage(page);
    // The canvas moves inside the viewport when it is centred, scrolled or resized by a zoom.
    m_canvas->installEventFilter(this);
    connect(m_canvas, &PageCanvas::pointerMoved, this, [this](QPointF u) {
        m_top->setMark(u.x());
        m_left->setMark(u.y());
    });
    placeRulers();
}

bool PageView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_canvas && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeRulers();
    return QScrollArea::eventFilter(watched, event);
}

double PageView::fitWidthZoom() const
{
    return m_canvas->zoomToFit(viewport()->width() - 2);
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    const QRect vp = viewport()->geometry();
    m_top->setGeometry(vp.left(), vp.top() - RulerBar::kThickness, vp.width(), RulerBar::kThickness);
    m_left->setGeometry(vp.left() - RulerBar::kThickness, vp.top(), RulerBar::kThickness, vp.height());
    placeRulers();
}

void PageView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    placeRulers();
}

void PageView::placeRulers()
{
    // The canvas's position in the viewport (scrolling, centring) plus the paper's offset in it.
    const QPoint at = m_canvas->pos();
    m_top->setScale(at.x() + PageCanvas::kPaperOffset, m_canvas->zoom());
    m_left->setScale(at.y() + PageCanvas::kPaperOffset, m_canvas->zoom());
}

} // namespace vaskel
