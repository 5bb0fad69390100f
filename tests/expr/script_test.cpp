// The script language end to end: compile a script, run the compiled lines, and compare the
// variables it leaves (or the error lines the compiler gives). The host below keeps variables in a
// list of its own and answers the few functions the cases call, as a report does through its
// lookup chain and function handler.
#include "ExprTestSupport.h"

#include "report/expr/ScriptCompiler.h"
#include "report/expr/TfrInterpretator.h"

#include <algorithm>

namespace vaskel::test {
namespace {

class ScriptHost : public TfrInterpretator {
public:
    void ReadValue(const QString& name, Value& value) override
    {
        const Value* v = variables.find(name);
        value = v ? *v : Value();
    }
    void AssignValue(const QString& name, const Value& value) override { variables.SetValue(name, value); }
    void CallScriptFunction(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value) override
    {
        calls += name + QLatin1Char('(') + p1.stringValue() + QLatin1Char('|') + p2.stringValue()
            + QLatin1Char('|') + p3.stringValue() + QLatin1Char(')');
        // Array elements are kept under "name[index text]".
        const auto element = [&](const Value& index) {
            return p1.stringValue().trimmed() + QLatin1Char('[')
                + parser().Evaluate(index.stringValue()).toText() + QLatin1Char(']');
        };
        if (name == u"SETARRAY")
            variables.SetValue(element(p2), parser().Evaluate(p3.stringValue()));
        else if (name == u"GETARRAY")
            value = variables.GetValue(element(p2));
    }

    TfrVariables variables;
    QStringList calls;
};

struct ScriptCase {
    const char* name;
    const char* script;
    const char* expected;
};

class ScriptTest : public ::testing::Test {
protected:
    void check(std::initializer_list<ScriptCase> cases)
    {
        for (const ScriptCase& c : cases) {
            SCOPED_TRACE(c.name);
            host.variables.Clear();
            host.calls.clear();
            EXPECT_EQ(run(c.script).toStdString(), c.expected) << c.script;
        }
    }

    // Compiles and runs `script` (lines separated by "\n"); the result is the error lines, or the
    // variables left behind as "name=kind text" joined by "; ".
    QString run(const char* script)
    {
        QStringList compiled, errors;
        host.CompileScript(QString::fromUtf8(script).split(QLatin1Char('\n')), compiled, errors);
        if (!errors.isEmpty())
            return errors.join(QLatin1Char('\n'));
        try {
            host.RunScript(compiled);
        } catch (const VaskelError& e) {
            return QStringLiteral("error: ") + e.message();
        }
        QStringList out;
        for (int i = 0; i < host.variables.Count(); ++i)
            out += host.variables.Names(i) + QLatin1Char('=') + describe(host.variables.Values(i));
        std::sort(out.begin(), out.end());
        return out.join(QStringLiteral("; "));
    }

    ExprGlobals globals;
    ScriptHost host;
};

TEST_F(ScriptTest, StatementsAndLoops)
{
    check({
        {"two statements without begin compile only the first", "a := 1; b := 2", "a=float 1"},
        {"compound statement", "begin a := 1; b := a + 1 end", "a=float 1; b=float 2"},
        {"END written with its semicolon", "begin a := 1 end;", "a=float 1"},
        {"empty statements", "begin ; a := 1;; end", "a=float 1"},
        {"while", "begin x := 0; while x < 3 do x := x + 1 end", "x=float 3"},
        {"repeat stops when the condition holds",
            "begin x := 3; n := 0; repeat x := x - 1; n := n + 1 until x = 0 end", "n=float 3; x=float 0"},
        {"for counts up and leaves the variable past the limit",
            "begin s := 0; for i := 1 to 3 do s := s + i end", "i=float 4; s=float 6"},
        {"for over an empty range runs no round", "begin n := 0; for i := 1 to 0 do n := n + 1 end",
            "i=float 1; n=float 0"},
        {"for evaluates its limit before every round",
            "begin m := 3; n := 0; for i := 1 to m do begin n := n + 1; m := 2 end end",
            "i=float 3; m=float 2; n=float 2"},
        {"if then else", "begin a := 5; if a > 3 then b := 1 else b := 2 end", "a=float 5; b=float 1"},
        {"nested if takes the inner else", "begin a := 1; if a = 1 then if a = 2 then b := 1 else b := 2 end",
            "a=float 1; b=float 2"},
        {"exit ends the script", "begin x := 1; if x = 1 then exit; x := 2 end", "x=float 1"},
        {"exit written as a call", "begin x := 1; Exit(0); x := 2 end", "x=float 1"},
        {"comments are not part of expressions",
            "begin { start } x := 1 + { two } 2; // the rest of the line\ny := x // last\nend",
            "x=float 3; y=float 3"},
        {"operators are ordered by the expression parser", "begin x := 2 + 3 * 4; y := 7 mod 4 end",
            "x=float 14; y=integer 3"},
        {"tabs are blanks", "begin\tx\t:=\t1\tend", "x=float 1"},
        {"keywords in any letter case", "BEGIN x := 0; WHILE x < 2 Do x := x + 1 END", "x=float 2"},
        {"a word beginning with an operator word is that operator", "begin a := 6; b := 3; x := a andb end",
            "a=float 6; b=float 3; x=integer 2"},
    });
}

TEST_F(ScriptTest, ConditionsCountAsFalseOnlyWhenEqualToZero)
{
    struct Case {
        const char* name;
        Value a;
        const char* expected;
    };
    const Case cases[] = {
        {"false takes else", Value(false), "float 2"},
        {"true takes then", Value(true), "float 1"},
        {"0 takes else", Value(0.0), "float 2"},
        {"empty takes else", Value(), "float 2"},
        {"null takes then: null does not equal 0", Value::null(), "float 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.variables.Clear();
        host.variables.SetValue(QStringLiteral("A"), c.a);
        QStringList compiled, errors;
        host.CompileScript({QStringLiteral("if a then b := 1 else b := 2")}, compiled, errors);
        ASSERT_TRUE(errors.isEmpty());
        host.RunScript(compiled);
        EXPECT_EQ(describe(host.variables.GetValue(QStringLiteral("b"))), QString::fromUtf8(c.expected));
    }
}

TEST_F(ScriptTest, ProceduresArraysAndCalls)
{
    check({
        {"a procedure alone at the end needs a semicolon", "NewPage", "Line 1/8: Need \":=\" here"},
        {"a procedure followed by END with its semicolon does not stand alone", "begin NewPage end;",
            "Line 1/15: Need \":=\" here"},
        {"array element written and read", "begin Arr[2] := 5; x := Arr[2] + 1 end",
            "Arr[2]=float 5; x=float 6"},
        {"array index is an expression", "begin i := 1; Arr[i + 1] := 'a'; x := Arr[2] end",
            "Arr[2]=string a; i=float 1; x=string a"},
    });
    for (const char* script : {"NewPage;", "begin NewPage end", "begin if 1 then NewPage else x := 1 end"}) {
        SCOPED_TRACE(script);
        host.calls.clear();
        host.variables.Clear();
        EXPECT_EQ(run(script), QString());
        EXPECT_EQ(host.calls, QStringList{QStringLiteral("NEWPAGE(0||)")});
    }
    host.calls.clear();
    run("MessageBox('a, b', x + 1, 0)");
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("MESSAGEBOX('a, b'| x + 1| 0)")});

    QStringList compiled, errors;
    host.CompileScript({QStringLiteral("Arr[2] := 5")}, compiled, errors);
    EXPECT_EQ(compiled, QStringList{QChar(3) + QStringLiteral("SETARRAY(Arr, 2, 5)")});
}

TEST_F(ScriptTest, Labels)
{
    check({
        {"backward goto", "begin x := 0; 10: x := x + 1; if x < 3 then goto 10; y := x end",
            "x=float 3; y=float 3"},
        {"forward goto skips statements", "begin goto 20; x := 1; 20: y := 2 end", "y=float 2"},
        {"a label defined twice keeps its first place",
            "begin n := 0; 5: n := n + 1; if n < 2 then goto 5; 5: end", "n=float 2"},
        {"goto needs a number", "begin goto abc end", "Line 1/12: \"goto\" label must be a number"},
        {"goto to a label nobody defines", "begin goto 99; x := 1 end", "Line 1/12: Undefined label \"99\""},
    });
    // Whatever compiled still runs as a report would run it: the undefined goto ends the script.
    QStringList compiled, errors;
    host.variables.Clear();
    host.CompileScript({QStringLiteral("begin x := 1; goto 99; x := 2 end")}, compiled, errors);
    ASSERT_EQ(errors.size(), 1);
    host.RunScript(compiled);
    EXPECT_EQ(describe(host.variables.GetValue(QStringLiteral("x"))), QStringLiteral("float 1"));
}

TEST_F(ScriptTest, ErrorLines)
{
    check({
        {"if without then on the third line", "begin\n  x := 1;\n  if x > 0 begin\n    y := 1\n  end\nend",
            "Line 3/12: Need \"then\" here"},
        {"missing semicolon", "begin x := 1 y := 2 end", "Line 1/14: Need \";\" or \"end\" here"},
        {"missing end at the end of the script", "begin\nx := 1", "Line 2/7: Need \";\" or \"end\" here"},
        {"repeat without until", "repeat x := 1 y", "Line 1/15: Need \";\" or \"until\" here"},
        {"while without do", "while x y := 1", "Line 1/9: Need \"do\" here"},
        {"for without to", "for i := 1 do x := 1", "Line 1/12: Need \"to\" here"},
        {"for without do", "for i := 1 to 3 x := 1", "Line 1/17: Need \"do\" here"},
        {"designator followed by something else", "x y", "Line 1/3: Need \":=\" here"},
        {"unclosed parenthesis", "x := (1 + 2", "Line 1/12: Need \")\" here"},
        {"unclosed bracket", "x := [abc", "Line 1/10: Need \"]\" here"},
        {"unclosed array index", "x := Arr[1 + 2", "Line 1/15: Need \"]\" here"},
        {"bad argument separator", "x := f(1; 2)", "Line 1/9: Need \",\" or \")\" here"},
        {"columns count the text with its comments", "begin {a comment} x := 1 y := 2 end",
            "Line 1/26: Need \";\" or \"end\" here"},
        {"only the first error is reported", "begin x y; z w end", "Line 1/9: Need \":=\" here"},
    });
}

// An editor's check of one expression: the script grammar with names read as the expression
// parser reads them, and nothing after the expression.
TEST_F(ScriptTest, CheckingOneExpression)
{
    struct Case {
        const char* name;
        const char* text;
        bool ok;
        const char* message;
        int line, column;
    };
    const Case cases[] = {
        {"field of a dataset with a quoted name", "ADOQuery1.\"AMT\" * 2", true, "", 0, 0},
        {"system variable and a name in Chinese", "PAGE# + 单价", true, "", 0, 0},
        {"a function call with a nested bracket", "SUM([ADOQuery1.\"AMT\"], Band2)", true, "", 0, 0},
        {"two operands in a row", "A B", false, "Line 1/3: Need an operator here", 1, 3},
        {"unclosed parenthesis on the second line", "(1 +\n 2", false, "Line 2/3: Need \")\" here", 2, 3},
        {"missing operand: a stop without a message", "1 *", false, "", 1, 4},
        {"unterminated quoted name", "Q1.\"AMT", false, "", 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptCompiler::ExpressionCheck r
            = ScriptCompiler::checkExpression(QString::fromUtf8(c.text), ExprGlobals::get().parser);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.message, QString::fromUtf8(c.message));
        EXPECT_EQ(r.line, c.line);
        EXPECT_EQ(r.column, c.column);
    }
}

TEST_F(ScriptTest, MalformedLiteralsStopWithoutAMessageAndKeepWhatCompiled)
{
    for (const char* script : {"begin x := 1; y := 1.; z := 2 end", "begin x := 1; y := 'abc; z := 2 end",
             "begin x := 1; y := ; z := 2 end"}) {
        SCOPED_TRACE(script);
        host.variables.Clear();
        QStringList compiled, errors;
        host.CompileScript({QString::fromUtf8(script)}, compiled, errors);
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_EQ(host.FaultLine(), 1);
        ASSERT_EQ(compiled.size(), 1);
        host.RunScript(compiled);
        EXPECT_EQ(host.variables.Count(), 1);
    }
}

TEST_F(ScriptTest, CompilesInPlaceAndRunsAgain)
{
    QStringList script{QStringLiteral("begin"), QStringLiteral("  n := n + 1"), QStringLiteral("end")};
    QStringList errors{QStringLiteral("stale")};
    host.CompileScript(script, script, errors);
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(script.size(), 1);
    host.RunScript(script);
    host.RunScript(script);
    EXPECT_EQ(describe(host.variables.GetValue(QStringLiteral("n"))), QStringLiteral("float 2"));
}

TEST_F(ScriptTest, JumpsLeftOpenByAnErrorEndTheScript)
{
    // The while line's exit target was never set: it must lead past the end, not into the list.
    QStringList compiled, errors;
    host.CompileScript({QStringLiteral("begin while 1 do begin x := 1 y end end")}, compiled, errors);
    ASSERT_EQ(errors.size(), 1);
    ASSERT_EQ(compiled.size(), 2);
    EXPECT_GE(TfrInterpretator::JumpTarget(compiled[0]), compiled.size());
    host.RunScript(compiled);
    EXPECT_EQ(describe(host.variables.GetValue(QStringLiteral("x"))), QStringLiteral("float 1"));
}

TEST_F(ScriptTest, AnExpressionTheParserRejectsEndsTheCompiledLines)
{
    // The grammar takes "[(]" as a bracketed name, the parser's argument splitter counts its "(":
    // the call never closes for the parser. The lines before it stay; the jump over it now ends
    // the script instead of pointing past the lines kept.
    QStringList compiled, errors;
    host.CompileScript(
        {QStringLiteral("begin x := 1; if x = 1 then y := f([(]); z := 2 end")}, compiled, errors);
    EXPECT_EQ(errors, QStringList{QStringLiteral("Line 1/29: Need \")\" here")});
    ASSERT_EQ(compiled.size(), 2);
    EXPECT_EQ(TfrInterpretator::JumpTarget(compiled[1]), ScriptCompiler::kEndOfScript);
}

TEST_F(ScriptTest, DeepNestingIsAnErrorNotACrash)
{
    for (const QString& script : {QString(5000, QLatin1Char('(')), QStringLiteral("begin ").repeated(5000),
             QStringLiteral("x := ") + QStringLiteral("- ").repeated(5000) + QLatin1Char('1')}) {
        QStringList compiled, errors;
        host.CompileScript({script}, compiled, errors);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QStringLiteral("nested too deeply"))) << errors[0].toStdString();
    }
    // Long flat scripts are fine.
    QStringList compiled, errors;
    host.CompileScript({QStringLiteral("x := 1") + QStringLiteral(" + 1").repeated(20000)}, compiled, errors);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ScriptTest, StepLimitStopsARunawayLoop)
{
    QStringList compiled, errors;
    host.CompileScript({QStringLiteral("while 1 do ;")}, compiled, errors);
    ASSERT_TRUE(errors.isEmpty());
    host.StepLimit = 1000;
    EXPECT_THROW(host.RunScript(compiled), EParserError);
}

TEST_F(ScriptTest, RunErrorsPropagate)
{
    EXPECT_EQ(run("begin x := 1; y := 'a' + 1; z := 2 end"),
        QStringLiteral("error: 'a' is not a valid floating point value"));
    EXPECT_FALSE(host.variables.contains(QStringLiteral("z")));
}

TEST_F(ScriptTest, CollectFunctionsReadsEveryExpression)
{
    QStringList compiled, errors;
    host.CompileScript({QStringLiteral("begin x := SUM([a]) + 1; if SUM([b]) > COUNT(c) then y := 2;"),
                           QStringLiteral("Show(SUM(SUM(d))) end")},
        compiled, errors);
    ASSERT_TRUE(errors.isEmpty());
    QStringList found;
    host.CollectFunctions(compiled, {QStringLiteral("SUM")}, nullptr, found);
    EXPECT_EQ(found,
        (QStringList{QStringLiteral("SUM([a])"), QStringLiteral("SUM([b])"), QStringLiteral("SUM(d)"),
            QStringLiteral("SUM(SUM(d))")}));
}

} // namespace
} // namespace vaskel::test
