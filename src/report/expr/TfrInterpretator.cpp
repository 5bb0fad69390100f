#include "report/expr/TfrInterpretator.h"

#include "report/expr/ExprErrors.h"
#include "report/expr/ScriptCompiler.h"
#include "report/expr/TfrFunctionSplitter.h"
#include "report/expr/ValueOperators.h"

namespace vaskel {

namespace {

enum : char16_t { lnConditional = 1, lnJump = 2, lnCall = 3 };

// The name of an assignment line ends at its first character of code 32 or below.
qsizetype nameEnd(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i].unicode() > 32)
        ++i;
    return i;
}

} // namespace

TfrInterpretator::TfrInterpretator()
{
    m_parser.LookupName = [this](const QString& name, Value& value) { ReadValue(name, value); };
    m_parser.CallFunction
        = [this](const QString& name, const Value& p1, const Value& p2, const Value& p3,
              Value& value) { CallScriptFunction(name, p1, p2, p3, value); };
}

TfrInterpretator::~TfrInterpretator() = default;

void TfrInterpretator::ReadValue(const QString&, Value&)
{
}

void TfrInterpretator::AssignValue(const QString&, const Value&)
{
}

void TfrInterpretator::CallScriptFunction(
    const QString&, const Value&, const Value&, const Value&, Value&)
{
}

void TfrInterpretator::CompileScript(const QStringList& source, QStringList& compiled, QStringList& errors)
{
    ScriptCompiler compiler(source, m_parser);
    compiler.compile(compiled, errors);
    m_faultLine = compiler.faultLine();
    m_faultColumn = compiler.faultColumn();
}

int TfrInterpretator::JumpTarget(const QString& line)
{
    if (line.size() < 3)
        return ScriptCompiler::kEndOfScript;
    return (line[1].unicode() & 0xFF) | ((line[2].unicode() & 0xFF) << 8);
}

void TfrInterpretator::RunScript(const QStringList& compiled)
{
    const qsizetype count = compiled.size();
    qint64 steps = 0;
    qsizetype i = 0;
    while (i < count) {
        if (StepLimit > 0 && ++steps > StepLimit)
            throw EParserError(QStringLiteral("Script stopped after %1 steps").arg(StepLimit));
        if (CheckStop)
            CheckStop();
        const QString& line = compiled[i];
        if (line.isEmpty()) {
            ++i;
            continue;
        }
        switch (line[0].unicode()) {
        case lnConditional: {
            const Value v = m_parser.EvaluateCompiled(line.mid(3));
            i = ValueOps::equalsZero(v) ? JumpTarget(line) : i + 1;
            break;
        }
        case lnJump:
            i = JumpTarget(line);
            break;
        case lnCall: {
            const QString body = line.mid(1);
            if (body.compare(QLatin1StringView("EXIT(0)"), Qt::CaseInsensitive) == 0)
                return;
            m_parser.EvaluateCompiled(body);
            ++i;
            break;
        }
        default: {
            const qsizetype end = nameEnd(line);
            const Value v = m_parser.EvaluateCompiled(line.mid(end));
            AssignValue(line.left(end), v);
            ++i;
            break;
        }
        }
    }
}

void TfrInterpretator::CollectFunctions(const QStringList& compiled, const QStringList& matchFuncs,
    const TfrVariables* variables, QStringList& output) const
{
    TfrFunctionSplitter splitter(matchFuncs, variables, output);
    for (const QString& line : compiled) {
        if (line.isEmpty())
            continue;
        switch (line[0].unicode()) {
        case lnConditional:
            splitter.Split(line.mid(3));
            break;
        case lnJump:
            break;
        case lnCall:
            splitter.Split(line.mid(1));
            break;
        default:
            splitter.Split(line.mid(nameEnd(line)));
            break;
        }
    }
}

} // namespace vaskel
