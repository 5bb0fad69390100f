#pragma once
// Prepared pages as a CSV file for a spreadsheet or a script: UTF-8 with a byte order mark, commas,
// fields quoted when they hold a comma, a quote or a line break (quotes doubled), lines ended by
// CR LF. One line per printed band: each data row with its memos left to right, group and summary
// bands as lines of their own; page headers and footers once, at the top and the bottom. Numbers
// are written plain ("213011.58", no grouping), dates as ISO dates.
#include "report/export/ReportExporter.h"

namespace vaskel {

class CsvExport final : public ReportExporter {
public:
    // `everyPage`: page headers and footers on every page, not only once.
    explicit CsvExport(bool everyPage = false) : m_everyPage(everyPage) { }

    bool write(TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info,
        const Progress& progress = {}) override;

private:
    bool m_everyPage;
};

} // namespace vaskel
