#pragma once
// The one small surface on which all text is measured, whatever device it is drawn on later: a
// 96 pixels-per-inch image held by the engine globals (PlatformGlobals::scratch). Like the old
// shared measuring canvas it keeps a selected font and an extra character spacing between calls;
// memo wrapping selects the font once per paragraph and then measures many prefixes.
//
// Fonts are selected by pixel height (DrawFont), so the widths hold on any device drawn at the
// same pixel height.
#include "platform/DrawFont.h"
#include "platform/GlyphAdvanceCache.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QStringView>

#include <memory>

namespace vaskel {

class ScratchSurface {
public:
    static constexpr int kDotsPerInch = 96;

    ScratchSurface();
    ~ScratchSurface();
    ScratchSurface(const ScratchSurface&) = delete;
    ScratchSurface& operator=(const ScratchSurface&) = delete;

    QPaintDevice* device() { return &m_image; }

    // Selecting a font keeps the extra character spacing, as on the old surface.
    void setFont(const DrawFont& font);
    const DrawFont& font() const { return m_font; }
    void setCharacterExtra(int pixels) { m_characterExtra = pixels; }
    int characterExtra() const { return m_characterExtra; }
    // Pixels every character takes beyond its advance: the extra spacing and the widening of a
    // faked bold (DrawFont::emboldening), as the drawing adapter places characters.
    int spacing() const { return m_characterExtra + m_font.emboldening(); }

    // Width in pixels of one line in the selected font and spacing.
    int textWidth(QStringView text);
    // Extent of a text of several lines (CR, LF or CR LF end a line): the widest line, and the
    // number of lines times the line height. An empty text is one empty line.
    QSize textExtent(QStringView text);
    int charHeight() const { return m_font.charHeight(); }
    int lineHeight();

    // The advance cache of the selected font, for callers that sum advances themselves.
    GlyphAdvanceCache& advances();
    GlyphAdvanceCache& advancesFor(const QFont& font);

private:
    // Reports use a handful of fonts; the bound only guards against a runaway template.
    static constexpr int kMaxCachedFonts = 256;

    QImage m_image;
    DrawFont m_font;
    int m_characterExtra = 0;
    GlyphAdvanceCache* m_current = nullptr; // not owned: an entry of m_caches
    QHash<QFont, std::shared_ptr<GlyphAdvanceCache>> m_caches;
};

} // namespace vaskel
