#include "platform/RecordingPaintEngine.h"

#include "platform/RecordingDevice.h"

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace vaskel {

namespace {

using Kind = RecordedOperation::Kind;

template <typename Point> QRectF pointBounds(const Point* points, int count)
{
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon << QPointF(points[i]);
    return polygon.boundingRect();
}

// Lines and points cover at least one pixel across, however thin their mathematical box.
QRect atLeastOnePixel(QRect r)
{
    if (r.width() < 1)
        r.setWidth(1);
    if (r.height() < 1)
        r.setHeight(1);
    return r;
}

} // namespace

RecordingPaintEngine::RecordingPaintEngine(RecordingDevice& device)
    : QPaintEngine(QPaintEngine::AllFeatures), m_device(device)
{
}

bool RecordingPaintEngine::begin(QPaintDevice*)
{
    m_transform = QTransform();
    m_lastTextIndex = -1;
    if (m_device.operations().empty())
        m_device.record(Kind::Header, QRect(0, 0, m_device.width(), m_device.height()));
    return true;
}

bool RecordingPaintEngine::end()
{
    m_lastTextIndex = -1;
    return true;
}

void RecordingPaintEngine::updateState(const QPaintEngineState& state)
{
    if (state.state() & DirtyTransform)
        m_transform = state.transform();
}

QRect RecordingPaintEngine::toDevice(const QRectF& logical) const
{
    return wholePixels(m_transform.mapRect(logical));
}

QRect RecordingPaintEngine::wholePixels(const QRectF& r)
{
    return QRect(QPoint(int(std::lround(r.left())), int(std::lround(r.top()))),
        QPoint(int(std::lround(r.right())) - 1, int(std::lround(r.bottom())) - 1));
}

void RecordingPaintEngine::drawRects(const QRectF* rects, int count)
{
    QRectF all;
    for (int i = 0; i < count; ++i)
        all = all.united(rects[i]);
    m_device.record(Kind::Rects, toDevice(all));
}

void RecordingPaintEngine::drawLines(const QLineF* lines, int count)
{
    QPolygonF points;
    for (int i = 0; i < count; ++i)
        points << lines[i].p1() << lines[i].p2();
    m_device.record(Kind::Lines, atLeastOnePixel(toDevice(points.boundingRect())));
}

void RecordingPaintEngine::drawEllipse(const QRectF& rect)
{
    m_device.record(Kind::Ellipse, toDevice(rect));
}

void RecordingPaintEngine::drawPath(const QPainterPath& path)
{
    m_device.record(Kind::Path, toDevice(path.boundingRect()));
}

void RecordingPaintEngine::drawPoints(const QPointF* points, int count)
{
    m_device.record(Kind::Points, atLeastOnePixel(toDevice(pointBounds(points, count))));
}

void RecordingPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode)
{
    m_device.record(Kind::Polygon, toDevice(pointBounds(points, count)));
}

void RecordingPaintEngine::drawPixmap(const QRectF& rect, const QPixmap&, const QRectF&)
{
    m_device.record(Kind::Pixmap, toDevice(rect));
}

void RecordingPaintEngine::drawTiledPixmap(const QRectF& rect, const QPixmap&, const QPointF&)
{
    m_device.record(Kind::Pixmap, toDevice(rect));
}

void RecordingPaintEngine::drawImage(
    const QRectF& rect, const QImage&, const QRectF&, Qt::ImageConversionFlags)
{
    m_device.record(Kind::Image, toDevice(rect));
}

void RecordingPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& textItem)
{
    const QRectF cell(
        origin.x(), origin.y() - textItem.ascent(), textItem.width(), textItem.ascent() + textItem.descent());
    const QPointF end(origin.x() + textItem.width(), origin.y());
    // Qt draws one drawText call as consecutive pieces, each starting on the baseline exactly where
    // the previous one ended; nothing else is recorded in between.
    const bool continues = m_lastTextIndex >= 0 && m_lastTextIndex == int(m_device.operations().size()) - 1
        && m_lastTextTransform == m_transform && std::abs(origin.y() - m_lastTextEnd.y()) < 1e-3
        && std::abs(origin.x() - m_lastTextEnd.x()) < 1e-3;
    if (continues) {
        RecordedOperation& run = m_device.last();
        run.text += textItem.text();
        run.bounds = run.bounds.united(toDevice(cell));
    } else {
        m_lastTextIndex = m_device.record(Kind::Text, toDevice(cell), textItem.text());
    }
    m_lastTextEnd = end;
    m_lastTextTransform = m_transform;
}

} // namespace vaskel
