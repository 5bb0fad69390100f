#include "report/export/PdfExport.h"

#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/CairoPaintEngine.h"
#include "report/export/PdfOutline.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/model/TfrView.h"

#include <QPageSize>
#include <QPainter>

#include <cairo-pdf.h>

#include <memory>
#include <set>
#include <vector>

namespace vaskel {

void cannotCreateExport(const QString& fileName, const QString& reason)
{
    throw VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

namespace {

// Resolution of the page drawing: fine enough that text placed in whole pixels sits where it
// belongs. The PDF itself is in points; one pixel is 72/600 of a point.
constexpr int kPdfDpi = 600;

// The paper of a page as it lies, from its metrics on the printer model. The PDF page is a whole
// number of points, and the drawing a whole number of pixels, as printers have it.
QPageSize paperSize(const TfrPreparedPage& page)
{
    const double perUnit = kMillimetresPerInch / TfrPrinter::kUnitsPerInch;
    return QPageSize(QSizeF(page.Metrics.UnitPaperWidth * perUnit, page.Metrics.UnitPaperHeight * perUnit),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

// Where cairo's output goes: the save file, until the export is given up.
struct Sink {
    SafeOutputFile* file = nullptr;
    bool failed = false;
    bool discarding = false;
};

cairo_status_t writeToSink(void* closure, const unsigned char* data, unsigned int length)
{
    auto* sink = static_cast<Sink*>(closure);
    if (sink->discarding)
        return CAIRO_STATUS_SUCCESS;
    if (sink->file->device().write(reinterpret_cast<const char*>(data), length) != qint64(length)) {
        sink->failed = true;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

void setMetadata(cairo_surface_t* surface, cairo_pdf_metadata_t field, const QString& value)
{
    if (!value.isEmpty())
        cairo_pdf_surface_set_metadata(surface, field, value.toUtf8().constData());
}

// A jump to another page of the report: a hyperlink view ("URL…") whose tag ends in "@N".
struct PageLink {
    QRectF area; // device pixels of the sheet
    int page; // 1-based
};

// The page number of a hyperlink's target "…@N" within `pageCount` pages, 0 for none.
int linkedPage(const TfrView& view, int pageCount)
{
    if (!view.Name.startsWith(QStringLiteral("URL")))
        return 0;
    const qsizetype at = view.Tag.indexOf(u'@');
    if (at < 0)
        return 0;
    bool ok = false;
    const int page = view.Tag.mid(at + 1).trimmed().toInt(&ok);
    return ok && page >= 1 && page <= pageCount ? page : 0;
}

// Draws one page onto `painter` where the printer would put it, collects its page jumps, then
// lets its live views go.
void drawPage(TfrEMFPages& pages, int index, QPainter& painter, QSize sheet, std::vector<PageLink>& links)
{
    TfrPreparedPage& page = pages.PageAt(index);
    const bool wasInUse = page.InUse;
    page.InUse = true;
    try {
        const QRect target = PageTarget::onSheet(page, sheet);
        pages.DrawPage(index, painter, target);
        links.clear();
        if (page.LivePage && page.Metrics.UnitPaperWidth > 0 && page.Metrics.UnitPaperHeight > 0) {
            // As the page's views are drawn: report units scaled to the target.
            const double kx = double(target.width()) / page.Metrics.UnitPaperWidth;
            const double ky = double(target.height()) / page.Metrics.UnitPaperHeight;
            for (const auto& view : page.LivePage->ObjectList) {
                if (const int to = linkedPage(*view, pages.Count()))
                    links.push_back({QRectF(target.left() + view->Left * kx, target.top() + view->Top * ky,
                                         view->Width * kx, view->Height * ky),
                        to});
            }
        }
    } catch (...) {
        page.InUse = wasInUse;
        throw;
    }
    page.InUse = wasInUse;
    if (!wasInUse)
        pages.ReleasePage(index);
}

// Each page jump becomes a link to the top of its page. A page already written is named by its
// number; a later one gets a named destination when it is reached (`pending`), as the PDF surface
// resolves page numbers only for pages it has.
void addLinks(cairo_t* cr, const std::vector<PageLink>& links, int currentPage, double pointsPerPixel,
    std::set<int>& pending)
{
    cairo_identity_matrix(cr);
    for (const PageLink& link : links) {
        const QRectF r(link.area.topLeft() * pointsPerPixel, link.area.size() * pointsPerPixel);
        QString target;
        if (link.page <= currentPage) {
            target = QStringLiteral("page=%1 pos=[0 0]").arg(link.page);
        } else {
            target = QStringLiteral("dest='page%1'").arg(link.page);
            pending.insert(link.page);
        }
        const QByteArray attributes = QStringLiteral("rect=[%1 %2 %3 %4] %5")
                                          .arg(r.x(), 0, 'f', 2)
                                          .arg(r.y(), 0, 'f', 2)
                                          .arg(r.width(), 0, 'f', 2)
                                          .arg(r.height(), 0, 'f', 2)
                                          .arg(target)
                                          .toUtf8();
        cairo_tag_begin(cr, CAIRO_TAG_LINK, attributes.constData());
        cairo_tag_end(cr, CAIRO_TAG_LINK);
    }
}

// The named destination of the page now begun, when an earlier page links to it.
void addDestination(cairo_t* cr, int page, std::set<int>& pending)
{
    if (pending.erase(page) == 0)
        return;
    const QByteArray attributes = QStringLiteral("name='page%1' x=0 y=0").arg(page).toUtf8();
    cairo_tag_begin(cr, CAIRO_TAG_DEST, attributes.constData());
    cairo_tag_end(cr, CAIRO_TAG_DEST);
}

} // namespace

bool PdfExport::write(
    TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info, const Progress& progress)
{
    SafeOutputFile file(fileName);
    file.open();
    Sink sink{&file};
    const QSize a4 = QPageSize(QPageSize::A4).sizePoints();
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_pdf_surface_create_for_stream(writeToSink, &sink, a4.width(), a4.height()));
    setMetadata(surface.get(), CAIRO_PDF_METADATA_TITLE, info.title);
    setMetadata(surface.get(), CAIRO_PDF_METADATA_AUTHOR, info.author);
    setMetadata(surface.get(), CAIRO_PDF_METADATA_SUBJECT, info.subject);
    setMetadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, info.creator);
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));

    // Whatever ends the export early, nothing of it reaches the file.
    struct Discard {
        Sink& sink;
        bool armed = true;
        ~Discard()
        {
            if (armed) {
                sink.discarding = true;
                sink.file->cancel();
            }
        }
    } discard{sink};

    bool groupsOutlined = false; // a page named an outermost group header
    std::vector<PageLink> links;
    std::set<int> pendingDestinations;
    CairoPaintEngine engine;
    engine.setTarget(cr.get(), kPointsPerInch / kPdfDpi);
    CairoPageDevice device(engine);
    for (int i = 0; i < pages.Count(); ++i) {
        const QPageSize paper = paperSize(pages.PageAt(i));
        const QSize points = paper.sizePoints();
        const QSize sheet = paper.sizePixels(kPdfDpi);
        cairo_pdf_surface_set_size(surface.get(), points.width(), points.height());
        device.setPage(sheet, kPdfDpi);
        QPainter painter;
        if (!painter.begin(&device))
            cannotCreateExport(fileName, QString::fromUtf8(cairo_status_to_string(cairo_status(cr.get()))));
        drawPage(pages, i, painter, sheet, links);
        painter.end();
        addDestination(cr.get(), i + 1, pendingDestinations);
        addLinks(cr.get(), links, i + 1, kPointsPerInch / kPdfDpi, pendingDestinations);
        const std::vector<PdfOutlineEntry> outline
            = pdfOutlineOfPage(pages.PageAt(i), i + 1, sheet, kPointsPerInch / kPdfDpi);
        addPdfOutline(surface.get(), outline);
        groupsOutlined = groupsOutlined || !outline.empty();
        cairo_show_page(cr.get());
        if (progress && progress(i + 1))
            return false;
    }
    if (pages.Count() == 0)
        cairo_show_page(cr.get()); // a PDF needs a page; an empty report gives one blank page
    // Without groups to name its parts, the outline lists the pages.
    if (!groupsOutlined)
        addPdfOutline(surface.get(), pdfPageOutline(pages.Count()));
    const cairo_status_t drawn = cairo_status(cr.get());
    cr.reset();
    cairo_surface_finish(surface.get());
    const cairo_status_t finished = cairo_surface_status(surface.get());
    if (sink.failed)
        file.fail(file.writeFailure());
    if (drawn != CAIRO_STATUS_SUCCESS || finished != CAIRO_STATUS_SUCCESS)
        cannotCreateExport(fileName,
            QString::fromUtf8(cairo_status_to_string(drawn != CAIRO_STATUS_SUCCESS ? drawn : finished)));
    discard.armed = false;
    file.commit();
    return true;
}

} // namespace vaskel
