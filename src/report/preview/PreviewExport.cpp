#include "report/preview/PreviewExport.h"

#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/export/CsvExport.h"
#include "report/export/HtmlExport.h"
#include "report/export/PdfExport.h"
#include "report/export/XlsxExport.h"
#include "report/model/TfrGlobals.h"

#include <QCoreApplication>

#include <exception>
#include <memory>

namespace vaskel {

namespace {

QString progressText(int page)
{
    return QCoreApplication::translate("vaskel", "Page  %1").arg(page);
}

QString filter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Pdf:
        return QCoreApplication::translate("vaskel", "PDF files (*.pdf)");
    case ExportFormat::Xlsx:
        return QCoreApplication::translate("vaskel", "Excel workbooks (*.xlsx)");
    case ExportFormat::Html:
        return QCoreApplication::translate("vaskel", "HTML files (*.html *.htm)");
    case ExportFormat::Csv:
        return QCoreApplication::translate("vaskel", "CSV files (*.csv)");
    }
    return {};
}

std::unique_ptr<ReportExporter> exporter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Pdf:
        return std::make_unique<PdfExport>();
    case ExportFormat::Xlsx:
        return std::make_unique<XlsxExport>();
    case ExportFormat::Html:
        return std::make_unique<HtmlExport>();
    case ExportFormat::Csv:
        return std::make_unique<CsvExport>();
    }
    return nullptr;
}

} // namespace

QString PreviewExport::hint()
{
    return QCoreApplication::translate("vaskel", "Export");
}

QString PreviewExport::menuText(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Pdf:
        return QCoreApplication::translate("vaskel", "PDF...");
    case ExportFormat::Xlsx:
        return QCoreApplication::translate("vaskel", "Excel...");
    case ExportFormat::Html:
        return QCoreApplication::translate("vaskel", "HTML...");
    case ExportFormat::Csv:
        return QCoreApplication::translate("vaskel", "CSV...");
    }
    return {};
}

QString PreviewExport::caption(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Pdf:
        return QCoreApplication::translate("vaskel", "Export to PDF");
    case ExportFormat::Xlsx:
        return QCoreApplication::translate("vaskel", "Export to Excel");
    case ExportFormat::Html:
        return QCoreApplication::translate("vaskel", "Export to HTML");
    case ExportFormat::Csv:
        return QCoreApplication::translate("vaskel", "Export to CSV");
    }
    return {};
}

QString PreviewExport::suffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Pdf:
        return QStringLiteral("pdf");
    case ExportFormat::Xlsx:
        return QStringLiteral("xlsx");
    case ExportFormat::Html:
        return QStringLiteral("html");
    case ExportFormat::Csv:
        return QStringLiteral("csv");
    }
    return {};
}

bool PreviewExport::run(ExportFormat format, TfrEMFPages& pages, const QString& title,
    const QString& suggestedName, QString* chosen)
{
    UiServices& ui = TfrGlobals::get().ui();
    const QString fileName = ui.saveFileName(caption(format), suggestedName, filter(format), suffix(format));
    if (fileName.isEmpty())
        return false;
    if (chosen)
        *chosen = fileName;
    bool written = false;
    std::exception_ptr failure;
    const ModalResult result = ui.runWithProgress(caption(format), progressText(1), [&](ProgressControl& c) {
        try {
            ExportDocumentInfo info;
            info.title = title;
            written = exporter(format)->write(pages, fileName, info, [&c](int page) {
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
