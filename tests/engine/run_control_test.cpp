// The report run: one and two passes, the progress window and its Cancel, multiple reports,
// calculation errors and the template read back after the run.
#include "layout_ReportFixture.h"

namespace vaskel::test {
namespace {

class RunControl : public LayoutTest {
protected:
    // One page per record: a data band that starts a new page after each record.
    void onePagePerRecord(int records, const QString& text)
    {
        numbered("Q1", records);
        TfrBandView* data = printing(MasterData, "Data", 40, 20, text, "Q1Set");
        data->Flags |= BandFlags::FormNewPage;
    }

    QStringList progressLinesStartingWith(const QString& prefix) const
    {
        QStringList out;
        for (const QString& l : scriptedUi->progressLines()) {
            if (l.startsWith(prefix))
                out << l;
        }
        return out;
    }
};

TEST_F(RunControl, TemplateWithoutPagesFormsNothing)
{
    report.TemplatePages().Clear();
    EXPECT_TRUE(report.Prepare());
    EXPECT_EQ(pageCount(), 0);
    EXPECT_TRUE(errorBoxes().isEmpty());
}

TEST_F(RunControl, ShowProgressOffRunsWithoutWindow)
{
    onePagePerRecord(3, "[Q1.KEY]");
    EXPECT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"R1", "--", "R2", "--", "R3"}));
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::Progress).isEmpty());
}

TEST_F(RunControl, TwoPassesKnowTheTotalAndShowBothProgressTexts)
{
    onePagePerRecord(12, "[PAGE#] of [TOTALPAGES]");
    report.TwoPass = true;
    report.ShowProgress = true;
    report.Title = "Bill";
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(pageCount(), 12);
    EXPECT_EQ(pages()[2], QStringList({"Data@20: 3 of 12"}));

    // Both passes run inside one progress window.
    const auto windows = scriptedUi->interactionsOf(Interaction::Kind::Progress);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0].caption, "Preparing report - Bill");
    EXPECT_EQ(windows[0].text, "Performing 1st pass:  1");
    const QStringList lines = scriptedUi->progressLines();
    const qsizetype firstFinal = lines.indexOf("Processing page:  1 from 12");
    ASSERT_GE(firstFinal, 0) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.mid(0, firstFinal).contains("Performing 1st pass:  12"));
    EXPECT_TRUE(lines.mid(firstFinal).contains("Processing page:  3 from 12"));
    EXPECT_EQ(globals.run.TotalPages, 12);
}

TEST_F(RunControl, OnePassKnowsNoTotalEvenAfterATwoPassRun)
{
    onePagePerRecord(2, "[TOTALPAGES]");
    report.TwoPass = true;
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"2", "--", "2"}));
    report.TwoPass = false;
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"0", "--", "0"}));
}

TEST_F(RunControl, CancelInFinalPassKeepsPagesFormedSoFar)
{
    onePagePerRecord(12, "[PAGE#]");
    report.TwoPass = true;
    report.ShowProgress = true;
    ASSERT_TRUE(report.Prepare());
    // The progress checks of the first pass: one per progress line and one at the pass start.
    const int firstPassChecks = static_cast<int>(progressLinesStartingWith("Performing").size());

    scriptedUi->cancelProgressAfter(firstPassChecks + 4);
    EXPECT_FALSE(report.Prepare());
    EXPECT_GT(pageCount(), 0);
    EXPECT_LT(pageCount(), 12);
    EXPECT_EQ(pages()[0], QStringList({"Data@20: 1"}));
    EXPECT_TRUE(errorBoxes().isEmpty());
}

TEST_F(RunControl, CancelInFirstPassEmptiesTheStore)
{
    onePagePerRecord(12, "[PAGE#]");
    report.TwoPass = true;
    report.ShowProgress = true;
    scriptedUi->cancelProgressAfter(3);
    EXPECT_FALSE(report.Prepare());
    EXPECT_EQ(pageCount(), 0);
}

TEST_F(RunControl, ScriptChangesDoNotOutliveTheRun)
{
    dataset("Q1", {"A", "B"});
    TfrBandView* data = printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    memo("Extra", 40, "extra", 10, 100);
    data->BeforePrintScript = QStringList{"Extra.Visible := False"};
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"A", "B"}));
    TfrView* extra = report.FindViewByName("Extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_TRUE(extra->Visible);
    EXPECT_EQ(extra->Top, 40) << "the view's band-relative position is not kept either";
}

TEST_F(RunControl, MultipleReportFormsEveryPagePerRecord)
{
    TfrDBDataSet& bills = dataset("Bills", {"B1", "B2", "B3"});
    report.ReportType = rtMultiple;
    report.setDataset(&bills);
    printing(ReportTitle, "Title", 0, 20, "bill [Bills.KEY]");
    TfrPage* second = addPage();
    printing(ReportTitle, "Title2", 0, 20, "terms", {}, second);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(),
        QStringList(
            {"bill B1", "--", "terms", "--", "bill B2", "--", "terms", "--", "bill B3", "--", "terms"}));
}

TEST_F(RunControl, PrintToPrevPageContinuesBelowTheLastBand)
{
    printing(ReportTitle, "Title", 0, 100, "first");
    TfrPage* second = addPage();
    second->PrintToPrevPage = true;
    printing(ReportTitle, "Title2", 0, 20, "second", {}, second);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pages(), QList<QStringList>({{"Title@20: first", "Title2@120: second"}}));
}

TEST_F(RunControl, PrintToPrevPageAfterAFullPageStartsANewOne)
{
    printing(ReportTitle, "Title", 0, kBottom - kTop, "full");
    TfrPage* second = addPage();
    second->PrintToPrevPage = true;
    printing(ReportTitle, "Title2", 0, 20, "second", {}, second);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pages(), QList<QStringList>({{"Title@20: full"}, {"Title2@20: second"}}));
}

TEST_F(RunControl, DialogPageCancelledByItsScriptFormsNoPage)
{
    TfrPage* dialog = page;
    dialog->PageKind = ptDialog;
    TfrPage* body = addPage();
    printing(ReportTitle, "Title", 0, 20, "title", {}, body);
    for (const auto& [result, prepared, pagesLeft] : {std::tuple{1, true, 1}, std::tuple{2, false, 0}}) {
        SCOPED_TRACE(result);
        report.TemplatePages().Page(0)->PageScript
            = QStringList{QStringLiteral("ModalResult := %1").arg(result)};
        EXPECT_EQ(report.Prepare(), prepared);
        EXPECT_EQ(pageCount(), pagesLeft);
    }
}

TEST_F(RunControl, MissingDataSourcePrintsItsBandsAsEmpty)
{
    printing(ReportTitle, "Title", 0, 20, "title");
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "NoSuchSet");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"title"}));
    EXPECT_TRUE(errorBoxes().isEmpty());
}

TEST_F(RunControl, CalculationErrorsStopTheRunAndDiscardThePages)
{
    struct Case {
        const char* name;
        const char* memoText;
        const char* bandScript;
        const char* object; // the view named in the message, or none
        const char* memoLine; // the memo line quoted in the message
        const char* message; // the error's own message
    };
    const Case cases[] = {
        {"division by zero in MOD", "[5 mod 0]", "", "Bad", "[5 mod 0]", "Division by zero"},
        {"field that does not exist", "[Q1.NOPE]", "", "Bad", "[Q1.NOPE]", "Undefined symbol \"Q1.NOPE\""},
        {"band script error", "[Q1.KEY]", "x := 1 mod 0", "Data", "", "Division by zero"},
    };
    dataset("Q1", {"A", "B", "C"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.TemplatePages().Clear();
        page = addPage();
        scriptedUi->clear();
        printing(ReportTitle, "Title", 0, 20, "title");
        TfrBandView* data = band(MasterData, "Data", 40, 20, "Q1Set");
        if (*c.bandScript)
            data->BeforePrintScript = QStringList{c.bandScript};
        memo("Bad", 40, c.memoText);

        EXPECT_TRUE(report.Prepare()) << "no progress window: the run itself answers true";
        EXPECT_EQ(pageCount(), 0);
        const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].caption, UiServices::applicationTitle());
        const QString object = QString::fromUtf8(c.object);
        QString expected = "An error occured during calculating";
        if (*c.memoLine)
            expected += QStringLiteral("\r") + c.memoLine;
        expected += "\r\rReport: frReport1\rObject: " + object + "\r\r";
        EXPECT_EQ(boxes[0].text, expected + c.message);
    }
}

} // namespace
} // namespace vaskel::test
