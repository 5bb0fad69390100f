#pragma once
// The colours the flat look paints with, derived from the component's settings, the system
// colours and the colour depth of the screen (high colour: more than 15 bits per pixel). Menus
// derive it afresh each time they draw; buttons, edits and combo boxes use the one last derived.
#include "ui/xplook/XPMenuSettings.h"

namespace vaskel {

struct XPPalette {
    QColor MenuFill;
    QColor IconFill;
    QColor SelectFill;
    QColor SelectBorder;
    QColor SelectText;
    QColor FocusFill;
    QColor PressedFill;
    QColor CheckedFill;
    QColor BarFill;
    QColor DisabledText;
    QColor SeparatorLine;
    QColor ShadowLight;
    QColor ShadowDark;
    // Percentages towards white: a face that follows its parent's colour, and a hot face.
    static constexpr int ParentTint = 16;
    static constexpr int HotTint = 40;

    static XPPalette derive(const XPMenuSettings& settings, const XPSystemColors& colors, bool highColor);
};

} // namespace vaskel
