#include "platform/GlyphAdvanceCache.h"

#include <QPaintDevice>
#include <QString>

namespace vaskel {

namespace {

// Spacing is added by the measuring functions themselves, never by the font.
QFont withoutSpacing(QFont font)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    font.setWordSpacing(0);
    return font;
}

} // namespace

GlyphAdvanceCache::GlyphAdvanceCache(const QFont& font, QPaintDevice* device)
    : m_font(withoutSpacing(font)),
      m_metrics(m_font, device),
      m_ascent(m_metrics.ascent()),
      m_descent(m_metrics.descent())
{
}

char32_t GlyphAdvanceCache::nextCodePoint(QStringView text, qsizetype& index)
{
    const char16_t c = text[index].unicode();
    ++index;
    if (QChar::isHighSurrogate(c) && index < text.size() && QChar::isLowSurrogate(text[index].unicode()))
        return QChar::surrogateToUcs4(c, text[index++].unicode());
    return c;
}

int GlyphAdvanceCache::advance(char32_t codePoint)
{
    if (codePoint < 0x10000) {
        std::unique_ptr<Page>& page = m_pages[codePoint >> 8];
        if (!page) {
            page = std::make_unique<Page>();
            page->fill(-1);
        }
        qint16& slot = (*page)[codePoint & 0xFF];
        if (slot < 0)
            slot = qint16(lookUp(codePoint));
        return slot;
    }
    auto it = m_astral.constFind(codePoint);
    if (it == m_astral.constEnd())
        it = m_astral.insert(codePoint, lookUp(codePoint));
    return *it;
}

int GlyphAdvanceCache::textWidth(QStringView text, int characterExtra)
{
    int width = 0;
    qsizetype i = 0;
    while (i < text.size())
        width += advance(nextCodePoint(text, i)) + characterExtra;
    return width;
}

int GlyphAdvanceCache::lookUp(char32_t codePoint)
{
    // Characters the font lacks are measured in the fallback font Qt draws them with.
    const int a = codePoint < 0x10000 ? m_metrics.horizontalAdvance(QChar(char16_t(codePoint)))
                                      : m_metrics.horizontalAdvance(QString::fromUcs4(&codePoint, 1));
    return qBound(0, a, 0x7FFF);
}

} // namespace vaskel
