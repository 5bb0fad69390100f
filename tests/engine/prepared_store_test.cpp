// The prepared pages store: pages from template pages, live views decoded only while needed,
// drawing at any zoom, the screen's clip skipping, and hit-testing with the hyperlink rules.
#include "prepared_PagesFixture.h"

#include "platform/RecordingDevice.h"
#include "report/engine/TfrReport.h"
#include "report/model/EStreamError.h"

#include <QPainter>

#include <functional>
#include <limits>

namespace vaskel::test {
namespace {

using Kind = RecordedOperation::Kind;

class PreparedStoreTest : public PreparedPagesTest {
protected:
    // The target rectangle for page `index` at `zoom` (96 pixels per inch at zoom 1).
    QRect target(const TfrEMFPages& store, int index, double zoom, QPoint origin = {}) const
    {
        const TfrPageMetrics& m = store.PageAt(index).Metrics;
        const double pixelsPerUnit = 96.0 / TfrPrinter::kUnitsPerInch * zoom;
        return QRect(origin,
            QSize(qRound(m.UnitPaperWidth * pixelsPerUnit), qRound(m.UnitPaperHeight * pixelsPerUnit)));
    }

    std::vector<RecordedOperation> record(TfrEMFPages& store, int index, double zoom)
    {
        const QRect t = target(store, index, zoom, QPoint(20, 30));
        RecordingDevice device(t.size() + QSize(40, 60));
        QPainter painter(&device);
        store.PageAt(index).InUse = true;
        store.DrawPage(index, painter, t);
        painter.end();
        return device.operations();
    }

    TfrReport report;
};

TEST_F(PreparedStoreTest, InsertPageCopiesThePaperAndAppendsPastTheEnd)
{
    TfrPage& page = a4();
    page.Margins[0] = 40;
    page.Margins[3] = 50;
    page.MarginsFlag = false;
    page.PaperSource = 7;
    TfrEMFPages store(nullptr);
    store.InsertPage(5, page); // past Count: appended
    page.PaperSource = 8;
    store.InsertPage(1, page); // equal to Count: appended
    page.PaperSource = 9;
    store.InsertPage(0, page);
    ASSERT_EQ(store.Count(), 3);
    EXPECT_EQ(store.PageAt(0).PaperSource, 9);
    EXPECT_EQ(store.PageAt(1).PaperSource, 7);
    EXPECT_EQ(store.PageAt(2).PaperSource, 8);

    const TfrPreparedPage& p = store.PageAt(1);
    EXPECT_EQ(p.PaperCode, 9);
    EXPECT_EQ(p.PaperSizeX, 2100);
    EXPECT_EQ(p.PaperSizeY, 2970);
    EXPECT_EQ(p.MarginsFlag, 0);
    EXPECT_EQ(p.Margins[0], 40);
    EXPECT_EQ(p.Margins[3], 50);
    EXPECT_EQ(p.Metrics, page.Metrics);
    EXPECT_GT(p.Metrics.UnitPaperWidth, 0);
    EXPECT_EQ(p.PageData, QByteArray("\x19"));
    EXPECT_FALSE(p.LivePage);

    store.DeletePage(1);
    EXPECT_EQ(store.PageAt(1).PaperSource, 8);
    EXPECT_THROW(store.DeletePage(2), VaskelError);
}

TEST_F(PreparedStoreTest, AddPageFiresTheRunningReportsBeginPage)
{
    std::vector<qint32> begun;
    report.OnBeginPage = [&](qint32 n) { begun.push_back(n); };
    TfrEMFPages store(nullptr);
    store.AddPage(a4()); // no report running: nothing fires
    globals.run.CurrentReport = &report;
    globals.run.PageNumber = 1;
    store.AddPage(a4());
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(begun, std::vector<qint32>{1});
}

TEST_F(PreparedStoreTest, MaterialisesEmittedViewsInRecordOrder)
{
    auto title = memo("Title", 40, 30, 300, 40, {"Delivery note", "No. 4711"});
    auto rule = line("Rule", 40, 80, 600);
    auto logo = picture("Logo", 600, 20, 60);
    TfrEMFPages store(nullptr);
    addPage(store, {title.get(), rule.get(), logo.get()});

    store.MaterializePage(0);
    const TfrPage& live = *store.PageAt(0).LivePage;
    ASSERT_EQ(live.ObjectList.size(), 3u);
    EXPECT_EQ(globals.run.CurrentPage, nullptr) << "decoding a page leaves the run state alone";
    const auto& v = live.ObjectList;
    EXPECT_EQ(v[0]->Name, "Title");
    EXPECT_EQ(v[0]->Memo, title->Memo);
    EXPECT_EQ(v[1]->Name, "Rule");
    EXPECT_EQ(v[1]->Width, 600);
    EXPECT_EQ(v[2]->Name, "Logo");
    EXPECT_EQ(static_cast<TfrPictureView&>(*v[2]).Picture.bytes(), logo->Picture.bytes());
    for (const auto& view : v)
        EXPECT_FALSE(view->PreparedMode) << view->Name.toStdString();

    const TfrPage* before = &live;
    store.MaterializePage(0);
    EXPECT_EQ(store.PageAt(0).LivePage.get(), before) << "a live page is decoded once";
}

TEST_F(PreparedStoreTest, AutoWidthMemoTakesTheWidthOfItsText)
{
    auto m = memo("Amount", 100, 100, 500, 20, {"12.50"});
    m->Flags |= MemoFlags::AutoWidth;
    TfrEMFPages store(nullptr);
    addPage(store, {m.get()});
    store.MaterializePage(0);
    const TfrView& live = *store.PageAt(0).LivePage->ObjectList.at(0);
    EXPECT_LT(live.Width, 100) << "five characters need far less than 500 units";
    EXPECT_GT(live.Width, 10);
    EXPECT_FALSE(globals.run.PrintMode) << "the measuring paint leaves the run state as it was";
}

TEST_F(PreparedStoreTest, DrawsTheSameAtEveryZoomAndRepeatsExactly)
{
    auto title = memo("Title", 40, 30, 300, 40, {"Delivery note"});
    auto rule = line("Rule", 40, 80, 600);
    auto logo = picture("Logo", 600, 20, 60);
    TfrEMFPages store(nullptr);
    addPage(store, {title.get(), rule.get(), logo.get()});

    const auto once = record(store, 0, 1.0);
    const auto again = record(store, 0, 1.0);
    const auto twice = record(store, 0, 2.0);
    ASSERT_EQ(once.size(), again.size());
    for (size_t i = 0; i < once.size(); ++i) {
        EXPECT_EQ(once[i].kind, again[i].kind);
        EXPECT_EQ(once[i].bounds, again[i].bounds) << "drawing leaves the views' geometry as read";
    }

    auto textOf = [](const std::vector<RecordedOperation>& ops) {
        std::vector<RecordedOperation> runs;
        for (const auto& op : ops)
            if (op.kind == Kind::Text)
                runs.push_back(op);
        return runs;
    };
    const auto runs1 = textOf(once);
    const auto runs2 = textOf(twice);
    ASSERT_EQ(runs1.size(), 1u);
    ASSERT_EQ(runs2.size(), 1u);
    EXPECT_EQ(runs1[0].text, "Delivery note");
    EXPECT_EQ(runs2[0].text, "Delivery note");
    // The target starts at (20, 30): positions scale from there.
    const double pixelsPerUnit = 96.0 / TfrPrinter::kUnitsPerInch;
    EXPECT_NEAR(runs1[0].bounds.left(), 20 + 40 * pixelsPerUnit, 4);
    EXPECT_NEAR(runs2[0].bounds.left() - 20, 2 * (runs1[0].bounds.left() - 20), 4);
    EXPECT_NEAR(runs2[0].bounds.top() - 30, 2 * (runs1[0].bounds.top() - 30), 4);
    EXPECT_NEAR(runs2[0].bounds.width(), 2 * runs1[0].bounds.width(), runs1[0].bounds.width() / 5.0);

    auto imageOf = [](const std::vector<RecordedOperation>& ops) {
        for (const auto& op : ops)
            if (op.kind == Kind::Image || op.kind == Kind::Pixmap)
                return op.bounds;
        return QRect();
    };
    const QRect picture1 = imageOf(once);
    ASSERT_FALSE(picture1.isNull()) << "the picture is drawn";
    EXPECT_NEAR(picture1.left(), 20 + 600 * pixelsPerUnit, 3);
    EXPECT_NEAR(imageOf(twice).width(), 2 * picture1.width(), 3);
}

TEST_F(PreparedStoreTest, DrawingAPageNotInUseReleasesItsLiveViews)
{
    auto title = memo("Title", 40, 30, 300, 40, {"Delivery note"});
    TfrEMFPages store(nullptr);
    addPage(store, {title.get()});
    const auto drawn = record(store, 0, 1.0);
    ASSERT_TRUE(store.PageAt(0).LivePage);
    globals.run.CurrentView = store.PageAt(0).LivePage->ObjectList.at(0).get();

    RecordingDevice device(QSize(800, 1200));
    QPainter painter(&device);
    store.PageAt(0).InUse = false;
    store.DrawPage(0, painter, QRect(0, 0, 800, 1100));
    painter.end();
    EXPECT_FALSE(store.PageAt(0).LivePage);
    EXPECT_EQ(device.operations().size(), 1u) << "only the recording's header: nothing drawn";
    EXPECT_EQ(globals.run.CurrentPage, nullptr) << "the run state lets go of the freed page";
    EXPECT_EQ(globals.run.CurrentView, nullptr);
    EXPECT_EQ(record(store, 0, 1.0).size(), drawn.size()) << "decoded again from PageData when in use";
}

TEST_F(PreparedStoreTest, ScreenDrawingSkipsViewsOutsideTheClipArea)
{
    // At zoom 1 a report unit is 96 / 91.6 pixels; the clip area is the top 200 pixels.
    auto inside = memo("Inside", 40, 30, 300, 40, {"a"});
    auto justBelow = memo("JustBelow", 40, 195, 300, 40, {"b"}); // 204 px: within the 10 px slack
    auto farBelow = memo("FarBelow", 40, 400, 300, 40, {"c"});
    TfrEMFPages store(nullptr);
    addPage(store, {inside.get(), justBelow.get(), farBelow.get()});
    const QRect t = target(store, 0, 1.0);
    store.PageAt(0).InUse = true;

    struct Case {
        const char* name;
        bool recording;
        std::vector<bool> painted;
    };
    const Case cases[] = {
        {"screen image clipped to the top", false, {true, true, false}},
        {"recording device: every view", true, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.ReleasePage(0);
        QImage image(t.size(), QImage::Format_RGB32);
        RecordingDevice device(t.size());
        QPainter painter;
        if (c.recording)
            painter.begin(&device);
        else
            painter.begin(&image);
        painter.setClipRect(QRect(0, 0, t.width(), 200));
        store.DrawPage(0, painter, t);
        painter.end();
        // A painted view keeps the zoom it was drawn at; a skipped one was never touched.
        const auto& views = store.PageAt(0).LivePage->ObjectList;
        for (size_t i = 0; i < views.size(); ++i)
            EXPECT_EQ(views[i]->ZoomX != 1.0, c.painted[i]) << views[i]->Name.toStdString();
    }
}

TEST_F(PreparedStoreTest, HitTestReturnsTheLastOverlappingView)
{
    auto under = memo("Under", 100, 100, 200, 100, {"under"});
    auto over = memo("Over", 150, 150, 200, 100, {"over"});
    TfrEMFPages store(&report);
    addPage(store, {under.get(), over.get()});
    QStringList clicked;
    report.OnObjectClick = [&](TfrView& v) { clicked << v.Name; };

    struct Case {
        const char* name;
        QPoint point;
        QString hit; // empty: no view there
    };
    const Case cases[] = {
        {"both views: the later record", {160, 160}, "Over"},
        {"only the first view", {110, 110}, "Under"},
        {"right edge is outside", {300, 120}, ""},
        {"left edge is inside", {100, 120}, "Under"},
        {"empty paper", {20, 20}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clicked.clear();
        QString target = "stale";
        Qt::CursorShape cursor = Qt::ArrowCursor;
        const bool hit = store.ObjectAt(0, c.point, HitMode::Click, target, cursor);
        EXPECT_EQ(hit, !c.hit.isEmpty());
        EXPECT_EQ(clicked, c.hit.isEmpty() ? QStringList() : QStringList{c.hit});
        EXPECT_TRUE(target.isEmpty());
    }
}

TEST_F(PreparedStoreTest, HitTestScalesPagesStretchedToThePrintableArea)
{
    auto m = memo("Cell", 100, 100, 100, 100, {"x"});
    TfrEMFPages store(&report);
    addPage(store, {m.get()});
    TfrPreparedPage& p = store.PageAt(0);
    p.MarginsFlag = 0;
    // Printable area = paper: the 40-unit margins squeeze the page and move it by 40 + offset.
    p.Metrics.UnitPrintWidth = p.Metrics.UnitPaperWidth;
    p.Metrics.UnitPrintHeight = p.Metrics.UnitPaperHeight;
    p.Metrics.UnitOffsetX = 10;
    p.Metrics.UnitOffsetY = 20;
    for (qint32& margin : p.Margins)
        margin = 40;
    report.OnObjectClick = [](TfrView&) {};
    QString target;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    // Unscaled the view would cover 100..200 both ways; placed it starts at 40 + 10 + 100·kx
    // (about 140) and 40 + 20 + 100·ky (about 152) and ends near 229 and 245.
    EXPECT_FALSE(store.ObjectAt(0, {120, 120}, HitMode::Click, target, cursor));
    EXPECT_TRUE(store.ObjectAt(0, {215, 235}, HitMode::Click, target, cursor));
    EXPECT_FALSE(store.ObjectAt(0, {138, 235}, HitMode::Click, target, cursor));
}

TEST_F(PreparedStoreTest, HyperlinksOnClickAndHover)
{
    auto pageLink = memo("URLPage", 0, 0, 100, 100, {"to page 3"});
    pageLink->Tag = "@3";
    auto webLink = memo("URLWeb", 100, 0, 100, 100, {"web"});
    webLink->Tag = "https://example.com/stock?id=7";
    auto plain = memo("Note", 200, 0, 100, 100, {"note"});
    plain->Tag = "https://example.com/ignored";
    TfrEMFPages store(&report);
    addPage(store, {pageLink.get(), webLink.get(), plain.get()});

    struct Case {
        const char* name;
        bool handlers;
        HitMode mode;
        QPoint point;
        bool result;
        QString target;
        QString opened;
        QString fired;
        Qt::CursorShape cursor;
    };
    const Case cases[] = {
        {"click on a page link returns it", true, HitMode::Click, {50, 50}, true, "@3", "", "click URLPage",
            Qt::ArrowCursor},
        {"click on a web address opens it", true, HitMode::Click, {150, 50}, true, "",
            "https://example.com/stock?id=7", "click URLWeb", Qt::ArrowCursor},
        {"click on another name only fires", true, HitMode::Click, {250, 50}, true, "", "", "click Note",
            Qt::ArrowCursor},
        {"click without a handler on another name", false, HitMode::Click, {250, 50}, false, "", "", "",
            Qt::ArrowCursor},
        {"click without a handler on a link", false, HitMode::Click, {50, 50}, true, "@3", "", "",
            Qt::ArrowCursor},
        {"hover over a link: hand cursor", true, HitMode::Hover, {150, 50}, true,
            "https://example.com/stock?id=7", "", "hover URLWeb", Qt::PointingHandCursor},
        {"hover over another name: the handler's cursor", true, HitMode::Hover, {250, 50}, true, "", "",
            "hover Note", Qt::WaitCursor},
        {"hover without a handler", false, HitMode::Hover, {250, 50}, false, "", "", "", Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        QString fired;
        if (c.handlers) {
            report.OnObjectClick = [&](TfrView& v) { fired = "click " + v.Name; };
            report.OnMouseOverObject = [&](TfrView& v, Qt::CursorShape& cursor) {
                fired = "hover " + v.Name;
                cursor = Qt::WaitCursor;
            };
        } else {
            report.OnObjectClick = nullptr;
            report.OnMouseOverObject = nullptr;
        }
        QString target;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        EXPECT_EQ(store.ObjectAt(0, c.point, c.mode, target, cursor), c.result);
        EXPECT_EQ(target, c.target);
        EXPECT_EQ(fired, c.fired);
        EXPECT_EQ(cursor, c.cursor);
        const auto opened = scriptedUi->interactionsOf(Interaction::Kind::OpenUrl);
        EXPECT_EQ(opened.size(), c.opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty()) {
            EXPECT_EQ(opened[0].text, c.opened);
        }
    }
}

TEST_F(PreparedStoreTest, DamagedRecordKeepsTheViewsBeforeIt)
{
    auto first = memo("First", 0, 0, 100, 20, {"kept"});
    auto far = memo("Far", 0, 0, 100, 20, {"beyond any paper"});
    far->Left = std::numeric_limits<qint32>::max();
    auto huge = memo("Huge", 0, 0, 100, 20, {"x"});
    huge->Font.Size = 1 << 30;
    TfrEMFPages store(nullptr);
    const std::pair<const char*, std::function<void(int)>> cases[] = {
        {"a type that creates no view", [&](int i) { store.AppendRecords(i, QByteArray("\x07garbage", 8)); }},
        {"a memo record cut short", [&](int i) { store.AppendRecords(i, QByteArray("\x00\x01", 2)); }},
        {"an object far outside any paper", [&](int i) { emitView(store, i, *far); }},
        {"a font size no printer has", [&](int i) { emitView(store, i, *huge); }},
    };
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].first);
        addPage(store, {first.get()});
        cases[i].second(i);
        try {
            store.MaterializePage(i);
            ADD_FAILURE() << "no error";
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.message(), "Stream read error");
        }
        ASSERT_TRUE(store.PageAt(i).LivePage);
        ASSERT_EQ(store.PageAt(i).LivePage->ObjectList.size(), 1u);
        EXPECT_EQ(store.PageAt(i).LivePage->ObjectList[0]->Name, "First");
    }
}

} // namespace
} // namespace vaskel::test
