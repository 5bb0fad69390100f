// `vaskel print` on a prepared-report file through the real CUPS PDF queue: a table of command
// lines and the pages each one prints, and the command lines it refuses.
#include "preview/print_QueueFixture.h"

#include "support/CommandRun.h"
#include "tools/PrintCommand.h"

#include <QTemporaryDir>

namespace vaskel::test {

namespace {

class PrintCommandTest : public PrintQueueTest {
protected:
    void SetUp() override
    {
        PrintQueueTest::SetUp();
        if (IsSkipped())
            return;
        addPages(6);
        frp = dir.filePath(QStringLiteral("six.frp"));
        report().SavePrepared(frp);
    }

    CommandRun print(QStringList args)
    {
        args.prepend(frp);
        args << QStringLiteral("--printer") << CupsQueue::queueName() << QStringLiteral("--title") << title;
        return runCommand(&runPrintCommand, args);
    }

    QTemporaryDir dir;
    QString frp;
};

TEST_F(PrintCommandTest, CommandLinesPrintTheirPages)
{
    const std::vector<std::pair<QStringList, QStringList>> cases{
        {{}, numbers({1, 2, 3, 4, 5, 6})},
        {{"--pages", "2,2"}, numbers({2})},
        {{"--pages", "1,3,5-12"}, numbers({1, 3, 5, 6})},
        {{"--odd"}, numbers({1, 3, 5})},
        {{"--even", "--pages", "1-4"}, numbers({2, 4})},
        {{"--pages", "1-2", "--copies", "2"}, numbers({1, 2, 1, 2})},
        {{"--pages", "1-2", "--copies", "2", "--no-collate"}, numbers({1, 1, 2, 2})},
    };
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        lastJobBefore = lastJobId();
        const CommandRun run = print(args);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(printedPages(), expected);
    }
}

TEST_F(PrintCommandTest, RefusedCommandLinesPrintNothing)
{
    struct Refused {
        QStringList args;
        int code;
        const char* message;
    };
    const std::vector<Refused> cases{
        {{"--copies", "0"}, 2, "between 1 and 999"},
        {{"--copies", "1000"}, 2, "between 1 and 999"},
        {{"--copies", "abc"}, 2, "'abc' is not a valid integer value"},
        {{"--pages", "1-"}, 2, "'' is not a valid integer value"},
        {{"--pages", "1,,2"}, 2, "'' is not a valid integer value"},
        {{"--odd", "--even"}, 2, "not both"},
        {{"--bill", "HT1"}, 2, "a prepared-report file has no data"},
        {{"--pages", "7-9"}, 1, "No pages to print"},
        {{"--printer", "NoSuchQueue"}, 1, "There is no such printer"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QStringList args{frp};
        args << c.args;
        if (!c.args.contains("--printer"))
            args << QStringLiteral("--printer") << CupsQueue::queueName();
        const CommandRun run = runCommand(&runPrintCommand, args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
    const CommandRun missing = runCommand(&runPrintCommand, {dir.filePath("none.frp")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(printedJobs().empty()) << "no job of this test reached the queue";
}

TEST_F(PrintCommandTest, ListShowsThePrintersThenTheVirtualPrinter)
{
    const CommandRun run = runCommand(&runPrintCommand, {"--list"});
    ASSERT_EQ(run.code, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(run.out.contains(CupsQueue::queueName()));
    EXPECT_EQ(lines.last().trimmed(), "Virtual printer");
}

} // namespace

} // namespace vaskel::test
