// Printing as a clerk does: the shipped bill template (which names the virtual printer) prepared
// for a bill, then printed from the preview with Ctrl+P and OK on the system's default printer
// (the test's queue made the default through PRINTER, never selected by name); the print dialog
// as it opens and as it answers Enter and bad input; a printer removed while the dialog is open;
// custom paper; an embedded preview control; page-setup margins; and the progress window's
// second line. Printed jobs are read back with poppler.
#include "preview_Fixture.h"
#include "print_QueueFixture.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"

#include "report/expr/ExprGlobals.h"
#include "report/model/TfrBandView.h"
#include "report/preview/PreviewFormCommands.h"
#include "report/preview/PreviewPrint.h"
#include "report/preview/PrintHost.h"
#include "report/preview/TfrPreview.h"
#include "report/preview/TfrPrintForm.h"
#include "report/preview/TfrTBButton.h"
#include "tools/RenderCommand.h"
#include "ui/desktop/ProgressDialog.h"
#include "ui/desktop/QtUiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

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

class DefaultPrinterTest : public PrintQueueTest {
protected:
    DefaultPrinterTest() { queueIsDefault = true; }

    void SetUp() override
    {
        PrintQueueTest::SetUp();
        if (IsSkipped())
            return;
        host = &PreviewWindows::install(globals);
        host->onWindowCreated = [this](TfrPreviewForm& f) { f.Settings = &settings; };
        settings.writeBool(TfrPreviewForm::settingsSection() + "Maximized", false);
    }

    // The bill HT23002 prepared from the shipped template over the demo data, as a prepared-report
    // file.
    QString billFile()
    {
        const QString look = dir.filePath("look.frf");
        writeLookTemplate(look);
        const QString frp = dir.filePath("bill.frp");
        const CommandRun run
            = runCommand(&runRenderCommand, {look, "--demo", "--bill", "HT23002", "--save", frp});
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return frp;
    }

    // The first word box of `word` in a PDF (pdftotext -bbox), in points from the top left.
    static QPointF wordAt(const QString& pdf, const QString& word)
    {
        const QString boxes = textOf(pdf, {QStringLiteral("-bbox")});
        const QRegularExpression box(
            QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"[\\d.]+\">%1<")
                .arg(word));
        const auto m = box.match(boxes);
        return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
    }

    TfrPreviewForm* openPreview()
    {
        report().ModalPreview = false;
        report().ShowPrepared();
        return host->openWindows().value(0);
    }

    // Answers the print dialog with `answer` once the dialog runs its modal loop.
    void whenDialogOpens(std::function<void(TfrPrintForm&)> answer)
    {
        dialogTimer.setInterval(10);
        QObject::disconnect(&dialogTimer, nullptr, nullptr, nullptr);
        QObject::connect(&dialogTimer, &QTimer::timeout, [this, answer] {
            if (auto* dialog = qobject_cast<TfrPrintForm*>(QApplication::activeModalWidget())) {
                dialogTimer.stop();
                answer(*dialog);
            }
        });
        dialogTimer.start();
    }

    int errorBoxes() const { return int(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size()); }
    QString lastError() const
    {
        const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
        return boxes.isEmpty() ? QString() : boxes.back().text;
    }

    QTemporaryDir dir;
    const ScopedDemoFolder demo{dir.filePath("demo")};
    SettingsStore settings{dir.filePath("settings.ini")};
    PreviewWindows* host = nullptr;
    QTimer dialogTimer;
};

TEST_F(DefaultPrinterTest, TheShippedBillPrintsFromThePreviewOnTheDefaultPrinterAndKeepsItsPrinterName)
{
    const QString frp = billFile();
    report().LoadPrepared(frp);
    const QString virtualPrinter = LoadStr(TfrPrinter::kVirtualPrinterString);
    ASSERT_EQ(report().PrinterName, virtualPrinter) << "the shipped template names the virtual printer";
    ASSERT_GT(report().PreparedPages().Count(), 0);
    const int pages = report().PreparedPages().Count();
    TfrPreviewForm* form = openPreview();
    ASSERT_NE(form, nullptr);

    QString shown;
    bool propertiesEnabled = false;
    bool okIsDefault = false;
    whenDialogOpens([&](TfrPrintForm& dialog) {
        shown = dialog.CB1->currentText();
        propertiesEnabled = dialog.PropButton->isEnabled();
        okIsDefault = dialog.Button1->isDefault();
        QTest::keyClick(dialog.E1, Qt::Key_Return);
    });
    QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(shown, CupsQueue::queueName()) << "the system's default printer is selected";
    EXPECT_TRUE(propertiesEnabled);
    EXPECT_TRUE(okIsDefault);
    EXPECT_EQ(errorBoxes(), 0) << lastError().toStdString();
    ASSERT_TRUE(form->HeldPages) << "the pages are back in the preview";
    EXPECT_EQ(form->HeldPages->Count(), pages);

    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 1);
    const QString text = textOf(files[0]);
    EXPECT_TRUE(text.contains("HT23002")) << text.toStdString();
    EXPECT_TRUE(text.contains("Qeltrin")) << text.toStdString();

    // Saved again, the file still names the virtual printer.
    const QString again = dir.filePath("again.frp");
    ASSERT_TRUE(form->SaveFile(again));
    form->close();
    TfrReport reread;
    reread.LoadPrepared(again);
    EXPECT_EQ(reread.PrinterName, virtualPrinter);
}

TEST_F(DefaultPrinterTest, DialogReadsThePrintersAfreshAndAnswersEnterAndBadInputWhileOpen)
{
    addPages(3);
    const QString added = CupsQueue::addQueue(QStringLiteral("vaskel-added"));
    ASSERT_FALSE(added.isEmpty());
    const auto cleanup = qScopeGuard([&added] { CupsQueue::removeQueue(added); });
    {
        TfrPrintForm dialog;
        EXPECT_GE(dialog.CB1->findText(added), 0) << "a queue added while the program runs";
        EXPECT_EQ(dialog.CB1->currentText(), CupsQueue::queueName());
        EXPECT_TRUE(dialog.PropButton->isEnabled());
    }
    CupsQueue::removeQueue(added);
    {
        TfrPrintForm dialog;
        EXPECT_LT(dialog.CB1->findText(added), 0) << "a removed queue is gone";
    }

    // Enter presses OK from every field.
    const std::vector<std::pair<const char*, std::function<QWidget*(TfrPrintForm&)>>> fields{
        {"copies", [](TfrPrintForm& d) { return d.E1; }},
        {"page list", [](TfrPrintForm& d) { return d.E2; }},
        {"printer", [](TfrPrintForm& d) { return d.CB1; }},
        {"odd or even", [](TfrPrintForm& d) { return d.CB2; }},
        {"all pages", [](TfrPrintForm& d) { return d.RB1; }},
        {"collate", [](TfrPrintForm& d) { return d.CollateCB; }},
    };
    for (const auto& [name, field] : fields) {
        SCOPED_TRACE(name);
        TfrPrintForm dialog;
        dialog.show();
        QTest::keyClick(field(dialog), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }

    // A copies value or page list that is no number: the error, and the dialog stays open with
    // the text selected.
    struct BadInput {
        const char* name;
        const char* copies;
        const char* pages;
        const char* message;
    };
    const std::vector<BadInput> bad{
        {"empty token in the list", "1", "1,,2", "'' is not a valid integer value."},
        {"letters in the list", "1", "2,x", "'x' is not a valid integer value."},
        {"no copies", "", "", "'' is not a valid integer value."},
        {"no copy", "0", "", "The number of copies must be between 1 and 999."},
    };
    for (const BadInput& c : bad) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        TfrPrintForm dialog;
        dialog.show();
        auto* copies = dialog.E1->findChild<QLineEdit*>();
        copies->setText(QString::fromLatin1(c.copies));
        if (*c.pages) {
            dialog.RB3->setChecked(true);
            dialog.E2->setText(QString::fromLatin1(c.pages));
        }
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(lastError(), c.message);
        QLineEdit* field = *c.pages ? dialog.E2 : copies;
        EXPECT_EQ(field->selectedText(), field->text());
        dialog.reject();
    }
}

TEST_F(DefaultPrinterTest, APrinterRemovedBetweenTheDialogAndOkIsReportedAndThePagesStay)
{
    addPages(2);
    const QString doomed = CupsQueue::addQueue(QStringLiteral("vaskel-doomed"));
    ASSERT_FALSE(doomed.isEmpty());
    const auto cleanup = qScopeGuard([&doomed] { CupsQueue::removeQueue(doomed); });
    PreviewStandIn window;
    const bool printed = PreviewPrint::run(report(), window, [&doomed](TfrPrintForm& dialog) {
        const int pick = dialog.CB1->findText(doomed);
        EXPECT_GE(pick, 0);
        dialog.CB1->setCurrentIndex(pick);
        emit dialog.CB1->activated(pick);
        CupsQueue::removeQueue(doomed);
        return int(QDialog::Accepted);
    });
    EXPECT_FALSE(printed);
    EXPECT_EQ(lastError(), "Printer selected is not valid.");
    EXPECT_EQ(window.connected, window.released) << "the pages are back in the preview";
    EXPECT_EQ(report().PreparedPages().Count(), 2);
    EXPECT_TRUE(printedFiles().isEmpty()) << "nothing went to the default printer instead";
}

TEST_F(DefaultPrinterTest, CustomPaperPrintsAsOneJobWithoutABlankSheet)
{
    addPages(3, QString(), 256, 1500, 1000);
    ASSERT_TRUE(report().PrintPrepared(QString(), 1, 0, true));
    const std::vector<PrintedJob> jobs = printedJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].pages, numbers({1, 2, 3}));
    ASSERT_EQ(jobs[0].sizes.size(), 3) << "no sheet but the three pages";
    // The printer feeds the sheet short side first: 100 × 150 mm.
    for (const QString& size : jobs[0].sizes) {
        const QStringList wh = size.split(" x ");
        EXPECT_NEAR(std::min(wh.value(0).toDouble(), wh.value(1).toDouble()), 100 / 25.4 * 72, 2)
            << size.toStdString();
        EXPECT_NEAR(std::max(wh.value(0).toDouble(), wh.value(1).toDouble()), 150 / 25.4 * 72, 2)
            << size.toStdString();
    }
}

TEST_F(DefaultPrinterTest, AnEmbeddedPreviewControlGivesItsPagesToThePrintAndGetsThemBack)
{
    addPages(2);
    QWidget holder;
    holder.resize(600, 400);
    auto* control = new TfrPreview(&holder);
    control->setGeometry(0, 0, 600, 400);
    holder.show();
    report().Preview = control;
    report().ShowPrepared();
    ASSERT_EQ(report().PreparedPages().Count(), 0) << "the control holds the pages";
    ASSERT_TRUE(report().PrintPrepared(QString(), 1, 0, true));
    EXPECT_EQ(printedPages(), numbers({1, 2}));
    ASSERT_TRUE(control->previewWindow().HeldPages);
    EXPECT_EQ(control->previewWindow().HeldPages->Count(), 2);
    EXPECT_EQ(report().PreparedPages().Count(), 0);
    report().Preview = nullptr;
}

TEST_F(DefaultPrinterTest, PageSetupMarginsShowInThePrintedPages)
{
    TfrPage* page = report().TemplatePages().Add();
    auto band = std::make_unique<TfrBandView>();
    band->Name = QStringLiteral("Title1");
    band->FrameTyp = ReportTitle;
    band->Top = 20;
    band->Height = 30;
    band->Width = 500;
    page->Add(std::move(band));
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = QStringLiteral("Sheet1");
    memo->Left = 20;
    memo->Top = 20;
    memo->Width = 200;
    memo->Height = 20;
    memo->Font.Name = QStringLiteral("Arial");
    memo->Memo = QStringList{QStringLiteral("Sheet")};
    page->Add(std::move(memo));
    ASSERT_TRUE(report().Prepare());
    report().ShowPrintDialog = false;
    TfrPreviewForm* form = openPreview();
    ASSERT_NE(form, nullptr);
    const TfrPageMetrics before = form->HeldPages->PageAt(0).Metrics;
    QTest::mouseClick(form->PrintBtn, Qt::LeftButton);
    QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 1);
    const QPointF plain = wordAt(files[0], "Sheet");
    ASSERT_GE(plain.x(), 0);

    // 40 mm left and 30 mm top, chosen in the page-setup dialog; it opened on the pages' margins.
    auto& backend = *static_cast<QtPrinterBackend*>(globals.printerBackend());
    QList<QMarginsF> opened;
    backend.setPropertiesDialog([&opened](QPrinter& printer) {
        opened << printer.pageLayout().margins(QPageLayout::Millimeter);
        printer.setPageMargins(QMarginsF(40, 30, 10, 10), QPageLayout::Millimeter);
        return true;
    });
    PreviewFormCommands::pageSetup(*form);
    ASSERT_TRUE(form->HeldPages);
    EXPECT_EQ(form->HeldPages->PageAt(0).Margins[0], 144) << "40 mm in report units";
    PreviewFormCommands::pageSetup(*form);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NEAR(opened[0].left(), 0, 0.01);
    EXPECT_NEAR(opened[1].left(), 40, 0.01) << "the second setup opens on the margins chosen";
    EXPECT_NEAR(opened[1].top(), 30, 0.01);

    lastJobBefore = lastJobId();
    QTest::mouseClick(form->PrintBtn, Qt::LeftButton);
    files = printedFiles();
    ASSERT_EQ(files.size(), 1);
    const QPointF moved = wordAt(files[0], "Sheet");
    // Without margins the bands began at the printable area's top edge; views keep their designed
    // distance from the left edge.
    const double pointsPerUnit = 72 / TfrPrinter::kUnitsPerInch;
    EXPECT_NEAR(moved.y() - plain.y(), (108 - before.UnitOffsetY) * pointsPerUnit, 2);
    EXPECT_NEAR(moved.x(), plain.x(), 1);
    form->close();
}

using ProgressWindowTest = GlobalsTest;

TEST_F(ProgressWindowTest, AScriptsProgressTextShowsOnTheSecondLine)
{
    TfrReport report;
    QtUiServices ui;
    QString line;
    QString detail;
    ui.runWithProgress("Preparing report", "Processing page:  1", [&](ProgressControl& control) {
        report.RunProgress = &control;
        report.connectRun();
        QStringList compiled, errors;
        globals.interpreter.CompileScript({"begin PROGRESS := 'Reading stock' end"}, compiled, errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        globals.interpreter.RunScript(compiled);
        report.disconnectRun();
        report.RunProgress = nullptr;
        if (auto* window = qobject_cast<ProgressDialog*>(QApplication::activeModalWidget())) {
            line = window->text();
            detail = window->detail();
        }
    });
    EXPECT_EQ(line, "Processing page:  1");
    EXPECT_EQ(detail, "Reading stock");
}

} // namespace
} // namespace vaskel::test
