#include "ui/xplook/TXPMenuManager.h"

#include "ui/xplook/TXPMenu.h"

#include <QTimer>
#include <QWidget>

namespace vaskel {

namespace {

// The one manager of the process. The flat look lives in the widget layer, apart from the
// engine's globals; the pointer is set by the first component and cleared with the last.
TXPMenuManager* g_manager = nullptr;

} // namespace

TXPMenuManager* TXPMenuManager::instance()
{
    return g_manager;
}

void TXPMenuManager::registerMenu(TXPMenu* menu)
{
    if (!g_manager)
        g_manager = new TXPMenuManager;
    g_manager->m_menus.append(menu);
}

void TXPMenuManager::unregisterMenu(TXPMenu* menu, const QList<QWidget*>& windowsItTreated)
{
    if (!g_manager)
        return;
    g_manager->m_menus.removeAll(menu);
    if (g_manager->m_menus.isEmpty()) {
        delete g_manager;
        g_manager = nullptr;
        return;
    }
    // Another active component takes over what the one in charge had painted.
    if (TXPMenu* next = g_manager->inCharge()) {
        for (QWidget* w : windowsItTreated)
            next->treat(w);
    }
}

TXPMenu* TXPMenuManager::inCharge() const
{
    for (TXPMenu* m : m_menus) {
        if (m->isActive() && !m->settings().DisableSubclassing)
            return m;
    }
    return nullptr;
}

void TXPMenuManager::notifyInserted(QWidget* widget)
{
    if (!widget || m_pending.contains(widget))
        return;
    m_pending.append(widget);
    if (!m_scheduled) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &TXPMenuManager::treatPending);
    }
}

void TXPMenuManager::notifyRemoved(QWidget* widget)
{
    m_pending.removeAll(widget);
}

void TXPMenuManager::treatPending()
{
    m_scheduled = false;
    const QList<QPointer<QWidget>> pending = std::exchange(m_pending, {});
    TXPMenu* menu = inCharge();
    if (!menu)
        return;
    for (const QPointer<QWidget>& w : pending) {
        if (w)
            menu->treatInserted(w);
    }
}

} // namespace vaskel
