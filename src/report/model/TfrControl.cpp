#include "report/model/TfrControl.h"

namespace vaskel {

TfrControl::TfrControl()
{
    FillColor = clBtnFace;
    FrameTyp = 0;
}

void TfrControl::BuildPropertyTable()
{
    ClearPropertyTable();
    AppendProperty(QStringLiteral("Name"), PropFlags::Named | PropFlags::Text);
    for (const char* geometry : {"Left", "Top", "Width", "Height"})
        AppendProperty(QString::fromLatin1(geometry), PropFlags::ReportUnits);
    AppendProperty(QStringLiteral("Visible"), PropFlags::Boolean);
    AppendProperty(QStringLiteral("Restrictions"), PropFlags::Editor);
}

void TfrControl::Paint(QPainter& canvas, const PrintContext& ctx)
{
    PlaceLayout(&canvas, ctx);
    ApplyZoom(ctx);
    PaintControl();
    RestoreGeometry();
}

} // namespace vaskel
