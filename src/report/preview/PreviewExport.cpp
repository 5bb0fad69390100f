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

// What each format shows, in the order of ExportFormat.
struct FormatTexts {
    const char* menu;
    const char* caption;
    const char* filter;
    const char* suffix;
};
constexpr FormatTexts kTexts[] = {
    {QT_TRANSLATE_NOOP("vaskel", "PDF..."), QT_TRANSLATE_NOOP("vaskel", "Export to PDF"),
        QT_TRANSLATE_NOOP("vaskel", "PDF files (*.pdf)"), "pdf"},
    {QT_TRANSLATE_NOOP("vaskel", "Excel..."), QT_TRANSLATE_NOOP("vaskel", "Export to Excel"),
        QT_TRANSLATE_NOOP("vaskel", "Excel workbooks (*.xlsx)"), "xlsx"},
    {QT_TRANSLATE_NOOP("vaskel", "HTML..."), QT_TRANSLATE_NOOP("vaskel", "Export to HTML"),
        QT_TRANSLATE_NOOP("vaskel", "HTML files (*.html *.htm)"), "html"},
    {QT_TRANSLATE_NOOP("vaskel", "CSV..."), QT_TRANSLATE_NOOP("vaskel", "Export to CSV"),
        QT_TRANSLATE_NOOP("vaskel", "CSV files (*.csv)"), "csv"},
};

const FormatTexts& textsOf(ExportFormat format)
{
    return kTexts[static_cast<int>(format)];
}

QString translated(const char* text)
{
    return QCoreApplication::translate("vaskel", text);
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
    return translated(textsOf(format).menu);
}

QString PreviewExport::caption(ExportFormat format)
{
    return translated(textsOf(format).caption);
}

QString PreviewExport::suffix(ExportFormat format)
{
    return QString::fromLatin1(textsOf(format).suffix);
}

bool PreviewExport::run(ExportFormat format, TfrEMFPages& pages, const QString& title,
    const QString& suggestedName, QString* chosen)
{
    UiServices& ui = TfrGlobals::get().ui();
    const QString fileName
        = ui.saveFileName(caption(format), suggestedName, translated(textsOf(format).filter), suffix(format));
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
