#include "tools/EvalCommand.h"

#include "report/expr/ExprErrors.h"
#include "report/model/TfrGlobals.h"

namespace vaskel {

int runEvalCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runEvalCommand(args, out, err);
}

int runEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        err << "Usage: vaskel eval EXPRESSION...\n";
        return 2;
    }
    TfrGlobals globals;
    globals.locale = LocaleSettings::fixedEnglish();
    int code = 0;
    for (const QString& expression : args) {
        try {
            const TfrValue v = globals.parser.Evaluate(expression);
            out << v.kindName() << ' ' << (v.isNull() ? QString() : v.toText()) << '\n';
        } catch (const VaskelError& e) {
            // A failure without a text of its own still tells the author what went wrong.
            out << "error: " << (e.message().isEmpty() ? e.detail() : e.message()) << '\n';
            code = 1;
        }
    }
    out.flush();
    return code;
}

} // namespace vaskel
