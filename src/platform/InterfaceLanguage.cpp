#include "platform/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace vaskel::InterfaceLanguage {

namespace {

// The one installed translation; the application object keeps a pointer to it while installed.
std::unique_ptr<QTranslator>& installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

QString& installedLanguage()
{
    static QString language;
    return language;
}

} // namespace

QString translationFor(const QString& setting)
{
    if (setting.startsWith(QLatin1String("zh"), Qt::CaseInsensitive))
        return QStringLiteral("zh_CN");
    return {};
}

QString chosen()
{
    // POSIX order: LC_ALL overrides LC_MESSAGES, which overrides LANG.
    for (const char* name : {"VASKEL_LANG", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return translationFor(value);
    }
    return {};
}

bool install(const QString& language)
{
    uninstall();
    if (language.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/translations/vaskel_%1.qm").arg(language)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    installed() = std::move(translator);
    installedLanguage() = language;
    return true;
}

void uninstall()
{
    if (installed())
        QCoreApplication::removeTranslator(installed().get());
    installed().reset();
    installedLanguage().clear();
}

QString current()
{
    return installedLanguage();
}

QString stringTableText(int number, const QString& english)
{
    if (!installed() || english.isEmpty())
        return {};
    // Entries are told apart by number: the same English text ("Find text") may stand for a
    // caption and a hint that translate differently.
    return installed()->translate(
        "StringTable", english.toUtf8().constData(), QByteArray::number(number).constData());
}

} // namespace vaskel::InterfaceLanguage
