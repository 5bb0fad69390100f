#include "report/engine/SubReportRunner.h"

#include "report/engine/CalculationError.h"
#include "report/engine/FormingPage.h"
#include "report/engine/PageFormer.h"
#include "report/engine/TfrReport.h"
#include "report/model/EListIndexError.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrSubReportView.h"

#include <algorithm>

namespace vaskel {

PageFormer& SubReportRunner::subReportFormer(const TfrView& view) const
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

void SubReportRunner::StartSubReports(TfrBand& band)
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
        sub.RecordMode = FormingMode::Record;
        sub.RecordedActions.clear();
        {
            FormingPage forming(m_report, sub);
            sub.FormPage();
        }
        sub.m_curY = v->Top + band.Top;
        sub.m_bottomY = m_former.m_bottomY;
        sub.XOffset = m_former.XOffset + v->Left;
        sub.m_page.MarginsFlag = m_page.MarginsFlag;
        std::copy(std::begin(m_page.Margins), std::end(m_page.Margins), std::begin(sub.m_page.Margins));
        sub.m_page.Columns = 1;
        sub.PlayIndex = 0;
        band.SubReportFinished[i] = false;
    }
    m_former.PendingBand = nullptr;
}

void SubReportRunner::RunSubReports(TfrBand& band)
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
                r.page->m_curY = m_former.m_curY;
                r.page->m_bottomY = m_former.m_bottomY;
            }
        }
        band.SubReportsDone = true;
        band.SubReportMaxY = m_former.m_curY;
        const qint64 playedBefore = m_former.m_continuation.ActionsPlayed;
        for (const Running& r : running) {
            if (band.SubReportFinished[r.index] || !band.Views[r.index]->Visible)
                continue;
            bool more = false;
            {
                FormingPage forming(m_report, *r.page);
                more = r.page->m_subReports.PlayActions();
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
        if (m_former.SubReportPage) {
            // A nested sub-report: the enclosing one starts the new page and continues this band.
            m_former.PendingBand = &band;
            return;
        }
        if (freshPage && m_former.m_continuation.ActionsPlayed == playedBefore) {
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
        m_former.NewPage();
        freshPage = true;
    } while (!m_former.stopped());
    for (const Running& r : running)
        r.page->RecordedActions.clear();
    m_former.m_curY += std::max(band.MeasuredHeight, band.SubReportMaxY - m_former.m_curY);
    m_former.PendingBand = nullptr;
}

bool SubReportRunner::PlayActions()
{
    while (m_former.PlayIndex < static_cast<int>(m_former.RecordedActions.size()) && !m_former.stopped()) {
        const PageFormer::Recorded action = m_former.RecordedActions[static_cast<size_t>(m_former.PlayIndex)];
        TfrBand& band = *action.band;
        switch (action.action) {
        case PageFormer::RecordedAction::Print:
            if (m_former.PendingBand) {
                // The band printed before; its own sub-reports continue on this page.
                RunSubReports(*m_former.PendingBand);
                if (m_former.PendingBand)
                    return true;
            } else if (m_former.m_printer.DrawBand(band)) {
                // The band did not fit after its script ran: it prints on the next page without
                // running the script again. A band whose sub-reports continue printed already.
                if (!m_former.PendingBand)
                    band.SkipScriptOnce = true;
                return true;
            }
            break;
        case PageFormer::RecordedAction::First:
            if (band.Dataset)
                band.Dataset->First();
            m_former.ResetLines(band, 1);
            break;
        case PageFormer::RecordedAction::Next:
            if (band.Dataset)
                band.Dataset->Next();
            ++m_former.m_currentRecord;
            ++band.LineThrough;
            ++band.LineNumber;
            break;
        }
        ++m_former.PlayIndex;
        ++m_former.m_continuation.ActionsPlayed;
    }
    return false;
}

} // namespace vaskel
