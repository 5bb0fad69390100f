#pragma once
// While a page forms (or a sub-report page records or replays its bands) the report's lookup and
// functions read that page, SHOWBAND prints on it and CURY moves its position; afterwards they
// find the page they found before.
#include <QtGlobal>

#include <functional>

namespace vaskel {

class PageFormationState;
class PageFormer;
class TfrReport;

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

} // namespace vaskel
