#pragma once
// Prepared pages built by hand: a memo placed as a printed band leaves it, and its record appended
// to a page as the printing of a view appends it.
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrMemoView.h"

#include <QRect>
#include <QStringList>

namespace vaskel::test {

// `memo` at `rect` (report units from the paper's corner), showing `text`.
inline void placeMemo(TfrMemoView& memo, const QRect& rect, const QString& text)
{
    memo.Left = rect.left();
    memo.Top = rect.top();
    memo.Width = rect.width();
    memo.Height = rect.height();
    memo.Memo = QStringList{text};
    memo.ExpandedText = memo.Memo;
}

// Appends `view` to page `page` of `store` as the record of a printed view.
inline void appendPrinted(TfrEMFPages& store, int page, TfrView& view)
{
    ReportStreamWriter w = store.RecordWriter(page);
    PreparedObjectEntry::write(view, w);
    store.AppendRecords(page, w);
}

} // namespace vaskel::test
