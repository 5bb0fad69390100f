#include "designer/TextEditDialog.h"

#include "designer/CodeEditor.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

namespace vaskel::TextEditDialog {

std::optional<QStringList> edit(QWidget* parent, const QString& title, const QStringList& lines,
    CodeCheck::Mode mode, const QStringList& completions)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("TextEditDialog"));
    dialog.setWindowTitle(title);
    auto* text = new CodeEditor(mode, &dialog);
    text->setObjectName(QStringLiteral("text"));
    text->setCompletions(completions);
    text->setPlainText(lines.join(QLatin1Char('\n')));
    auto* message = new QLabel(&dialog);
    message->setObjectName(QStringLiteral("message"));
    message->setStyleSheet(QStringLiteral("color: #b00000"));
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QObject::connect(text, &CodeEditor::checked, message, &QLabel::setText);
    auto* hint
        = new QLabel(QObject::tr("Ctrl+Space completes names of the data tree; Ctrl+Enter is OK."), &dialog);
    hint->setStyleSheet(QStringLiteral("color: gray"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Enter belongs to the text; Ctrl+Enter is OK.
    for (const QKeySequence& key :
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        QObject::connect(new QShortcut(key, &dialog), &QShortcut::activated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(message);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    dialog.resize(560, 340);
    text->checkNow();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // An empty text is no lines, not one empty line.
    const QString plain = text->toPlainText();
    return plain.isEmpty() ? QStringList() : plain.split(QLatin1Char('\n'));
}

} // namespace vaskel::TextEditDialog
