#pragma once
// Where a toolbar control sits on its toolbar: buttons and separators follow the direction of the
// toolbar they are put on. A toolbar panel is vertical when the widget holding it carries the
// dynamic property "align" with the value "left" or "right" (a toolbar docked at a side).
#include <QWidget>

namespace vaskel {

enum class ToolbarAlign { Left, Top, Right, Bottom };

// The alignment a control takes when placed on `panel`: top on a vertical toolbar, else left.
inline ToolbarAlign alignmentOnToolbar(const QWidget* panel)
{
    const QWidget* holder = panel ? panel->parentWidget() : nullptr;
    const QString side = holder ? holder->property("align").toString() : QString();
    return side == QLatin1String("left") || side == QLatin1String("right") ? ToolbarAlign::Top
                                                                           : ToolbarAlign::Left;
}

} // namespace vaskel
