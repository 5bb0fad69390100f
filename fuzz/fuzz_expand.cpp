// libFuzzer target for the bracket expansion of report texts: any text goes through ExpandBrackets
// with a memo view as the current view whose format code comes from the input, so the " #"
// suffixes, the view's formats, HideZeros and the registration flag all see arbitrary input; the
// text is also used as a format text for FormatForDisplay on values of every kind, in every
// category and kind. The only acceptable outcomes are a text or one of the engine's own errors; a
// crash, a sanitizer report, a foreign exception or a hang is a find. Afterwards the locale's
// decimal separator must be the one it was before: formatting may change it only while it runs.
//
// The name lookup behaves like the report's chain: a few names have values of every kind, and
// anything else is evaluated as an expression once, with the recursion guard, so an unknown name
// raises "Undefined symbol" (or stays empty while registering).
#include "FuzzSupport.h"

#include "report/expr/ExprErrors.h"
#include "report/model/DisplayFormat.h"
#include "report/model/TextExpansion.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vaskel;

namespace {

struct FuzzGlobals {
    FuzzGlobals()
    {
        TfrParser& p = globals.parser;
        p.LookupName = [&p](const QString& name, Value& value) {
            const QChar c = name.isEmpty() ? QChar() : name.at(0);
            switch (c.unicode()) {
            case 'N':
                value = Value::null();
                return;
            case 'S':
                value = Value(name.mid(1));
                return;
            case 'D':
                value = Value::dateTime(36114.75);
                return;
            case 'B':
                value = Value(name.size() % 2 == 0);
                return;
            case 'X':
                value = Value(name.size() * 1e300);
                return;
            case 'Z':
                value = Value(0.0);
                return;
            case 'I':
                value = Value(static_cast<qint32>(name.size()) - 3);
                return;
            default:
                break;
            }
            RunState& run = frRun();
            if (run.RecursionGuard == name) {
                if (run.RegisteringAggregates)
                    return;
                throw EParserError(QStringLiteral("Undefined symbol \"%1\"").arg(name));
            }
            run.RecursionGuard = name;
            value = p.Evaluate(name);
            run.RecursionGuard.clear();
        };
        p.CallFunction = [&p](const QString&, const Value& a, const Value&, const Value&,
                             Value& value) { value = p.Evaluate(a.stringValue()); };
    }
    TfrGlobals globals;
    TfrMemoView memo;
};

FuzzGlobals& fuzzGlobals()
{
    static FuzzGlobals* g = new FuzzGlobals;
    return *g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    FuzzGlobals& g = fuzzGlobals();
    const uint8_t mode = data[0];
    const qint32 code
        = static_cast<qint32>(static_cast<quint32>(data[1]) | (static_cast<quint32>(data[2]) << 8)
            | (static_cast<quint32>(data[3]) << 16) | (static_cast<quint32>(data[4]) << 24));
    const char* bytes = reinterpret_cast<const char*>(data + 5);
    const qsizetype n = static_cast<qsizetype>(size - 5);
    const QString text = fuzz::inputText(mode, bytes, n);

    const QChar separator = (mode & 2) ? QLatin1Char(',') : QLatin1Char('.');
    g.globals.locale.decimalSeparator = separator;
    RunState& run = g.globals.run;
    run.RegisteringAggregates = (mode & 4) != 0;
    run.CurrentView = (mode & 16) ? nullptr : &g.memo;
    g.memo.Flags = (mode & 8) ? MemoFlags::HideZeros : 0;
    g.memo.FormatCode = code;
    g.memo.FormatText = text.left(24);

    fuzz::guarded([&] { (void)ExpandBrackets(text); });
    if (g.globals.locale.decimalSeparator != separator)
        std::abort();

    if (mode & 32) {
        const Value values[]
            = {Value(-1234.5678), Value(0.0), Value(true), Value::dateTime(36114.75),
                Value(text.left(16)), Value(static_cast<qint32>(code)), Value(1e300)};
        for (int category = 0; category <= 5; ++category) {
            for (int kind = 0; kind <= 5; ++kind) {
                const qint32 c = category * 0x1000000 + kind * 0x10000 + (code & 0xFFFF);
                for (const Value& v : values)
                    fuzz::guarded([&] { (void)FormatForDisplay(v, c, text); });
            }
        }
        if (g.globals.locale.decimalSeparator != separator)
            std::abort();
        qint32 parsed = code;
        QString fmt;
        fuzz::guarded([&] { ParseFormatSuffix(text, parsed, fmt); });
    }
    run.RecursionGuard.clear();
    return 0;
}
