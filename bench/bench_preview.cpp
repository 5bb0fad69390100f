// The preview window over a prepared report of 2,000 A4 pages (20 memos a page, as a long bill
// prints them). Measured: from ShowReport to the first page painted; the repaint after one
// scroll step (only the uncovered strip is painted: compare with a full repaint of the area);
// and paging through every page, with the largest number of pages decoded at once and the
// process's memory before and after (pages out of view are released as the view moves on).
#include "platform/SettingsStore.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/preview/PreviewWindows.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrPreviewForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

using namespace vaskel;

constexpr int kPages = 2000;
constexpr int kMemosPerPage = 20;

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
            memo.Name = QStringLiteral("Memo%1").arg(m % 5 + 1);
            memo.Left = 40 + (m % 5) * 140;
            memo.Top = 100 + (m / 5) * 40;
            memo.Width = 140;
            memo.ExpandedText = {m % 5 == 1 ? QString::fromUtf8("螺纹钢 HRB400 Φ%1").arg(p % 32)
                                            : QString::number(p * kMemosPerPage + m)};
            PreparedObjectEntry::write(memo, w);
        }
        store.AppendRecords(p, w);
    }
}

// Resident and peak memory of the process, in megabytes (Linux).
double memoryMB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

struct Fixture {
    Fixture() : settings(dir.filePath("settings.ini"))
    {
        PreviewWindows::install(globals);
        report.ModalPreview = false;
        settings.writeBool(TfrPreviewForm::settingsSection() + "Maximized", false);
        settings.writeInteger(TfrPreviewForm::settingsSection() + "Width", 800);
        settings.writeInteger(TfrPreviewForm::settingsSection() + "Height", 600);
        fill(report.PreparedPages());
    }
    // A new window on the report's pages, shown, with its first page painted.
    std::unique_ptr<TfrPreviewForm> show()
    {
        auto form = std::make_unique<TfrPreviewForm>();
        form->Settings = &settings;
        form->ShowReport(report);
        // The first paint comes from the event loop once the window is exposed.
        while (form->PageArea->paintCount() == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return form;
    }
    TfrGlobals globals;
    QTemporaryDir dir;
    SettingsStore settings;
    TfrReport report;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

int decodedPages(const TfrEMFPages& pages)
{
    int n = 0;
    for (int i = 0; i < pages.Count(); ++i)
        n += pages.PageAt(i).LivePage ? 1 : 0;
    return n;
}

void BM_ShowReportToFirstPaint(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        std::unique_ptr<TfrPreviewForm> form = f.show();
        state.PauseTiming();
        form->ReleasePages(); // the pages go back to the report for the next round
        form.reset();
        state.ResumeTiming();
    }
    state.counters["pages"] = kPages;
}
BENCHMARK(BM_ShowReportToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ScrollStep(benchmark::State& state)
{
    Fixture& f = fixture();
    std::unique_ptr<TfrPreviewForm> form = f.show();
    const bool full = state.range(0) != 0;
    int painted = 0;
    for (auto _ : state) {
        QScrollBar* bar = form->VScrollBar;
        bar->setValue(bar->value() + TfrPreviewForm::kSmallStep < bar->maximum()
                ? bar->value() + TfrPreviewForm::kSmallStep
                : 0);
        if (full)
            form->PageArea->repaint();
        else
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        painted = form->PageArea->lastPaintedRegion().boundingRect().height();
    }
    state.SetLabel(full ? "full repaint" : "strip only");
    state.counters["painted_rows_px"] = painted;
    state.counters["area_rows_px"] = form->PageArea->height();
    form->ReleasePages();
}
BENCHMARK(BM_ScrollStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PageThroughAllPages(benchmark::State& state)
{
    Fixture& f = fixture();
    const double before = memoryMB("VmRSS:");
    int most = 0;
    for (auto _ : state) {
        std::unique_ptr<TfrPreviewForm> form = f.show();
        for (int i = 1; i < kPages; ++i) {
            form->PgDownClick();
            QCoreApplication::processEvents();
            most = std::max(most, decodedPages(*form->HeldPages));
        }
        form->ReleasePages();
    }
    state.counters["max_decoded_pages"] = most;
    state.counters["rss_MB_before"] = before;
    state.counters["rss_MB_after"] = memoryMB("VmRSS:");
    state.counters["peak_rss_MB"] = memoryMB("VmHWM:");
}
BENCHMARK(BM_PageThroughAllPages)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
