// The preview's text search at the size of a very large report: 2,000 A4 pages of 20 memos each
// (bill lines: number, article text, quantity, price, amount), the text searched for only on the
// last page. One search step draws page after page into the recording device until the hit, so
// this is the longest a Find can take on such a report. Reported with it: the process's peak
// resident memory before and after, and the pages left decoded, which show that the search keeps
// one page at a time.
#include "BenchPages.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/preview/PreviewSearch.h"
#include "report/preview/SearchHost.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vaskel;

constexpr int kPages = 2000;
constexpr int kMemosPerPage = 20;

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
    bench::fillBillPages(store, kPages, kMemosPerPage, QStringLiteral("Total 7777777"));
    const double before = bench::peakMegabytes();
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
    state.counters["peak_MB_after"] = bench::peakMegabytes();
}
BENCHMARK(BM_FindOnLastPageOf2000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
