#include "tools/HeadlessRun.h"

#include "platform/FontAliases.h"
#include "platform/RuntimeFolder.h"

#include <QGuiApplication>
#include <QTextStream>

#include <memory>

namespace vaskel {

int runHeadless(const QStringList& args, ToolMain tool)
{
    int argc = 1;
    char program[] = "vaskel";
    char* argv[] = {program, nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        RuntimeFolder::provide();
        FontAliases::installBeforeApplication();
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tool(args, out, err);
}

} // namespace vaskel
