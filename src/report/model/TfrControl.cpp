#include "report/model/TfrControl.h"

#include "report/model/ViewFieldTable.h"

namespace vaskel {

TfrControl::TfrControl()
{
    FillColor = clBtnFace;
    FrameTyp = 0;
}

const ViewFieldTable& TfrControl::Fields() const
{
    static const ViewFieldTable table(listingOnly(
        sharedViewFields(), {"Name", "Left", "Top", "Width", "Height", "Visible", "Restrictions"}));
    return table;
}

void TfrControl::Paint(QPainter& canvas, const PrintContext& ctx)
{
    PlaceLayout(&canvas, ctx);
    ApplyZoom(ctx);
    PaintControl();
    RestoreGeometry();
}

} // namespace vaskel
