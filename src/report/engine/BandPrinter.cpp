#include "report/engine/BandPrinter.h"

#include "report/engine/CalculationError.h"
#include "report/engine/PageFormer.h"
#include "report/engine/TfrReport.h"
#include "report/model/DisplayFormat.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrStretcheable.h"
#include "report/model/TfrSubReportView.h"

#include <QScopeGuard>

#include <algorithm>
#include <utility>

namespace vaskel {

namespace {

bool needsFitCheck(TfrBandKind kind)
{
    return kind != PageFooter && kind != Overlay && kind != ColumnFooter && kind != NoBand;
}

// Notes beside the page's records what exports need of a printed view: the band it printed in
// (once per band printing) and, for a memo showing one number, date or time through its display
// format, the value itself. Texts and values the format does not turn into a number stay text.
void notePrinted(TfrPreparedPage& page, const TfrView& view, const PrintContext& context)
{
    if (const std::optional<PrintingBand>& band = context.BandGeometry) {
        const PreparedBandSpan span{band->Top, band->MeasuredHeight, static_cast<quint16>(band->Kind)};
        if (page.Bands.empty() || page.Bands.back().Top != span.Top || page.Bands.back().Kind != span.Kind)
            page.Bands.push_back(span);
    }
    const auto* memo = dynamic_cast<const TfrMemoView*>(&view);
    if (!memo || !memo->ExpandedValue)
        return;
    const FormattedValue& shown = *memo->ExpandedValue;
    const auto category = static_cast<FormatCategory>(DisplayFormat::unpack(shown.code).category);
    if (shown.value.isNull() || shown.value.isEmpty()
        || (category != FormatCategory::Number && category != FormatCategory::Date
            && category != FormatCategory::Time))
        return;
    double number = 0;
    try {
        number = category == FormatCategory::Number ? shown.value.toNumber() : shown.value.toDateTime();
    } catch (const VaskelError&) {
        return; // printed as its plain text
    }
    page.Values.push_back(
        {view.Left, view.Top, view.Width, view.Height, number, shown.code, shown.formatText});
}

// A memo's printed lines as one line of plain text: line breaks and paragraph marks become
// spaces, runs of spaces one.
QString plainText(const QStringList& lines)
{
    QString text = lines.join(u' ');
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text.simplified();
}

// The view prints the rest of a memo split at the end of the previous page.
bool printsRemainder(const TfrView& view)
{
    const auto* split = dynamic_cast<const TfrStretcheable*>(&view);
    return split && split->SplitMode == SplitStep::Remainder;
}

} // namespace

void BandPrinter::makeCurrent(TfrBand& band)
{
    frRun().CurrentBand = &band;
}

void BandPrinter::makeCurrent(TfrView* view)
{
    frRun().CurrentView = view;
}

void BandPrinter::makeCurrent(TfrPage& page)
{
    frRun().CurrentPage = &page;
}

void BandPrinter::runBandScript(TfrBand& band)
{
    if (!band.BeforePrintScript.isEmpty())
        TfrGlobals::get().interpreter.RunScript(band.BeforePrintScript);
}

bool BandPrinter::DrawBand(TfrBand& band)
{
    RunState& run = frRun();
    // Splitting a band taller than a page holds for this print only.
    const auto restoreBreaked = qScopeGuard([&band, breaked = band.Breaked] { band.Breaked = breaked; });
    bool answer = false;
    try {
        makeCurrent(band.BandView);
        makeCurrent(band);
        band.MeasuredHeight = -1;
        band.NewPageRequests = 0;
        band.NewColumnRequests = 0;
        if (m_report.OnBeginBand)
            m_report.OnBeginBand(band);
        // The previous band left a row of band columns open: close it, once (bands that print
        // nothing in between must not move the page down again).
        if (m_former.PreviousBand && m_former.PreviousBand != &band && m_former.PreviousBand->exists()
            && m_former.PreviousBand->BandColumn > 1) {
            m_former.XOffset = m_former.PreviousBand->BandColumnX;
            m_former.m_curY += m_former.PreviousBand->Height;
            m_former.PreviousBand->BandColumn = 1;
        }
        band.KeepCurY = false;
        if (!band.SkipScriptOnce)
            runBandScript(band);
        band.SkipScriptOnce = false;
        const qint32 y0 = m_former.m_curY;
        if (m_former.stopped())
            return false;
        for (qint32 i = band.NewPageRequests; i > 0; --i) {
            m_former.ColumnIndex = m_page.Columns - 1;
            m_former.NewColumn(band);
        }
        for (qint32 i = band.NewColumnRequests; i > 0; --i)
            m_former.NewColumn(band);
        if (band.KeepCurY)
            m_former.m_curY = y0;
        makeCurrent(band);

        if (band.Visible) {
            if (band.Kind == ColumnHeader)
                m_former.ColumnTopY = m_former.m_curY;
            if (band.Kind == PageFooter)
                band.Top = m_former.m_bottomY;
            if (band.exists()) {
                band.MeasuredHeight = std::max(band.MeasuredHeight, band.Height);
                if (needsFitCheck(band.Kind)) {
                    const qint32 h = MeasureBand(band);
                    const qint32 emptyPage = m_former.m_bottomY - m_former.topLimit();
                    if (m_former.m_curY + h > m_former.m_bottomY && !band.Breaked) {
                        if (h <= emptyPage || m_former.m_curY != m_former.topLimit()) {
                            answer = true;
                            if (m_former.SubReportPage)
                                return true;
                            CheckFit(band, 0, 10000, false);
                            makeCurrent(band);
                            // Taller than any page: split it from the top of the new one rather
                            // than leaving that page empty and running past its bottom.
                            if (h > m_former.m_bottomY - m_former.topLimit())
                                band.Breaked = true;
                        } else {
                            band.Breaked = true;
                        }
                    }
                }
                band.SubReportsDone = true;
                TfrBand* next = band.NextOfKind();
                if (band.isDataBand() && band.Dataset && next && !next->Dataset) {
                    // Data bands without a dataset of their own print with the one before them.
                    for (TfrBand* b = &band; b && (b == &band || !b->Dataset); b = b->NextOfKind()) {
                        if (b->Visible)
                            PlaceBand(*b);
                    }
                } else {
                    PlaceBand(band);
                    if (band.ChildLink)
                        DrawBand(*band.ChildLink);
                    if (!band.isDataBand() && band.Kind != GroupHeader && band.FormNewPage && band.Visible)
                        m_former.NewPage();
                }
                if (!band.SubReportsDone)
                    answer = true;
            }
        } else {
            if (band.ChildLink && band.PrintChildIfInvisible)
                DrawBand(*band.ChildLink);
            if (band.isDataBand())
                m_report.scope().aggregates().AccumulateAggregates(band);
        }
        makeCurrent(band);
        const bool newestPage = run.PageNumber == m_report.PreparedPages().Count() - 1;
        if (!band.NoReset && band.exists() && (band.Kind != PageFooter || newestPage))
            m_report.scope().aggregates().ResetAggregates(band);
    } catch (const VaskelError& e) {
        RaiseCalculationError(m_report, e.message());
    }
    if (m_report.OnEndBand)
        m_report.OnEndBand(band);
    return answer;
}

void BandPrinter::PlaceBand(TfrBand& band)
{
    // An error that ends the print leaves no half-made note behind.
    const auto forgetOutline = qScopeGuard([this, &band] {
        if (m_outline.Band == &band)
            m_outline = {};
    });
    const qint32 t0 = band.Top;
    const bool flowing = !band.isPositioned();
    if (flowing)
        band.Top = m_former.m_curY;
    bool covered = false;
    if (band.Stretched) {
        qint32 h = band.MeasuredHeight;
        for (TfrView* v : band.Views) {
            if (dynamic_cast<TfrStretcheable*>(v) && (v->Flags & ViewFlags::Stretched) && v->Height > 0)
                v->Height = h - v->Top;
        }
        band.PrintedHeight = h;
        if (flowing) {
            if (!band.Breaked)
                CheckFit(band, band.Top, h, false);
            band.Top = m_former.m_curY;
        }
        beginOutlineEntry(band);
        makeCurrent(band);
        if (band.Breaked) {
            m_former.m_splitter.DrawSplit(band);
            h = 0;
        } else {
            covered = DrawViews(band);
            if (band.HasCrossObjects())
                m_former.m_crossRows.DrawCrossRow(band);
        }
        for (TfrView* v : band.Views)
            v->Height = v->DesignHeight;
        if (!covered && flowing)
            m_former.m_curY += h;
    } else {
        if (flowing) {
            if (!band.Breaked)
                CheckFit(band, band.Top, band.Height, false);
            band.Top = m_former.m_curY;
        }
        beginOutlineEntry(band);
        makeCurrent(band);
        if (band.Breaked) {
            band.PrintedHeight = band.MeasuredHeight;
            m_former.m_splitter.DrawSplit(band);
        } else {
            covered = DrawViews(band);
            if (band.HasCrossObjects())
                m_former.m_crossRows.DrawCrossRow(band);
            if (flowing && !covered)
                m_former.m_curY += band.Height;
        }
    }
    endOutlineEntry(band);
    placeColumns(band);
    band.Top = t0;
    if (band.isDataBand())
        m_report.scope().aggregates().AccumulateAggregates(band);
}

void BandPrinter::placeColumns(TfrBand& band)
{
    if (&band != m_former.PreviousBand)
        band.BandColumn = 1;
    m_former.PreviousBand = &band;
    const TfrBandView* view = band.BandView;
    if (!view || view->Columns <= 1 || view->NewColumnAfter != 1)
        return;
    if (band.BandColumn == 1)
        band.BandColumnX = m_former.XOffset;
    ++band.BandColumn;
    if (band.BandColumn > view->Columns) {
        m_former.XOffset = band.BandColumnX;
        band.BandColumn = 1;
    } else {
        m_former.XOffset = (view->ColumnWidth + view->ColumnGap) * (band.BandColumn - 1) + band.BandColumnX;
        m_former.m_curY -= band.MeasuredHeight;
    }
}

qint32 BandPrinter::MeasureBand(TfrBand& band)
{
    qint32 h = 0;
    TfrBand* next = band.NextOfKind();
    if (band.isDataBand() && next && !next->Dataset) {
        for (TfrBand* b = &band; b && (b == &band || !b->Dataset); b = b->NextOfKind())
            h += MeasureStretch(*b);
    } else {
        h = band.Stretched ? MeasureStretch(band) : band.Height;
    }
    band.MeasuredHeight = std::max(band.MeasuredHeight, h);
    return h;
}

qint32 BandPrinter::MeasureStretch(TfrBand& band)
{
    if (band.HasCrossObjects() && band.Kind != PageFooter)
        return m_former.m_crossRows.MeasureCrossRow(band);
    const qint32 h = measureViews(band, false);
    band.MeasuredHeight = std::max(band.MeasuredHeight, h);
    return h;
}

qint32 BandPrinter::measureViews(TfrBand& band, bool withCells)
{
    makeCurrent(band);
    const PrintContext context = printContext(&band);
    qint32 h = band.Height;
    for (TfrView* v : band.Views) {
        v->DesignHeight = v->Height;
        auto* s = dynamic_cast<TfrStretcheable*>(v);
        if (s && (withCells || v->OwnerBand == &band)) {
            // The view measured last stays the current one for the band's events that follow.
            makeCurrent(v);
            h = std::max(h, s->MeasureHeight(context) + v->Top);
        }
    }
    return h;
}

bool BandPrinter::CheckFit(TfrBand& band, qint32 y, qint32 h, bool testOnly)
{
    if (band.Kind == ColumnFooter)
        return false;
    const bool fits = m_former.m_bottomY >= y + h + m_former.columnFooterHeight();
    if (!fits && !testOnly)
        m_former.NewColumn(band);
    return !fits;
}

bool BandPrinter::DrawViews(TfrBand& band)
{
    RunState& run = frRun();
    for (size_t i = 0; i < band.Views.size(); ++i) {
        TfrView* v = band.Views[i];
        if (dynamic_cast<TfrSubReportView*>(v) && v->Visible) {
            const qint32 y0 = m_former.m_curY;
            const qint32 pageBefore = run.PageNumber;
            band.SubReportStart = static_cast<qint32>(i);
            m_former.m_subReports.StartSubReports(band);
            m_former.m_subReports.RunSubReports(band);
            const qint32 bottom = std::max(0, y0 + band.Height);
            if (run.PageNumber == pageBefore && m_former.m_curY < bottom)
                m_former.m_curY = bottom;
            makeCurrent(m_page);
            return true;
        }
        DrawView(band, *v);
        if (m_former.stopped())
            break;
    }
    return false;
}

void BandPrinter::DrawView(TfrBand& band, TfrView& view)
{
    RunState& run = frRun();
    makeCurrent(m_page);
    makeCurrent(band);
    if (view.OwnerBand && view.OwnerBand != &band)
        return;
    const bool scriptOnly = run.FirstPass && !band.Breaked;
    if (scriptOnly) {
        // The first pass only counts pages; a memo in the middle of a split ran its script when
        // its first part was measured.
        auto* s = dynamic_cast<TfrStretcheable*>(&view);
        if (s && s->SplitMode != SplitStep::Whole) {
            makeCurrent(&view);
            return;
        }
    }
    writeView(band, view, m_former.XOffset - m_former.leftLimit(), band.Top, scriptOnly);
}

PrintContext BandPrinter::printContext(TfrBand* band) const
{
    const RunState& run = frRun();
    PrintContext c;
    c.Page = &m_page;
    c.Band = band;
    if (band)
        c.BandGeometry = band->printingGeometry();
    c.Hooks = &m_report;
    c.PrintMode = run.PrintMode;
    c.FirstPass = run.FirstPass;
    return c;
}

bool BandPrinter::writeView(TfrBand& band, TfrView& view, qint32 dx, qint32 dy, bool scriptOnly)
{
    RunState& run = frRun();
    TfrEMFPages& store = m_report.PreparedPages();
    const qint32 left = view.Left;
    const qint32 top = view.Top;
    try {
        makeCurrent(&view);
        if (scriptOnly) {
            if (!view.BeforePrintScript.isEmpty())
                TfrGlobals::get().interpreter.RunScript(view.BeforePrintScript);
            return true;
        }
        if (run.PageNumber < 0 || run.PageNumber >= store.Count()) {
            Q_ASSERT_X(false, "writeView", "no prepared page to write to");
            return true;
        }
        view.Left += dx;
        view.Top += dy;
        // Records continue the page's data: pictures store positions within the page.
        ReportStreamWriter out = store.RecordWriter(run.PageNumber);
        PrintContext context = printContext(&band);
        context.PrintedShiftY = dy;
        context.LooseBand = &m_former.slot(NoBand);
        // The rest of a split memo prints on its next page: what its first part showed is not
        // known after it printed, so it names no outline entry.
        const bool outlined = m_outline.Band == &band && !printsRemainder(view);
        view.EmitPrepared(out, context);
        if (out.size() > 0) {
            notePrinted(store.PageAt(run.PageNumber), view, context);
            if (outlined)
                noteOutlineText(view);
        }
        view.Left = left;
        view.Top = top;
        store.AppendRecords(run.PageNumber, out);
    } catch (const VaskelError& e) {
        view.Left = left;
        view.Top = top;
        RaiseCalculationError(m_report, e.message());
        return false;
    }
    return true;
}

bool BandPrinter::isOutermostGroupHeader(const TfrBand& band) const
{
    if (band.Kind != GroupHeader || m_former.SubReportPage)
        return false;
    for (const TfrBand* d = &m_former.slot(MasterData); d; d = d->NextOfKind()) {
        if (d->FirstGroupHeader == &band)
            return true;
    }
    return false;
}

void BandPrinter::beginOutlineEntry(TfrBand& band)
{
    const RunState& run = frRun();
    TfrEMFPages& store = m_report.PreparedPages();
    if (band.Kind != GroupHeader || m_outline.Band || run.FirstPass || band.NoReset || run.PageNumber < 0
        || run.PageNumber >= store.Count() || !isOutermostGroupHeader(band))
        return;
    std::vector<PreparedOutlineEntry>& outline = store.PageAt(run.PageNumber).Outline;
    outline.push_back({band.Top, QString()});
    m_outline = {&band, run.PageNumber, outline.size() - 1, {}};
}

void BandPrinter::noteOutlineText(const TfrView& view)
{
    const auto* memo = dynamic_cast<const TfrMemoView*>(&view);
    if (!memo)
        return;
    QString text = plainText(memo->ExpandedText);
    if (!text.isEmpty())
        m_outline.Pieces.push_back({view.Left, view.Top, std::move(text)});
}

void BandPrinter::endOutlineEntry(TfrBand& band)
{
    if (m_outline.Band != &band)
        return;
    std::stable_sort(
        m_outline.Pieces.begin(), m_outline.Pieces.end(), [](const OutlinePiece& a, const OutlinePiece& b) {
            return std::pair(a.Left, a.Top) < std::pair(b.Left, b.Top);
        });
    QStringList texts;
    for (const OutlinePiece& piece : m_outline.Pieces)
        texts << piece.Text;
    QString text = texts.join(u' ');
    if (text.isEmpty() && !band.CompiledCondition.isEmpty()) {
        // A header that shows nothing (a group kept only for its footer) is named by the value
        // that opened the group.
        try {
            text = plainText({TfrGlobals::get().parser.EvaluateCompiled(band.CompiledCondition).toText()});
        } catch (const VaskelError&) {
            text.clear(); // the outline names it by its page
        }
    }
    m_report.PreparedPages().PageAt(m_outline.Page).Outline[m_outline.Entry].Text = text;
    m_outline = {};
}

} // namespace vaskel
