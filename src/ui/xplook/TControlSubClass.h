#pragma once
// One control taken over by the flat look, without changing its class: an event filter on the
// control (and on the parts it is made of, such as a combo box's edit field and list window)
// that lets the control handle and paint every event as before and then paints border and face
// over it. It keeps the paint state the events change. The control's own event handling stays in
// place underneath the filter; what the record changes beyond that (an edit's frame, a list's
// frame style) it saves and gives back in restore().
//
// Owned by its `TXPMenu`. The control may be destroyed first: the component then drops the record
// (QObject::destroyed), and restore() never touches a control that is already being destroyed.
#include "ui/xplook/XPControlPainter.h"
#include "ui/xplook/XPMenuSettings.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vaskel {

class TXPMenu;

class TControlSubClass : public QObject {
    Q_OBJECT
public:
    TControlSubClass(QWidget* control, TXPControl kind, TXPMenu* menu);
    ~TControlSubClass() override;

    QWidget* control() const { return m_control; }
    TXPControl kind() const { return m_kind; }
    // Removes the filters and gives the control back its frame as it was; repaints it.
    void restore();

    // Paint state.
    bool Hot = false;
    bool Focused = false;
    bool LeftButtonDown = false;
    bool SpaceDown = false;
    bool Recreating = false; // the control is being re-parented: keep the record
    QEvent::Type LastMessage = QEvent::None;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isEditLike() const;
    void takeOverFrame();
    void paintOver(QWidget* target);
    XPPaintState paintState() const;
    void repaint();

    QPointer<QWidget> m_control;
    TXPControl m_kind;
    TXPMenu* m_menu; // not owned: the owner of this record
    QList<QPointer<QWidget>> m_parts; // a combo box's edit field and list window
    // What the record changes on the control, saved for restore().
    bool m_frameTaken = false;
    bool m_savedFrame = true; // an edit's or combo's frame; a frame's shape for scroll areas
    int m_savedFrameStyle = 0;
    int m_savedLineWidth = 1;
    bool m_restored = false;
};

} // namespace vaskel
