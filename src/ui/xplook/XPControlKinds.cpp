#include "ui/xplook/XPControlKinds.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace vaskel::XPControlKinds {

int tagOf(const QObject* object)
{
    return object ? object->property("tag").toInt() : 0;
}

std::optional<TXPControl> controlKind(const QWidget* w)
{
    if (!w || w->isWindow())
        return std::nullopt;
    if (qobject_cast<const QMenuBar*>(w))
        return xcMainMenu;
    if (qobject_cast<const QMenu*>(w))
        return xcPopupMenu;
    if (qobject_cast<const QToolBar*>(w))
        return xcToolbar;
    if (qobject_cast<const QDockWidget*>(w))
        return xcControlbar;
    if (qobject_cast<const QComboBox*>(w))
        return xcCombo;
    if (const auto* le = qobject_cast<const QLineEdit*>(w))
        return le->inputMask().isEmpty() ? xcEdit : xcMaskEdit;
    if (qobject_cast<const QPlainTextEdit*>(w))
        return xcMemo;
    if (qobject_cast<const QTextEdit*>(w))
        return xcRichEdit;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return xcMiscEdit;
    if (qobject_cast<const QKeySequenceEdit*>(w))
        return xcHotKey;
    if (qobject_cast<const QCheckBox*>(w))
        return xcCheckBox;
    if (qobject_cast<const QRadioButton*>(w))
        return xcRadioButton;
    if (const auto* b = qobject_cast<const QPushButton*>(w))
        return b->icon().isNull() ? xcButton : xcBitBtn;
    if (qobject_cast<const QToolButton*>(w))
        return qobject_cast<const QToolBar*>(w->parentWidget()) ? std::nullopt : std::optional(xcSpeedButton);
    if (qobject_cast<const QGroupBox*>(w))
        return xcGroupBox;
    if (qobject_cast<const QTreeView*>(w))
        return xcTreeView;
    if (const auto* lv = qobject_cast<const QListView*>(w))
        return lv->viewMode() == QListView::IconMode ? xcListView : xcListBox;
    if (qobject_cast<const QProgressBar*>(w))
        return xcProgressBar;
    // A plain frame with a visible border is a panel; table views and other scroll areas are not
    // controls of the look.
    if (w->metaObject() == &QFrame::staticMetaObject)
        return xcPanel;
    return std::nullopt;
}

std::optional<TXPContainer> containerKind(const QWidget* w)
{
    if (!w)
        return std::nullopt;
    if (w->isWindow())
        return xccForm;
    if (qobject_cast<const QToolBar*>(w))
        return xccToolbar;
    if (qobject_cast<const QDockWidget*>(w))
        return xccControlbar;
    if (qobject_cast<const QGroupBox*>(w))
        return xccGroupBox;
    const QWidget* parent = w->parentWidget();
    // The page of a tab widget sits in the tab widget's stack.
    if (parent && qobject_cast<const QStackedWidget*>(parent)
        && qobject_cast<const QTabWidget*>(parent->parentWidget()))
        return xccTabSheet;
    // The widget shown inside a scroll area sits on the area's viewport.
    if (parent && qobject_cast<const QScrollArea*>(parent->parentWidget())
        && static_cast<const QScrollArea*>(parent->parentWidget())->viewport() == parent)
        return xccScrollBox;
    if (w->metaObject() == &QFrame::staticMetaObject || w->metaObject() == &QWidget::staticMetaObject) {
        // A viewport is part of its scroll area, not a panel of the window.
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(parent);
            area && area->viewport() == w)
            return std::nullopt;
        return xccPanel;
    }
    // A composite widget of the program's own (a class Qt does not define) is a frame.
    if (!QByteArray(w->metaObject()->className()).startsWith('Q'))
        return xccFrame;
    return std::nullopt;
}

bool isSelected(const QWidget* w, const XPMenuSettings& settings)
{
    const auto kind = controlKind(w);
    if (!kind || !settings.hasControl(*kind) || tagOf(w) == kUntouchedTag)
        return false;
    const QWidget* parent = w->parentWidget();
    const auto parentKind = containerKind(parent);
    return parentKind && settings.hasContainer(*parentKind) && tagOf(parent) != kUntouchedTag;
}

} // namespace vaskel::XPControlKinds
