// `vaskel eval`: one line per expression, kind and text or the error, and the exit code.
#include "tools/CommandLine.h"
#include "tools/EvalCommand.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(EvalCommand, PrintsKindAndTextPerExpression)
{
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    const int code = runEvalCommand({"2 + 3 * 4", "'a''b' + 'c'", "1=1", "[Field]", "TRUE", "7 mod 0",
                                        "STRTODATE('11/15/1998')", "SUM(1, 2", "Unknown(1)"},
        out, err);
    EXPECT_EQ(code, 1) << "one expression failed";
    EXPECT_EQ(outText.toStdString(),
        "float 14\n"
        "string a'bc\n"
        "smallint 1\n"
        "empty \n"
        "boolean True\n"
        "error: Division by zero\n"
        "datetime 11/15/1998\n"
        "error: function call without closing parenthesis: SUM(1, 2\n"
        "empty \n");
    EXPECT_TRUE(errText.isEmpty());
}

TEST(EvalCommand, ExitCodes)
{
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    EXPECT_EQ(runEvalCommand({"1"}, out, err), 0);
    EXPECT_EQ(runEvalCommand({}, out, err), 2);
    EXPECT_FALSE(errText.isEmpty());
    EXPECT_TRUE(usageText().contains("eval"));
}

} // namespace
} // namespace vaskel
