#include "report/preview/PreviewPrint.h"

#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/engine/PageSelection.h"
#include "report/engine/TfrReport.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/PrintHost.h"
#include "report/preview/TfrPrintForm.h"

#include <QBuffer>
#include <QCheckBox>
#include <QScopeGuard>
#include <QSpinBox>

namespace vaskel {

namespace {

void showError(const std::exception& e)
{
    const auto* known = dynamic_cast<const VaskelError*>(&e);
    TfrGlobals::get().ui().showError(known ? known->message() : QString::fromLocal8Bit(e.what()));
}

} // namespace

bool PreviewPrint::run(TfrReport& report, PrintHost& host, const DialogRunner& runDialog)
{
    TfrPrintForm dialog(host.dialogParent());
    dialog.E1->setValue(
        std::clamp<int>(report.DefaultCopies, PageSelection::kMinCopies, PageSelection::kMaxCopies));
    dialog.CollateCB->setChecked(report.DefaultCollate);
    const int remembered = dialog.rememberedPrinter();
    if (report.ShowPrintDialog) {
        const int result = runDialog ? runDialog(dialog) : dialog.exec();
        if (result != QDialog::Accepted)
            return false;
    }
    const int chosen = dialog.chosenPrinter();
    if (report.RebuildPrinter && chosen != remembered && report.Rebuildable) {
        if (!report.ChangePrinter(remembered, chosen))
            return false;
        if (!prepareAgain(report, host, remembered, chosen))
            return false;
    }
    const QString pageList = dialog.pageList(host.displayedPage());
    const int copies = dialog.copies();
    try {
        // Checked while the window still holds the pages: a wrong list leaves them there. Only
        // the tokens are checked here; which pages they name is the print run's business.
        PageSelection::parse(pageList, 0);
        if (copies < PageSelection::kMinCopies || copies > PageSelection::kMaxCopies)
            PageSelection::copiesFrom(QString::number(copies));
    } catch (const std::exception& e) {
        showError(e);
        return false;
    }
    host.releasePages();
    const auto takeBack = qScopeGuard([&host] { host.connectReport(); });
    try {
        return report.PrintPrepared(pageList, copies, dialog.selection(), dialog.collate());
    } catch (const std::exception& e) {
        showError(e);
        return false;
    }
}

bool PreviewPrint::prepareAgain(TfrReport& report, PrintHost& host, int oldIndex, int newIndex)
{
    host.releasePages();
    const auto takeBack = qScopeGuard([&host] { host.connectReport(); });
    // The pages that were shown, to put back when the new run does not finish.
    QByteArray shown;
    {
        QBuffer buffer(&shown);
        buffer.open(QIODevice::WriteOnly);
        report.PreparedPages().SaveTo(buffer, &PreparedObjectEntry::memoryCodePage());
    }
    bool prepared = false;
    try {
        prepared = report.Prepare() && report.PreparedPages().Count() > 0;
    } catch (const std::exception& e) {
        showError(e);
    }
    if (prepared)
        return true;
    if (newIndex != oldIndex)
        report.ChangePrinter(newIndex, oldIndex);
    QBuffer buffer(&shown);
    buffer.open(QIODevice::ReadOnly);
    report.PreparedPages().LoadFrom(buffer, &PreparedObjectEntry::memoryCodePage());
    return false;
}

} // namespace vaskel
