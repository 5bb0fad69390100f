#include "app/QueryGridDelegate.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>

namespace vaskel {

QueryGridDelegate::QueryGridDelegate(QWidget* grid) : QStyledItemDelegate(grid), m_grid(grid)
{
}

bool QueryGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::FocusOut) {
        const QWidget* focus = QApplication::focusWidget();
        const bool insideGrid = focus && (focus == m_grid || m_grid->isAncestorOf(focus));
        // A window that merely lost activation (a message box, another program) keeps the edit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!insideGrid && focus && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return false;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace vaskel
