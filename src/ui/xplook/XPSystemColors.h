#pragma once
// The system colours the flat look names (`clBtnFace`, `clHighlight`, …) and a colour setting that
// is either one of them or a fixed colour, as the component's colour properties are. System colours
// are read from a Qt palette when the palette is derived, so a changed desktop palette is followed.
#include <QColor>
#include <QPalette>

namespace vaskel {

enum class SystemColor {
    BtnFace,
    BtnShadow,
    BtnHighlight,
    BtnText,
    Highlight,
    HighlightText,
    MenuText,
    Menu,
    InactiveCaption,
    ActiveBorder,
    Window,
    WindowText,
    GrayText
};

struct XPSystemColors {
    QColor btnFace;
    QColor btnShadow;
    QColor btnHighlight;
    QColor btnText;
    QColor highlight;
    QColor highlightText;
    QColor menuText;
    QColor menu;
    QColor inactiveCaption;
    QColor activeBorder;
    QColor window;
    QColor windowText;
    QColor grayText;

    QColor color(SystemColor c) const;
    // The desktop's colours: button face and shadow, selection, text, and the border of active
    // windows (the palette's mid tone, the grey of a window frame).
    static XPSystemColors fromPalette(const QPalette& palette);
};

// A colour property: a system colour, resolved when used, or a fixed colour.
class XPColorSetting {
public:
    XPColorSetting() = default;
    XPColorSetting(SystemColor c) : m_system(true), m_role(c) { }
    XPColorSetting(const QColor& c) : m_fixed(c) { }

    bool isSystem() const { return m_system; }
    SystemColor systemColor() const { return m_role; }
    QColor resolve(const XPSystemColors& colors) const { return m_system ? colors.color(m_role) : m_fixed; }
    bool operator==(const XPColorSetting& o) const
    {
        return m_system == o.m_system && (m_system ? m_role == o.m_role : m_fixed == o.m_fixed);
    }

private:
    bool m_system = false;
    SystemColor m_role = SystemColor::BtnFace;
    QColor m_fixed;
};

} // namespace vaskel
