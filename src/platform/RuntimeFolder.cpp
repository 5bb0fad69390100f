#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <unistd.h>

namespace vaskel::RuntimeFolder {

void provide()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(::getuid());
    const QString folder = QDir::tempPath() + QStringLiteral("/runtime-") + user;
    if (!QDir().mkpath(folder))
        return;
    const QFileInfo info(folder);
    // Someone else's folder of that name is not ours to use: Qt then says so itself.
    if (info.ownerId() != ::getuid())
        return;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

} // namespace vaskel::RuntimeFolder
