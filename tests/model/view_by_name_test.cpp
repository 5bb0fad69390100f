// By-name access to views and pages, the view factory, generated names and the zoom geometry.
#include "BitmapBytes.h"
#include "support/TestGlobals.h"

#include "platform/PlatformError.h"

#include "report/model/EClassNotFound.h"
#include "report/model/EListIndexError.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/ViewFactory.h"
#include "report/model/ViewLookup.h"

#include <cstring>

namespace vaskel {
namespace {

class ViewByNameTest : public test::GlobalsTest {
protected:
    ViewByNameTest()
    {
        for (int i = 0; i < 2; ++i)
            pages.Add();
        pages.Page(1)->PaperOrientation = 1;
    }

    TfrMemoView* addMemo(int page, const QString& name)
    {
        auto memo = std::make_unique<TfrMemoView>();
        memo->Name = name;
        return static_cast<TfrMemoView*>(pages.Page(page)->Add(std::move(memo)));
    }

    TfrPages pages;
};

TEST_F(ViewByNameTest, FactoryCreatesBuiltInClassesWithTheirDefaults)
{
    ViewFactory factory;
    RunState& run = frRun();
    EXPECT_EQ(factory.CreateView(7, {}, run), nullptr) << "codes 5 to 9 create nothing";
    EXPECT_FALSE(run.ErrorPending);

    auto memo = factory.CreateView(0, {}, run);
    EXPECT_EQ(memo->NamePrefix, QStringLiteral("Memo"));
    EXPECT_EQ(memo->Flags, 3);
    auto picture = factory.CreateView(1, {}, run);
    EXPECT_EQ(picture->Flags, 5);
    auto band = factory.CreateView(2, {}, run);
    EXPECT_EQ(band->Flags, 48);
    EXPECT_EQ(band->FormatCode, 0);
    auto line = factory.CreateView(4, {}, run);
    EXPECT_EQ(line->FrameTyp, 4);
    EXPECT_EQ(line->FillColor, 0x00FFFFFFu);
    EXPECT_EQ(memo->FormatCode, 0x200 + '.') << "text format with the locale's decimal separator";
    EXPECT_LT(memo->SerialId, line->SerialId);

    EXPECT_THROW(factory.CreateView(10, QStringLiteral("TfrChartView"), run), EClassNotFound);
    try {
        factory.CreateView(10, QStringLiteral("TfrGaugeView"), run);
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TfrChartView\rTfrGaugeView\r"));
    }
    EXPECT_TRUE(run.ErrorPending);

    struct TfrArrowView : TfrLineView {
        QString ClassName() const override { return QStringLiteral("TfrArrowView"); }
    };
    auto arrow = [] { return std::make_unique<TfrArrowView>(); };
    EXPECT_FALSE(factory.RegisterAddIn(QStringLiteral("TfrOtherName"), arrow)) << "not the class's own name";
    ASSERT_TRUE(factory.RegisterAddIn(QStringLiteral("TfrArrowView"), arrow));
    EXPECT_EQ(factory.CreateView(10, QStringLiteral("TfrArrowView"), run)->TypeCode, 10);
}

TEST_F(ViewByNameTest, ViewPropertiesByNameIgnoreCase)
{
    TfrMemoView* memo = addMemo(0, QStringLiteral("Memo1"));
    memo->FrameWidth = 1.5f;
    EXPECT_DOUBLE_EQ(memo->ReadProp(QStringLiteral("framewidth")).toNumber(), 1.5);
    memo->WriteProp(QStringLiteral("Memo"), Value(QStringLiteral("a\r\nb\nc")));
    EXPECT_EQ(memo->Memo, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(memo->ReadProp(QStringLiteral("MEMO")).toText(), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(memo->ReadProp(QStringLiteral("DataField")).toText(), QStringLiteral("a"));
    EXPECT_EQ(memo->ReadProp(QStringLiteral("Lines.Count")).toInt(), 3);
    memo->WriteProp(QStringLiteral("stretched"), Value(false));
    EXPECT_EQ(memo->Flags & 1, 0);
    memo->WriteProp(QStringLiteral("WordBreak"), Value(true));
    EXPECT_TRUE(memo->ReadProp(QStringLiteral("wordbreak")).toBool());
    EXPECT_TRUE(memo->ReadProp(QStringLiteral("NoSuchProperty")).isNull());
    memo->WriteProp(QStringLiteral("NoSuchProperty"), Value(1)); // ignored

    memo->CallMethod(QStringLiteral("hide"), {}, {}, {});
    EXPECT_FALSE(memo->Visible);
    memo->CallMethod(QStringLiteral("LINES.ADD"), Value(QStringLiteral("'d' + 'e'")), {}, {});
    EXPECT_EQ(memo->Memo.last(), QStringLiteral("de"));
    EXPECT_EQ(
        memo->CallMethod(QStringLiteral("MEMO.INDEXOF"), Value(QStringLiteral("'B'")), {}, {}).toInt(), 1);
    memo->CallMethod(QStringLiteral("Memo.Delete"), Value(QStringLiteral("0")), {}, {});
    EXPECT_EQ(memo->Memo.first(), QStringLiteral("b"));
    memo->CallMethod(QStringLiteral("SETINDEXPROPERTY"), Value(QStringLiteral("Memo")), Value(0),
        Value(QStringLiteral("z")));
    EXPECT_EQ(
        memo->CallMethod(QStringLiteral("GETINDEXPROPERTY"), Value(QStringLiteral("MEMO")), Value(0), {})
            .toText(),
        QStringLiteral("z"));
    EXPECT_THROW(
        memo->CallMethod(QStringLiteral("MEMO.DELETE"), Value(QStringLiteral("9")), {}, {}), EListIndexError);
}

TEST_F(ViewByNameTest, FindObjectPropertyEdgeCases)
{
    TfrMemoView* memo1 = addMemo(0, QStringLiteral("Memo1"));
    TfrMemoView* memo2 = addMemo(1, QStringLiteral("Memo2"));
    memo2->Left = 42;

    ObjectProperty p = FindObjectProperty(QStringLiteral("memo2.Left"), pages, memo1);
    EXPECT_EQ(p.object, memo2);
    EXPECT_EQ(p.property, QStringLiteral("Left"));
    EXPECT_EQ(p.object->ReadProp(p.property).toInt(), 42);
    EXPECT_FALSE(p.object->PropertyTable().empty()) << "built on first by-name access";

    p = FindObjectProperty(QStringLiteral("Font.Name"), pages, memo1);
    EXPECT_EQ(p.object, memo1) << "no view named Font: a property of the current view";
    EXPECT_EQ(p.property, QStringLiteral("Font.Name"));
    p.object->WriteProp(p.property, Value(QStringLiteral("SimSun")));
    EXPECT_EQ(memo1->Font.Name, QStringLiteral("SimSun"));

    p = FindObjectProperty(QStringLiteral("Page2.Orientation"), pages, memo1);
    EXPECT_EQ(p.object, pages.Page(1));
    EXPECT_EQ(p.object->ReadProp(p.property).toInt(), 1);
    EXPECT_TRUE(p.object->LookupProperty(QStringLiteral("orientation")));

    EXPECT_EQ(FindObjectProperty(QStringLiteral("Page9.Orientation"), pages, memo1).object, nullptr);
    EXPECT_EQ(FindObjectProperty(QStringLiteral("Nothing.Left"), pages, memo1).object, nullptr);
    p = FindObjectProperty(QStringLiteral("Left"), pages, memo1);
    EXPECT_EQ(p.object, memo1);
    EXPECT_EQ(FindObjectProperty(QStringLiteral("Left"), pages, nullptr).object, nullptr);
}

TEST_F(ViewByNameTest, PicturesPassBetweenViewsByReference)
{
    auto addPicture = [this](const QString& name) {
        auto view = std::make_unique<TfrPictureView>();
        view->Name = name;
        return static_cast<TfrPictureView*>(pages.Page(0)->Add(std::move(view)));
    };
    TfrPictureView* source = addPicture(QStringLiteral("Picture1"));
    TfrPictureView* target = addPicture(QStringLiteral("Picture2"));
    const QByteArray red = test::bmpBytes(4, 3, Qt::red);
    source->Picture.setData(StoredPicture::Bitmap, red);

    // Picture2.Picture := Picture1.Picture
    const Value ref = FindObjectProperty(QStringLiteral("Picture1.Picture"), pages, target)
                          .object->ReadProp(QStringLiteral("PICTURE"));
    target->WriteProp(QStringLiteral("picture"), ref);
    EXPECT_EQ(target->Picture.kind(), StoredPicture::Bitmap);
    EXPECT_EQ(target->Picture.bytes(), red);
    EXPECT_EQ(target->Picture.size(), QSize(4, 3));
    source->Picture.clear();
    EXPECT_EQ(target->Picture.bytes(), red) << "a copy, not the source's picture itself";
    EXPECT_EQ(source->ReadProp(QStringLiteral("Picture")), ref) << "one reference per view";

    for (const Value& bad : {Value(qint32(3)), Value(QStringLiteral("logo.bmp")), Value(1e12)}) {
        try {
            target->WriteProp(QStringLiteral("Picture"), bad);
            ADD_FAILURE() << bad.toText().toStdString() << " taken as a picture";
        } catch (const VaskelError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Property Picture of Picture2 cannot be set")))
                << e.message().toStdString();
        }
        EXPECT_EQ(target->Picture.bytes(), red) << "a refused write leaves the picture";
    }
    target->WriteProp(QStringLiteral("Picture"), Value::null());
    EXPECT_TRUE(target->Picture.isEmpty());
}

TEST_F(ViewByNameTest, GeneratedNamesTakeTheSmallestFreeNumber)
{
    addMemo(0, QStringLiteral("Memo1"));
    addMemo(1, QStringLiteral("MEMO2"));
    TfrMemoView fresh;
    EXPECT_EQ(GenerateViewName(pages, fresh), QStringLiteral("Memo3"));
    pages.Page(0)->ObjectList.clear();
    EXPECT_EQ(GenerateViewName(pages, fresh), QStringLiteral("Memo1"));
    pages.Page(0)->Name = QStringLiteral("Page1");
    EXPECT_EQ(GeneratePageName(pages), QStringLiteral("Page2"));
}

TEST_F(ViewByNameTest, PagePropertiesByName)
{
    TfrPage* page = pages.Page(0);
    page->WriteProp(QStringLiteral("Width"), Value(756)); // report units
    EXPECT_EQ(page->PaperSizeX, 2100);
    EXPECT_EQ(page->ReadProp(QStringLiteral("WIDTH")).toInt(), 756);
    page->WriteProp(QStringLiteral("StretchToPrintable"), Value(true));
    EXPECT_FALSE(page->MarginsFlag);
    page->Margins[0] = 25;
    EXPECT_EQ(page->ReadProp(QStringLiteral("LeftMargin")).toInt(), 25);
    frRun().PrintMode = true;
    EXPECT_EQ(page->ReadProp(QStringLiteral("LeftMargin")).toInt(), 0) << "the layout limit while printing";
    frRun().PrintMode = false;
    page->BuildPropertyTable();
    EXPECT_EQ(page->PropertyTable().at(2).name, QStringLiteral("Size"));
}

TEST_F(ViewByNameTest, BandPropertyTableDependsOnTheBandKind)
{
    TfrBandView footer;
    footer.FrameTyp = PageFooter;
    footer.BuildPropertyTable();
    EXPECT_FALSE(footer.LookupProperty(QStringLiteral("ChildBand")));
    EXPECT_FALSE(footer.LookupProperty(QStringLiteral("Stretched")));
    EXPECT_TRUE(footer.LookupProperty(QStringLiteral("OnLastPage")));
    EXPECT_FALSE(footer.LookupProperty(QStringLiteral("FrameWidth")));
    TfrBandView group;
    group.FrameTyp = GroupHeader;
    group.BuildPropertyTable();
    EXPECT_TRUE(group.LookupProperty(QStringLiteral("Condition")));
    EXPECT_TRUE(group.LookupProperty(QStringLiteral("master")));
    group.WriteProp(QStringLiteral("Condition"), Value(QStringLiteral("[NO]")));
    EXPECT_EQ(group.FormatText, QStringLiteral("[NO]"));
    group.WriteProp(QStringLiteral("RepeatHeader"), Value(true));
    EXPECT_EQ(group.Flags & BandFlags::RepeatHeader, BandFlags::RepeatHeader);
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(ViewByNameTest, ApplyZoomThenRestoreGeometryIsExact)
{
    TfrMemoView v;
    v.Left = 13, v.Top = 27, v.Width = 101, v.Height = 33, v.GapX = 3, v.GapY = 2;
    v.FrameWidth = 0.7f;
    v.FrameTyp = 15;
    PrintContext printing;
    printing.PrintMode = true;
    v.ZoomX = 1.37;
    v.ZoomY = 0.61;
    v.ShiftX = 5;
    v.ShiftY = -4;
    v.ApplyZoom(printing);
    EXPECT_EQ(v.Left, 23);
    EXPECT_NE(v.Width, 101);
    v.RestoreGeometry();
    EXPECT_EQ(v.Left, 13);
    EXPECT_EQ(v.Top, 27);
    EXPECT_EQ(v.Width, 101);
    EXPECT_EQ(v.Height, 33);
    EXPECT_EQ(v.GapX, 3);
    EXPECT_EQ(v.GapY, 2);
    EXPECT_TRUE(sameBits(v.FrameWidth, 0.7f));
}

TEST_F(ViewByNameTest, FrameWidthInsetsTheDrawingRectangle)
{
    TfrMemoView v;
    v.Left = 10, v.Top = 20, v.Width = 100, v.Height = 50, v.GapX = 2, v.GapY = 1;
    v.FrameWidth = 2.5f;
    v.FrameTyp = 15;
    v.ApplyZoom(PrintContext{});
    EXPECT_EQ(v.GapX, 3);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_EQ(v.DrawRect, (ReportRect{11, 21, 110, 70}));
    v.RestoreGeometry();

    v.FrameTyp = 0;
    v.ApplyZoom(PrintContext{});
    EXPECT_EQ(v.DrawRect, (ReportRect{10, 20, 111, 71}));
    v.RestoreGeometry();
}

TEST_F(ViewByNameTest, HitRegions)
{
    TfrMemoView memo;
    memo.Left = 10, memo.Top = 10, memo.Width = 20, memo.Height = 10;
    memo.FrameTyp = 15;
    memo.FrameWidth = 3;
    EXPECT_EQ(memo.MakeHitRegion(false).boundingRect(), QRect(QPoint(8, 8), QPoint(31, 21)));
    EXPECT_EQ(memo.MakeHitRegion(true).boundingRect(), QRect(QPoint(-2, -2), QPoint(41, 31)));
    TfrLineView line;
    line.Left = 10, line.Top = 10, line.Width = 0, line.Height = 50;
    line.FrameWidth = 3;
    line.FrameStyle = psDouble;
    // Vertical line: widened across only, by trunc(4.5) before and trunc(1 + 3) after.
    EXPECT_EQ(line.MakeHitRegion(false).boundingRect(), QRect(QPoint(6, 10), QPoint(14, 60)));
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class PlaceLayoutTest : public test::GlobalsTest { };

TEST_F(PlaceLayoutTest, BandAlignPlacesAgainstPageLimitsAndNeighbours)
{
    TfrPages pages;
    TfrPage* page = pages.Add();
    page->MarginsFlag = false;
    page->Metrics.UnitPaperWidth = 700; // limits: left 0, right 700
    auto add = [page](qint32 left, qint32 width, quint8 align) {
        auto v = std::make_unique<TfrMemoView>();
        v->Left = left, v->Top = 40, v->Width = width, v->Height = 10;
        v->BandAlign = align;
        return page->Add(std::move(v));
    };
    TfrView* leftNeighbour = add(0, 100, baLeft);
    TfrView* rightNeighbour = add(600, 50, baRight);
    struct Case {
        const char* name;
        quint8 align;
        qint32 left, width;
    } cases[] = {
        {"centre", baCenter, 300, 100},
        {"left: after the left neighbour", baLeft, 100, 100},
        {"right: before the right neighbour", baRight, 499, 100},
        {"width: the whole line", baWidth, 0, 700},
        {"rest: between the neighbours", baRest, 100, 500},
    };
    PrintContext context;
    context.Page = page;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrView* v = add(200, 100, c.align);
        v->PlaceLayout(nullptr, context);
        EXPECT_EQ(v->Left, c.left);
        EXPECT_EQ(v->Width, c.width);
        EXPECT_EQ(frRun().CurrentView, nullptr) << "placing a view leaves the run state alone";
        page->ObjectList.pop_back();
    }
    rightNeighbour->PlaceLayout(nullptr, context);
    EXPECT_EQ(rightNeighbour->Left, 650) << "no right neighbour: against the right limit";
    leftNeighbour->PlaceLayout(nullptr, context);
    EXPECT_EQ(leftNeighbour->Left, 0);
}

} // namespace
} // namespace vaskel
