#pragma once
// The flat-look component of a window (`xmPer` on the query window). While `Active` it takes over
// the window's selected controls (push and bitmap buttons, edit and combo boxes, and the other
// kinds of `XPControls` on parents of the kinds in `XPContainers`) and draws its menus itself;
// switching it off, or destroying it, gives every control back exactly as it was.
//
// A QObject child of its owner window. Controls are reached through the owner's widget tree:
// containers (panels, group boxes, frames, tab pages) are walked in turn. Controls and the
// component may be destroyed in either order.
#include "ui/xplook/TControlSubClass.h"
#include "ui/xplook/XPMenuSettings.h"
#include "ui/xplook/XPPalette.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

class QMenu;
class QWidget;

namespace vaskel {

class XPMenuStyle;

class TXPMenu : public QObject {
    Q_OBJECT
public:
    explicit TXPMenu(QWidget* owner);
    ~TXPMenu() override;

    QWidget* owner() const { return m_owner; }

    bool isActive() const { return m_active; }
    void setActive(bool active);

    const XPMenuSettings& settings() const { return m_settings; }
    // New settings: the palette is derived again and painted controls repaint.
    void setSettings(const XPMenuSettings& settings);

    // The palette as last derived (buttons, edits and combo boxes paint with it).
    const XPPalette& palette() const { return m_palette; }
    // Derives the palette from the settings, the system colours and the owner's colour depth.
    const XPPalette& derivePalette();
    XPSystemColors systemColors() const;
    bool highColor() const;

    // The record of a painted control; null when the control is not painted.
    TControlSubClass* subclassOf(const QWidget* control) const;
    int paintedControls() const { return static_cast<int>(m_records.size()); }
    bool drawsMenu(const QMenu* menu) const;

    // Takes over the selected controls of `window` and its containers, and its menus; gives them
    // back. The owner is treated on activation; the manager hands other windows in.
    void treat(QWidget* window);
    void untreat(QWidget* window);
    QList<QWidget*> treatedWindows() const;
    // Takes over one control inserted after activation (and what it contains).
    void treatInserted(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void treatWidget(QWidget* w);
    void treatMenu(QWidget* menu);
    void forget(QWidget* control);
    void repaintAll();

    QPointer<QWidget> m_owner;
    bool m_active = false;
    XPMenuSettings m_settings;
    XPPalette m_palette;
    std::unique_ptr<XPMenuStyle> m_menuStyle;
    std::map<const QWidget*, std::unique_ptr<TControlSubClass>> m_records;
    QList<QPointer<QWidget>> m_menus; // menus and menu bars drawn by this component
    QList<QPointer<QWidget>> m_windows; // windows this component treated
};

} // namespace vaskel
