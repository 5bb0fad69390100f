#include "report/preview/PreviewPdfExport.h"

#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/export/PdfExport.h"
#include "report/model/TfrGlobals.h"

#include <QCoreApplication>
#include <exception>

namespace vaskel {

namespace {

QString progressText(int page)
{
    return QCoreApplication::translate("vaskel", "Page  %1").arg(page);
}

} // namespace

QString PreviewPdfExport::hint()
{
    return QCoreApplication::translate("vaskel", "Export to PDF");
}

bool PreviewPdfExport::run(
    TfrEMFPages& pages, const QString& title, const QString& suggestedName, QString* chosen)
{
    UiServices& ui = TfrGlobals::get().ui();
    const QString fileName = ui.saveFileName(hint(), suggestedName,
        QCoreApplication::translate("vaskel", "PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (fileName.isEmpty())
        return false;
    if (chosen)
        *chosen = fileName;
    bool written = false;
    std::exception_ptr failure;
    const ModalResult result = ui.runWithProgress(hint(), progressText(1), [&](ProgressControl& c) {
        try {
            ExportDocumentInfo info;
            info.title = title;
            written = PdfExport().write(pages, fileName, info, [&c](int page) {
                c.setText(progressText(page));
                return c.cancelRequested();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        c.close(written ? ModalResult::Ok : ModalResult::Cancel);
    });
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const VaskelError& e) {
            ui.showError(e.message());
        } catch (const std::exception& e) {
            ui.showError(QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
    return written && result != ModalResult::Cancel;
}

} // namespace vaskel
