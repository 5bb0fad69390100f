#pragma once
// Printing one band of the page a PageFormer forms: the band's script, its page and column
// requests, the fit check, measuring stretched content, placing it at the page position or at its
// own, writing its views into the current prepared page, band columns side by side and its child
// band. A band whose sub-reports, cross cells or split across page ends need more goes to the
// former's other parts. Errors of scripts and expressions become the run's calculation error and
// stop the run at its next check. Report units throughout.
#include "report/engine/PageFormerPart.h"
#include "report/model/PrintContext.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace vaskel {

class PageFormer;
class TfrBand;
class TfrPage;
class TfrView;

class BandPrinter : private PageFormerPart {
public:
    explicit BandPrinter(PageFormer& former) : PageFormerPart(former) { }

    // Prints the band now; true when it did not fit where the page stood (it printed after a new
    // column or page, or, on a sub-report page, not at all) or its sub-reports continue.
    bool DrawBand(TfrBand& band);
    // Measures the band (and the data bands without a dataset that print with it) as it would
    // print now; remembers the largest height in `MeasuredHeight`.
    qint32 MeasureBand(TfrBand& band);
    qint32 MeasureStretch(TfrBand& band);
    // Whether a band of height h at y passes the column's bottom; unless `testOnly`, a new column
    // (or page) starts when it does.
    bool CheckFit(TfrBand& band, qint32 y, qint32 h, bool testOnly);
    // Writes the band's views at the band's place; true when a sub-report view took over.
    bool DrawViews(TfrBand& band);
    void DrawView(TfrBand& band, TfrView& view);

    void runBandScript(TfrBand& band);

    // The run state expression and script callbacks see while bands print. The band being
    // printed, and the view whose expressions or script run, become current and stay current
    // after they printed: the group conditions and aggregates evaluated between bands, the band
    // events and the text of a calculation error read the band and view printed last. A nested
    // print (a column footer before a new column, a band a script shows, a sub-report) makes its
    // own band current, so the printing band is made current again after one; a sub-report
    // makes its own page current, so the band's page is made current again after it.
    static void makeCurrent(TfrBand& band);
    static void makeCurrent(TfrView* view);
    static void makeCurrent(TfrPage& page);
    // What the views of `band` (none: of no band) are told while they are measured or printed
    // on the former's page.
    PrintContext printContext(TfrBand* band) const;
    // Writes `view` of `band` moved by (dx, dy) report units into the prepared page `PageNumber`
    // names, or with `scriptOnly` (the first of two passes) runs only its script; false after an
    // error, which became the run's calculation error.
    bool writeView(TfrBand& band, TfrView& view, qint32 dx, qint32 dy, bool scriptOnly);
    // The largest of the band's height and the bottoms of its stretcheable views, those a cross
    // band owns too when `withCells`; each view's `DesignHeight` is taken first.
    qint32 measureViews(TfrBand& band, bool withCells);

private:
    void PlaceBand(TfrBand& band);
    void placeColumns(TfrBand& band);

    // The PDF's outline names the headers of the page's outermost groups (the first group of each
    // master data band; not a sub-report's, not a repeat on a new page) as they print in the
    // final pass. The entry is noted on the prepared page where the band starts printing, and
    // takes the texts its memos print.
    bool isOutermostGroupHeader(const TfrBand& band) const;
    void beginOutlineEntry(TfrBand& band);
    void noteOutlineText(const TfrView& view); // a view of the header being noted printed
    void endOutlineEntry(TfrBand& band);
    struct OutlinePiece {
        qint32 Left = 0, Top = 0;
        QString Text;
    };
    struct OutlineNote {
        const TfrBand* Band = nullptr; // none while no outermost group header prints
        int Page = -1;
        size_t Entry = 0;
        std::vector<OutlinePiece> Pieces;
    };
    OutlineNote m_outline;
};

} // namespace vaskel
