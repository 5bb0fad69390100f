// Printing the prepared pages: the parameters are checked before anything is sent, then the print
// loop runs inside the progress window ("Printing page:"), whose Cancel stops it between sheets.
// A failure inside the window is carried out of it and thrown afterwards, so it never crosses the
// window's event loop.
#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/engine/PageSelection.h"
#include "report/engine/PrintRun.h"
#include "report/engine/ReportPreviewHost.h"
#include "report/engine/TfrReport.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrGlobals.h"

#include <QScopeGuard>

#include <exception>

namespace vaskel {

bool TfrReport::PrintPrepared(const QString& pageList, qint32 copies, quint8 selection, bool collate)
{
    StopRequested = false;
    if (copies < PageSelection::kMinCopies || copies > PageSelection::kMaxCopies)
        PageSelection::copiesFrom(QString::number(copies)); // throws with the message
    PageSelection::parse(pageList, 0); // throws for a bad token
    PrintPageList = pageList;
    PrintCopies = copies;
    PrintSelection = selection;
    PrintCollate = collate;

    // An embedded preview control holds the pages while it shows them: they come back for the
    // print and go to the control again afterwards, whatever happens.
    ReportPreviewControl* holder = Preview && PreparedPages().Count() == 0 ? Preview : nullptr;
    if (holder)
        holder->Disconnect();
    const auto giveBack = qScopeGuard([this, holder] {
        if (holder)
            holder->Connect(*this);
    });

    if (OnProgress || !ShowProgress) {
        // Hovering over objects means nothing while the pages are away at the printer.
        auto mouseOver = std::move(OnMouseOverObject);
        OnMouseOverObject = nullptr;
        const auto restore = qScopeGuard([&] { OnMouseOverObject = std::move(mouseOver); });
        PrintPages();
        return !StopRequested;
    }
    const QString text = LoadStr(StringTable::sPreparingReport);
    const QString caption = Title.isEmpty() ? text : text + QStringLiteral(" - ") + Title;
    PassText = LoadStr(StringTable::sPrintingPage);
    std::exception_ptr failure;
    const ModalResult result = TfrGlobals::get().ui().runWithProgress(
        caption, PassText + QStringLiteral("  1"), [this, &failure](ProgressControl& c) {
            const auto restore = qScopeGuard([this, previous = RunProgress] { RunProgress = previous; });
            RunProgress = &c;
            try {
                PrintPages();
            } catch (...) {
                failure = std::current_exception();
            }
            c.close(failure || StopRequested ? ModalResult::Cancel : ModalResult::Ok);
        });
    if (failure)
        std::rethrow_exception(failure);
    if (result == ModalResult::Cancel)
        StopRequested = true;
    return !StopRequested;
}

void TfrReport::PrintPages()
{
    PrintRun(*this).run();
}

} // namespace vaskel
