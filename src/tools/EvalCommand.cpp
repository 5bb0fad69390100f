#include "tools/EvalCommand.h"

#include "report/engine/ReportScope.h"
#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/ValueText.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrGlobals.h"
#include "tools/FormatOption.h"
#include "tools/ScriptCommand.h"

#include <functional>
#include <vector>

namespace vaskel {

namespace {

// What one run of the command works on: the engine globals, an empty report installed as the
// parser's lookup and function handler, and the work the command line asked for.
struct EvalSession {
    EvalSession(TfrGlobals& g, ReportScope& s, QTextStream& o, QTextStream& e)
        : globals(g), scope(s), out(o), err(e)
    {
    }

    TfrGlobals& globals;
    ReportScope& scope;
    QTextStream& out;
    QTextStream& err;
    QStringList expressions;
    // How each expression's value is printed; an option may replace it (a display format).
    std::function<QString(const Value&)> printValue = [](const Value& v) {
        return v.kindName() + QLatin1Char(' ') + (v.isNull() ? QString() : v.toText());
    };
    // Work that options add, run in order after the expressions; each returns its exit code.
    std::vector<std::function<int(EvalSession&)>> actions;
    // A display format asked for by --format / --format-text.
    bool formatting = false;
    std::optional<qint32> formatCode;
    QString formatText;
};

struct EvalOption {
    const char* name;
    const char* valueName; // null for an option without a value
    const char* help;
    // Takes the option's value; false (after a message on `err`) for a value it cannot use.
    bool (*apply)(EvalSession& session, const QString& value);
};

// "--var Qty=3": a number becomes a float, anything else a string.
bool applyVar(EvalSession& session, const QString& value)
{
    const qsizetype eq = value.indexOf('=');
    const QString name = value.left(eq).trimmed();
    if (eq <= 0 || name.isEmpty()) {
        session.err << "eval: --var needs NAME=VALUE, got \"" << value << "\"\n";
        return false;
    }
    const QString text = value.mid(eq + 1);
    const std::optional<double> number
        = ValueText::tryStrToFloat(text, session.globals.locale.decimalSeparator);
    session.globals.runtimeVariables.SetValue(name, number ? Value::number(*number) : Value(text));
    return true;
}

bool applyFormat(EvalSession& session, const QString& value)
{
    session.formatCode = parseFormatCode(value);
    if (!session.formatCode) {
        session.err << "eval: --format needs a format code (decimal, 0x… or $…), got \"" << value << "\"\n";
        return false;
    }
    session.formatting = true;
    return true;
}

bool applyFormatText(EvalSession& session, const QString& value)
{
    session.formatText = value;
    session.formatting = true;
    return true;
}

// "--script FILE": compile and run the script after the expressions, then list the run-time variables.
bool applyScript(EvalSession& session, const QString& value)
{
    session.actions.push_back([value](EvalSession& s) { return runScriptFile(value, s.out); });
    return true;
}

const EvalOption kEvalOptions[] = {
    {"--var", "NAME=VALUE", "set a run-time variable (a number, or else a text)", applyVar},
    {"--script", "FILE", "compile and run a script, then print the run-time variables it left", applyScript},
    {"--format", "CODE", "print values in the display format of this packed format code", applyFormat},
    {"--format-text", "TEXT",
        "the format text of a custom format; alone, a bracket's suffix after \" #\" (N0,2, Ddd.mm.yyyy, "
        "BNo;Yes)",
        applyFormatText},
};

const EvalOption* findEvalOption(const QString& word)
{
    for (const EvalOption& o : kEvalOptions) {
        if (word == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

QString evalUsage()
{
    QString text = QStringLiteral("Usage: vaskel eval [OPTIONS] EXPRESSION...\n");
    for (const EvalOption& o : kEvalOptions) {
        const QString option = o.valueName
            ? QLatin1String(o.name) + QLatin1Char(' ') + QLatin1String(o.valueName)
            : QString::fromLatin1(o.name);
        text += QStringLiteral("  %1  %2\n").arg(option, QLatin1String(o.help));
    }
    return text;
}

// Options and expressions from the words; false (after a message) for a usage error.
bool parseEvalArguments(EvalSession& session, const QStringList& args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (!word.startsWith(QLatin1String("--"))) {
            session.expressions << word;
            continue;
        }
        const qsizetype eq = word.indexOf('=');
        const EvalOption* option = findEvalOption(eq < 0 ? word : word.left(eq));
        if (!option) {
            session.err << "eval: unknown option \"" << word << "\"\n" << evalUsage();
            return false;
        }
        QString value;
        if (!option->valueName) {
            if (eq >= 0) {
                session.err << "eval: " << option->name << " takes no value\n";
                return false;
            }
        } else if (eq >= 0) {
            value = word.mid(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args.at(++i);
        } else {
            session.err << "eval: " << option->name << " needs " << option->valueName << "\n";
            return false;
        }
        if (!option->apply(session, value))
            return false;
    }
    return true;
}

QString messageOf(const VaskelError& e)
{
    // A failure without a text of its own still tells the author what went wrong.
    return e.message().isEmpty() ? e.detail() : e.message();
}

} // namespace

int runEvalCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runEvalCommand(args, out, err);
}

int runEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << evalUsage();
        out.flush();
        return 0;
    }
    TfrGlobals globals;
    globals.locale = LocaleSettings::fixedEnglish();
    TDatabaseFunctionLibrary::RegisterAtStartUp(globals.libraries);
    TemplateHolder emptyReport;
    ReportScope scope;
    scope.Template = &emptyReport;
    scope.install(globals.parser);

    EvalSession session(globals, scope, out, err);
    if (!parseEvalArguments(session, args)) {
        err.flush();
        return 2;
    }
    if (session.formatting) {
        session.printValue = [&session](const Value& v) {
            return v.kindName() + QLatin1Char(' ') + formatForEval(v, session.formatCode, session.formatText);
        };
    }
    if (session.expressions.isEmpty() && session.actions.empty()) {
        err << evalUsage();
        err.flush();
        return 2;
    }
    int code = 0;
    for (const QString& expression : std::as_const(session.expressions)) {
        try {
            // Each expression starts without a name under evaluation, as each bracket of a text does.
            globals.run.RecursionGuard.clear();
            const Value v = globals.parser.Evaluate(expression);
            out << session.printValue(v) << '\n';
        } catch (const VaskelError& e) {
            out << "error: " << messageOf(e) << '\n';
            code = 1;
        }
    }
    for (const auto& action : session.actions) {
        try {
            code = std::max(code, action(session));
        } catch (const VaskelError& e) {
            out << "error: " << messageOf(e) << '\n';
            code = std::max(code, 1);
        }
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace vaskel
