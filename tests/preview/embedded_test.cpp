// The embedded preview control: the report shows its pages there when its Preview names it; the
// control borrows the page area (and the toolbar on request), reports page changes, hands the
// pages back on disconnect, and routes the holding window's wheel to the pages.
#include "preview_Fixture.h"

#include "report/preview/TfrPreview.h"
#include "report/preview/TfrTBButton.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace vaskel {
namespace {

using test::PreviewTest;

TEST_F(PreviewTest, EmbeddedControlShowsPagesInItsWindow)
{
    addPages(report.PreparedPages(), 5);
    QWidget holder;
    holder.resize(700, 500);
    auto* control = new TfrPreview(&holder);
    control->setGeometry(0, 0, 700, 500);
    QList<int> changes;
    control->OnPageChanged = [&](TfrPreview&, int page) { changes << page; };
    control->setScrollBars(TfrPreview::ScrollStyle::ssVertical);
    control->setShowToolbar(true);
    holder.show();
    report.Preview = control;
    int windows = 0;
    host.onWindowCreated = [&](TfrPreviewForm&) { ++windows; };
    report.ShowPrepared();
    QApplication::processEvents();

    TfrPreviewForm& f = control->previewWindow();
    EXPECT_EQ(windows, 0) << "no window of its own";
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.PageArea->isVisible());
    EXPECT_EQ(f.PageArea->window(), &holder);
    EXPECT_EQ(f.HeldPages->Count(), 5);
    EXPECT_FALSE(f.BPanel->isVisibleTo(control)) << "vertical bars only";
    EXPECT_TRUE(f.ZoomBtn->isVisibleTo(control));
    EXPECT_FALSE(f.HelpBtn->isVisibleTo(control)) << "Help and Exit stay with a window";
    EXPECT_FALSE(f.ExitBtn->isVisibleTo(control));
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.last(), 1);

    f.PgDownClick();
    EXPECT_EQ(control->DisplayedPage(), 2);
    EXPECT_EQ(changes.last(), 2);

    // The wheel over the holding window scrolls three steps a notch.
    f.VScrollBar->setValue(100);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(&holder, &wheel);
    EXPECT_EQ(f.VScrollBar->value(), 130);

    control->Disconnect();
    EXPECT_EQ(report.PreparedPages().Count(), 5) << "the pages are back with the report";
    delete control;
    EXPECT_EQ(report.Preview, nullptr);
}

} // namespace
} // namespace vaskel
