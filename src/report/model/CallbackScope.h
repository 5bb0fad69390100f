#pragma once
// The run state as expression and script callbacks see it while a view prints or measures itself:
// the view is the current view (its brackets and its script name it as "self") for the duration
// of the call, and whatever was current before is current again afterwards. Opened by the views'
// `EmitPrepared` and `MeasureHeight` around the calls that may reach a callback; drawing opens
// none, because drawing a prepared page runs no expression.
#include "report/model/RunState.h"

namespace vaskel {

class TfrView;

class CallbackScope {
public:
    explicit CallbackScope(TfrView* view);
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    RunState& m_run;
    TfrView* m_previousView;
};

} // namespace vaskel
