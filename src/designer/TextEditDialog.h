#pragma once
// The designer's editor of a text list: a memo's text, a view's or band's script. A modal dialog
// with a plain text field; OK hands back the lines.
#include <QStringList>

#include <optional>

class QWidget;

namespace vaskel {

namespace TextEditDialog {
// The edited lines, or nothing when the person cancelled.
std::optional<QStringList> edit(QWidget* parent, const QString& title, const QStringList& lines);
} // namespace TextEditDialog

} // namespace vaskel
