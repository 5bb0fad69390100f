#pragma once
// The preview's Export commands (PDF, Excel, HTML, CSV under the Export button): each asks for the
// file name in the save dialog, offering the report's title, then writes the held pages as
// `vaskel render --pdf/--xlsx/--html/--csv` does, inside the progress window whose Cancel stops it
// (and leaves no file). Errors are shown in the standard error box.
#include <QString>

namespace vaskel {

class TfrEMFPages;

enum class ExportFormat { Pdf, Xlsx, Html, Csv };

class PreviewExport {
public:
    static constexpr ExportFormat kFormats[]
        = {ExportFormat::Pdf, ExportFormat::Xlsx, ExportFormat::Html, ExportFormat::Csv};

    // The Export button's tool tip.
    static QString hint();
    // The menu entry of a format ("PDF", "Excel" …) and the caption of its save dialog.
    static QString menuText(ExportFormat format);
    static QString caption(ExportFormat format);
    // The file name suffix of a format, without the dot.
    static QString suffix(ExportFormat format);
    // True when a file was written. `suggestedName` (may be empty) is offered in the dialog;
    // `chosen`, when given, receives the name chosen there.
    static bool run(ExportFormat format, TfrEMFPages& pages, const QString& title,
        const QString& suggestedName = {}, QString* chosen = nullptr);
};

} // namespace vaskel
