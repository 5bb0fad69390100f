#pragma once
// The tokenising helpers of the report language, shared by the expression compiler and evaluator,
// the bracket expansion of report texts and the script compiler. Pure functions over a text and a
// position; positions are 0-based indices into the text (UTF-16 units: every character these
// helpers stop at is a single unit, so a surrogate pair is never split).
#include <QString>
#include <QStringView>

namespace vaskel {

struct BracketedText {
    qsizetype open = 0; // the outermost "["
    qsizetype close = 0; // its matching "]", or the last character when there is none
    QString inner; // the text between them
};

// `start` on a "[": finds the matching "]", skipping brackets inside single or double quotes and
// counting nested brackets ("[A[1]]" has the inner text "A[1]"). When `start` is not on a "[" (or
// lies past the end), open and close are both `start` and the inner text is empty.
BracketedText FindBracketed(QStringView text, qsizetype start);

// Skips characters of code 32 and below, then reads one name up to a carriage return, space, "(",
// ")", "*", "+", "-", "/", "<", "=", ">" or "[". Stop characters inside double quotes do not stop
// the name, so "Data"."Field name" is one name. Leaves `pos` on the first character after it.
QString ReadName(QStringView text, qsizetype& pos);
// The same without copying: a view into `text`.
QStringView readNameView(QStringView text, qsizetype& pos);
// Whether `c` ends a name that is outside double quotes.
bool isNameStop(QChar c);

// `pos` on an opening "'": returns the literal with both quotes ("''" inside is one quote and does
// not close it) and leaves `pos` after the closing quote, or at the end when there is none.
// `closed`, when given, tells whether a closing quote was found.
QString ReadQuoted(QStringView text, qsizetype& pos, bool* closed = nullptr);
// The value of a quoted literal: the outer quotes removed, every "''" made one quote.
QString unquoteLiteral(QStringView literal);

struct FunctionArguments {
    // The first three argument texts, untrimmed. With four or more arguments the second is the
    // text between the last two commas, the third is empty and the last argument is dropped.
    QString first;
    QString second;
    QString third;
    bool closed = false; // false when the parentheses never close before the end of the text
};

// `pos` on the "(" after a function name: splits the arguments at the commas outside single quotes
// and nested parentheses, and leaves `pos` after the matching ")" (at the end when unclosed).
FunctionArguments SplitArguments(QStringView text, qsizetype& pos);

} // namespace vaskel
