#pragma once
// Everything that would stop for a person goes through this one interface: message boxes, the
// input box, the password window, file dialogs, the progress window, help popups and opening
// links. The desktop installs the Qt dialogs (`QtUiServices`); tests and the command line install
// `ScriptedUi`, which records what was asked and answers as told. The report core only ever
// talks to this interface, so it never needs Qt Widgets.
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace vaskel {

// Dialog results, with the values scripts see as mrOk, mrCancel, mrYes, mrNo.
enum class ModalResult : int {
    None = 0,
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7
};

// Message box flags as scripts pass them (mb_Ok … mb_IconWarning): buttons in the low nibble,
// icon in the next.
enum class MessageButtons : int { Ok = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4 };
enum class MessageIcon : int { None = 0, Error = 16, Question = 32, Warning = 48, Information = 64 };

// What long work sees of the progress window: the line to show, and whether Cancel was pressed.
class ProgressControl {
public:
    virtual ~ProgressControl() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setText(const QString& line) = 0;
    // Lets pending window events be handled, so that Cancel stays live; true once Cancel was pressed.
    virtual bool cancelRequested() = 0;
    // Ends the progress window with the given result (Ok when the work finished by itself).
    virtual void close(ModalResult result) = 0;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    virtual ModalResult messageBox(
        const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
        = 0;
    // The standard error box: OK button, error icon, the application title as caption, and "."
    // appended when the message's last character has a code above that of ".".
    void showError(const QString& message);
    static QString errorBoxText(const QString& message);

    // Returns the entered text, or nothing when the user cancelled.
    virtual std::optional<QString> inputBox(
        const QString& caption, const QString& prompt, const QString& defaultText)
        = 0;
    // Password entry (text shown as '*'); nothing when cancelled.
    virtual std::optional<QString> password(const QString& caption, const QString& label) = 0;

    // File dialogs; empty text when cancelled. Filters in Qt's form ("Reports (*.frp);;All (*)").
    virtual QString openFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString saveFileName(
        const QString& caption, const QString& dir, const QString& filter, const QString& defaultSuffix)
        = 0;

    // Runs `work` inside the modal progress window (or directly, headless). The work is started by
    // a queued call once the window shows, so Cancel is live while it runs. Returns the window's
    // result: Cancel when the user cancelled, otherwise what the work passed to close() (Ok if it
    // did not close the window itself).
    virtual ModalResult runWithProgress(
        const QString& caption, const QString& text, const std::function<void(ProgressControl&)>& work)
        = 0;

    // A help topic's text shown as a popup (context-sensitive help).
    virtual void showHelp(int contextNumber, const QString& text) = 0;
    // Opening a link with its default application.
    virtual void openUrl(const QUrl& url) = 0;

    // The application title: the program file's name without extension.
    static QString applicationTitle();
};

} // namespace vaskel
