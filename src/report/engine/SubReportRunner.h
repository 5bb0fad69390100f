#pragma once
// The sub-reports of a PageFormer's bands. A sub-report view prints the data bands of another
// template page at its own top left corner. That page first forms in record mode: its data walk
// runs and every band print and dataset step becomes a recorded action. The band holding the
// views then replays the recorded pages side by side, one page end at a time: a band that does
// not fit stops its page's replay until the band page has started a new page, where every
// unfinished sub-report continues from the same y. Each former has one runner: the band page's
// starts and drives the replay, a sub-report page's replays its own recorded actions.
#include "report/engine/PageFormerPart.h"

namespace vaskel {

class PageFormer;
class TfrBand;
class TfrView;

class SubReportRunner : private PageFormerPart {
public:
    explicit SubReportRunner(PageFormer& former) : PageFormerPart(former) { }

    // Records the pages of the band's visible sub-report views (from `SubReportStart` on) and
    // places them at their views.
    void StartSubReports(TfrBand& band);
    // Replays the recorded pages, starting new pages of the band page as long as one of them has
    // more; on a sub-report page itself it leaves that to the enclosing band (`PendingBand`).
    void RunSubReports(TfrBand& band);
    // Replays this sub-report page's recorded actions until a band does not fit (true) or none
    // is left (false).
    bool PlayActions();

private:
    // The former of the page a sub-report view prints; a page index that names no page ends the
    // run.
    PageFormer& subReportFormer(const TfrView& view) const;
};

} // namespace vaskel
