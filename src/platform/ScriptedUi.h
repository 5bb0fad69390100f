#pragma once
// The headless UiServices: every question is recorded as an `Interaction`, and answered from a
// queue of prepared answers (or a default when the queue is empty). Tests script it; the
// command-line tools use it with the defaults and print what was shown. Defaults: message boxes
// answer OK (Yes for Yes/No boxes), the input box its default text, the password window cancel,
// file dialogs no file, progress windows run their work to the end.
#include "platform/UiServices.h"

#include <QList>
#include <QVariant>

#include <deque>

namespace vaskel {

struct Interaction {
    enum class Kind { MessageBox, InputBox, Password, OpenFile, SaveFile, Progress, Help, OpenUrl };
    Kind kind;
    QString caption;
    QString text;
    int flags = 0; // message box: icon | buttons; help: context number
};

class ScriptedUi : public UiServices {
public:
    // Answers, consumed in order by the kind of question asked: results by message boxes, texts by
    // input boxes and password windows (nothing = cancelled), file names by both file dialogs.
    void queueModalResult(ModalResult r) { m_results.push_back(r); }
    void queueText(const std::optional<QString>& text)
    {
        m_texts.push_back({!text, text.value_or(QString())});
    }
    void queueFileName(const QString& path) { m_files.push_back(path); }
    // Cancel the next progress window: its first `steps` calls of cancelRequested() answer false,
    // the following ones true (0: the first call already sees Cancel).
    void cancelProgressAfter(int steps) { m_cancelAfter = steps; }
    // Called for every interaction as it is recorded (tests of re-entrancy, logging on the command line).
    std::function<void(const Interaction&)> onInteraction;

    const QList<Interaction>& interactions() const { return m_log; }
    QList<Interaction> interactionsOf(Interaction::Kind kind) const;
    QStringList progressLines() const { return m_progressLines; }
    void clear();

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

private:
    std::optional<QString> nextText(std::optional<QString> fallback);
    void record(Interaction::Kind kind, const QString& caption, const QString& text, int flags = 0);

    QList<Interaction> m_log;
    QStringList m_progressLines;
    std::deque<ModalResult> m_results;
    struct QueuedText {
        bool cancelled;
        QString text;
    };
    std::deque<QueuedText> m_texts;
    std::deque<QString> m_files;
    int m_cancelAfter = -1;
};

} // namespace vaskel
