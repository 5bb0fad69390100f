#include "ui/xplook/TControlSubClass.h"

#include "ui/xplook/TXPMenu.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace vaskel {

TControlSubClass::TControlSubClass(QWidget* control, TXPControl kind, TXPMenu* menu)
    : QObject(nullptr), m_control(control), m_kind(kind), m_menu(menu)
{
    if (auto* le = qobject_cast<QLineEdit*>(control))
        m_savedFrame = le->hasFrame();
    else if (auto* frame = qobject_cast<QFrame*>(control)) {
        m_savedFrameStyle = frame->frameStyle();
        m_savedLineWidth = frame->lineWidth();
        m_savedFrame = frame->frameShape() != QFrame::NoFrame;
    }
    control->installEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // The edit field covers the middle of the combo box and the list opens in a window of its
        // own: both are watched so that the frame is repainted over the field and the button
        // shows the open list.
        if (QLineEdit* field = combo->lineEdit())
            m_parts << field;
        if (combo->view() && combo->view()->parentWidget())
            m_parts << combo->view()->parentWidget();
        for (const QPointer<QWidget>& part : m_parts)
            part->installEventFilter(this);
    }
    Focused = control->hasFocus();
    repaint();
}

TControlSubClass::~TControlSubClass()
{
    restore();
}

bool TControlSubClass::isEditLike() const
{
    switch (m_kind) {
    case xcEdit:
    case xcMaskEdit:
    case xcMemo:
    case xcRichEdit:
    case xcListBox:
    case xcTreeView:
    case xcListView:
        return true;
    default:
        return false;
    }
}

void TControlSubClass::restore()
{
    if (m_restored)
        return;
    m_restored = true;
    for (const QPointer<QWidget>& part : m_parts) {
        if (part)
            part->removeEventFilter(this);
    }
    QWidget* w = m_control;
    if (!w)
        return;
    w->removeEventFilter(this);
    // A control in the middle of its destruction is no longer of its class (the cast fails once
    // its own destructor ran): then there is nothing left to give back.
    if (m_frameTaken) {
        if (auto* le = qobject_cast<QLineEdit*>(w))
            le->setFrame(m_savedFrame);
        else if (auto* frame = qobject_cast<QAbstractScrollArea*>(w)) {
            frame->setFrameStyle(m_savedFrameStyle);
            frame->setLineWidth(m_savedLineWidth);
        }
    }
    if (qobject_cast<QWidget*>(w) && w->metaObject() != &QWidget::staticMetaObject)
        w->update();
}

void TControlSubClass::takeOverFrame()
{
    // On the first repaint an edit loses its 3-D frame: the look draws a one-pixel border instead.
    if (m_frameTaken || !isEditLike())
        return;
    m_frameTaken = true;
    if (auto* le = qobject_cast<QLineEdit*>(m_control.data())) {
        if (le->hasFrame())
            le->setFrame(false);
    } else if (auto* area = qobject_cast<QAbstractScrollArea*>(m_control.data())) {
        if (m_savedFrame) {
            area->setFrameStyle(QFrame::Box | QFrame::Plain);
            area->setLineWidth(1);
        }
    }
}

XPPaintState TControlSubClass::paintState() const
{
    XPPaintState s;
    s.Hot = Hot;
    s.Focused = Focused;
    s.LeftButtonDown = LeftButtonDown;
    s.SpaceDown = SpaceDown;
    if (auto* combo = qobject_cast<QComboBox*>(m_control.data()))
        s.DroppedDown = combo->view() && combo->view()->isVisible();
    return s;
}

void TControlSubClass::repaint()
{
    if (m_control)
        m_control->update();
}

void TControlSubClass::paintOver(QWidget* target)
{
    QWidget* w = m_control;
    // Focused is refreshed from the control before each repaint; a combo box has the focus
    // while its edit field has it.
    const QWidget* focus = QApplication::focusWidget();
    Focused = w->hasFocus() || (focus && w->isAncestorOf(focus));
    const XPPalette& palette = m_menu->palette();
    const XPSystemColors colors = m_menu->systemColors();
    const XPPaintContext context{palette, colors, paintState(), m_menu->settings().GrayLevel};

    QPainter p(target);
    switch (m_kind) {
    case xcButton:
    case xcBitBtn:
        XPControlPainter::paintButton(p, static_cast<QPushButton*>(w), context, m_kind == xcBitBtn);
        break;
    case xcEdit:
    case xcMaskEdit:
        XPControlPainter::paintEdit(p, w, context, m_savedFrame);
        break;
    case xcCombo: {
        // Painted on the combo box or, translated, over the edit field that covers its middle.
        const QPoint offset = target == w ? QPoint() : target->mapTo(w, QPoint());
        p.translate(-offset);
        XPControlPainter::paintCombo(p, static_cast<QComboBox*>(w), w->rect(), context);
        break;
    }
    default:
        XPControlPainter::paintFrame(p, w, context);
        break;
    }
}

bool TControlSubClass::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* w = m_control;
    if (!w || m_restored || !m_menu->isActive())
        return false;
    const QEvent::Type type = event->type();

    if (watched != w) {
        // A part of a combo box: the edit field repaints the frame over itself; the list window
        // repaints the button when it opens and closes.
        auto* part = qobject_cast<QWidget*>(watched);
        if (!part)
            return false;
        if (type == QEvent::Paint && qobject_cast<QLineEdit*>(part)) {
            static_cast<QObject*>(part)->event(event);
            paintOver(part);
            return true;
        }
        if (type == QEvent::Show || type == QEvent::Hide)
            repaint();
        return false;
    }

    LastMessage = type;
    switch (type) {
    case QEvent::Paint: {
        Recreating = false;
        takeOverFrame();
        // The control paints itself first, then the look paints over it.
        static_cast<QObject*>(w)->event(event);
        paintOver(w);
        return true;
    }
    case QEvent::FocusIn:
        Hot = true;
        repaint();
        break;
    case QEvent::FocusOut:
        Hot = false;
        repaint();
        break;
    case QEvent::Enter:
        if (w->isEnabled()) {
            Hot = true;
            repaint();
        }
        break;
    case QEvent::Leave:
        if (w->isEnabled()) {
            Hot = false;
            repaint();
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // Auto-repeat keeps the key down: one repaint per press.
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
            SpaceDown = type == QEvent::KeyPress;
            repaint();
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            LeftButtonDown = true;
            repaint();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            LeftButtonDown = false;
            repaint();
        }
        break;
    case QEvent::EnabledChange:
        if (!w->isEnabled())
            Hot = false;
        repaint();
        break;
    case QEvent::ParentAboutToChange:
        Recreating = true;
        break;
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        repaint();
        break;
    default:
        break;
    }
    return false;
}

} // namespace vaskel
