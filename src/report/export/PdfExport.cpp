#include "report/export/PdfExport.h"

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/CairoPaintEngine.h"
#include "report/export/PdfOutline.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/model/TfrView.h"

#include <QPageSize>
#include <QPainter>

#include <cairo-pdf.h>

#include <functional>
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

// Whether the document has its 1-based page N (for a run still being prepared, once it knows).
using PageExists = std::function<bool(int)>;

// The page number of a hyperlink's target "…@N" among the document's pages, 0 for none.
int linkedPage(const TfrView& view, const PageExists& pageExists)
{
    if (!view.Name.startsWith(QStringLiteral("URL")))
        return 0;
    const qsizetype at = view.Tag.indexOf(u'@');
    if (at < 0)
        return 0;
    bool ok = false;
    const int page = view.Tag.mid(at + 1).trimmed().toInt(&ok);
    return ok && page >= 1 && pageExists(page) ? page : 0;
}

// Draws one page onto `painter` where the printer would put it, collects its page jumps, then
// lets its live views go.
void drawPage(TfrEMFPages& pages, int index, QPainter& painter, QSize sheet, const PageExists& pageExists,
    std::vector<PageLink>& links)
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
                if (const int to = linkedPage(*view, pageExists))
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

// One PDF document being written page by page into its file.
class PdfDocument {
public:
    PdfDocument(const QString& fileName, const ExportDocumentInfo& info)
        : m_fileName(fileName), m_file(fileName)
    {
        m_file.open();
        m_sink.file = &m_file;
        const QSize a4 = QPageSize(QPageSize::A4).sizePoints();
        m_surface.reset(cairo_pdf_surface_create_for_stream(writeToSink, &m_sink, a4.width(), a4.height()));
        setMetadata(m_surface.get(), CAIRO_PDF_METADATA_TITLE, info.title);
        setMetadata(m_surface.get(), CAIRO_PDF_METADATA_AUTHOR, info.author);
        setMetadata(m_surface.get(), CAIRO_PDF_METADATA_SUBJECT, info.subject);
        setMetadata(m_surface.get(), CAIRO_PDF_METADATA_CREATOR, info.creator);
        m_cr.reset(cairo_create(m_surface.get()));
        m_engine.setTarget(m_cr.get(), kPointsPerInch / kPdfDpi);
    }

    // Whatever ends the export early, nothing of it reaches the file.
    ~PdfDocument()
    {
        if (m_finished)
            return;
        m_sink.discarding = true;
        m_cr.reset();
        m_surface.reset();
        m_file.cancel();
    }

    // Page `index` of `pages` as the document's next page.
    void addPage(TfrEMFPages& pages, int index, const PageExists& pageExists)
    {
        const int number = ++m_pageCount;
        const QPageSize paper = paperSize(pages.PageAt(index));
        const QSize points = paper.sizePoints();
        const QSize sheet = paper.sizePixels(kPdfDpi);
        cairo_pdf_surface_set_size(m_surface.get(), points.width(), points.height());
        m_device.setPage(sheet, kPdfDpi);
        QPainter painter;
        if (!painter.begin(&m_device))
            cannotCreateExport(
                m_fileName, QString::fromUtf8(cairo_status_to_string(cairo_status(m_cr.get()))));
        drawPage(pages, index, painter, sheet, pageExists, m_links);
        painter.end();
        addDestination(m_cr.get(), number, m_pendingDestinations);
        addLinks(m_cr.get(), m_links, number, kPointsPerInch / kPdfDpi, m_pendingDestinations);
        const std::vector<PdfOutlineEntry> outline
            = pdfOutlineOfPage(pages.PageAt(index), number, sheet, kPointsPerInch / kPdfDpi);
        addPdfOutline(m_surface.get(), outline);
        m_groupsOutlined = m_groupsOutlined || !outline.empty();
        cairo_show_page(m_cr.get());
    }

    // Completes the file and puts it in its place.
    void finish()
    {
        if (m_pageCount == 0)
            cairo_show_page(m_cr.get()); // a PDF needs a page; an empty report gives one blank page
        // Without groups to name its parts, the outline lists the pages.
        if (!m_groupsOutlined)
            addPdfOutline(m_surface.get(), pdfPageOutline(m_pageCount));
        const cairo_status_t drawn = cairo_status(m_cr.get());
        m_cr.reset();
        cairo_surface_finish(m_surface.get());
        const cairo_status_t finished = cairo_surface_status(m_surface.get());
        if (m_sink.failed)
            m_file.fail(m_file.writeFailure());
        if (drawn != CAIRO_STATUS_SUCCESS || finished != CAIRO_STATUS_SUCCESS)
            cannotCreateExport(m_fileName,
                QString::fromUtf8(cairo_status_to_string(drawn != CAIRO_STATUS_SUCCESS ? drawn : finished)));
        m_finished = true;
        m_surface.reset();
        m_file.commit();
    }

private:
    QString m_fileName;
    SafeOutputFile m_file;
    Sink m_sink;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> m_surface;
    std::unique_ptr<cairo_t, ContextDeleter> m_cr;
    CairoPaintEngine m_engine;
    CairoPageDevice m_device{m_engine};
    std::vector<PageLink> m_links;
    std::set<int> m_pendingDestinations;
    int m_pageCount = 0;
    bool m_groupsOutlined = false; // a page named an outermost group header
    bool m_finished = false;
};

} // namespace

bool PdfExport::write(
    TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info, const Progress& progress)
{
    PdfDocument document(fileName, info);
    const PageExists pageExists = [&pages](int page) { return page <= pages.Count(); };
    for (int i = 0; i < pages.Count(); ++i) {
        document.addPage(pages, i, pageExists);
        if (progress && progress(i + 1))
            return false;
    }
    document.finish();
    return true;
}

PdfRunWriter::PdfRunWriter(const QString& fileName, const ExportDocumentInfo& info)
    : m_fileName(fileName), m_info(info)
{
    frCompressor(); // made here once, not first on the writer's thread
    m_thread = std::thread([this] { writePages(); });
}

PdfRunWriter::~PdfRunWriter()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_abandoned = true;
        m_closed = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PdfRunWriter::pageFinished(std::unique_ptr<TfrPreparedPage> page)
{
    // A code page's converters serve one thread: the writer decodes with converters of its own.
    if (page->TextCodePage) {
        const QString name = page->TextCodePage->name();
        auto known = m_codePages.find(name);
        if (known == m_codePages.end())
            known = m_codePages.emplace(name, std::make_shared<const CodePage>(name)).first;
        page->TextCodePage = known->second;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(page));
        ++m_received;
    }
    m_changed.notify_all();
}

void PdfRunWriter::finish()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
    m_thread.join();
    if (m_failure)
        std::rethrow_exception(m_failure);
}

std::unique_ptr<TfrPreparedPage> PdfRunWriter::nextPage()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
    if (m_abandoned || m_queue.empty())
        return nullptr;
    std::unique_ptr<TfrPreparedPage> page = std::move(m_queue.front());
    m_queue.pop_front();
    return page;
}

bool PdfRunWriter::pageExists(int page)
{
    // A link to a page not prepared yet waits for it, or for the end of the run.
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this, page] { return m_received >= page || m_closed; });
    return page <= m_received;
}

void PdfRunWriter::writePages()
{
    try {
        TfrEMFPages pages(nullptr);
        pages.OffRunThread = true;
        std::unique_ptr<PdfDocument> document;
        const PageExists exists = [this](int page) { return pageExists(page); };
        while (std::unique_ptr<TfrPreparedPage> page = nextPage()) {
            if (!document)
                document = std::make_unique<PdfDocument>(m_fileName, m_info);
            pages.AdoptPage(std::move(page));
            const int index = pages.Count() - 1;
            document->addPage(pages, index, exists);
            // Written: only its place in the store is kept.
            TfrPreparedPage& done = pages.PageAt(index);
            done.PageData = QByteArray();
            done.PackedData = QByteArray();
            done.Bands = {};
            done.Values = {};
            done.Outline = {};
        }
        {
            const std::lock_guard lock(m_mutex);
            if (m_abandoned)
                return;
        }
        if (!document)
            document = std::make_unique<PdfDocument>(m_fileName, m_info);
        document->finish();
    } catch (...) {
        m_failure = std::current_exception();
    }
}

} // namespace vaskel
