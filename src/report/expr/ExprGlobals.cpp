#include "report/expr/ExprGlobals.h"

namespace vaskel {

namespace {
ExprGlobals* g_current = nullptr;
} // namespace

ExprGlobals::ExprGlobals() : m_previous(g_current)
{
    runtimeVariables.SetSorted(true);
    constants.SetSorted(true);
    g_current = this;
}

ExprGlobals::~ExprGlobals()
{
    g_current = m_previous;
}

ExprGlobals& ExprGlobals::get()
{
    Q_ASSERT_X(g_current, "ExprGlobals::get", "no engine globals object exists");
    return *g_current;
}

} // namespace vaskel
