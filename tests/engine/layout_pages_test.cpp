// Pages and bands: page footers on first and last pages, bands that do not fit, bands taller than
// a page, page requests from scripts, child bands, band columns and the column footer's space.
#include "layout_ReportFixture.h"

#include <QRegularExpression>

#include <functional>

namespace vaskel::test {
namespace {

class LayoutPages : public LayoutTest { };

TEST_F(LayoutPages, PageFooterOnFirstAndLastPage)
{
    struct Case {
        const char* name;
        quint16 flags;
        QStringList expected;
    };
    const Case cases[] = {
        {"neither", 0, {"R1", "--", "R2", "foot 2", "--", "R3"}},
        {"first page", BandFlags::OnFirstPage, {"R1", "foot 1", "--", "R2", "foot 2", "--", "R3"}},
        {"last page", BandFlags::OnLastPage, {"R1", "--", "R2", "foot 2", "--", "R3", "foot 3"}},
        {"both", BandFlags::OnFirstPage | BandFlags::OnLastPage,
            {"R1", "foot 1", "--", "R2", "foot 2", "--", "R3", "foot 3"}},
    };
    numbered("Q1", 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.TemplatePages().Clear();
        page = addPage();
        printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set")->Flags |= BandFlags::FormNewPage;
        printing(PageFooter, "Foot", 100, 20, "foot [PAGE#]")->Flags = c.flags;
        ASSERT_TRUE(report.Prepare());
        EXPECT_EQ(texts(), c.expected);
    }
}

TEST_F(LayoutPages, TitleTallerThanTheFreeSpaceStartsANewPageWithoutHeaderAbove)
{
    printing(ReportTitle, "Before", 0, 200, "before");
    TfrPage* second = addPage();
    second->PrintToPrevPage = true;
    printing(ReportTitle, "Title", 0, 300, "title", {}, second);
    printing(PageHeader, "Header", 320, 20, "header", {}, second);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pages(), QList<QStringList>({{"Before@20: before"}, {"Header@20: header", "Title@40: title"}}));
}

TEST_F(LayoutPages, BandTallerThanAPageIsSplitFromTheTop)
{
    band(MasterData, "Tall", 40, 500, "1");
    memo("A", 40, "top part");
    memo("B", 40 + 450, "bottom part");
    printing(ReportSummary, "After", 600, 20, "after");
    ASSERT_TRUE(report.Prepare());
    // Room on a page is 400 - 20 - 2 = 378 units: B (at 450) moves up by 378 to 72.
    EXPECT_EQ(positions(), QStringList({"top part@10,20", "--", "bottom part@10,92", "after@10,102"}));
}

TEST_F(LayoutPages, BandTallerThanAPageReachedBelowTheTopIsSplitAfterOnePageBreak)
{
    printing(ReportTitle, "Title", 0, 20, "title");
    band(MasterData, "Tall", 40, 500, "1");
    memo("A", 40, "top part");
    memo("B", 40 + 450, "bottom part");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"title@10,20", "--", "top part@10,20", "--", "bottom part@10,92"}));
}

TEST_F(LayoutPages, NewPageTwiceWithCurYPrintsAtThatPositionTwoPagesOn)
{
    printing(ReportTitle, "Title", 0, 20, "title");
    printing(ReportSummary, "Summary", 40, 20, "summary")->BeforePrintScript
        = QStringList{"begin NewPage; NewPage; CurY := 100 end"};
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"title@10,20", "--", "--", "summary@10,100"}));
}

TEST_F(LayoutPages, InvisibleBandPrintsOnlyItsChild)
{
    TfrBandView* title = printing(ReportTitle, "Title", 0, 20, "title");
    title->Visible = false;
    title->ChildBand = "Kid";
    title->Flags |= BandFlags::PrintChildIfInvisible;
    printing(Child, "Kid", 40, 20, "kid");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"kid@10,20"}));

    // Without the flag the child stays away too; a visible band prints its child below it.
    report.TemplatePages().Clear();
    page = addPage();
    title = printing(ReportTitle, "Title", 0, 20, "title");
    title->ChildBand = "Kid";
    printing(Child, "Kid", 40, 15, "kid");
    printing(ReportSummary, "Summary", 80, 20, "summary");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"title@10,20", "kid@10,40", "summary@10,55"}));
}

TEST_F(LayoutPages, ThreeBandColumnsPrintRecordsSideBySide)
{
    numbered("Q1", 4);
    TfrBandView* data = printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    data->Columns = 3;
    data->ColumnWidth = 100;
    data->ColumnGap = 20;
    printing(ReportSummary, "Summary", 80, 20, "summary");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"R1@10,20", "R2@130,20", "R3@250,20", "R4@10,40", "summary@10,60"}));
}

TEST_F(LayoutPages, ColumnFooterSpaceIsKeptOnEveryPage)
{
    numbered("Q1", 40);
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    printing(ColumnFooter, "ColFoot", 100, 30, "column end");
    ASSERT_TRUE(report.Prepare());
    const QList<QStringList> p = pages();
    ASSERT_EQ(p.size(), 3);
    // Rows may reach y 350 only (400 - 30 for the footer): 17 rows a page.
    EXPECT_EQ(p[0].size(), 18);
    EXPECT_EQ(p[0][16], "Data@340: R17");
    EXPECT_EQ(p[0][17], "ColFoot@360: column end");
    EXPECT_EQ(p[2].last(), "ColFoot@140: column end");

    // Without a column footer the page holds 19 rows.
    report.TemplatePages().Clear();
    page = addPage();
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(pages()[0].size(), 19);
}

class LayoutSplit : public LayoutTest {
protected:
    // The numbers of the lines "L<n>" a printed memo shows.
    static QList<int> lineNumbers(const QString& object)
    {
        QList<int> out;
        static const QRegularExpression line(QStringLiteral("L(\\d+)"));
        for (auto it = line.globalMatch(object.section(QStringLiteral(": "), 1)); it.hasNext();)
            out << it.next().captured(1).toInt();
        return out;
    }

    // A breakable summary 180 high at y 300 (below a 280-unit title): a memo 150 high holding
    // more lines than fit in it, and a second memo under it at 160.
    void breakedMemo()
    {
        printing(ReportTitle, "Spacer", 0, 280, "spacer");
        band(ReportSummary, "Body", 300, 180)->Flags |= BandFlags::Breaked;
        QStringList text;
        for (int i = 1; i <= 40; ++i)
            text << QStringLiteral("L%1").arg(i);
        TfrMemoView* m = memo("Long", 300, {}, 150);
        m->Memo = text;
        m->Flags &= ~ViewFlags::Stretched;
        memo("Below", 460, "below")->Flags &= ~ViewFlags::Stretched;
    }
};

TEST_F(LayoutSplit, BreakedMemoContinuesOnTheNextPageAndPushesViewsBelowIt)
{
    breakedMemo();
    ASSERT_TRUE(report.Prepare());
    const QList<QStringList> p = pages();
    ASSERT_EQ(p.size(), 2) << positions().join('\n').toStdString();
    ASSERT_EQ(p[0].size(), 2);
    ASSERT_EQ(p[1].size(), 2);
    // Page 1 has room for 98 units of the band: the lines that fit there; page 2 goes on with the
    // next line as far as the memo's 150 units reach.
    const QList<int> first = lineNumbers(p[0][1]);
    const QList<int> rest = lineNumbers(p[1][0]);
    ASSERT_GE(first.size(), 2);
    ASSERT_FALSE(rest.isEmpty());
    EXPECT_EQ(first.first(), 1);
    EXPECT_EQ(rest.first(), first.last() + 1);
    EXPECT_LT(rest.last(), 40);
    EXPECT_TRUE(p[1][0].startsWith("Long@20:"));
    // Below was at 160 in the band: 160 - 98 on the new page, plus the space left under the last
    // line printed on page 1 (less than one line).
    ASSERT_TRUE(p[1][1].startsWith("Below@"));
    const int belowTop = p[1][1].section('@', 1).section(':', 0, 0).toInt();
    EXPECT_GE(belowTop, 20 + 62);
    EXPECT_LT(belowTop, 20 + 62 + 20);
}

// A stretched breakable band: the long memo prints every line exactly once across the pages, and
// the memo under it once, however many page ends the split crosses.
TEST_F(LayoutSplit, StretchedBreakedMemoPrintsEachLineOnce)
{
    breakedMemo();
    TfrPage* page = report.TemplatePages()[0];
    for (const auto& v : page->ObjectList) {
        if (v->Name == "Long" || v->Name == "Below" || v->Name == "Body")
            v->Flags |= ViewFlags::Stretched;
        if (v->Name == "Long") {
            QStringList text;
            for (int i = 1; i <= 120; ++i)
                text << QStringLiteral("L%1").arg(i);
            v->Memo = text;
        }
    }
    ASSERT_TRUE(report.Prepare());
    QList<int> lines;
    int below = 0;
    for (const QStringList& objects : pages()) {
        for (const QString& o : objects) {
            if (o.startsWith("Long@"))
                lines << lineNumbers(o);
            below += o.count(QStringLiteral("below"));
        }
    }
    QList<int> expected;
    for (int i = 1; i <= 120; ++i)
        expected << i;
    EXPECT_EQ(lines, expected) << positions().join('\n').toStdString();
    EXPECT_EQ(below, 1) << positions().join('\n').toStdString();
}

class LayoutNeverHangs : public LayoutTest { };

// Bands and views that can never fit are split or printed where they stand; the run ends.
TEST_F(LayoutNeverHangs, BandsThatCanNeverFit)
{
    struct Case {
        const char* name;
        std::function<void()> build;
        int pages; // a view taller than any page prints on the page it starts on
    };
    auto picture = [](TfrPage* p, qint32 top, qint32 height) {
        auto v = std::make_unique<TfrPictureView>();
        v->Name = "Picture";
        v->Top = top;
        v->Width = 50;
        v->Height = height;
        p->Add(std::move(v));
    };
    const Case cases[] = {
        {"page header taller than a page",
            [this] {
                printing(PageHeader, "Header", 0, 900, "header");
                printing(MasterData, "Data", 1000, 20, "[LINE#]", "3");
            },
            1},
        {"breakable band holding a picture taller than a page",
            [this, &picture] {
                band(ReportSummary, "Summary", 0, 1000)->Flags |= BandFlags::Breaked;
                picture(page, 10, 900);
            },
            1},
        {"data band taller than a page on every record",
            [this, &picture] {
                band(MasterData, "Data", 0, 1000, "3");
                picture(page, 10, 900);
            },
            3},
        {"column header taller than a page with two page columns",
            [this] {
                page->Columns = 2;
                page->ColumnGap = 10;
                printing(ColumnHeader, "ColHead", 0, 900, "column");
                printing(MasterData, "Data", 1000, 20, "[LINE#]", "3");
            },
            1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.TemplatePages().Clear();
        page = addPage();
        c.build();
        EXPECT_TRUE(report.Prepare());
        EXPECT_EQ(pageCount(), c.pages) << positions().join(' ').toStdString();
    }
}

class LayoutColumns : public LayoutTest { };

TEST_F(LayoutColumns, PageColumnsFillLeftToRightUnderTheColumnHeader)
{
    numbered("Q1", 40);
    page->Columns = 2;
    page->ColumnGap = 20;
    const qint32 second = 10 + (page->RightLimit() - page->LeftLimit() - 20) / 2 + 20;
    printing(ReportTitle, "Title", 0, 40, "title");
    printing(ColumnHeader, "ColHead", 50, 20, "columns");
    printing(MasterData, "Data", 80, 20, "[Q1.KEY]", "Q1Set");
    printing(ColumnFooter, "ColFoot", 120, 20, "end");
    ASSERT_TRUE(report.Prepare());
    const QStringList p = positions();
    // Column 1 runs from y 80 to 360 (15 rows, the footer's 20 units kept), column 2 starts at
    // the column header's y again; the second page starts with the column header.
    EXPECT_EQ(p.mid(0, 3), QStringList({"title@10,20", "columns@10,60", "R1@10,80"}));
    EXPECT_TRUE(p.contains("R15@10,360"));
    EXPECT_TRUE(p.contains(QStringLiteral("end@10,380")));
    EXPECT_TRUE(p.contains(QStringLiteral("columns@%1,60").arg(second)));
    EXPECT_TRUE(p.contains(QStringLiteral("R16@%1,80").arg(second)));
    EXPECT_TRUE(p.contains(QStringLiteral("R30@%1,360").arg(second)));
    EXPECT_TRUE(p.contains(QStringLiteral("end@%1,380").arg(second)));
    const qsizetype pageBreak = p.indexOf("--");
    ASSERT_GT(pageBreak, 0);
    EXPECT_EQ(p.mid(pageBreak + 1, 2), QStringList({"columns@10,20", "R31@10,40"}));
}

TEST_F(LayoutColumns, NewColumnFromAScriptMovesTheBandToTheNextColumn)
{
    page->Columns = 2;
    page->ColumnGap = 20;
    const qint32 second = 10 + (page->RightLimit() - page->LeftLimit() - 20) / 2 + 20;
    printing(ColumnHeader, "ColHead", 0, 20, "columns");
    printing(MasterData, "Data", 40, 20, "[LINE#]", "2")->BeforePrintScript
        = QStringList{"begin if [LINE#] = 2 then NewColumn; end"};
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(),
        QStringList({"columns@10,20", "1@10,40", QStringLiteral("columns@%1,20").arg(second),
            QStringLiteral("2@%1,40").arg(second)}));
}

TEST_F(LayoutColumns, RepeatedHeadersOnTheNextPage)
{
    numbered("Q1", 20);
    printing(MasterHeader, "Head", 0, 20, "head")->Flags |= BandFlags::RepeatHeader;
    printing(GroupHeader, "Group", 30, 20, "group", "1")->Flags |= BandFlags::RepeatHeader;
    printing(MasterData, "Data", 60, 20, "[Q1.KEY]", "Q1Set");
    ASSERT_TRUE(report.Prepare());
    const QList<QStringList> p = pages();
    ASSERT_EQ(p.size(), 2);
    EXPECT_EQ(p[0].mid(0, 3), QStringList({"Group@20: group", "Head@40: head", "Data@60: R1"}));
    EXPECT_EQ(p[1].mid(0, 3), QStringList({"Group@20: group", "Head@40: head", "Data@60: R18"}));
}

} // namespace
} // namespace vaskel::test
