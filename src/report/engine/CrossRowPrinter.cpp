#include "report/engine/CrossRowPrinter.h"

#include "report/engine/PageFormer.h"
#include "report/engine/ReportAggregates.h"
#include "report/engine/TfrReport.h"
#include "report/engine/TvuVeveDataset.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrStretcheable.h"

#include <algorithm>

namespace vaskel {

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

qint32 CrossRowPrinter::MeasureCrossRow(TfrBand& band)
{
    m_former.m_columnNumber = 1;
    if (m_report.OnBeginColumn)
        m_report.OnBeginColumn(band);
    qint32 height = band.Height;
    if (TfrDataset* ds = columnDataset(m_former.slot(CrossData), band)) {
        ds->First();
        while (!ds->Eof()) {
            if (m_report.OnPrintColumn) {
                qint32 width = 0;
                m_report.OnPrintColumn(m_former.m_columnNumber, width);
            }
            const qint32 h = m_former.m_printer.measureViews(band, true);
            for (TfrView* v : band.Views) {
                if (auto* s = dynamic_cast<TfrStretcheable*>(v))
                    s->SplitMode = SplitStep::Whole;
            }
            band.MeasuredHeight = std::max(band.MeasuredHeight, h);
            height = std::max(height, h);
            ++m_former.m_columnNumber;
            ds->Next();
            if (m_former.stopped())
                break;
        }
    }
    band.MeasuredHeight = std::max(band.MeasuredHeight, height);
    return height;
}

void CrossRowPrinter::DrawCrossRow(TfrBand& band)
{
    if (band.Kind == PageFooter)
        return;
    RunState& run = frRun();
    ReportAggregates& aggregates = m_report.scope().aggregates();
    m_former.m_columnNumber = 1;
    qint32 x = 0;
    const qint32 firstPage = run.PageNumber;
    if (m_report.OnBeginColumn)
        m_report.OnBeginColumn(band);

    TfrBand& header = m_former.slot(CrossHeader);
    if (header.BandView) {
        m_former.m_printer.runBandScript(header);
        DrawCrossCell(header, band, header.Left);
        x = header.Left + header.Width;
    }

    TfrBand& data = m_former.slot(CrossData);
    if (data.BandView && !m_former.stopped()) {
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
            BandPrinter::makeCurrent(data.BandView);
            if (m_report.OnPrintColumn)
                m_report.OnPrintColumn(m_former.m_columnNumber, data.Width);
            m_former.m_printer.runBandScript(data);
            FitColumn(band, data.Width, x, firstPage);
            DrawCrossCell(data, band, x);
            aggregates.AccumulateAggregates(data);
            if (band.isDataBand())
                aggregates.AccumulateAggregates(band);
            x += data.Width;
            ++m_former.m_columnNumber;
            ds->Next();
            if (m_former.stopped())
                break;
        }
        if (ds)
            data.MaxColumns = std::max(data.MaxColumns, ds->RecordIndex);
    }

    TfrBand& footer = m_former.slot(CrossFooter);
    if (footer.BandView && !m_former.stopped()) {
        if (x == 0)
            x = footer.Left;
        m_former.m_printer.runBandScript(footer);
        FitColumn(band, footer.Width, x, firstPage);
        DrawCrossCell(footer, band, x);
        aggregates.ResetAggregates(footer);
    }
    run.PageNumber = firstPage;
}

void CrossRowPrinter::FitColumn(TfrBand& row, qint32 width, qint32& x, qint32 firstPage)
{
    if (m_page.RightLimit() >= width + x)
        return;
    RunState& run = frRun();
    x = m_former.leftLimit();
    ++run.PageNumber;
    TfrEMFPages& store = m_report.PreparedPages();
    if (run.PageNumber >= store.Count()) {
        store.AddPage(m_page);
        // A page added for the columns of the page header (or overlay) itself gets no second
        // copy of it: that copy's columns would land on the same page and add pages of its own.
        const qint32 y = m_former.m_curY;
        const bool framing = m_former.m_inPageFrame;
        m_former.m_inPageFrame = true;
        if (row.Kind != Overlay)
            m_former.ShowBand(&m_former.slot(Overlay));
        TfrBand& pageHeader = m_former.slot(PageHeader);
        if (!framing && row.Kind != PageHeader
            && (firstPage != 0 || pageHeader.hasFlag(BandFlags::OnFirstPage))) {
            m_former.m_curY = m_former.topLimit();
            m_former.ShowBand(&pageHeader);
        }
        m_former.m_inPageFrame = framing;
        m_former.m_curY = y;
        m_report.ReportProgress(run.PageNumber);
    }
    TfrBand& header = m_former.slot(CrossHeader);
    if (header.BandView && header.hasFlag(BandFlags::RepeatHeader)) {
        DrawCrossCell(header, row, m_former.leftLimit());
        x = m_former.leftLimit() + header.Width;
    }
}

void CrossRowPrinter::DrawCrossCell(TfrBand& cross, TfrBand& row, qint32 x)
{
    RunState& run = frRun();
    BandPrinter::makeCurrent(cross);
    cross.LineThrough = row.LineThrough;
    cross.LineNumber = row.LineNumber;
    if (cross.Kind == CrossData)
        cross.AggregateBand = &row;
    for (TfrView* v : cross.Views) {
        if (std::find(row.Views.begin(), row.Views.end(), v) == row.Views.end())
            continue;
        if (!m_former.m_printer.writeView(cross, *v, x, row.Top, run.FirstPass))
            break;
    }
}

} // namespace vaskel
