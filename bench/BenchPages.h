#pragma once
// What the benchmarks over a very large prepared report share: the report itself (A4 pages of
// bill lines written straight into the store, as the layout engine writes them) and the process's
// peak resident memory.
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <sys/resource.h>

namespace vaskel::bench {

// Peak resident memory of the process so far, in MiB.
inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Fills the store with `pages` A4 pages of `memosPerPage` memos: bill lines of number, article
// text (Latin and Chinese), quantity, price and amount. A non-empty `lastText` replaces the text
// of the report's very last memo, for a search that must walk every page.
inline void fillBillPages(TfrEMFPages& store, int pages, int memosPerPage, const QString& lastText = {})
{
    TfrPage a4(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
    TfrMemoView memo;
    memo.Font.Name = QStringLiteral("Arial");
    memo.Height = 18;
    memo.FrameTyp = 15;
    for (int p = 0; p < pages; ++p) {
        store.InsertPage(p, a4);
        ReportStreamWriter w = store.RecordWriter(p);
        for (int m = 0; m < memosPerPage; ++m) {
            const int line = p * memosPerPage + m;
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
            if (!lastText.isEmpty() && p == pages - 1 && m == memosPerPage - 1)
                memo.ExpandedText = {lastText};
            PreparedObjectEntry::write(memo, w);
        }
        store.AppendRecords(p, w);
    }
}

} // namespace vaskel::bench
