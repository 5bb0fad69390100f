// Inserting views from the Insert toolbar on look.frf: every kind by a click and by a drag with
// its kind's defaults and a fresh name, the band menu's kinds (a kind the page has once is not
// offered again), bands kept in print order with the bands below moved down, undo, and a new
// template on A4.
#include "designer_Fixture.h"

#include "designer/ViewInsertion.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrSubReportView.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

namespace vaskel::test {
namespace {

using DesignerInsert = DesignerTest;

TEST_F(DesignerInsert, EachKindByClickOrDragWithItsDefaultsAndAFreshName)
{
    struct Case {
        const char* name;
        const char* action;
        QRect drawn; // units; an empty one is a click
        const char* expectedName;
        QRect expectedRect;
        quint8 typeCode;
        quint16 frameTyp;
    };
    const Case cases[] = {
        {"memo by a click takes its kind's size", "insertMemo", QRect(400, 504, 0, 0), "Memo1",
            QRect(400, 504, 100, 19), 0, 0},
        {"a second memo by a drag takes the drawn size", "insertMemo", QRect(400, 560, 200, 40), "Memo2",
            QRect(400, 560, 200, 40), 0, 0},
        {"picture", "insertPicture", QRect(80, 600, 0, 0), "Picture1", QRect(80, 600, 100, 100), 1, 0},
        {"line by a click stands upright", "insertLine", QRect(40, 720, 0, 0), "Line1", QRect(40, 720, 0, 50),
            4, FrameSides::Left},
        {"line dragged across lies along its top", "insertLine", QRect(200, 800, 300, 8), "Line2",
            QRect(200, 800, 300, 0), 4, FrameSides::Top},
        {"sub-report", "insertSubReport", QRect(400, 880, 0, 0), "SubReport1", QRect(400, 880, 200, 60), 3,
            0},
    };
    int undoSteps = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* action = window->findChild<QAction*>(c.action);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(canvas->insertTool(), c.typeCode);
        const QPoint from = canvas->toPixels(QPointF(c.drawn.topLeft())).toPoint();
        const QPoint to = canvas->toPixels(QPointF(c.drawn.bottomRight())).toPoint();
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
        ++undoSteps;
        EXPECT_EQ(canvas->insertTool(), -1) << "the tool is put away after one view";
        EXPECT_FALSE(action->isChecked());
        ASSERT_EQ(selectedNames(), QStringList{c.expectedName});
        TfrView* v = view(c.expectedName);
        EXPECT_EQ(v->TypeCode, c.typeCode);
        EXPECT_EQ(v->FrameTyp, c.frameTyp);
        EXPECT_EQ(rectOf(c.expectedName), c.expectedRect);
        // Everything else is what a new view of the kind has.
        auto fresh = ViewFactory::CreateBuiltIn(c.typeCode);
        EXPECT_EQ(v->Flags, fresh->Flags);
        EXPECT_EQ(v->FillColor, fresh->FillColor);
        EXPECT_EQ(v->FormatCode, fresh->FormatCode);
    }
    EXPECT_EQ(static_cast<TfrPictureView*>(view("Picture1"))->Flags, 5);
    // The sub-report prints a new page of its own, shown as a new tab.
    const int pagesBefore = 1;
    ASSERT_EQ(doc().holder().Pages.Count(), pagesBefore + 1);
    EXPECT_EQ(static_cast<TfrSubReportView*>(view("SubReport1"))->PageIndex, pagesBefore);
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("pages"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), pagesBefore + 1);
    EXPECT_TRUE(window->isWindowModified());
    for (int i = 0; i < undoSteps; ++i)
        doc().undoStack().undo();
    EXPECT_TRUE(doc().undoStack().isClean());
    EXPECT_EQ(doc().holder().Pages.Count(), pagesBefore);
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs->count(), pagesBefore);
    doc().undoStack().redo();
    EXPECT_EQ(doc().holder().Pages.Count(), pagesBefore) << "the memo came back, not the page";
    doc().undoStack().undo();
    for (const char* name : {"Memo1", "Line1", "SubReport1"})
        EXPECT_TRUE(std::none_of(page()->ObjectList.begin(), page()->ObjectList.end(),
            [name](const auto& v) { return v->Name == QLatin1String(name); }));
}

TEST_F(DesignerInsert, BandMenuOffersOncePerPageKindsOnlyWhileThePageLacksThem)
{
    auto names = [this] {
        window->bandMenu()->aboutToShow();
        QStringList out;
        for (QAction* a : window->bandMenu()->actions())
            out << a->text();
        return out;
    };
    // look.frf has a title and a page footer, no page header and no summary.
    QStringList offered = names();
    EXPECT_FALSE(offered.contains("Report title"));
    EXPECT_FALSE(offered.contains("Page footer"));
    EXPECT_FALSE(offered.contains("None"));
    EXPECT_TRUE(offered.contains("Page header"));
    EXPECT_TRUE(offered.contains("Report summary"));
    EXPECT_TRUE(offered.contains("Master data")) << "data bands may be there many times";
    EXPECT_EQ(offered.size(), 22 - 2);

    // A page header chosen from the menu and clicked low on the page goes right under the title,
    // where it prints; every band below moves down by its height with its views.
    const QRect dataBefore = rectOf("PurchaseData"), fieldBefore = rectOf("PurchaseField1");
    const QRect footerBefore = rectOf("PageFooter1");
    const QList<QAction*> actions = window->bandMenu()->actions();
    const auto it
        = std::find_if(actions.begin(), actions.end(), [](QAction* a) { return a->text() == "Page header"; });
    ASSERT_NE(it, actions.end());
    (*it)->trigger();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->toPixels(QPointF(300, 900)).toPoint());
    TfrView* header = view("Band1");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->FrameTyp, PageHeader);
    EXPECT_EQ(header->Top, 132) << "right under the report title (10 + 122)";
    EXPECT_EQ(header->Left, 0);
    EXPECT_EQ(header->Width, canvas->paperUnits().width());
    EXPECT_EQ(header->Flags, 48);
    EXPECT_EQ(rectOf("PurchaseData"), dataBefore.translated(0, 40 - 14)) << "146 was free up to 172";
    EXPECT_EQ(rectOf("PurchaseField1"), fieldBefore.translated(0, 26));
    EXPECT_EQ(rectOf("PageFooter1"), footerBefore) << "the footer is far enough below";
    EXPECT_FALSE(names().contains("Page header"));

    // One undo takes the band away and puts the others back.
    doc().undoStack().undo();
    EXPECT_EQ(rectOf("PurchaseData"), dataBefore);
    EXPECT_TRUE(names().contains("Page header"));
    // Asking the inserting code for a kind the page has refuses it.
    EXPECT_EQ(
        ViewInsertion::insertView(doc(), page(), ViewInsertion::Kind::Band, QRect(), ReportTitle), nullptr);
}

TEST_F(DesignerInsert, LayoutRulesOnRequestAndTheNotesOfBandStrips)
{
    // Strips name what the band does not show by itself.
    EXPECT_EQ(PageCanvas::bandNote(*view("PurchaseData")), "frDBDataSet1");
    EXPECT_EQ(PageCanvas::bandNote(*view("PurchaseHeader")), "");
    TfrView* group = ViewInsertion::insertView(
        doc(), page(), ViewInsertion::Kind::Band, QRect(0, 420, 0, 0), GroupHeader);
    // Of the two data sections, the one above the click takes it: right over the sales data.
    EXPECT_EQ(group->Top, 328);
    EXPECT_EQ(rectOf("SalesData").top(), 338 + 30);
    EXPECT_EQ(rectOf("PageFooter1").top(), 1000);
    EXPECT_EQ(PageCanvas::bandNote(*group), "no condition");
    group->FormatText = "ADOQuery2.\"LJ_DATE\"";
    static_cast<TfrBandView*>(group)->Columns = 3;
    EXPECT_EQ(PageCanvas::bandNote(*group), "ADOQuery2.\"LJ_DATE\" · 3 columns");
    doc().undoStack().undo();

    // A band's height follows its lowest view on request: the purchase header (146, 50 high)
    // holds views down to 174 + 22.
    view("PurchaseHeader")->Height = 55;
    EXPECT_TRUE(ViewInsertion::fitBandHeights(doc(), views({"PurchaseHeader", "Company"})));
    EXPECT_EQ(view("PurchaseHeader")->Height, 196 - 146);
    EXPECT_FALSE(ViewInsertion::fitBandHeights(doc(), views({"PurchaseHeader"}))) << "nothing left to change";
    doc().undoStack().undo();
    EXPECT_EQ(view("PurchaseHeader")->Height, 55);
    view("PurchaseHeader")->Height = 50;

    // Strips stacked in print order: the page footer, stored last and far down, comes right after
    // the sales footer, and every strip takes its views along.
    const QRect pageNo = rectOf("PageNo"), footer = rectOf("PageFooter1"), sales = rectOf("SalesFooter");
    EXPECT_TRUE(ViewInsertion::arrangeBands(doc(), page()));
    std::vector<int> tops;
    for (TfrView* b : ViewInsertion::bandsInPrintOrder(*page()))
        tops.push_back(b->Top);
    EXPECT_TRUE(std::is_sorted(tops.begin(), tops.end()));
    const int footerTop = rectOf("SalesFooter").top() + sales.height() + ViewInsertion::kArrangeGap;
    EXPECT_EQ(rectOf("PageFooter1").top(), footerTop);
    EXPECT_EQ(rectOf("PageNo"), pageNo.translated(0, footerTop - footer.top()));
    EXPECT_FALSE(ViewInsertion::arrangeBands(doc(), page())) << "arranged already";
    doc().undoStack().undo();
    EXPECT_EQ(rectOf("PageFooter1"), footer);
    EXPECT_EQ(rectOf("PageNo"), pageNo);
}

TEST_F(DesignerInsert, EscapePutsTheToolAwayAndANewTemplateIsAnEmptyA4Page)
{
    window->findChild<QAction*>("insertMemo")->trigger();
    QTest::keyClick(canvas, Qt::Key_Escape);
    EXPECT_EQ(canvas->insertTool(), -1);
    EXPECT_FALSE(window->findChild<QAction*>("insertMemo")->isChecked());

    // A printer model set to another paper does not decide a new report's paper.
    DesignDocument fresh;
    ASSERT_EQ(fresh.holder().Pages.Count(), 1);
    const TfrPage* p = fresh.holder().Pages.Page(0);
    EXPECT_EQ(p->PaperCode, 9);
    EXPECT_EQ(p->PaperSizeX, 2100);
    EXPECT_EQ(p->PaperSizeY, 2970);
    EXPECT_EQ(p->PaperOrientation, 0);
    EXPECT_TRUE(p->ObjectList.empty());
    EXPECT_TRUE(fresh.fileName().isEmpty());
}

} // namespace
} // namespace vaskel::test
