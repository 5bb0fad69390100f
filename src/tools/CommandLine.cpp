#include "tools/CommandLine.h"

#include "platform/DataPaths.h"
#include "platform/OutOfMemory.h"
#include "platform/PlatformError.h"
#include "tools/DesignCommand.h"
#include "tools/EvalCommand.h"
#include "tools/ImportDbfCommand.h"
#include "tools/PreviewCommand.h"
#include "tools/PrintCommand.h"
#include "tools/RenderCommand.h"
#include "tools/TemplateCommand.h"

#include <QTextStream>

namespace vaskel {

QString usageText()
{
    return QStringLiteral(
        "Usage: vaskel [command] [options]\n"
        "\n"
        "Without a command, vaskel opens the query window on the configured data source.\n"
        "\n"
        "Commands:\n"
        "  render        run a report template headless against the database; write PDF, PNG, .frp or JSON\n"
        "  print         print a prepared-report file or a template run on one of the system's printers\n"
        "  template      convert a report template between its binary form and JSON (dump|build)\n"
        "  import-dbf    import dBASE files into the embedded database\n"
        "  eval          evaluate expressions and print each value's kind and text\n"
        "  preview       open a prepared-report file (.frp) in the preview window\n"
        "                (also: vaskel FILE.frp)\n"
        "  design        open a report template (.frf) in the designer (also: vaskel FILE.frf)\n"
        "\n"
        "Options:\n"
        "  --version     print the version and exit\n"
        "  --help        print this text and exit\n");
}

namespace {

std::optional<int> runCommand(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2)
        return std::nullopt;
    const QString cmd = args.at(1);
    if (cmd == "--version" || cmd == "-v") {
        out << "vaskel " << DataPaths::version() << '\n';
        return 0;
    }
    if (cmd == "--help" || cmd == "-h") {
        out << usageText();
        return 0;
    }
    if (cmd == "import-dbf")
        return runImportDbfCommand(args.mid(2));
    if (cmd == "eval")
        return runEvalCommand(args.mid(2));
    if (cmd == "template")
        return runTemplateCommand(args.mid(2));
    if (cmd == "render")
        return runRenderCommand(args.mid(2));
    if (cmd == "print")
        return runPrintCommand(args.mid(2));
    if (cmd == "preview")
        return runPreviewCommand(args.mid(2));
    if (cmd.endsWith(QLatin1String(".frp"), Qt::CaseInsensitive))
        return runPreviewCommand(args.mid(1));
    if (cmd == "design")
        return runDesignCommand(args.mid(2));
    if (cmd.endsWith(QLatin1String(".frf"), Qt::CaseInsensitive))
        return runDesignCommand(args.mid(1));
    if (cmd.startsWith('-'))
        return std::nullopt; // options of the desktop program (Qt's own, such as -platform)
    err << "vaskel: unknown command \"" << cmd << "\"\n\n" << usageText();
    return 2;
}

} // namespace

std::optional<int> runCommandLine(const QStringList& args)
{
    // A command that runs out of memory ends with that said, never with an abort.
    try {
        return runCommand(args);
    } catch (const std::bad_alloc&) {
        QTextStream(stderr) << "vaskel: " << outOfMemoryMessage() << '\n';
        return 1;
    }
}

} // namespace vaskel
