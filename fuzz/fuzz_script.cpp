// libFuzzer target for the script compiler: any text, split into lines, is compiled, checked and
// (for some inputs) run. The compiled lines must keep the interpreter's promises whatever the
// input: every jump leads to a line of the list or ends the script, every assignment line starts
// with a name and a blank, every error line reads "Line N/M: …", compiling in place gives what
// compiling into a second list gives. A crash, a sanitizer report, a foreign exception, a hang or
// a broken promise (reported by trapping) is a find.
//
// The host answers names and functions the way a report does: names of several kinds, functions
// that evaluate their argument texts with the same parser again, array elements. Runs are cut off
// after a few thousand lines, since a script may loop for ever by design.
#include "FuzzSupport.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/ScriptCompiler.h"
#include "report/expr/TfrInterpretator.h"

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

class FuzzHost : public TfrInterpretator {
public:
    void ReadValue(const QString& name, Value& value) override
    {
        if (const Value* v = variables.find(name)) {
            value = *v;
            return;
        }
        const QChar c = name.isEmpty() ? QChar() : name.at(0);
        if (c == QLatin1Char('N'))
            value = Value::null();
        else if (c == QLatin1Char('S'))
            value = Value(name);
        else if (c == QLatin1Char('B'))
            value = Value(true);
        else if (c != QLatin1Char('U'))
            value = Value(static_cast<qint32>(name.size()));
    }
    void AssignValue(const QString& name, const Value& value) override
    {
        // Strings are kept short so that a loop appending to one stays cheap.
        if (value.isString() && value.stringValue().size() > 256)
            variables.SetValue(name, Value(value.stringValue().left(256)));
        else
            variables.SetValue(name, value);
    }
    void CallScriptFunction(const QString& name, const Value& p1, const Value& p2, const Value& p3,
        Value& value) override
    {
        if (name == u"SETARRAY") {
            AssignValue(p1.stringValue() + QLatin1Char('[') + parser().Evaluate(p2.stringValue()).kindName(),
                parser().Evaluate(p3.stringValue()));
        } else if (name == u"GETARRAY") {
            value = variables.GetValue(
                p1.stringValue() + QLatin1Char('[') + parser().Evaluate(p2.stringValue()).kindName());
        } else if (!name.startsWith(QLatin1Char('Q'))) {
            value = parser().Evaluate(p1.stringValue());
        }
    }

    TfrVariables variables;
};

struct Fixture {
    ExprGlobals globals;
    FuzzHost host;
};

Fixture& fixture()
{
    static Fixture* f = new Fixture; // lives for the whole fuzzing process
    return *f;
}

bool isNameChar(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('_');
}

void checkCompiled(const QStringList& compiled, const QStringList& errors)
{
    for (const QString& line : compiled) {
        if (line.isEmpty())
            __builtin_trap();
        const char16_t code = line[0].unicode();
        if (code == 1 || code == 2) {
            const int target = TfrInterpretator::JumpTarget(line);
            if (line.size() < 3 || (target > compiled.size() && target != ScriptCompiler::kEndOfScript))
                __builtin_trap();
            if (code == 2 && line.size() != 3)
                __builtin_trap();
        } else if (code != 3) {
            const qsizetype space = line.indexOf(QLatin1Char(' '));
            if (space <= 0)
                __builtin_trap();
            for (qsizetype i = 0; i < space; ++i) {
                if (!isNameChar(line[i]))
                    __builtin_trap();
            }
        }
    }
    if (errors.size() > compiled.size() + 1 + compiled.size())
        __builtin_trap();
    for (const QString& e : errors) {
        if (!e.startsWith(QLatin1String("Line ")) || !e.contains(QLatin1String(": ")))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Fixture& f = fixture();
    const uint8_t mode = data[0];
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype n = static_cast<qsizetype>(size - 1);
    const QString text = fuzz::inputText(mode, bytes, n);
    const QStringList source = text.split(QLatin1Char('\n'));

    QStringList compiled, errors;
    f.host.CompileScript(source, compiled, errors);
    checkCompiled(compiled, errors);

    // Compiling in place must give the same lines.
    QStringList inPlace = source;
    QStringList errorsInPlace;
    f.host.CompileScript(inPlace, inPlace, errorsInPlace);
    if (inPlace != compiled || errorsInPlace != errors)
        __builtin_trap();

    if (mode & 2) {
        QStringList found;
        try {
            // Variables left by earlier runs may expand to themselves: the splitter's depth limit
            // is a valid outcome.
            f.host.CollectFunctions(
                compiled, {QStringLiteral("SUM"), QStringLiteral("COUNT")}, &f.host.variables, found);
        } catch (const VaskelError&) {
        }
    }
    if (mode & 4) {
        f.host.variables.Clear();
        f.host.StepLimit = 3000;
        try {
            f.host.RunScript(compiled);
        } catch (const VaskelError&) {
            // The engine's own errors (and the step limit) are valid outcomes.
        }
    }
    return 0;
}
