#pragma once
// The layout engine's working form of one template page during a run. Forming the page walks the
// master, detail and subdetail datasets, prints bands in their fixed order (title, headers, data
// with its pending bands and group breaks, summary, footers), opens new columns and pages when a
// band does not fit and ends pages with their footers. The former owns the page's band tree and
// the position on the page; the work around it is done by its parts, each in its own file:
//
//   BandTreeBuilder   builds the band tree from the page's band views when a run starts
//   BandPrinter       prints one band: script, fit check, measuring, placing, writing its views
//   BandSplitter      prints a band across page ends
//   SubReportRunner   records the pages of sub-reports and replays them inside a band
//   CrossRowPrinter   prints the cross band cells of a row, column by column
//
// One former exists per template page and run (PageFormerList, held by the report); the report's
// run control (TfrReportRun.cpp) calls InitRun, ResolveAndRegister, FormPage and FinishRun in that
// order. Coordinates are report units, y growing downwards from the paper's top edge.
#include "report/engine/BandPrinter.h"
#include "report/engine/BandSplitter.h"
#include "report/engine/CrossRowPrinter.h"
#include "report/engine/PageFormationState.h"
#include "report/engine/SubReportRunner.h"
#include "report/engine/TfrBand.h"

#include <array>
#include <memory>
#include <vector>

namespace vaskel {

class TfrPage;
class TfrReport;

// Where the last formed page ended, for a following template page printed on the same prepared
// page; shared by the formers of one run.
struct PageContinuation {
    qint32 ContinueY = 0; // report units
    qint32 ContinueBottom = 0; // report units
    bool FooterOnLastPage = false; // the page footer was printed on the last prepared page
    // The page being formed continues the last prepared page (the template page prints on the
    // previous one) until a new page starts.
    bool AppendToLastPage = false;
    // Recorded sub-report actions replayed so far in the run, nested sub-reports included: a
    // turn of sub-report printing on a new page that plays none cannot finish.
    qint64 ActionsPlayed = 0;
};

// Whether a former prints its bands or records them for a sub-report view to replay; the values
// are the ones the former has always used.
enum class FormingMode : quint8 {
    Print = 0,
    Record = 1, // a sub-report page: band prints and dataset steps become recorded actions
};

class PageFormer : public PageFormationState {
public:
    static constexpr int kBandKinds = 23;
    // The first band of each kind's chain, by band type code; each owns the rest of its chain.
    using BandSlots = std::array<std::unique_ptr<TfrBand>, kBandKinds>;

    PageFormer(TfrReport& report, TfrPage& page, PageContinuation& continuation);
    ~PageFormer() override;
    PageFormer(const PageFormer&) = delete;
    PageFormer& operator=(const PageFormer&) = delete;

    TfrPage& page() const { return m_page; }
    TfrReport& report() const { return m_report; }

    // Run operations, in the order of a run.
    void InitRun(bool finalPassOfTwo);
    void ResolveAndRegister();
    void FormPage();
    void FinishRun(bool afterFirstPassOfTwo);

    // Band printing, also reached from scripts (SHOWBAND, NEWPAGE, CURY) and sub-reports: prints
    // the band, or records it on a sub-report page.
    void ShowBand(TfrBand* band);
    void ShowBand(TfrBand& band) override { ShowBand(&band); }
    void NewColumn(TfrBand& band);
    void NewPage();
    void EndPage();
    void ResetLines(TfrBand& band, qint32 n);
    // A script assigned CURY: report units.
    void SetCurY(qint32 y);

    // The recorded actions of a sub-report page (see SubReportRunner).
    enum class RecordedAction : quint8 { Print = 0, First = 1, Next = 2 };
    struct Recorded {
        TfrBand* band;
        RecordedAction action;
    };

    // PageFormationState
    TfrBand* FirstBandOfKind(int kind) const override;
    qint32 CurY() const override { return m_curY; }
    qint32 BottomY() const override { return m_bottomY; }
    qint32 ColumnNumber() const override { return m_columnNumber; }
    qint32 CurrentRecord() const override { return m_currentRecord; }

    // Working fields (report units where geometry).
    bool SubReportPage = false;
    bool Initialised = false;
    qint32 ColumnIndex = 0;
    qint32 ColumnTopY = 0;
    qint32 XOffset = 0;
    std::vector<Recorded> RecordedActions;
    FormingMode RecordMode = FormingMode::Print;
    int PlayIndex = 0;
    TfrBand* PendingBand = nullptr; // not owned
    TfrBand* PreviousBand = nullptr; // not owned
    bool NoRepeat = false;

    // Page limits while the report runs; the bottom one leaves room for the page footer.
    qint32 topLimit() const;
    qint32 leftLimit() const;
    qint32 bottomLimit() const;
    // Room the column footer takes at the bottom of a column.
    qint32 columnFooterHeight() const;
    // The run must stop (Cancel, STOPREPORT or a calculation error).
    bool stopped() const;
    TfrBand& slot(int kind) const { return *m_slots[static_cast<size_t>(kind)]; }

private:
    // The parts work on the former's page position and band tree.
    friend class BandTreeBuilder;
    friend class BandPrinter;
    friend class BandSplitter;
    friend class SubReportRunner;
    friend class CrossRowPrinter;

    // Data walk.
    void WalkLevel(int level);
    bool groupChanged(TfrBand& group, bool eof) const;
    void addPending(TfrBand* band);
    void flushPending();
    void fireEndPage();

    TfrReport& m_report;
    TfrPage& m_page;
    PageContinuation& m_continuation;
    BandSlots m_slots;
    std::vector<TfrBand*> m_pending;
    int m_deepestLevel = 0;
    bool m_inPageFrame = false; // NewPage is printing the overlay, page header and column header
    qint32 m_curY = 0;
    qint32 m_bottomY = 0;
    qint32 m_columnNumber = 1;
    qint32 m_currentRecord = 1;

    BandPrinter m_printer;
    BandSplitter m_splitter;
    SubReportRunner m_subReports;
    CrossRowPrinter m_crossRows;
};

// Runs a template page's script (its OnBeforePrint), compiled for this one run; errors are
// calculation errors.
void RunPageScript(TfrReport& report, const TfrPage& page);

} // namespace vaskel
