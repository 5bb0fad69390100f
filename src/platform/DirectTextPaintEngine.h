#pragma once
// A paint engine that draws a line of plain text itself, from the glyphs and advances of the
// font's own tables, where a painter would first lay the line out (shape it): in a long report that
// layout is much of the cost of every line, and the line's glyphs stand one to a character anyway.
// The engine declines a line it cannot place exactly where the painter's layout would put it; the
// line then goes through the painter as usual.
#include <QPaintEngine>
#include <QStringView>

namespace vaskel {

class DirectTextPaintEngine : public QPaintEngine {
public:
    static constexpr Type kType = Type(QPaintEngine::User + 0x57);

    using QPaintEngine::QPaintEngine;
    Type type() const override { return kType; }

    // Draws `text` left to right with its baseline from `baseline` (the painter's logical
    // coordinates) in `font` and the painter's pen; false, with nothing drawn, when the line needs
    // the painter's layout.
    virtual bool drawTextLine(const QPointF& baseline, const QFont& font, QStringView text) = 0;
};

} // namespace vaskel
