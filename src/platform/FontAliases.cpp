#include "platform/FontAliases.h"

#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>

#include <algorithm>

#include <fontconfig/fontconfig.h>

namespace vaskel::FontAliases {

namespace {

struct AliasEntry {
    const char* windowsName; // UTF-8
    const char* standIn;
};

// Kept in step with data/fonts/vaskel-fonts.conf; the test of the aliases checks both agree.
const AliasEntry kAliases[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Tahoma", "Tahoma"},
    {"宋体", "AR PL UMing CN"},
    {"SimSun", "AR PL UMing CN"},
    {"新宋体", "AR PL UMing CN"},
    {"NSimSun", "AR PL UMing CN"},
    {"隶书", "AR PL UKai CN"},
    {"LiSu", "AR PL UKai CN"},
    {"黑体", "WenQuanYi Zen Hei Mono"},
    {"SimHei", "WenQuanYi Zen Hei Mono"},
};

} // namespace

QString installBeforeApplication()
{
    if (!qEnvironmentVariableIsEmpty("FONTCONFIG_FILE"))
        return QString::fromLocal8Bit(qgetenv("FONTCONFIG_FILE"));
    const QString file = DataPaths::dataFile(QStringLiteral("fonts/vaskel-fonts.conf"));
    if (!QFileInfo::exists(file))
        return {};
    qputenv("FONTCONFIG_FILE", QFile::encodeName(file));
    return file;
}

QList<Alias> aliases()
{
    QList<Alias> out;
    for (const AliasEntry& a : kAliases)
        out.append({QString::fromUtf8(a.windowsName), QString::fromUtf8(a.standIn)});
    return out;
}

QStringList windowsFamilies()
{
    QStringList out;
    for (const AliasEntry& a : kAliases)
        out << QString::fromUtf8(a.windowsName);
    return out;
}

QString resolvedFamily(const QString& requested)
{
    QFont f(requested);
    return QFontInfo(f).family();
}

QStringList fontconfigFamilies(const QString& requested)
{
    QStringList out;
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = requested.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* family = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
            out << QString::fromUtf8(reinterpret_cast<const char*>(family));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return out;
}

QStringList missingStandIns()
{
    return missingStandIns(aliases());
}

QStringList missingStandIns(const QList<Alias>& list)
{
    QStringList out;
    for (const Alias& a : list) {
        // By every name of the face fontconfig picks, not by the one Qt displays: Qt shows a
        // family's name in the locale's language ("文泉驿等宽正黑" under zh_CN), the table names it
        // in Latin, and either may be given.
        const QStringList picked = fontconfigFamilies(a.windowsName);
        const QStringList standIn = fontconfigFamilies(a.standIn);
        const bool same = std::any_of(picked.begin(), picked.end(),
            [&](const QString& f) { return standIn.contains(f, Qt::CaseInsensitive); });
        if (!same || !standIn.contains(a.standIn, Qt::CaseInsensitive))
            out << a.windowsName;
    }
    return out;
}

QString missingStandInsNotice()
{
    return missingStandInsNotice(aliases());
}

QString missingStandInsNotice(const QList<Alias>& list)
{
    const QStringList missing = missingStandIns(list);
    if (missing.isEmpty())
        return {};
    return QCoreApplication::translate("vaskel", "Fonts not installed, drawn with fallback fonts: ")
        + missing.join(QStringLiteral(", "));
}

} // namespace vaskel::FontAliases
