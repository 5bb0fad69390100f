#pragma once
// The script interpreter: compiles the scripts of objects, bands and pages into compiled lines and
// runs them. Reading a name, assigning a value and calling a function are virtual, so that the
// report's subclass (TInterpretator) can connect scripts to the running report; this base class
// reads every name as null, ignores assignments and calls yield null.
//
// A compiled line is a text whose first character says what it does:
//   code 1, two target characters (low byte first), postfix expression: evaluate; when the value
//          equals 0 (false, 0 and empty do) continue at the target, otherwise at the next line;
//   code 2, two target characters: continue at the target;
//   code 3, postfix expression: evaluate for its effects ("EXIT(0)" ends the script instead);
//   a letter: a name, one space, a postfix expression: evaluate and assign to the name.
// Targets are 0-based line indices; one at or past the end of the list ends the script. The
// engine compiles each script once per run, in place (the source list may be the output list),
// and keeps the compiled lines where the source was.
//
// The interpreter owns a private parser whose name and function callbacks are the virtual
// operations below; it is re-entrant as the parser is.
#include "report/expr/TfrParser.h"
#include "report/expr/TfrVariables.h"

#include <QStringList>

#include <functional>

namespace vaskel {

class TfrInterpretator {
public:
    TfrInterpretator();
    virtual ~TfrInterpretator();
    TfrInterpretator(const TfrInterpretator&) = delete;
    TfrInterpretator& operator=(const TfrInterpretator&) = delete;

    // The value of a name a script expression reads (`value` starts as null).
    virtual void ReadValue(const QString& name, Value& value);
    // A script assignment "name := value". Public: report functions that change a variable (INC,
    // DEC) assign through it as scripts do.
    virtual void AssignValue(const QString& name, const Value& value);
    // A function call of a script expression, with the upper-case name and the unevaluated texts
    // of the first three arguments (`value` starts as null).
    virtual void CallScriptFunction(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value);

    // Replaces `compiled` by the compiled lines of `source` and `errors` by one line per error
    // ("Line 3/12: Need \"then\" here"). After the first error nothing more is compiled; the lines
    // compiled before it stay and can run. `source` and `compiled` may be the same list.
    virtual void CompileScript(const QStringList& source, QStringList& compiled, QStringList& errors);
    // Runs compiled lines from the first until the line index leaves the list or an exit statement
    // runs. Errors of expressions and assignments propagate.
    virtual void RunScript(const QStringList& compiled);

    // Appends to `output` the complete text of every call of a function in `matchFuncs`
    // (upper-case names) found in the expressions of compiled lines, expanding `variables` (may be
    // null) as the function splitter does. The aggregate registration uses it on compiled scripts.
    void CollectFunctions(const QStringList& compiled, const QStringList& matchFuncs,
        const TfrVariables* variables, QStringList& output) const;

    // Called between statements of RunScript: the report's run checks its Cancel button and its
    // time limit here, and throws to end a script that would otherwise never end.
    std::function<void()> CheckStop;

    // Lines a RunScript may execute before it stops with an error; 0 means no limit, which is what
    // reports use. Tools that run untrusted scripts without a person watching set one.
    qint64 StepLimit = 0;

    // Where the last CompileScript stopped without an error line (a malformed number, an
    // unterminated string, an operand missing): 1-based line and column, 0 when it did not.
    int FaultLine() const { return m_faultLine; }
    int FaultColumn() const { return m_faultColumn; }

    // The target of a code 1 or code 2 line; the end of the script for a line too short to hold one.
    static int JumpTarget(const QString& line);

protected:
    TfrParser& parser() { return m_parser; }

private:
    TfrParser m_parser;
    int m_faultLine = 0;
    int m_faultColumn = 0;
};

} // namespace vaskel
