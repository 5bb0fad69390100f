#pragma once
// The preview's Print command: the print dialog (unless the report's ShowPrintDialog is off),
// preparing the report again on another printer when the report asks for that, and the report's
// print run over the held pages. The copies and the page list are checked before the pages
// leave the window, and the pages come back to the window whatever happens: an error is shown in
// the standard error box and the preview keeps its pages.
#include <functional>

namespace vaskel {

class PrintHost;
class TfrPrintForm;
class TfrReport;

class PreviewPrint {
public:
    // Shows the dialog modally and answers its result; tests drive the dialog through it.
    using DialogRunner = std::function<int(TfrPrintForm& dialog)>;

    // True when the pages went to the printer.
    static bool run(TfrReport& report, PrintHost& host, const DialogRunner& runDialog = {});

    // Prepares the report again on the printer now current; the pages that were shown stay when
    // that fails or is cancelled (and the printer goes back from `newIndex` to `oldIndex`).
    static bool prepareAgain(TfrReport& report, PrintHost& host, int oldIndex, int newIndex);
};

} // namespace vaskel
