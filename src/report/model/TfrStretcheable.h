#pragma once
// A view whose height can grow with its content and be split across pages: the memo and the line.
// `SplitMode` tells the next `EmitPrepared` what the band printing did with the view: 0 print it
// whole, 1 reuse the text `MeasureHeight` just measured, 2 print only the remainder that fits.
#include "report/model/TfrView.h"

namespace vaskel {

class TfrStretcheable : public TfrView {
public:
    quint8 SplitMode = 0;

    // Height the whole content needs, as printing in `ctx` would lay it out; script method
    // "CALCHEIGHT". Report units.
    virtual qint32 MeasureHeight(const PrintContext& ctx) = 0;
    // Height of the smallest printable part.
    virtual qint32 MinimumHeight() = 0;
    // Height below the last whole line of the current rectangle.
    virtual qint32 LeftoverHeight() = 0;
    // The band printing has finished splitting the view's band: the next split starts from this
    // record's content again.
    virtual void EndSplit() { }

    Value CallMethod(
        const QString& name, const Value& a, const Value& b, const Value& c) override;
};

} // namespace vaskel
