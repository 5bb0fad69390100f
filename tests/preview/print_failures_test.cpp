// Page setup from the preview (the printer's page-setup dialog, then the report prepared again
// on the chosen paper), and printing that fails: a printer removed while the job runs, a job the
// printer refuses to begin, a report that cannot be prepared again, a print system that stopped
// and a temporary folder that is missing. Each failure says why, is never reported as success,
// and leaves the preview with its pages.
#include "preview_Fixture.h"
#include "print_QueueFixture.h"

#include "report/model/TfrBandView.h"
#include "report/preview/PreviewFormCommands.h"
#include "report/preview/PreviewPrint.h"
#include "report/preview/PrintHost.h"
#include "report/preview/TfrPrintForm.h"
#include "report/preview/TfrTBButton.h"

#include <QLabel>
#include <QPageSize>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cups/cups.h>

namespace vaskel::test {
namespace {

struct PreviewStandIn : PrintHost {
    int released = 0;
    int connected = 0;
    int displayedPage() const override { return 1; }
    QWidget* dialogParent() override { return nullptr; }
    void releasePages() override { ++released; }
    void connectReport() override { ++connected; }
};

int runCommand(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(30000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class PrintFailureTest : public PrintQueueTest {
protected:
    QtPrinterBackend& backend() { return *static_cast<QtPrinterBackend*>(globals.printerBackend()); }

    // A template of `count` pages, each a title band with "Sheet N": a report that can be prepared
    // again.
    void templatePages(int count)
    {
        for (int i = 0; i < count; ++i) {
            TfrPage* page = report().TemplatePages().Add();
            auto band = std::make_unique<TfrBandView>();
            band->Name = QStringLiteral("Title%1").arg(i + 1);
            band->FrameTyp = ReportTitle;
            band->Top = 20;
            band->Height = 30;
            band->Width = 500;
            page->Add(std::move(band));
            auto memo = std::make_unique<TfrMemoView>();
            memo->Name = QStringLiteral("Sheet%1").arg(i + 1);
            memo->Left = 20;
            memo->Top = 20;
            memo->Width = 200;
            memo->Height = 20;
            memo->Font.Name = QStringLiteral("Arial");
            memo->Memo = QStringList{QStringLiteral("Sheet %1").arg(i + 1)};
            page->Add(std::move(memo));
        }
    }

    int errorBoxes() const { return int(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size()); }
    std::string lastBox() const
    {
        return scriptedUi->interactionsOf(Interaction::Kind::MessageBox).back().text.trimmed().toStdString();
    }
};

TEST_F(PrintFailureTest, PageSetupPreparesTheReportAgainOnTheChosenPaper)
{
    templatePages(2);
    ASSERT_TRUE(report().Prepare());
    ASSERT_EQ(report().PreparedPages().Count(), 2);
    ASSERT_EQ(report().PreparedPages().PageAt(0).PaperCode, 9);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath("settings.ini"));
    PreviewWindows& host = PreviewWindows::install(globals);
    host.onWindowCreated = [&](TfrPreviewForm& f) { f.Settings = &settings; };
    report().PreviewButtons |= 1u << pbPageSetup;
    report().ModalPreview = false;
    report().ShowPrepared();
    TfrPreviewForm* form = host.openWindows().value(0);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->PageSetupBtn->isVisibleTo(form));
    EXPECT_TRUE(form->PageSetupBtn->isEnabled()) << "a printer is installed";

    // Cancelled: nothing is prepared again.
    int dialogs = 0;
    backend().setPropertiesDialog([&](QPrinter& printer) {
        ++dialogs;
        printer.setPageSize(QPageSize(QPageSize::A5));
        return false;
    });
    const TfrEMFPages* before = form->HeldPages.get();
    QTest::mouseClick(form->PageSetupBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(form->HeldPages.get(), before) << "the same pages";
    EXPECT_EQ(form->HeldPages->PageAt(0).PaperCode, 9);

    // A5 landscape confirmed: the window shows the report prepared again on it.
    backend().setPropertiesDialog([&](QPrinter& printer) {
        ++dialogs;
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    QTest::mouseClick(form->PageSetupBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs, 2);
    ASSERT_TRUE(form->HeldPages);
    ASSERT_EQ(form->HeldPages->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(form->HeldPages->PageAt(i).PaperCode, 11) << i;
        EXPECT_EQ(form->HeldPages->PageAt(i).PaperOrientation, 1) << i;
    }
    EXPECT_EQ(form->Label1->text(), "Page 1/2");

    // Preparing again fails: the message is shown and the A5 pages stay.
    report().OnBeginPage = [](qint32) { throw VaskelError(QStringLiteral("Sheet data unavailable")); };
    backend().setPropertiesDialog([](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Portrait);
        return true;
    });
    QTest::mouseClick(form->PageSetupBtn, Qt::LeftButton);
    ASSERT_TRUE(form->HeldPages);
    ASSERT_EQ(form->HeldPages->Count(), 2);
    EXPECT_EQ(form->HeldPages->PageAt(0).PaperCode, 11) << "the pages shown before";
    EXPECT_EQ(form->Label1->text(), "Page 1/2");
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_GE(boxes.size(), 1);
    EXPECT_TRUE(boxes.back().text.contains("Sheet data unavailable")) << boxes.back().text.toStdString();
    form->close();
}

TEST_F(PrintFailureTest, APrinterRemovedWhileTheJobRunsIsAFailureAndThePagesStay)
{
    addPages(3);
    // A queue of this test's own on the same PDF backend, removed after the first page.
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {"-v", CupsQueue::queueName()});
    lpstat.waitForFinished(20000);
    const QString uri = QString::fromLocal8Bit(lpstat.readAll()).section(QStringLiteral(": "), 1).trimmed();
    ASSERT_TRUE(uri.startsWith("cups-pdf:/")) << uri.toStdString();
    const QString queue = QStringLiteral("vaskel-vanishing-%1").arg(QCoreApplication::applicationPid());
    ASSERT_EQ(
        runCommand("lpadmin", {"-p", queue, "-E", "-v", uri, "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"}), 0);
    const auto removeQueue = [&queue] { runCommand("lpadmin", {"-x", queue}); };
    const auto cleanup = qScopeGuard(removeQueue);
    frPrinter().AttachPrinter(globals.printerBackend());
    const int index = static_cast<int>(frPrinter().PrinterList.indexOf(queue));
    ASSERT_GE(index, 0);
    frPrinter().SelectPrinter(index);

    int sheets = 0;
    report().OnProgress = [&](qint32) {
        if (++sheets == 1)
            removeQueue();
    };
    report().ShowPrintDialog = false;
    PreviewStandIn window;
    EXPECT_FALSE(PreviewPrint::run(report(), window)) << "a job that reached no printer is no success";
    EXPECT_EQ(window.released, 1);
    EXPECT_EQ(window.connected, 1) << "the pages are back in the preview";
    EXPECT_EQ(report().PreparedPages().Count(), 3);
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_FALSE(boxes[0].text.trimmed().isEmpty());
}

TEST_F(PrintFailureTest, AJobThatCannotBeginOrAPageThatFailsEndsTheJobWithTheMessage)
{
    addPages(3);
    report().ShowPrintDialog = false;
    // A page that cannot be drawn: its data is damaged.
    report().PreparedPages().PageAt(1).PageData = QByteArray("\x01\x02\x03 damaged", 12);
    PreviewStandIn window;
    EXPECT_FALSE(PreviewPrint::run(report(), window));
    EXPECT_EQ(window.connected, 1);
    EXPECT_EQ(errorBoxes(), 1);
    EXPECT_EQ(report().PreparedPages().Count(), 3);

    // A printer whose job cannot begin: its queue refuses jobs.
    report().PreparedPages().Clear();
    addPages(2);
    const QString refusing = CupsQueue::addQueue(QStringLiteral("vaskel-refusing"));
    ASSERT_FALSE(refusing.isEmpty());
    const auto cleanup = qScopeGuard([&refusing] { CupsQueue::removeQueue(refusing); });
    ASSERT_EQ(CupsQueue::admin(QStringLiteral("cupsreject"), {refusing}), 0);
    frPrinter().AttachPrinter(globals.printerBackend());
    frPrinter().SelectPrinter(static_cast<int>(frPrinter().PrinterList.indexOf(refusing)));
    ASSERT_EQ(frPrinter().PrinterList.value(frPrinter().CurrentIndex), refusing);
    window = PreviewStandIn();
    EXPECT_FALSE(PreviewPrint::run(report(), window));
    EXPECT_EQ(errorBoxes(), 2);
    EXPECT_TRUE(
        scriptedUi->interactionsOf(Interaction::Kind::MessageBox).back().text.contains("not accepting jobs"));
    EXPECT_EQ(report().PreparedPages().Count(), 2);
    EXPECT_EQ(window.connected, 1);
}

// The print system out of reach, from the first sheet on as when the scheduler stops while the
// job is written, and before the job: this thread's CUPS connection is pointed at a socket nobody
// listens on, so the scheduler the other tests share keeps running. Both name the print system
// and the printer, not the socket's "No such file or directory".
TEST_F(PrintFailureTest, APrintSystemThatStoppedIsNamedWithThePrinter)
{
    addPages(3);
    report().ShowPrintDialog = false;
    const QByteArray nowhere = QDir::tempPath().toLocal8Bit() + "/vaskel-no-scheduler.sock";
    const auto restore = qScopeGuard([] { cupsSetServer(nullptr); });
    int sheets = 0;
    report().OnProgress = [&](qint32) {
        if (++sheets == 1)
            cupsSetServer(nowhere.constData());
    };
    PreviewStandIn window;
    EXPECT_FALSE(PreviewPrint::run(report(), window));
    EXPECT_EQ(window.connected, 1);
    EXPECT_EQ(report().PreparedPages().Count(), 3);
    ASSERT_EQ(errorBoxes(), 1);
    EXPECT_EQ(lastBox(),
        QStringLiteral("The print system stopped or cannot be reached at %1: the job for printer \"%2\" was "
                       "not printed.")
            .arg(QString::fromLocal8Bit(nowhere), CupsQueue::queueName())
            .toStdString());

    // Out of reach before the job: the job device says so and nothing is sent.
    report().OnProgress = nullptr;
    QtPrinterBackend& printer = backend();
    printer.setCurrentIndex(queueIndex);
    cupsSetServer(nowhere.constData());
    EXPECT_EQ(printer.jobDevice(QStringLiteral("unreachable")), nullptr);
    EXPECT_EQ(printer.jobError().toStdString(),
        QStringLiteral("The print system cannot be reached at %1: printer \"%2\" cannot print")
            .arg(QString::fromLocal8Bit(nowhere), CupsQueue::queueName())
            .toStdString());

    // Out of reach when printing starts: the printers are read again and none is there; the box
    // says why there is none.
    cupsSetServer(nullptr);
    frPrinter().AttachPrinter(globals.printerBackend());
    frPrinter().SelectPrinter(static_cast<int>(frPrinter().PrinterList.indexOf(CupsQueue::queueName())));
    ASSERT_EQ(frPrinter().PrinterList.value(frPrinter().CurrentIndex), CupsQueue::queueName());
    cupsSetServer(nowhere.constData());
    EXPECT_FALSE(PreviewPrint::run(report(), window));
    ASSERT_EQ(errorBoxes(), 2);
    EXPECT_EQ(lastBox(),
        QStringLiteral(
            "There is no default printer currently selected: The print system cannot be reached at %1.")
            .arg(QString::fromLocal8Bit(nowhere))
            .toStdString());
    EXPECT_EQ(report().PreparedPages().Count(), 3);
}

// A temporary folder that is no folder (here a file), where Qt writes the job before CUPS takes
// it: the message names the folder and what to do, not the printer as "not valid". A folder
// that does not exist is told the same way, and a full one by its reason.
TEST_F(PrintFailureTest, ATemporaryFolderThatIsNoFolderOrFullIsNamed)
{
    addPages(1);
    report().ShowPrintDialog = false;
    const QByteArray before = qgetenv("TMPDIR");
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    const auto restore = qScopeGuard([&] {
        if (wasSet)
            qputenv("TMPDIR", before);
        else
            qunsetenv("TMPDIR");
    });
    QTemporaryDir dir;
    const auto expected = [](const QString& folder) {
        return QStringLiteral("The temporary folder \"%1\" does not exist or is not a folder: the print job "
                              "cannot be written (set TMPDIR to a folder that exists)")
            .arg(folder);
    };
    const QString missing = dir.filePath(QStringLiteral("gone"));
    qputenv("TMPDIR", missing.toLocal8Bit());
    EXPECT_EQ(QtPrinterBackend::temporaryFolderProblem().toStdString(), expected(missing).toStdString());

    const QString file = dir.filePath(QStringLiteral("a-file"));
    QFile(file).open(QIODevice::WriteOnly);
    qputenv("TMPDIR", file.toLocal8Bit());
    PreviewStandIn window;
    EXPECT_FALSE(PreviewPrint::run(report(), window));
    ASSERT_EQ(errorBoxes(), 1);
    EXPECT_EQ(lastBox(), expected(file).toStdString());
    EXPECT_EQ(report().PreparedPages().Count(), 1);

    // A full one (a small file system filled up): Qt writes the job there without looking at the
    // writes, so the job would leave cut short and pass for printed.
    const QString full = dir.filePath(QStringLiteral("full"));
    QDir().mkpath(full);
    if (runCommand(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=200k", "tmpfs", full}) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const auto unmount = qScopeGuard([&full] { runCommand(QStringLiteral("umount"), {full}); });
    runCommand(QStringLiteral("dd"), {"if=/dev/zero", "of=" + full + "/filler", "bs=4k"});
    qputenv("TMPDIR", full.toLocal8Bit());
    window = PreviewStandIn();
    EXPECT_FALSE(PreviewPrint::run(report(), window)) << "a job cut short is no success";
    ASSERT_EQ(errorBoxes(), 2);
    EXPECT_EQ(lastBox(),
        QStringLiteral("The temporary folder \"%1\" cannot hold the print job: No space left on device.")
            .arg(full)
            .toStdString());
}

} // namespace
} // namespace vaskel::test
