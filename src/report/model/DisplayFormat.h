#pragma once
// Display formats: how a view turns the value of a bracketed expression into text. Every view
// carries a packed format code (`FormatCode`) and a format text (`FormatText`); an expression may
// carry its own after " #" (TextExpansion.h). The code packs four fields into 32 bits:
//
//   bits 24-27  category: 0 text, 1 number, 2 date, 3 time, 4 boolean
//   bits 16-23  kind within the category; kind 4 is custom and uses the format text
//   bits  8-15  number of decimals (numbers only)
//   bits  0-7   the character used as decimal separator (numbers only)
//
// Numbers are printed with the number pattern language and the fixed and number notations of
// NumberPattern.h, dates and times with the date-time pattern language of DateTimePattern.h: the
// same code as FORMATFLOAT and FORMATDATETIME. The built-in date, time and boolean kinds take their
// patterns from the string table, so a localisation can change them.
#include "report/expr/Value.h"

#include <QChar>
#include <QString>

namespace vaskel {

enum class FormatCategory : quint8 { Text = 0, Number = 1, Date = 2, Time = 3, Boolean = 4 };

// The unpacked fields of a format code.
struct DisplayFormat {
    static constexpr int kCustomKind = 4;
    static constexpr int kCategoryCount = 5;
    static constexpr int kKindsPerCategory = 5;

    int category = 0;
    int kind = 0;
    int decimals = 0; // 0..255
    QChar separator; // a Latin-1 character; the null character when the code holds none

    // Reads a stored code. Category and kind come from a division that rounds towards zero, as the
    // stored codes have always been read: for the codes the editor and the " #" syntax write (all
    // positive) that is simply the bit fields.
    static DisplayFormat unpack(qint32 code);
    qint32 pack() const;
};

// The text of `value` under a format code and format text:
// - an empty value, null, or a string of blanks gives the empty text in every category;
// - text category: the value's text;
// - number: the value as a float with the code's decimals and decimal separator; kind 0 pattern
//   "##0." + one "#" per decimal, kind 1 fixed notation, kind 2 pattern "#,##0." + "#"s, kind 3
//   number notation with thousands separators, kind 4 `formatText` as number pattern;
// - date: kinds 0-2 the string-table date patterns, kind 3 the locale's long date, kind 4
//   `formatText`; time: kinds 0-3 the string-table time patterns, kind 4 `formatText`;
// - boolean: a pair "false;true" (string table, or `formatText` for kind 4): the part after the
//   first ";" (at most 255 characters) for a value whose integer is non-zero, else the part before;
// - categories 5 to 15 and kinds without a pattern give the empty text.
// When the value does not convert (a text that is not a number in the number category, a date
// beyond the calendar) the result is the value's plain text. The number category sets the locale's
// decimal separator from the code while it formats (a code without one keeps the locale's), so
// texts read as numbers use it too; the separator is restored on every path out, errors included.
QString FormatForDisplay(const Value& value, qint32 code, const QString& formatText);

// The date-time pattern a date or time code prints with (the string table's, the locale's long
// date or `formatText`); empty for other categories and kinds without a pattern.
QString DateTimePatternOf(qint32 code, const QString& formatText);

} // namespace vaskel
