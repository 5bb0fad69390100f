// Where the preview lays out pages at a zoom, and the scroll ranges over them.
#include "preview_Fixture.h"

#include "report/preview/PageArrangement.h"

namespace vaskel {
namespace {

using test::PreviewTest;

class ArrangementTest : public PreviewTest {
protected:
    int a4Width() { return store().PageAt(0).Metrics.UnitPaperWidth; }
    TfrEMFPages& store() { return report.PreparedPages(); }
};

TEST_F(ArrangementTest, PagesFillRowsOfTheWidestRunThatFits)
{
    addPages(store(), 12);
    const int w = a4Width();
    const int h = store().PageAt(0).Metrics.UnitPaperHeight;
    ASSERT_GT(w, 700);
    // Room for three pages and their gaps, not for four.
    const QSize area(10 + 3 * (w + 10) + 5, 600);
    const Arrangement a = PageArrangement::arrange(store(), 1.0, PreviewZoomMode::Fixed, area);
    EXPECT_EQ(a.columns, 3);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const QRect expected(10 + (i % 3) * (w + 10), 10 + (i / 3) * (h + 10), w, h);
        EXPECT_EQ(store().PageAt(i).LayoutRect, expected);
    }
    EXPECT_EQ(a.verticalRange, 10 + 4 * (h + 10) - 10 - 600 + 10);
    EXPECT_EQ(a.horizontalRange, 0) << "three pages end inside the area";
}

TEST_F(ArrangementTest, ColumnsModesAndRanges)
{
    struct Case {
        const char* name;
        int pages;
        PreviewZoomMode mode;
        int fits; // pages the area's width holds side by side with their gaps
        int extra; // and pixels beyond that
        int columns;
    } cases[] = {
        {"two-pages mode pairs pages even when three fit", 6, PreviewZoomMode::TwoPages, 3, 5, 2},
        {"whole-page mode puts one page in a row", 4, PreviewZoomMode::WholePage, 4, 5, 1},
        {"fixed zoom fills the row", 4, PreviewZoomMode::Fixed, 3, 5, 3},
        {"an area narrower than one page still has one column", 3, PreviewZoomMode::Fixed, 0, 600, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store().Clear();
        addPages(store(), c.pages);
        const int w = a4Width();
        const QSize area(10 + c.fits * (w + 10) + c.extra, 500);
        EXPECT_EQ(PageArrangement::arrange(store(), 1.0, c.mode, area).columns, c.columns);
    }
}

TEST_F(ArrangementTest, SinglePageIsCentredWhenNarrowAndStartsAtTenWhenWide)
{
    addPages(store(), 1);
    const int w = a4Width();
    const int h = store().PageAt(0).Metrics.UnitPaperHeight;

    Arrangement a = PageArrangement::arrange(store(), 1.0, PreviewZoomMode::Fixed, QSize(w + 101, h + 100));
    EXPECT_EQ(store().PageAt(0).LayoutRect.left(), 50);
    EXPECT_EQ(a.horizontalRange, 0);
    EXPECT_EQ(a.verticalRange, 0);

    a = PageArrangement::arrange(store(), 1.0, PreviewZoomMode::Fixed, QSize(w - 100, h + 100));
    EXPECT_EQ(store().PageAt(0).LayoutRect.left(), 10);
    EXPECT_EQ(a.horizontalRange, 10 + w - (w - 100) + 10);

    // A page ending exactly at the area's edge still gets a range of 10.
    a = PageArrangement::arrange(store(), 1.0, PreviewZoomMode::Fixed, QSize(w + 101, 10 + h));
    EXPECT_EQ(a.verticalRange, 10);
}

TEST_F(ArrangementTest, PagesWithoutSizeTakeNoPlaceAndZoomStaysPositive)
{
    addPages(store(), 1);
    addPages(store(), 1, 256, 0, 0); // a custom paper of 0 × 0
    addPages(store(), 1);
    const Arrangement a = PageArrangement::arrange(store(), 1.0, PreviewZoomMode::WholePage, QSize(900, 600));
    EXPECT_TRUE(store().PageAt(1).LayoutRect.isEmpty());
    EXPECT_EQ(store().PageAt(2).LayoutRect.top(), 10 + store().PageAt(0).LayoutRect.height() + 10);
    EXPECT_GT(a.verticalRange, 0);

    struct Case {
        const char* name;
        PreviewZoomMode mode;
        QSize paper;
        QSize area;
    } cases[] = {
        {"page of zero size", PreviewZoomMode::PageWidth, QSize(0, 0), QSize(800, 600)},
        {"area smaller than the margins", PreviewZoomMode::PageWidth, QSize(758, 1071), QSize(12, 12)},
        {"whole page in an area of no height", PreviewZoomMode::WholePage, QSize(758, 1071), QSize(800, 0)},
        {"two pages in a narrow area", PreviewZoomMode::TwoPages, QSize(758, 1071), QSize(20, 600)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double z = PageArrangement::zoomFor(c.mode, 1.0, c.paper, c.area);
        EXPECT_GE(z, PageArrangement::kMinZoom);
        EXPECT_LE(z, PageArrangement::kMaxZoom);
    }
    EXPECT_DOUBLE_EQ(
        PageArrangement::zoomFor(PreviewZoomMode::PageWidth, 1.0, QSize(780, 1000), QSize(800, 600)), 1.0);
    EXPECT_DOUBLE_EQ(
        PageArrangement::zoomFor(PreviewZoomMode::WholePage, 1.0, QSize(780, 1000), QSize(3000, 520)), 0.5);
}

} // namespace
} // namespace vaskel
