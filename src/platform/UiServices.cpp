#include "platform/UiServices.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vaskel {

QString UiServices::errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > QChar('.').unicode())
        return message + '.';
    return message;
}

void UiServices::showError(const QString& message)
{
    messageBox(applicationTitle(), errorBoxText(message), MessageIcon::Error, MessageButtons::Ok);
}

QString UiServices::applicationTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    const QString base = QFileInfo(path).completeBaseName();
    return base.isEmpty() ? QStringLiteral("vaskel") : base;
}

} // namespace vaskel
