#pragma once
// Colours as templates store them: 32-bit window-system values 0x00BBGGRR. 0x1FFFFFFF means no
// colour; values with the high byte 0xFF name a system colour (0xFF00000F is the button face),
// which this system draws with fixed stand-ins so that output does not depend on a desktop theme.
#include <QColor>
#include <QtGlobal>

namespace vaskel::ReportColor {

inline QColor toQColor(quint32 c)
{
    if ((c & 0xFF000000u) == 0xFF000000u) {
        switch (c & 0xFFu) {
        case 0x05: // window
        case 0x0E: // highlight text
        case 0x14: // button highlight
            return QColor(255, 255, 255);
        case 0x0F: // button face
        case 0x04: // menu
            return QColor(240, 240, 240);
        case 0x10: // button shadow
        case 0x11: // grey text
            return QColor(160, 160, 160);
        case 0x0D: // highlight
            return QColor(0, 120, 215);
        default:
            return QColor(0, 0, 0);
        }
    }
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace vaskel::ReportColor
