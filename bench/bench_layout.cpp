// Report preparation over a long list: a master data band of six memos with field references (one
// number format, one date format), a group per bill with a SUM footer, a page header and a page
// footer, one pass, no progress window. The records come from an in-memory dataset, so the figure
// is the engine's own cost: band printing, expression evaluation, text measuring and writing the
// prepared pages. Items are records; the "pages" counter gives prepared pages per second.
//
//   bench_layout --benchmark_filter=Prepare/10000/   (and /100000/; compare the per-record time)
#include "engine/dataset_MemoryDataset.h"

#include "platform/ScriptedUi.h"
#include "report/engine/ComponentHost.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using namespace vaskel;
using vaskel::test::MemoryDataset;

QList<QVariantList> records(int n)
{
    static const char* const names[] = {"等边角钢 50×5", "Portland cement 42.5", "铝锭 A00", "Bearing 6205",
        "冷轧薄板 1.0mm", "Welding rods J422", "镀锌钢管 DN50", "Steel wire rope 12mm"};
    QList<QVariantList> rows;
    rows.reserve(n);
    const QDate start(2023, 1, 1);
    for (int i = 0; i < n; ++i) {
        const int bill = i / 5; // five lines a bill
        rows.append(QVariantList{QStringLiteral("HT%1").arg(bill, 6, 10, QLatin1Char('0')),
            QDateTime(start.addDays(bill % 700), QTime()), QString::fromUtf8(names[i % 8]),
            QStringLiteral("t"), double(i % 97) + 0.5, double((i * 7919) % 100000) / 100.0});
    }
    return rows;
}

TfrBandView* band(TfrPage& page, TfrBandKind kind, const QString& name, qint32 top, qint32 height,
    const QString& source = {})
{
    auto b = std::make_unique<TfrBandView>();
    b->Name = name;
    b->FrameTyp = kind;
    b->Top = top;
    b->Height = height;
    b->Width = 700;
    b->FormatText = source;
    return static_cast<TfrBandView*>(page.Add(std::move(b)));
}

void memo(TfrPage& page, const QString& name, qint32 left, qint32 top, qint32 width, const QString& text)
{
    auto m = std::make_unique<TfrMemoView>();
    m->Name = name;
    m->Left = left;
    m->Top = top;
    m->Width = width;
    m->Height = 18;
    m->Memo = QStringList{text};
    m->Font.Name = QStringLiteral("Arial");
    m->Font.Size = 9;
    page.Add(std::move(m));
}

void buildTemplate(TfrReport& report)
{
    TfrPage& page = *report.TemplatePages().Add();
    band(page, PageHeader, QStringLiteral("PageHeader1"), 10, 24);
    memo(page, QStringLiteral("Heading"), 20, 12, 400, QStringLiteral("Purchase lines"));
    band(page, GroupHeader, QStringLiteral("GroupHeader1"), 50, 22, QStringLiteral("Lines.\"BILL\""));
    memo(page, QStringLiteral("Bill"), 20, 52, 300, QStringLiteral("Bill [Lines.\"BILL\"]"));
    band(page, MasterData, QStringLiteral("MasterData1"), 80, 20, QStringLiteral("LinesSet"));
    memo(page, QStringLiteral("F1"), 20, 81, 80, QStringLiteral("[Lines.\"BILL\"]"));
    memo(page, QStringLiteral("F2"), 100, 81, 80, QStringLiteral("[Lines.\"KPDATE\" #Dyyyy-mm-dd]"));
    memo(page, QStringLiteral("F3"), 180, 81, 160, QStringLiteral("[Lines.\"CMNAME\"]"));
    memo(page, QStringLiteral("F4"), 340, 81, 40, QStringLiteral("[Lines.\"CMUNIT\"]"));
    memo(page, QStringLiteral("F5"), 380, 81, 80, QStringLiteral("[Lines.\"QNT\"]"));
    memo(page, QStringLiteral("F6"), 460, 81, 100, QStringLiteral("[Lines.\"AMT\" #N#,##0.00]"));
    band(page, GroupFooter, QStringLiteral("GroupFooter1"), 110, 22);
    memo(page, QStringLiteral("Total"), 380, 112, 180,
        QStringLiteral("Total [SUM([Lines.\"AMT\"]) #N#,##0.00]"));
    band(page, PageFooter, QStringLiteral("PageFooter1"), 150, 20);
    memo(page, QStringLiteral("PageNo"), 20, 151, 200, QStringLiteral("Page [PAGE#]"));
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void Prepare(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    TfrGlobals globals;
    globals.setUi(std::make_unique<ScriptedUi>());
    ComponentHost host(QStringLiteral("Form1"));
    auto& lines = host.make<MemoryDataset>(QStringLiteral("Lines"),
        QList<MemoryDataset::Column>{{QStringLiteral("BILL"), DatabaseFieldKind::String},
            {QStringLiteral("KPDATE"), DatabaseFieldKind::DateTime},
            {QStringLiteral("CMNAME"), DatabaseFieldKind::String},
            {QStringLiteral("CMUNIT"), DatabaseFieldKind::String},
            {QStringLiteral("QNT"), DatabaseFieldKind::Float},
            {QStringLiteral("AMT"), DatabaseFieldKind::Float}},
        records(n));
    host.make<TfrDBDataSet>(QStringLiteral("LinesSet")).setDataSet(&lines);
    auto& report = host.make<TfrReport>(QStringLiteral("frReport1"));
    report.ShowProgress = false;
    buildTemplate(report);
    int pages = 0;
    for (auto _ : state) {
        if (!report.Prepare())
            state.SkipWithError("the run failed");
        pages = report.PreparedPages().Count();
    }
    const long peak = peakRssMb(); // before the check below decodes every page
    // VASKEL_BENCH_SAVE=FILE keeps the prepared pages of the run, so that two builds can be
    // compared byte for byte (scripts/compare-outputs.sh).
    if (const QByteArray path = qgetenv("VASKEL_BENCH_SAVE"); !path.isEmpty())
        report.PreparedPages().SaveToFile(QString::fromLocal8Bit(path));
    // A run that printed nothing would be fast for the wrong reason: the first page must hold the
    // first bill's lines and its total.
    const QByteArray dump = PreparedPagesJson::toJson(report.PreparedPages()).toJson(QJsonDocument::Compact);
    if (!dump.contains("HT000000") || !dump.contains("Total ") || !dump.contains("Page 1"))
        state.SkipWithError("the prepared pages lack the expected texts");
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["pages"]
        = benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pagesPerRun"] = pages;
    state.counters["peakRssMB"] = double(peak);
}
BENCHMARK(Prepare)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
