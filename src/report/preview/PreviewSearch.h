#pragma once
// Text search over prepared pages as they print: each page is drawn into a recording device and
// the recorded text runs are compared with the search text, so expanded and formatted text is
// found exactly as it appears. A hit is one text run; the next search step continues after it.
// The operations of a page are numbered in drawing order from 0 (the recording's header), text or
// not, and the search resumes at an operation number.
//
// One page at a time is decoded: a page without a hit lets its live views go at once.
#include <QRect>
#include <QSize>
#include <QString>

namespace vaskel {

class SearchHost;
class TfrEMFPages;

class PreviewSearch {
public:
    // What "Text not found" says in the status line.
    static QString notFoundText();

    // A search from the Find dialog: the text (upper-cased unless case-sensitive), then from the
    // first page or, with `fromCurrentPage`, from the displayed page (after the previous hit when
    // it is still displayed). An empty text does nothing. True on a hit.
    bool start(
        const QString& text, bool caseSensitive, bool fromCurrentPage, TfrEMFPages& pages, SearchHost& host);
    // F3: on from the previous hit, or from the displayed page once the user moved to another.
    // Nothing while no text was searched for.
    bool findAgain(TfrEMFPages& pages, SearchHost& host);
    // One search step from (SearchPage, SearchResume) to the end of the report.
    bool FindNext(TfrEMFPages& pages, SearchHost& host);

    QString SearchText;
    bool SearchCaseSensitive = false;
    bool SearchHit = false;
    QRect HitBounds; // report units from the paper's top-left corner
    int SearchPage = 0; // 0-based
    int SearchResume = 0; // first operation on SearchPage that may still match

private:
    void continueFromDisplayedPage(const SearchHost& host);
    // The number of the first matching operation at or after SearchResume on `page`, or -1.
    int searchPage(TfrEMFPages& pages, int page);

    // The displayed page when the last step reached the end without a hit; -1 otherwise.
    int m_endedOnPage = -1;
};

// Where a hit is shown: the page area's scroll position and the mark's rectangle on the area
// (client pixels, right and bottom exclusive as width and height count), for a hit of `bounds`
// (report units) at zoom `zoom` on a page laid out at `layoutRect`, in an area of `client`
// pixels. A hit too low (or too far right) for the area scrolls so that the mark ends at the
// area's bottom (right) edge; otherwise the page's corner comes 10 pixels inside the area.
struct HitPlacement {
    int scrollX = 0;
    int scrollY = 0;
    QRect mark;
};
HitPlacement placeHit(const QRect& bounds, double zoom, const QRect& layoutRect, QSize client);

} // namespace vaskel
