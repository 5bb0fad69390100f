// Cross bands: rows of a horizontal band crossed with the columns of a cross data band, columns
// continuing on following pages, the column events, the master footer's columns and aggregates
// per column.
#include "layout_ReportFixture.h"

#include "platform/DataPaths.h"
#include "report/engine/TvuVeveDataset.h"
#include "report/model/TemplateJson.h"

#include <QFile>
#include <QJsonDocument>

namespace vaskel::test {
namespace {

class LayoutCross : public LayoutTest {
protected:
    // A vertical band of that kind from x `left`, `width` wide (report units).
    TfrBandView* crossBand(
        TfrBandKind kind, const QString& name, qint32 left, qint32 width, const QString& source = {})
    {
        TfrBandView* b = band(kind, name, 0, kBottom, source);
        b->Left = left;
        b->Width = width;
        return b;
    }
    // A memo at (left, top), 40 units wide: a cell where it lies inside a cross band.
    TfrMemoView* cell(qint32 left, qint32 top, const QString& text)
    {
        TfrMemoView* m = memo(QStringLiteral("Cell"), top, text, 10, left);
        m->Width = 40;
        return m;
    }

    // The cross bands start right of x 200, so that views left of it are plain views.
    static constexpr qint32 kHeaderLeft = 200;
    static constexpr qint32 kHeaderWidth = 90;
    static constexpr qint32 kDataLeft = kHeaderLeft + kHeaderWidth;
};

TEST_F(LayoutCross, ColumnsWiderThanThePageContinueOnTheNextPreparedPage)
{
    numbered("Rows", 2);
    numbered("Cols", 12);
    const qint32 left = page->LeftLimit();
    // Six columns fill the width right of the cross header; the next six need a second page.
    const qint32 width = (page->RightLimit() - kDataLeft) / 6;
    // Two passes: the first one adds the same pages, so the total is known.
    report.TwoPass = true;
    printing(PageHeader, "PH", 0, 20, "head [PAGE#]/[TOTALPAGES]")->Flags |= BandFlags::OnFirstPage;
    band(MasterData, "Row", 40, 20, "RowsSet");
    crossBand(CrossHeader, "Names", kHeaderLeft, kHeaderWidth)->Flags |= BandFlags::RepeatHeader;
    crossBand(CrossData, "Months", kDataLeft, width, "ColsSet");
    cell(kHeaderLeft, 40, "[Rows.KEY]");
    cell(kDataLeft, 40, "[COLUMN#]");
    printing(ReportSummary, "After", 80, 20, "after on [PAGE#]");

    ASSERT_TRUE(report.Prepare());
    QStringList first{"head 1/2@10,20"};
    QStringList second{"head 2/2@10,20"};
    for (int row = 1; row <= 2; ++row) {
        const qint32 y = 20 + 20 * row;
        first << QStringLiteral("R%1@%2,%3").arg(row).arg(kHeaderLeft).arg(y);
        second << QStringLiteral("R%1@%2,%3").arg(row).arg(left).arg(y);
        for (int c = 1; c <= 12; ++c) {
            // COLUMN# counts from 1 in every row; column 7 starts again after the repeated header.
            const qint32 x = c <= 6 ? kDataLeft + (c - 1) * width : left + kHeaderWidth + (c - 7) * width;
            (c <= 6 ? first : second) << QStringLiteral("%1@%2,%3").arg(c).arg(x).arg(y);
        }
    }
    first << "after on 1@10,80";
    EXPECT_EQ(positions(), first + QStringList{"--"} + second);
}

TEST_F(LayoutCross, RowsGoingBackToAPageAlreadyHandedOverEndTheHandOver)
{
    // Each row's columns spread over several pages; the second row goes back to the first page.
    numbered("Rows", 2);
    numbered("Cols", 40);
    band(MasterData, "Row", 40, 20, "RowsSet");
    crossBand(CrossData, "Months", kDataLeft, (page->RightLimit() - kDataLeft) / 6, "ColsSet");
    cell(kDataLeft, 40, "[COLUMN#]");
    ASSERT_TRUE(report.Prepare());
    ASSERT_GE(report.PreparedPages().Count(), 4);
    EXPECT_TRUE(report.PreparedPages().HandOverBroken());
}

TEST_F(LayoutCross, PageHeaderWithCellsContinuesItsOwnColumns)
{
    // Column titles in the page header: the page its columns add gets their continuation, not
    // another page header (whose columns would overlap them and add pages without end).
    numbered("Rows", 1);
    numbered("Cols", 4);
    const qint32 width = (page->RightLimit() - kDataLeft) / 2;
    printing(PageHeader, "PH", 0, 20, "head")->Flags |= BandFlags::OnFirstPage;
    band(MasterData, "Row", 40, 20, "RowsSet");
    crossBand(CrossData, "Months", kDataLeft, width, "ColsSet");
    cell(kDataLeft, 0, "t[COLUMN#]");
    cell(kDataLeft, 40, "[COLUMN#]");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"head", "t1", "t2", "1", "2", "--", "t3", "t4", "3", "4"}));
}

TEST_F(LayoutCross, StretchedRowTakesTheHeightOfItsTallestColumn)
{
    // Only column 2 wraps; the row is measured column by column, so the band below starts under
    // its last line.
    numbered("Rows", 1);
    dataset("Cols", {"a", "many words that wrap in a narrow column"});
    band(MasterData, "Row", 40, 20, "RowsSet")->Flags |= ViewFlags::Stretched;
    crossBand(CrossData, "Months", kDataLeft, 40, "ColsSet");
    cell(kDataLeft, 40, "[Cols.KEY]")->Flags |= ViewFlags::Stretched;
    printing(ReportSummary, "After", 80, 20, "after");
    ASSERT_TRUE(report.Prepare());
    const QStringList objects = pages().value(0);
    ASSERT_EQ(objects.size(), 3);
    // The row starts at 20 and is 20 high as designed.
    const qint32 after = objects[2].section('@', 1).section(':', 0, 0).toInt();
    EXPECT_GT(after, 40) << objects.join('\n').toStdString();
}

TEST_F(LayoutCross, OnPrintColumnSetsTheColumnWidth)
{
    numbered("Rows", 1);
    numbered("Cols", 3);
    band(MasterData, "Row", 40, 20, "RowsSet");
    crossBand(CrossData, "Months", kDataLeft, 100, "ColsSet");
    cell(kDataLeft, 40, "[COLUMN#]");
    QList<qint32> begun;
    report.OnBeginColumn = [&begun](TfrBand& b) { begun << b.Top; };
    report.OnPrintColumn = [](qint32 column, qint32& width) { width = column == 2 ? 50 : 100; };
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(),
        QStringList({QStringLiteral("1@%1,20").arg(kDataLeft), QStringLiteral("2@%1,20").arg(kDataLeft + 100),
            QStringLiteral("3@%1,20").arg(kDataLeft + 150)}));
    EXPECT_EQ(begun, QList<qint32>{20});
}

TEST_F(LayoutCross, MasterFooterPrintsAsManyColumnsAsTheWidestRow)
{
    // Rows have 2, 4 and 3 columns; the footer's own column dataset is empty.
    dataset("Rows", {{"KEY", DatabaseFieldKind::String}, {"N", DatabaseFieldKind::Integer}},
        {{"a", 2}, {"b", 4}, {"c", 3}});
    dataset("None", QStringList{});
    auto& cols = host.make<TvuVeveDataset>(QStringLiteral("Cols"));
    cols.RangeEnd = TRangeEnd::reCount;
    cols.RangeEndCount = 10;
    auto* rows = dynamic_cast<MemoryDataset*>(host.findComponent("Rows"));
    cols.OnCheckEOF = [rows](TfrDataset* d, bool& eof) {
        eof = eof || rows->eof() || d->RecordIndex >= rows->fieldValue(1).toInt();
    };
    band(MasterData, "Row", 40, 20, "RowsSet");
    band(MasterFooter, "Foot", 80, 20);
    crossBand(CrossHeader, "Names", kHeaderLeft, kHeaderWidth);
    crossBand(CrossData, "Months", kDataLeft, 40, "Row=Cols;Foot=NoneSet;");
    cell(kHeaderLeft, 40, "[Rows.KEY]");
    cell(kHeaderLeft, 80, "total");
    cell(kDataLeft, 40, "[COLUMN#]");
    cell(kDataLeft, 80, "t[COLUMN#]");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(),
        QStringList(
            {"a", "1", "2", "b", "1", "2", "3", "4", "c", "1", "2", "3", "total", "t1", "t2", "t3", "t4"}));
}

TEST_F(LayoutCross, SumsPerColumnAndAlongTheRow)
{
    // Cell values are N × M; the footer row sums each column, the cross footer sums each row.
    dataset("Rows", {{"KEY", DatabaseFieldKind::String}, {"N", DatabaseFieldKind::Integer}},
        {{"a", 1}, {"b", 2}, {"c", 3}});
    dataset("Cols", {{"M", DatabaseFieldKind::Integer}}, {{10}, {20}, {30}});
    band(MasterData, "Row", 40, 20, "RowsSet");
    band(MasterFooter, "Foot", 80, 20);
    crossBand(CrossHeader, "Names", kHeaderLeft, kHeaderWidth);
    crossBand(CrossData, "Months", kDataLeft, 40, "ColsSet");
    crossBand(CrossFooter, "Totals", kDataLeft + 200, 40);
    cell(kHeaderLeft, 40, "[Rows.KEY]");
    cell(kHeaderLeft, 80, "sum");
    cell(kDataLeft, 40, "[[Rows.N] * [Cols.M]]");
    cell(kDataLeft, 80, "[SUM([Rows.N] * [Cols.M])]");
    cell(kDataLeft + 200, 40, "[SUM([Rows.N] * [Cols.M])]");
    ASSERT_TRUE(report.Prepare()) << errorBoxes().join('\n').toStdString();
    EXPECT_EQ(errorBoxes(), QStringList());
    EXPECT_EQ(texts(),
        QStringList({"a", "10", "20", "30", "60", "b", "20", "40", "60", "120", "c", "30", "60", "90", "180",
            "sum", "60", "120", "180"}));
}

TEST_F(LayoutCross, CrossDataWithoutDatasetPrintsHeaderAndFooterOnly)
{
    numbered("Rows", 2);
    band(MasterData, "Row", 40, 20, "RowsSet");
    crossBand(CrossHeader, "Names", kHeaderLeft, kHeaderWidth);
    crossBand(CrossData, "Months", kDataLeft, 40);
    crossBand(CrossFooter, "Totals", kDataLeft + 200, 40);
    cell(kHeaderLeft, 40, "[Rows.KEY]");
    cell(kDataLeft, 40, "never");
    cell(kDataLeft + 200, 40, "total");
    ASSERT_TRUE(report.Prepare());
    // The footer column follows the header at once.
    EXPECT_EQ(positions(),
        QStringList(
            {QStringLiteral("R1@%1,20").arg(kHeaderLeft), QStringLiteral("total@%1,20").arg(kDataLeft),
                QStringLiteral("R2@%1,40").arg(kHeaderLeft), QStringLiteral("total@%1,40").arg(kDataLeft)}));
}

// The cross-tab example over a few lines: a row per material, a column per month.
TEST_F(LayoutCross, SalesByMonthExampleSumsEachMaterialsMonths)
{
    QFile file(DataPaths::dataFile(QStringLiteral("examples/sales_by_month.json")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    report.TemplatePages().Clear();
    TemplateJson::fromJson(QJsonDocument::fromJson(file.readAll()), report.Template);
    auto& lines = host.make<MemoryDataset>(QStringLiteral("ADOQuery2"),
        QList<MemoryDataset::Column>{{"CMNAME", DatabaseFieldKind::String},
            {"CMUNIT", DatabaseFieldKind::String}, {"MON", DatabaseFieldKind::String},
            {"QNT", DatabaseFieldKind::Float}},
        QList<QVariantList>{{"bolt", "set", "2023-01", 2.0}, {"bolt", "set", "2023-01", 3.5},
            {"bolt", "set", "2023-03", 1.0}, {"pipe", "m", "2023-02", 7.0}});
    host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet2")).setDataSet(&lines);
    auto& months = host.make<MemoryDataset>(QStringLiteral("MonthsQuery"),
        QList<MemoryDataset::Column>{{"MON", DatabaseFieldKind::String}},
        QList<QVariantList>{{"2023-01"}, {"2023-02"}, {"2023-03"}});
    host.make<TfrDBDataSet>(QStringLiteral("Months")).setDataSet(&months);
    ASSERT_TRUE(report.Prepare()) << errorBoxes().join('\n').toStdString();
    EXPECT_EQ(errorBoxes(), QStringList());
    QStringList printed = texts();
    printed.removeAll(QString()); // the sales lines' empty cells, which only add up their columns
    EXPECT_EQ(printed,
        QStringList({"各物资每月销售数量", "物资名称", "单位", "2023-01", "2023-02", "2023-03", "bolt", "set",
            "5.5", "0", "1", "pipe", "m", "0", "7", "0", "合计", "5.5", "7", "1", "第 1 页"}));
}

} // namespace
} // namespace vaskel::test
