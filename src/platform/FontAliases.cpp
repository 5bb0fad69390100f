#include "platform/FontAliases.h"

#include "platform/DataPaths.h"

#include <QFileInfo>
#include <QFont>
#include <QFontInfo>

namespace vaskel::FontAliases {

namespace {

struct Alias {
    const char* windowsName; // UTF-8
    const char* standIn;
};

// Kept in step with data/fonts/vaskel-fonts.conf; the test of the aliases checks both agree.
const Alias kAliases[] = {
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

QStringList windowsFamilies()
{
    QStringList out;
    for (const Alias& a : kAliases)
        out << QString::fromUtf8(a.windowsName);
    return out;
}

QString resolvedFamily(const QString& requested)
{
    QFont f(requested);
    return QFontInfo(f).family();
}

QStringList missingStandIns()
{
    QStringList out;
    for (const Alias& a : kAliases) {
        const QString name = QString::fromUtf8(a.windowsName);
        if (resolvedFamily(name).compare(QString::fromUtf8(a.standIn), Qt::CaseInsensitive) != 0)
            out << name;
    }
    return out;
}

} // namespace vaskel::FontAliases
