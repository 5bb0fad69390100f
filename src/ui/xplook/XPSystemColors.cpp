#include "ui/xplook/XPSystemColors.h"

namespace vaskel {

QColor XPSystemColors::color(SystemColor c) const
{
    switch (c) {
    case SystemColor::BtnFace:
        return btnFace;
    case SystemColor::BtnShadow:
        return btnShadow;
    case SystemColor::BtnHighlight:
        return btnHighlight;
    case SystemColor::BtnText:
        return btnText;
    case SystemColor::Highlight:
        return highlight;
    case SystemColor::HighlightText:
        return highlightText;
    case SystemColor::MenuText:
        return menuText;
    case SystemColor::Menu:
        return menu;
    case SystemColor::InactiveCaption:
        return inactiveCaption;
    case SystemColor::ActiveBorder:
        return activeBorder;
    case SystemColor::Window:
        return window;
    case SystemColor::WindowText:
        return windowText;
    case SystemColor::GrayText:
        return grayText;
    }
    return {};
}

XPSystemColors XPSystemColors::fromPalette(const QPalette& p)
{
    XPSystemColors s;
    s.btnFace = p.color(QPalette::Active, QPalette::Button);
    s.btnShadow = p.color(QPalette::Active, QPalette::Dark);
    s.btnHighlight = p.color(QPalette::Active, QPalette::Light);
    s.btnText = p.color(QPalette::Active, QPalette::ButtonText);
    s.highlight = p.color(QPalette::Active, QPalette::Highlight);
    s.highlightText = p.color(QPalette::Active, QPalette::HighlightedText);
    s.menuText = p.color(QPalette::Active, QPalette::WindowText);
    s.menu = p.color(QPalette::Active, QPalette::Window);
    // The caption of an inactive window: the selection colour as an unfocused window shows it,
    // faded towards white.
    const QColor inactive = p.color(QPalette::Inactive, QPalette::Highlight);
    s.inactiveCaption = QColor(
        (inactive.red() + 2 * 255) / 3, (inactive.green() + 2 * 255) / 3, (inactive.blue() + 2 * 255) / 3);
    s.activeBorder = p.color(QPalette::Active, QPalette::Mid);
    s.window = p.color(QPalette::Active, QPalette::Base);
    s.windowText = p.color(QPalette::Active, QPalette::Text);
    s.grayText = p.color(QPalette::Disabled, QPalette::Text);
    return s;
}

} // namespace vaskel
