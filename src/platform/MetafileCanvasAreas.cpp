// MetafileCanvas, continued: arcs, paths, clipping, regions, selected clip paths, images and block transfers,
// and the hand-over of text records to the text painter. Kept apart from the shapes so that each
// file stays readable; both belong to the one canvas class.
#include "platform/MetafileCanvas.h"

#include "platform/MetafileTextPainter.h"

#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace vaskel {

namespace {

QPainterPath rectsPath(const std::vector<QRectF>& rects)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    return path;
}

// Ternary raster operations of block transfers that this canvas knows.
constexpr quint32 kSrcCopy = 0x00CC0020, kSrcPaint = 0x00EE0086, kSrcAnd = 0x008800C6,
                  kSrcInvert = 0x00660046, kPatCopy = 0x00F00021, kPatInvert = 0x005A0049,
                  kDstInvert = 0x00550009, kBlackness = 0x00000042, kWhiteness = 0x00FF0062,
                  kMergeCopy = 0x00C000CA, kNotSrcCopy = 0x00330008;

} // namespace

QPainterPath MetafileCanvas::deviceArea() const
{
    // Everything a metafile can address: the 16-bit and 32-bit coordinate ranges are far inside.
    QPainterPath all;
    all.addRect(QRectF(-1e9, -1e9, 2e9, 2e9));
    return all;
}

void MetafileCanvas::setClip(std::optional<QPainterPath> clip)
{
    m_dc.clip = std::move(clip);
    m_clipApplied = false;
}

void MetafileCanvas::intersectClipRect(const QRectF& r)
{
    QPainterPath rect;
    rect.addRect(r.normalized());
    const QPainterPath device = (m_dc.mapping.world * pageTransform()).map(rect);
    setClip(m_dc.clip ? m_dc.clip->intersected(device) : device);
}

void MetafileCanvas::excludeClipRect(const QRectF& r)
{
    QPainterPath rect;
    rect.addRect(r.normalized());
    const QPainterPath device = (m_dc.mapping.world * pageTransform()).map(rect);
    setClip((m_dc.clip ? *m_dc.clip : deviceArea()).subtracted(device));
}

void MetafileCanvas::offsetClip(QPointF logicalOffset)
{
    if (!m_dc.clip)
        return;
    const QTransform page = pageTransform();
    const QPointF d = page.map(logicalOffset) - page.map(QPointF(0, 0));
    setClip(m_dc.clip->translated(d));
}

void MetafileCanvas::selectClipRegion(const std::vector<QRectF>& rects, quint32 mode, bool logical)
{
    QPainterPath region = rectsPath(rects);
    if (logical)
        region = (m_dc.mapping.world * pageTransform()).map(region);
    if (mode == 5 && rects.empty()) {
        setClip(std::nullopt);
        return;
    }
    const QPainterPath current = m_dc.clip ? *m_dc.clip : deviceArea();
    switch (mode) {
    case 1:
        setClip(current.intersected(region));
        break;
    case 2:
        setClip(m_dc.clip ? current.united(region) : current);
        break;
    case 3:
        setClip(current.subtracted(region).united(region.subtracted(current)));
        break;
    case 4:
        setClip(current.subtracted(region));
        break;
    case 5:
        setClip(region);
        break;
    default:
        break;
    }
}

void MetafileCanvas::selectClipPath(quint32 mode)
{
    m_pathOpen = false;
    const QPainterPath path
        = (m_dc.mapping.world * pageTransform()).map(std::exchange(m_path, QPainterPath()));
    const QPainterPath current = m_dc.clip ? *m_dc.clip : deviceArea();
    switch (mode) {
    case 1:
        setClip(current.intersected(path));
        break;
    case 2:
        setClip(m_dc.clip ? current.united(path) : current);
        break;
    case 3:
        setClip(current.subtracted(path).united(path.subtracted(current)));
        break;
    case 4:
        setClip(current.subtracted(path));
        break;
    case 5:
        setClip(path);
        break;
    default:
        break;
    }
}

void MetafileCanvas::fillWithBrush(const QPainterPath& logicalPath, const MetafileBrush& brush)
{
    if (brush.style == MetafileBrush::Null)
        return;
    prepare();
    if (brush.style == MetafileBrush::Hatched && m_dc.opaqueBackground)
        m_painter.fillPath(logicalPath, m_dc.backgroundColor);
    m_painter.fillPath(logicalPath, makeBrush(brush));
}

void MetafileCanvas::fillRegion(const std::vector<QRectF>& rects, const MetafileBrush& brush)
{
    fillWithBrush(rectsPath(rects), brush);
}

void MetafileCanvas::frameRegion(const std::vector<QRectF>& rects, const MetafileBrush& brush, QSizeF frame)
{
    const QPainterPath outer = rectsPath(rects).simplified();
    QPainterPath inner;
    for (const QRectF& r : rects)
        inner.addRect(
            r.normalized().adjusted(frame.width(), frame.height(), -frame.width(), -frame.height()));
    fillWithBrush(outer.subtracted(inner), brush);
}

void MetafileCanvas::invertRegion(const std::vector<QRectF>& rects)
{
    prepare();
    if (!m_painter.paintEngine() || !m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        return;
    m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    m_painter.fillPath(rectsPath(rects), Qt::black);
}

// --- arcs

QPainterPath MetafileCanvas::arcPath(
    ArcKind kind, const QRectF& rawBox, QPointF start, QPointF end, bool& ok) const
{
    const QRectF box = rawBox.normalized();
    QPainterPath path;
    ok = box.width() > 0 && box.height() > 0;
    if (!ok)
        return path;
    const QPointF c = box.center();
    // Angles as the ellipse's own parameter, counter-clockwise as seen with y growing downwards.
    auto angleOf = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()) / box.height(), (p.x() - c.x()) / box.width()) * 180 / M_PI;
    };
    const double a0 = angleOf(start);
    double sweep = angleOf(end) - a0;
    if (m_dc.arcClockwise) {
        if (sweep >= 0)
            sweep -= 360;
    } else if (sweep <= 0) {
        sweep += 360;
    }
    QPainterPath arcOnly;
    arcOnly.arcMoveTo(box, a0);
    const QPointF first = arcOnly.currentPosition();
    if (kind == ArcKind::Pie) {
        path.moveTo(c);
        path.lineTo(first);
    } else if (kind == ArcKind::ArcTo) {
        path.moveTo(m_dc.position);
        path.lineTo(first);
    } else {
        path.moveTo(first);
    }
    path.arcTo(box, a0, sweep);
    if (kind == ArcKind::Pie || kind == ArcKind::Chord)
        path.closeSubpath();
    return path;
}

void MetafileCanvas::arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end)
{
    bool ok = false;
    const QPainterPath path = arcPath(kind, box, start, end, ok);
    if (!ok)
        return;
    if (kind == ArcKind::ArcTo)
        m_dc.position = path.currentPosition();
    const bool closed = kind == ArcKind::Pie || kind == ArcKind::Chord;
    drawShape(path, closed, true);
}

void MetafileCanvas::angleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || radius <= 0)
        return;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(m_dc.position);
    QPainterPath probe;
    probe.arcMoveTo(box, startDegrees);
    path.lineTo(probe.currentPosition());
    path.arcTo(box, startDegrees, std::clamp(sweepDegrees, -3600.0, 3600.0));
    m_dc.position = path.currentPosition();
    drawShape(path, false, true);
}

// --- paths

void MetafileCanvas::beginPath()
{
    m_path = QPainterPath();
    m_path.moveTo(m_dc.position);
    m_pathOpen = true;
}

void MetafileCanvas::abortPath()
{
    m_path = QPainterPath();
    m_pathOpen = false;
}

void MetafileCanvas::closeFigure()
{
    if (m_pathOpen)
        m_path.closeSubpath();
}

void MetafileCanvas::fillPath()
{
    m_pathOpen = false;
    drawShape(std::exchange(m_path, QPainterPath()), true, false);
}

void MetafileCanvas::strokePath()
{
    m_pathOpen = false;
    drawShape(std::exchange(m_path, QPainterPath()), false, true);
}

void MetafileCanvas::strokeAndFillPath()
{
    m_pathOpen = false;
    drawShape(std::exchange(m_path, QPainterPath()), true, true);
}

// --- block transfers

void MetafileCanvas::patBlt(const QRectF& dest, quint32 rop)
{
    prepare();
    const bool raster
        = m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    const QRectF r = dest.normalized();
    switch (rop) {
    case kBlackness:
        m_painter.fillRect(r, Qt::black);
        break;
    case kWhiteness:
        m_painter.fillRect(r, Qt::white);
        break;
    case kDstInvert:
    case kPatInvert:
        if (raster) {
            m_painter.setCompositionMode(rop == kDstInvert ? QPainter::RasterOp_NotDestination
                                                           : QPainter::RasterOp_SourceXorDestination);
            m_painter.fillRect(r, rop == kDstInvert ? QBrush(Qt::black) : makeBrush(m_dc.brush));
        }
        break;
    default:
        if (m_dc.brush.style != MetafileBrush::Null)
            m_painter.fillRect(r, makeBrush(m_dc.brush));
        break;
    }
}

void MetafileCanvas::drawImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop)
{
    if (image.isNull()) {
        patBlt(dest, rop);
        return;
    }
    prepare();
    // A negative destination width or height mirrors the picture, as on the old device.
    QImage picture = image.mirrored(dest.width() < 0, dest.height() < 0);
    QRectF src = source;
    if (dest.width() < 0)
        src.moveLeft(image.width() - src.right());
    if (dest.height() < 0)
        src.moveTop(image.height() - src.bottom());
    const bool raster
        = m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    switch (rop) {
    case kSrcAnd:
        if (raster)
            m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case kSrcPaint:
        if (raster)
            m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case kSrcInvert:
        if (raster)
            m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case kNotSrcCopy:
        picture.invertPixels();
        break;
    case kPatCopy:
    case kBlackness:
    case kWhiteness:
    case kDstInvert:
        patBlt(dest, rop);
        return;
    case kSrcCopy:
    case kMergeCopy:
    default:
        break;
    }
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter.drawImage(dest.normalized(), picture, src);
}

// --- text

void MetafileCanvas::textOut(const TextRecord& text)
{
    if (m_pathOpen)
        return; // text in a path bracket becomes outlines on the old device; not kept here
    prepare();
    MetafileTextPainter painter(m_painter, m_dc,
        m_dc.mapping.world * pageTransform() * (m_windowIsTarget ? QTransform() : m_deviceToBase) * m_base);
    const QPointF end = painter.draw(text, m_base);
    if (m_dc.textAlign & 1) // TA_UPDATECP
        m_dc.position = end;
}

QString MetafileCanvas::decodeAnsi(const QByteArray& bytes, std::vector<double>* dx) const
{
    return MetafileTextPainter::decodeAnsi(bytes, m_dc.font.charSet, dx);
}

} // namespace vaskel
