// The preview window on hand-made pages: links, hover text, the keyboard table, zoom, the zoom
// memory shared by windows, saving and loading with their failures, damaged pages, and paging
// through many pages with only the visible ones decoded.
#include "preview_Fixture.h"

#include "report/preview/PreviewSearch.h"

#include "report/preview/TfrTBButton.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace vaskel {
namespace {

using test::PreviewTest;

class FormTest : public PreviewTest {
protected:
    QPoint linkCentre(TfrPreviewForm& f, int page, int left, int top)
    {
        return f.PageArea->pixelRect(page, QRect(left, top, 100, 20)).center();
    }
    int liveCount(TfrPreviewForm& f)
    {
        int n = 0;
        for (int i = 0; i < f.HeldPages->Count(); ++i)
            n += f.HeldPages->PageAt(i).LivePage ? 1 : 0;
        return n;
    }
};

TEST_F(FormTest, ShowTakesThePagesAndCountsThem)
{
    addPages(report.PreparedPages(), 12);
    report.Title = "Bill";
    TfrPreviewForm& f = open();
    EXPECT_EQ(report.PreparedPages().Count(), 0) << "the window holds the pages";
    EXPECT_EQ(f.HeldPages->Count(), 12);
    EXPECT_EQ(f.Label1->text(), "Page 1/12");
    EXPECT_EQ(f.windowTitle(), "Preview - Bill");
    EXPECT_FALSE(f.PageSetupBtn->isVisibleTo(&f)) << "not in the default button set";
    EXPECT_TRUE(f.ZoomBtn->isVisibleTo(&f));
    ASSERT_NE(f.ExportBtn, nullptr);
    EXPECT_TRUE(f.ExportBtn->isVisibleTo(&f));
    ASSERT_NE(f.ExportMenu, nullptr);
    QStringList formats;
    for (const QAction* action : f.ExportMenu->actions())
        formats << action->text();
    EXPECT_EQ(formats, QStringList({"PDF...", "Excel...", "HTML...", "CSV..."}));
    f.PgDownClick();
    EXPECT_EQ(f.Label1->text(), "Page 2/12");
    EXPECT_EQ(f.VScrollBar->value(), f.HeldPages->PageAt(1).LayoutRect.top() - 10);
}

TEST_F(FormTest, LinksJumpToPagesAndBadTargetsSayWhyOnce)
{
    addPages(report.PreparedPages(), 10);
    addLink(report.PreparedPages(), 0, "@0", 100, 100);
    addLink(report.PreparedPages(), 0, "@99", 100, 150);
    addLink(report.PreparedPages(), 0, "@5", 100, 200);
    addLink(report.PreparedPages(), 0, "@abc", 100, 250);
    TfrPreviewForm& f = open();
    struct Case {
        const char* name;
        int top;
        int page;
        const char* hover;
        int boxes;
    } cases[] = {
        {"@0 goes to page 1", 100, 1, "Page 0", 0},
        {"@99 of ten pages does nothing", 150, 3, "Page 99", 0},
        {"@5 goes to page 5", 200, 5, "Page 5", 0},
        {"@abc reports the conversion error, hover shows nothing", 250, 3, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        f.VScrollBar->setValue(0);
        f.DisplayedPage = 3;
        const QPoint at = linkCentre(f, 0, 100, c.top);
        f.Label2->setText("unchanged");
        QTest::mouseMove(f.PageArea, at);
        QTest::mouseMove(f.PageArea, at + QPoint(1, 0));
        EXPECT_EQ(f.Label2->text(), c.hover);
        EXPECT_EQ(messageBoxes(), 0) << "hovering never raises a box";
        QTest::mouseClick(f.PageArea, Qt::LeftButton, {}, at);
        EXPECT_EQ(f.DisplayedPage, c.page);
        EXPECT_EQ(messageBoxes(), c.boxes);
    }
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).value(0).text,
        "'abc' is not a valid integer value.");
}

TEST_F(FormTest, KeyboardTable)
{
    addPages(report.PreparedPages(), 12);
    TfrPreviewForm& f = open();
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        bool consumed;
        int scroll; // expected scroll position; -1: the top of the expected page
        int page;
    } cases[] = {
        {"Down", Qt::Key_Down, {}, true, 1010, 1},
        {"Up", Qt::Key_Up, {}, true, 990, 1},
        {"Page Down", Qt::Key_PageDown, {}, true, 1200, 2},
        {"Page Up", Qt::Key_PageUp, {}, true, 800, 1},
        {"Ctrl+Page Down: next page", Qt::Key_PageDown, Qt::ControlModifier, true, -1, 0},
        {"Home alone is passed on", Qt::Key_Home, {}, false, 1000, 0},
        {"Ctrl+Home: top of the first page", Qt::Key_Home, Qt::ControlModifier, true, 0, 1},
        {"Ctrl+End: last page", Qt::Key_End, Qt::ControlModifier, true, -1, 12},
        {"a letter is passed on", Qt::Key_X, {}, false, 1000, 0},
        {"Ctrl with another key is swallowed", Qt::Key_X, Qt::ControlModifier, true, 1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.VScrollBar->setValue(1000);
        const int before = f.DisplayedPage;
        EXPECT_EQ(f.handleKey(c.key, c.mods), c.consumed);
        const int page = c.page ? c.page : (c.scroll == -1 ? before + 1 : before);
        if (c.scroll == -1)
            EXPECT_EQ(f.VScrollBar->value(),
                std::min(f.VScrollBar->maximum(), f.HeldPages->PageAt(page - 1).LayoutRect.top() - 10));
        else
            EXPECT_EQ(f.VScrollBar->value(), c.scroll);
        if (c.page)
            EXPECT_EQ(f.DisplayedPage, c.page);
    }
    // Keys reach the table from the focused control, before it sees them.
    f.VScrollBar->setValue(0);
    QTest::keyClick(f.ScrollBox1, Qt::Key_Down);
    EXPECT_EQ(f.VScrollBar->value(), 10);
}

TEST_F(FormTest, CommandKeysActOnlyWhereTheirButtonIs)
{
    addPages(report.PreparedPages(), 2);
    report.PreviewButtons &= ~(1u << pbLoad);
    report.PreviewButtons &= ~(1u << pbSave);
    TfrPreviewForm& f = open();
    EXPECT_FALSE(f.ExportBtn->isVisibleTo(&f)) << "Export follows Save";
    int prints = 0;
    int finds = 0;
    f.OnPrint = [&](TfrPreviewForm&) { ++prints; };
    f.OnFindText = [&](TfrPreviewForm&) { ++finds; };
    EXPECT_TRUE(f.handleKey(Qt::Key_O, Qt::ControlModifier));
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::OpenFile).isEmpty()) << "Load is hidden";
    EXPECT_TRUE(f.handleKey(Qt::Key_S, Qt::ControlModifier));
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::SaveFile).isEmpty()) << "Save is hidden";
    EXPECT_TRUE(f.handleKey(Qt::Key_F, Qt::ControlModifier));
    EXPECT_EQ(finds, 1) << "Find is shown";
    // The tests' printer model has no printers: Print is disabled, and so is Ctrl+P.
    EXPECT_FALSE(f.PrintBtn->isEnabled());
    EXPECT_TRUE(f.handleKey(Qt::Key_P, Qt::ControlModifier));
    EXPECT_EQ(prints, 0);
    EXPECT_FALSE(f.handleKey(Qt::Key_P, {}));
}

TEST_F(FormTest, SearchHitsScrollByTheSearchRulesNotToTheCentre)
{
    addPages(report.PreparedPages(), 3);
    TfrPreviewForm& f = open(QSize(700, 500));
    f.ChooseZoom(100);
    struct Case {
        const char* name;
        int page; // 1-based
        QRect hit; // report units
    } cases[] = {
        {"near the bottom of page 2: ends at the area's bottom edge", 2, QRect(40, 1000, 200, 20)},
        {"near the top of page 3: the page's corner 10 pixels inside", 3, QRect(40, 60, 200, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect layout = f.HeldPages->PageAt(c.page - 1).LayoutRect;
        const HitPlacement expected = placeHit(c.hit, f.ZoomFactor, layout, f.PageArea->size());
        f.ScrollToPage(c.page, c.hit);
        EXPECT_EQ(f.DisplayedPage, c.page);
        EXPECT_EQ(f.VScrollBar->value(), std::clamp(expected.scrollY, 0, f.VScrollBar->maximum()));
        EXPECT_EQ(f.HScrollBar->value(), std::clamp(expected.scrollX, 0, f.HScrollBar->maximum()));
        const QRect shown = f.PageArea->pixelRect(c.page - 1, c.hit);
        EXPECT_TRUE(f.PageArea->rect().contains(shown)) << "the hit is in view";
    }
    // The low hit ends at the area's bottom edge.
    f.ScrollToPage(2, cases[0].hit);
    EXPECT_NEAR(f.PageArea->pixelRect(1, cases[0].hit).bottom() + 1, f.PageArea->height(), 2);
}

TEST_F(FormTest, ZoomCaptionsAndTheMemorySharedByWindows)
{
    addPages(report.PreparedPages(), 3);
    TfrPreviewForm& f = open();
    EXPECT_EQ(f.zoomCaption(), "100%");
    EXPECT_EQ(f.checkedZoomTag(), 100);
    f.ChooseZoom(150);
    EXPECT_EQ(f.zoomCaption(), "150%");
    EXPECT_EQ(f.checkedZoomTag(), 150);
    f.ChooseZoom(1);
    const int w = f.HeldPages->PageAt(0).Metrics.UnitPaperWidth;
    const double z = (f.PageArea->width() - 20.0) / w;
    EXPECT_DOUBLE_EQ(f.ZoomFactor, z);
    EXPECT_EQ(f.zoomCaption(), QString("%1%").arg(qRound(z * 100)));
    EXPECT_EQ(f.checkedZoomTag(), 1);
    f.close();

    // pzDefault: the next window opens at the zoom chosen in the first one.
    addPages(report.PreparedPages(), 3);
    TfrPreviewForm& second = open();
    EXPECT_EQ(second.ZoomMode, PreviewZoomMode::PageWidth);
    second.ChooseZoom(50);
    second.close();

    // pzPageWidth overrides whatever was chosen before.
    addPages(report.PreparedPages(), 3);
    report.InitialZoom = pzPageWidth;
    TfrPreviewForm& third = open();
    EXPECT_EQ(third.ZoomMode, PreviewZoomMode::PageWidth);
    EXPECT_NE(third.zoomCaption(), "50%");
}

TEST_F(FormTest, SavingUsesTheFrpNameAndAlwaysKeepsThePages)
{
    addPages(report.PreparedPages(), 4);
    TfrPreviewForm& f = open();
    const QString txt = dir.filePath("x.txt");
    const QString frp = dir.filePath("x.frp");

    EXPECT_TRUE(f.SaveFile(txt));
    EXPECT_TRUE(QFile::exists(frp));
    EXPECT_FALSE(QFile::exists(txt));
    EXPECT_EQ(f.HeldPages->Count(), 4);
    EXPECT_EQ(report.PreparedPages().Count(), 0);

    // x.frp exists now: saving "x.txt" again asks about x.frp, and No keeps it as it was.
    QFile::resize(frp, 10);
    scriptedUi->queueModalResult(ModalResult::No);
    EXPECT_FALSE(f.SaveFile(txt));
    EXPECT_EQ(QFileInfo(frp).size(), 10);
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).value(0).text.contains(frp));

    // A save that fails reports the platform's message; the pages come back to the window.
    scriptedUi->clear();
    EXPECT_FALSE(f.SaveFile(dir.filePath("missing/folder/y.frp")));
    EXPECT_EQ(messageBoxes(), 1);
    ASSERT_TRUE(f.HeldPages);
    EXPECT_EQ(f.HeldPages->Count(), 4);
    EXPECT_EQ(f.Label1->text(), "Page 1/4");

    // Another file loads in place of the pages shown.
    f.ChooseZoom(25);
    TfrEMFPages other(&report);
    addPages(other, 7);
    other.SaveToFile(dir.filePath("seven.frp"));
    EXPECT_TRUE(f.LoadFile(dir.filePath("seven.frp")));
    EXPECT_EQ(f.Label1->text(), "Page 1/7");
    EXPECT_EQ(f.windowTitle(), "Preview - seven.frp") << "the caption names the file shown";
    EXPECT_EQ(f.zoomCaption(), "25%") << "loading keeps the zoom";
    EXPECT_FALSE(report.Rebuildable);
}

TEST_F(FormTest, FilesThatCannotBeReadLeaveThePagesShown)
{
    addPages(report.PreparedPages(), 4);
    TfrPreviewForm& f = open();
    TfrEMFPages full(&report);
    addPages(full, 3);
    full.SaveToFile(dir.filePath("full.frp"));
    QFile whole(dir.filePath("full.frp"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    struct Case {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"truncated", bytes.left(bytes.size() / 2)},
        {"not a prepared report", QByteArray("hello, this is text\n")},
        {"empty", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        QFile out(dir.filePath("bad.frp"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.content);
        out.close();
        EXPECT_FALSE(f.LoadFile(out.fileName()));
        EXPECT_EQ(messageBoxes(), 1);
        ASSERT_TRUE(f.HeldPages);
        EXPECT_EQ(f.HeldPages->Count(), 4);
        if (c.content.size() > 20) {
            // The platform's text first, then which file and where it is damaged.
            const QStringList lines
                = scriptedUi->interactionsOf(Interaction::Kind::MessageBox).value(0).text.split('\n');
            ASSERT_EQ(lines.size(), 2);
            EXPECT_EQ(lines[0], "Stream read error.");
            EXPECT_TRUE(lines[1].startsWith(out.fileName() + ": ")) << lines[1].toStdString();
            EXPECT_TRUE(lines[1].contains(QRegularExpression("at byte offset \\d+")))
                << lines[1].toStdString();
        }
    }
    scriptedUi->clear();
    EXPECT_FALSE(f.LoadFile(dir.filePath("nowhere.frp")));
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox)
                    .value(0)
                    .text.startsWith("Cannot open file"));
    EXPECT_EQ(f.HeldPages->Count(), 4);
}

TEST_F(FormTest, DamagedPageDrawsWhatItCanAndSaysSoOnce)
{
    addPages(report.PreparedPages(), 2);
    // A record of an unknown kind after the page's memo.
    report.PreparedPages().AppendRecords(0, QByteArray::fromHex("7f0000ffffffff"));
    TfrPreviewForm& f = open();
    f.PageArea->repaint();
    f.PageArea->repaint();
    QApplication::processEvents();
    EXPECT_EQ(messageBoxes(), 1);
    EXPECT_TRUE(f.PageArea->faultyPages().contains(0));
    // The hover over the damaged page does not throw either.
    QTest::mouseMove(f.PageArea, f.HeldPages->PageAt(0).LayoutRect.center());
    QApplication::processEvents();
    EXPECT_EQ(messageBoxes(), 1);
}

TEST_F(FormTest, PagingThroughKeepsOnlyVisiblePagesDecoded)
{
    addPages(report.PreparedPages(), 60);
    TfrPreviewForm& f = open(QSize(800, 1200));
    int most = 0;
    for (int i = 0; i < 60; ++i) {
        f.PgDownClick();
        f.PageArea->repaint();
        most = std::max(most, liveCount(f));
    }
    EXPECT_LE(most, 3);
    EXPECT_GE(most, 1);
    // A tall area shows (and decodes) every page that reaches into it, beyond 2,000 pixels too.
    f.ChooseZoom(25);
    setArea(f, QSize(400, 2600));
    ASSERT_EQ(f.PageArea->height(), 2600);
    f.VScrollBar->setValue(0);
    f.PageArea->repaint();
    int drawn = 0;
    for (int i = 0; i < f.HeldPages->Count(); ++i)
        drawn += f.HeldPages->PageAt(i).InUse ? 1 : 0;
    EXPECT_GT(f.HeldPages->PageAt(drawn - 1).LayoutRect.top(), 2000);
}

TEST_F(FormTest, ModalShowingReturnsAfterCloseAndDiscardsThePages)
{
    addPages(report.PreparedPages(), 2);
    report.ModalPreview = true;
    QString counter;
    host.onWindowCreated = [&](TfrPreviewForm& f) {
        f.Settings = &settings;
        QTimer::singleShot(0, &f, [&f, &counter] {
            counter = f.Label1->text();
            f.handleKey(Qt::Key_Escape, {});
        });
    };
    report.ShowPrepared();
    EXPECT_EQ(counter, "Page 1/2");
    EXPECT_EQ(report.PreparedPages().Count(), 0);
    EXPECT_TRUE(host.openWindows().isEmpty());
    // An empty store shows nothing.
    int created = 0;
    host.onWindowCreated = [&](TfrPreviewForm&) { ++created; };
    report.ShowPrepared();
    EXPECT_EQ(created, 0);
}

TEST_F(FormTest, SaveAndOpenOfferTheReportsNameInTheFolderLastUsed)
{
    addPages(report.PreparedPages(), 2);
    host.fileNameHint = "HT23002";
    TfrPreviewForm& f = open();
    QDir(dir.path()).mkpath("bills");
    const QString bills = dir.filePath("bills");
    struct Case {
        const char* name;
        const char* title;
        QString offered;
    } cases[] = {
        {"no title: the bill number, in the working folder", "", QDir::current().filePath("HT23002.frp")},
        {"the title, in the folder of the last save", "Bill 7/2023", bills + "/Bill 7_2023.frp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.Title = c.title;
        scriptedUi->clear();
        scriptedUi->queueFileName(bills + "/saved.frp");
        f.SaveBtnClick();
        EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::SaveFile).value(0).text, c.offered);
        EXPECT_TRUE(QFile::exists(bills + "/saved.frp"));
    }
    scriptedUi->clear();
    scriptedUi->queueFileName(QString());
    f.LoadBtnClick();
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::OpenFile).value(0).text, bills);
}

TEST_F(FormTest, HelpModeShowsTheTopicOfTheControlClicked)
{
    addPages(report.PreparedPages(), 1);
    TfrPreviewForm& f = open();
    f.HelpBtnClick();
    EXPECT_TRUE(f.inHelpMode());
    QTest::mouseClick(f.ZoomBtn, Qt::LeftButton);
    EXPECT_FALSE(f.inHelpMode());
    const auto help = scriptedUi->interactionsOf(Interaction::Kind::Help);
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0].flags, 200);
    EXPECT_TRUE(help[0].text.startsWith("Scale.")) << help[0].text.toStdString();

    // F1 away from every control with a topic shows the page area's.
    QCursor::setPos(f.mapToGlobal(QPoint(-50, -50)));
    QTest::keyClick(f.ScrollBox1, Qt::Key_F1);
    ASSERT_EQ(scriptedUi->interactionsOf(Interaction::Kind::Help).size(), 2);
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::Help).value(1).flags, 207);
}

} // namespace
} // namespace vaskel
