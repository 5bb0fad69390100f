#include "tools/RenderCommand.h"

#include "app/BillDataModule.h"
#include "app/DatabaseConnection.h"
#include "app/DemoDatabase.h"
#include "platform/DataPaths.h"
#include "platform/OutOfMemory.h"
#include "platform/PlatformError.h"
#include "platform/ScriptedUi.h"
#include "platform/SettingsStore.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/export/PdfExport.h"
#include "report/model/EStreamError.h"
#include "report/model/TfrGlobals.h"
#include "tools/HeadlessRun.h"
#include "tools/RenderOutputs.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace vaskel {

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kMaxDpi = 2400;

struct QueryBinding {
    QString name;
    QString statement;
};

struct RenderSession {
    // Where the pages come from: a template run against the data source, or a prepared-report file.
    QString templateFile;
    QString frpFile;
    // The template run: the bill the queries select, statements bound to report datasets, the
    // data source, and the run's settings.
    std::optional<QString> bill;
    QList<QueryBinding> queries;
    bool demo = false;
    QString connection;
    bool twoPass = false;
    bool goOn = false; // render what could be read of a damaged template or file, exit status 0
    std::optional<QString> title;
    QString codePage; // empty: the configured one
    std::optional<int> timeLimit; // seconds; unset: the setting Report/TimeLimit (0: none)
    // Outputs.
    QString saveFile;
    QString pdfFile;
    QString xlsxFile;
    QString htmlFile;
    QString csvFile;
    bool allPageBands = false; // spreadsheet and CSV: page headers and footers on every page
    QString pngDir;
    int dpi = kDefaultDpi;
    bool json = false;
    QString jsonFile; // empty: standard output
    bool helpShown = false;
    QTextStream* out = nullptr;
    QTextStream* err = nullptr;
};

// What an option does with its value: stores it in a text of the session, switches a flag of it
// on, or hands it to a function that checks it first.
// The function answers false (after a message on `err`) for a value it cannot use.
using OptionCheck = bool (*)(RenderSession& session, const QString& value, bool given);
using OptionTarget = std::variant<QString RenderSession::*, std::optional<QString> RenderSession::*,
    bool RenderSession::*, OptionCheck>;

struct RenderOption {
    const char* name;
    const char* valueName; // null for an option without a value
    bool optionalValue; // the value may be left out (then the next word is not taken)
    const char* help;
    OptionTarget target;
};

bool applyOption(const RenderOption& option, RenderSession& s, const QString& value, bool given)
{
    return std::visit(
        [&](auto target) {
            using Target = decltype(target);
            if constexpr (std::is_same_v<Target, OptionCheck>) {
                return target(s, value, given);
            } else if constexpr (std::is_same_v<Target, bool RenderSession::*>) {
                s.*target = true;
                return true;
            } else {
                s.*target = value;
                return true;
            }
        },
        option.target);
}

// "NAME=STATEMENT"; the statement may hold '=' itself.
bool applyQuery(RenderSession& s, const QString& value, bool)
{
    const qsizetype eq = value.indexOf('=');
    const QString name = value.left(eq).trimmed();
    const QString statement = value.mid(eq + 1).trimmed();
    if (eq <= 0 || name.isEmpty() || statement.isEmpty()) {
        *s.err << "render: --query needs NAME=STATEMENT, got \"" << value << "\"\n";
        return false;
    }
    for (const QueryBinding& b : s.queries) {
        if (b.name.compare(name, Qt::CaseInsensitive) == 0) {
            *s.err << "render: --query " << name << " is given twice\n";
            return false;
        }
    }
    s.queries.append({name, statement});
    return true;
}

bool applyCodePage(RenderSession& s, const QString& value, bool)
{
    try {
        CodePage check(value);
    } catch (const CodePageError& e) {
        *s.err << "render: --code-page: " << e.message() << "\n";
        return false;
    }
    s.codePage = value;
    return true;
}

bool applyDpi(RenderSession& s, const QString& value, bool)
{
    bool ok = false;
    const int dpi = value.toInt(&ok);
    if (!ok || dpi < 1 || dpi > kMaxDpi) {
        *s.err << "render: --dpi needs a whole number from 1 to " << kMaxDpi << ", got \"" << value << "\"\n";
        return false;
    }
    s.dpi = dpi;
    return true;
}

bool applyTimeLimit(RenderSession& s, const QString& value, bool)
{
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (!ok || seconds < 0) {
        *s.err << "render: --time-limit needs a whole number of seconds (0: none), got \"" << value << "\"\n";
        return false;
    }
    s.timeLimit = seconds;
    return true;
}

bool applyJson(RenderSession& s, const QString& value, bool given)
{
    s.json = true;
    // "-" is standard output, as without a file.
    s.jsonFile = given && value != QLatin1String("-") ? value : QString();
    return true;
}

const RenderOption kRenderOptions[] = {
    {"--frp", "FILE", false, "render a prepared-report file instead of running a template",
        &RenderSession::frpFile},
    {"--bill", "NUMBER", false,
        "select the bill's purchase and sales lines as the query window's Query does; its total goes to "
        "standard output",
        &RenderSession::bill},
    {"--query", "NAME=STATEMENT", false,
        "give report dataset NAME a statement: frDBDataSet1 (query ADOQuery1), frDBDataSet2 (ADOQuery2), or "
        "a "
        "new one over query NAMEQuery; each ? takes the bill number",
        applyQuery},
    {"--demo", nullptr, false, "run against the embedded demo database (data source \"dBASE Files\")",
        &RenderSession::demo},
    {"--connection", "STRING", false, "the ODBC connection string (\"DSN=...;\" or \"Driver=...;...\")",
        &RenderSession::connection},
    {"--two-pass", nullptr, false, "run in two passes, also when the template does not ask for it",
        &RenderSession::twoPass},
    {"--go-on", nullptr, false,
        "render what could be read of a damaged template or prepared-report file, with exit status 0",
        &RenderSession::goOn},
    {"--title", "TEXT", false, "the report's title (progress caption, PDF title)", &RenderSession::title},
    {"--time-limit", "SECONDS", false,
        "stop a run that takes longer (default: the setting Report/TimeLimit, none without it)",
        applyTimeLimit},
    {"--code-page", "NAME", false, "code page of template and prepared-report files (default: configured)",
        applyCodePage},
    {"--save", "FILE", false, "write the prepared pages as a prepared-report file (.frp)",
        &RenderSession::saveFile},
    {"--pdf", "FILE", false, "write a PDF, one page per prepared page at its paper size",
        &RenderSession::pdfFile},
    {"--xlsx", "FILE", false, "write an Excel workbook: one sheet, numbers and dates as typed cells",
        &RenderSession::xlsxFile},
    {"--html", "FILE", false, "write one self-contained HTML file, each page as it prints",
        &RenderSession::htmlFile},
    {"--csv", "FILE", false, "write CSV (UTF-8): one line per printed row, numbers in plain form",
        &RenderSession::csvFile},
    {"--all-page-bands", nullptr, false,
        "--xlsx, --csv: keep page headers and footers on every page, not only once",
        &RenderSession::allPageBands},
    {"--png", "DIR", false, "write each page as DIR/page-001.png, page-002.png ...", &RenderSession::pngDir},
    {"--dpi", "N", false, "resolution of the PNG pages (default 96)", applyDpi},
    {"--json", "FILE", true, "write every page and object as JSON (standard output without FILE or with -)",
        applyJson},
};

QString renderUsage()
{
    QString text = QStringLiteral(
        "Usage: vaskel render TEMPLATE.frf [--bill NUMBER] [--query NAME=STATEMENT]...\n"
        "                     [--demo | --connection STRING] [--two-pass] [--title TEXT]\n"
        "                     [--code-page NAME] [--time-limit SECONDS] [--go-on] OUTPUT...\n"
        "       vaskel render --frp FILE [--go-on] OUTPUT...\n"
        "OUTPUT: --pdf FILE, --xlsx FILE, --html FILE, --csv FILE, --png DIR [--dpi N],\n"
        "        --json [FILE], --save FILE\n");
    for (const RenderOption& o : kRenderOptions) {
        QString option = QString::fromLatin1(o.name);
        if (o.valueName)
            option += o.optionalValue ? QStringLiteral(" [%1]").arg(QLatin1String(o.valueName))
                                      : QLatin1Char(' ') + QLatin1String(o.valueName);
        text += QStringLiteral("  %1  %2\n").arg(option, -22).arg(QLatin1String(o.help));
    }
    return text;
}

const RenderOption* findRenderOption(const QString& word)
{
    for (const RenderOption& o : kRenderOptions) {
        if (word == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

// False (after a message) for a usage error.
bool parseRenderArguments(RenderSession& s, const QStringList& args)
{
    QList<const RenderOption*> given; // options that take one value or none: each at most once
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            *s.out << renderUsage();
            s.helpShown = true;
            return false;
        }
        if (!word.startsWith('-') && s.templateFile.isEmpty()) {
            s.templateFile = word;
            continue;
        }
        const qsizetype eq = word.indexOf('=');
        const RenderOption* option = word.startsWith(QLatin1String("--"))
            ? findRenderOption(eq < 0 ? word : word.left(eq))
            : nullptr;
        if (!option) {
            *s.err << "render: unknown argument \"" << word << "\"\n" << renderUsage();
            return false;
        }
        // A second --pdf would silently win over the first; --query checks its names itself.
        if (qstrcmp(option->name, "--query") != 0 && given.contains(option)) {
            *s.err << "render: " << option->name << " is given twice\n";
            return false;
        }
        given.append(option);
        QString value;
        bool given = true;
        if (!option->valueName) {
            if (eq >= 0) {
                *s.err << "render: " << option->name << " takes no value\n";
                return false;
            }
        } else if (eq >= 0) {
            value = word.mid(eq + 1);
        } else if (i + 1 < args.size()
            && !(option->optionalValue && args.at(i + 1).startsWith(QLatin1String("--")))) {
            value = args.at(++i);
        } else if (option->optionalValue) {
            given = false;
        } else {
            *s.err << "render: " << option->name << " needs " << option->valueName << "\n";
            return false;
        }
        if (!applyOption(*option, s, value, given))
            return false;
    }
    if (s.templateFile.isEmpty() == s.frpFile.isEmpty()) {
        *s.err << (s.frpFile.isEmpty() ? "render: no pages to render: give a template or --frp FILE\n"
                                       : "render: give a template or --frp FILE, not both\n")
               << renderUsage();
        return false;
    }
    if (!s.frpFile.isEmpty()
        && (s.bill || !s.queries.isEmpty() || s.demo || !s.connection.isEmpty() || s.twoPass)) {
        *s.err << "render: --bill, --query, --demo, --connection and --two-pass run a template; --frp has "
                  "none\n";
        return false;
    }
    if (s.demo && !s.connection.isEmpty()) {
        *s.err << "render: give --demo or --connection, not both\n";
        return false;
    }
    if (s.pdfFile.isEmpty() && s.xlsxFile.isEmpty() && s.htmlFile.isEmpty() && s.csvFile.isEmpty()
        && s.pngDir.isEmpty() && !s.json && s.saveFile.isEmpty()) {
        *s.err << "render: nothing to write: give --pdf, --xlsx, --html, --csv, --png, --json or --save\n"
               << renderUsage();
        return false;
    }
    return true;
}

// How the command reports a failure: "vaskel render: WHERE: MESSAGE (DETAIL)".
class FailureReport {
public:
    explicit FailureReport(QTextStream& err) : m_err(err) { }

    int operator()(const QString& where, const QString& message, const QString& detail = {}) const
    {
        m_err << "vaskel render: " << where << ": " << message;
        if (!detail.isEmpty())
            m_err << " (" << detail << ')';
        m_err << '\n';
        m_err.flush();
        return 1;
    }
    int operator()(const QString& where, const VaskelError& e) const
    {
        return (*this)(where, e.message(), e.detail());
    }

private:
    QTextStream& m_err;
};

// A headless run has no one to show a message box to: each goes to standard error, its lines
// ending in line feeds. An error box means the run failed (a template the reader rejects, a
// calculation error); the command counts them.
class ConsoleMessageBoxes {
public:
    ConsoleMessageBoxes(ScriptedUi& ui, QTextStream& err)
    {
        ui.onInteraction = [this, &err](const Interaction& shown) {
            if (shown.kind != Interaction::Kind::MessageBox)
                return;
            QString text = shown.text;
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            err << "vaskel render: " << shown.caption << ": " << text.trimmed() << '\n';
            err.flush();
            if ((shown.flags & kIconBits) == static_cast<int>(MessageIcon::Error))
                ++m_errors;
            if ((shown.flags & kIconBits) == static_cast<int>(MessageIcon::Warning))
                ++m_warnings;
        };
    }

    int errors() const { return m_errors; }
    // Warnings (objects of a damaged template left out) fail the run unless --go-on is given.
    int warnings() const { return m_warnings; }

private:
    static constexpr int kIconBits = 0xF0; // the icon's part of a message box's flags
    int m_errors = 0;
    int m_warnings = 0;
};

// An output that names the template or prepared-report file being read would overwrite it: the
// outputs are compared with the input after symbolic links and relative names are resolved.
QString outputOverInput(const RenderSession& s)
{
    const QString input = s.frpFile.isEmpty() ? DataPaths::templateFile(s.templateFile) : s.frpFile;
    const QString inputPath = QFileInfo(input).canonicalFilePath();
    if (inputPath.isEmpty())
        return {};
    for (const QString& output : {s.saveFile, s.pdfFile, s.xlsxFile, s.htmlFile, s.csvFile, s.jsonFile}) {
        if (!output.isEmpty() && QFileInfo(output).canonicalFilePath() == inputPath)
            return output;
    }
    return {};
}

// The outputs asked for, in order; the first that cannot be written ends the command. A page that
// cannot be decoded is the fault of `source` (the template or the prepared-report file), not of the
// output being written when it was met. `pdfWriter`, when there is one, has been writing the PDF
// while the pages were prepared.
int writeOutputs(const RenderSession& s, const QString& source, TfrEMFPages& pages, QTextStream& out,
    const FailureReport& fail, std::unique_ptr<PdfRunWriter>& pdfWriter)
{
    QString stage;
    try {
        if (!s.saveFile.isEmpty()) {
            stage = s.saveFile;
            pages.SaveToFile(s.saveFile);
        }
        if (!s.pdfFile.isEmpty()) {
            stage = s.pdfFile;
            RenderOutputs::finishPdf(pdfWriter, pages, s.pdfFile, s.title.value_or(QString()));
        }
        const RenderOutputs::TableOptions table{s.title.value_or(QString()), s.allPageBands};
        for (const auto& [file, kind] : {std::pair{s.xlsxFile, RenderOutputs::Table::Xlsx},
                 std::pair{s.htmlFile, RenderOutputs::Table::Html},
                 std::pair{s.csvFile, RenderOutputs::Table::Csv}}) {
            if (file.isEmpty())
                continue;
            stage = file;
            RenderOutputs::writeTable(pages, file, kind, table);
        }
        if (!s.pngDir.isEmpty()) {
            stage = s.pngDir;
            RenderOutputs::writePngs(pages, s.pngDir, s.dpi);
        }
        if (s.json) {
            stage = s.jsonFile.isEmpty() ? QStringLiteral("JSON") : s.jsonFile;
            RenderOutputs::writeJson(pages, s.jsonFile, out);
        }
    } catch (const EStreamError& e) {
        return fail(e.message() == QLatin1String("Stream read error") ? source : stage, e);
    } catch (const VaskelError& e) {
        return fail(stage, e);
    }
    return 0;
}

int renderPreparedFile(const RenderSession& s, QTextStream& out, const FailureReport& fail)
{
    TfrEMFPages pages(nullptr);
    // A damaged file still gives the pages read before the fault; the run then ends with status 1.
    std::optional<VaskelError> loadError;
    try {
        pages.LoadFromFile(s.frpFile);
    } catch (const VaskelError& e) {
        if (pages.Count() == 0)
            return fail(s.frpFile, e);
        loadError = e;
    }
    std::unique_ptr<PdfRunWriter> noWriter; // pages read from a file are complete: written afterwards
    if (const int code = writeOutputs(s, s.frpFile, pages, out, fail, noWriter))
        return code;
    if (!loadError)
        return 0;
    fail(s.frpFile, *loadError);
    return s.goOn ? 0 : 1;
}

// The ODBC connection of the run: --connection, the demo database as "dBASE Files" (built on first
// use, as the desktop's --demo does), or what the desktop program would use.
QString connectionOf(const RenderSession& s)
{
    if (s.demo) {
        DemoDatabase::prepare(DemoDatabase::defaultFolder());
        return DatabaseConnection::odbcFromProviderString(
            QString::fromLatin1(DatabaseConnection::kLegacyConnectionString));
    }
    if (!s.connection.isEmpty())
        return s.connection;
    const SettingsStore settings;
    return DatabaseConnection::configuredConnectionString(&settings);
}

// The queries on the bill and the bound statements, opened as the data module decides; the bill's
// total goes to standard output unless the JSON dump goes there. Throws VaskelError.
void selectData(const RenderSession& s, BillDataModule& source, QTextStream& out)
{
    source.connect();
    if (s.bill) {
        source.selectBill(*s.bill);
        const QString total = source.billTotalText(*s.bill);
        if (!s.json || !s.jsonFile.isEmpty()) {
            out << total << '\n';
            out.flush();
        }
    }
    for (const QueryBinding& b : s.queries) {
        const int marks = BillDataModule::parameterCount(b.statement);
        if (marks > 0 && !s.bill)
            throw VaskelError(
                QStringLiteral("the statement for %1 takes the bill number: give --bill").arg(b.name));
        source.bindQuery(b.name, b.statement, QVariantList(marks, s.bill.value_or(QString())));
    }
    source.openQueries();
}

int renderTemplate(
    const RenderSession& s, ConsoleMessageBoxes& boxes, QTextStream& out, const FailureReport& fail)
{
    if (!QFileInfo(DataPaths::templateFile(s.templateFile)).isFile())
        return fail(s.templateFile, QStringLiteral("The template file does not exist."));
    try {
        BillDataModule source(connectionOf(s));
        selectData(s, source, out);
        TfrReport& report = source.report();
        // Nothing is shown headless: no progress window, and no Cancel to press.
        report.ShowProgress = false;
        // The reader shows what is wrong with a template it cannot use.
        if (!report.LoadTemplate(DataPaths::templateFile(s.templateFile)))
            return fail(s.templateFile, QStringLiteral("The template file cannot be read."));
        if (boxes.errors() > 0)
            return 1;
        if (boxes.warnings() > 0 && !s.goOn)
            return fail(s.templateFile,
                QStringLiteral("The template is damaged; give --go-on to render what could be read."));
        if (s.twoPass)
            report.TwoPass = true;
        // A script that never ends (a loop whose condition never changes) ends here instead.
        report.TimeLimit = s.timeLimit.value_or(
            qMax(0, SettingsStore().value(QStringLiteral("Report/TimeLimit")).toInt()));
        if (s.title)
            report.Title = *s.title;
        // The PDF is written on a second thread while the pages are prepared.
        TfrEMFPages& pages = report.PreparedPages();
        std::unique_ptr<PdfRunWriter> pdf;
        if (!s.pdfFile.isEmpty())
            pdf = RenderOutputs::startPdf(pages, s.pdfFile, s.title.value_or(QString()));
        const auto detach = qScopeGuard([&pages] { pages.SetFinishedPageSink(nullptr); });
        const bool prepared = report.Prepare();
        if (boxes.errors() > 0)
            return 1;
        if (!prepared)
            return fail(s.templateFile, QStringLiteral("The run was cancelled."));
        pages.HandOverRemaining(); // the writer goes on with the last pages while others are saved
        return writeOutputs(s, s.templateFile, pages, out, fail, pdf);
    } catch (const VaskelError& e) {
        return fail(s.templateFile, e);
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("render"), outOfMemoryMessage());
    } catch (const std::exception& e) {
        return fail(s.templateFile, QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

int runRenderCommand(const QStringList& args)
{
    return runHeadless(args, &runRenderCommand);
}

int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    RenderSession session;
    session.out = &out;
    session.err = &err;
    if (!parseRenderArguments(session, args)) {
        out.flush();
        err.flush();
        return session.helpShown ? 0 : 2;
    }
    const FailureReport fail(err);
    if (const QString output = outputOverInput(session); !output.isEmpty())
        return fail(output, QStringLiteral("The output would overwrite the file the pages are read from."));
    // The engine state of this run; numbers and dates in the locale of the program around it.
    const LocaleSettings locale
        = TfrGlobals::exists() ? TfrGlobals::get().locale : LocaleSettings::fromSystem();
    TfrGlobals globals;
    globals.locale = locale;
    auto ui = std::make_unique<ScriptedUi>(); // headless: links are not opened, nothing asks
    ConsoleMessageBoxes boxes(*ui, err);
    globals.setUi(std::move(ui));
    const QString codePage = session.codePage.isEmpty() ? CodePage::configuredName() : session.codePage;
    try {
        globals.codePage = CodePage(codePage);
    } catch (const CodePageError& e) {
        return fail(QStringLiteral("code page"), e);
    }
    const int code = session.frpFile.isEmpty() ? renderTemplate(session, boxes, out, fail)
                                               : renderPreparedFile(session, out, fail);
    // What went to standard output (the bill's total, the JSON) must have arrived there.
    try {
        RenderOutputs::checkedFlush(out);
    } catch (const VaskelError& e) {
        return code != 0 ? code : fail(QStringLiteral("standard output"), e);
    }
    return code;
}

} // namespace vaskel
