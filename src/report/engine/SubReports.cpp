// Sub-reports and cross bands: the parts of band printing that print more than a band's own views.
//
// A sub-report view prints the data bands of another template page at its own top left corner.
// That page first forms in record mode: its data walk runs and every band print and dataset step
// becomes a recorded action. The band holding the views then replays the recorded pages side by
// side, one page end at a time: a band that does not fit stops its page's replay until the band
// page has started a new page, where every unfinished sub-report continues from the same y.
//
// A cross row is a horizontal band holding cells of the vertical cross bands: the cross header
// column, one cross data column per record of the column dataset, then the cross footer column.
// Columns that pass the right limit continue on the following prepared pages at the same y.
#include "report/engine/PageFormer.h"

#include "report/engine/CalculationError.h"
#include "report/engine/ReportAggregates.h"
#include "report/engine/TfrReport.h"
#include "report/engine/TvuVeveDataset.h"
#include "report/model/EListIndexError.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrStretcheable.h"
#include "report/model/TfrSubReportView.h"

#include <algorithm>

namespace vaskel {

void PageFormerList::linkSubReports()
{
    // Page i prints the pages of its sub-report views; indexes that name no page fail when the
    // view prints.
    const int count = static_cast<int>(m_formers.size());
    std::vector<std::vector<std::pair<int, TfrView*>>> prints(m_formers.size());
    for (int i = 0; i < count; ++i) {
        for (const auto& v : m_formers[static_cast<size_t>(i)]->page().ObjectList) {
            const auto* sub = dynamic_cast<const TfrSubReportView*>(v.get());
            if (!sub || sub->PageIndex < 0 || sub->PageIndex >= count)
                continue;
            m_formers[static_cast<size_t>(sub->PageIndex)]->SubReportPage = true;
            prints[static_cast<size_t>(i)].emplace_back(sub->PageIndex, v.get());
        }
    }
    // Depth-first over the pages; a page met again while it is on the path closes a loop.
    enum class Mark : quint8 { New, OnPath, Done };
    std::vector<Mark> marks(m_formers.size(), Mark::New);
    std::vector<int> path;
    std::function<void(int)> visit = [&](int page) {
        marks[static_cast<size_t>(page)] = Mark::OnPath;
        path.push_back(page);
        for (const auto& [printed, view] : prints[static_cast<size_t>(page)]) {
            if (marks[static_cast<size_t>(printed)] == Mark::OnPath) {
                QStringList chain;
                for (auto it = std::find(path.begin(), path.end(), printed); it != path.end(); ++it)
                    chain << QStringLiteral("page %1").arg(*it + 1);
                chain << QStringLiteral("page %1").arg(printed + 1);
                frRun().CurrentView = view;
                throw VaskelError(QStringLiteral("Sub-reports print each other without end: %1")
                                      .arg(chain.join(QStringLiteral(" -> "))));
            }
            if (marks[static_cast<size_t>(printed)] == Mark::New)
                visit(printed);
        }
        path.pop_back();
        marks[static_cast<size_t>(page)] = Mark::Done;
    };
    for (int i = 0; i < count; ++i) {
        if (marks[static_cast<size_t>(i)] == Mark::New)
            visit(i);
    }
}

PageFormer& PageFormer::subReportFormer(const TfrView& view) const
{
    const qint32 index = static_cast<const TfrSubReportView&>(view).PageIndex;
    PageFormer* former = m_report.RunFormers.formerOf(m_report.TemplatePages().Page(index));
    if (!former)
        throw EListIndexError(index);
    if (!former->Initialised) {
        throw VaskelError(QStringLiteral("Page %1 has no bands to print as a sub-report").arg(index + 1));
    }
    return *former;
}

void PageFormer::StartSubReports(TfrBand& band)
{
    RunState& run = frRun();
    band.SubReportFinished.assign(band.Views.size(), true);
    for (size_t i = static_cast<size_t>(band.SubReportStart); i < band.Views.size(); ++i) {
        TfrView* v = band.Views[i];
        if (!v->Visible)
            continue;
        run.CurrentView = v;
        // Sub-report views come last in their band; anything after the first one is a mistake in
        // the template.
        if (!dynamic_cast<TfrSubReportView*>(v))
            throw VaskelError(QStringLiteral("Invalid class typecast"));
        PageFormer& sub = subReportFormer(*v);
        sub.RecordMode = 1;
        sub.RecordedActions.clear();
        {
            FormingPage forming(m_report, sub);
            sub.FormPage();
        }
        sub.m_curY = v->Top + band.Top;
        sub.m_bottomY = m_bottomY;
        sub.XOffset = XOffset + v->Left;
        sub.m_page.MarginsFlag = m_page.MarginsFlag;
        std::copy(std::begin(m_page.Margins), std::end(m_page.Margins), std::begin(sub.m_page.Margins));
        sub.m_page.Columns = 1;
        sub.PlayIndex = 0;
        band.SubReportFinished[i] = false;
    }
    PendingBand = nullptr;
}

void PageFormer::RunSubReports(TfrBand& band)
{
    struct Running {
        size_t index; // in the band's views
        PageFormer* page;
    };
    std::vector<Running> running;
    for (size_t i = static_cast<size_t>(band.SubReportStart); i < band.Views.size(); ++i) {
        const TfrView* v = band.Views[i];
        if (v->Visible && dynamic_cast<const TfrSubReportView*>(v) && i < band.SubReportFinished.size())
            running.push_back({i, &subReportFormer(*band.Views[i])});
    }
    bool freshPage = false;
    do {
        if (!band.SubReportsDone) {
            // The band page started a new page: the unfinished sub-reports go on below its header.
            for (const Running& r : running) {
                r.page->m_curY = m_curY;
                r.page->m_bottomY = m_bottomY;
            }
        }
        band.SubReportsDone = true;
        band.SubReportMaxY = m_curY;
        const qint64 playedBefore = m_continuation.ActionsPlayed;
        for (const Running& r : running) {
            if (band.SubReportFinished[r.index] || !band.Views[r.index]->Visible)
                continue;
            bool more = false;
            {
                FormingPage forming(m_report, *r.page);
                more = r.page->PlayActions();
            }
            if (more) {
                band.SubReportsDone = false;
            } else {
                band.SubReportFinished[r.index] = true;
                band.SubReportMaxY = std::max(band.SubReportMaxY, r.page->m_curY);
            }
        }
        if (band.SubReportsDone)
            break;
        if (SubReportPage) {
            // A nested sub-report: the enclosing one starts the new page and continues this band.
            PendingBand = &band;
            return;
        }
        if (freshPage && m_continuation.ActionsPlayed == playedBefore) {
            // Nothing fitted on a new page: a band of a sub-report is taller than the page, and
            // every further page would stay empty as well.
            QStringList names;
            for (const Running& r : running) {
                if (!band.SubReportFinished[r.index]) {
                    names << band.Views[r.index]->Name;
                    frRun().CurrentView = band.Views[r.index];
                }
            }
            RaiseCalculationError(m_report,
                QStringLiteral("A band of the sub-report %1 is taller than the page").arg(names.join(", ")));
            break;
        }
        NewPage();
        freshPage = true;
    } while (!stopped());
    for (const Running& r : running)
        r.page->RecordedActions.clear();
    m_curY += std::max(band.MeasuredHeight, band.SubReportMaxY - m_curY);
    PendingBand = nullptr;
}

bool PageFormer::PlayActions()
{
    while (PlayIndex < static_cast<int>(RecordedActions.size()) && !stopped()) {
        const Recorded action = RecordedActions[static_cast<size_t>(PlayIndex)];
        TfrBand& band = *action.band;
        switch (action.action) {
        case RecordedAction::Print:
            if (PendingBand) {
                // The band printed before; its own sub-reports continue on this page.
                RunSubReports(*PendingBand);
                if (PendingBand)
                    return true;
            } else if (DrawBand(band)) {
                // The band did not fit after its script ran: it prints on the next page without
                // running the script again. A band whose sub-reports continue printed already.
                if (!PendingBand)
                    band.SkipScriptOnce = true;
                return true;
            }
            break;
        case RecordedAction::First:
            if (band.Dataset)
                band.Dataset->First();
            ResetLines(band, 1);
            break;
        case RecordedAction::Next:
            if (band.Dataset)
                band.Dataset->Next();
            ++m_currentRecord;
            ++band.LineThrough;
            ++band.LineNumber;
            break;
        }
        ++PlayIndex;
        ++m_continuation.ActionsPlayed;
    }
    return false;
}

namespace {

// The dataset whose records are a row's columns: the cross data band's own, or the row band's
// column dataset; none without a cross data band.
TfrDataset* columnDataset(const TfrBand& crossData, const TfrBand& row)
{
    if (!crossData.BandView)
        return nullptr;
    return crossData.Dataset ? crossData.Dataset : row.ColumnDataset;
}

} // namespace

qint32 PageFormer::MeasureCrossRow(TfrBand& band)
{
    m_columnNumber = 1;
    if (m_report.OnBeginColumn)
        m_report.OnBeginColumn(band);
    qint32 height = band.Height;
    if (TfrDataset* ds = columnDataset(slot(CrossData), band)) {
        ds->First();
        while (!ds->Eof()) {
            if (m_report.OnPrintColumn) {
                qint32 width = 0;
                m_report.OnPrintColumn(m_columnNumber, width);
            }
            const qint32 h = measureViews(band, true);
            for (TfrView* v : band.Views) {
                if (auto* s = dynamic_cast<TfrStretcheable*>(v))
                    s->SplitMode = 0;
            }
            band.MeasuredHeight = std::max(band.MeasuredHeight, h);
            height = std::max(height, h);
            ++m_columnNumber;
            ds->Next();
            if (stopped())
                break;
        }
    }
    band.MeasuredHeight = std::max(band.MeasuredHeight, height);
    return height;
}

void PageFormer::DrawCrossRow(TfrBand& band)
{
    if (band.Kind == PageFooter)
        return;
    RunState& run = frRun();
    ReportAggregates& aggregates = m_report.scope().aggregates();
    run.CrossTotalShift = 0;
    m_columnNumber = 1;
    qint32 x = 0;
    const qint32 firstPage = run.PageNumber;
    if (m_report.OnBeginColumn)
        m_report.OnBeginColumn(band);

    TfrBand& header = slot(CrossHeader);
    if (header.BandView) {
        runBandScript(header);
        DrawCrossCell(header, band, header.Left);
        x = header.Left + header.Width;
    }

    TfrBand& data = slot(CrossData);
    if (data.BandView && !stopped()) {
        if (x == 0)
            x = data.Left;
        TfrDataset* ds = columnDataset(data, band);
        std::unique_ptr<TvuVeveDataset> widest;
        if (ds) {
            ds->First();
            if (band.Kind == MasterFooter && ds->Eof()) {
                // The master footer's columns ran out with the master's records: it prints as
                // many columns as the widest row had.
                widest = TvuVeveDataset::counting(data.MaxColumns);
                ds = widest.get();
                ds->First();
            }
        }
        while (ds && !ds->Eof()) {
            run.CurrentView = data.BandView;
            if (m_report.OnPrintColumn)
                m_report.OnPrintColumn(m_columnNumber, data.Width);
            runBandScript(data);
            FitColumn(band, data.Width, x, firstPage);
            DrawCrossCell(data, band, x);
            aggregates.AccumulateAggregates(data);
            if (band.isDataBand())
                aggregates.AccumulateAggregates(band);
            x += data.Width;
            ++m_columnNumber;
            ds->Next();
            if (stopped())
                break;
        }
        if (ds)
            data.MaxColumns = std::max(data.MaxColumns, ds->RecordIndex);
    }

    TfrBand& footer = slot(CrossFooter);
    if (footer.BandView && !stopped()) {
        if (x == 0)
            x = footer.Left;
        runBandScript(footer);
        FitColumn(band, footer.Width, x, firstPage);
        DrawCrossCell(footer, band, x);
        aggregates.ResetAggregates(footer);
    }
    run.PageNumber = firstPage;
    run.CrossTotalShift = 0;
}

void PageFormer::FitColumn(TfrBand& row, qint32 width, qint32& x, qint32 firstPage)
{
    if (m_page.RightLimit() >= width + x)
        return;
    RunState& run = frRun();
    run.CrossTotalShift += x - leftLimit();
    x = leftLimit();
    ++run.PageNumber;
    TfrEMFPages& store = m_report.PreparedPages();
    if (run.PageNumber >= store.Count()) {
        store.AddPage(m_page);
        // A page added for the columns of the page header (or overlay) itself gets no second
        // copy of it: that copy's columns would land on the same page and add pages of its own.
        const qint32 y = m_curY;
        const bool framing = m_inPageFrame;
        m_inPageFrame = true;
        if (row.Kind != Overlay)
            ShowBand(&slot(Overlay));
        TfrBand& pageHeader = slot(PageHeader);
        if (!framing && row.Kind != PageHeader
            && (firstPage != 0 || pageHeader.hasFlag(BandFlags::OnFirstPage))) {
            m_curY = topLimit();
            ShowBand(&pageHeader);
        }
        m_inPageFrame = framing;
        m_curY = y;
        m_report.ReportProgress(run.PageNumber);
    }
    TfrBand& header = slot(CrossHeader);
    if (header.BandView && header.hasFlag(BandFlags::RepeatHeader)) {
        DrawCrossCell(header, row, leftLimit());
        x = leftLimit() + header.Width;
    }
}

void PageFormer::DrawCrossCell(TfrBand& cross, TfrBand& row, qint32 x)
{
    RunState& run = frRun();
    run.CurrentBand = &cross;
    cross.LineThrough = row.LineThrough;
    cross.LineNumber = row.LineNumber;
    if (cross.Kind == CrossData)
        cross.AggregateBand = &row;
    for (TfrView* v : cross.Views) {
        if (std::find(row.Views.begin(), row.Views.end(), v) == row.Views.end())
            continue;
        if (!writeView(cross, *v, x, row.Top, run.FirstPass))
            break;
    }
}

} // namespace vaskel
