#include "ui/desktop/QtUiServices.h"

#include "ui/desktop/MessageTranslation.h"
#include "ui/desktop/ProgressDialog.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

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

// The yellow topic of context help. A popup holds the pointer and the keyboard while it shows, so it
// must close on the next click, wherever it lands, and on the next key: a popup that ignored them
// (a bare QLabel swallows both) would keep the whole desktop grabbed.
class HelpPopup : public QFrame {
public:
    HelpPopup(const QString& text, QWidget* parent) : QFrame(parent, Qt::Popup)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setAutoFillBackground(true);
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        label->setMaximumWidth(400);
        label->setMargin(6);
        label->setForegroundRole(QPalette::ToolTipText);
        // The label shows the text only: clicks and keys belong to the popup.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(label);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        close();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        event->accept();
        close();
    }
};

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
    QMessageBox box(messageIcon(icon), caption, MessageTranslation::translate(text), standardButtons(buttons),
        dialogParent());
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
    // Owned by the window that asked (a modal dialog, the preview), so that it belongs to that
    // window's modal session and goes with it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    auto* popup = new HelpPopup(text, owner);
    popup->setObjectName(QStringLiteral("helpPopup%1").arg(contextNumber));
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
