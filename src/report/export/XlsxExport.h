#pragma once
// Prepared pages as an Excel workbook (through libxlsxwriter, rows written one after another so
// that memory stays bounded however long the report). One sheet holds the report, its pages one
// after the other. Each page's memos are laid on a grid made from their edges (columns from the
// distinct left and right edges of all pages, rows from each page's top and bottom edges, slivers
// narrower than a millimetre merged away); a memo spanning several grid cells is a merged cell.
// Column widths and row heights follow the page. A memo that printed one number or date through
// its display format is a number or date cell with the equivalent number format; other texts stay
// text ("0002" keeps its zeros). Fonts, alignment, wrapping, fill and frame lines are kept. Page
// headers and footers appear once, at the top and the bottom, unless every page keeps them. The
// sheet's print setup follows the first page's paper and orientation.
#include "report/export/ReportExporter.h"

namespace vaskel {

class XlsxExport final : public ReportExporter {
public:
    // `everyPage`: page headers and footers on every page, not only once.
    explicit XlsxExport(bool everyPage = false) : m_everyPage(everyPage) { }

    bool write(TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info,
        const Progress& progress = {}) override;

private:
    bool m_everyPage;
};

} // namespace vaskel
