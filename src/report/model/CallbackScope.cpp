#include "report/model/CallbackScope.h"

#include "report/model/PrintContext.h"
#include "report/model/TfrGlobals.h"

namespace vaskel {

CallbackScope::CallbackScope(TfrView* view)
    : m_run(frRun()), m_setsView(true), m_previousView(m_run.CurrentView), m_previousBand(m_run.CurrentBand)
{
    m_run.CurrentView = view;
}

CallbackScope::CallbackScope(TfrBand* band)
    : m_run(frRun()), m_setsView(false), m_previousView(m_run.CurrentView), m_previousBand(m_run.CurrentBand)
{
    m_run.CurrentBand = band;
}

CallbackScope::~CallbackScope()
{
    // A callback may have printed other bands meanwhile; only what this scope set goes back.
    if (m_setsView)
        m_run.CurrentView = m_previousView;
    else
        m_run.CurrentBand = m_previousBand;
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
