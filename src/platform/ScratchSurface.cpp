#include "platform/ScratchSurface.h"

#include <algorithm>

namespace vaskel {

namespace {

constexpr int kDotsPerMetre = int(ScratchSurface::kDotsPerInch / 0.0254 + 0.5);

} // namespace

ScratchSurface::ScratchSurface() : m_image(8, 8, QImage::Format_ARGB32_Premultiplied)
{
    m_image.setDotsPerMeterX(kDotsPerMetre);
    m_image.setDotsPerMeterY(kDotsPerMetre);
    m_image.fill(Qt::white);
}

ScratchSurface::~ScratchSurface() = default;

void ScratchSurface::setFont(const DrawFont& font)
{
    if (m_current && font.font() == m_font.font()) {
        m_font = font;
        return;
    }
    m_font = font;
    m_current = nullptr;
}

GlyphAdvanceCache& ScratchSurface::advances()
{
    if (!m_current)
        m_current = &advancesFor(m_font.font());
    return *m_current;
}

GlyphAdvanceCache& ScratchSurface::advancesFor(const QFont& font)
{
    auto it = m_caches.constFind(font);
    if (it != m_caches.constEnd())
        return **it;
    if (m_caches.size() >= kMaxCachedFonts) {
        m_caches.clear();
        m_current = nullptr;
    }
    auto cache = std::make_shared<GlyphAdvanceCache>(font, &m_image);
    m_caches.insert(font, cache);
    return *cache;
}

int ScratchSurface::textWidth(QStringView text)
{
    return advances().textWidth(text, spacing());
}

int ScratchSurface::lineHeight()
{
    return advances().lineHeight();
}

QSize ScratchSurface::textExtent(QStringView text)
{
    GlyphAdvanceCache& cache = advances();
    int widest = 0;
    int lines = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        widest = std::max(widest, cache.textWidth(text.sliced(start, i - start), spacing()));
        ++lines;
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return {widest, lines * cache.lineHeight()};
}

} // namespace vaskel
