#include "platform/DrawingAdapter.h"

#include "platform/RecordingDevice.h"
#include "platform/RecordingPaintEngine.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <cstdlib>
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
    qreal width = 0;
    for (Segment& segment : segments) {
        const QFont f = spacedFont(m_font.font(), m_characterExtra + segment.blankExtra);
        segment.width = QFontMetricsF(f, device).horizontalAdvance(segment.text);
        width += segment.width;
    }
    const QFontMetrics metrics(m_font.font(), device);

    QTransform local = QTransform::fromTranslate(origin.x(), origin.y());
    if (m_font.rotated())
        local.rotate(-90);

    // A recording keeps the line as one run with its box; no glyphs are needed there.
    QPaintEngine* engine = m_painter.paintEngine();
    if (engine && engine->type() == RecordingPaintEngine::kType) {
        QRectF box = local.mapRect(QRectF(0, 0, width, metrics.ascent() + metrics.descent()));
        if (options.clipped)
            box &= QRectF(options.clip);
        auto* recording = static_cast<RecordingPaintEngine*>(engine);
        recording->device().record(RecordedOperation::Kind::Text,
            RecordingPaintEngine::wholePixels(m_painter.deviceTransform().mapRect(box)), text.toString());
        return;
    }

    m_painter.save();
    if (options.clipped)
        m_painter.setClipRect(options.clip, Qt::IntersectClip);
    m_painter.setTransform(local, true);
    m_painter.setLayoutDirection(options.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    m_painter.setPen(m_textColor);
    // In right-to-left reading the logically first segment stands on the right.
    qreal x = 0;
    const auto count = segments.size();
    for (size_t k = 0; k < count; ++k) {
        const Segment& s = segments[options.rightToLeft ? count - 1 - k : k];
        m_painter.setFont(spacedFont(m_font.font(), m_characterExtra + s.blankExtra));
        m_painter.drawText(QPointF(x, metrics.ascent()), s.text);
        x += s.width;
    }
    m_painter.restore();
}

int DrawingAdapter::textWidth(QStringView text) const
{
    const QFont f = spacedFont(m_font.font(), m_characterExtra);
    return QFontMetrics(f, m_painter.device()).horizontalAdvance(text.toString());
}

int DrawingAdapter::ascent() const
{
    return QFontMetrics(m_font.font(), m_painter.device()).ascent();
}

int DrawingAdapter::lineHeight() const
{
    const QFontMetrics metrics(m_font.font(), m_painter.device());
    return metrics.ascent() + metrics.descent();
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
