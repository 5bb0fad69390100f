#pragma once
// Which Qt widgets count as which kind of control and of parent for the flat look's selection
// (`XPControls`, `XPContainers`), and the `Tag` rules. Widgets carry `Tag` as the dynamic property
// "tag" (an integer, 0 when absent). Data grids, labels and scroll bars are no kind at all, so the
// look never paints them.
#include "ui/xplook/XPMenuSettings.h"

#include <QWidget>

#include <optional>

namespace vaskel::XPControlKinds {

// A `Tag` of 999 keeps a control, a parent or a menu as it is.
constexpr int kUntouchedTag = 999;
// A push button or combo box whose face follows its parent's colour.
constexpr int kParentColorTag = 1000;
// Bitmap buttons test bits: all bits of 1001 set: border in the face colour, no edge line.
constexpr int kFaceBorderTag = 1001;
// Bitmap buttons: all bits of 1002 set: the caption inset by 4 pixels across and 2 down.
constexpr int kInsetCaptionTag = 1002;

int tagOf(const QObject* object);
inline bool hasTagBits(int tag, int bits)
{
    return (tag & bits) == bits;
}

std::optional<TXPControl> controlKind(const QWidget* w);
std::optional<TXPContainer> containerKind(const QWidget* w);

// True when the look may paint `w`: its kind and its parent's kind are selected and neither
// carries Tag 999.
bool isSelected(const QWidget* w, const XPMenuSettings& settings);

} // namespace vaskel::XPControlKinds
