#include "report/engine/PageFormer.h"

#include "report/engine/BandTreeBuilder.h"
#include "report/engine/CalculationError.h"
#include "report/engine/TfrReport.h"
#include "report/expr/ValueOperators.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <QScopeGuard>

namespace vaskel {

namespace {

constexpr TfrBandKind kDataKinds[] = {MasterData, DetailData, SubdetailData};

} // namespace

PageFormer::PageFormer(TfrReport& report, TfrPage& page, PageContinuation& continuation)
    : m_report(report),
      m_page(page),
      m_continuation(continuation),
      m_printer(*this),
      m_splitter(*this),
      m_subReports(*this),
      m_crossRows(*this)
{
}

PageFormer::~PageFormer() = default;

qint32 PageFormer::topLimit() const
{
    return m_page.TopLimit();
}

qint32 PageFormer::leftLimit() const
{
    return m_page.LeftLimit();
}

qint32 PageFormer::bottomLimit() const
{
    const TfrBand* footer = FirstBandOfKind(PageFooter);
    return m_page.BottomLimit() - (footer && footer->exists() ? footer->Height : 0);
}

bool PageFormer::stopped() const
{
    return m_report.StopRequested || m_report.scope().StopRequested;
}

void PageFormer::ShowBand(TfrBand* band)
{
    if (!band)
        return;
    if (RecordMode == FormingMode::Record)
        RecordedActions.push_back({band, RecordedAction::Print});
    else
        m_printer.DrawBand(*band);
}

void PageFormer::ResetLines(TfrBand& band, qint32 n)
{
    band.LineNumber = n;
    for (TfrView* v : band.Views) {
        if (auto* memo = dynamic_cast<TfrMemoView*>(v))
            memo->LastText.clear();
    }
}

void PageFormer::SetCurY(qint32 y)
{
    m_curY = y;
    TfrBand* band = frRun().CurrentBand;
    if (band && (band->NewPageRequests > 0 || band->NewColumnRequests > 0))
        band->KeepCurY = true;
}

void RunPageScript(TfrReport& report, const TfrPage& page)
{
    if (page.PageScript.isEmpty())
        return;
    TInterpretator& interpreter = TfrGlobals::get().interpreter;
    QStringList compiled;
    QStringList errors; // not shown: the lines compiled before an error still run
    interpreter.CompileScript(page.PageScript, compiled, errors);
    try {
        interpreter.RunScript(compiled);
    } catch (const VaskelError& e) {
        RaiseCalculationError(report, e.message());
    }
}

void PageFormer::fireEndPage()
{
    if (m_report.OnEndPage)
        m_report.OnEndPage(frRun().PageNumber);
}

void PageFormer::FormPage()
{
    RunState& run = frRun();
    TfrEMFPages& store = m_report.PreparedPages();
    if (!m_report.PrintIfEmpty) {
        bool empty = true;
        try {
            if (TfrDataset* d = slot(MasterData).Dataset) {
                d->First();
                empty = d->Eof();
            }
        } catch (const std::exception&) {
            empty = true;
        }
        if (empty) {
            // A sub-report page that records nothing leaves the page numbering alone.
            if (m_continuation.AppendToLastPage && RecordMode == FormingMode::Print)
                ++run.PageNumber;
            return;
        }
    }
    NoRepeat = false;
    const bool manual = static_cast<bool>(m_report.OnManualBuild);
    if (RecordMode == FormingMode::Print) {
        RunPageScript(m_report, m_page);
        if (m_continuation.AppendToLastPage && m_continuation.ContinueY == m_continuation.ContinueBottom) {
            m_continuation.AppendToLastPage = false;
            m_continuation.FooterOnLastPage = false;
            run.PageNumber = store.Count();
        }
        m_bottomY = m_continuation.AppendToLastPage && m_continuation.FooterOnLastPage
            ? m_continuation.ContinueBottom
            : bottomLimit();
        ColumnIndex = 0;
        XOffset = leftLimit();
        if (!m_continuation.AppendToLastPage) {
            store.AddPage(m_page);
            m_curY = topLimit();
            ShowBand(&slot(Overlay));
            ShowBand(&slot(NoBand));
        } else {
            m_curY = m_continuation.ContinueY;
        }
        const qint32 before = run.PageNumber;
        if (!manual)
            ShowBand(&slot(ReportTitle));
        if (run.PageNumber == before) {
            TfrBand& header = slot(PageHeader);
            if (header.exists() && header.hasFlag(BandFlags::OnFirstPage))
                ShowBand(&header);
            ShowBand(&slot(ColumnHeader));
        }
    }
    if (!manual) {
        m_deepestLevel = 0;
        for (int level = 1; level <= 3; ++level) {
            if (slot(kDataKinds[level - 1]).exists())
                m_deepestLevel = level;
        }
        WalkLevel(1);
    }
    if (RecordMode == FormingMode::Print) {
        if (manual) {
            m_report.OnManualBuild(m_page);
        } else {
            NoRepeat = true;
            ShowBand(&slot(ColumnFooter));
            TfrBand& columnFooter = slot(ColumnFooter);
            const qint32 height = columnFooter.Height;
            columnFooter.Height = 0;
            ShowBand(&slot(ReportSummary));
            columnFooter.Height = height;
            NoRepeat = false;
        }
        m_continuation.ContinueY = ColumnIndex > 0 ? bottomLimit() : m_curY;
        m_continuation.ContinueBottom = m_bottomY;
        ColumnIndex = 0;
        XOffset = leftLimit();
        const qint32 p = run.PageNumber;
        m_continuation.FooterOnLastPage = false;
        TfrBand& footer = slot(PageFooter);
        if (!manual
            && ((run.PageNumber == 0 && footer.hasFlag(BandFlags::OnFirstPage))
                || footer.hasFlag(BandFlags::OnLastPage))) {
            // With OnFirstPage on for the moment, a one-page formation gets its footer too.
            const auto restoreFlags = qScopeGuard([&footer, flags = footer.Flags] { footer.Flags = flags; });
            footer.Flags |= BandFlags::OnFirstPage;
            m_continuation.FooterOnLastPage = footer.exists();
            if (footer.exists())
                EndPage();
        }
        fireEndPage();
        run.PageNumber = p + 1;
    }
    PreviousBand = nullptr;
}

void PageFormer::addPending(TfrBand* band)
{
    if (band)
        m_pending.push_back(band);
}

void PageFormer::flushPending()
{
    // ShowBand may start a data walk of its own (a child band with SHOWBAND); work on a copy.
    const std::vector<TfrBand*> bands = std::move(m_pending);
    m_pending.clear();
    for (TfrBand* b : bands) {
        if (b->exists())
            ShowBand(b);
    }
}

bool PageFormer::groupChanged(TfrBand& group, bool eof) const
{
    if (eof || group.HeldGroupValue.isEmpty())
        return true;
    const Value now = TfrGlobals::get().parser.EvaluateCompiled(group.CompiledCondition);
    return ValueOps::compare(now, group.HeldGroupValue) != 0;
}

void PageFormer::WalkLevel(int level)
{
    ReportAggregates& aggregates = m_report.scope().aggregates();
    for (TfrBand* d = &slot(kDataKinds[level - 1]); d; d = d->NextOfKind()) {
        TfrDataset* ds = d->Dataset;
        if (!ds)
            continue;
        ds->First();
        if (RecordMode == FormingMode::Record) {
            RecordedActions.push_back({d, RecordedAction::First});
        } else {
            ResetLines(*d, 1);
            d->LineThrough = 1;
        }
        for (TfrBand* g = d->FirstGroupHeader; g; g = g->NextGroupHeader) {
            ResetLines(*g, 0);
            g->LineThrough = 0;
        }
        if (ds->Eof())
            continue;
        for (TfrBand* g = d->FirstGroupHeader; g; g = g->NextGroupHeader) {
            ++g->LineNumber;
            ++g->LineThrough;
            addPending(g);
        }
        addPending(d->HeaderLink);
        if (d->FooterLink)
            aggregates.ResetAggregates(*d->FooterLink);
        while (!ds->Eof() && !stopped()) {
            bool printed = true;
            addPending(d);
            if (d->PrintIfSubsetEmpty)
                flushPending();
            if (level < m_deepestLevel) {
                WalkLevel(level + 1);
                if (!m_pending.empty()) {
                    // The deeper levels printed no record.
                    if (d->PrintIfSubsetEmpty) {
                        flushPending();
                    } else {
                        m_pending.pop_back();
                        printed = false;
                    }
                }
            } else {
                flushPending();
            }
            ds->Next();
            bool endOfData = false;
            for (TfrBand* g = d->FirstGroupHeader; g; g = g->NextGroupHeader) {
                const bool eof = ds->Eof();
                if (!groupChanged(*g, eof))
                    continue;
                // The footers print while the dataset stands on the last record of the group.
                bool movedBack = false;
                if (!eof) {
                    try {
                        ds->Prior();
                        movedBack = true;
                    } catch (const VaskelError&) {
                        movedBack = false;
                    }
                }
                for (TfrBand* q = d->LastGroupHeader; q && q != g; q = q->PrevOfKind) {
                    addPending(q->FooterLink);
                    ResetLines(*q, 0);
                    if (q->FooterLink)
                        ResetLines(*q->FooterLink, 0);
                }
                addPending(g->FooterLink);
                flushPending();
                if (eof) {
                    endOfData = true;
                    break;
                }
                if (movedBack)
                    ds->Next();
                if (g->FormNewPage && g->Visible)
                    NewPage();
                for (TfrBand* h = g; h; h = h->NextGroupHeader) {
                    ++h->LineNumber;
                    ++h->LineThrough;
                    addPending(h);
                }
                ResetLines(*d, 0);
                break;
            }
            if (endOfData)
                break;
            if (RecordMode == FormingMode::Record) {
                RecordedActions.push_back({d, RecordedAction::Next});
            } else if (printed) {
                ++m_currentRecord;
                ++d->LineThrough;
                ++d->LineNumber;
                if (!ds->Eof() && d->FormNewPage && d->Visible)
                    NewPage();
            }
        }
        if (!m_pending.empty())
            m_pending.pop_back();
        else
            ShowBand(d->FooterLink);
    }
}

qint32 PageFormer::columnFooterHeight() const
{
    // A sub-report page prints no column footer: it keeps no room for one.
    if (SubReportPage)
        return 0;
    const TfrBand* footer = FirstBandOfKind(ColumnFooter);
    return footer && footer->exists() ? footer->Height : 0;
}

void PageFormer::NewColumn(TfrBand& band)
{
    if (ColumnIndex < m_page.Columns - 1) {
        ShowBand(&slot(ColumnFooter));
        ++ColumnIndex;
        XOffset += m_page.ColumnWidth + m_page.ColumnGap;
        m_curY = ColumnTopY;
        ShowBand(&slot(ColumnHeader));
    } else {
        NewPage();
    }
    for (TfrBand* q = &slot(GroupHeader); q && q->BandView && q != &band; q = q->NextOfKind()) {
        q->NoReset = true;
        if (q->hasFlag(BandFlags::RepeatHeader) && !NoRepeat)
            ShowBand(q);
        q->NoReset = false;
    }
    if (band.isDataBand() && band.HeaderLink && band.HeaderLink->hasFlag(BandFlags::RepeatHeader))
        ShowBand(band.HeaderLink);
}

void PageFormer::NewPage()
{
    RunState& run = frRun();
    m_report.ReportProgress(run.PageNumber + 1);
    if (!NoRepeat)
        ShowBand(&slot(ColumnFooter));
    EndPage();
    m_bottomY = bottomLimit();
    m_report.PreparedPages().AddPage(m_page);
    m_continuation.AppendToLastPage = false;
    // A page header or overlay that itself needs a new page continues on it without being
    // printed again there, so that a header taller than the page cannot start pages forever.
    if (m_inPageFrame) {
        m_curY = topLimit();
        return;
    }
    m_inPageFrame = true;
    ShowBand(&slot(Overlay));
    m_curY = topLimit();
    ShowBand(&slot(PageHeader));
    ShowBand(&slot(ColumnHeader));
    m_inPageFrame = false;
}

void PageFormer::EndPage()
{
    RunState& run = frRun();
    ColumnIndex = 0;
    XOffset = leftLimit();
    TfrBand& footer = slot(PageFooter);
    if (run.PageNumber != 0 || footer.hasFlag(BandFlags::OnFirstPage)) {
        while (run.PageNumber < m_report.PreparedPages().Count()) {
            if (!(m_continuation.AppendToLastPage && m_continuation.FooterOnLastPage)) {
                fireEndPage();
                ShowBand(&footer);
            }
            ++run.PageNumber;
        }
    }
    run.PageNumber = m_report.PreparedPages().Count();
}

void PageFormer::InitRun(bool finalPassOfTwo)
{
    BandTreeBuilder tree(*this);
    if (finalPassOfTwo && Initialised) {
        tree.resetForFinalPass();
        return;
    }
    tree.build();
    m_currentRecord = 1;
    m_columnNumber = 1;
    Initialised = true;
}

void PageFormer::ResolveAndRegister()
{
    BandTreeBuilder(*this).bindSingleFieldViews();
    try {
        m_report.scope().aggregates().RegisterAggregates(*this);
    } catch (const VaskelError& e) {
        RaiseCalculationError(m_report, e.message());
    }
}

void PageFormer::FinishRun(bool afterFirstPassOfTwo)
{
    if (afterFirstPassOfTwo || !Initialised)
        return;
    for (auto& s : m_slots)
        s.reset();
    m_pending.clear();
    PreviousBand = nullptr;
    PendingBand = nullptr;
    Initialised = false;
}

TfrBand* PageFormer::FirstBandOfKind(int kind) const
{
    return kind >= 0 && kind < kBandKinds ? m_slots[static_cast<size_t>(kind)].get() : nullptr;
}

} // namespace vaskel
