#pragma once
// The desktop's UiServices: Qt's message box, input dialog, file dialogs and desktop services, a
// help popup and the generic progress window. Installed by the program at start-up in place of
// the scripted one; every dialog is modal and owned by the call that opens it.
#include "platform/UiServices.h"

#include <QFrame>
#include <QPointer>

class QWidget;

namespace vaskel {

class QtUiServices : public UiServices {
public:
    // Dialogs are owned by `parent` when given, else by the active window. Not owned.
    explicit QtUiServices(QWidget* parent = nullptr);
    ~QtUiServices() override;

    ModalResult messageBox(
        const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<QString> inputBox(
        const QString& caption, const QString& prompt, const QString& defaultText) override;
    std::optional<QString> password(const QString& caption, const QString& label) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter,
        const QString& defaultSuffix) override;
    ModalResult runWithProgress(const QString& caption, const QString& text,
        const std::function<void(ProgressControl&)>& work) override;
    void showHelp(int contextNumber, const QString& text) override;
    void openUrl(const QUrl& url) override;

    // The help popup currently shown, if any (it closes itself on the next click or key).
    QFrame* helpPopup() const { return m_helpPopup; }

private:
    QWidget* dialogParent() const;
    std::optional<QString> askText(
        const QString& caption, const QString& label, const QString& text, bool hidden);

    QPointer<QWidget> m_parent;
    QPointer<QFrame> m_helpPopup;
};

} // namespace vaskel
