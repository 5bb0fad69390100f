#pragma once
// A fresh expression-layer globals object (pinned English locale) per test, and the one-line form
// of a result that the table tests compare: "kind text" or "error: message".
#include "report/expr/ExprErrors.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/TfrParser.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vaskel::test {

inline QString describe(const Value& v)
{
    return v.kindName() + QLatin1Char(' ') + (v.isNull() ? QString() : v.toText());
}

class ExprTest : public ::testing::Test {
protected:
    QString eval(const QString& expression)
    {
        try {
            return describe(parser().Evaluate(expression));
        } catch (const VaskelError& e) {
            return QStringLiteral("error: ") + e.message();
        }
    }
    TfrParser& parser() { return globals.parser; }

    ExprGlobals globals;
};

struct ExprCase {
    const char* name;
    const char* expression;
    const char* expected;
};

} // namespace vaskel::test
