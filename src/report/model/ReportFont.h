#pragma once
// The font of a memo view as templates store it: family name, size in points, style in the
// report's own bit order (1 italic, 2 bold, 4 underline, 8 strike-out), colour (0x00BBGGRR) and
// the stored 16-bit character-set word (its low byte is the character set).
#include <QString>
#include <QtGlobal>

namespace vaskel {

namespace FontStyle {
inline constexpr quint16 Italic = 1;
inline constexpr quint16 Bold = 2;
inline constexpr quint16 Underline = 4;
inline constexpr quint16 StrikeOut = 8;

// The window system's order swaps the two low bits (1 bold, 2 italic).
inline quint16 toWindowOrder(quint16 style)
{
    return static_cast<quint16>((style & ~3u) | ((style & 1u) << 1) | ((style & 2u) >> 1));
}
inline quint16 fromWindowOrder(quint16 style)
{
    return toWindowOrder(style);
}
} // namespace FontStyle

struct ReportFont {
    QString Name = QStringLiteral("Arial");
    qint32 Size = 10; // points
    quint16 Style = 0;
    quint32 Color = 0;
    quint16 Charset = 1;

    bool operator==(const ReportFont&) const = default;
};

} // namespace vaskel
