// A list report: title, page header, a master data band over a dataset, summary and page footer,
// with new pages when the page is full.
#include "layout_ReportFixture.h"

namespace vaskel::test {
namespace {

class LayoutList : public LayoutTest {
protected:
    // Title 30, page header 20, data rows 20, summary 20, page footer 20: page 1 holds 15 rows
    // (y 70 to 350), page 2 holds up to 17 (y 40 to 360); the footer sits at 380.
    void buildList(int records)
    {
        numbered("Q1", records);
        printing(ReportTitle, "Title", 0, 30, "title");
        printing(PageHeader, "Header", 40, 20, "header");
        printing(MasterData, "Data", 80, 20, "[Q1.KEY]", "Q1Set");
        printing(ReportSummary, "Summary", 120, 20, "summary");
        printing(PageFooter, "Footer", 160, 20, "page [PAGE#]");
    }
};

TEST_F(LayoutList, FillsPagesAndMovesTheRestUnderTheNextPageHeader)
{
    buildList(30);
    ASSERT_TRUE(report.Prepare());
    const QList<QStringList> p = pages();
    ASSERT_EQ(p.size(), 2);
    ASSERT_EQ(p[0].size(), 18);
    EXPECT_EQ(p[0].first(), "Title@20: title");
    EXPECT_EQ(p[0][1], "Header@50: header");
    EXPECT_EQ(p[0][2], "Data@70: R1");
    EXPECT_EQ(p[0][16], "Data@350: R15");
    EXPECT_EQ(p[0].last(), "Footer@380: page 1");
    EXPECT_EQ(p[1].first(), "Header@20: header");
    EXPECT_EQ(p[1][1], "Data@40: R16");
    EXPECT_EQ(p[1][15], "Data@320: R30");
    EXPECT_EQ(p[1][16], "Summary@340: summary");
    EXPECT_EQ(p[1].last(), "Footer@380: page 2");
    EXPECT_TRUE(errorBoxes().isEmpty());
}

TEST_F(LayoutList, FinalPagesAreHandedOverWhileTheRunGoesOn)
{
    // Two passes over five pages: the first pass hands nothing over; the final one each page as
    // two more follow it. The fixture checks that none of them changed afterwards.
    buildList(70);
    report.TwoPass = true;
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(report.PreparedPages().Count(), 5);
    EXPECT_FALSE(report.PreparedPages().HandOverBroken());
    EXPECT_EQ(handedOver.pages.size(), 3u);
}

TEST_F(LayoutList, EmptyDatasetPrintsFrameOnlyOrNothingWithoutPrintIfEmpty)
{
    buildList(0);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"title", "header", "summary", "page 1"}));

    report.PrintIfEmpty = false;
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pageCount(), 0);
}

} // namespace
} // namespace vaskel::test
