#include "report/engine/FormingPage.h"

#include "report/engine/PageFormer.h"
#include "report/engine/TfrReport.h"

namespace vaskel {

FormingPage::FormingPage(TfrReport& report, PageFormer& former)
    : m_report(report), m_previousState(report.scope().PageState), m_previousCurY(report.SetPageCurY)
{
    m_report.scope().PageState = &former;
    m_report.SetPageCurY = [&former](qint32 y) { former.SetCurY(y); };
}

FormingPage::~FormingPage()
{
    m_report.scope().PageState = m_previousState;
    m_report.SetPageCurY = std::move(m_previousCurY);
}

} // namespace vaskel
