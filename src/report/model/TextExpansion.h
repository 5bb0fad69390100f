#pragma once
// Bracket expansion of report texts: every outermost "[ ]" expression in a memo line or a view's
// tag is replaced by its value as display text. The memo view and the band printer call
// `ExpandBrackets` for each text of the view being printed, with that view as `CurrentView` of the
// run state: its `FormatCode`, `FormatText` and (memo views) HideZeros flag apply to every bracket.
//
// A bracket's inner text is handed whole to the parser's name lookup, exactly as written, so
// composite texts such as [Price * 2] and nested brackets such as [A[1]] reach the report's
// lookup chain, which evaluates what no store knows as an expression. Evaluation errors propagate
// to the caller (the printing view reports them as calculation errors).
//
// An expression may carry its own display format after " #":
//   [AMT #N0,2]        number, fixed notation, 2 decimals, "," as decimal separator
//   [AMT #N#,##0.00]   number pattern "#,##0.00" with "." as separator
//   [KPDATE #Ddd.mm.yyyy]   date-time pattern; "T" is the same
//   [PAID #BNo;Yes]    boolean pair
// A leading digit means "N". With "N" the last ",", "-" or "." is the decimal separator; when a
// digit follows the "N", the digits after that separator are the number of decimals and the
// notation is fixed ("#N0.00" gives 0 decimals, "#N0.2" gives 2), otherwise the rest is a pattern.
#include "report/expr/Value.h"

#include <QString>

#include <optional>

namespace vaskel {

// A bracket's value with the display format that turned it into text: what a spreadsheet needs to
// keep a printed amount a number and a printed date a date.
struct FormattedValue {
    Value value;
    qint32 code = 0;
    QString formatText;
};

// Replaces every outermost bracketed expression of `text`. Brackets inside quotes do not count; an
// unclosed "[" takes the rest of the text, its expression ending one character before the end.
// Inserted values are not scanned again. When `whole` is given and `text` is one bracket and
// nothing else, it receives that bracket's value and format; otherwise it is reset.
QString ExpandBrackets(const QString& text, std::optional<FormattedValue>* whole = nullptr);

// The display text of one bracket's inner text: splits a " #" format, gets the value through the
// parser's name lookup (the run state's memo value holds it afterwards), applies HideZeros and
// formats it. While aggregates are being registered the value is still computed (that is how the
// aggregate calls register) but the text is empty.
QString ResolveFormattedValue(const QString& expression, FormattedValue* resolved = nullptr);

// Reads a format suffix (the text after " #") into a format code and format text. `code` and
// `formatText` come in as the view's own and are replaced when the suffix starts with a digit,
// "N", "D", "T" or "B" (any case); any other suffix keeps the code and becomes the format text.
// A decimal count that is not a number raises the conversion error "'…' is not a valid integer
// value"; a count above 255 is taken as 255 so that it cannot spill into the kind.
void ParseFormatSuffix(const QString& suffix, qint32& code, QString& formatText);

} // namespace vaskel
