// The page area at a device pixel ratio of 2: pages are drawn at device resolution (text edges
// have detail finer than a logical pixel), in the places the logical arrangement gives them, and
// not as a 1x picture enlarged.
#include "preview_Fixture.h"

namespace vaskel {
namespace {

using test::PreviewTest;

// The bounding box of the dark pixels (text ink) inside `area` of `image` (device pixels).
QRect inkBox(const QImage& image, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The number of 2 × 2 device-pixel blocks in `area` whose four pixels differ: none in a 1x
// picture drawn twice as large.
int detailedBlocks(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2)
        for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p)
                ++n;
        }
    return n;
}

QImage paintArea(TfrPBox& area, qreal ratio)
{
    QImage image(area.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);
    area.render(&image);
    return image;
}

TEST_F(PreviewTest, PagesAreDrawnAtDeviceResolutionInTheirLogicalPlaces)
{
    addPages(report.PreparedPages(), 2);
    TfrPreviewForm& f = open(QSize(500, 400));
    const QImage one = paintArea(*f.PageArea, 1);
    const QImage two = paintArea(*f.PageArea, 2);
    ASSERT_EQ(two.size(), one.size() * 2);

    // The first page's frame: black at the page's left logical column, at twice that in device
    // pixels, white paper right inside it.
    const QRect page = f.HeldPages->PageAt(0).LayoutRect.translated(f.ScrollX, f.ScrollY);
    ASSERT_GT(page.width(), 50);
    const int row = page.top() + 60;
    EXPECT_EQ(qGray(one.pixel(page.left(), row)), 0);
    EXPECT_EQ(qGray(two.pixel(2 * page.left(), 2 * row)), 0);
    EXPECT_EQ(two.pixel(2 * page.left() + 4, 2 * row), qRgb(255, 255, 255));
    EXPECT_EQ(qGray(two.pixel(2 * page.left() - 4, 2 * row)), 128) << "the grey around the pages";

    // The memo "Page 1" near the top left: its ink lies where the 1x ink lies, twice as far.
    const QRect memoArea
        = page.adjusted(4, 4, 0, 0).intersected(QRect(page.topLeft(), QSize(page.width() / 2, 60)));
    const QRect ink1 = inkBox(one, memoArea);
    const QRect ink2 = inkBox(two, QRect(memoArea.topLeft() * 2, memoArea.size() * 2));
    ASSERT_FALSE(ink1.isEmpty());
    ASSERT_FALSE(ink2.isEmpty());
    EXPECT_NEAR(ink2.left(), 2 * ink1.left(), 2);
    EXPECT_NEAR(ink2.top(), 2 * ink1.top(), 2);
    EXPECT_NEAR(ink2.right(), 2 * ink1.right() + 1, 3);
    EXPECT_NEAR(ink2.bottom(), 2 * ink1.bottom() + 1, 3);

    // Text drawn at device resolution has edges inside the 2 × 2 blocks of each logical pixel;
    // a 1x picture enlarged has none.
    const int detailed = detailedBlocks(two, ink2);
    EXPECT_GT(detailed, ink2.width() / 2)
        << detailed << " detailed blocks in " << ink2.width() << " x " << ink2.height();
    QImage enlarged = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_EQ(detailedBlocks(enlarged, ink2), 0) << "the measure tells the two apart";
}

} // namespace
} // namespace vaskel
