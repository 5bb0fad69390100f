#pragma once
// The expression parser and evaluator of the report language. `Compile` turns infix text into a
// compact postfix string; `EvaluateCompiled` runs a postfix string on a fixed stack of 32 Values;
// `Evaluate` does both. The parser knows literals, operators, parentheses, TRUE/FALSE and the
// built-ins COPY, IF, STRTODATE and STRTOTIME; every other name goes to `LookupName` and every other
// function call to `CallFunction`, which the report installs before a run.
//
// Callers that evaluate an expression many times (group conditions, highlight conditions, script
// expressions) compile once and keep the postfix text. Function calls stay as source text in the
// postfix form and are split and compiled each time they are reached.
//
// The parser keeps no state between calls and is re-entrant: callbacks call it again all the time.
// Nesting (function arguments, callbacks evaluating names that evaluate names ...) is limited to
// `kMaxNesting` levels, so a name that refers to itself fails with a message instead of exhausting
// the machine's stack.
//
// Postfix operator characters: "*" "/" "+" "-" "<" "=" ">" as themselves; the others by code.
#include "report/expr/Value.h"

#include <QString>

#include <functional>

namespace vaskel {

class TfrParser {
public:
    // Asked for every name that is not a literal, upper-cased, and for every bracketed name as
    // written; `value` starts as null. Unset: names yield empty.
    using LookupNameFn = std::function<void(const QString& name, Value& value)>;
    // Asked for every call other than the built-ins, with the upper-case name and the unevaluated
    // source texts of the first three arguments as string Values (empty text when missing); the
    // handler evaluates them as it needs. `value` starts as null. Unset: calls yield empty.
    using CallFunctionFn = std::function<void(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)>;

    LookupNameFn LookupName;
    CallFunctionFn CallFunction;

    // Operator codes of the postfix form.
    enum : char16_t {
        opGreaterEqual = 1,
        opLessEqual = 2,
        opNotEqual = 3,
        opOr = 4,
        opAnd = 5,
        opInt = 6,
        opFrac = 7,
        opNegate = 9,
        opUnaryPlus = 10,
        opStr = 11,
        opNot = 12,
        opMod = 13,
        opRound = 14,
    };

    static constexpr int kStackSize = 32;
    static constexpr int kMaxNesting = 200;

    Value Evaluate(const QString& text) const;
    QString Compile(const QString& text) const;
    Value EvaluateCompiled(const QString& postfix) const;

    // The language's round(): nearest, an exact half to the even neighbour; stays a double.
    static double roundHalfEven(double x);

private:
    Value evaluateName(QStringView postfix, qsizetype& pos) const;
    Value callBuiltIn(const QString& upperName, QStringView text, qsizetype& pos) const;

    mutable int m_nesting = 0; // depth of the current Evaluate chain; 0 between calls
};

} // namespace vaskel
