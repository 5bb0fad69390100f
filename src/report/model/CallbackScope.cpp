#include "report/model/CallbackScope.h"

#include "report/model/PrintContext.h"
#include "report/model/TfrGlobals.h"

namespace vaskel {

CallbackScope::CallbackScope(TfrView* view) : m_run(frRun()), m_previousView(m_run.CurrentView)
{
    m_run.CurrentView = view;
}

CallbackScope::~CallbackScope()
{
    m_run.CurrentView = m_previousView;
}

PrintContext PrintContext::ofRunState(const RunState& run)
{
    PrintContext c;
    c.Page = run.CurrentPage;
    c.Band = run.CurrentBand;
    c.Hooks = run.PrintHooks;
    c.PrintMode = run.PrintMode;
    c.FirstPass = run.FirstPass;
    return c;
}

} // namespace vaskel
