#include "ui/desktop/QtUiServices.h"

#include "ui/desktop/ProgressDialog.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace vaskel {

namespace {

QMessageBox::StandardButtons standardButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

ModalResult modalResult(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return ModalResult::Ok;
    case QMessageBox::Cancel:
        return ModalResult::Cancel;
    case QMessageBox::Yes:
        return ModalResult::Yes;
    case QMessageBox::No:
        return ModalResult::No;
    default:
        return ModalResult::Cancel;
    }
}

} // namespace

QtUiServices::QtUiServices(QWidget* parent) : m_parent(parent)
{
}

QtUiServices::~QtUiServices()
{
    if (m_helpPopup)
        delete m_helpPopup.data();
}

QWidget* QtUiServices::dialogParent() const
{
    if (m_parent)
        return m_parent;
    return QApplication::activeWindow();
}

ModalResult QtUiServices::messageBox(
    const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(messageIcon(icon), caption, text, standardButtons(buttons), dialogParent());
    // Escape presses Cancel, or No in a Yes/No box, or OK in an OK box; a box closed without any
    // button answers Cancel.
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return ModalResult::Cancel;
    return modalResult(box.standardButton(clicked));
}

std::optional<QString> QtUiServices::askText(
    const QString& caption, const QString& label, const QString& text, bool hidden)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtUiServices::inputBox(
    const QString& caption, const QString& prompt, const QString& defaultText)
{
    return askText(caption, prompt, defaultText, false);
}

std::optional<QString> QtUiServices::password(const QString& caption, const QString& label)
{
    return askText(caption, label, QString(), true);
}

QString QtUiServices::openFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), caption, dir, filter);
}

QString QtUiServices::saveFileName(
    const QString& caption, const QString& dir, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(dialogParent(), caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

ModalResult QtUiServices::runWithProgress(
    const QString& caption, const QString& text, const std::function<void(ProgressControl&)>& work)
{
    ProgressDialog dialog(dialogParent());
    dialog.setCaption(caption);
    dialog.setText(text);
    return dialog.run(work);
}

void QtUiServices::showHelp(int contextNumber, const QString& text)
{
    if (m_helpPopup)
        delete m_helpPopup.data();
    // A help file without that topic shows nothing rather than an empty box.
    if (text.isEmpty())
        return;
    // A popup closes by itself at the next click anywhere, like the context help it stands for.
    auto* popup = new QLabel(text, nullptr, Qt::Popup);
    popup->setObjectName(QStringLiteral("helpPopup%1").arg(contextNumber));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setWordWrap(true);
    popup->setMaximumWidth(400);
    popup->setMargin(6);
    popup->setFrameStyle(QFrame::Box | QFrame::Plain);
    popup->setForegroundRole(QPalette::ToolTipText);
    popup->setBackgroundRole(QPalette::ToolTipBase);
    popup->setAutoFillBackground(true);
    popup->adjustSize();
    popup->move(QCursor::pos());
    popup->show();
    m_helpPopup = popup;
}

void QtUiServices::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace vaskel
