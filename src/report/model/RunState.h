#pragma once
// The small set of process-wide values that say which report runs, which template page, band and
// view are being processed, and how the run stands, as expression and script callbacks (the value
// lookup, report functions, the script interpreter) see them. The report component moves the run
// values, the layout engine the page number and the band and view it prints (BandPrinter::
// makeCurrent; they stay current for what is evaluated between bands); a call that needs one only
// for its duration opens a CallbackScope. Views get a PrintContext; drawing never touches this.
// Only one report runs at a time, and nothing here is saved. Pointers are raw and non-owning.
#include "report/expr/Value.h"

#include <QString>
#include <QtGlobal>

namespace vaskel {

class TfrReport;
class TfrPage;
class TfrBand;
class TfrView;
class ReportPrintHooks;

struct RunState {
    TfrReport* CurrentReport = nullptr;
    ReportPrintHooks* PrintHooks = nullptr; // the running report's print hooks; set with CurrentReport
    TfrPage* CurrentPage = nullptr;
    TfrBand* CurrentBand = nullptr;
    TfrView* CurrentView = nullptr;
    bool PrintMode = false;
    bool FirstPass = false;
    qint32 PageNumber = 0; // 0-based index of the prepared page being filled
    qint32 TotalPages = 0; // pages found by the first pass; 0 in a one-pass run
    double RunDate = 0; // days since 1899-12-30, taken once when a run starts
    double RunTime = 0; // time of day as a fraction of a day
    bool ErrorPending = false;
    QString ErrorText;
    bool DialogCancelled = false;

    // Kept for the value lookup and text expansion while a run goes on:
    Value MemoValue = Value::smallInt(0); // value of the bracket expression expanded last
    bool RegisteringAggregates = false; // on while a page's aggregate calls are being registered
    QString RecursionGuard; // the one name being evaluated as an expression by the lookup fallback
};

} // namespace vaskel
