#include "report/preview/PreviewSearch.h"

#include "platform/RecordingDevice.h"
#include "platform/Rounding.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/SearchHost.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScopeGuard>

namespace vaskel {

QString PreviewSearch::notFoundText()
{
    return QCoreApplication::translate("vaskel", "Text not found");
}

bool PreviewSearch::start(
    const QString& text, bool caseSensitive, bool fromCurrentPage, TfrEMFPages& pages, SearchHost& host)
{
    if (text.isEmpty())
        return false;
    SearchCaseSensitive = caseSensitive;
    SearchText = caseSensitive ? text : TfrGlobals::get().locale.toUpper(text);
    if (fromCurrentPage) {
        m_endedOnPage = -1;
        continueFromDisplayedPage(host);
    } else {
        SearchPage = 0;
        SearchResume = 0;
    }
    return FindNext(pages, host);
}

bool PreviewSearch::findAgain(TfrEMFPages& pages, SearchHost& host)
{
    if (SearchText.isEmpty())
        return false;
    continueFromDisplayedPage(host);
    return FindNext(pages, host);
}

void PreviewSearch::continueFromDisplayedPage(const SearchHost& host)
{
    const int displayed = host.displayedPage();
    // A search that ran to the end stays there while the same page is shown: F3 finds nothing
    // more until the user moves to another page.
    if (m_endedOnPage >= 0 && displayed == m_endedOnPage)
        return;
    m_endedOnPage = -1;
    if (displayed != SearchPage + 1) {
        SearchPage = std::max(displayed - 1, 0);
        SearchResume = 0;
    }
}

bool PreviewSearch::FindNext(TfrEMFPages& pages, SearchHost& host)
{
    SearchHit = false;
    if (SearchText.isEmpty())
        return false;
    m_endedOnPage = -1;
    host.setPaintingEnabled(false);
    // However the search ends (a hit, the end, Escape, a page that cannot be decoded), the page
    // area paints again.
    auto paintAgain = qScopeGuard([&host] { host.setPaintingEnabled(true); });
    while (SearchPage < pages.Count()) {
        const int page = SearchPage;
        const int match = searchPage(pages, page);
        if (match >= 0) {
            SearchHit = true;
            SearchResume = match + 1;
            paintAgain.dismiss();
            host.setPaintingEnabled(true);
            host.showHit(page, HitBounds);
            return true;
        }
        SearchResume = 0;
        ++SearchPage;
        if (host.cancelRequested())
            return false;
    }
    m_endedOnPage = host.displayedPage();
    host.showStatus(notFoundText());
    return false;
}

int PreviewSearch::searchPage(TfrEMFPages& pages, int index)
{
    TfrPreparedPage& page = pages.PageAt(index);
    const QSize paper(page.Metrics.UnitPaperWidth, page.Metrics.UnitPaperHeight);
    if (paper.width() <= 0 || paper.height() <= 0)
        return -1;
    RecordingDevice recording(paper);
    const bool wasInUse = page.InUse;
    bool keep = false;
    const auto release = qScopeGuard([&] {
        if (keep)
            return;
        page.InUse = wasInUse;
        if (!wasInUse)
            pages.ReleasePage(index);
    });
    {
        QPainter painter(&recording);
        page.InUse = true;
        pages.DrawPage(index, painter, QRect(QPoint(0, 0), paper));
    }
    const LocaleSettings& locale = TfrGlobals::get().locale;
    for (const RecordedOperation& op : recording.operations()) {
        if (op.kind != RecordedOperation::Kind::Text || op.index < SearchResume)
            continue;
        const QString text = SearchCaseSensitive ? op.text : locale.toUpper(op.text);
        if (text.contains(SearchText)) {
            HitBounds = op.bounds;
            // The page holding the hit stays decoded for the paint that shows it.
            keep = true;
            return op.index;
        }
    }
    return -1;
}

HitPlacement placeHit(const QRect& bounds, double zoom, const QRect& layoutRect, QSize client)
{
    HitPlacement p;
    // The run's box with exclusive right and bottom edges, as the mark counts its lines.
    const int h = roundToInt((bounds.bottom() + 1 - bounds.top()) * zoom);
    const int w = roundToInt((bounds.right() + 1 - bounds.left()) * zoom);
    int y = roundToInt(bounds.top() * zoom) + 10;
    int x = layoutRect.left() + roundToInt(bounds.left() * zoom);
    const int a = client.width();
    const int b = client.height();
    if (b - h < y) {
        p.scrollY = layoutRect.top() + y + h - b - 10;
        y = b - h;
    } else {
        p.scrollY = layoutRect.top() - 10;
    }
    if (a - w < x) {
        p.scrollX = layoutRect.left() + x + w - a - 10;
        x = a - w;
    } else {
        p.scrollX = layoutRect.left() - 10;
    }
    p.mark = QRect(x, y, w, h);
    return p;
}

} // namespace vaskel
