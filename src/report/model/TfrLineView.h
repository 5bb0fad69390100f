#pragma once
// A horizontal or vertical line. It lies along the view's top edge (`FrameTyp` 8) or left edge
// (`FrameTyp` 4) and is drawn with the frame settings; `FillColor` colours the middle line of the
// double style and the gaps of dashed lines. It stretches with its band and can be split anywhere.
#include "report/model/TfrStretcheable.h"

namespace vaskel {

class TfrLineView : public TfrStretcheable {
public:
    TfrLineView();

    QString ClassName() const override { return QStringLiteral("TfrLineView"); }
    const ViewFieldTable& Fields() const override;
    void Paint(QPainter& canvas, const PrintContext& ctx) override;
    QRegion MakeHitRegion(bool enlarged) const override;

    qint32 MeasureHeight(const PrintContext&) override { return Height; }
    qint32 MinimumHeight() override { return 1; }
    qint32 LeftoverHeight() override { return 0; }
};

} // namespace vaskel
