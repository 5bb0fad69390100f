// The colour functions and the derived palette of the flat look, against values worked out by hand
// from known system colours (those of a classic desktop: button face 236,233,216, button shadow
// 172,168,153, selection 49,106,197).
#include "ui/xplook/XPColor.h"
#include "ui/xplook/XPPalette.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using namespace XPColor;

std::string text(const QColor& c)
{
    return QStringLiteral("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()).toStdString();
}

TEST(XPColor, FunctionsRoundAndClampAsDocumented)
{
    struct Case {
        const char* name;
        QColor got;
        QColor want;
    } cases[] = {
        {"Shade subtracts, green keeps 2 back", Shade(QColor(100, 100, 100), 50), QColor(50, 52, 50)},
        {"Shade clamps at 0 and 255", Shade(QColor(10, 254, 255), 20), QColor(0, 236, 235)},
        {"Shade by 0 can push green past 255", Shade(QColor(0, 254, 0), 0), QColor(0, 255, 0)},
        {"Lighten rounds, ties to even", Lighten(QColor(49, 106, 197), 50), QColor(152, 180, 226)},
        {"Lighten 0 changes nothing", Lighten(QColor(1, 2, 3), 0), QColor(1, 2, 3)},
        {"Lighten beyond 100 is 100", Lighten(QColor(1, 2, 3), 150), QColor(255, 255, 255)},
        {"Gray averages (rounding down) and adds", Gray(QColor(10, 20, 31), 10), QColor(30, 30, 30)},
        {"Gray stops at 240", Gray(QColor(250, 250, 250), 10), QColor(240, 240, 240)},
        {"Average per byte", Average(QColor(0, 255, 11), QColor(255, 0, 20)), QColor(127, 127, 15)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text(c.got), text(c.want));
    }
}

TEST(XPColor, GrayedAndDimmedPicturesKeepTransparency)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 100, 0, 255));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QImage gray = grayed(image, 10);
    EXPECT_EQ(gray.pixel(0, 0), qRgba(110, 110, 110, 255));
    EXPECT_EQ(qAlpha(gray.pixel(1, 0)), 0);
    const QImage dim = dimmed(image, 30);
    EXPECT_EQ(dim.pixel(0, 0), qRgba(216, 146, 76, 255)) << "16.5, 46.5 and 76.5 round to even";
    EXPECT_EQ(qAlpha(dim.pixel(1, 0)), 0);
}

XPSystemColors classicColors()
{
    XPSystemColors s;
    s.btnFace = QColor(236, 233, 216);
    s.btnShadow = QColor(172, 168, 153);
    s.highlight = QColor(49, 106, 197);
    s.menuText = QColor(0, 0, 0);
    s.inactiveCaption = QColor(122, 150, 223);
    return s;
}

// Settings with every colour fixed and distinct, for the rows with system colours off.
XPMenuSettings ownColors(bool dim)
{
    XPMenuSettings s;
    s.UseSystemColors = false;
    s.UseDimColor = dim;
    s.Color = QColor(250, 240, 230);
    s.IconBackColor = QColor(200, 200, 255);
    s.MenuBarColor = QColor(10, 20, 30);
    s.SelectColor = QColor(100, 150, 200);
    s.SelectBorderColor = QColor(1, 2, 3);
    s.SelectFontColor = XPColorSetting(QColor(9, 9, 9));
    s.DisabledColor = QColor(128, 0, 0);
    s.SeparatorColor = QColor(0, 128, 0);
    s.CheckedColor = QColor(0, 0, 128);
    return s;
}

TEST(XPPalette, DerivedEntriesByDepthAndSystemColors)
{
    const QColor white(255, 255, 255);
    const QColor face(236, 233, 216), shadow(172, 168, 153), highlight(49, 106, 197), black(0, 0, 0);
    const QColor highShadowLight(146, 145, 126), highShadowDark(160, 159, 140);
    struct Case {
        const char* name;
        XPMenuSettings settings;
        bool highColor;
        // MenuFill, IconFill, SelectFill, SelectBorder, SelectText, FocusFill, PressedFill,
        // CheckedFill, BarFill, DisabledText, SeparatorLine, ShadowLight, ShadowDark
        QColor want[13];
    } cases[] = {
        {"high colour, system colours", XPMenuSettings(), true,
            {QColor(252, 252, 250), QColor(239, 237, 222), QColor(189, 207, 236), highlight, black,
                QColor(214, 225, 243), QColor(152, 180, 226), highlight, face, QColor(180, 177, 163),
                QColor(193, 190, 179), highShadowLight, highShadowDark}},
        {"low colour, system colours", XPMenuSettings(), false,
            {white, face, white, highlight, black, white, white, highlight, face, shadow, shadow, shadow,
                shadow}},
        {"high colour, own colours", ownColors(false), true,
            {QColor(250, 240, 230), QColor(200, 200, 255), QColor(100, 150, 200), QColor(1, 2, 3),
                QColor(9, 9, 9), QColor(100, 150, 200), QColor(100, 150, 200), QColor(0, 0, 128),
                QColor(10, 20, 30), QColor(128, 0, 0), QColor(0, 128, 0), highShadowLight, highShadowDark}},
        {"high colour, own colours dimmed", ownColors(true), true,
            {QColor(250, 240, 230), QColor(200, 200, 255), QColor(205, 221, 237), QColor(1, 2, 3),
                QColor(9, 9, 9), QColor(224, 234, 244), QColor(178, 202, 228), QColor(0, 0, 128),
                QColor(10, 20, 30), QColor(128, 0, 0), QColor(0, 128, 0), highShadowLight, highShadowDark}},
        {"low colour, own colours", ownColors(true), false,
            {QColor(250, 240, 230), QColor(200, 200, 255), QColor(100, 150, 200), QColor(1, 2, 3),
                QColor(9, 9, 9), white, QColor(192, 192, 192), QColor(0, 0, 128), QColor(10, 20, 30),
                QColor(128, 0, 0), QColor(0, 128, 0), shadow, shadow}},
    };
    const char* names[13]
        = {"MenuFill", "IconFill", "SelectFill", "SelectBorder", "SelectText", "FocusFill", "PressedFill",
            "CheckedFill", "BarFill", "DisabledText", "SeparatorLine", "ShadowLight", "ShadowDark"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const XPPalette p = XPPalette::derive(c.settings, classicColors(), c.highColor);
        const QColor got[13]
            = {p.MenuFill, p.IconFill, p.SelectFill, p.SelectBorder, p.SelectText, p.FocusFill, p.PressedFill,
                p.CheckedFill, p.BarFill, p.DisabledText, p.SeparatorLine, p.ShadowLight, p.ShadowDark};
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(text(got[i]), text(c.want[i])) << names[i];
    }
    EXPECT_EQ(XPPalette::ParentTint, 16);
    EXPECT_EQ(XPPalette::HotTint, 40);
}

TEST(XPPalette, SelectTextFollowsTheFontColourUnlessSet)
{
    XPMenuSettings s = ownColors(false);
    s.FontColor = QColor(1, 1, 1);
    s.SelectFontColor.reset();
    EXPECT_EQ(text(XPPalette::derive(s, classicColors(), true).SelectText), "(1,1,1)");
}

} // namespace
} // namespace vaskel
