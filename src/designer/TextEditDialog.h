#pragma once
// The designer's editor of a text list: a memo's text, a view's or band's script, an expression.
// A modal dialog with the code editor (highlighting, Ctrl+Space completion from the data tree,
// checking as the author types) and the check's message under it; OK hands back the lines, also
// while the message names an error (the author may finish the text later).
#include "designer/CodeCheck.h"

#include <QStringList>

#include <optional>

class QWidget;

namespace vaskel {

namespace TextEditDialog {
// The edited lines, or nothing when the person cancelled. `completions` are what Ctrl+Space
// offers.
std::optional<QStringList> edit(QWidget* parent, const QString& title, const QStringList& lines,
    CodeCheck::Mode mode = CodeCheck::Mode::Memo, const QStringList& completions = {});
} // namespace TextEditDialog

} // namespace vaskel
