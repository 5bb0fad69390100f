// `vaskel eval`: one line per expression, kind and text or the error, evaluated with the function
// libraries and an empty report behind the names; options and exit codes.
#include "support/CommandRun.h"
#include "tools/CommandLine.h"
#include "tools/EvalCommand.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace vaskel {
namespace {

test::CommandRun runEval(const QStringList& args)
{
    return test::runCommand(runEvalCommand, args);
}

TEST(EvalCommand, PrintsKindAndTextPerExpression)
{
    const test::CommandRun r = runEval({"2 + 3 * 4", "'a''b' + 'c'", "1=1", "[Field]", "TRUE", "7 mod 0",
        "STRTODATE('11/15/1998')", "SUM(1, 2", "Unknown(1)", "FORMATFLOAT('#,##0.00', 1234.5)",
        "UPPERCASE('abc')", "clRed", "LENGTH(CRLF)", "[Qty * 2]"});
    EXPECT_EQ(r.code, 1) << "an expression failed";
    EXPECT_EQ(r.out.toStdString(),
        "float 14\n"
        "string a'bc\n"
        "smallint 1\n"
        "error: Undefined symbol \"FIELD\"\n"
        "boolean True\n"
        "error: Division by zero\n"
        "datetime 11/15/1998\n"
        "error: function call without closing parenthesis: SUM(1, 2\n"
        "string 0\n"
        "string 1,234.50\n"
        "string ABC\n"
        "integer 255\n"
        "integer 2\n"
        "error: Undefined symbol \"QTY\"\n");
    EXPECT_TRUE(r.err.isEmpty());
}

TEST(EvalCommand, VariablesFromTheCommandLine)
{
    const test::CommandRun r
        = runEval({"--var", "Qty=3", "Qty * 2", "--var=Name=bolt", "Name + '!'", "[Qty] + 1"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.toStdString(), "float 6\nstring bolt!\nfloat 4\n");
}

TEST(EvalCommand, DisplayFormatsAsATemplateWritesThem)
{
    struct Case {
        const char* name;
        QStringList args;
        const char* out;
    } cases[] = {
        {"suffix: two decimals, comma", {"--format-text", "N0,2", "1234.5"}, "float 1234,50\n"},
        {"suffix: date pattern", {"--format-text", "Ddd.mm.yyyy", "STRTODATE('11/15/1998')"},
            "datetime 15.11.1998\n"},
        {"suffix: boolean pair", {"--format-text", "BNo;Yes", "1=1", "1=2"}, "smallint Yes\nsmallint No\n"},
        {"packed code", {"--format", "0x0101022C", "1234.5"}, "float 1234,50\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CommandRun r = runEval(c.args);
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out.toStdString(), c.out);
    }
    EXPECT_EQ(runEval({"--format", "bogus", "1"}).code, 2);
}

TEST(EvalCommand, ScriptRunsWithTheLibrariesAndListsItsVariables)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("try.vs");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("begin\n  total := 0;\n  for i := 1 to 4 do total := total + i * Qty;\n"
            "  name := UPPERCASE('bolt') + FORMATFLOAT('#,##0.00', total * 1000)\nend\n");
    f.close();
    const test::CommandRun r = runEval({"--var", "Qty=2", "--script", path});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(
        r.out.toStdString(), "i = float 5\nname = string BOLT20,000.00\nQty = float 2\ntotal = float 20\n");
    EXPECT_EQ(runEval({"--script", dir.filePath("missing.vs")}).code, 2);
}

TEST(EvalCommand, UsageErrors)
{
    struct Case {
        const char* name;
        QStringList args;
    } cases[] = {
        {"nothing to evaluate", {}},
        {"unknown option", {"--nope", "1"}},
        {"option without its value", {"1", "--var"}},
        {"variable without a name", {"--var", "=3", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CommandRun r = runEval(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(usageText().contains("eval"));
}

} // namespace
} // namespace vaskel
