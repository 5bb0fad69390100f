#include "platform/ScriptedUi.h"

namespace vaskel {

namespace {

class ScriptedProgress : public ProgressControl {
public:
    ScriptedProgress(QStringList& lines, int cancelAfter) : m_lines(lines), m_cancelAfter(cancelAfter) { }
    void setCaption(const QString&) override { }
    void setText(const QString& line) override { m_lines << line; }
    bool cancelRequested() override
    {
        // Once the window has closed (by the work or by Cancel) no later press can change its result.
        if (m_result == ModalResult::None && m_cancelAfter >= 0 && m_calls++ >= m_cancelAfter)
            m_result = ModalResult::Cancel;
        return m_result == ModalResult::Cancel;
    }
    void close(ModalResult result) override
    {
        if (m_result == ModalResult::None)
            m_result = result;
    }
    ModalResult result() const { return m_result == ModalResult::None ? ModalResult::Ok : m_result; }

private:
    QStringList& m_lines;
    int m_cancelAfter;
    int m_calls = 0;
    ModalResult m_result = ModalResult::None;
};

} // namespace

void ScriptedUi::record(Interaction::Kind kind, const QString& caption, const QString& text, int flags)
{
    m_log.append(Interaction{kind, caption, text, flags});
    if (onInteraction)
        onInteraction(m_log.back());
}

std::optional<QString> ScriptedUi::nextText(std::optional<QString> fallback)
{
    if (m_texts.empty())
        return fallback;
    const QueuedText next = m_texts.front();
    m_texts.pop_front();
    if (next.cancelled)
        return std::nullopt;
    return next.text;
}

QList<Interaction> ScriptedUi::interactionsOf(Interaction::Kind kind) const
{
    QList<Interaction> out;
    for (const Interaction& i : m_log) {
        if (i.kind == kind)
            out.append(i);
    }
    return out;
}

void ScriptedUi::clear()
{
    m_log.clear();
    m_progressLines.clear();
    m_results.clear();
    m_texts.clear();
    m_files.clear();
    m_cancelAfter = -1;
}

ModalResult ScriptedUi::messageBox(
    const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    record(Interaction::Kind::MessageBox, caption, text, static_cast<int>(icon) | static_cast<int>(buttons));
    if (!m_results.empty()) {
        const ModalResult r = m_results.front();
        m_results.pop_front();
        return r;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? ModalResult::Yes
                                                                                      : ModalResult::Ok;
}

std::optional<QString> ScriptedUi::inputBox(
    const QString& caption, const QString& prompt, const QString& defaultText)
{
    record(Interaction::Kind::InputBox, caption, prompt);
    return nextText(defaultText);
}

std::optional<QString> ScriptedUi::password(const QString& caption, const QString& label)
{
    record(Interaction::Kind::Password, caption, label);
    return nextText(std::nullopt);
}

QString ScriptedUi::openFileName(const QString& caption, const QString& dir, const QString&)
{
    record(Interaction::Kind::OpenFile, caption, dir);
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString ScriptedUi::saveFileName(const QString& caption, const QString& dir, const QString&, const QString&)
{
    record(Interaction::Kind::SaveFile, caption, dir);
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

ModalResult ScriptedUi::runWithProgress(
    const QString& caption, const QString& text, const std::function<void(ProgressControl&)>& work)
{
    record(Interaction::Kind::Progress, caption, text);
    ScriptedProgress progress(m_progressLines, m_cancelAfter);
    // The scripted cancel is for this window only, also when the work ends by an exception.
    m_cancelAfter = -1;
    m_progressLines << text;
    work(progress);
    return progress.result();
}

void ScriptedUi::showHelp(int contextNumber, const QString& text)
{
    record(Interaction::Kind::Help, QString(), text, contextNumber);
}

void ScriptedUi::openUrl(const QUrl& url)
{
    record(Interaction::Kind::OpenUrl, QString(), url.toString());
}

} // namespace vaskel
