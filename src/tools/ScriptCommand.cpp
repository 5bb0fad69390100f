#include "tools/ScriptCommand.h"

#include "report/expr/ExprErrors.h"
#include "report/model/TfrGlobals.h"

#include <QFile>

#include <memory>

namespace vaskel {

namespace {

QStringList readScriptLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the newline that ends the last line
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

} // namespace

int runScriptFile(const QString& path, QTextStream& out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out << "error: cannot read " << path << ": " << file.errorString() << '\n';
        out.flush();
        return 2;
    }
    const QStringList source = readScriptLines(file.readAll());

    std::unique_ptr<TfrGlobals> own;
    if (!TfrGlobals::exists()) {
        own = std::make_unique<TfrGlobals>();
        own->locale = LocaleSettings::fixedEnglish();
    }
    TfrGlobals& g = TfrGlobals::get();
    TInterpretator& interpreter = g.interpreter;
    // Without a report's lookup chain a script could not read back its own variables (a for loop
    // would never end): run-time variables and constants answer then.
    const bool ownLookup = !g.parser.LookupName;
    if (ownLookup) {
        g.parser.LookupName = [&g](const QString& name, Value& value) {
            if (const Value* v = g.runtimeVariables.find(name))
                value = *v;
            else if (const Value* c = g.constants.find(name))
                value = *c;
            else
                value = Value(); // as names read without a lookup chain
        };
    }

    int code = 0;
    QStringList compiled;
    QStringList errors;
    interpreter.CompileScript(source, compiled, errors);
    for (const QString& e : errors)
        out << e << '\n';
    if (!errors.isEmpty())
        code = 1;
    else if (interpreter.FaultLine() > 0) {
        // The compiler stops here without a message of its own (a malformed number, an
        // unterminated string, a missing operand); the author still needs to know.
        out << "Line " << interpreter.FaultLine() << '/' << interpreter.FaultColumn()
            << ": compilation stopped at a malformed number, string or operand\n";
        code = 1;
    }
    // As in a report, what compiled before an error runs.
    try {
        interpreter.RunScript(compiled);
    } catch (const VaskelError& e) {
        out << "error: " << (e.message().isEmpty() ? e.detail() : e.message()) << '\n';
        code = 1;
    }
    const TfrVariables& vars = g.runtimeVariables;
    for (int i = 0; i < vars.Count(); ++i) {
        const Value v = vars.Values(i);
        out << vars.Names(i) << " = " << v.kindName() << ' ' << (v.isNull() ? QString() : v.toText()) << '\n';
    }
    out.flush();
    if (ownLookup)
        g.parser.LookupName = nullptr;
    return code;
}

} // namespace vaskel
