#include "designer/CodeCheck.h"

#include "report/expr/ExprGlobals.h"
#include "report/expr/ExprTokens.h"
#include "report/expr/ScriptCompiler.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace vaskel::CodeCheck {

namespace {

QString lineMessage(int line, int column, const QString& what)
{
    return QStringLiteral("Line %1/%2: %3").arg(line).arg(column).arg(what);
}

// The grammar stops without a message of its own at a malformed number, an unterminated string
// or a missing operand; the editor still names the place.
QString faultMessage(int line, int column)
{
    return lineMessage(line, column, QCoreApplication::translate("vaskel::CodeCheck", "Invalid expression"));
}

// Splits an error line's "Line N/M: " off into the result.
Result fromErrorLine(const QString& error)
{
    static const QRegularExpression re(QStringLiteral("^Line (\\d+)/(\\d+): "));
    Result r;
    r.ok = false;
    r.message = error;
    const QRegularExpressionMatch m = re.match(error);
    if (m.hasMatch()) {
        r.line = m.captured(1).toInt();
        r.column = m.captured(2).toInt();
    }
    return r;
}

// Where a bracket's own display format (" #N0.00") starts, outside quotes; -1 without one.
qsizetype formatStart(const QString& inner)
{
    QChar quote;
    for (qsizetype i = 0; i + 1 < inner.size(); ++i) {
        const QChar c = inner[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(' ') && inner[i + 1] == QLatin1Char('#')) {
            return i;
        }
    }
    return -1;
}

} // namespace

Result check(Mode mode, const QStringList& lines)
{
    switch (mode) {
    case Mode::Memo:
        return checkMemo(lines);
    case Mode::Script:
        return checkScript(lines);
    case Mode::Expression:
        return checkExpression(lines.join(QLatin1Char('\n')));
    }
    return {};
}

Result checkScript(const QStringList& lines)
{
    ScriptCompiler compiler(lines, ExprGlobals::get().parser);
    QStringList compiled, errors;
    compiler.compile(compiled, errors);
    if (!errors.isEmpty())
        return fromErrorLine(errors.constFirst());
    if (compiler.faultLine() > 0) {
        Result r;
        r.ok = false;
        r.line = compiler.faultLine();
        r.column = compiler.faultColumn();
        r.message = faultMessage(r.line, r.column);
        return r;
    }
    return {};
}

Result checkExpression(const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    const ScriptCompiler::ExpressionCheck c
        = ScriptCompiler::checkExpression(text, ExprGlobals::get().parser);
    Result r;
    r.ok = c.ok;
    r.line = c.line;
    r.column = c.column;
    r.message = c.ok ? QString() : c.message.isEmpty() ? faultMessage(c.line, c.column) : c.message;
    return r;
}

Result checkMemo(const QStringList& lines)
{
    for (int l = 0; l < lines.size(); ++l) {
        const QString& text = lines.at(l);
        for (qsizetype i = text.indexOf(QLatin1Char('[')); i >= 0; i = text.indexOf(QLatin1Char('['), i)) {
            const BracketedText b = FindBracketed(text, i);
            if (text[b.close] != QLatin1Char(']')) {
                Result r;
                r.ok = false;
                r.line = l + 1;
                r.column = static_cast<int>(text.size()) + 1;
                r.message = lineMessage(r.line, r.column, QStringLiteral("Need \"]\" here"));
                return r;
            }
            QString inner = b.inner;
            const qsizetype format = formatStart(inner);
            if (format >= 0)
                inner.truncate(format);
            const Result e = checkExpression(inner);
            if (!e.ok) {
                Result r = e;
                r.line = l + 1;
                // Columns inside the bracket: one line of text, after the "[".
                r.column = static_cast<int>(b.open) + 1 + e.column;
                const qsizetype colon = e.message.indexOf(QLatin1String(": "));
                r.message = lineMessage(r.line, r.column, e.message.mid(colon + 2));
                return r;
            }
            i = b.close + 1;
        }
    }
    return {};
}

const QStringList& keywords()
{
    static const QStringList words{"BEGIN", "END", "IF", "THEN", "ELSE", "WHILE", "DO", "REPEAT", "UNTIL",
        "FOR", "TO", "DOWNTO", "GOTO", "AND", "OR", "NOT", "MOD"};
    return words;
}

} // namespace vaskel::CodeCheck
