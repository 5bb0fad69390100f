// Toolbar buttons and separators: glyph counts, groups, the flat grey look until the mouse is
// over a button, the derived glyph images at HiDPI, and the separator's groove direction.
#include "support/TestGlobals.h"

#include "report/preview/TfrSpeedButton.h"
#include "report/preview/TfrTBButton.h"
#include "report/preview/TfrTBSeparator.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QTest>

namespace vaskel {
namespace {

QImage glyph(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    for (int x = 0; x < w; ++x)
        image.setPixel(x, h / 2, qRgb(200, 0, 0));
    return image;
}

TEST(ToolbarTest, GlyphWidthSetsTheImageCount)
{
    struct Case {
        const char* name;
        QSize size;
        int images;
    } cases[] = {
        {"64 x 16: four images", {64, 16}, 4},
        {"32 x 16: two images", {32, 16}, 2},
        {"80 x 16: five is too many, one image", {80, 16}, 1},
        {"20 x 16: no whole multiple keeps the count", {20, 16}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrSpeedButton b;
        b.setGlyph(glyph(c.size.width(), c.size.height()));
        EXPECT_EQ(b.NumGlyphs(), c.images);
    }
    TfrSpeedButton b;
    b.setNumGlyphs(9);
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.setMargin(-5);
    EXPECT_EQ(b.Margin(), -1) << "margins below -1 are ignored";
}

TEST(ToolbarTest, GroupButtonsLatchOneAtATime)
{
    QWidget parent;
    TfrSpeedButton first(&parent), second(&parent), plain(&parent);
    first.setGroupIndex(1);
    second.setGroupIndex(1);
    QTest::mouseClick(&first, Qt::LeftButton);
    EXPECT_TRUE(first.Down());
    QTest::mouseClick(&second, Qt::LeftButton);
    EXPECT_TRUE(second.Down());
    EXPECT_FALSE(first.Down()) << "pressing the second releases the first";
    QTest::mouseClick(&second, Qt::LeftButton);
    EXPECT_TRUE(second.Down()) << "AllowAllUp off: a click does not release the down button";
    second.setAllowAllUp(true);
    QTest::mouseClick(&second, Qt::LeftButton);
    EXPECT_FALSE(second.Down());
    plain.setDown(true);
    EXPECT_FALSE(plain.Down()) << "only a group button can be down";
    int clicks = 0;
    QObject::connect(&plain, &TfrSpeedButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&plain, Qt::LeftButton);
    QTest::mousePress(&plain, Qt::LeftButton);
    QTest::mouseRelease(&plain, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(clicks, 1) << "a release outside is no click";
}

TEST(ToolbarTest, FlatButtonIsGreyUntilTheMouseIsOver)
{
    QWidget bar;
    auto* b = new TfrTBButton(&bar);
    QFile svg(QString::fromUtf8(VASKEL_TEST_SOURCE_DIR) + "/data/glyphs/save.svg");
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    b->setSvgGlyph(svg.readAll());
    bar.show();
    EXPECT_EQ(b->size(), QSize(24, 24));
    EXPECT_EQ(b->drawState(), TfrSpeedButton::State::Inactive);
    const auto isGrey = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) > 0 && !(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)))
                    return false;
            }
        return true;
    };
    EXPECT_TRUE(isGrey(b->stateImage(TfrSpeedButton::State::Inactive, 1.0)));
    EXPECT_FALSE(isGrey(b->stateImage(TfrSpeedButton::State::Up, 1.0)));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(b->drawState(), TfrSpeedButton::State::Up);
    const QImage hovered = b->grab().toImage();
    // The raised frame: highlight on the top edge, shadow on the bottom edge.
    EXPECT_EQ(hovered.pixel(10, 0), b->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(hovered.pixel(10, 23), b->palette().color(QPalette::Dark).rgb());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->drawState(), TfrSpeedButton::State::Inactive);

    // Glyphs are drawn at the device pixel ratio: twice the pixels at 2.
    EXPECT_EQ(b->stateImage(TfrSpeedButton::State::Up, 2.0).size(), QSize(32, 32));
    EXPECT_EQ(b->stateImage(TfrSpeedButton::State::Disabled, 2.0).size(), QSize(32, 32));
    b->setEnabled(false);
    EXPECT_EQ(b->drawState(), TfrSpeedButton::State::Disabled);
}

TEST(ToolbarTest, SeparatorGrooveCrossesTheToolbar)
{
    QWidget dock;
    auto* panel = new QWidget(&dock);
    struct Case {
        const char* name;
        const char* dockSide;
        bool verticalGroove;
    } cases[] = {
        {"horizontal toolbar: vertical groove", "top", true},
        {"vertical toolbar: horizontal groove", "left", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dock.setProperty("align", c.dockSide);
        TfrTBSeparator sep(panel);
        sep.resize(8, 8);
        const QImage image = sep.grab().toImage();
        const QRgb shadow = sep.palette().color(QPalette::Dark).rgb();
        EXPECT_EQ(image.pixel(3, 4) == shadow, c.verticalGroove);
        EXPECT_EQ(image.pixel(4, 3) == shadow, !c.verticalGroove);
        TfrTBButton button(panel);
        EXPECT_EQ(button.Align(), c.verticalGroove ? ToolbarAlign::Left : ToolbarAlign::Top);
    }
}

} // namespace
} // namespace vaskel
