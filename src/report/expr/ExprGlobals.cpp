#include "report/expr/ExprGlobals.h"

#include "report/expr/ReportConstants.h"
#include "report/expr/TfrStdFunctionLibrary.h"

namespace vaskel {

namespace {
ExprGlobals* g_current = nullptr;
} // namespace

ExprGlobals::ExprGlobals() : m_previous(g_current)
{
    runtimeVariables.SetSorted(true);
    constants.SetSorted(true);
    g_current = this;
    ReportConstants::fill(constants);
    // The standard library loads its description texts, so it comes after this object is current.
    libraries.RegisterLibrary<TfrStdFunctionLibrary>();
}

ExprGlobals::~ExprGlobals()
{
    libraries.Clear();
    g_current = m_previous;
}

ExprGlobals& ExprGlobals::get()
{
    Q_ASSERT_X(g_current, "ExprGlobals::get", "no engine globals object exists");
    return *g_current;
}

} // namespace vaskel
