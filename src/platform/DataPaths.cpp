#include "platform/DataPaths.h"

#include <QDir>
#include <QFileInfo>

namespace vaskel::DataPaths {

QString dataDir()
{
    const QByteArray env = qgetenv("VASKEL_DATA_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QFileInfo exe(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    const QString installed = exe.absolutePath() + QStringLiteral("/../share/vaskel");
    if (QFileInfo(installed).isDir())
        return QDir(installed).canonicalPath();
    return QStringLiteral(VASKEL_SOURCE_DATA_DIR);
}

QString dataFile(const QString& relative)
{
    return dataDir() + '/' + relative;
}

QString templateFile(const QString& name)
{
    if (name.isEmpty() || QFileInfo::exists(name) || name.contains('/'))
        return name;
    const QString installed = dataFile(name);
    return QFileInfo(installed).isFile() ? installed : name;
}

QString version()
{
    return QStringLiteral(VASKEL_VERSION);
}

} // namespace vaskel::DataPaths
