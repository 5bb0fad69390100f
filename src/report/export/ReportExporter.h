#pragma once
// What every exporter of prepared pages (PDF today; spreadsheets, HTML and CSV beside it) takes and
// gives: the prepared pages store in, one file out, a progress callback that may stop the run.
// Exporters write beside the target and rename over it only when complete, so a stopped or failed
// export leaves whatever file was there; failures throw VaskelError ("Cannot create file ...").
// The preview's Export commands and `vaskel render` both call them.
#include <QString>

#include <functional>

namespace vaskel {

class TfrEMFPages;

inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kPointsPerInch = 72.0;

// The failure every exporter reports when its file cannot be made or written.
[[noreturn]] void cannotCreateExport(const QString& fileName, const QString& reason);

// The document information an exporter records where its format has a place for it. Empty fields
// are left out.
struct ExportDocumentInfo {
    QString title; // the report's title
    QString author;
    QString subject;
    QString creator = QStringLiteral("vaskel");
};

class ReportExporter {
public:
    // Called after each page with its 1-based number; answers true to stop (nothing is written).
    using Progress = std::function<bool(int pageNumber)>;

    virtual ~ReportExporter() = default;

    // False when `progress` stopped the export. The pages' live views are released as the export
    // passes them, as drawing for the screen does.
    virtual bool write(
        TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info, const Progress& progress)
        = 0;
};

} // namespace vaskel
