#include "platform/DrawingAdapter.h"

#include "platform/GlyphAdvanceCache.h"
#include "platform/RecordingDevice.h"
#include "platform/RecordingPaintEngine.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vaskel {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0xA0);
}

// Extra character spacing is drawn by Qt itself: letter spacing is added after every character,
// in whole pixels.
QFont spacedFont(const QFont& font, int characterExtra)
{
    QFont f = font;
    f.setLetterSpacing(QFont::AbsoluteSpacing, characterExtra);
    return f;
}

// The font a line is drawn in, ready for one device resolution, with its cell metrics: a page
// draws hundreds of lines in a few fonts, so the few used last are kept instead of a font and its
// metrics being made again for every line.
struct LineFont {
    QFont font; // the adapter's font, the key
    int characterExtra = 0;
    int dpiX = 0, dpiY = 0;
    QFont spaced; // with the character spacing, at the device's resolution
    int ascent = 0;
    int descent = 0;
    std::shared_ptr<GlyphAdvanceCache> advances; // made when a line is first measured
};

LineFont& lineFont(const QFont& font, int characterExtra, const QPaintDevice* device)
{
    // Never destroyed: fonts must not outlive the font machinery they were made with at exit.
    static thread_local auto* recent = new std::array<LineFont, 4>;
    static thread_local size_t nextSlot = 0;
    const int dpiX = device ? device->logicalDpiX() : 0;
    const int dpiY = device ? device->logicalDpiY() : 0;
    for (LineFont& f : *recent) {
        if (f.characterExtra == characterExtra && f.dpiX == dpiX && f.dpiY == dpiY && f.font == font
            && f.dpiY != 0)
            return f;
    }
    LineFont& f = (*recent)[nextSlot];
    nextSlot = (nextSlot + 1) % recent->size();
    f.font = font;
    f.characterExtra = characterExtra;
    f.dpiX = dpiX;
    f.dpiY = dpiY;
    f.spaced = QFont(spacedFont(font, characterExtra), device);
    const QFontMetrics metrics(font, device);
    f.ascent = metrics.ascent();
    f.descent = metrics.descent();
    f.advances.reset();
    return f;
}

// Whether a line drawn at `origin` stays inside `clip`, so that clipping it would cut nothing: its
// character cell fits between the clip's top and bottom, and its ink between the left and right
// edges (the advances, widened by the bearings of the first and last glyph when they reach out,
// and a pixel). Measured with whole-pixel glyph advances, cheaply; on a PDF page every clip costs
// a graphics state saved, a path and the state restored.
bool fitsInside(LineFont& line, QPaintDevice* device, QPoint origin, QStringView text, const QRect& clip)
{
    const int height = line.ascent + line.descent;
    if (origin.y() < clip.top() || origin.y() + height > clip.bottom() + 1)
        return false;
    if (!line.advances)
        line.advances = std::make_shared<GlyphAdvanceCache>(line.font, device);
    const QFontMetrics& metrics = line.advances->metrics();
    const int width = line.advances->textWidth(text, line.characterExtra);
    const int left = origin.x() + std::min(0, metrics.leftBearing(text.front())) - 1;
    const int right = origin.x() + width - std::min(0, metrics.rightBearing(text.back())) + 1;
    return left >= clip.left() && right <= clip.right() + 1;
}

// A piece of a line drawn in one call; a blank of a justified line is a piece of its own.
struct Segment {
    QString text;
    int blankExtra = 0; // pixels added after a blank to justify the line
    qreal width = 0;
};

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
    LineFont& line = lineFont(m_font.font(), m_characterExtra, device);

    // A justified line is drawn as its words and blanks in turn, each blank with its share of the
    // spare pixels added as spacing after it, so underlines and an opaque background run on through
    // the widened gaps. (Qt's own word spacing skips blanks next to Chinese text.)
    std::vector<Segment> segments;
    int blanks = 0;
    for (QChar c : text)
        blanks += isBlank(c);
    if (options.justifySpare == 0 || blanks == 0) {
        segments.push_back({text.toString(), 0});
    } else {
        const int each = options.justifySpare / blanks;
        const int rest = options.justifySpare % blanks;
        int blank = 0;
        qsizetype wordStart = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && !isBlank(text[i]))
                continue;
            if (i > wordStart)
                segments.push_back({text.sliced(wordStart, i - wordStart).toString(), 0});
            if (i < text.size()) {
                const int extra = each + (blank < std::abs(rest) ? (rest < 0 ? -1 : 1) : 0);
                segments.push_back({QString(text[i]), extra});
                ++blank;
            }
            wordStart = i + 1;
        }
    }

    QPaintEngine* engine = m_painter.paintEngine();
    const bool recording = engine && engine->type() == RecordingPaintEngine::kType;
    // Widths place the pieces of a justified line and size a recorded line's box; a line drawn
    // in one piece needs none.
    qreal width = 0;
    if (segments.size() > 1 || recording) {
        for (Segment& segment : segments) {
            const QFont f = spacedFont(m_font.font(), m_characterExtra + segment.blankExtra);
            segment.width = QFontMetricsF(f, device).horizontalAdvance(segment.text);
            width += segment.width;
        }
    }

    QTransform local = QTransform::fromTranslate(origin.x(), origin.y());
    if (m_font.rotated())
        local.rotate(-90);

    // A recording keeps the line as one run with its box; no glyphs are needed there.
    if (recording) {
        QRectF box = local.mapRect(QRectF(0, 0, width, line.ascent + line.descent));
        if (options.clipped)
            box &= QRectF(options.clip);
        auto* recordingEngine = static_cast<RecordingPaintEngine*>(engine);
        recordingEngine->device().record(RecordedOperation::Kind::Text,
            RecordingPaintEngine::wholePixels(m_painter.deviceTransform().mapRect(box)), text.toString());
        return;
    }

    const Qt::LayoutDirection direction = options.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    if (segments.size() == 1 && !m_font.rotated() && !(options.clipped && m_painter.hasClipping())) {
        // The usual line: one piece, upright, on a painter without a clip of its own. Only the
        // state the line needs is set and put back; the whole painter state is not saved.
        const QPen pen = m_painter.pen();
        const Qt::LayoutDirection oldDirection = m_painter.layoutDirection();
        const bool clipped = options.clipped && !fitsInside(line, device, origin, text, options.clip);
        if (clipped)
            m_painter.setClipRect(options.clip);
        m_painter.setLayoutDirection(direction);
        m_painter.setPen(m_textColor);
        if (!(m_painter.font() == line.spaced))
            m_painter.setFont(line.spaced);
        m_painter.drawText(QPointF(origin.x(), origin.y() + line.ascent), segments[0].text);
        m_painter.setPen(pen);
        m_painter.setLayoutDirection(oldDirection);
        if (clipped)
            m_painter.setClipping(false);
        return;
    }

    m_painter.save();
    if (options.clipped)
        m_painter.setClipRect(options.clip, Qt::IntersectClip);
    m_painter.setTransform(local, true);
    m_painter.setLayoutDirection(direction);
    m_painter.setPen(m_textColor);
    // In right-to-left reading the logically first segment stands on the right.
    qreal x = 0;
    const auto count = segments.size();
    for (size_t k = 0; k < count; ++k) {
        const Segment& s = segments[options.rightToLeft ? count - 1 - k : k];
        m_painter.setFont(spacedFont(m_font.font(), m_characterExtra + s.blankExtra));
        m_painter.drawText(QPointF(x, line.ascent), s.text);
        x += s.width;
    }
    m_painter.restore();
}

int DrawingAdapter::textWidth(QStringView text) const
{
    const QFont& f = lineFont(m_font.font(), m_characterExtra, m_painter.device()).spaced;
    return QFontMetrics(f, m_painter.device()).horizontalAdvance(text.toString());
}

int DrawingAdapter::ascent() const
{
    return lineFont(m_font.font(), m_characterExtra, m_painter.device()).ascent;
}

int DrawingAdapter::lineHeight() const
{
    const LineFont& line = lineFont(m_font.font(), m_characterExtra, m_painter.device());
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
