#include "report/model/TfrGlobals.h"

#include "platform/SettingsStore.h"

namespace vaskel {

namespace {
TfrGlobals* g_current = nullptr;
} // namespace

TfrGlobals::TfrGlobals() : m_previous(g_current)
{
    g_current = this;
    startPrinter(nullptr);
    // A value that is missing, not a number or below one page keeps the default.
    const int stored = SettingsStore().readInteger(QLatin1String(kMaxPagesKey), kDefaultMaxPreparedPages);
    maxPreparedPages = stored >= 1 ? stored : kDefaultMaxPreparedPages;
}

TfrGlobals::~TfrGlobals()
{
    g_current = m_previous;
}

void TfrGlobals::startPrinter(std::unique_ptr<PrinterBackend> backend)
{
    m_printerReady = false;
    m_printer.reset();
    m_printerBackend = std::move(backend);
    m_printer = TfrPrinter::startUp(m_printerBackend.get());
    m_printerReady = true;
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
