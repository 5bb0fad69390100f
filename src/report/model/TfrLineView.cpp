#include "report/model/TfrLineView.h"

#include "report/model/ViewFieldTable.h"

namespace vaskel {

TfrLineView::TfrLineView()
{
    TypeCode = 4;
    NamePrefix = QStringLiteral("Line");
    FrameTyp = FrameSides::Left;
    FillColor = clWhite;
}

const ViewFieldTable& TfrLineView::Fields() const
{
    static const ViewFieldTable table(sharedViewFields(), {listingEntry("Stretched", PropFlags::Boolean)});
    return table;
}

void TfrLineView::Paint(QPainter& canvas, const PrintContext& ctx)
{
    PlaceLayout(&canvas, ctx);
    // The longer side decides the direction; the other collapses to the line itself and stays so.
    if (Height < Width) {
        Height = 0;
        FrameTyp = FrameSides::Top;
    } else {
        Width = 0;
        FrameTyp = FrameSides::Left;
    }
    ApplyZoom(ctx);
    PaintBorder(ctx);
    RestoreGeometry();
}

QRegion TfrLineView::MakeHitRegion(bool enlarged) const
{
    qint32 left = Left, top = Top, right = Left + Width + 1, bottom = Top + Height + 1;
    const double w = FrameWidth;
    qint32 before, after;
    if (FrameStyle == psDouble) {
        before = static_cast<qint32>(w * 1.5);
        after = static_cast<qint32>(static_cast<qint32>((w - 1) / 2) + w);
    } else {
        before = static_cast<qint32>(w * 0.5);
        after = static_cast<qint32>((w - 1) / 2);
    }
    if (FrameTyp == FrameSides::Left) {
        left -= before;
        right += after;
    } else {
        top -= before;
        bottom += after;
    }
    return HitRegion(left, top, right, bottom, enlarged);
}

} // namespace vaskel
