// Throughput and peak memory of the list report (bench/list_report: id, a Chinese and ASCII name, a
// quantity with two decimals, a date; page header, "Page N of M" footer over two passes, SUM
// summary, A4, 60 rows a page) read through the SQLite ODBC driver, run in process as
// `vaskel render TEMPLATE --two-pass --connection … --query … --pdf FILE` runs it:
//
//   Pdf/N      connect, open the statement, load the template, prepare, write the PDF with the
//              command's own PDF export;
//   Prepare/N  the same without the PDF: the prepared pages stay in memory;
//   Xlsx/N, Html/N, Csv/N  the same with `--xlsx`, `--html` or `--csv` in place of `--pdf`.
//
// Each iteration is a whole run, connection included; the PDF is written on a second thread while
// the pages are prepared, as the command writes it. "Time" is the wall time, "CPU" the process's CPU
// time (every thread), so the counters "rows" and "pages" are rows and pages per CPU second. "peak_MiB" is
// the process's peak resident memory so far (getrusage), not that of the benchmark alone: measure memory with
// one benchmark per process (the trailing "/" keeps Pdf/10000/ from taking Pdf/100000). Compare medians (one
// command line):
//
//   bench_pdf --benchmark_filter=Pdf/100000/ --benchmark_repetitions=5
//             --benchmark_report_aggregates_only=true
//
// Measured on a shared machine of 2 cores, one run per process, 100,000 rows (1,667 pages):
// Prepare 1.04 s CPU, peak 82.0 MiB; Csv 1.58 s, 82.4 MiB; Xlsx 3.44 s, 83.7 MiB; Html 2.30 s,
// 83.5 MiB. The exports add under 2 MiB to what the prepared report takes: they hold one page at
// a time, and the workbook's rows go to the library's temporary file as they are written.
//
// The database of N rows is made once per size by bench/list_report/make_db.py (python3) and the
// template once by `vaskel template build` of list_report.json, in a temporary folder, or in
// BENCH_WORK when set (kept, and shared with bench/list_report/run.sh, so databases are made once).
#include "BenchPages.h"

#include "app/BillDataModule.h"
#include "app/DemoDatabase.h"
#include "platform/LocaleSettings.h"
#include "platform/ScriptedUi.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/export/PdfExport.h"
#include "report/model/TfrGlobals.h"
#include "tools/RenderOutputs.h"
#include "tools/TemplateCommand.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

namespace {

using namespace vaskel;

constexpr int kRowsPerPage = 60;
const QString kListReportDir = QStringLiteral(VASKEL_LIST_REPORT_DIR);

// The folder of the databases, the template and the PDF; throws VaskelError.
QString workFolder()
{
    static std::optional<QTemporaryDir> temporary;
    static QString folder;
    if (!folder.isEmpty())
        return folder;
    if (const QString given = qEnvironmentVariable("BENCH_WORK"); !given.isEmpty()) {
        if (!QDir().mkpath(given))
            throw VaskelError(QStringLiteral("cannot create %1").arg(given));
        folder = given;
    } else {
        temporary.emplace(QDir::tempPath() + QStringLiteral("/vaskel-bench-pdf-XXXXXX"));
        if (!temporary->isValid())
            throw VaskelError(
                QStringLiteral("cannot create a temporary folder: %1").arg(temporary->errorString()));
        folder = temporary->path();
    }
    return folder;
}

// The list's database of `rows` rows, made when missing. A database left half-written by a failed
// run is never taken: make_db.py writes beside it and the file is renamed when complete.
QString listDatabase(int rows)
{
    const QString path = workFolder() + QStringLiteral("/list_%1.db").arg(rows);
    if (QFile::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    python.start(QStringLiteral("python3"),
        {kListReportDir + QStringLiteral("/make_db.py"), partial, QString::number(rows)});
    if (!python.waitForFinished(-1) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0
        || !QFile::rename(partial, path))
        throw VaskelError(
            QStringLiteral("make_db.py could not make %1 (%2)").arg(path, python.errorString()));
    return path;
}

// The list's template, built from its JSON text by the template command once a process. Call it
// before the benchmark's engine globals exist: the command sets up globals of its own.
QString listTemplate()
{
    static QString built;
    if (!built.isEmpty())
        return built;
    const QString path = workFolder() + QStringLiteral("/list_report.frf");
    QString messages;
    QTextStream out(&messages);
    QTextStream err(&messages);
    if (runTemplateCommand({QStringLiteral("build"), kListReportDir + QStringLiteral("/list_report.json"),
                               QStringLiteral("-o"), path},
            out, err)
        != 0)
        throw VaskelError(QStringLiteral("the template could not be built: %1").arg(messages.trimmed()));
    built = path;
    return built;
}

// One run of the list as the render command makes it; returns the number of prepared pages.
// `pdfFile` empty: prepare only; a name ending in .xlsx, .html or .csv is written as that. Throws VaskelError
// for a run that fails or shows a message box.
int runList(const QString& connection, const QString& templateFile, const QString& pdfFile, ScriptedUi& ui)
{
    const qsizetype shownBefore = ui.interactionsOf(Interaction::Kind::MessageBox).size();
    BillDataModule source(connection);
    source.connect();
    // Both datasets of the query window are given, so no run opens a statement over tables this
    // database lacks.
    source.bindQuery(QStringLiteral("frDBDataSet1"),
        QStringLiteral("SELECT id AS ID, name AS NAME, qnt AS QNT, day AS DAY FROM items ORDER BY id"), {});
    source.bindQuery(QStringLiteral("frDBDataSet2"), QStringLiteral("SELECT 1 AS X"), {});
    source.openQueries();
    TfrReport& report = source.report();
    report.ShowProgress = false;
    const bool loaded = report.LoadTemplate(templateFile);
    report.TwoPass = true;
    // The PDF is written on a second thread while the pages are prepared, as the command does.
    TfrEMFPages& pages = report.PreparedPages();
    std::unique_ptr<PdfRunWriter> pdf;
    if (pdfFile.endsWith(QLatin1String(".pdf")))
        pdf = RenderOutputs::startPdf(pages, pdfFile, QString());
    const auto detach = qScopeGuard([&pages] { pages.SetFinishedPageSink(nullptr); });
    const bool prepared = loaded && report.Prepare();
    const QList<Interaction> shown = ui.interactionsOf(Interaction::Kind::MessageBox);
    if (shown.size() > shownBefore)
        throw VaskelError(shown.at(shownBefore).caption + QStringLiteral(": ") + shown.at(shownBefore).text);
    if (!prepared)
        throw VaskelError(
            loaded ? QStringLiteral("the run was cancelled") : QStringLiteral("the template cannot be read"));
    using RenderOutputs::Table;
    if (pdfFile.endsWith(QLatin1String(".xlsx")))
        RenderOutputs::writeTable(report.PreparedPages(), pdfFile, Table::Xlsx, {});
    else if (pdfFile.endsWith(QLatin1String(".html")))
        RenderOutputs::writeTable(report.PreparedPages(), pdfFile, Table::Html, {});
    else if (pdfFile.endsWith(QLatin1String(".csv")))
        RenderOutputs::writeTable(report.PreparedPages(), pdfFile, Table::Csv, {});
    else if (!pdfFile.isEmpty())
        RenderOutputs::finishPdf(pdf, pages, pdfFile, QString());
    return report.PreparedPages().Count();
}

// `suffix` empty: prepare only; else the file written ("pdf", "xlsx", "html", "csv").
void runListBenchmark(benchmark::State& state, const QString& suffix)
{
    const int rows = static_cast<int>(state.range(0));
    const QString driver = DemoDatabase::sqliteOdbcDriver();
    if (driver.isEmpty()) {
        state.SkipWithError("the SQLite ODBC driver is not installed");
        return;
    }
    QString connection;
    QString templateFile;
    try {
        connection = QStringLiteral("Driver=%1;Database=%2").arg(driver, listDatabase(rows));
        templateFile = listTemplate();
    } catch (const VaskelError& e) {
        state.SkipWithError(e.message().toStdString().c_str());
        return;
    }
    const QString pdfFile
        = suffix.isEmpty() ? QString() : workFolder() + QStringLiteral("/list_%1.%2").arg(rows).arg(suffix);

    // The engine state of the runs, as the render command sets it up.
    TfrGlobals globals;
    globals.locale = LocaleSettings::fromSystem();
    auto ownUi = std::make_unique<ScriptedUi>();
    ScriptedUi& ui = *ownUi;
    globals.setUi(std::move(ownUi));
    try {
        globals.codePage = CodePage(CodePage::configuredName());
    } catch (const CodePageError& e) {
        state.SkipWithError(e.message().toStdString().c_str());
        return;
    }

    int pages = 0;
    for (auto _ : state) {
        try {
            pages = runList(connection, templateFile, pdfFile, ui);
        } catch (const VaskelError& e) {
            state.SkipWithError(e.message().toStdString().c_str());
            break;
        }
    }
    if (state.error_occurred())
        return;
    // A run that printed fewer pages than the rows fill would be fast for the wrong reason.
    if (pages < (rows + kRowsPerPage - 1) / kRowsPerPage) {
        state.SkipWithError("fewer pages than the rows fill");
        return;
    }
    const double runs = double(state.iterations());
    state.counters["rows"] = benchmark::Counter(double(rows) * runs, benchmark::Counter::kIsRate);
    state.counters["pages"] = benchmark::Counter(double(pages) * runs, benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = bench::peakMegabytes();
}

void Pdf(benchmark::State& state)
{
    runListBenchmark(state, QStringLiteral("pdf"));
}

void Prepare(benchmark::State& state)
{
    runListBenchmark(state, QString());
}

void Xlsx(benchmark::State& state)
{
    runListBenchmark(state, QStringLiteral("xlsx"));
}

void Html(benchmark::State& state)
{
    runListBenchmark(state, QStringLiteral("html"));
}

void Csv(benchmark::State& state)
{
    runListBenchmark(state, QStringLiteral("csv"));
}

BENCHMARK(Pdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(Prepare)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(Xlsx)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(Html)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(Csv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
