// The preview's text search at the size of a very large report: 2,000 A4 pages of 20 memos each
// (bill lines: number, article text, quantity, price, amount), the text searched for only on the
// last page. One search step draws page after page into the recording device until the hit, so
// this is the longest a Find can take on such a report. Reported with it: the process's peak
// resident memory before and after, and the pages left decoded, which show that the search keeps
// one page at a time.
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/preview/PreviewSearch.h"
#include "report/preview/SearchHost.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using namespace vaskel;

constexpr int kPages = 2000;
constexpr int kMemosPerPage = 20;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void fill(TfrEMFPages& store)
{
    TfrPage a4(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    TfrMemoView memo;
    memo.Font.Name = QStringLiteral("Arial");
    memo.Height = 18;
    memo.FrameTyp = 15;
    for (int p = 0; p < kPages; ++p) {
        store.InsertPage(p, a4);
        ReportStreamWriter w = store.RecordWriter(p);
        for (int m = 0; m < kMemosPerPage; ++m) {
            const int line = p * kMemosPerPage + m;
            memo.Name = QStringLiteral("Memo%1").arg(m % 5 + 1);
            memo.Left = 40 + (m % 5) * 140;
            memo.Top = 100 + (m / 5) * 20;
            memo.Width = 140;
            switch (m % 5) {
            case 0:
                memo.ExpandedText = {QString::number(line + 1)};
                break;
            case 1:
                memo.ExpandedText = {line % 2 ? QStringLiteral("Portland cement 42.5, bag 50 kg")
                                              : QString::fromUtf8("螺纹钢 HRB400 Φ%1").arg(line % 32)};
                break;
            case 2:
                memo.ExpandedText = {QString::number(line % 400)};
                break;
            case 3:
                memo.ExpandedText = {QStringLiteral("%1.50").arg(line % 90 + 10)};
                break;
            default:
                memo.ExpandedText = {QStringLiteral("%1.00").arg((line % 400) * (line % 90 + 10))};
                break;
            }
            if (p == kPages - 1 && m == kMemosPerPage - 1)
                memo.ExpandedText = {QStringLiteral("Total 7777777")};
            PreparedObjectEntry::write(memo, w);
        }
        store.AppendRecords(p, w.data());
    }
}

struct QuietWindow : SearchHost {
    int displayedPage() const override { return 1; }
    void setPaintingEnabled(bool) override { }
    void showHit(int, const QRect&) override { }
    void showStatus(const QString&) override { }
    bool cancelRequested() override { return false; }
};

void BM_FindOnLastPageOf2000(benchmark::State& state)
{
    TfrGlobals globals;
    TfrEMFPages store(nullptr);
    fill(store);
    const double before = peakMegabytes();
    QuietWindow window;
    int hitPage = -1;
    for (auto _ : state) {
        PreviewSearch search;
        if (!search.start(QStringLiteral("total 7777777"), false, false, store, window)) {
            state.SkipWithError("the text was not found");
            return;
        }
        hitPage = search.SearchPage;
        store.PageAt(hitPage).InUse = false;
        store.ReleasePage(hitPage);
    }
    int decoded = 0;
    for (int i = 0; i < store.Count(); ++i)
        decoded += store.PageAt(i).LivePage ? 1 : 0;
    state.counters["hit_page"] = hitPage + 1;
    state.counters["pages_left_decoded"] = decoded;
    state.counters["peak_MB_before"] = before;
    state.counters["peak_MB_after"] = peakMegabytes();
}
BENCHMARK(BM_FindOnLastPageOf2000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
