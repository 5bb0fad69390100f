#pragma once
// Errors raised while a run evaluates expressions or runs scripts are gathered into one message,
// shown when preparing ends: the error line, the memo of the view being printed, the report and
// the view's name, then the error's own message. Raising one stops the run at its next check.
#include <QString>

namespace vaskel {

class TfrReport;
class TfrView;

// The text as shown: "An error occured during calculating", the view's memo lines, "Report:" and
// the report's name, "Object:" and the view's name (without a view, no memo and object lines),
// then the message. Lines end with carriage returns.
QString CalculationErrorText(const QString& reportName, const TfrView* view, const QString& message);

// Records the error for the current view of the run (ErrorPending, ErrorText) and asks `report`
// to stop.
void RaiseCalculationError(TfrReport& report, const QString& message);

} // namespace vaskel
