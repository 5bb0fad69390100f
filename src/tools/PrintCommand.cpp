#include "tools/PrintCommand.h"

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/ScriptedUi.h"
#include "report/engine/PageSelection.h"
#include "report/engine/TfrReport.h"
#include "report/expr/ExprErrors.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPrinter.h"
#include "tools/HeadlessRun.h"
#include "tools/RenderCommand.h"
#include "ui/desktop/QtPrinterBackend.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace vaskel {

namespace {

bool isPreparedFile(const QString& file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("frp"), Qt::CaseInsensitive) == 0;
}

struct PrintSession {
    QString file;
    bool list = false;
    std::optional<QString> printer;
    QString pages;
    int copies = -1; // -1: the report's default
    std::optional<bool> collate;
    PageParity parity = PageParity::All;
    QString title;
    QString codePage;
    // Options of the template run, handed to the render command as they were given.
    QStringList runOptions;
    bool helpShown = false;
};

QString printUsage()
{
    return QStringLiteral(
        "Usage: vaskel print FILE.frp|TEMPLATE.frf [--printer NAME] [--pages LIST] [--copies N]\n"
        "                    [--collate|--no-collate] [--odd|--even] [data options of render]\n"
        "       vaskel print --list\n"
        "  --printer NAME   print on this printer (default: the system's default printer)\n"
        "  --pages LIST     the pages, such as 1,3,5-12 (default: all)\n"
        "  --copies N       number of copies, 1 to 999 (default: the report's, 1)\n"
        "  --collate        copies 1..n, 1..n (the default); --no-collate: 1,1,2,2,...\n"
        "  --odd, --even    only the odd or the even pages of the selection\n"
        "  --list           list the printers as the report engine sees them\n"
        "A template runs as `vaskel render` runs it: --bill, --query, --demo, --connection,\n"
        "--two-pass, --title, --code-page and --time-limit work as there.\n");
}

// Options of the template run: those with a value and those without.
const QStringList kRunOptionsWithValue{
    "--bill", "--query", "--connection", "--title", "--code-page", "--time-limit"};
const QStringList kRunFlags{"--demo", "--two-pass"};

// False (after a message) for a usage error.
bool parsePrintArguments(PrintSession& s, const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto fail = [&err](const QString& message) {
        err << "print: " << message << '\n' << printUsage();
        return false;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        const auto value = [&](QString& into) {
            if (i + 1 >= args.size())
                return fail(word + QStringLiteral(" needs a value"));
            into = args.at(++i);
            return true;
        };
        if (word == "--help" || word == "-h") {
            out << printUsage();
            s.helpShown = true;
            return false;
        }
        if (word == "--list") {
            s.list = true;
        } else if (word == "--printer") {
            QString name;
            if (!value(name))
                return false;
            s.printer = name;
        } else if (word == "--pages") {
            if (!value(s.pages))
                return false;
            try {
                PageSelection::parse(s.pages, 0);
            } catch (const VaskelError& e) {
                return fail(QStringLiteral("--pages: ") + e.message());
            }
        } else if (word == "--copies") {
            QString text;
            if (!value(text))
                return false;
            try {
                s.copies = PageSelection::copiesFrom(text);
            } catch (const VaskelError& e) {
                return fail(QStringLiteral("--copies: ") + e.message());
            }
        } else if (word == "--collate" || word == "--no-collate") {
            s.collate = word == "--collate";
        } else if (word == "--odd" || word == "--even") {
            if (s.parity != PageParity::All)
                return fail(QStringLiteral("give --odd or --even, not both"));
            s.parity = word == "--odd" ? PageParity::Odd : PageParity::Even;
        } else if (kRunOptionsWithValue.contains(word)) {
            QString v;
            if (!value(v))
                return false;
            if (word == "--title")
                s.title = v;
            if (word == "--code-page")
                s.codePage = v;
            s.runOptions << word << v;
        } else if (kRunFlags.contains(word)) {
            s.runOptions << word;
        } else if (!word.startsWith('-') && s.file.isEmpty()) {
            s.file = word;
        } else {
            return fail(QStringLiteral("unknown argument \"%1\"").arg(word));
        }
    }
    if (s.list)
        return true;
    if (s.file.isEmpty())
        return fail(QStringLiteral("nothing to print: give a prepared-report file or a template"));
    if (isPreparedFile(s.file)) {
        for (const QString& option : s.runOptions) {
            if (option.startsWith("--") && option != "--title" && option != "--code-page")
                return fail(option + QStringLiteral(" runs a template; a prepared-report file has no data"));
        }
    }
    return true;
}

// The printers, one a line, the current one marked with "*".
int listPrinters(QTextStream& out)
{
    const TfrPrinter& printer = frPrinter();
    for (int i = 0; i < printer.PrinterList.size(); ++i)
        out << (i == printer.CurrentIndex ? "* " : "  ") << printer.PrinterList[i] << '\n';
    out.flush();
    return 0;
}

// The template run into a prepared-report file, by the render command with the same options.
int prepareTemplate(const PrintSession& s, const QString& frp, QTextStream& out, QTextStream& err)
{
    QStringList args{s.file};
    args << s.runOptions << QStringLiteral("--save") << frp;
    return runRenderCommand(args, out, err);
}

int fail(QTextStream& err, const QString& where, const QString& message)
{
    err << "vaskel print: " << where << ": " << message << '\n';
    err.flush();
    return 1;
}

} // namespace

int runPrintCommand(const QStringList& args)
{
    return runHeadless(args, &runPrintCommand);
}

int runPrintCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    PrintSession s;
    if (!parsePrintArguments(s, args, out, err)) {
        out.flush();
        err.flush();
        return s.helpShown ? 0 : 2;
    }
    std::optional<QTemporaryDir> work;
    QString frp = s.file;
    if (!s.list && !isPreparedFile(s.file)) {
        // A template is prepared into a file of the temporary folder first: a folder that is
        // missing or full is named as such, not left to fail as the template.
        if (const QString problem = QtPrinterBackend::temporaryFolderProblem(); !problem.isEmpty())
            return fail(err, s.file, problem);
        work.emplace();
        if (!work->isValid())
            return fail(err, s.file, work->errorString());
        frp = work->filePath(QStringLiteral("pages.frp"));
        if (const int code = prepareTemplate(s, frp, out, err))
            return code;
    }

    const LocaleSettings locale
        = TfrGlobals::exists() ? TfrGlobals::get().locale : LocaleSettings::fromSystem();
    TfrGlobals globals;
    globals.locale = locale;
    auto ui = std::make_unique<ScriptedUi>();
    ui->onInteraction = [&err](const Interaction& shown) {
        if (shown.kind == Interaction::Kind::MessageBox)
            err << "vaskel print: " << shown.caption << ": " << shown.text.trimmed() << '\n';
    };
    globals.setUi(std::move(ui));
    try {
        globals.codePage = CodePage(s.codePage.isEmpty() ? CodePage::configuredName() : s.codePage);
    } catch (const CodePageError& e) {
        return fail(err, QStringLiteral("code page"), e.message());
    }
    globals.startPrinter(std::make_unique<QtPrinterBackend>());
    if (s.list)
        return listPrinters(out);

    TfrReport report;
    report.ShowProgress = false;
    try {
        report.LoadPrepared(frp);
    } catch (const VaskelError& e) {
        return fail(err, s.file, e.message());
    }
    TfrPrinter& printer = frPrinter();
    if (s.printer) {
        const int index = static_cast<int>(printer.PrinterList.indexOf(*s.printer));
        if (index < 0)
            return fail(err, *s.printer, QStringLiteral("There is no such printer"));
        printer.SelectPrinter(index);
        if (printer.CurrentIndex != index)
            return fail(err, *s.printer, QStringLiteral("Printer selected is not valid"));
    }
    report.Title = s.title.isEmpty() ? QFileInfo(s.file).completeBaseName() : s.title;
    const int copies = s.copies > 0 ? s.copies : report.DefaultCopies;
    const bool collate = s.collate.value_or(report.DefaultCollate);
    // Without --printer the system's current printer prints, also for a report that names the
    // virtual printer or a printer this machine lacks; the messages name the printer that failed.
    const auto where = [&printer, &s] {
        if (s.printer)
            return *s.printer;
        return printer.isVirtual() ? QStringLiteral("no printer")
                                   : printer.PrinterList.value(printer.CurrentIndex);
    };
    try {
        if (!report.PrintPrepared(s.pages, copies, static_cast<quint8>(s.parity), collate))
            return fail(err, where(), QStringLiteral("Printing was cancelled"));
    } catch (const VaskelError& e) {
        return fail(err, where(), e.message());
    }
    return 0;
}

} // namespace vaskel
