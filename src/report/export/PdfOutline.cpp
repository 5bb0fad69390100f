#include "report/export/PdfOutline.h"

#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"

#include <cairo-pdf.h>

#include <algorithm>

namespace vaskel {

namespace {

QString pageTitle(int pageNumber)
{
    return QStringLiteral("Page %1").arg(pageNumber);
}

} // namespace

std::vector<PdfOutlineEntry> pdfOutlineOfPage(
    const TfrPreparedPage& page, int pageNumber, QSize sheet, double pointsPerPixel)
{
    std::vector<PdfOutlineEntry> entries;
    if (page.Outline.empty())
        return entries;
    // Where the page's views land: report units scaled into the page's rectangle on the sheet.
    const QRect target = PageTarget::onSheet(page, sheet);
    const double pixelsPerUnit
        = page.Metrics.UnitPaperHeight > 0 ? double(target.height()) / page.Metrics.UnitPaperHeight : 0;
    entries.reserve(page.Outline.size());
    for (const PreparedOutlineEntry& noted : page.Outline) {
        const double top = (target.top() + noted.Top * pixelsPerUnit) * pointsPerPixel;
        entries.push_back(
            {pageNumber, std::max(0.0, top), noted.Text.isEmpty() ? pageTitle(pageNumber) : noted.Text});
    }
    return entries;
}

std::vector<PdfOutlineEntry> pdfPageOutline(int pageCount)
{
    std::vector<PdfOutlineEntry> entries;
    if (pageCount < 2)
        return entries;
    entries.reserve(size_t(pageCount));
    for (int page = 1; page <= pageCount; ++page)
        entries.push_back({page, 0, pageTitle(page)});
    return entries;
}

void addPdfOutline(cairo_surface_t* surface, const std::vector<PdfOutlineEntry>& entries)
{
    for (const PdfOutlineEntry& entry : entries) {
        const QByteArray destination
            = QStringLiteral("page=%1 pos=[0 %2]").arg(entry.page).arg(entry.top, 0, 'f', 2).toUtf8();
        cairo_pdf_surface_add_outline(surface, CAIRO_PDF_OUTLINE_ROOT, entry.title.toUtf8().constData(),
            destination.constData(), cairo_pdf_outline_flags_t(0));
    }
}

} // namespace vaskel
