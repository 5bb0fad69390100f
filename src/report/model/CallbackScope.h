#pragma once
// The run state as expression and script callbacks see it while the engine calls into them: for
// the duration of a call the view (its brackets and its script name it as "self") or the band
// (LINE#, aggregates, the default dataset of field names) is the current one, and whatever was
// current before is current again afterwards; only what the scope set is put back. Opened by the
// views' `EmitPrepared` and `MeasureHeight` around the calls that may reach a callback, and by the
// layout engine where it evaluates expressions for a band outside its printing; drawing opens
// none, because drawing a prepared page runs no expression.
#include "report/model/RunState.h"

namespace vaskel {

class TfrBand;
class TfrView;

class CallbackScope {
public:
    explicit CallbackScope(TfrView* view);
    explicit CallbackScope(TfrBand* band);
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    RunState& m_run;
    bool m_setsView;
    TfrView* m_previousView;
    TfrBand* m_previousBand;
};

} // namespace vaskel
