#pragma once
// One entry of an object's property table: the name scripts use for a property, plus what a
// property inspector would need (kind flags, enumeration names and values). At run time only the
// names and their order matter: lookups by name, ignoring case, take the first match.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vaskel {

// Kind flags of a property table entry, as a property inspector reads them.
namespace PropFlags {
inline constexpr quint16 Text = 1;
inline constexpr quint16 Integer = 2;
inline constexpr quint16 Fraction = 4;
inline constexpr quint16 Boolean = 8;
inline constexpr quint16 Colour = 16;
inline constexpr quint16 Enumeration = 32;
inline constexpr quint16 Editor = 64;
inline constexpr quint16 ReportUnits = 128;
inline constexpr quint16 Named = 256; // "Name", "Tag", "Memo", "DataField", scripts
} // namespace PropFlags

struct TfrPropRec {
    QString name; // at most 32 characters
    quint16 typeFlags = 0;
    QStringList enumNames;
    // The value of each enumeration name; nothing when the names are themselves the values
    // (the band-name lists of band views).
    std::optional<QList<qint32>> enumValues;
    // Designer editor hooks are not kept: nothing in this system opens a property editor.
};

} // namespace vaskel
