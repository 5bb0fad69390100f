// Sub-reports and cross bands: the entry points band printing calls for a band that holds
// sub-report views or cross-band cells. Until they print their content here, a sub-report view
// reserves its band's height and a cross row prints its own views only.
#include "report/engine/PageFormer.h"

#include <algorithm>

namespace vaskel {

void PageFormer::StartSubReports(TfrBand& band)
{
    band.SubReportFinished.assign(band.Views.size(), true);
    PendingBand = nullptr;
}

void PageFormer::RunSubReports(TfrBand& band)
{
    band.SubReportsDone = true;
    band.SubReportMaxY = m_curY;
    PendingBand = nullptr;
}

bool PageFormer::PlayActions()
{
    PlayIndex = static_cast<int>(RecordedActions.size());
    return false;
}

qint32 PageFormer::MeasureCrossRow(TfrBand& band)
{
    m_columnNumber = 1;
    band.MeasuredHeight = std::max(band.MeasuredHeight, band.Height);
    return band.Height;
}

void PageFormer::DrawCrossRow(TfrBand&)
{
    m_columnNumber = 1;
}

} // namespace vaskel
