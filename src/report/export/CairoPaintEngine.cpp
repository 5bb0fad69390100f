#include "report/export/CairoPaintEngine.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextLayout>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace vaskel {

namespace {

void setCairoMatrix(cairo_t* cr, const QTransform& t)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy());
    cairo_set_matrix(cr, &m);
}

void setColor(cairo_t* cr, const QColor& color)
{
    const QColor c = color.toRgb();
    cairo_set_source_rgba(cr, c.redF(), c.greenF(), c.blueF(), c.alphaF());
}

// The path's subpaths in cairo's current path; a subpath that ends where it began is closed, so
// its corners are joined as Qt's stroker joins them.
void appendPath(cairo_t* cr, const QPainterPath& path)
{
    const int count = path.elementCount();
    QPointF start;
    int startIndex = -1;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            cairo_move_to(cr, e.x, e.y);
            start = e;
            startIndex = i;
            break;
        case QPainterPath::LineToElement:
            cairo_line_to(cr, e.x, e.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            cairo_curve_to(cr, e.x, e.y, c2.x, c2.y, end.x, end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
        const bool subpathEnds = i + 1 >= count || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        if (subpathEnds && i - startIndex >= 2 && QPointF(path.elementAt(i)) == start)
            cairo_close_path(cr);
    }
}

// A cairo image of `image`, owning a copy of its pixels (the PDF surface reads them only when the
// page is finished). Opaque images become RGB so that the PDF carries no soft mask for them.
cairo_surface_t* cairoImage(const QImage& image)
{
    const bool opaque = !image.hasAlphaChannel();
    const QImage converted
        = image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    cairo_surface_t* surface = cairo_image_surface_create(
        opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, converted.width(), converted.height());
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (data) {
        for (int y = 0; y < converted.height(); ++y)
            std::memcpy(
                data + qsizetype(y) * stride, converted.constScanLine(y), size_t(converted.width()) * 4);
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Text whose glyphs stand one to a character with the advances of the font's own table: no marks
// to place and no script whose letters change shape with their neighbours.
bool needsShaping(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (c < 0x300)
            continue;
        if (QChar::isMark(c))
            return true;
        switch (QChar::script(c)) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Bopomofo:
            break;
        default:
            return true;
        }
    }
    return false;
}

bool wantsBold(const QFont& font)
{
    return font.weight() >= QFont::Bold;
}

bool wantsItalic(const QFont& font)
{
    return font.style() != QFont::StyleNormal;
}

} // namespace

CairoPaintEngine::CairoPaintEngine() : DirectTextPaintEngine(QPaintEngine::AllFeatures)
{
}

CairoPaintEngine::~CairoPaintEngine() = default;

void CairoPaintEngine::setTarget(cairo_t* cr, double unitsPerPixel)
{
    m_cr = cr;
    m_deviceToUnits = QTransform::fromScale(unitsPerPixel, unitsPerPixel);
}

bool CairoPaintEngine::begin(QPaintDevice* device)
{
    if (!m_cr)
        return false;
    m_device = device;
    m_transform = QTransform();
    m_pen = QPen();
    m_brush = QBrush();
    m_background = QBrush(Qt::white);
    m_backgroundMode = Qt::TransparentMode;
    m_brushOrigin = QPointF();
    m_clipEnabled = false;
    m_clip = QPainterPath();
    m_clipDirty = true;
    return true;
}

bool CairoPaintEngine::end()
{
    flushText();
    cairo_reset_clip(m_cr);
    cairo_new_path(m_cr);
    return true;
}

void CairoPaintEngine::updateState(const QPaintEngineState& state)
{
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyTransform)
        m_transform = state.transform();
    if (dirty & DirtyPen)
        m_pen = state.pen();
    if (dirty & DirtyBrush)
        m_brush = state.brush();
    if (dirty & DirtyBrushOrigin)
        m_brushOrigin = state.brushOrigin();
    if (dirty & DirtyBackground)
        m_background = state.backgroundBrush();
    if (dirty & DirtyBackgroundMode)
        m_backgroundMode = state.backgroundMode();
    if (dirty & DirtyHints)
        m_smoothImages = state.renderHints() & QPainter::SmoothPixmapTransform;
    if (dirty & DirtyClipEnabled) {
        m_clipEnabled = state.isClipEnabled();
        m_clipDirty = true;
    }
    if (dirty & (DirtyClipRegion | DirtyClipPath)) {
        QPainterPath clip;
        if (dirty & DirtyClipRegion)
            clip.addRegion(state.clipRegion());
        else
            clip = state.clipPath();
        // Clips arrive in the coordinates current when they were set.
        clip = m_transform.map(clip);
        switch (state.clipOperation()) {
        case Qt::NoClip:
            m_clipEnabled = false;
            m_clip = QPainterPath();
            break;
        case Qt::ReplaceClip:
            m_clip = clip;
            m_clipEnabled = true;
            break;
        case Qt::IntersectClip:
            m_clip = m_clipEnabled ? m_clip.intersected(clip) : clip;
            m_clipEnabled = true;
            break;
        }
        m_clipDirty = true;
    }
}

void CairoPaintEngine::applyClip()
{
    if (!m_clipDirty)
        return;
    flushText(); // drawn under the clip that was current when it was queued
    m_clipDirty = false;
    cairo_reset_clip(m_cr);
    if (!m_clipEnabled)
        return;
    cairo_new_path(m_cr);
    setCairoMatrix(m_cr, m_deviceToUnits);
    appendPath(m_cr, m_clip);
    cairo_set_fill_rule(
        m_cr, m_clip.fillRule() == Qt::WindingFill ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(m_cr);
}

void CairoPaintEngine::setMatrix(const QTransform& logical)
{
    setCairoMatrix(m_cr, logical * m_deviceToUnits);
}

bool CairoPaintEngine::setBrushSource(const QBrush& brush)
{
    switch (brush.style()) {
    case Qt::NoBrush:
        return false;
    case Qt::SolidPattern:
        setColor(m_cr, brush.color());
        return true;
    case Qt::LinearGradientPattern:
    case Qt::RadialGradientPattern:
    case Qt::ConicalGradientPattern: {
        const QGradientStops stops = brush.gradient() ? brush.gradient()->stops() : QGradientStops();
        setColor(m_cr, stops.isEmpty() ? brush.color() : stops.first().second);
        return true;
    }
    default:
        break;
    }
    // Hatches and textures: one tile repeated. Hatches lie in device pixels as on every other
    // target; a texture follows the painter's transform.
    QImage tile;
    QTransform tileToUser;
    if (brush.style() == Qt::TexturePattern) {
        tile = brush.textureImage();
        tileToUser = brush.transform() * QTransform::fromTranslate(m_brushOrigin.x(), m_brushOrigin.y());
    } else {
        tile = QImage(8, 8, QImage::Format_ARGB32_Premultiplied);
        tile.fill(m_backgroundMode == Qt::OpaqueMode ? m_background.color() : QColor(Qt::transparent));
        QPainter p(&tile);
        p.fillRect(tile.rect(), QBrush(brush.color(), brush.style()));
        p.end();
        // Device pixels expressed in the current user space.
        const QPointF origin = m_transform.map(m_brushOrigin);
        tileToUser = QTransform::fromTranslate(origin.x(), origin.y()) * m_transform.inverted();
    }
    if (tile.isNull())
        return false;
    cairo_surface_t* surface = cairoImage(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_surface_destroy(surface);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    const QTransform userToTile = tileToUser.inverted();
    cairo_matrix_t m;
    cairo_matrix_init(&m, userToTile.m11(), userToTile.m12(), userToTile.m21(), userToTile.m22(),
        userToTile.dx(), userToTile.dy());
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(m_cr, pattern);
    cairo_pattern_destroy(pattern);
    return true;
}

void CairoPaintEngine::strokeCurrentPath()
{
    if (m_pen.style() == Qt::NoPen || m_pen.brush().style() == Qt::NoBrush)
        return;
    qreal width = m_pen.widthF();
    // A cosmetic pen's width is in device pixels whatever the transform: the path stays where it
    // was built and only the width is measured in device pixels.
    const bool cosmetic = m_pen.isCosmetic() || width == 0;
    if (width <= 0)
        width = 1;
    if (cosmetic)
        setCairoMatrix(m_cr, m_deviceToUnits);
    cairo_set_line_width(m_cr, width);
    switch (m_pen.capStyle()) {
    case Qt::SquareCap:
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_SQUARE);
        break;
    case Qt::RoundCap:
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
        break;
    default:
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
        break;
    }
    switch (m_pen.joinStyle()) {
    case Qt::RoundJoin:
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
        break;
    case Qt::BevelJoin:
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_BEVEL);
        break;
    default:
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(m_cr, m_pen.miterLimit());
        break;
    }
    const bool dashed = m_pen.style() != Qt::SolidLine;
    if (dashed && m_backgroundMode == Qt::OpaqueMode) {
        // The gaps of a dashed line show the background colour.
        cairo_set_dash(m_cr, nullptr, 0, 0);
        setColor(m_cr, m_background.color());
        cairo_stroke_preserve(m_cr);
    }
    if (dashed) {
        const QList<qreal> pattern = m_pen.dashPattern();
        std::vector<double> lengths;
        lengths.reserve(pattern.size());
        for (qreal v : pattern)
            lengths.push_back(v * width);
        cairo_set_dash(m_cr, lengths.data(), int(lengths.size()), m_pen.dashOffset() * width);
    } else {
        cairo_set_dash(m_cr, nullptr, 0, 0);
    }
    if (!setBrushSource(m_pen.brush()))
        return;
    cairo_stroke_preserve(m_cr);
}

void CairoPaintEngine::fillAndStroke(bool fill, cairo_fill_rule_t rule)
{
    if (fill && setBrushSource(m_brush)) {
        cairo_set_fill_rule(m_cr, rule);
        cairo_fill_preserve(m_cr);
    }
    strokeCurrentPath();
    cairo_new_path(m_cr);
}

void CairoPaintEngine::drawRects(const QRectF* rects, int count)
{
    flushText();
    applyClip();
    setMatrix(m_transform);
    cairo_new_path(m_cr);
    for (int i = 0; i < count; ++i)
        cairo_rectangle(m_cr, rects[i].x(), rects[i].y(), rects[i].width(), rects[i].height());
    fillAndStroke(true, CAIRO_FILL_RULE_WINDING);
}

void CairoPaintEngine::drawLines(const QLineF* lines, int count)
{
    flushText();
    applyClip();
    setMatrix(m_transform);
    cairo_new_path(m_cr);
    for (int i = 0; i < count; ++i) {
        cairo_move_to(m_cr, lines[i].x1(), lines[i].y1());
        cairo_line_to(m_cr, lines[i].x2(), lines[i].y2());
    }
    fillAndStroke(false, CAIRO_FILL_RULE_WINDING);
}

void CairoPaintEngine::drawEllipse(const QRectF& rect)
{
    QPainterPath path;
    path.addEllipse(rect);
    drawPath(path);
}

void CairoPaintEngine::drawPath(const QPainterPath& path)
{
    flushText();
    applyClip();
    setMatrix(m_transform);
    cairo_new_path(m_cr);
    appendPath(m_cr, path);
    fillAndStroke(
        true, path.fillRule() == Qt::WindingFill ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
}

void CairoPaintEngine::drawPoints(const QPointF* points, int count)
{
    if (m_pen.style() == Qt::NoPen)
        return;
    flushText();
    applyClip();
    // A point covers the pen's width square around it, one device pixel for a cosmetic pen.
    const bool cosmetic = m_pen.isCosmetic() || m_pen.widthF() == 0;
    const qreal side = m_pen.widthF() > 0 ? m_pen.widthF() : 1;
    cairo_new_path(m_cr);
    if (cosmetic) {
        setCairoMatrix(m_cr, m_deviceToUnits);
        for (int i = 0; i < count; ++i) {
            const QPointF p = m_transform.map(points[i]);
            cairo_rectangle(m_cr, p.x() - side / 2, p.y() - side / 2, side, side);
        }
    } else {
        setMatrix(m_transform);
        for (int i = 0; i < count; ++i)
            cairo_rectangle(m_cr, points[i].x() - side / 2, points[i].y() - side / 2, side, side);
    }
    if (setBrushSource(m_pen.brush()))
        cairo_fill(m_cr);
    cairo_new_path(m_cr);
}

void CairoPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    if (count < 1)
        return;
    flushText();
    applyClip();
    setMatrix(m_transform);
    cairo_new_path(m_cr);
    cairo_move_to(m_cr, points[0].x(), points[0].y());
    for (int i = 1; i < count; ++i)
        cairo_line_to(m_cr, points[i].x(), points[i].y());
    if (mode != PolylineMode)
        cairo_close_path(m_cr);
    fillAndStroke(
        mode != PolylineMode, mode == OddEvenMode ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
}

void CairoPaintEngine::drawImageSource(
    const QRectF& rect, const QImage& image, bool tiled, const QPointF& offset)
{
    if (image.isNull() || rect.isEmpty())
        return;
    flushText();
    applyClip();
    setMatrix(m_transform);
    cairo_surface_t* surface = cairoImage(image);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_surface_destroy(surface);
    cairo_matrix_t m;
    if (tiled) {
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_matrix_init_translate(&m, offset.x() - rect.x(), offset.y() - rect.y());
    } else {
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo_matrix_init_scale(&m, image.width() / rect.width(), image.height() / rect.height());
        cairo_matrix_translate(&m, -rect.x(), -rect.y());
    }
    cairo_pattern_set_matrix(pattern, &m);
    cairo_pattern_set_filter(pattern, m_smoothImages ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_set_source(m_cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_fill(m_cr);
}

void CairoPaintEngine::drawImage(
    const QRectF& rect, const QImage& image, const QRectF& source, Qt::ImageConversionFlags)
{
    const QRect part = source.toAlignedRect();
    drawImageSource(rect, part == image.rect() ? image : image.copy(part), false, QPointF());
}

void CairoPaintEngine::drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source)
{
    const QRect part = source.toAlignedRect();
    drawImageSource(rect, (part == pixmap.rect() ? pixmap : pixmap.copy(part)).toImage(), false, QPointF());
}

void CairoPaintEngine::drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset)
{
    drawImageSource(rect, pixmap.toImage(), true, offset);
}

CairoPaintEngine::PrimaryFont& CairoPaintEngine::primaryFont(const QFont& font)
{
    for (auto& [f, primary] : m_primaryFonts)
        if (f == font)
            return primary;
    PrimaryFont primary;
    primary.raw = QRawFont::fromFont(font);
    if (primary.raw.isValid())
        primary.face = m_faces.face(primary.raw, wantsBold(font), wantsItalic(font));
    m_primaryFonts.emplace_back(font, primary);
    return m_primaryFonts.back().second;
}

const CairoPaintEngine::FallbackFont& CairoPaintEngine::fallbackFont(
    PrimaryFont& primary, const QFont& font, char32_t c)
{
    const QChar::Script script = QChar::script(c);
    for (const FallbackFont& f : primary.fallbacks)
        if (f.script == script)
            return f;
    FallbackFont fallback{script, QRawFont(), nullptr};
    QTextLayout layout(QString::fromUcs4(&c, 1), font, m_device);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) {
        const QList<QGlyphRun> runs = line.glyphRuns();
        if (runs.size() == 1 && !runs.front().glyphIndexes().contains(0)) {
            fallback.raw = runs.front().rawFont();
            fallback.face = m_faces.face(fallback.raw, wantsBold(font), wantsItalic(font));
        }
    }
    primary.fallbacks.push_back(fallback);
    return primary.fallbacks.back();
}

void CairoPaintEngine::showRun(const QRawFont& raw, cairo_font_face_t* face, qsizetype firstGlyph,
    qsizetype glyphCount, qsizetype firstByte, qsizetype byteCount)
{
    // Runs in one face, size, colour and orientation join the queued run: cairo's PDF surface
    // pays for every drawing operation when it finishes the page, and a page of list lines is
    // thousands of short texts in one font.
    const QTransform linear(m_transform.m11(), m_transform.m12(), m_transform.m21(), m_transform.m22(), 0, 0);
    const QRgb color = m_pen.color().rgba();
    if (!m_queued.glyphs.empty()
        && (m_queued.face != face || m_queued.size != raw.pixelSize() || m_queued.color != color
            || m_queued.linear != linear))
        flushText();
    if (!linear.isInvertible()) {
        m_queued.face = face; // drawn where it is, as one run of its own
        m_queued.size = raw.pixelSize();
        m_queued.color = color;
        m_queued.linear = m_transform;
        m_queued.glyphs.assign(m_glyphs.begin() + firstGlyph, m_glyphs.begin() + firstGlyph + glyphCount);
        m_queued.clusters.assign(
            m_clusters.begin() + firstGlyph, m_clusters.begin() + firstGlyph + glyphCount);
        m_queued.utf8 = QByteArray(m_utf8.constData() + firstByte, byteCount);
        flushText();
        return;
    }
    m_queued.face = face;
    m_queued.size = raw.pixelSize();
    m_queued.color = color;
    m_queued.linear = linear;
    // The glyphs' places in the queued run's space: the transform without its translation.
    const QPointF shift = linear.inverted().map(QPointF(m_transform.dx(), m_transform.dy()));
    for (qsizetype i = firstGlyph; i < firstGlyph + glyphCount; ++i) {
        cairo_glyph_t g = m_glyphs[i];
        g.x += shift.x();
        g.y += shift.y();
        m_queued.glyphs.push_back(g);
        m_queued.clusters.push_back(m_clusters[i]);
    }
    m_queued.utf8.append(m_utf8.constData() + firstByte, byteCount);
}

void CairoPaintEngine::flushText()
{
    if (m_queued.glyphs.empty())
        return;
    setMatrix(m_queued.linear);
    const QColor color = QColor::fromRgba(m_queued.color);
    cairo_set_source_rgba(m_cr, color.redF(), color.greenF(), color.blueF(), color.alphaF());
    cairo_set_font_face(m_cr, m_queued.face);
    cairo_set_font_size(m_cr, m_queued.size);
    cairo_show_text_glyphs(m_cr, m_queued.utf8.constData(), int(m_queued.utf8.size()), m_queued.glyphs.data(),
        int(m_queued.glyphs.size()), m_queued.clusters.data(), int(m_queued.clusters.size()),
        cairo_text_cluster_flags_t(0));
    m_queued.glyphs.clear();
    m_queued.clusters.clear();
    m_queued.utf8.clear();
}

bool CairoPaintEngine::lookUpGlyphs(const QPointF& origin, const QFont& font, QStringView text, qreal& width)
{
    // A font's percentage spacing reads 0 until it is set; 100 % is the same.
    if (font.letterSpacingType() != QFont::AbsoluteSpacing && font.letterSpacing() != 0
        && font.letterSpacing() != 100)
        return false;
    if (needsShaping(text))
        return false;
    PrimaryFont& primary = primaryFont(font);
    if (!primary.face)
        return false;
    m_primary = &primary;
    const QList<quint32> glyphs = primary.raw.glyphIndexesForString(text.toString());
    if (glyphs.isEmpty())
        return false;
    const qreal spacing = font.letterSpacingType() == QFont::AbsoluteSpacing ? font.letterSpacing() : 0;

    // Characters the primary font lacks take the glyph of the face Qt falls back on for their
    // script, as Qt's layout of the item did: the text is not shaped a second time.
    m_glyphs.resize(glyphs.size());
    m_clusters.resize(glyphs.size());
    m_glyphFont.resize(glyphs.size());
    m_utf8 = text.toUtf8();
    qreal x = origin.x();
    qsizetype byte = 0;
    qsizetype character = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (character >= text.size())
            return false;
        char32_t c = text[character].unicode();
        if (text[character].isHighSurrogate() && character + 1 < text.size()
            && text[character + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[character], text[character + 1]);
            ++character;
        }
        ++character;
        quint32 glyph = glyphs[i];
        const QRawFont* raw = &primary.raw;
        int fontIndex = 0;
        if (glyph == 0) {
            const FallbackFont& fallback = fallbackFont(primary, font, c);
            if (!fallback.face)
                return false;
            const QString one = QString::fromUcs4(&c, 1);
            int count = 1;
            if (!fallback.raw.glyphIndexesForChars(one.constData(), int(one.size()), &glyph, &count)
                || count != 1 || glyph == 0)
                return false;
            raw = &fallback.raw;
            fontIndex = int(&fallback - primary.fallbacks.data()) + 1;
        }
        QPointF advance;
        raw->advancesForGlyphIndexes(&glyph, &advance, 1);
        m_glyphs[i] = {glyph, x, origin.y()};
        m_glyphFont[i] = fontIndex;
        x += advance.x() + spacing;
        // One character (one to four bytes of UTF-8) to each glyph.
        const auto lead = static_cast<unsigned char>(m_utf8[byte]);
        const int bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        m_clusters[i] = {bytes, 1};
        byte += bytes;
    }
    width = x - origin.x();
    return byte == m_utf8.size();
}

cairo_font_face_t* CairoPaintEngine::glyphFace(qsizetype index) const
{
    const int font = m_glyphFont[index];
    return font == 0 ? m_primary->face : m_primary->fallbacks[font - 1].face;
}

void CairoPaintEngine::showLookedUpGlyphs()
{
    // One glyph run per stretch of glyphs in one face.
    qsizetype runStart = 0;
    qsizetype runByte = 0;
    qsizetype runBytes = 0;
    const auto count = qsizetype(m_glyphs.size());
    for (qsizetype i = 0; i < count; ++i) {
        runBytes += m_clusters[i].num_bytes;
        if (i + 1 < count && m_glyphFont[i + 1] == m_glyphFont[runStart])
            continue;
        const int index = m_glyphFont[runStart];
        const QRawFont& raw = index == 0 ? m_primary->raw : m_primary->fallbacks[index - 1].raw;
        showRun(raw, glyphFace(runStart), runStart, i + 1 - runStart, runByte, runBytes);
        runStart = i + 1;
        runByte += runBytes;
        runBytes = 0;
    }
}

bool CairoPaintEngine::drawSimpleText(const QPointF& origin, const QTextItem& textItem)
{
    if (textItem.renderFlags() & QTextItem::RightToLeft)
        return false;
    qreal width = 0;
    // Qt's own layout of the item is the authority; where the font's table says otherwise the
    // text goes the long way.
    if (!lookUpGlyphs(origin, textItem.font(), textItem.text(), width)
        || std::abs(width - textItem.width()) > 0.01)
        return false;
    showLookedUpGlyphs();
    return true;
}

bool CairoPaintEngine::drawTextLine(const QPointF& baseline, const QFont& font, QStringView text)
{
    // What the painter would add around the glyphs (lines through or under them, an opaque
    // background) it adds itself: such lines go through it.
    if (text.isEmpty() || font.underline() || font.strikeOut() || font.overline())
        return false;
    syncState();
    if (m_backgroundMode == Qt::OpaqueMode)
        return false;
    // A report's fonts have kerning off and decline shaping: Qt's layout places the glyphs of
    // these scripts by their advances alone. Other fonts go through Qt's layout.
    if (font.kerning() || !(font.styleStrategy() & QFont::PreferNoShaping))
        return false;
    qreal width = 0;
    if (!lookUpGlyphs(baseline, font, text, width))
        return false;
    if (m_pen.style() == Qt::NoPen)
        return true;
    applyClip();
    showLookedUpGlyphs();
    return true;
}

void CairoPaintEngine::drawLaidOutText(const QPointF& origin, const QTextItem& textItem)
{
    const QFont font = textItem.font();
    QTextLayout layout(textItem.text(), font, m_device);
    QTextOption option;
    option.setTextDirection(
        textItem.renderFlags() & QTextItem::RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    flushText();
    setMatrix(m_transform);
    setColor(m_cr, m_pen.color());
    const qreal ascent = line.ascent();
    for (const QGlyphRun& run : line.glyphRuns()) {
        cairo_font_face_t* face = m_faces.face(run.rawFont(), wantsBold(font), wantsItalic(font));
        if (!face)
            continue;
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        m_glyphs.resize(indexes.size());
        for (qsizetype i = 0; i < indexes.size(); ++i)
            m_glyphs[i] = {indexes[i], origin.x() + positions[i].x(), origin.y() + positions[i].y() - ascent};
        cairo_set_font_face(m_cr, face);
        cairo_set_font_size(m_cr, run.rawFont().pixelSize());
        cairo_show_glyphs(m_cr, m_glyphs.data(), int(m_glyphs.size()));
    }
}

void CairoPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& textItem)
{
    if (textItem.text().isEmpty() || m_pen.style() == Qt::NoPen)
        return;
    applyClip();
    if (!drawSimpleText(origin, textItem))
        drawLaidOutText(origin, textItem);
}

int CairoPageDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / m_dpi);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / m_dpi);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_dpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return 0;
    }
}

} // namespace vaskel
