// `vaskel print` on a prepared-report file through the real CUPS PDF queue: a table of command
// lines and the pages each one prints, and the command lines it refuses; the shipped bill
// template printed on the system's default printer without --printer (and refused where the
// temporary folder is no folder), and the default destinations it must refuse (stopped, not
// accepting jobs, none at all).
#include "preview/print_QueueFixture.h"

#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"
#include "tools/PrintCommand.h"

#include <QRegularExpression>
#include <cstdlib>
#include <iostream>

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

class DefaultPrinterCommandTest : public PrintQueueTest {
protected:
    DefaultPrinterCommandTest() { queueIsDefault = true; }

    QTemporaryDir dir;
    const ScopedDemoFolder demo{dir.filePath("demo")};
};

TEST_F(DefaultPrinterCommandTest, TheShippedBillPrintsOnTheDefaultPrinterWithoutNamingOne)
{
    const QString look = dir.filePath("look.frf");
    writeLookTemplate(look);
    const CommandRun run
        = runCommand(&runPrintCommand, {look, "--demo", "--bill", "HT23002", "--title", title});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 1);
    const QString text = textOf(files[0]);
    EXPECT_TRUE(text.contains("HT23002")) << text.toStdString();
    EXPECT_TRUE(text.contains("Qeltrin")) << text.toStdString();
}

// A template is prepared into the temporary folder before it prints: a TMPDIR that is no folder
// is named, not reported as the template or the printer failing.
TEST_F(DefaultPrinterCommandTest, ATemporaryFolderThatIsNoFolderIsNamed)
{
    const QString look = dir.filePath("look.frf");
    writeLookTemplate(look);
    const QString file = dir.filePath("not-a-folder");
    QFile(file).open(QIODevice::WriteOnly);
    const QByteArray before = qgetenv("TMPDIR");
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", file.toLocal8Bit());
    const CommandRun run
        = runCommand(&runPrintCommand, {look, "--demo", "--bill", "HT23002", "--title", title});
    if (wasSet)
        qputenv("TMPDIR", before);
    else
        qunsetenv("TMPDIR");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("The temporary folder \"%1\" does not exist or is not a folder").arg(file)))
        << run.err.toStdString();
    EXPECT_TRUE(printedFiles().isEmpty());
}

using NoPrinterCommandTest = GlobalsTest;

// The printer system is out of reach in a process of its own (CUPS reads where its scheduler is
// once per process): the command says so and fails.
TEST_F(NoPrinterCommandTest, WithoutAnyPrinterTheCommandSaysSoAndFails)
{
    QTemporaryDir dir;
    TfrReport report;
    TfrPage paper(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    report.PreparedPages().InsertPage(0, paper);
    const QString frp = dir.filePath("one.frp");
    report.SavePrepared(frp);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            qputenv("CUPS_SERVER", "/nonexistent/vaskel-cups.sock");
            const CommandRun run = runCommand(&runPrintCommand, {frp});
            std::cerr << run.err.toStdString();
            std::cerr.flush();
            std::_Exit(run.code);
        },
        ::testing::ExitedWithCode(1), "There is no default printer currently selected");
}

// A stopped default destination, or one that refuses jobs: the command names it, says why and
// fails. Each case runs in a process of its own, where PRINTER names the queue before CUPS first
// reads the default.
TEST_F(NoPrinterCommandTest, ADefaultDestinationThatCannotPrintFailsWithTheReason)
{
    CupsQueue cups;
    if (!cups.available())
        GTEST_SKIP() << "no CUPS queue: " << cups.skipReason().toStdString();
    QTemporaryDir dir;
    TfrReport report;
    TfrPage paper(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    report.PreparedPages().InsertPage(0, paper);
    const QString frp = dir.filePath("one.frp");
    report.SavePrepared(frp);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* command;
        const char* message;
    };
    for (const Case& c : {Case{"cupsdisable", "is disabled"}, Case{"cupsreject", "is not accepting jobs"}}) {
        SCOPED_TRACE(c.command);
        EXPECT_EXIT(
            {
                const QString queue = CupsQueue::addQueue(QStringLiteral("vaskel-refusing"));
                CupsQueue::admin(QString::fromLatin1(c.command), {queue});
                qputenv("PRINTER", queue.toLocal8Bit());
                const CommandRun run = runCommand(&runPrintCommand, {frp});
                CupsQueue::removeQueue(queue);
                std::cerr << run.err.toStdString();
                std::cerr.flush();
                std::_Exit(run.code);
            },
            ::testing::ExitedWithCode(1), std::string("vaskel-refusing-[0-9]+.*") + c.message);
    }
}

} // namespace

} // namespace vaskel::test
