// Sub-reports: pages printed by sub-report views, side by side and across page ends, nested, and
// the templates whose sub-reports cannot print.
#include "layout_ReportFixture.h"

namespace vaskel::test {
namespace {

class LayoutSubReport : public LayoutTest {
protected:
    // "Name@top: text" lines of the rows R<from> to R<to> of a band named `name`, 20 units apart
    // from y `top`.
    static QStringList rows(const QString& name, int from, int to, qint32 top)
    {
        QStringList out;
        for (int i = from; i <= to; ++i)
            out << QStringLiteral("%1@%2: R%3").arg(name).arg(top + 20 * (i - from)).arg(i);
        return out;
    }

    // Sorted, so that the order in which side-by-side sub-reports wrote their rows does not
    // matter.
    QList<QStringList> sortedPages()
    {
        QList<QStringList> out = pages();
        for (QStringList& p : out)
            p.sort();
        return out;
    }
    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
};

TEST_F(LayoutSubReport, SideBySideSubReportsContinueTogetherAcrossPageEnds)
{
    TfrPage* shortPage = addPage();
    TfrPage* longPage = addPage();
    numbered("Three", 3);
    numbered("Forty", 40);
    printing(PageHeader, "PH", 0, 20, "head");
    band(MasterData, "Holder", 40, 30, "1");
    subReport("Left", 10, 40, 1);
    subReport("Right", 250, 40, 2);
    printing(ReportSummary, "After", 100, 20, "after");
    printing(MasterData, "Short", 40, 20, "[Three.KEY]", "ThreeSet", shortPage);
    printing(MasterData, "Long", 40, 20, "[Forty.KEY]", "FortySet", longPage);
    // The page ends report pages of their own when they are not printed by a sub-report.
    printing(PageHeader, "Unused", 0, 20, "not printed", {}, longPage);

    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(pageCount(), 3);
    const QList<QStringList> got = sortedPages();
    // Both start at the holder band's y; the longer one goes on below the page header of each
    // new page; the holder's page continues below the lower end.
    EXPECT_EQ(got[0], sorted(QStringList{"PH@20: head"} + rows("Short", 1, 3, 40) + rows("Long", 1, 18, 40)));
    EXPECT_EQ(got[1], sorted(QStringList{"PH@20: head"} + rows("Long", 19, 36, 40)));
    EXPECT_EQ(got[2], sorted(QStringList{"PH@20: head", "After@120: after"} + rows("Long", 37, 40, 40)));
    const QStringList at = positions();
    EXPECT_TRUE(at.contains("R1@20,40") && at.contains("R1@260,40")) << at.join(' ').toStdString();
}

TEST_F(LayoutSubReport, NestedSubReportContinuesThroughItsEnclosingOne)
{
    TfrPage* middle = addPage();
    TfrPage* inner = addPage();
    numbered("Rows", 40);
    printing(PageHeader, "PH", 0, 20, "head");
    band(MasterData, "Outer", 40, 20, "1");
    subReport("ToMiddle", 10, 40, 1);
    printing(ReportSummary, "End", 80, 20, "end");
    printing(MasterData, "Middle", 40, 40, "middle", "1", middle);
    subReport("ToInner", 10, 60, 2, middle);
    printing(MasterFooter, "MiddleEnd", 100, 20, "middle end", {}, middle);
    printing(MasterData, "Row", 40, 20, "[Rows.KEY]", "RowsSet", inner);
    // The first of two passes records and replays the same pages.
    report.TwoPass = true;
    printing(PageFooter, "PF", 380, 20, "[PAGE#]/[TOTALPAGES]")->Flags
        |= BandFlags::OnLastPage | BandFlags::OnFirstPage;

    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pages(),
        QList<QStringList>({QStringList{"PH@20: head", "Middle@40: middle"} + rows("Row", 1, 16, 60)
                + QStringList{"PF@380: 1/3"},
            QStringList{"PH@20: head"} + rows("Row", 17, 33, 40) + QStringList{"PF@380: 2/3"},
            QStringList{"PH@20: head"} + rows("Row", 34, 40, 40)
                + QStringList{"MiddleEnd@180: middle end", "End@200: end", "PF@380: 3/3"}}));
}

TEST_F(LayoutSubReport, SubReportRowsCountAndReadTheirOwnPage)
{
    // Two masters, each with a sub-report of three rows: LINE# starts again for each master,
    // FREESPACE reads the sub-report page's position.
    TfrPage* sub = addPage();
    numbered("Masters", 2);
    numbered("Items", 3);
    printing(MasterData, "Master", 40, 20, "[Masters.KEY]", "MastersSet");
    subReport("Items", 100, 50, 1);
    printing(MasterData, "Item", 40, 20, "[Items.KEY] [LINE#] [FREESPACE]", "ItemsSet", sub);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(),
        QStringList({"R1", "R1 1 370", "R2 2 350", "R3 3 330", "R2", "R1 1 300", "R2 2 280", "R3 3 260"}));
}

TEST_F(LayoutSubReport, ARowCarriedToTheNextPageRunsItsScriptOnce)
{
    TfrPage* sub = addPage();
    numbered("Rows", 25);
    printing(PageHeader, "PH", 0, 20, "head");
    band(MasterData, "Holder", 40, 20, "1");
    subReport("Rows", 10, 40, 1);
    printing(MasterData, "Row", 40, 20, "[Counter]", "RowsSet", sub)->BeforePrintScript
        = QStringList{"begin", "if [LINE#] = 1 then Counter := 0;", "Counter := Counter + 1", "end"};
    ASSERT_TRUE(report.Prepare());
    QStringList expected;
    for (int i = 1; i <= 25; ++i)
        expected << QString::number(i) << (i == 18 ? QStringList{"--", "head"} : QStringList());
    EXPECT_EQ(texts(), QStringList{"head"} + expected);
}

TEST_F(LayoutSubReport, BandTallerThanThePageStopsTheRunInsteadOfAddingPages)
{
    TfrPage* sub = addPage();
    printing(PageHeader, "PH", 0, 20, "head");
    band(MasterData, "Holder", 40, 20, "1");
    subReport("Tall", 10, 40, 1);
    printing(MasterData, "TallBand", 40, 500, "tall", "1", sub);
    report.Prepare();
    EXPECT_EQ(pageCount(), 0);
    ASSERT_EQ(errorBoxes().size(), 1);
    EXPECT_TRUE(errorBoxes()[0].contains("A band of the sub-report Tall is taller than the page"))
        << errorBoxes()[0].toStdString();
}

TEST_F(LayoutSubReport, TemplatesWhoseSubReportsCannotPrintStopTheRun)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> views; // (page holding the view, page it prints)
        QString message;
        bool memoAfterLooseView = false;
    };
    const Case cases[] = {
        {"page index naming no page", {{0, 7}}, "List index out of bounds (7)"},
        {"a page printing itself", {{0, 1}, {1, 1}},
            "Sub-reports print each other without end: page 2 -> page 2"},
        {"two pages printing each other", {{0, 1}, {1, 2}, {2, 1}},
            "Sub-reports print each other without end: page 2 -> page 3 -> page 2"},
        // Views outside every band print in page order: a memo may follow a sub-report view.
        {"a view after a sub-report view", {}, "Object: Late\r\rInvalid class typecast", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.TemplatePages().Clear();
        scriptedUi->clear();
        page = addPage();
        std::vector<TfrPage*> all{page, addPage(), addPage()};
        for (size_t i = 0; i < all.size(); ++i)
            band(MasterData, QStringLiteral("Data%1").arg(i), 40, 20, "1", all[i]);
        for (const auto& [holder, printed] : c.views)
            subReport(QStringLiteral("Sub%1").arg(holder), 10, 40, printed, all[static_cast<size_t>(holder)]);
        if (c.memoAfterLooseView) {
            subReport("Loose", 10, 300, 1);
            memo("Late", 320, "late");
        }

        report.Prepare();
        EXPECT_EQ(pageCount(), 0);
        const QStringList boxes = errorBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].contains(c.message)) << boxes[0].toStdString();
    }
}

} // namespace
} // namespace vaskel::test
