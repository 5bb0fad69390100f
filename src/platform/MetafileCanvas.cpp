#include "platform/MetafileCanvas.h"

#include "platform/DrawingAdapter.h"
#include "platform/MetafileTextPainter.h"

#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace vaskel {

namespace {

// Saved states beyond this depth are not kept: a damaged file must not grow memory without end.
constexpr size_t kMaxSaveDepth = 1024;
// Stock objects (GetStockObject numbers with the top bit set).
constexpr quint32 kStock = 0x80000000u;

// Raster operations that need a raster target; a PDF or printer page ignores them.
bool supportsRasterOps(QPainter& painter)
{
    QPaintEngine* engine = painter.paintEngine();
    return engine && engine->hasFeature(QPaintEngine::RasterOpModes);
}

Qt::BrushStyle hatchStyle(quint32 hatch)
{
    switch (hatch) {
    case 0:
        return Qt::HorPattern;
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::FDiagPattern;
    case 3:
        return Qt::BDiagPattern;
    case 4:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

} // namespace

MetafileCanvas::MetafileCanvas(QPainter& painter, const QRectF& reference, const QRectF& target)
    : m_painter(painter),
      m_base(painter.transform()),
      m_callerClipped(painter.hasClipping()),
      m_target(target)
{
    m_painter.save();
    const double sx = reference.width() != 0 ? target.width() / reference.width() : 1;
    const double sy = reference.height() != 0 ? target.height() / reference.height() : 1;
    m_deviceToBase = QTransform(
        sx, 0, 0, sy, target.left() - reference.left() * sx, target.top() - reference.top() * sy);
}

MetafileCanvas::~MetafileCanvas()
{
    m_painter.restore();
}

void MetafileCanvas::setReferenceResolution(double pixelsPerMmX, double pixelsPerMmY)
{
    if (pixelsPerMmX > 0 && pixelsPerMmY > 0 && std::isfinite(pixelsPerMmX) && std::isfinite(pixelsPerMmY)) {
        m_pxPerMmX = pixelsPerMmX;
        m_pxPerMmY = pixelsPerMmY;
    }
}

QTransform MetafileCanvas::pageTransform() const
{
    const MetafileMapping& m = m_dc.mapping;
    double sx = 1, sy = 1;
    switch (m.mode) {
    case MetafileMapping::LoMetric:
        sx = 0.1;
        sy = -0.1;
        break;
    case MetafileMapping::HiMetric:
        sx = 0.01;
        sy = -0.01;
        break;
    case MetafileMapping::LoEnglish:
        sx = 0.254;
        sy = -0.254;
        break;
    case MetafileMapping::HiEnglish:
        sx = 0.0254;
        sy = -0.0254;
        break;
    case MetafileMapping::Twips:
        sx = 25.4 / 1440;
        sy = -25.4 / 1440;
        break;
    case MetafileMapping::Isotropic:
    case MetafileMapping::Anisotropic:
        sx = m.windowExt.width() != 0 ? m.viewportExt.width() / m.windowExt.width() : 1;
        sy = m.windowExt.height() != 0 ? m.viewportExt.height() / m.windowExt.height() : 1;
        if (m.mode == MetafileMapping::Isotropic) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        break;
    default:
        break;
    }
    if (m.mode >= MetafileMapping::LoMetric && m.mode <= MetafileMapping::Twips) {
        sx *= m_pxPerMmX;
        sy *= m_pxPerMmY;
    }
    if (m_windowIsTarget) {
        // Placeable Windows metafile: the window is the picture, shown in the target rectangle.
        sx = m.windowExt.width() != 0 ? m_target.width() / m.windowExt.width() : 1;
        sy = m.windowExt.height() != 0 ? m_target.height() / m.windowExt.height() : 1;
        return QTransform(
            sx, 0, 0, sy, m_target.left() - m.windowOrg.x() * sx, m_target.top() - m.windowOrg.y() * sy);
    }
    return QTransform(
        sx, 0, 0, sy, m.viewportOrg.x() - m.windowOrg.x() * sx, m.viewportOrg.y() - m.windowOrg.y() * sy);
}

QTransform MetafileCanvas::logicalToTarget() const
{
    const QTransform device = m_windowIsTarget ? QTransform() : m_deviceToBase;
    return m_dc.mapping.world * pageTransform() * device * m_base;
}

void MetafileCanvas::saveDC()
{
    if (m_saved.size() < kMaxSaveDepth)
        m_saved.push_back(m_dc);
}

void MetafileCanvas::restoreDC(int relative)
{
    // A negative number counts back from the top; a positive one names a level from the bottom.
    const qint64 depth = qint64(m_saved.size());
    const qint64 level = relative < 0 ? depth + relative : qint64(relative) - 1;
    if (relative == 0 || level < 0 || level >= depth)
        return;
    const bool clipChanged = m_saved[size_t(level)].clip != m_dc.clip;
    m_dc = m_saved[size_t(level)];
    m_saved.resize(size_t(level));
    if (clipChanged)
        m_clipApplied = false;
}

void MetafileCanvas::modifyWorldTransform(const QTransform& t, quint32 mode)
{
    switch (mode) {
    case 1:
        m_dc.mapping.world = QTransform();
        break;
    case 2:
        m_dc.mapping.world = t * m_dc.mapping.world;
        break;
    case 3:
        m_dc.mapping.world = m_dc.mapping.world * t;
        break;
    case 4:
        m_dc.mapping.world = t;
        break;
    default:
        break;
    }
}

void MetafileCanvas::selectObject(quint32 index)
{
    if (index & kStock) {
        const quint32 stock = index & ~kStock;
        static const QColor grays[]
            = {Qt::white, QColor(192, 192, 192), QColor(128, 128, 128), QColor(64, 64, 64), Qt::black};
        if (stock <= 4)
            m_dc.brush = MetafileBrush{MetafileBrush::Solid, grays[stock], 0, {}, false};
        else if (stock == 5)
            m_dc.brush = MetafileBrush{MetafileBrush::Null, Qt::white, 0, {}, false};
        else if (stock == 6 || stock == 7)
            m_dc.pen = MetafilePen{MetafilePen::Solid, 0, stock == 6 ? Qt::white : Qt::black};
        else if (stock == 8)
            m_dc.pen = MetafilePen{MetafilePen::Null};
        else if (stock >= 10 && stock <= 17)
            m_dc.font = MetafileFont{};
        return;
    }
    const auto it = m_objects.find(index);
    if (it == m_objects.end())
        return;
    if (const auto* pen = std::get_if<MetafilePen>(&it->second))
        m_dc.pen = *pen;
    else if (const auto* brush = std::get_if<MetafileBrush>(&it->second))
        m_dc.brush = *brush;
    else if (const auto* font = std::get_if<MetafileFont>(&it->second))
        m_dc.font = *font;
}

quint32 MetafileCanvas::firstFreeIndex() const
{
    quint32 i = 0;
    while (m_objects.count(i))
        ++i;
    return i;
}

const MetafileBrush* MetafileCanvas::brushAt(quint32 index) const
{
    const auto it = m_objects.find(index);
    return it == m_objects.end() ? nullptr : std::get_if<MetafileBrush>(&it->second);
}

// --- painter set-up

void MetafileCanvas::prepare()
{
    if (!m_clipApplied) {
        // Back to the caller's own clip (and transform), then the metafile's clip within it.
        m_painter.restore();
        m_painter.save();
        if (m_dc.clip) {
            m_painter.setTransform((m_windowIsTarget ? QTransform() : m_deviceToBase) * m_base);
            m_painter.setClipPath(*m_dc.clip, m_callerClipped ? Qt::IntersectClip : Qt::ReplaceClip);
        }
        m_clipApplied = true;
    }
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (supportsRasterOps(m_painter)) {
        switch (m_dc.rop2) {
        case 6:
            mode = QPainter::RasterOp_NotDestination;
            break; // R2_NOT
        case 7:
            mode = QPainter::RasterOp_SourceXorDestination;
            break; // R2_XORPEN
        case 9:
            mode = QPainter::RasterOp_SourceAndDestination;
            break; // R2_MASKPEN
        case 10:
            mode = QPainter::RasterOp_NotSourceXorDestination;
            break; // R2_NOTXORPEN
        case 15:
            mode = QPainter::RasterOp_SourceOrDestination;
            break; // R2_MERGEPEN
        default:
            break;
        }
    }
    m_painter.setCompositionMode(mode);
    m_painter.setTransform(logicalToTarget());
}

bool MetafileCanvas::setRop2Pen(QPen& pen) const
{
    switch (m_dc.rop2) {
    case 1:
        pen.setColor(Qt::black);
        return true; // R2_BLACK
    case 16:
        pen.setColor(Qt::white);
        return true; // R2_WHITE
    case 11:
        return false; // R2_NOP
    default:
        return true;
    }
}

QPen MetafileCanvas::makePen() const
{
    const MetafilePen& p = m_dc.pen;
    const quint32 style = p.style & 0xF;
    if (style == MetafilePen::Null)
        return QPen(Qt::NoPen);
    if (p.width <= 1 && !p.geometric) {
        const PenStyle dash = style >= 1 && style <= 4 ? PenStyle(style) : PenStyle::psSolid;
        QPen pen = DrawingAdapter::makePen(p.color, 1, dash);
        if (p.width == 1) {
            pen.setCosmetic(false);
            pen.setWidthF(1);
        }
        return pen;
    }
    const quint32 cap = p.style & 0xF00, join = p.style & 0xF000;
    QPen pen(QBrush(p.color), p.width, Qt::SolidLine,
        cap == 0x100       ? Qt::SquareCap
            : cap == 0x200 ? Qt::FlatCap
                           : Qt::RoundCap,
        join == 0x1000       ? Qt::BevelJoin
            : join == 0x2000 ? Qt::MiterJoin
                             : Qt::RoundJoin);
    if (p.geometric && style >= 1 && style <= 4)
        pen.setStyle(Qt::PenStyle(style + 1)); // Qt numbers Dash..DashDotDot one higher
    return pen;
}

QBrush MetafileCanvas::makeBrush(const MetafileBrush& b) const
{
    switch (b.style) {
    case MetafileBrush::Solid:
        return QBrush(b.color);
    case MetafileBrush::Hatched:
        return QBrush(b.color, hatchStyle(b.hatch));
    case MetafileBrush::Pattern:
    case MetafileBrush::DibPattern:
    case MetafileBrush::DibPatternPt: {
        if (b.pattern.isNull())
            return QBrush(b.color);
        QImage pattern = b.pattern;
        if (b.monochrome && pattern.format() == QImage::Format_Mono) {
            // A one-bit pattern draws its set bits in the background colour, the others in the text colour.
            pattern.setColorTable({m_dc.textColor.rgb(), m_dc.backgroundColor.rgb()});
        }
        return QBrush(pattern);
    }
    default:
        return QBrush(Qt::NoBrush);
    }
}

void MetafileCanvas::drawShape(const QPainterPath& shape, bool fill, bool stroke)
{
    if (m_pathOpen) {
        m_path.addPath(shape);
        return;
    }
    prepare();
    QPainterPath path = shape;
    path.setFillRule(m_dc.fillWinding ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill && m_dc.brush.style != MetafileBrush::Null) {
        QBrush brush = makeBrush(m_dc.brush);
        if (m_dc.brush.style == MetafileBrush::Hatched && m_dc.opaqueBackground)
            m_painter.fillPath(path, m_dc.backgroundColor);
        if (m_dc.rop2 == 1 || m_dc.rop2 == 16)
            brush = QBrush(m_dc.rop2 == 1 ? Qt::black : Qt::white);
        if (m_dc.rop2 != 11)
            m_painter.fillPath(path, brush);
    }
    QPen pen = makePen();
    if (stroke && pen.style() != Qt::NoPen && setRop2Pen(pen))
        m_painter.strokePath(path, pen);
}

// --- shapes

void MetafileCanvas::moveTo(QPointF p)
{
    m_dc.position = p;
    if (m_pathOpen)
        m_path.moveTo(p); // a new figure of the path being recorded
}

void MetafileCanvas::lineTo(QPointF p)
{
    QPainterPath path(m_dc.position);
    path.lineTo(p);
    m_dc.position = p;
    if (m_pathOpen) {
        m_path.lineTo(p);
        return;
    }
    drawShape(path, false, true);
}

void MetafileCanvas::polyline(const QPolygonF& points, bool fromCurrentPosition)
{
    if (points.isEmpty())
        return;
    if (m_pathOpen && fromCurrentPosition) {
        for (QPointF p : points)
            m_path.lineTo(p);
        m_dc.position = points.last();
        return;
    }
    QPainterPath path(fromCurrentPosition ? m_dc.position : points.first());
    for (qsizetype i = fromCurrentPosition ? 0 : 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    if (fromCurrentPosition)
        m_dc.position = points.last();
    drawShape(path, false, true);
}

void MetafileCanvas::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    drawShape(path, true, true);
}

void MetafileCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    drawShape(path, true, true);
}

void MetafileCanvas::polyPolyline(const std::vector<QPolygonF>& polylines)
{
    QPainterPath path;
    for (const QPolygonF& p : polylines)
        path.addPolygon(p);
    drawShape(path, false, true);
}

void MetafileCanvas::polyBezier(const QPolygonF& points, bool fromCurrentPosition)
{
    QPolygonF all = points;
    if (fromCurrentPosition)
        all.prepend(m_dc.position);
    if (all.size() < 4)
        return;
    QPainterPath path(all.first());
    for (qsizetype i = 1; i + 2 < all.size(); i += 3)
        path.cubicTo(all[i], all[i + 1], all[i + 2]);
    if (fromCurrentPosition)
        m_dc.position = all.last();
    if (m_pathOpen && fromCurrentPosition) {
        for (qsizetype i = 1; i + 2 < all.size(); i += 3)
            m_path.cubicTo(all[i], all[i + 1], all[i + 2]);
        return;
    }
    drawShape(path, false, true);
}

void MetafileCanvas::rectangle(const QRectF& r)
{
    QPainterPath path;
    path.addRect(r.normalized());
    drawShape(path, true, true);
}

void MetafileCanvas::roundRect(const QRectF& r, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    drawShape(path, true, true);
}

void MetafileCanvas::ellipse(const QRectF& r)
{
    QPainterPath path;
    path.addEllipse(r.normalized());
    drawShape(path, true, true);
}

void MetafileCanvas::setPixel(QPointF p, const QColor& color)
{
    prepare();
    const QPointF at = m_painter.transform().map(p);
    m_painter.resetTransform();
    m_painter.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), color);
}

} // namespace vaskel
