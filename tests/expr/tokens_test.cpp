// The tokenising helpers shared by the compiler, bracket expansion and the script compiler, and the
// function splitter built on them.
#include "ExprTestSupport.h"

#include "report/expr/ExprTokens.h"
#include "report/expr/TfrFunctionSplitter.h"

namespace vaskel::test {
namespace {

TEST(ExprTokens, ReadNameStopsOutsideDoubleQuotesOnly)
{
    struct Case {
        const char* name;
        const char* text;
        qsizetype start;
        const char* expected;
        qsizetype end;
    } cases[] = {
        {"quoted dataset and field with a space, then an operator", "\"Data 1\".\"Unit price\"*2", 0,
            "\"Data 1\".\"Unit price\"", 21},
        {"leading control characters skipped", "\t\n  abc+1", 0, "abc", 7},
        {"comma, dot, colon and semicolon are name characters", "a,b.c:d;e]f g", 0, "a,b.c:d;e]f", 11},
        {"bracket stops", "arr[1]", 0, "arr", 3},
        {"tab inside a name is a name character", "a\tb c", 0, "a\tb", 3},
        {"odd quote runs to the end", "\"a b + c", 0, "\"a b + c", 8},
        {"at a stop character nothing is read", "(x", 0, "", 0},
        {"past the end", "ab", 5, "", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qsizetype pos = c.start;
        EXPECT_EQ(ReadName(QString::fromUtf8(c.text), pos), QString::fromUtf8(c.expected));
        EXPECT_EQ(pos, c.end);
    }
}

TEST(ExprTokens, ReadQuotedAndUnquote)
{
    qsizetype pos = 2;
    const QString text = "x 'it''s' + 1";
    EXPECT_EQ(ReadQuoted(text, pos), "'it''s'");
    EXPECT_EQ(pos, 9);
    EXPECT_EQ(unquoteLiteral(u"'it''s'"), "it's");
    bool closed = true;
    pos = 0;
    EXPECT_EQ(ReadQuoted(u"'open''", pos, &closed), "'open''");
    EXPECT_FALSE(closed);
    EXPECT_EQ(pos, 7);
}

TEST(ExprTokens, FindBracketedNestsAndSkipsQuotes)
{
    struct Case {
        const char* name;
        const char* text;
        qsizetype start;
        qsizetype open, close;
        const char* inner;
    } cases[] = {
        {"nested brackets", "[A[1]] + 1", 0, 0, 5, "A[1]"},
        {"bracket in single quotes", "x [COPY(']', 1, 1)]", 2, 2, 18, "COPY(']', 1, 1)"},
        {"bracket in double quotes", "[\"a]b\".c]", 0, 0, 8, "\"a]b\".c"},
        {"no closing bracket: the last character closes", "[abc", 0, 0, 3, "ab"},
        {"not on a bracket", "abc", 1, 1, 1, ""},
        {"past the end", "[a]", 9, 9, 9, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BracketedText b = FindBracketed(QString::fromUtf8(c.text), c.start);
        EXPECT_EQ(b.open, c.open);
        EXPECT_EQ(b.close, c.close);
        EXPECT_EQ(b.inner, QString::fromUtf8(c.inner));
    }
}

TEST(ExprTokens, SplitArguments)
{
    struct Case {
        const char* name;
        const char* text;
        const char* first;
        const char* second;
        const char* third;
        qsizetype end;
    } cases[] = {
        {"three arguments untrimmed", "F(a, b ,c) + 1", "a", " b ", "c", 10},
        {"nested calls and quoted commas", "F(G(1,2), 'x,)', 3)", "G(1,2)", " 'x,)'", " 3", 19},
        {"one argument", "F(x)", "x", "", "", 4},
        {"no arguments", "F()", "", "", "", 3},
        {"four arguments: second is between the last commas, third empty", "F(1,2,3,4)", "1", "3", "", 10},
        {"brackets are not special", "F([a,b])", "[a", "b]", "", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qsizetype pos = 1;
        const FunctionArguments a = SplitArguments(QString::fromUtf8(c.text), pos);
        EXPECT_TRUE(a.closed);
        EXPECT_EQ(a.first, QString::fromUtf8(c.first));
        EXPECT_EQ(a.second, QString::fromUtf8(c.second));
        EXPECT_EQ(a.third, QString::fromUtf8(c.third));
        EXPECT_EQ(pos, c.end);
    }
    qsizetype pos = 1;
    EXPECT_FALSE(SplitArguments(u"F(a, (b)", pos).closed);
    EXPECT_EQ(pos, 8);
}

class SplitterTest : public ExprTest {
protected:
    QStringList split(const QString& text)
    {
        QStringList out;
        TfrFunctionSplitter splitter(match, &variables, out);
        splitter.Split(text);
        return out;
    }
    QStringList match{"SUM", "COUNT"};
    TfrVariables variables;
};

TEST_F(SplitterTest, FindsCallsInnerFirst)
{
    variables.SetValue("Total", Value("SUM([Qty]) * 2"));
    variables.SetValue("Self", Value("[Self]"));
    struct Case {
        const char* name;
        const char* text;
        QStringList expected;
    } cases[] = {
        {"one call with a field and a band", "SUM([Items.\"Price\"], MasterData1)",
            {"SUM([Items.\"Price\"], MasterData1)"}},
        {"nested call first", "SUM(SUM([a]) + 1)", {"SUM([a])", "SUM(SUM([a]) + 1)"}},
        {"arguments from the third back", "sum(1, count(2), sum(3))",
            {"sum(3)", "count(2)", "sum(1, count(2), sum(3))"}},
        {"inside another function", "IF(COUNT(x) > 0, 1, 2)", {"COUNT(x)"}},
        {"duplicates as often as they occur", "SUM(a) + SUM(a)", {"SUM(a)", "SUM(a)"}},
        {"through a bracketed variable", "[Total] / 2", {"SUM([Qty])"}},
        {"through a plain variable name", "1 + Total", {"SUM([Qty])"}},
        {"bracketed calls", "[SUM(x)]", {"SUM(x)"}},
        {"bracket after a tab", "1 +\t[SUM(x)]", {"SUM(x)"}},
        {"a quoted text yields nothing", "  'SUM(x)'", {}},
        {"other functions are not listed", "MAX(a, MIN(b))", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(split(QString::fromUtf8(c.text)), c.expected);
    }
    EXPECT_THROW(split("[Self]"), EParserError) << "a variable that expands to itself ends, with an error";
}

} // namespace
} // namespace vaskel::test
