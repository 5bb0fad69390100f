#include "designer/ObservedUi.h"

namespace vaskel {

ObservedUi::ObservedUi(std::unique_ptr<UiServices> inner) : m_inner(std::move(inner))
{
}

ModalResult ObservedUi::messageBox(
    const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    m_messages << QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return m_inner->messageBox(caption, text, icon, buttons);
}

std::optional<QString> ObservedUi::inputBox(
    const QString& caption, const QString& prompt, const QString& text)
{
    return m_inner->inputBox(caption, prompt, text);
}

std::optional<QString> ObservedUi::password(const QString& caption, const QString& label)
{
    return m_inner->password(caption, label);
}

QString ObservedUi::openFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return m_inner->openFileName(caption, dir, filter);
}

QString ObservedUi::saveFileName(
    const QString& caption, const QString& dir, const QString& filter, const QString& suffix)
{
    return m_inner->saveFileName(caption, dir, filter, suffix);
}

ModalResult ObservedUi::runWithProgress(
    const QString& caption, const QString& text, const std::function<void(ProgressControl&)>& work)
{
    return m_inner->runWithProgress(caption, text, work);
}

void ObservedUi::showHelp(int contextNumber, const QString& text)
{
    m_inner->showHelp(contextNumber, text);
}

void ObservedUi::openUrl(const QUrl& url)
{
    m_inner->openUrl(url);
}

} // namespace vaskel
