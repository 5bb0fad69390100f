#include "platform/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <fontconfig/fontconfig.h>

#include <memory>
#include <optional>

namespace vaskel::InterfaceLanguage {

namespace {

// The one installed translation; the application object keeps a pointer to it while installed.
std::unique_ptr<QTranslator>& installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// Qt's own texts (file dialogs, standard buttons) in the same language, from the translations the
// system's Qt ships (Debian's qt6-translations-l10n); without them Qt's dialogs stay English.
std::unique_ptr<QTranslator>& installedQt()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// The font the windows had before a translation changed it.
std::optional<QFont>& englishFont()
{
    static std::optional<QFont> font;
    return font;
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
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(qt.get()))
        installedQt() = std::move(qt);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        englishFont() = QGuiApplication::font();
        QGuiApplication::setFont(interfaceFont(QGuiApplication::font()));
    }
    return true;
}

void uninstall()
{
    if (installed())
        QCoreApplication::removeTranslator(installed().get());
    if (installedQt())
        QCoreApplication::removeTranslator(installedQt().get());
    installed().reset();
    installedQt().reset();
    installedLanguage().clear();
    if (englishFont() && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setFont(*englishFont());
    englishFont().reset();
}

QLocale formattingLocale()
{
    const QLocale system = QLocale::system();
    if (installedLanguage().startsWith(QLatin1String("zh")) && system.language() != QLocale::Chinese)
        return QLocale(QLocale::Chinese, QLocale::China);
    return system;
}

QString chineseSansFamily()
{
    // Asked once: fontconfig's choice does not change while the program runs.
    static const QString family = [] {
        QString out;
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=zh-cn"));
        if (!pattern)
            return out;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
            FcChar8* name = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
                out = QString::fromUtf8(reinterpret_cast<const char*>(name));
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        return out;
    }();
    return family;
}

QFont interfaceFont(QFont font)
{
    if (!installedLanguage().startsWith(QLatin1String("zh")))
        return font;
    const QString chinese = chineseSansFamily();
    if (chinese.isEmpty())
        return font;
    // Latin text keeps the window's own face; Chinese text takes the sans-serif face rather than
    // the thin Song face that the general fallback picks for the dialogs' small sizes.
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    if (!families.contains(chinese))
        families << chinese;
    font.setFamilies(families);
    return font;
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
