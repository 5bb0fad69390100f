#pragma once
// The drawing calls report views make, over any QPainter (screen, printer, PDF, image, recording):
// one line of text at a time, clipped to a rectangle, with extra spacing after every character, a
// justified line's spare pixels spread over its blanks, right-to-left reading and text turned to
// read upwards; pens in the frame styles and widths of templates; fills; exclusive-or marking;
// clip regions. Coordinates are the painter's logical ones (pixels of the target at zoom 1 unless
// the caller scaled the painter).
//
// The adapter keeps the text state (font, spacing, colours) between calls like the old drawing
// surface did, and leaves the painter as it found it except for pen, background, clip and
// composition mode, which the caller sets through it, and its font, which only text drawing uses.
#include "platform/DrawFont.h"

#include <QColor>
#include <QPen>
#include <QRect>
#include <QRegion>
#include <QStringView>

class QPainter;

namespace vaskel {

// Frame and line styles as templates number them (a double frame is drawn by the frame code out
// of solid lines).
enum class PenStyle : int { psSolid = 0, psDash = 1, psDot = 2, psDashDot = 3, psDashDotDot = 4 };

class DrawingAdapter {
public:
    struct TextOptions {
        // Nothing is drawn outside `clip` when `clipped` is set.
        bool clipped = false;
        QRect clip;
        bool rightToLeft = false;
        // Pixels added to the line's width by widening its blanks (U+0020 and U+00A0): each blank
        // gets spare / blanks, the first spare % blanks one more. A line without blanks is drawn
        // unchanged.
        int justifySpare = 0;
    };

    explicit DrawingAdapter(QPainter& painter); // not owned; must be active
    QPainter& painter() const { return m_painter; }

    void setFont(const DrawFont& font) { m_font = font; }
    const DrawFont& font() const { return m_font; }
    void setCharacterExtra(int pixels) { m_characterExtra = pixels; }
    int characterExtra() const { return m_characterExtra; }
    void setTextColor(const QColor& color) { m_textColor = color; }
    // Opaque: text cells and the gaps of dashed lines are filled with `color`, as with the old
    // surface's opaque background mode. Transparent by default.
    void setBackground(bool opaque, const QColor& color = Qt::white);

    // Draws one line whose character cell starts at `origin` (its top-left corner). Turned text
    // (font().rotated()) reads upwards from `origin`: the cell's top-left is at `origin` in the
    // turned frame, so the text runs from `origin` up and the cell extends to the right of it.
    void drawText(QPoint origin, QStringView text, const TextOptions& options);
    void drawText(QPoint origin, QStringView text) { drawText(origin, text, TextOptions{}); }
    // Width in pixels of one line in the current font and character spacing, unjustified.
    int textWidth(QStringView text) const;
    // Ascent and cell height (ascent + descent) of the current font on this painter's device.
    int ascent() const;
    int lineHeight() const;

    // A pen as the old surface made it: width 0 or 1 is a one-pixel (cosmetic) pen with the
    // style's dash pattern in pixels, whose lines leave out their last pixel; a wider pen is
    // always solid, with round ends and joins.
    static QPen makePen(const QColor& color, int width, PenStyle style = PenStyle::psSolid);
    void setPen(const QColor& color, int width, PenStyle style = PenStyle::psSolid);
    void drawLine(QPoint from, QPoint to);
    // Fills `rect` (its width and height in pixels) with a solid colour.
    void fillRect(const QRect& rect, const QColor& color);

    // Exclusive-or marking: while on, pen and fills are XOR-ed into the target, so drawing the same
    // thing twice restores it. Only raster targets (images, the preview's page area) support it.
    void setXorMode(bool on);

    // Clip regions in logical coordinates.
    void setClipRegion(const QRegion& region);
    void intersectClipRect(const QRect& rect);
    void excludeClipRect(const QRect& rect);
    void removeClip();

private:
    QPainter& m_painter;
    DrawFont m_font;
    int m_characterExtra = 0;
    QColor m_textColor = Qt::black;
};

} // namespace vaskel
