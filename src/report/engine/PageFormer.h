#pragma once
// The layout engine's working form of one template page during a run. At the start of a run it
// builds the page's band tree from the band views (one chain of engine bands per band kind, with
// header/footer/data links, group lists and child links); forming the page then walks the master,
// detail and subdetail datasets, prints bands in their fixed order, opens new columns and pages
// when a band does not fit and writes every printed view into the report's prepared pages store.
//
// One former exists per template page and run (PageFormerList, held by the report); the report's
// run control (TfrReportRun.cpp) calls InitRun, ResolveAndRegister, FormPage and FinishRun in that
// order. Coordinates are report units, y growing downwards from the paper's top edge.
//
// The implementation is split by responsibility: BandTree.cpp builds the band tree, PageFormer.cpp
// forms pages (data walk, columns, pages), BandPrinting.cpp prints one band, BandSplit.cpp splits
// a band across page ends, SubReports.cpp holds the entry points of sub-reports and cross bands.
#include "report/engine/PageFormationState.h"
#include "report/engine/TfrBand.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace vaskel {

class DatabaseDataset;
class TfrPage;
class TfrReport;
class TfrView;

// Where the last formed page ended, for a following template page printed on the same prepared
// page; shared by the formers of one run.
struct PageContinuation {
    qint32 ContinueY = 0; // report units
    qint32 ContinueBottom = 0; // report units
    bool FooterOnLastPage = false; // the page footer was printed on the last prepared page
    // Recorded sub-report actions replayed so far in the run, nested sub-reports included: a
    // turn of sub-report printing on a new page that plays none cannot finish.
    qint64 ActionsPlayed = 0;
};

class PageFormer : public PageFormationState {
public:
    static constexpr int kBandKinds = 23;
    static constexpr int kMaxPendingBands = 100;

    PageFormer(TfrReport& report, TfrPage& page, PageContinuation& continuation);
    ~PageFormer() override;
    PageFormer(const PageFormer&) = delete;
    PageFormer& operator=(const PageFormer&) = delete;

    TfrPage& page() const { return m_page; }

    // Run operations, in the order of a run.
    void InitRun(bool finalPassOfTwo);
    void ResolveAndRegister();
    void FormPage();
    void FinishRun(bool afterFirstPassOfTwo);

    // Band printing, also reached from scripts (SHOWBAND, NEWPAGE, CURY) and sub-reports.
    void ShowBand(TfrBand* band);
    void ShowBand(TfrBand& band) override { ShowBand(&band); }
    void NewColumn(TfrBand& band);
    void NewPage();
    void EndPage();
    void ResetLines(TfrBand& band, qint32 n);
    // A script assigned CURY: report units.
    void SetCurY(qint32 y);

    bool DrawBand(TfrBand& band);
    void PlaceBand(TfrBand& band);
    qint32 MeasureBand(TfrBand& band);
    qint32 MeasureStretch(TfrBand& band);
    bool CheckFit(TfrBand& band, qint32 y, qint32 h, bool testOnly);
    bool DrawViews(TfrBand& band);
    void DrawView(TfrBand& band, TfrView& view);
    void DrawSplit(TfrBand& band);

    // Sub-reports and cross bands: the recorded actions of a sub-report page and the cross rows.
    enum class RecordedAction : quint8 { Print = 0, First = 1, Next = 2 };
    struct Recorded {
        TfrBand* band;
        RecordedAction action;
    };
    void StartSubReports(TfrBand& band);
    void RunSubReports(TfrBand& band);
    bool PlayActions();
    qint32 MeasureCrossRow(TfrBand& band);
    void DrawCrossRow(TfrBand& band);
    // Writes the cells a cross band shares with `row`, the cross band's column starting at x
    // (report units), into the prepared page `PageNumber` names.
    void DrawCrossCell(TfrBand& cross, TfrBand& row, qint32 x);

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
    quint8 RecordMode = 0; // 0 prints, 1 records (a sub-report page)
    int PlayIndex = 0;
    TfrBand* PendingBand = nullptr; // not owned
    TfrBand* PreviousBand = nullptr; // not owned
    bool NoRepeat = false;

    // Page limits while the report runs; the bottom one leaves room for the page footer.
    qint32 topLimit() const;
    qint32 leftLimit() const;
    qint32 bottomLimit() const;

private:
    // Band tree (BandTree.cpp).
    void prepareViews();
    void buildCrossBands();
    void buildBandsOfKind(TfrBandKind kind);
    void takeBandViewSettings(TfrBand& band, TfrBandView& view);
    void collectViews(TfrBand& band);
    void linkHeadersAndFooters();
    void linkGroupFooters();
    void linkColumnDatasets();
    void linkChildBands();
    void linkGroupHeaders();
    void resetForFinalPass();
    void bindSingleFieldViews();
    // The report dataset (of a band of this page, or the report's) that walks `dataset`.
    TfrDataset* reportDatasetOver(const DatabaseDataset* dataset) const;

    // Data walk (PageFormer.cpp).
    void WalkLevel(int level);
    bool groupChanged(TfrBand& group, bool eof) const;
    void addPending(TfrBand* band);
    void flushPending();

    // Band printing helpers (BandPrinting.cpp).
    void runBandScript(TfrBand& band);
    // What the views of `band` (none: of no band) are told while they are measured or printed
    // on this page.
    PrintContext printContext(TfrBand* band) const;
    // Writes `view` of `band` moved by (dx, dy) report units into the prepared page `PageNumber`
    // names, or with `scriptOnly` (the first of two passes) runs only its script; false after an
    // error, which became the run's calculation error.
    bool writeView(TfrBand& band, TfrView& view, qint32 dx, qint32 dy, bool scriptOnly);
    // The largest of the band's height and the bottoms of its stretcheable views, those a cross
    // band owns too when `withCells`; each view's `DesignHeight` is taken first.
    qint32 measureViews(TfrBand& band, bool withCells);
    void placeColumns(TfrBand& band);
    qint32 columnFooterHeight() const;
    TfrBand& slot(int kind) const { return *m_slots[static_cast<size_t>(kind)]; }
    bool stopped() const;
    void moveViewsBelow(TfrBand& band, TfrView& split, qint32 by);

    void fireEndPage();

    // Sub-reports and cross rows (SubReports.cpp).
    // The former of the page a sub-report view prints; a page index that names no page ends the
    // run.
    PageFormer& subReportFormer(const TfrView& view) const;
    // Moves to the next prepared page when a column of `width` at x does not fit the page width;
    // x and the page's cross shift follow (report units).
    void FitColumn(TfrBand& row, qint32 width, qint32& x, qint32 firstPage);

    TfrReport& m_report;
    TfrPage& m_page;
    PageContinuation& m_continuation;
    std::array<std::unique_ptr<TfrBand>, kBandKinds> m_slots;
    std::vector<TfrBand*> m_pending;
    int m_deepestLevel = 0;
    bool m_inPageFrame = false; // NewPage is printing the overlay, page header and column header
    qint32 m_curY = 0;
    qint32 m_bottomY = 0;
    qint32 m_columnNumber = 1;
    qint32 m_currentRecord = 1;
};

// Runs a template page's script (its OnBeforePrint), compiled for this one run; errors are
// calculation errors.
void RunPageScript(TfrReport& report, const TfrPage& page);

// While a page forms (or a sub-report page records or replays its bands) the report's lookup and
// functions read that page, SHOWBAND prints on it and CURY moves its position; afterwards they
// find the page they found before.
class FormingPage {
public:
    FormingPage(TfrReport& report, PageFormer& former);
    ~FormingPage();
    FormingPage(const FormingPage&) = delete;
    FormingPage& operator=(const FormingPage&) = delete;

private:
    TfrReport& m_report;
    PageFormationState* m_previousState;
    std::function<void(qint32)> m_previousCurY;
};

// The formers of one run, one per template page, in page order; kept from the first pass of a
// two-pass run to the final one.
class PageFormerList {
public:
    PageFormerList();
    ~PageFormerList();
    PageFormerList(const PageFormerList&) = delete;
    PageFormerList& operator=(const PageFormerList&) = delete;

    // Makes one former per page of `report`'s template, replacing earlier ones.
    void create(TfrReport& report);
    // Marks the pages that sub-report views print. Sub-reports that print each other in a loop,
    // or their own page, would print without end: they end the run with an error instead.
    void linkSubReports();
    void clear();
    // The former of that template page, or none.
    PageFormer* formerOf(const TfrPage* page) const;
    const std::vector<std::unique_ptr<PageFormer>>& formers() const { return m_formers; }
    PageContinuation& continuation() { return m_continuation; }

private:
    std::vector<std::unique_ptr<PageFormer>> m_formers;
    PageContinuation m_continuation;
};

} // namespace vaskel
