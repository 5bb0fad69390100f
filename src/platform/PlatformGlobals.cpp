#include "platform/PlatformGlobals.h"

#include "platform/ScriptedUi.h"

namespace vaskel {

namespace {
// The one pointer through which the engine-globals object is reached.
PlatformGlobals* g_current = nullptr;
} // namespace

PlatformGlobals::PlatformGlobals() : m_ui(std::make_unique<ScriptedUi>()), m_previous(g_current)
{
    g_current = this;
}

PlatformGlobals::~PlatformGlobals()
{
    g_current = m_previous;
}

PlatformGlobals& PlatformGlobals::get()
{
    Q_ASSERT_X(g_current, "PlatformGlobals::get", "no engine globals object exists");
    return *g_current;
}

bool PlatformGlobals::exists()
{
    return g_current != nullptr;
}

void PlatformGlobals::setUi(std::unique_ptr<UiServices> ui)
{
    Q_ASSERT(ui);
    m_ui = std::move(ui);
}

} // namespace vaskel
