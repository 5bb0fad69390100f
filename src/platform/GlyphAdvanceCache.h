#pragma once
// Whole-pixel advances of one font's characters, learnt on first use. Wrapping a memo measures the
// growing prefix of a line once per character, so a paragraph of n characters costs about n²/2
// advance look-ups; asking Qt instead itemises and shapes the text on every call, which made
// measuring the bulk of wrapping (bench_text_measure compares the two). Because fonts are selected
// without kerning or ligatures, a line's width is exactly the sum of its characters' advances.
//
// Owned by the ScratchSurface of the engine globals; one per distinct font.
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QStringView>

#include <array>
#include <memory>

class QPaintDevice;

namespace vaskel {

class GlyphAdvanceCache {
public:
    GlyphAdvanceCache(const QFont& font, QPaintDevice* device);

    // Advance in pixels of one character (a code point: surrogate pairs count once).
    int advance(char32_t codePoint);
    // Width of one line in pixels: the sum of the advances plus `characterExtra` after every
    // character (the old surface's extra character spacing).
    int textWidth(QStringView text, int characterExtra = 0);

    const QFont& font() const { return m_font; }
    const QFontMetrics& metrics() const { return m_metrics; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    // Height of one text line (the character cell): ascent + descent.
    int lineHeight() const { return m_ascent + m_descent; }

    // The code point at `index`, moving `index` past it: how measuring and drawing walk text
    // character by character. An unpaired surrogate is a character of its own.
    static char32_t nextCodePoint(QStringView text, qsizetype& index);

private:
    int lookUp(char32_t codePoint);

    // Advances of the Basic Multilingual Plane in pages of 256, allocated when a character of the
    // page is first measured; -1 marks an unknown advance. Other planes go to a hash.
    using Page = std::array<qint16, 256>;
    QFont m_font;
    QFontMetrics m_metrics;
    int m_ascent;
    int m_descent;
    std::array<std::unique_ptr<Page>, 256> m_pages;
    QHash<char32_t, int> m_astral;
};

} // namespace vaskel
