// The data walk: master and detail levels, headers and footers, group breaks with their footers
// and aggregates, and the order of bands of one kind.
#include "layout_ReportFixture.h"

#include "report/engine/TvuVeveDataset.h"

#include <QBuffer>
#include <QImage>

namespace vaskel::test {
namespace {

class LayoutWalk : public LayoutTest {
protected:
    // Masters M1 to M3; the detail dataset has two records for M2 only.
    void masterDetail(quint16 masterFlags = 0)
    {
        dataset("M", {"M1", "M2", "M3"});
        auto& details = host.make<TvuVeveDataset>(QStringLiteral("Details"));
        details.RangeEnd = TRangeEnd::reCount;
        details.RangeEndCount = 2;
        auto* master = dynamic_cast<MemoryDataset*>(host.findComponent("M"));
        details.OnCheckEOF = [master](TfrDataset*, bool& eof) { eof = eof || master->key() != "M2"; };
        printing(MasterData, "Master", 40, 20, "[M.KEY]", "MSet")->Flags |= masterFlags;
        printing(DetailData, "Detail", 80, 20, "d[LINE#]", "Details");
    }

    QStringList bandsBegun;
    void recordBands()
    {
        report.OnBeginBand = [this](TfrBand& b) {
            if (!b.Name.isEmpty())
                bandsBegun << b.Name;
        };
    }
};

TEST_F(LayoutWalk, MasterWithoutDetailsPrintsOnlyWhenAsked)
{
    masterDetail();
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"M2", "d1", "d2"}));
}

TEST_F(LayoutWalk, PrintIfSubsetEmptyPrintsEveryMaster)
{
    masterDetail(BandFlags::PrintIfSubsetEmpty);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"M1", "M2", "d1", "d2", "M3"}));
}

TEST_F(LayoutWalk, GroupFooterPrintsOnTheLastRecordOfItsGroup)
{
    dataset("G",
        {{"KEY", DatabaseFieldKind::String}, {"GRP", DatabaseFieldKind::String},
            {"AMT", DatabaseFieldKind::Integer}},
        {{"r1", "a", 1}, {"r2", "a", 2}, {"r3", "b", 4}});
    for (const bool twoPass : {false, true}) {
        SCOPED_TRACE(twoPass ? "two passes" : "one pass");
        report.TemplatePages().Clear();
        page = addPage();
        report.TwoPass = twoPass;
        printing(GroupHeader, "Group", 0, 20, "group [G.GRP]", "G.GRP");
        printing(MasterData, "Data", 40, 20, "[G.KEY] [CURRENT#]", "GSet");
        printing(GroupFooter, "GroupEnd", 80, 20, "sum [SUM([G.AMT])] after [G.KEY]");
        printing(ReportSummary, "Total", 120, 20, "total [SUM([G.AMT])]");
        ASSERT_TRUE(report.Prepare());
        // The last group's footer prints once the dataset has reached its end; the final pass
        // of two starts its sums and record count again.
        EXPECT_EQ(texts(),
            QStringList(
                {"group a", "r1 1", "r2 2", "sum 3 after r2", "group b", "r3 3", "sum 4 after ", "total 7"}));
    }
}

TEST_F(LayoutWalk, HeaderAndFooterFollowTheirDataBand)
{
    dataset("Q1", {"A", "B"});
    printing(MasterHeader, "Head", 0, 20, "head");
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    printing(MasterFooter, "Foot", 80, 20, "foot [COUNT(Data)]");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(
        pages(), QList<QStringList>({{"Head@20: head", "Data@40: A", "Data@60: B", "Foot@80: foot 2"}}));
}

TEST_F(LayoutWalk, FooterAboveEveryDataBandNeverPrints)
{
    dataset("Q1", {"A", "B"});
    printing(MasterFooter, "Foot", 0, 20, "foot");
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"A", "B"}));
}

TEST_F(LayoutWalk, BandsOfOneKindAtTheSameTopPrintInPageOrder)
{
    recordBands();
    band(MasterData, "Second", 100, 20, "1");
    band(MasterData, "Third", 100, 20, "1");
    band(MasterData, "First", 50, 20, "1");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(bandsBegun, QStringList({"First", "Second", "Third"}));
}

TEST_F(LayoutWalk, DataSourceCountPrintsTheBandThatOften)
{
    printing(MasterData, "Data", 40, 20, "line [LINE#]", "3");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"line 1", "line 2", "line 3"}));
}

// Scripts reach the engine band through its band view while the report runs.
class LayoutBandScript : public LayoutTest { };

TEST_F(LayoutBandScript, ShowBandPrintsABandByNameAndEmptyBandsStillFireTheirEvents)
{
    QStringList ended;
    report.OnEndBand = [&ended](TfrBand& b) { ended << QString::number(b.Kind); };
    printing(ReportTitle, "Title", 0, 20, "title")->BeforePrintScript = QStringList{"ShowBand(Extra)"};
    printing(Child, "Extra", 40, 15, "extra");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(positions(), QStringList({"extra@10,20", "title@10,35"}));
    // The page has no column header, column footer or summary: their empty bands pass anyway.
    for (int kind : {ColumnHeader, ColumnFooter, ReportSummary})
        EXPECT_TRUE(ended.contains(QString::number(kind))) << kind;
}

TEST_F(LayoutBandScript, VisibleDataSourceAndChildBandGoToTheEngineBand)
{
    dataset("Q1", {"A", "B", "C"});
    dataset("Q2", {"X", "Y"});
    TfrBandView* title = printing(ReportTitle, "Title", 0, 20, "title");
    title->ChildBand = "KidA";
    title->BeforePrintScript = QStringList{
        "begin Data.DataSource := 'Q2Set'; Title.ChildBand := 'KidB'; Other.Visible := False end"};
    printing(Child, "KidA", 30, 10, "kid a");
    printing(Child, "KidB", 50, 10, "kid b");
    printing(MasterData, "Data", 80, 20, "[Q2.KEY] [Data.Breaked]", "Q1Set")->BeforePrintScript
        = QStringList{"if Q2.KEY = 'Y' then Data.Visible := False"};
    printing(MasterData, "Other", 120, 20, "[Q1.KEY]", "Q1Set");
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(texts(), QStringList({"title", "kid b", "X False"}));
    EXPECT_TRUE(errorBoxes().isEmpty()) << errorBoxes().join('\n').toStdString();
}

class LayoutFieldViews : public LayoutTest { };

// A view whose whole text is one field reference is bound to it: a picture shows the field's
// image, record by record.
TEST_F(LayoutFieldViews, PictureBoundToALargeObjectFieldShowsEachRecordsImage)
{
    QByteArray bmp;
    {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
    }
    dataset("Q1", {{"KEY", DatabaseFieldKind::String}, {"PIC", DatabaseFieldKind::Graphic}},
        {{"A", bmp}, {"B", QVariant()}});
    band(MasterData, "Data", 40, 20, "Q1Set");
    auto picture = std::make_unique<TfrPictureView>();
    picture->Name = "Photo";
    picture->Top = 40;
    picture->Width = 20;
    picture->Height = 20;
    picture->Memo = QStringList{"[Q1.\"PIC\"]"};
    page->Add(std::move(picture));
    ASSERT_TRUE(report.Prepare());
    const QJsonArray objects = PreparedPagesJson::toJson(report.PreparedPages())
                                   .object()
                                   .value("pages")
                                   .toArray()
                                   .at(0)
                                   .toObject()
                                   .value("objects")
                                   .toArray();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects.at(0).toObject().value("pictureBytes").toInt(), bmp.size());
    EXPECT_EQ(objects.at(1).toObject().value("pictureBytes").toInt(), 0);
}

} // namespace
} // namespace vaskel::test
