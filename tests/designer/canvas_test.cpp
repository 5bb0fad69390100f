// The designer's page canvas on look.frf: what it shows, selecting with the mouse and the
// keyboard, moving and resizing by keyboard and by drag with snapping, staying on the paper, the
// restrictions a view carries, align and same size, and undo and redo of all of it.
#include "designer_Fixture.h"

#include "report/model/TfrPrinter.h"

#include <QImage>

namespace vaskel::test {
namespace {

using DesignerCanvas = DesignerTest;

TEST_F(DesignerCanvas, ShowsTheTemplateTitledByItsFileWithItsPaperAndViews)
{
    EXPECT_EQ(window->windowTitle().remove("[*]"), "Designer - look.frf");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->pageTabs()->count(), 1);
    // A4 in report units: 210 mm across.
    EXPECT_NEAR(canvas->paperUnits().width(), 210 / 25.4 * TfrPrinter::kUnitsPerInch, 2);

    const QImage shot = canvas->grab().toImage();
    // Pixels that are not the paper's white, within an area given in report units.
    auto inked = [&](const QRect& units) {
        int n = 0;
        const QRect px = canvas->toPixels(units) & shot.rect();
        for (int y = px.top(); y <= px.bottom(); ++y)
            for (int x = px.left(); x <= px.right(); ++x)
                n += (shot.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        return n;
    };
    EXPECT_GT(inked(rectOf("Company")), 50) << "the company name";
    EXPECT_GT(inked(QRect(724, 20, 30, 100)), 50) << "the band's hatch beside its memos";
    EXPECT_EQ(inked(QRect(300, 600, 100, 100)), 0) << "empty paper between the bands";

    window->setZoomPercent(200);
    EXPECT_DOUBLE_EQ(canvas->zoom(), 2.0);
    EXPECT_EQ(canvas->toPixels(rectOf("Company")).width(), 1400);
}

TEST_F(DesignerCanvas, AFileTheReaderRefusesOpensNothing)
{
    const QString bad = dir.filePath("bad.frf");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x19garbage that is no template", 28));
    f.close();
    scriptedUi->clear();
    QString error;
    EXPECT_FALSE(doc().open(bad, &error));
    EXPECT_TRUE(error.contains("Unsupported FRF format")) << error.toStdString();
    // The reader's own message box was shown, and the window still holds look.frf.
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size(), 1);
    EXPECT_EQ(doc().fileName(), look);
    EXPECT_NE(window->currentCanvas()->page(), nullptr);
}

TEST_F(DesignerCanvas, ClickShiftClickTabAndEscapeSelect)
{
    QTest::mouseClick(canvas, Qt::LeftButton, {}, centreOf("BillNo"));
    EXPECT_EQ(selectedNames(), QStringList{"BillNo"});
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, centreOf("BillDate"));
    EXPECT_EQ(selectedNames(), (QStringList{"BillNo", "BillDate"}));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, centreOf("BillNo"));
    EXPECT_EQ(selectedNames(), QStringList{"BillDate"});
    // A click on a band outside its views selects the band.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->toPixels(QRect(730, 150, 10, 10)).center());
    EXPECT_EQ(selectedNames(), QStringList{"PurchaseHeader"});

    // Tab walks the views in their stored order, Shift+Tab back, around the ends.
    canvas->setSelection({});
    QTest::keyClick(canvas, Qt::Key_Tab);
    EXPECT_EQ(selectedNames(), QStringList{"ReportTitle1"});
    QTest::keyClick(canvas, Qt::Key_Tab);
    EXPECT_EQ(selectedNames(), QStringList{"Company"});
    QTest::keyClick(canvas, Qt::Key_Backtab);
    QTest::keyClick(canvas, Qt::Key_Backtab);
    EXPECT_EQ(selectedNames(), QStringList{"PageNo"});
    QTest::keyClick(canvas, Qt::Key_Escape);
    EXPECT_TRUE(selectedNames().isEmpty());
}

TEST_F(DesignerCanvas, RubberBandSelectsEveryViewItTouches)
{
    // From the empty paper right of the memos down across the bill number line.
    const QPoint from = canvas->toPixels(QPointF(740, 70)).toPoint();
    const QPoint to = canvas->toPixels(QPointF(300, 90)).toPoint();
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    QStringList names = selectedNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"BillDate", "BillNo", "ReportTitle1"}));
}

TEST_F(DesignerCanvas, KeyboardMovesAndResizesAndUndoRestores)
{
    canvas->setSelection(views({"BillNo", "BillDate"}));
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        QRect billNo; // after the key
    };
    const Case cases[] = {
        {"Right moves one unit", Qt::Key_Right, {}, QRect(21, 76, 340, 20)},
        {"Shift+Down moves a grid step", Qt::Key_Down, Qt::ShiftModifier, QRect(21, 84, 340, 20)},
        {"Ctrl+Right widens by one unit", Qt::Key_Right, Qt::ControlModifier, QRect(21, 84, 341, 20)},
        {"Ctrl+Up makes it one unit lower", Qt::Key_Up, Qt::ControlModifier, QRect(21, 84, 341, 19)},
        {"Left moves back", Qt::Key_Left, {}, QRect(20, 84, 341, 19)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTest::keyClick(canvas, Qt::Key(c.key), c.mods);
        EXPECT_EQ(rectOf("BillNo"), c.billNo);
    }
    // Both selected views went along.
    EXPECT_EQ(rectOf("BillDate"), QRect(380, 84, 341, 19));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(doc().undoStack().count(), 5);

    while (doc().undoStack().canUndo())
        doc().undoStack().undo();
    EXPECT_EQ(rectOf("BillNo"), QRect(20, 76, 340, 20));
    EXPECT_EQ(rectOf("BillDate"), QRect(380, 76, 340, 20));
    EXPECT_FALSE(window->isWindowModified());
    doc().undoStack().redo();
    EXPECT_EQ(rectOf("BillNo"), QRect(21, 76, 340, 20));
}

TEST_F(DesignerCanvas, ViewsStayOnThePaper)
{
    canvas->setSelection(views({"Company"}));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(canvas, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(rectOf("Company").top(), 0);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(canvas, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(rectOf("Company").right() + 1, canvas->paperUnits().width());
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(canvas, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(rectOf("Company").right() + 1, canvas->paperUnits().width())
        << "no wider than the paper allows";
}

TEST_F(DesignerCanvas, DragMovesSnapsToEdgesAndTheGridAndIsOneUndoStep)
{
    // BillNo dragged 357 units right and 1 down: its left edge lands 3 units before BillDate's
    // (and its right edge 3 before BillDate's right), its top 1 below the line's top.
    QTest::mousePress(canvas, Qt::LeftButton, {}, centreOf("BillNo"));
    QTest::mouseMove(canvas, centreOf("BillNo") + QPoint(357, 1));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, centreOf("BillNo") + QPoint(357, 1));
    EXPECT_EQ(rectOf("BillNo").left(), 380) << "snapped to BillDate's left edge";
    EXPECT_EQ(rectOf("BillNo").top(), 76) << "snapped back to the line's top edge";
    EXPECT_EQ(doc().undoStack().count(), 1);

    // Far from any edge the left and top go to the grid (8 units).
    canvas->setSnapping(true);
    const QPoint start = centreOf("PageNo");
    QTest::mousePress(canvas, Qt::LeftButton, {}, start);
    QTest::mouseMove(canvas, start + QPoint(-11, -203));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, start + QPoint(-11, -203));
    EXPECT_EQ(rectOf("PageNo").left() % 8, 0);
    EXPECT_EQ(rectOf("PageNo").top() % 8, 0);

    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_EQ(rectOf("BillNo"), QRect(20, 76, 340, 20));
    EXPECT_EQ(rectOf("PageNo"), QRect(20, 1004, 700, 20));
}

TEST_F(DesignerCanvas, DraggingTheBottomRightHandleResizes)
{
    canvas->setSnapping(false);
    canvas->setSelection(views({"Heading"}));
    const QRect px = canvas->toPixels(rectOf("Heading"));
    const QPoint handle = px.bottomRight() + QPoint(1, 1);
    QTest::mousePress(canvas, Qt::LeftButton, {}, handle);
    QTest::mouseMove(canvas, handle + QPoint(-100, 10));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, handle + QPoint(-100, 10));
    EXPECT_EQ(rectOf("Heading"), QRect(20, 46, 600, 32));
}

TEST_F(DesignerCanvas, RestrictionsHoldViewsInPlace)
{
    view("BillNo")->Restrictions = DesignRestrictions::NoMove;
    view("BillDate")->Restrictions = DesignRestrictions::NoResize;
    view("Heading")->Restrictions = DesignRestrictions::NoDelete;
    canvas->setSelection(views({"BillNo", "BillDate", "Heading"}));
    QTest::keyClick(canvas, Qt::Key_Down);
    QTest::keyClick(canvas, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(rectOf("BillNo"), QRect(20, 76, 341, 20)) << "resized, not moved";
    EXPECT_EQ(rectOf("BillDate"), QRect(380, 77, 340, 20)) << "moved, not resized";
    EXPECT_EQ(rectOf("Heading"), QRect(20, 47, 701, 22));

    // Dragging a view that may not move moves nothing; its handles do not resize it either.
    canvas->setSelection(views({"BillNo"}));
    QTest::mousePress(canvas, Qt::LeftButton, {}, centreOf("BillNo"));
    QTest::mouseMove(canvas, centreOf("BillNo") + QPoint(40, 40));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, centreOf("BillNo") + QPoint(40, 40));
    EXPECT_EQ(rectOf("BillNo"), QRect(20, 76, 341, 20));

    // Nor does the inspector move it.
    EXPECT_FALSE(window->inspector()->setText("Left", "30"));
    EXPECT_TRUE(window->inspector()->message().contains("restrictions"))
        << window->inspector()->message().toStdString();
    EXPECT_EQ(rectOf("BillNo").left(), 20);

    const size_t before = page()->ObjectList.size();
    canvas->setSelection(views({"Heading", "BillNo"}));
    window->deleteSelection();
    EXPECT_EQ(page()->ObjectList.size(), before - 1);
    EXPECT_NE(view("Heading"), nullptr);
}

TEST_F(DesignerCanvas, AlignAndSameSizeFollowTheFirstSelectedView)
{
    canvas->setSelection(views({"PurchaseCol2", "PurchaseCol3", "PurchaseField1"}));
    canvas->alignSelection(PageCanvas::Align::Tops);
    EXPECT_EQ(rectOf("PurchaseField1").top(), 174);
    canvas->alignSelection(PageCanvas::Align::Lefts);
    EXPECT_EQ(rectOf("PurchaseCol3").left(), 280);
    canvas->sameSizeSelection(PageCanvas::SameSize::Width);
    EXPECT_EQ(rectOf("PurchaseField1").width(), 80);
    EXPECT_EQ(rectOf("PurchaseField1").height(), 22);
    EXPECT_EQ(doc().undoStack().count(), 3);
    doc().undoStack().undo();
    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_EQ(rectOf("PurchaseField1"), QRect(20, 206, 260, 22));
    EXPECT_EQ(rectOf("PurchaseCol3"), QRect(360, 174, 160, 22));
}

} // namespace
} // namespace vaskel::test
