// The print run through the real CUPS PDF queue: which pages go out, in which order, in how many
// jobs, and what happens to bad input and to the dialog's printer choice.
#include "print_QueueFixture.h"

#include "report/expr/ExprErrors.h"
#include "report/preview/PreviewPrint.h"
#include "report/preview/PrintHost.h"
#include "report/preview/TfrPrintForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace vaskel::test {

namespace {

// The preview window as the print command sees it; the pages live in the report throughout.
struct PreviewStandIn : PrintHost {
    int displayed = 1;
    int released = 0;
    int connected = 0;
    int displayedPage() const override { return displayed; }
    QWidget* dialogParent() override { return nullptr; }
    void releasePages() override { ++released; }
    void connectReport() override { ++connected; }
};

struct SelectionCase {
    const char* name;
    int pages;
    const char* list;
    quint8 parity;
    int copies;
    bool collate;
    QStringList expected;
};

using PrintRunTest = PrintQueueTest;

TEST_F(PrintRunTest, SelectionsCopiesAndCollationGiveThePagesInTheirOrder)
{
    const std::vector<SelectionCase> cases{
        {"all pages", 4, "", 0, 1, true, numbers({1, 2, 3, 4})},
        {"the current page", 4, "3", 0, 1, true, numbers({3})},
        {"a repeated page once", 4, "2,2", 0, 1, true, numbers({2})},
        {"a list with a range", 12, "1,3,5-12", 0, 1, true, numbers({1, 3, 5, 6, 7, 8, 9, 10, 11, 12})},
        {"a range far past the end", 3, "2-2000000000", 0, 1, true, numbers({2, 3})},
        {"odd pages", 5, "", 1, 1, true, numbers({1, 3, 5})},
        {"even pages of a list", 6, "1-5", 2, 1, true, numbers({2, 4})},
        {"copies collated", 3, "", 0, 3, true, numbers({1, 2, 3, 1, 2, 3, 1, 2, 3})},
        {"copies uncollated", 3, "", 0, 3, false, numbers({1, 1, 1, 2, 2, 2, 3, 3, 3})},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        report().PreparedPages().Clear();
        addPages(c.pages);
        lastJobBefore = lastJobId();
        ASSERT_TRUE(report().PrintPrepared(c.list, c.copies, c.parity, c.collate));
        const std::vector<PrintedJob> jobs = printedJobs();
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs[0].pages, c.expected);
    }
}

TEST_F(PrintRunTest, AlternatingPaperGivesOneJobPerRunOfEqualPaper)
{
    addPages(5, QStringLiteral("PLLPL"));
    ASSERT_TRUE(report().PrintPrepared(QString(), 1, 0, true));
    const std::vector<PrintedJob> jobs = printedJobs();
    ASSERT_EQ(jobs.size(), 4u);
    EXPECT_EQ(jobs[0].pages, numbers({1}));
    EXPECT_EQ(jobs[1].pages, numbers({2, 3}));
    EXPECT_EQ(jobs[2].pages, numbers({4}));
    EXPECT_EQ(jobs[3].pages, numbers({5}));
    // The printer feeds A4 upright; a landscape page arrives turned on it.
    const QString a4 = QStringLiteral("595 x 842");
    EXPECT_EQ(jobs[0].sizes, QStringList{a4});
    EXPECT_EQ(jobs[1].sizes, (QStringList{a4, a4}));
    EXPECT_EQ(jobs[0].turned, std::vector<bool>{false});
    EXPECT_EQ(jobs[1].turned, (std::vector<bool>{true, true}));
    EXPECT_EQ(jobs[2].turned, std::vector<bool>{false});
    EXPECT_EQ(jobs[3].turned, std::vector<bool>{true});
}

TEST_F(PrintRunTest, BadInputAndEmptySelectionsSendNoJob)
{
    addPages(3);
    const std::vector<std::pair<QString, QString>> badLists{
        {"1-", "'' is not a valid integer value"},
        {"1,,2", "'' is not a valid integer value"},
        {"1,x", "'x' is not a valid integer value"},
    };
    for (const auto& [list, message] : badLists) {
        try {
            report().PrintPrepared(list, 1, 0, true);
            ADD_FAILURE() << "no error for " << list.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), message);
        }
    }
    for (const qint32 copies : {0, -1, 1000}) {
        EXPECT_THROW(report().PrintPrepared(QString(), copies, 0, true), VaskelError) << copies;
    }
    try {
        report().PrintPrepared(QStringLiteral("7-9,12"), 1, 0, true);
        ADD_FAILURE() << "a list outside the report printed";
    } catch (const VaskelError& e) {
        EXPECT_EQ(e.message(), "No pages to print");
    }
    EXPECT_TRUE(printedJobs().empty()) << "no job of this test reached the queue";
}

TEST_F(PrintRunTest, ProgressWindowShowsThePagesAndItsCancelStopsBetweenPages)
{
    addPages(4);
    report().ShowProgress = true;
    scriptedUi->cancelProgressAfter(2);
    EXPECT_FALSE(report().PrintPrepared(QString(), 1, 0, true));
    const auto windows = scriptedUi->interactionsOf(Interaction::Kind::Progress);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0].caption, "Preparing report - " + title);
    EXPECT_TRUE(scriptedUi->progressLines().join('|').contains("Printing page:  2"));
    const QStringList printed = printedPages();
    EXPECT_LT(printed.size(), 4);
    EXPECT_GE(printed.size(), 1);
}

TEST_F(PrintRunTest, OnPrintReportFiresOncePerRun)
{
    addPages(2);
    int fired = 0;
    report().OnPrintReport = [&fired] { ++fired; };
    ASSERT_TRUE(report().PrintPrepared(QString(), 1, 0, true));
    EXPECT_EQ(fired, 1);
}

TEST_F(PrintRunTest, WithoutTheDialogThePrintStartsAtOnceWithTheDefaults)
{
    addPages(2);
    report().ShowPrintDialog = false;
    report().DefaultCopies = 2;
    report().DefaultCollate = false;
    PreviewStandIn window;
    const bool printed = PreviewPrint::run(report(), window, [](TfrPrintForm&) {
        ADD_FAILURE() << "the dialog was shown";
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(printed);
    EXPECT_EQ(window.released, 1);
    EXPECT_EQ(window.connected, 1);
    EXPECT_EQ(printedPages(), numbers({1, 1, 2, 2}));
}

TEST_F(PrintRunTest, DialogCancelAfterChoosingAnotherPrinterKeepsTheEarlierOne)
{
    addPages(2);
    PreviewStandIn window;
    const bool printed = PreviewPrint::run(report(), window, [](TfrPrintForm& dialog) {
        const int other = dialog.CB1->findData(frPrinter().VirtualIndex);
        const int pick = other >= 0 ? other : (dialog.CB1->currentIndex() == 0 ? 1 : 0);
        if (pick < dialog.CB1->count()) {
            dialog.CB1->setCurrentIndex(pick);
            emit dialog.CB1->activated(pick);
        }
        // Focus moving elsewhere (the properties dialog) changes nothing.
        dialog.show();
        dialog.PropButton->setFocus();
        dialog.reject();
        return dialog.result();
    });
    EXPECT_FALSE(printed);
    EXPECT_EQ(frPrinter().CurrentIndex, queueIndex);
    EXPECT_EQ(window.released, 0);
}

TEST_F(PrintRunTest, DialogChoicesReachThePrintAndAWrongListKeepsThePagesInThePreview)
{
    addPages(4);
    PreviewStandIn window;
    window.displayed = 3;
    EXPECT_TRUE(PreviewPrint::run(report(), window, [](TfrPrintForm& dialog) {
        dialog.RB2->setChecked(true);
        dialog.E1->setValue(2);
        return int(QDialog::Accepted);
    }));
    EXPECT_EQ(printedPages(), numbers({3, 3}));

    window = PreviewStandIn();
    EXPECT_FALSE(PreviewPrint::run(report(), window, [](TfrPrintForm& dialog) {
        dialog.E2->setText(QStringLiteral("1,,2"));
        dialog.RB3->setChecked(true);
        return int(QDialog::Accepted);
    }));
    EXPECT_EQ(window.released, 0) << "the pages never left the preview";
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, "'' is not a valid integer value.");
}

TEST_F(PrintRunTest, ThePrinterSwitchForARebuildableReportThatFailsKeepsTheEarlierPrinter)
{
    addPages(1);
    report().RebuildPrinter = true;
    report().Rebuildable = true;
    EXPECT_FALSE(report().ChangePrinter(queueIndex, 99));
    EXPECT_EQ(frPrinter().CurrentIndex, queueIndex);
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, "Printer selected is not valid");
    EXPECT_EQ(boxes[0].caption, UiServices::applicationTitle());
}

} // namespace

} // namespace vaskel::test
