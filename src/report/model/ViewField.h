#pragma once
// One field of a view kind, described once for everything that reaches fields by name or by key:
// scripts (`WriteProp`, `ReadProp`), the property table a designer lists, the text form of
// templates (TemplateJson) and the range checks every template and prepared-page reader makes
// (ReportLimits::viewProblem). A view kind's fields form one ViewFieldTable; adding a field to a
// kind is one entry there, besides the member itself and, for a stored field, its object record.
//
// An entry reaches its value through a getter and a setter over FieldValue. Scripts see whole
// numbers as 32-bit integers, fractions as floats, text lists as one text with CR LF between the
// lines; the text form writes each kind in its own spelling (see FieldKind).
#include "report/model/ReportLimits.h"
#include "report/model/TfrPropRec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>

namespace vaskel {

class TfrView;

// A stored picture's kind (StoredPicture::Kind) and bytes; kind 0 and no bytes when there is none.
struct PictureBytes {
    int kind = 0;
    QByteArray bytes;
    bool operator==(const PictureBytes&) const = default;
};

// A field's value between a view and the code that walks the table.
using FieldValue = std::variant<qint64, double, bool, QString, QStringList, PictureBytes>;

enum class FieldKind : quint8 {
    Int32, // whole numbers, checked against the stored width when the text form is read
    UInt8,
    UInt16,
    UInt32,
    Colour, // a UInt32 colour 0x00BBGGRR, written "0x" and eight hexadecimal digits
    Fraction, // a float, written as the shortest decimal that reads back as the same float
    Boolean,
    Text,
    Lines, // a text list; scripts read and write it as one text
    FlagBit, // one bit (`bit`) of the view's `Flags`, a boolean to scripts; no getter or setter
    BandKind, // a band's kind: written by name, or as a number past the named kinds
    Picture,
    Listed, // no value: only an entry of the property table (an editor a designer would open)
};

// When the text form writes a field; reading accepts every field that has a key.
enum class JsonWrite : quint8 {
    WhenChanged, // when it differs from a new view of the same kind
    Always,
    Never,
};

struct ViewField {
    // The name scripts use and the property table lists (matched ignoring case); null for a field
    // only the text form has.
    const char* name = nullptr;
    // The key in the text form, "object.key" for a key of a nested object; null when not stored.
    const char* key = nullptr;
    FieldKind kind = FieldKind::Listed;
    FieldValue (*get)(const TfrView&) = nullptr;
    void (*set)(TfrView&, const FieldValue&) = nullptr; // null: read-only to scripts
    quint16 bit = 0; // FlagBit
    // Whether scripts reach the field by `name` (some listed fields are for a designer only).
    bool byName = true;
    JsonWrite write = JsonWrite::WhenChanged;
    // The property table entry: kind flags (PropFlags), whether the kind lists it, and for an
    // enumeration its ";"-separated names (numbered from 0) or a function giving them (names
    // that are themselves the values).
    quint16 listFlags = 0;
    bool listed = false;
    const char* enumNames = nullptr;
    QString (*enumNamesOf)(const TfrView&) = nullptr;
    // Lists the entry only for some views of the kind (a band lists by its band kind).
    bool (*listedWhen)(const TfrView&) = nullptr;
    // The values every reader accepts.
    const ReportLimits::ValueRange* range = nullptr;

    // The name, or the key for a field only the text form has: what a kind's own entry replaces
    // a shared entry by.
    const char* id() const { return name ? name : key; }
    bool isScriptReadable() const { return name && byName && (get || kind == FieldKind::FlagBit); }
    bool isScriptWritable() const { return name && byName && (set || kind == FieldKind::FlagBit); }
    FieldValue valueOf(const TfrView& view) const;
    void setValue(TfrView& view, const FieldValue& value) const;
};

// A bit of `Flags` that scripts read and write as a boolean, listed as one.
inline ViewField flagField(const char* name, quint16 bit)
{
    return ViewField{.name = name,
        .kind = FieldKind::FlagBit,
        .bit = bit,
        .listFlags = PropFlags::Boolean,
        .listed = true};
}

// An entry only of the property table: an editor, or a field the kind lists in another place
// than the shared fields do.
inline ViewField listingEntry(const char* name, quint16 flags)
{
    return ViewField{.name = name, .listFlags = flags, .listed = true};
}

// The parts of a FieldValue, for getters and setters.
inline qint64 wholeOf(const FieldValue& v)
{
    return std::get<qint64>(v);
}
inline double fractionOf(const FieldValue& v)
{
    return std::get<double>(v);
}
inline bool truthOf(const FieldValue& v)
{
    return std::get<bool>(v);
}
inline const QString& textOf(const FieldValue& v)
{
    return std::get<QString>(v);
}
inline const QStringList& linesOf(const FieldValue& v)
{
    return std::get<QStringList>(v);
}

} // namespace vaskel
