#include "report/engine/CalculationError.h"

#include "report/engine/TfrReport.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrGlobals.h"

namespace vaskel {

QString CalculationErrorText(const QString& reportName, const TfrView* view, const QString& message)
{
    const QChar cr('\r');
    QString text = LoadStr(StringTable::sCalcError);
    if (view) {
        for (const QString& line : view->Memo)
            text += cr + line;
    }
    text += QString(cr) + cr + LoadStr(StringTable::sReportLabel) + QLatin1Char(' ') + reportName + cr;
    if (view)
        text += LoadStr(StringTable::sObjectLabel) + QLatin1Char(' ') + view->Name + cr;
    return text + cr + message;
}

void RaiseCalculationError(TfrReport& report, const QString& message)
{
    // A run stopped by Cancel or its time limit fails in no object: the run says why it ended.
    if (report.RunLimitStop) {
        report.StopRequested = true;
        return;
    }
    RunState& run = frRun();
    run.ErrorText = CalculationErrorText(report.Name, run.CurrentView, message);
    run.ErrorPending = true;
    report.StopRequested = true;
}

} // namespace vaskel
