#include "report/preview/DialogHelp.h"

#include "platform/PlatformGlobals.h"
#include "report/preview/HelpTopics.h"

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QKeyEvent>

namespace vaskel {

DialogHelp::DialogHelp(QDialog& dialog) : QObject(&dialog), m_dialog(dialog)
{
}

void DialogHelp::install(QDialog& dialog)
{
    dialog.installEventFilter(new DialogHelp(dialog));
}

void DialogHelp::setContext(QWidget* control, int context)
{
    control->setProperty("helpContext", context);
}

bool DialogHelp::showFor(QWidget* control)
{
    for (QWidget* w = control; w; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context != 0) {
            PlatformGlobals::get().ui().showHelp(
                context, HelpTopics::topic(HelpTopics::previewHelpFile(), context));
            return true;
        }
        if (w->isWindow())
            break;
    }
    return false;
}

bool DialogHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_dialog)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::QueryWhatsThis:
        // Every control may be asked: the "?" pointer stays a question mark over the dialog.
        event->accept();
        return true;
    case QEvent::WhatsThis: {
        // A help event that no control took reaches the dialog: the control under the click
        // names the topic.
        const QPoint at = m_dialog.mapFromGlobal(static_cast<QHelpEvent*>(event)->globalPos());
        QWidget* hit = m_dialog.childAt(at);
        showFor(hit ? hit : &m_dialog);
        return true;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            QWidget* focus = QApplication::focusWidget();
            showFor(focus && m_dialog.isAncestorOf(focus) ? focus : &m_dialog);
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vaskel
