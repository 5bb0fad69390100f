// The prepared pages store at the size of a very large report: 2,000 A4 pages of 20 memos each
// (a bill line: number, article text, quantity, price, amount, in Latin and Chinese), built as
// the layout engine builds them. Measured: saving and loading the whole .frp file, plain and
// compressed; the file's bytes per page; the bytes the store keeps in memory for its pages; and
// the cost of decoding one page for drawing, from plain and from compressed page data, which is
// what keeping pages compressed in memory would add to every page the preview shows.
#include "BenchPages.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <benchmark/benchmark.h>

#include <QBuffer>

namespace {

using namespace vaskel;

constexpr int kPages = 2000;
constexpr int kMemosPerPage = 20;

QByteArray save(TfrEMFPages& store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    store.SaveTo(buffer);
    return buffer.data();
}

// One store of 2,000 pages for all benchmarks (building it takes about a second).
struct Fixture {
    Fixture() { bench::fillBillPages(store, kPages, kMemosPerPage); }
    TfrGlobals globals;
    TfrEMFPages store{nullptr};
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void setCompression(benchmark::State& state)
{
    frCompressor().Enabled = state.range(0) != 0;
    state.SetLabel(state.range(0) ? "zstd" : "plain");
}

void BM_SavePrepared(benchmark::State& state)
{
    Fixture& f = fixture();
    setCompression(state);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray file = save(f.store);
        bytes = file.size();
        benchmark::DoNotOptimize(file.constData());
    }
    state.counters["file_bytes_per_page"] = double(bytes) / kPages;
    state.counters["file_MB"] = bytes / 1e6;
    frCompressor().Enabled = false;
}
BENCHMARK(BM_SavePrepared)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadPrepared(benchmark::State& state)
{
    Fixture& f = fixture();
    setCompression(state);
    QBuffer buffer;
    buffer.setData(save(f.store));
    frCompressor().Enabled = false;
    TfrEMFPages loaded(nullptr);
    for (auto _ : state) {
        buffer.open(QIODevice::ReadOnly);
        loaded.LoadFrom(buffer);
        buffer.close();
    }
    state.counters["pages"] = loaded.Count();
}
BENCHMARK(BM_LoadPrepared)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the store holds for 2,000 pages: page data as kept now, and what zstd would make of it.
void BM_StoreMemory(benchmark::State& state)
{
    Fixture& f = fixture();
    TfrCompressor zstd;
    qint64 plain = 0, packed = 0;
    for (auto _ : state) {
        plain = packed = 0;
        for (int i = 0; i < f.store.Count(); ++i) {
            const QByteArray& data = f.store.PageAt(i).PageData;
            plain += data.capacity() + qint64(sizeof(TfrPreparedPage));
            packed += zstd.Compress(data).size() + qint64(sizeof(TfrPreparedPage));
        }
    }
    state.counters["store_MB_plain"] = plain / 1e6;
    state.counters["store_MB_zstd"] = packed / 1e6;
    state.counters["record_bytes"] = double(sizeof(TfrPreparedPage));
}
BENCHMARK(BM_StoreMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Decoding one page into live views, as each preview paint of a newly shown page does; with
// Arg 1 the page data is decompressed first.
void BM_MaterializePage(benchmark::State& state)
{
    Fixture& f = fixture();
    TfrCompressor zstd;
    const QByteArray plain = f.store.PageAt(7).PageData;
    const QByteArray packed = zstd.Compress(plain);
    TfrPage a4(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    TfrEMFPages one(nullptr);
    one.InsertPage(0, a4);
    for (auto _ : state) {
        one.PageAt(0).PageData = state.range(0) ? zstd.Decompress(packed) : plain;
        one.MaterializePage(0);
        one.ReleasePage(0);
    }
    state.SetLabel(state.range(0) ? "zstd" : "plain");
}
BENCHMARK(BM_MaterializePage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
