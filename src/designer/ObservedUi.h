#pragma once
// The UI services of a designer process: everything goes on to the services it wraps (the Qt
// dialogs, or a test's scripted ones), and the message boxes shown are counted and kept, so that
// the designer learns that the template reader found something wrong: the reader reports through
// message boxes and leaves what it could read. `vaskel design` installs it around the desktop's
// services; a designer without it opens whatever the reader leaves.
#include "platform/UiServices.h"

#include <memory>

namespace vaskel {

class ObservedUi : public UiServices {
public:
    explicit ObservedUi(std::unique_ptr<UiServices> inner);

    UiServices& inner() { return *m_inner; }
    // Every message box shown so far, its text with line breaks as "\n".
    const QStringList& messages() const { return m_messages; }

    ModalResult messageBox(
        const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<QString> inputBox(
        const QString& caption, const QString& prompt, const QString& text) override;
    std::optional<QString> password(const QString& caption, const QString& label) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(
        const QString& caption, const QString& dir, const QString& filter, const QString& suffix) override;
    ModalResult runWithProgress(const QString& caption, const QString& text,
        const std::function<void(ProgressControl&)>& work) override;
    void showHelp(int contextNumber, const QString& text) override;
    void openUrl(const QUrl& url) override;

private:
    std::unique_ptr<UiServices> m_inner;
    QStringList m_messages;
};

} // namespace vaskel
