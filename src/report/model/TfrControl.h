#pragma once
// A view that hosts a window control on a dialog page. No class of this system derives from it;
// it exists so that dialog pages can hold controls. The report core never links the window
// toolkit, so the hosted control itself is left to a subclass that brings one.
#include "report/model/TfrView.h"

namespace vaskel {

class TfrControl : public TfrView {
public:
    TfrControl();

    QString ClassName() const override { return QStringLiteral("TfrControl"); }
    const ViewFieldTable& Fields() const override;
    void Paint(QPainter& canvas, const PrintContext& ctx) override;
    // Draws the hosted control into (`Left`, `Top`); nothing without one.
    virtual void PaintControl() { }
};

} // namespace vaskel
