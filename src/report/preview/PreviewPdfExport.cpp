#include "report/preview/PreviewPdfExport.h"

#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/export/PdfExport.h"
#include "report/model/TfrGlobals.h"

#include <exception>

namespace vaskel {

QString PreviewPdfExport::hint()
{
    return QStringLiteral("Export to PDF");
}

bool PreviewPdfExport::run(TfrEMFPages& pages, const QString& title, const QString& suggestedName)
{
    UiServices& ui = TfrGlobals::get().ui();
    const QString fileName
        = ui.saveFileName(hint(), suggestedName, QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (fileName.isEmpty())
        return false;
    bool written = false;
    std::exception_ptr failure;
    const ModalResult result = ui.runWithProgress(hint(), QStringLiteral("Page  1"), [&](ProgressControl& c) {
        try {
            ExportDocumentInfo info;
            info.title = title;
            written = PdfExport().write(pages, fileName, info, [&c](int page) {
                c.setText(QStringLiteral("Page  %1").arg(page));
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
