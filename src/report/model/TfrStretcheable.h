#pragma once
// A view whose height can grow with its content and be split across pages: the memo and the line.
// `SplitMode` tells the next `EmitPrepared` what the band printing did with the view.
#include "report/model/TfrView.h"

namespace vaskel {

// What the next `EmitPrepared` of a stretcheable view prints; the values are the ones the band
// printing has always used.
enum class SplitStep : quint8 {
    Whole = 0, // expand and print the whole content
    Measured = 1, // print the text `MeasureHeight` just expanded and wrapped
    Remainder = 2, // print only the lines that fit; the rest waits for the next page
};

class TfrStretcheable : public TfrView {
public:
    SplitStep SplitMode = SplitStep::Whole;

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

    Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c) override;
};

} // namespace vaskel
