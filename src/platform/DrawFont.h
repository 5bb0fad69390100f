#pragma once
// A font as report drawing asks for it: a family name from the template, a character height in
// pixels (the height of the characters without the font's internal leading, which the old surface
// requested as a negative height), style bits in the report's own order and, for text that reads
// upwards, a quarter turn. Measuring (ScratchSurface) and drawing (DrawingAdapter) take the font
// from here so that both see exactly the same glyph advances.
#include <QFont>
#include <QString>
#include <QtGlobal>

namespace vaskel {

// Font style bits in the order templates and prepared pages store them.
enum FontStyleBit : quint16 {
    fsItalic = 1,
    fsBold = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

class DrawFont {
public:
    DrawFont();

    // `charHeight` in pixels of the target surface (at least 1). `rotated` turns the text by 90°
    // counter-clockwise: it reads upwards from its origin.
    static DrawFont select(const QString& family, int charHeight, quint16 styleBits, bool rotated = false);

    // The QFont used for both measuring and drawing: pixel size = character height, kerning and
    // optional ligatures off and full hinting, so that glyph advances are whole pixels and a line is
    // exactly as wide as the sum of its characters, as on the old surface. For a bold or italic
    // style of a family that has no such face, this is the regular (upright) face: the font
    // machinery would fake the style differently on each device (at some sizes and resolutions
    // not at all), so the drawing adapter fakes it itself, alike everywhere.
    const QFont& font() const { return m_font; }
    QString family() const { return m_font.family(); }
    int charHeight() const { return m_font.pixelSize(); }
    quint16 styleBits() const { return m_styleBits; }
    bool rotated() const { return m_rotated; }

    // Bold without a bold face: each character is drawn twice, the second copy this many pixels
    // to the right, and advances by as much more (about a 24th of the character height, at least
    // a pixel, as the old surface widened simulated bold). 0 for every other font.
    int emboldening() const { return m_emboldening; }
    // The same on a device of `dpi` pixels per inch drawn at the character height it was selected
    // with: above the screen's 96 the widening is the share of the character height it is on the
    // screen, so that the bold reads alike there, in PDF and on paper (a 24th of the height is
    // hardly seen at 600 dpi, where the screen's whole pixel is a 12th of a common height).
    int emboldening(int dpi) const;
    // Italic without an italic face: the characters lean right by a fifth of their height above
    // the baseline.
    bool slanted() const { return m_slanted; }

    // The same font turned (or not): how the memo's turned copy for upward text is made.
    DrawFont turned(bool rotated) const;

    bool operator==(const DrawFont& other) const = default;

private:
    QFont m_font;
    quint16 m_styleBits = 0;
    int m_emboldening = 0;
    bool m_slanted = false;
    bool m_rotated = false;
};

} // namespace vaskel
