#include "platform/DrawFont.h"

#include "platform/ThreadCache.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>

namespace vaskel {

namespace {

QFont baseFont(const QString& family, int charHeight)
{
    QFont f(family);
    f.setPixelSize(std::max(1, charHeight));
    // The old surface placed glyphs by whole-pixel advances without kerning or ligatures; full
    // hinting makes Qt's advances whole pixels too, and no shaping keeps Latin text one glyph per
    // character. Complex scripts are still shaped.
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Which faces fontconfig offers for the family Qt draws a requested family with: the answer for
// "宋体" is that of its stand-in. Asked once per family.
struct Faces {
    bool bold = false;
    bool italic = false;
};

Faces facesOf(const QString& family)
{
    static thread_local ThreadCache<QHash<QString, Faces>> cache;
    QHash<QString, Faces>* known = &cache.get();
    auto it = known->constFind(family);
    if (it != known->constEnd())
        return *it;
    const QString drawn = QFontInfo(QFont(family)).family();
    Faces faces;
    for (const QString& style : QFontDatabase::styles(drawn)) {
        faces.bold = faces.bold || QFontDatabase::weight(drawn, style) >= QFont::DemiBold;
        faces.italic = faces.italic || QFontDatabase::italic(drawn, style);
    }
    known->insert(family, faces);
    return faces;
}

constexpr int kScreenDpi = 96;
constexpr int kSmallestShare = 12;

// Pixels a faked bold widens each character of `charHeight` pixels by, as the old surface did.
int widening(int charHeight)
{
    return std::max(1, (charHeight + 12) / 24);
}

} // namespace

DrawFont::DrawFont() : m_font(baseFont(QStringLiteral("Arial"), 13))
{
}

DrawFont DrawFont::select(const QString& family, int charHeight, quint16 styleBits, bool rotated)
{
    // A page draws hundreds of texts in a few fonts: the fonts selected last are handed out again,
    // sharing their QFont data, so Qt finds its font engine without looking the font up each time.
    struct Selected {
        QString family;
        int charHeight = 0;
        quint16 styleBits = 0;
        DrawFont font;
    };
    static thread_local ThreadCache<std::array<Selected, 8>> cache;
    std::array<Selected, 8>* recent = &cache.get();
    static thread_local size_t nextSlot = 0;
    const int height = std::max(1, charHeight);
    for (const Selected& s : *recent) {
        if (s.charHeight == height && s.styleBits == styleBits && s.family == family)
            return s.font.turned(rotated);
    }
    DrawFont d;
    d.m_font = baseFont(family, height);
    d.m_styleBits = styleBits;
    const Faces faces = (styleBits & (fsBold | fsItalic)) ? facesOf(family) : Faces{};
    const bool bold = styleBits & fsBold;
    const bool italic = styleBits & fsItalic;
    if (bold && !faces.bold)
        d.m_emboldening = widening(height);
    d.m_slanted = italic && !faces.italic;
    d.m_font.setItalic(italic && !d.m_slanted);
    d.m_font.setBold(bold && d.m_emboldening == 0);
    d.m_font.setUnderline(styleBits & fsUnderline);
    d.m_font.setStrikeOut(styleBits & fsStrikeOut);
    (*recent)[nextSlot] = Selected{family, height, styleBits, d};
    nextSlot = (nextSlot + 1) % recent->size();
    d.m_rotated = rotated;
    return d;
}

int DrawFont::emboldening(int dpi) const
{
    if (m_emboldening == 0 || dpi <= kScreenDpi)
        return m_emboldening;
    const int height = charHeight();
    // The screen's whole pixel is most of a tiny character: the share is held to that of a 12th,
    // which readers of the PDF still take for one character drawn twice.
    const int onScreen = std::max(kSmallestShare, int(std::lround(double(height) * kScreenDpi / dpi)));
    return std::max(m_emboldening, int(std::lround(double(widening(onScreen)) * height / onScreen)));
}

DrawFont DrawFont::turned(bool rotated) const
{
    DrawFont d = *this;
    d.m_rotated = rotated;
    return d;
}

} // namespace vaskel
