#include "platform/DrawingAdapter.h"

#include "platform/DirectTextPaintEngine.h"
#include "platform/GlyphAdvanceCache.h"
#include "platform/RecordingDevice.h"
#include "platform/RecordingPaintEngine.h"
#include "platform/ThreadCache.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vaskel {

namespace {

// How far a faked italic leans: a fifth of the height above the baseline.
constexpr qreal kSlant = 0.2;

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0xA0);
}

// The font a line is drawn in, ready for one device resolution, with its cell metrics: a page
// draws hundreds of lines in a few fonts, so the few used last are kept instead of a font and its
// metrics being made again for every line.
struct LineFont {
    QFont font; // the adapter's font, the key
    int dpiX = 0, dpiY = 0;
    QFont onDevice; // at the device's resolution
    int ascent = 0;
    int descent = 0;
    std::shared_ptr<GlyphAdvanceCache> advances; // made when a line is first measured
};

LineFont& lineFont(const QFont& font, const QPaintDevice* device)
{
    static thread_local ThreadCache<std::array<LineFont, 4>> cache;
    static thread_local size_t nextSlot = 0;
    std::array<LineFont, 4>* recent = &cache.get();
    const int dpiX = device ? device->logicalDpiX() : 0;
    const int dpiY = device ? device->logicalDpiY() : 0;
    for (LineFont& f : *recent) {
        if (f.dpiX == dpiX && f.dpiY == dpiY && f.font == font && f.dpiY != 0)
            return f;
    }
    LineFont& f = (*recent)[nextSlot];
    nextSlot = (nextSlot + 1) % recent->size();
    f.font = font;
    f.dpiX = dpiX;
    f.dpiY = dpiY;
    f.onDevice = device ? QFont(font, device) : font;
    const QFontMetrics metrics(font, device);
    f.ascent = metrics.ascent();
    f.descent = metrics.descent();
    f.advances.reset();
    return f;
}

// Whether a line drawn at `origin`, `width` pixels wide, stays inside `clip`, so that clipping it
// would cut nothing: its character cell fits between the clip's top and bottom, and its ink
// between the left and right edges (the advances, widened by the bearings of the first and last
// glyph when they reach out, and a pixel). On a PDF page every clip costs a graphics state saved,
// a path and the state restored.
// A width below 0 is measured here.
bool fitsInside(
    LineFont& line, QPaintDevice* device, QPoint origin, QStringView text, int width, const QRect& clip)
{
    const int height = line.ascent + line.descent;
    if (origin.y() < clip.top() || origin.y() + height > clip.bottom() + 1)
        return false;
    if (!line.advances)
        line.advances = std::make_shared<GlyphAdvanceCache>(line.font, device);
    const QFontMetrics& metrics = line.advances->metrics();
    if (width < 0)
        width = line.advances->textWidth(text);
    const int left = origin.x() + std::min(0, metrics.leftBearing(text.front())) - 1;
    const int right = origin.x() + width - std::min(0, metrics.rightBearing(text.back())) + 1;
    return left >= clip.left() && right <= clip.right() + 1;
}

// A piece of a line drawn in one call at its own place: a word of a justified line, or one
// character of a spaced line. Spacing and justification are placed here in device pixels rather
// than left to the font's letter spacing, which Qt scales by the device's resolution over 96 (in
// whole steps), so a PDF or a printer would get them several times too wide.
struct Piece {
    qsizetype start = 0;
    qsizetype length = 0;
    qreal x = 0; // from the line's start, in reading order
    qreal width = 0;
};

// Pieces of `text` and the line's width: character spacing after every character, a justified
// line's spare pixels after its blanks (each blank spare / blanks, the first spare % blanks one
// more).
qreal layOut(QStringView text, const QFontMetricsF& metrics, int characterExtra, int justifySpare,
    std::vector<Piece>& pieces)
{
    int blanks = 0;
    for (QChar c : text)
        blanks += isBlank(c);
    if (blanks == 0)
        justifySpare = 0;
    const int each = blanks ? justifySpare / blanks : 0;
    const int rest = blanks ? justifySpare % blanks : 0;
    int blank = 0;
    qreal x = 0;
    qsizetype wordStart = 0;
    auto endWord = [&](qsizetype end) {
        if (end > wordStart) {
            const qreal w = metrics.horizontalAdvance(text.sliced(wordStart, end - wordStart).toString());
            pieces.push_back({wordStart, end - wordStart, x, w});
            x += w;
        }
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype at = i;
        GlyphAdvanceCache::nextCodePoint(text, i);
        const bool isBlankChar = isBlank(text[at]);
        if (characterExtra != 0 && !isBlankChar) {
            const qreal w = metrics.horizontalAdvance(text.sliced(at, i - at).toString());
            pieces.push_back({at, i - at, x, w});
            x += w + characterExtra;
            wordStart = i;
            continue;
        }
        if (!isBlankChar)
            continue;
        endWord(at);
        x += metrics.horizontalAdvance(text[at]) + characterExtra;
        if (justifySpare != 0)
            x += each + (blank < std::abs(rest) ? (rest < 0 ? -1 : 1) : 0);
        ++blank;
        wordStart = i;
    }
    endWord(text.size());
    return x;
}

} // namespace

DrawingAdapter::DrawingAdapter(QPainter& painter) : m_painter(painter)
{
    Q_ASSERT_X(painter.isActive(), "DrawingAdapter", "the painter must be active");
}

void DrawingAdapter::setBackground(bool opaque, const QColor& color)
{
    m_painter.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(color);
}

void DrawingAdapter::drawText(QPoint origin, QStringView text, const TextOptions& options)
{
    if (text.isEmpty())
        return;
    QPaintDevice* device = m_painter.device();
    LineFont& line = lineFont(m_font.font(), device);
    const QFontMetricsF metrics(line.font, device);

    // A line with character spacing, a justified line and a line in faked bold are drawn in
    // pieces at places of their own; any other line in one piece.
    std::vector<Piece> pieces;
    qreal width = 0;
    const int bolden = m_font.emboldening(device ? device->logicalDpiY() : 96);
    const int extra = m_characterExtra + bolden;
    const bool spread = options.justifySpare != 0 && std::any_of(text.begin(), text.end(), isBlank);
    if (extra != 0 || spread)
        width = layOut(text, metrics, extra, options.justifySpare, pieces);

    QTransform local = QTransform::fromTranslate(origin.x(), origin.y());
    if (m_font.rotated())
        local.rotate(-90);
    if (m_font.slanted()) {
        // Leaning about the baseline: the part above it moves right.
        local.translate(0, line.ascent);
        local.shear(-kSlant, 0);
        local.translate(0, -line.ascent);
    }

    // A recording keeps the line as one run with its box; no glyphs are needed there.
    QPaintEngine* engine = m_painter.paintEngine();
    if (engine && engine->type() == RecordingPaintEngine::kType) {
        if (pieces.empty())
            width = metrics.horizontalAdvance(text.toString());
        QRectF box = local.mapRect(QRectF(0, 0, width, line.ascent + line.descent));
        if (options.clipped)
            box &= QRectF(options.clip);
        auto* recordingEngine = static_cast<RecordingPaintEngine*>(engine);
        recordingEngine->device().record(RecordedOperation::Kind::Text,
            RecordingPaintEngine::wholePixels(m_painter.deviceTransform().mapRect(box)), text.toString());
        return;
    }

    const Qt::LayoutDirection direction = options.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    if (pieces.empty() && !m_font.rotated() && !m_font.slanted()
        && !(options.clipped && m_painter.hasClipping())) {
        // The usual line: one piece, upright, on a painter without a clip of its own. Only the
        // state the line needs is set and put back; the whole painter state is not saved.
        const QPen pen = m_painter.pen();
        const Qt::LayoutDirection oldDirection = m_painter.layoutDirection();
        const bool clipped = options.clipped && !fitsInside(line, device, origin, text, -1, options.clip);
        if (clipped)
            m_painter.setClipRect(options.clip);
        m_painter.setLayoutDirection(direction);
        m_painter.setPen(m_textColor);
        const QPointF baseline(origin.x(), origin.y() + line.ascent);
        const bool drawn = engine && engine->type() == DirectTextPaintEngine::kType && !options.rightToLeft
            && static_cast<DirectTextPaintEngine*>(engine)->drawTextLine(baseline, line.onDevice, text);
        if (!drawn) {
            if (!(m_painter.font() == line.onDevice))
                m_painter.setFont(line.onDevice);
            m_painter.drawText(baseline, text.toString());
        }
        m_painter.setPen(pen);
        m_painter.setLayoutDirection(oldDirection);
        if (clipped)
            m_painter.setClipping(false);
        return;
    }

    m_painter.save();
    const bool clipped = options.clipped
        && (m_font.rotated() || m_font.slanted() || m_painter.hasClipping()
            || !fitsInside(line, device, origin, text, int(std::ceil(width)), options.clip));
    if (clipped)
        m_painter.setClipRect(options.clip, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    m_painter.setTransform(local, true);
    m_painter.setLayoutDirection(direction);
    if (pieces.empty()) {
        m_painter.setPen(m_textColor);
        m_painter.setFont(line.onDevice);
        m_painter.drawText(QPointF(0, line.ascent), text.toString());
        m_painter.restore();
        return;
    }
    // The pieces leave gaps that an opaque background, an underline and a strike-out line run on
    // through, as along a line drawn in one piece: those are drawn across the whole line here.
    const qreal height = line.ascent + line.descent;
    if (m_painter.backgroundMode() == Qt::OpaqueMode)
        m_painter.fillRect(QRectF(0, 0, width, height), m_painter.background());
    QFont bare = line.onDevice;
    bare.setUnderline(false);
    bare.setStrikeOut(false);
    m_painter.setFont(bare);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setPen(m_textColor);
    // In right-to-left reading the logically first piece stands on the right. Faked bold draws
    // every piece a second time, moved right into the room its advances were widened by.
    for (const int shift : {0, bolden}) {
        for (const Piece& p : pieces) {
            const qreal x = (options.rightToLeft ? width - p.x - p.width : p.x) + shift;
            m_painter.drawText(QPointF(x, line.ascent), text.sliced(p.start, p.length).toString());
        }
        if (bolden == 0)
            break;
    }
    const qreal thickness = std::max<qreal>(1, metrics.lineWidth());
    auto rule = [&](qreal y) {
        m_painter.fillRect(
            QRectF(0, std::round(line.ascent + y - thickness / 2), width, thickness), m_textColor);
    };
    if (line.font.underline())
        rule(metrics.underlinePos());
    if (line.font.strikeOut())
        rule(-metrics.strikeOutPos());
    m_painter.restore();
}

int DrawingAdapter::textWidth(QStringView text) const
{
    const LineFont& line = lineFont(m_font.font(), m_painter.device());
    const int natural = QFontMetrics(line.font, m_painter.device()).horizontalAdvance(text.toString());
    const QPaintDevice* device = m_painter.device();
    const int extra = m_characterExtra + m_font.emboldening(device ? device->logicalDpiY() : 96);
    if (extra == 0)
        return natural;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++characters)
        GlyphAdvanceCache::nextCodePoint(text, i);
    return natural + int(characters) * extra;
}

int DrawingAdapter::ascent() const
{
    return lineFont(m_font.font(), m_painter.device()).ascent;
}

int DrawingAdapter::lineHeight() const
{
    const LineFont& line = lineFont(m_font.font(), m_painter.device());
    return line.ascent + line.descent;
}

QPen DrawingAdapter::makePen(const QColor& color, int width, PenStyle style)
{
    if (width > 1)
        return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPen pen(QBrush(color), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    // Dash patterns in pixels, as the old surface drew one-pixel pens.
    switch (style) {
    case PenStyle::psSolid:
        break;
    case PenStyle::psDash:
        pen.setDashPattern({18, 6});
        break;
    case PenStyle::psDot:
        pen.setDashPattern({3, 3});
        break;
    case PenStyle::psDashDot:
        pen.setDashPattern({9, 6, 3, 6});
        break;
    case PenStyle::psDashDotDot:
        pen.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    }
    return pen;
}

void DrawingAdapter::setPen(const QColor& color, int width, PenStyle style)
{
    m_painter.setPen(makePen(color, width, style));
}

void DrawingAdapter::drawLine(QPoint from, QPoint to)
{
    m_painter.drawLine(from, to);
}

void DrawingAdapter::fillRect(const QRect& rect, const QColor& color)
{
    m_painter.fillRect(rect, color);
}

void DrawingAdapter::setXorMode(bool on)
{
    m_painter.setCompositionMode(
        on ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
}

void DrawingAdapter::setClipRegion(const QRegion& region)
{
    m_painter.setClipRegion(region);
}

void DrawingAdapter::intersectClipRect(const QRect& rect)
{
    if (m_painter.hasClipping())
        m_painter.setClipRect(rect, Qt::IntersectClip);
    else
        m_painter.setClipRect(rect);
}

void DrawingAdapter::excludeClipRect(const QRect& rect)
{
    QRegion base;
    if (m_painter.hasClipping()) {
        base = m_painter.clipRegion();
    } else {
        const QRect deviceRect(0, 0, m_painter.device()->width(), m_painter.device()->height());
        base = QRegion(m_painter.deviceTransform().inverted().mapRect(deviceRect));
    }
    m_painter.setClipRegion(base.subtracted(QRegion(rect)));
}

void DrawingAdapter::removeClip()
{
    m_painter.setClipping(false);
}

} // namespace vaskel
