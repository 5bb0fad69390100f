#include "designer/TextEditDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vaskel::TextEditDialog {

std::optional<QStringList> edit(QWidget* parent, const QString& title, const QStringList& lines)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("TextEditDialog"));
    dialog.setWindowTitle(title);
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName(QStringLiteral("text"));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(lines.join(QLatin1Char('\n')));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(480, 320);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // An empty text is no lines, not one empty line.
    const QString plain = text->toPlainText();
    return plain.isEmpty() ? QStringList() : plain.split(QLatin1Char('\n'));
}

} // namespace vaskel::TextEditDialog
