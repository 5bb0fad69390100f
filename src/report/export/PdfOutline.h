#pragma once
// The PDF's outline (its bookmarks): one entry per header of a report page's outermost group, at
// the place it printed and titled with what it printed; or, when no page carries such a header
// (a report without groups, pages read from a prepared-report file, which keeps no notes), one
// entry per page. Built page by page from the notes the prepared pages carry, so that a writer
// needs no more than the page it writes.
#include <QSize>
#include <QString>

#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace vaskel {

struct TfrPreparedPage;

struct PdfOutlineEntry {
    int page = 1; // 1-based
    double top = 0; // points from the top edge of the PDF page
    QString title;
};

// The entries of the page numbered `pageNumber`, drawn as PdfExport draws it on a sheet of `sheet`
// pixels of `pointsPerPixel` points: its outermost group headers in print order. A header that
// printed no text is titled by its page ("Page N").
std::vector<PdfOutlineEntry> pdfOutlineOfPage(
    const TfrPreparedPage& page, int pageNumber, QSize sheet, double pointsPerPixel);

// The outline of a document whose pages named no group header: "Page N" for each page, nothing
// for a single page.
std::vector<PdfOutlineEntry> pdfPageOutline(int pageCount);

// Appends the entries to the top level of the outline of the PDF being written. An entry may
// lead to any page written so far or to the page being drawn.
void addPdfOutline(cairo_surface_t* surface, const std::vector<PdfOutlineEntry>& entries);

} // namespace vaskel
