// Start-up: command-line tools run headless; without a command the desktop program starts.
#include "platform/FontAliases.h"
#include "tools/CommandLine.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> code = vaskel::runCommandLine(args))
        return *code;

    vaskel::FontAliases::installBeforeApplication();
    QApplication app(argc, argv);
    QTextStream(stdout) << vaskel::usageText();
    return 0;
}
