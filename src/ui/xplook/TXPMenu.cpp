#include "ui/xplook/TXPMenu.h"

#include "ui/xplook/TXPMenuManager.h"
#include "ui/xplook/XPControlKinds.h"
#include "ui/xplook/XPMenuStyle.h"

#include <QApplication>
#include <QChildEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

namespace vaskel {

using namespace XPControlKinds;

TXPMenu::TXPMenu(QWidget* owner) : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("xmPer"));
    m_settings.Font = QApplication::font("QMenu");
    m_menuStyle = std::make_unique<XPMenuStyle>(this);
    derivePalette();
    TXPMenuManager::registerMenu(this);
}

TXPMenu::~TXPMenu()
{
    const QList<QWidget*> windows = treatedWindows();
    const TXPMenuManager* manager = TXPMenuManager::instance();
    const bool wasInCharge = manager && manager->inCharge() == this;
    setActive(false);
    TXPMenuManager::unregisterMenu(this, wasInCharge ? windows : QList<QWidget*>());
}

void TXPMenu::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active) {
        derivePalette();
        if (m_owner) {
            m_owner->installEventFilter(this);
            treat(m_owner);
        }
    } else {
        if (m_owner)
            m_owner->removeEventFilter(this);
        for (const QWidget* w : treatedWindows())
            untreat(const_cast<QWidget*>(w));
        m_windows.clear();
        // Whatever is left (controls inserted later, windows already gone) is given back too.
        m_records.clear();
        for (const QPointer<QWidget>& menu : std::exchange(m_menus, {})) {
            if (menu && menu->style() == m_menuStyle.get())
                menu->setStyle(nullptr);
        }
    }
}

void TXPMenu::setSettings(const XPMenuSettings& settings)
{
    m_settings = settings;
    derivePalette();
    repaintAll();
}

const XPPalette& TXPMenu::derivePalette()
{
    m_palette = XPPalette::derive(m_settings, systemColors(), highColor());
    return m_palette;
}

XPSystemColors TXPMenu::systemColors() const
{
    return XPSystemColors::fromPalette(QApplication::palette());
}

bool TXPMenu::highColor() const
{
    const QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    return !screen || screen->depth() > 15;
}

TControlSubClass* TXPMenu::subclassOf(const QWidget* control) const
{
    const auto it = m_records.find(control);
    return it == m_records.end() ? nullptr : it->second.get();
}

bool TXPMenu::drawsMenu(const QMenu* menu) const
{
    return menu && menu->style() == m_menuStyle.get();
}

QList<QWidget*> TXPMenu::treatedWindows() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& w : m_windows) {
        if (w)
            out << w;
    }
    return out;
}

void TXPMenu::treat(QWidget* window)
{
    if (!m_active || !window || m_windows.contains(window))
        return;
    m_windows << window;
    // Menus anywhere under the window (a popup menu is a window of its own, parented to its owner).
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
        if (m_settings.hasControl(xcMainMenu))
            treatMenu(bar);
    }
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        if (m_settings.hasControl(xcPopupMenu))
            treatMenu(menu);
    }
    if (m_settings.DisableSubclassing)
        return;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        treatWidget(child);
}

void TXPMenu::treatInserted(QWidget* widget)
{
    if (!m_active || !widget)
        return;
    if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget)) {
        treatMenu(widget);
        return;
    }
    if (!m_settings.DisableSubclassing)
        treatWidget(widget);
}

void TXPMenu::treatWidget(QWidget* w)
{
    if (w->isWindow() || m_records.count(w))
        return;
    if (isSelected(w, m_settings)) {
        if (const auto kind = controlKind(w); kind && *kind != xcMainMenu && *kind != xcPopupMenu) {
            auto record = std::make_unique<TControlSubClass>(w, *kind, this);
            // Tied to the record: the connection goes with it.
            connect(w, &QObject::destroyed, record.get(), [this, w] { forget(w); });
            m_records.emplace(w, std::move(record));
        }
    }
    // Controls on panels, group boxes, frames and tab pages are reached through their container.
    if (containerKind(w) && tagOf(w) != kUntouchedTag) {
        for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            treatWidget(child);
    }
}

void TXPMenu::treatMenu(QWidget* menu)
{
    if (tagOf(menu) == kUntouchedTag || menu->style() == m_menuStyle.get())
        return;
    // A menu that draws itself already keeps its own drawing unless OverrideOwnerDraw.
    if (menu->testAttribute(Qt::WA_SetStyle) && !m_settings.OverrideOwnerDraw)
        return;
    menu->setStyle(m_menuStyle.get());
    m_menus << menu;
}

void TXPMenu::untreat(QWidget* window)
{
    for (auto it = m_records.begin(); it != m_records.end();) {
        QWidget* control = it->second->control();
        if (!control || control == window || window->isAncestorOf(control))
            it = m_records.erase(it);
        else
            ++it;
    }
    for (qsizetype i = m_menus.size() - 1; i >= 0; --i) {
        QWidget* menu = m_menus[i];
        if (!menu || window->isAncestorOf(menu) || menu->parent() == window) {
            if (menu && menu->style() == m_menuStyle.get())
                menu->setStyle(nullptr);
            m_menus.removeAt(i);
        }
    }
    m_windows.removeAll(window);
}

void TXPMenu::forget(QWidget* control)
{
    // The control is being destroyed: there is nothing to give back, only the record to drop.
    const auto it = m_records.find(control);
    if (it == m_records.end())
        return;
    std::unique_ptr<TControlSubClass> record = std::move(it->second);
    m_records.erase(it);
    record.reset();
}

void TXPMenu::repaintAll()
{
    for (const auto& [control, record] : m_records) {
        if (record->control())
            record->control()->update();
    }
}

bool TXPMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && m_active) {
        TXPMenuManager* manager = TXPMenuManager::instance();
        if (event->type() == QEvent::ChildPolished && m_settings.AutoDetect) {
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                treatInserted(w);
        } else if (event->type() == QEvent::ChildAdded && manager) {
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                manager->notifyInserted(w);
        } else if (event->type() == QEvent::ChildRemoved && manager) {
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                manager->notifyRemoved(w);
        }
    }
    return false;
}

} // namespace vaskel
