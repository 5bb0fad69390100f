#include "app/DesktopStartup.h"

#include "platform/PlatformGlobals.h"

#include <QApplication>
#include <QFileInfo>

#include <cxxabi.h>
#include <typeinfo>

namespace vaskel {

namespace {

// The error's class name without its namespace ("EDatabaseError").
QString kindOf(const std::exception& error)
{
    int status = 0;
    const char* mangled = typeid(error).name();
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled : mangled);
    std::free(demangled);
    const qsizetype colon = name.lastIndexOf(QLatin1String("::"));
    return colon >= 0 ? name.mid(colon + 2) : name;
}

} // namespace

QString DesktopStartup::applicationErrorText(const std::exception& error)
{
    const auto* ve = dynamic_cast<const VaskelError*>(&error);
    const QString message = ve ? ve->message() : QString::fromLocal8Bit(error.what());
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // The code position: where start-up caught the failure.
    const auto address = reinterpret_cast<quintptr>(&DesktopStartup::createQueryWindow);
    const QString fullStop = message.endsWith('.') ? QString() : QStringLiteral(".");
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4%5\r\n")
        .arg(kindOf(error), module, QStringLiteral("%1").arg(address, 8, 16, QChar('0')).toUpper(), message,
            fullStop);
}

void DesktopStartup::showApplicationError(const std::exception& error)
{
    PlatformGlobals::get().ui().messageBox(
        UiServices::applicationTitle(), applicationErrorText(error), MessageIcon::Error, MessageButtons::Ok);
}

std::unique_ptr<TForm1> DesktopStartup::createQueryWindow(const QString& odbcConnection)
{
    try {
        return std::make_unique<TForm1>(odbcConnection);
    } catch (const std::exception& e) {
        showApplicationError(e);
        return nullptr;
    }
}

int DesktopStartup::run(const QString& odbcConnection, bool runEventLoop)
{
    std::unique_ptr<TForm1> window = createQueryWindow(odbcConnection);
    if (!window)
        return 1;
    window->show();
    return runEventLoop ? QApplication::exec() : 0;
}

} // namespace vaskel
