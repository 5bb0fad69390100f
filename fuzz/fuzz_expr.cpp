// libFuzzer target for the expression language: any text goes through Compile and
// EvaluateCompiled (and, as if it were stored postfix, straight through EvaluateCompiled), through
// the function splitter and the tokenising helpers. The only acceptable outcomes are a Value or one
// of the engine's own errors; a crash, a sanitizer report, a foreign exception or a hang is a find.
//
// Callbacks behave like the report's: names yield values of every kind, and function handlers
// evaluate their argument texts with the same parser again.
#include "FuzzSupport.h"

#include "report/expr/ExprErrors.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/ExprTokens.h"
#include "report/expr/TfrFunctionSplitter.h"
#include "report/expr/TfrVariables.h"

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

ExprGlobals& fuzzGlobals()
{
    static ExprGlobals* globals = [] {
        auto* g = new ExprGlobals;
        TfrParser& p = g->parser;
        p.LookupName = [&p](const QString& name, Value& value) {
            const QChar c = name.isEmpty() ? QChar() : name.at(0);
            if (c == QLatin1Char('N'))
                value = Value::null();
            else if (c == QLatin1Char('S'))
                value = Value(name);
            else if (c == QLatin1Char('D'))
                value = Value::dateTime(36114.75);
            else if (c == QLatin1Char('B'))
                value = Value(true);
            else if (c == QLatin1Char('E'))
                value = p.Evaluate(name.mid(1)); // a name whose value is an expression
            else if (c == QLatin1Char('X'))
                value = Value(name.size() * 1e300);
            else if (c != QLatin1Char('U'))
                value = Value(static_cast<qint32>(name.size()));
        };
        p.CallFunction = [&p](const QString& name, const Value& a, const Value& b, const Value& c,
                             Value& value) {
            if (name.startsWith(QLatin1Char('Q')))
                return; // stays null
            value = p.Evaluate(a.stringValue());
            if (!name.startsWith(QLatin1Char('F')))
                value = Value(value.isNull() ? QString()
                                                : value.toText() + p.Evaluate(b.stringValue()).kindName()
                            + QString::number(p.Evaluate(c.stringValue()).toNumber()));
        };
        return g;
    }();
    return *globals;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ExprGlobals& g = fuzzGlobals();
    const uint8_t mode = data[0];
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype n = static_cast<qsizetype>(size - 1);
    const QString text = fuzz::inputText(mode, bytes, n);
    if (mode & 2)
        g.locale.decimalSeparator = QLatin1Char(',');
    else
        g.locale.decimalSeparator = QLatin1Char('.');

    fuzz::guarded([&] {
        const QString postfix = g.parser.Compile(text);
        const Value v = g.parser.EvaluateCompiled(postfix);
        if (!v.isNull())
            (void)v.toText();
    });
    if (mode & 4)
        fuzz::guarded([&] { (void)g.parser.EvaluateCompiled(text); });
    if (mode & 8) {
        TfrVariables vars;
        vars.SetValue(QStringLiteral("V"), Value(QStringLiteral("SUM(x) + [V]")));
        vars.SetValue(QStringLiteral("W"), Value(text.left(64)));
        const QStringList match{QStringLiteral("SUM"), QStringLiteral("COUNT")};
        QStringList out;
        TfrFunctionSplitter splitter(match, &vars, out);
        fuzz::guarded([&] { splitter.Split(text); });
    }
    if (mode & 16) {
        for (qsizetype i = 0; i <= text.size(); i += 7) {
            (void)FindBracketed(text, i);
            qsizetype p = i;
            (void)ReadName(text, p);
            p = i;
            (void)ReadQuoted(text, p);
            p = i;
            (void)SplitArguments(text, p);
        }
    }
    return 0;
}
