#pragma once
// Paints the flat face and border of one control over what the control painted itself: push and
// bitmap buttons, edit boxes, combo boxes, and a one-pixel frame for the other kinds. Geometry in
// widget pixels; colours from the component's palette and the system colours.
#include "ui/xplook/XPPalette.h"

#include <QPainter>

class QComboBox;
class QPushButton;

namespace vaskel {

struct XPPaintState {
    bool Hot = false;
    bool Focused = false;
    bool LeftButtonDown = false;
    bool SpaceDown = false;
    bool DroppedDown = false; // combo boxes: the list is open
};

struct XPPaintContext {
    const XPPalette& palette;
    const XPSystemColors& colors;
    XPPaintState state;
    int grayLevel = 10;
};

namespace XPControlPainter {

// The rounded flat face of a push button, or of a bitmap button with its glyph.
void paintButton(QPainter& p, const QPushButton* button, const XPPaintContext& c, bool bitmapButton);
// The one-pixel border of an edit box; `hadFrame` is the edit's border before the look took it over.
void paintEdit(QPainter& p, const QWidget* edit, const XPPaintContext& c, bool hadFrame);
// Frames, drop-down button and arrow of a combo box whose outline is `rect` in `p`'s coordinates.
void paintCombo(QPainter& p, const QComboBox* combo, const QRect& rect, const XPPaintContext& c);
// A one-pixel border in the edit box's colours, for the kinds the query window does not use.
void paintFrame(QPainter& p, const QWidget* control, const XPPaintContext& c);

// The colour a control shows behind its content, and the colour of its parent.
QColor controlColor(const QWidget* w);
QColor parentColor(const QWidget* w);

} // namespace XPControlPainter
} // namespace vaskel
