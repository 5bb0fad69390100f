#pragma once
// Checking what an author types, with the report language's own grammar and parser and without
// running anything: a memo's text (every `[ ]` expression in it), a script (the script compiler,
// as a report run compiles it), or one expression (a group condition, a dictionary variable).
// The editors underline the place and show the message.
#include <QStringList>

namespace vaskel::CodeCheck {

enum class Mode { Memo, Script, Expression };

struct Result {
    bool ok = true;
    QString message; // "Line 3/12: Need "then" here"
    int line = 0, column = 0; // 1-based, where the error starts
};

Result check(Mode mode, const QStringList& lines);
Result checkScript(const QStringList& lines);
Result checkExpression(const QString& text);
Result checkMemo(const QStringList& lines);

// The script keywords an editor highlights (upper case).
const QStringList& keywords();

} // namespace vaskel::CodeCheck
