#pragma once
// The process's list of flat-look components. It exists from the first `TXPMenu` to the last and
// names "the component in charge": the first active one that may take over controls (without
// `DisableSubclassing`). Widgets inserted into a treated window are queued and taken over by the
// component in charge when the event loop next turns; when the component in charge goes, the next
// active one takes over the windows it had treated.
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace vaskel {

class TXPMenu;

class TXPMenuManager : public QObject {
    Q_OBJECT
public:
    // The manager, or null while no component exists.
    static TXPMenuManager* instance();

    static void registerMenu(TXPMenu* menu);
    // Called by a component's destructor after it gave its controls back; a component that was
    // in charge passes the windows it had treated, for the next one to take over.
    static void unregisterMenu(TXPMenu* menu, const QList<QWidget*>& windowsItTreated);

    TXPMenu* inCharge() const;
    const QList<TXPMenu*>& menus() const { return m_menus; }
    int pendingWindows() const { return static_cast<int>(m_pending.size()); }

    // Notifications from components about widgets inserted into or removed from their windows.
    void notifyInserted(QWidget* widget);
    void notifyRemoved(QWidget* widget);
    // Treats the queued widgets with the component in charge.
    void treatPending();

private:
    TXPMenuManager() = default;

    QList<TXPMenu*> m_menus; // not owned: each component registers and unregisters itself
    QList<QPointer<QWidget>> m_pending;
    bool m_scheduled = false;
};

} // namespace vaskel
