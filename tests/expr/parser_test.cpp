// The expression language end to end: compile, evaluate, operator rules and built-ins, one line
// per case (expression → kind and text form, or the error a person sees).
#include "ExprTestSupport.h"

#include "platform/DateTimeValue.h"

namespace vaskel::test {
namespace {

class ParserTest : public ExprTest {
protected:
    void check(std::initializer_list<ExprCase> cases)
    {
        for (const ExprCase& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(eval(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
        }
    }
};

TEST_F(ParserTest, PrioritiesAndAssociativity)
{
    check({
        {"empty expression", "", "smallint 0"},
        {"only blanks", "  \r ", "smallint 0"},
        {"multiply before add", "2 * 3 + 1", "float 7"},
        {"add after multiply", "2 + 3 * 4", "float 14"},
        {"equal priorities to the left", "8 - 2 - 1", "float 5"},
        {"division to the left", "8 / 2 / 2", "float 2"},
        {"parentheses", "(2 + 3) * 4", "float 20"},
        {"nested parentheses", "((1 + 2) * (3 + 4))", "float 21"},
        {"comparison is a small integer", "1=1", "smallint 1"},
        {"comparison false", "1 = 2", "smallint 0"},
        {"comparisons with parentheses and AND", "(1 < 2) and (2 < 3)", "integer 1"},
        {"AND binds like multiply: 3 > (1 and 2) < 2", "3 > 1 and 2 < 2", "smallint 1"},
        {"AND on integers is bitwise", "6 and 3", "integer 2"},
        {"OR on integers is bitwise", "6 or 3", "integer 7"},
        {"two-character comparisons", "(1 <= 1) + (2 >= 3) + (1 <> 2)", "integer 2"},
        {"unary minus", "-2 * 3", "float -6"},
        {"unary plus", "+2", "float 2"},
        {"minus after parenthesis", "(1)-2", "float -1"},
        {"NOT of a comparison", "not (1 = 2)", "smallint 1"},
        {"NOT of a non-zero number", "not 5", "smallint 0"},
        {"INT binds tightest", "INT(2.7) * 2", "float 4"},
        {"semicolon ends the expression", "1 + 2 ; 5", "float 3"},
        {"carriage return is a blank", "1\r+\r2", "float 3"},
    });
}

TEST_F(ParserTest, LiteralsAndConstants)
{
    check({
        {"decimal point", "1.5 + 1", "float 2.5"},
        {"decimal comma", "1,5 + 1", "float 2.5"},
        {"leading point", ".5", "float 0.5"},
        {"exponent", "1e3", "float 1000"},
        {"malformed number", "1.2.3", "error: '1.2.3' is not a valid floating point value"},
        {"quoted literal", "'abc'", "string abc"},
        {"doubled quote", "'it''s'", "string it's"},
        {"only a doubled quote", "''''", "string '"},
        {"unclosed quote runs to the end", "'abc", "string abc"},
        {"true in any case", "TRUE", "boolean True"},
        {"false in lower case", "false", "boolean False"},
        {"names without lookup are empty", "Customer", "empty "},
        {"bracketed name without lookup is empty", "[Customer name]", "empty "},
        {"unknown function without handler is empty", "SUM([a], b)", "empty "},
        {"large float in exponent form", "1e15 * 10", "float 1E16"},
        {"fifteen significant digits", "1/3", "float 0.333333333333333"},
        {"small float in exponent form", "0.00001", "float 1E-5"},
        {"smallest fixed form", "0.0001", "float 0.0001"},
    });
}

TEST_F(ParserTest, ValueRules)
{
    check({
        {"quoted number plus number is a float", "'1' + 1", "float 2"},
        {"quoted text plus number fails", "'a' + 1", "error: 'a' is not a valid floating point value"},
        {"two texts concatenate", "'ab' + 'cd'", "string abcd"},
        {"two texts multiply as numbers", "'2' * '3'", "float 6"},
        {"case-sensitive ordinal compare", "'a' < 'B'", "smallint 0"},
        {"text equality", "'abc' = 'abc'", "smallint 1"},
        {"text against number compares numerically", "'10' > 9", "smallint 1"},
        {"booleans order false before true", "false < true", "smallint 1"},
        {"booleans add as -1", "true + true", "integer -2"},
        {"boolean AND is logical", "true and false", "boolean False"},
        {"boolean OR is logical", "true or false", "boolean True"},
        {"comparisons add as integers", "(1=1) + (2=2)", "integer 2"},
        {"division is always float", "(1=1) / (1=1)", "float 1"},
        {"divide by zero gives 0", "7/0", "smallint 0"},
        {"divide by quoted zero gives 0", "7/'0'", "smallint 0"},
        {"mod", "7 mod 3", "integer 1"},
        {"mod rounds operands to even", "7.5 mod 2.5", "integer 0"},
        {"mod by zero fails", "7 mod 0", "error: Division by zero"},
        {"negative mod keeps the sign of the left", "-7 mod 3", "integer -1"},
        {"empty plus number", "x + 1", "float 1"},
        {"empty plus text", "x + 'a'", "string a"},
        {"empty plus empty", "x + y", "empty "},
        {"empty divided by empty", "x / y", "smallint 0"},
        {"empty mod empty fails", "x mod y", "error: Division by zero"},
        {"empty equals empty", "x = y", "smallint 1"},
        {"empty equals zero", "x = 0", "smallint 1"},
        {"NOT of empty", "not x", "smallint 1"},
        {"integer sums past 32 bits become floats", "((1=1) * 2147483647) + (1=1)", "float 2147483648"},
    });
}

TEST_F(ParserTest, RoundingBuiltIns)
{
    check({
        {"ROUND half to even down", "ROUND(2.5)", "float 2"},
        {"ROUND half to even up", "ROUND(3.5)", "float 4"},
        {"ROUND negative half", "ROUND(-2.5)", "float -2"},
        {"INT truncates toward zero", "INT(-2.7)", "float -2"},
        {"INT snaps a hair below an integer", "INT(2.99999999999)", "float 3"},
        {"INT outside the snap", "INT(2.9999999)", "float 2"},
        {"FRAC", "FRAC(1.25)", "float 0.25"},
        {"FRAC negative", "FRAC(-1.25)", "float -0.25"},
        {"FRAC snaps to 0", "FRAC(2.99999999999)", "float 0"},
        {"STR of a number", "STR(1.5) + 'x'", "string 1.5x"},
        {"STR of a boolean", "STR TRUE", "string True"},
        {"INT of text fails", "INT('a')", "error: 'a' is not a valid floating point value"},
    });
}

TEST_F(ParserTest, FunctionBuiltIns)
{
    check({
        {"COPY takes start and count", "COPY('abcdef', 2, 3)", "string bcd"},
        {"COPY counts characters", "COPY('汉字和😀x', 4, 2)", "string 😀x"},
        {"COPY past the end", "COPY('abc', 5, 2)", "string "},
        {"COPY with start below 1", "COPY('abc', 0, 2)", "string ab"},
        {"COPY with a fractional start", "COPY('abc', 1.5, 1)", "error: '1.5' is not a valid integer value"},
        {"IF true branch", "IF(1 < 2, 'yes', 'no')", "string yes"},
        {"IF false branch", "IF(1 > 2, 'yes', 'no')", "string no"},
        {"IF integral part", "IF(0.5, 'yes', 'no')", "string no"},
        {"IF with a boolean condition fails", "IF(TRUE, 1, 2)",
            "error: 'True' is not a valid floating point value"},
        {"IF nested", "IF(1, IF(0, 1, 2), 3)", "float 2"},
        {"STRTODATE", "STRTODATE('11/15/1998')", "datetime 11/15/1998"},
        {"STRTODATE with a two-digit year", "STRTODATE('1/2/03')", "datetime 1/2/2003"},
        {"STRTODATE invalid", "STRTODATE('31/31/1998')", "error: '31/31/1998' is not a valid date"},
        {"STRTOTIME", "STRTOTIME('6:30 PM')", "datetime 6:30:00 PM"},
        {"STRTOTIME 24-hour", "STRTOTIME('18:30:15')", "datetime 6:30:15 PM"},
        {"STRTOTIME invalid", "STRTOTIME('25:00')", "error: '25:00' is not a valid time"},
        {"date plus a number stays a date", "STRTODATE('11/15/1998') + 1.75",
            "datetime 11/16/1998 6:00:00 PM"},
        {"date minus date is a float", "STRTODATE('11/15/1998') - STRTODATE('11/1/1998')", "float 14"},
        {"unclosed call fails", "SUM(1, 2", "error: "},
    });
}

TEST_F(ParserTest, NullPropagation)
{
    parser().LookupName = [](const QString& name, Value& value) {
        if (name == QLatin1String("N"))
            value = Value::null();
        else
            value = Value(1.0);
    };
    check({
        {"null plus number", "N + 1", "null "},
        {"null AND false is false", "N and false", "boolean False"},
        {"false AND null is false", "false and N", "boolean False"},
        {"null AND true is null", "N and true", "null "},
        {"null OR true is true", "N or true", "boolean True"},
        {"null equals null", "N = N", "smallint 1"},
        {"null equals nothing else", "N = 0", "smallint 0"},
        {"null is below everything", "N < -1000", "smallint 1"},
        {"null divided is null", "N / 2", "null "},
        {"STR of null is empty text", "STR(N)", "string "},
        {"null to text fails", "COPY(N, 1, 1)",
            "error: Could not convert variant of type (Null) into type (String)"},
        {"names are looked up upper-cased", "a + B", "float 2"},
    });
}

TEST_F(ParserTest, CallbacksGetUpperNamesAndSourceTexts)
{
    QStringList seen;
    parser().LookupName = [&](const QString& name, Value& value) {
        seen << QStringLiteral("name ") + name;
        EXPECT_TRUE(value.isNull());
        value = Value(10);
    };
    parser().CallFunction = [&](const QString& name, const Value& p1, const Value& p2,
                                const Value& p3, Value& value) {
        seen << QStringLiteral("call %1|%2|%3|%4").arg(name, p1.toText(), p2.toText(), p3.toText());
        // Handlers evaluate their arguments themselves, with the same parser.
        value = ExprGlobals::get().parser.Evaluate(p1.toText());
    };
    EXPECT_EQ(eval("sum([Item.Price] * 2, Band1) + qty + [Mixed Case]"), "float 40");
    EXPECT_EQ(seen,
        QStringList({"call SUM|[Item.Price] * 2| Band1|", "name Item.Price", "name QTY", "name Mixed Case"}));
    seen.clear();
    EXPECT_EQ(eval("f(1,2,3,4)"), "float 1");
    EXPECT_EQ(seen, QStringList({"call F|1|3|"})) << "four arguments: the third text is dropped";
    seen.clear();
    EXPECT_EQ(eval("Arr[i + 1]"), "integer 10");
    EXPECT_EQ(seen, QStringList({"call GETARRAY|Arr| i + 1|", "name ARR"}));
}

TEST_F(ParserTest, IfEvaluatesOnlyTheChosenBranch)
{
    int calls = 0;
    parser().CallFunction
        = [&](const QString& name, const Value&, const Value&, const Value&, Value& value) {
              ++calls;
              value = Value(name);
          };
    EXPECT_EQ(eval("IF(1 = 1, 'shown', MESSAGEBOX('never'))"), "string shown");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(eval("IF(1 = 2, NEVER(), CHOSEN())"), "string CHOSEN");
    EXPECT_EQ(calls, 1);
}

TEST_F(ParserTest, CopyEvaluatesStartThenCountThenText)
{
    QStringList order;
    parser().LookupName = [&](const QString& name, Value& value) {
        order << name;
        value = name == QLatin1String("S") ? Value("hello") : Value(2);
    };
    EXPECT_EQ(eval("COPY(S, START, COUNT)"), "string el");
    EXPECT_EQ(order, QStringList({"START", "COUNT", "S"}));
}

TEST_F(ParserTest, CallbackErrorsPropagateUnchanged)
{
    parser().LookupName = [](const QString&, Value&) { throw EVariantError("lookup failed"); };
    EXPECT_EQ(eval("1 + x"), "error: lookup failed");
    parser().LookupName = nullptr;
    EXPECT_EQ(eval("1 + x"), "float 1") << "the parser keeps nothing from the failed call";
}

TEST_F(ParserTest, CompiledFormIsThePostfixText)
{
    struct Case {
        const char* name;
        const char* infix;
        QString postfix;
    } cases[] = {
        {"operands and operators", "a + b * 2", "a b 2 *+"},
        {"comparison codes", "a <> b", QStringLiteral("a b ") + QChar(3)},
        {"function call verbatim, no space", "SUM([x], 1) + 1", "SUM([x], 1)1 +"},
        {"array element", "a[1 + 2]", "a[1 + 2] "},
        {"unary minus code", "-a", QStringLiteral("a ") + QChar(9)},
        {"word operators", "INT x mod 2", QStringLiteral("x ") + QChar(6) + QStringLiteral("2 ") + QChar(13)},
        {"quoted literal kept as written", "'a''b' + 1", "'a''b' 1 +"},
        {"unmatched ( dropped", "(1 + 2", "1 2 +"},
        {"unmatched ) ignored", "1 + 2)", "1 2 +"},
        {"percent operand", "%d + 1", "%d 1 +"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parser().Compile(QString::fromUtf8(c.infix)), c.postfix);
    }
}

// The language's own consequences of priorities: operators that find too few operands or too many
// values on the stack end in a clear error, never outside the 32-value stack.
TEST_F(ParserTest, MalformedExpressionsFailClearly)
{
    const QString noOperand = "error: Invalid expression: an operator has no operand";
    check({
        {"binary operator then unary minus", "2*-3", "error: Invalid expression: an operator has no operand"},
        {"plus then minus", "a+-1", "error: Invalid expression: an operator has no operand"},
        {"lonely operator", "*", "error: Invalid expression: an operator has no operand"},
        {"NOT NOT", "not not 1", "error: Invalid expression: an operator has no operand"},
        {"32 operands fit",
            "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32",
            "float 1"},
        {"33 operands do not",
            "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33",
            "error: Expression too complex: more than 32 values at once"},
        {"stray operator character in postfix position", "1 ) ) 2", "float 1"},
    });
    QString deep;
    for (int i = 0; i < 300; ++i)
        deep += "IF(1, ";
    deep += "7";
    for (int i = 0; i < 300; ++i)
        deep += ", 0)";
    EXPECT_EQ(eval(deep), "error: Expression nested too deeply (more than 200 levels)");
}

TEST_F(ParserTest, SelfReferringNameFailsInsteadOfExhaustingTheStack)
{
    parser().LookupName = [this](const QString&, Value& value) { value = parser().Evaluate("[A] + 1"); };
    EXPECT_EQ(eval("[A]"), "error: Expression nested too deeply (more than 200 levels)");
}

TEST_F(ParserTest, TextFormsFollowTheLocale)
{
    globals.locale.decimalSeparator = ',';
    globals.locale.trueName = "Wahr";
    globals.locale.shortDateFormat = "dd.mm.yyyy";
    globals.locale.dateSeparator = '.';
    check({
        {"decimal comma in text", "1.5 + 1", "float 2,5"},
        {"decimal point still reads", "1,5 * 2", "float 3"},
        {"quoted text uses the locale separator", "'1,5' + 1", "float 2,5"},
        {"quoted point is not a number here", "'1.5' + 1",
            "error: '1.5' is not a valid floating point value"},
        {"boolean text", "TRUE", "boolean Wahr"},
        {"date order", "STRTODATE('15.11.1998')", "datetime 15.11.1998"},
    });
}

} // namespace
} // namespace vaskel::test
