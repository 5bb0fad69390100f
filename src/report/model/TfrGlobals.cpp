#include "report/model/TfrGlobals.h"

namespace vaskel {

namespace {
TfrGlobals* g_current = nullptr;
} // namespace

TfrGlobals::TfrGlobals() : m_previous(g_current)
{
    g_current = this;
}

TfrGlobals::~TfrGlobals()
{
    g_current = m_previous;
}

TfrGlobals& TfrGlobals::get()
{
    Q_ASSERT_X(g_current, "TfrGlobals::get", "no engine globals object exists");
    return *g_current;
}

bool TfrGlobals::exists()
{
    return g_current != nullptr;
}

} // namespace vaskel
