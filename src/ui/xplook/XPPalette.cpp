#include "ui/xplook/XPPalette.h"

#include "ui/xplook/XPColor.h"

namespace vaskel {

using XPColor::Lighten;
using XPColor::Shade;

XPPalette XPPalette::derive(const XPMenuSettings& s, const XPSystemColors& sys, bool highColor)
{
    const auto own = [&sys](const XPColorSetting& c) { return c.resolve(sys); };
    const QColor fontColor = own(s.FontColor);
    const QColor selectText = s.SelectFontColor ? own(*s.SelectFontColor) : fontColor;
    const QColor select = own(s.SelectColor);
    // With system colours off the selection colour is used as it is, or faded with UseDimColor.
    const auto dimmedSelect = [&](int p) { return s.UseDimColor ? Lighten(select, p) : select; };

    XPPalette p;
    if (s.UseSystemColors) {
        p.SelectBorder = sys.highlight;
        p.SelectText = fontColor;
        p.CheckedFill = sys.highlight;
        p.BarFill = sys.btnFace;
        if (highColor) {
            p.MenuFill = Lighten(sys.btnFace, 86);
            p.IconFill = Lighten(sys.btnFace, 16);
            p.SelectFill = Lighten(sys.highlight, 68);
            p.FocusFill = Lighten(sys.highlight, 80);
            p.PressedFill = Lighten(sys.highlight, 50);
            p.DisabledText = Lighten(sys.btnShadow, 10);
            p.SeparatorLine = Lighten(sys.btnShadow, 25);
        } else {
            p.MenuFill = Qt::white;
            p.IconFill = sys.btnFace;
            p.SelectFill = Qt::white;
            p.FocusFill = Qt::white;
            p.PressedFill = Qt::white;
            p.DisabledText = sys.btnShadow;
            p.SeparatorLine = sys.btnShadow;
        }
    } else {
        p.MenuFill = own(s.Color);
        p.IconFill = own(s.IconBackColor);
        p.SelectBorder = own(s.SelectBorderColor);
        p.SelectText = selectText;
        p.CheckedFill = own(s.CheckedColor);
        p.BarFill = own(s.MenuBarColor);
        p.DisabledText = own(s.DisabledColor);
        p.SeparatorLine = own(s.SeparatorColor);
        if (highColor) {
            p.SelectFill = dimmedSelect(68);
            p.FocusFill = dimmedSelect(80);
            p.PressedFill = dimmedSelect(50);
        } else {
            p.SelectFill = select;
            p.FocusFill = Qt::white;
            p.PressedFill = QColor(0xC0, 0xC0, 0xC0);
        }
    }
    if (highColor) {
        p.ShadowLight = Shade(sys.btnFace, 90);
        p.ShadowDark = Shade(sys.btnFace, 76);
    } else {
        p.ShadowLight = sys.btnShadow;
        p.ShadowDark = sys.btnShadow;
    }
    return p;
}

} // namespace vaskel
