#include "report/engine/TfrEMFPages.h"

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/RecordingDevice.h"
#include "platform/Rounding.h"
#include "platform/UiServices.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrReport.h"
#include "report/model/EListIndexError.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QUrl>

#include <limits>

namespace vaskel {

namespace {

// Screen drawing keeps views whose rectangle, widened by this many pixels, meets the clip area.
constexpr int kClipSlack = 10;

// The area a painter may still draw on, in its logical coordinates.
QRegion clipArea(const QPainter& canvas)
{
    if (canvas.hasClipping())
        return canvas.clipRegion();
    const QPaintDevice* device = canvas.device();
    const QRect deviceRect(0, 0, device->width(), device->height());
    return QRegion(canvas.combinedTransform().inverted().mapRect(deviceRect));
}

// Printers and PDF writers are paper: every view is drawn, with the printer's font sizes.
bool drawsOnPaper(const QPaintDevice* device)
{
    return device
        && (device->devType() == QInternal::Printer || dynamic_cast<const QPdfWriter*>(device) != nullptr
            || dynamic_cast<const PaperDevice*>(device) != nullptr);
}

// round(v) + offset as a pixel coordinate; views of damaged pages may lie anywhere, so the result
// is kept well inside the range QRect can compute sizes in.
int placed(double v, int offset)
{
    constexpr qint64 limit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(roundToInt64(v) + offset, -limit, limit));
}

bool isHyperlink(const TfrView& view)
{
    return view.Name.startsWith(QStringLiteral("URL"));
}

} // namespace

TfrEMFPages::TfrEMFPages(TfrReport* owner) : m_owner(owner)
{
}

TfrEMFPages::~TfrEMFPages()
{
    Clear();
}

TfrPreparedPage& TfrEMFPages::page(int index) const
{
    if (index < 0 || index >= Count())
        throw EListIndexError(index);
    return *m_pages[static_cast<size_t>(index)];
}

TfrPreparedPage& TfrEMFPages::PageAt(int index)
{
    return page(index);
}

const TfrPreparedPage& TfrEMFPages::PageAt(int index) const
{
    return page(index);
}

void TfrEMFPages::InsertPage(int index, const TfrPage& templatePage)
{
    auto record = std::make_unique<TfrPreparedPage>();
    record->PaperCode = static_cast<quint16>(templatePage.PaperCode);
    record->PaperSizeX = templatePage.PaperSizeX;
    record->PaperSizeY = templatePage.PaperSizeY;
    record->PaperOrientation = templatePage.PaperOrientation;
    record->PaperSource = static_cast<qint32>(templatePage.PaperSource);
    record->MarginsFlag = templatePage.MarginsFlag ? 1 : 0;
    std::copy(std::begin(templatePage.Margins), std::end(templatePage.Margins), record->Margins);
    record->Metrics = templatePage.Metrics;
    record->PageData = QByteArray(1, static_cast<char>(kPageStreamVersion));
    record->TextCodePage = newPageCodePage();
    m_plainBytes += record->PageData.size();
    Q_ASSERT_X(index >= 0, "TfrEMFPages::InsertPage", "negative page index");
    const size_t at = static_cast<size_t>(std::clamp(index, 0, Count()));
    touchPage(static_cast<int>(at));
    // The layout engine has finished the page before a new last one.
    if (at == m_pages.size() && at > 0)
        finishPage(*m_pages.back());
    m_pages.insert(m_pages.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
    if (m_sink && m_owner && m_owner->FinalPass)
        handOverUpTo(Count() - 2);
}

void TfrEMFPages::SetFinishedPageSink(FinishedPageSink* sink)
{
    m_sink = sink;
    m_handedOver = 0;
    m_handOverBroken = false;
}

void TfrEMFPages::HandOverRemaining()
{
    if (m_sink)
        handOverUpTo(Count());
}

void TfrEMFPages::handOverUpTo(int end)
{
    for (; m_handedOver < end; ++m_handedOver) {
        const TfrPreparedPage& from = page(m_handedOver);
        auto copy = std::make_unique<TfrPreparedPage>();
        copy->LayoutRect = from.LayoutRect;
        copy->PaperCode = from.PaperCode;
        copy->PaperSizeX = from.PaperSizeX;
        copy->PaperSizeY = from.PaperSizeY;
        copy->PaperOrientation = from.PaperOrientation;
        copy->PaperSource = from.PaperSource;
        copy->MarginsFlag = from.MarginsFlag;
        std::copy(std::begin(from.Margins), std::end(from.Margins), copy->Margins);
        copy->Metrics = from.Metrics;
        copy->PageData = from.PageData;
        copy->PackedData = from.PackedData;
        copy->PlainSize = from.PlainSize;
        copy->TextCodePage = from.TextCodePage;
        copy->Bands = from.Bands;
        copy->Values = from.Values;
        copy->Outline = from.Outline;
        m_sink->pageFinished(std::move(copy));
    }
}

void TfrEMFPages::breakHandOver()
{
    m_handOverBroken = true;
    m_sink = nullptr;
}

void TfrEMFPages::AdoptPage(std::unique_ptr<TfrPreparedPage> page)
{
    m_plainBytes += page->PageData.size();
    m_pages.push_back(std::move(page));
}

void TfrEMFPages::AddPage(const TfrPage& templatePage)
{
    // A run that never ends (a template whose bands can never be placed) stops here with a
    // message instead of filling memory.
    if (m_owner && Count() >= m_owner->MaxPreparedPages) {
        // The run ends as a whole, told as such: not as a calculation error of the object that
        // happened to ask for the page.
        m_owner->RunLimitMessage
            = QStringLiteral("The report has reached %1 pages, the most a run may prepare; it was "
                             "stopped")
                  .arg(m_owner->MaxPreparedPages);
        m_owner->RunLimitStop = true;
        m_owner->StopRequested = true;
        throw VaskelError(m_owner->RunLimitMessage);
    }
    InsertPage(Count(), templatePage);
    const RunState& run = frRun();
    if (run.CurrentReport && run.CurrentReport->OnBeginPage)
        run.CurrentReport->OnBeginPage(run.PageNumber);
}

void TfrEMFPages::DeletePage(int index)
{
    touchPage(index);
    TfrPreparedPage& record = page(index);
    releaseLivePage(record);
    m_plainBytes -= record.PageData.size();
    m_pages.erase(m_pages.begin() + index);
}

void TfrEMFPages::Clear()
{
    // From the back: erasing the first of tens of thousands of pages moves all the others.
    while (!m_pages.empty())
        DeletePage(Count() - 1);
    m_plainBytes = 0;
}

ReportStreamWriter TfrEMFPages::RecordWriter(int index) const
{
    const TfrPreparedPage& record = page(index);
    ReportStreamWriter writer(record.PackedData.isEmpty() ? record.PageData.size() : record.PlainSize);
    // Room for a memo's entry: writing it then grows nothing.
    writer.reserve(kRecordReserve);
    writer.setPageCodePage(record.TextCodePage.get());
    return writer;
}

std::shared_ptr<const CodePage> TfrEMFPages::newPageCodePage()
{
    const CodePage& configured = PlatformGlobals::get().codePage;
    if (configured.isUtf8())
        return nullptr;
    if (!m_newPageCodePage || m_newPageCodePage->name() != configured.name())
        m_newPageCodePage = std::make_shared<const CodePage>(configured);
    return m_newPageCodePage;
}

void TfrEMFPages::AppendRecords(int index, ReportStreamWriter& records)
{
    touchPage(index);
    const qsizetype unicodeFrom = records.unicodeFrom();
    const QByteArray bytes = records.takeData();
    TfrPreparedPage& record = page(index);
    if (unicodeFrom < 0 || !record.TextCodePage) {
        AppendRecords(index, bytes);
        return;
    }
    // The records hold a character the page's code page lacks: the page so far and the records
    // before that entry are written again in UTF-8, and the entries after it again too, since
    // the end positions in them move with the page.
    QByteArray& plain = plainData(record);
    const QList<EntryPart> parts{{plain.mid(1) + bytes.left(unicodeFrom), record.TextCodePage.get()},
        {bytes.mid(unicodeFrom), &PreparedObjectEntry::memoryCodePage()}};
    QByteArray converted
        = rewritePage(static_cast<quint8>(plain.at(0)), parts, PreparedObjectEntry::memoryCodePage());
    m_plainBytes += converted.size() - plain.size();
    plain = std::move(converted);
    record.TextCodePage.reset();
}

void TfrEMFPages::AppendRecords(int index, const QByteArray& records)
{
    touchPage(index);
    plainData(page(index)).append(records);
    m_plainBytes += records.size();
}

QByteArray TfrEMFPages::PageBytes(int index) const
{
    const TfrPreparedPage& record = page(index);
    if (record.PackedData.isEmpty())
        return record.PageData;
    return TfrCompressor::unpack(record.PackedData, record.PlainSize);
}

QByteArray& TfrEMFPages::plainData(TfrPreparedPage& record)
{
    if (!record.PackedData.isEmpty()) {
        record.PageData = TfrCompressor::unpack(record.PackedData, record.PlainSize);
        record.PackedData.clear();
        record.PlainSize = 0;
        m_plainBytes += record.PageData.size();
    }
    return record.PageData;
}

void TfrEMFPages::finishPage(TfrPreparedPage& record)
{
    if (!record.PackedData.isEmpty())
        return;
    // The page grew by appending and holds up to twice its size.
    record.PageData.squeeze();
    if (m_plainBytes <= PlainPageBudget)
        return;
    record.PackedData = TfrCompressor::pack(record.PageData);
    record.PlainSize = record.PageData.size();
    m_plainBytes -= record.PageData.size();
    record.PageData = QByteArray();
}

void TfrEMFPages::releaseLivePage(TfrPreparedPage& record)
{
    // The page clears the run state's references to itself and its views as it goes.
    record.LivePage.reset();
}

void TfrEMFPages::MaterializePage(int index)
{
    TfrPreparedPage& record = page(index);
    if (record.LivePage)
        return;
    // No printer model: decoding a page for drawing must not change the printer's paper.
    record.LivePage = std::make_unique<TfrPage>(nullptr, record.PaperCode, record.PaperSizeX,
        record.PaperSizeY, static_cast<quint32>(record.PaperSource), record.PaperOrientation);
    TfrPage& live = *record.LivePage;
    live.OffRunThread = OffRunThread;
    std::copy(std::begin(record.Margins), std::end(record.Margins), live.Margins);
    live.MarginsFlag = record.MarginsFlag != 0;
    live.Metrics = record.Metrics;
    // Decoding reads no run state and changes none: a page may be drawn while another report is
    // being prepared. Class names no factory knows are collected here for the error alone.
    RunState decoding;
    const PrintContext drawing = PrintContext::forDrawing(&live);

    ReportStreamReader reader(PageBytes(index));
    if (reader.atEnd())
        return; // pages of files whose compressor wrote nothing: blank paper
    reader.setVersion(reader.readU8());
    while (!reader.atEnd()) {
        std::unique_ptr<TfrView> view
            = PreparedObjectEntry::read(reader, m_viewFactory, decoding, record.TextCodePage.get());
        if (!view)
            reader.fail(QStringLiteral("object record of a type that creates no view"));
        view->OwnerPage = &live;
        view->PreparedMode = false;
        TfrView* added = live.Add(std::move(view));
        auto* memo = dynamic_cast<TfrMemoView*>(added);
        if (memo && (memo->Flags & MemoFlags::AutoWidth)) {
            // A printed memo with AutoWidth takes the width of its text when it is painted; one
            // paint off screen gives it that width before anything is drawn or hit-tested.
            QImage scratch(16, 16, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&scratch);
            memo->Paint(painter, drawing);
        }
    }
}

void TfrEMFPages::DrawPage(int index, QPainter& canvas, const QRect& target)
{
    TfrPreparedPage& record = page(index);
    const bool printing = drawsOnPaper(canvas.device());
    const bool recording = dynamic_cast<const RecordingDevice*>(canvas.device()) != nullptr;
    if (!record.InUse) {
        releaseLivePage(record);
        return;
    }
    MaterializePage(index);
    const PrintContext drawing = PrintContext::forDrawing(record.LivePage.get());
    if (record.Metrics.UnitPaperWidth <= 0 || record.Metrics.UnitPaperHeight <= 0)
        return; // no paper to scale to

    // Pixels of the canvas per report unit; the target's right and bottom edges are exclusive.
    const double kx = double(target.width()) / record.Metrics.UnitPaperWidth;
    const double ky = double(target.height()) / record.Metrics.UnitPaperHeight;
    const bool skipHidden = !printing && !recording;
    const QRegion clip = skipHidden ? clipArea(canvas) : QRegion();
    for (const auto& view : record.LivePage->ObjectList) {
        if (skipHidden) {
            const QRect widened(QPoint(placed(view->Left * kx, target.left() - kClipSlack),
                                    placed(view->Top * ky, target.top() - kClipSlack)),
                QPoint(placed((double(view->Left) + view->Width) * kx, target.left() + kClipSlack - 1),
                    placed((double(view->Top) + view->Height) * ky, target.top() + kClipSlack - 1)));
            if (!clip.intersects(widened))
                continue;
        }
        view->ZoomX = kx;
        view->ZoomY = ky;
        view->ShiftX = target.left();
        view->ShiftY = target.top();
        view->ForPrinter = printing;
        view->Paint(canvas, drawing);
    }
}

bool TfrEMFPages::ObjectAt(int index, QPoint point, HitMode mode, QString& target, Qt::CursorShape& cursor)
{
    target.clear();
    MaterializePage(index);
    const TfrPreparedPage& record = page(index);
    const TfrPageMetrics& m = record.Metrics;
    double kx = 1, ky = 1, ox = 0, oy = 0;
    if (!record.MarginsFlag && m.UnitPaperWidth > 0 && m.UnitPaperHeight > 0) {
        // The page was stretched onto the printable area between its margins.
        kx = (double(m.UnitPrintWidth) - record.Margins[0] - record.Margins[2]) / m.UnitPaperWidth;
        ky = (double(m.UnitPrintHeight) - record.Margins[1] - record.Margins[3]) / m.UnitPaperHeight;
        ox = double(record.Margins[0]) + m.UnitOffsetX;
        oy = double(record.Margins[1]) + m.UnitOffsetY;
    }

    const auto& views = record.LivePage->ObjectList;
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        TfrView& view = **it;
        const int left = roundToInt(view.Left * kx + ox);
        const int top = roundToInt(view.Top * ky + oy);
        const int right = roundToInt(ox + (double(view.Left) + view.Width) * kx);
        const int bottom = roundToInt(oy + (double(view.Top) + view.Height) * ky);
        if (point.x() < left || point.x() >= right || point.y() < top || point.y() >= bottom)
            continue;

        bool result = false;
        if (mode == HitMode::Click) {
            if (m_owner && m_owner->OnObjectClick) {
                m_owner->OnObjectClick(view);
                result = true;
            }
            if (!isHyperlink(view))
                return result;
            if (!view.Tag.contains(u'@')) {
                // A web address or a document: opened with its default application. An empty
                // Tag names nothing to open.
                if (!view.Tag.isEmpty())
                    TfrGlobals::get().ui().openUrl(QUrl::fromUserInput(view.Tag, QDir::currentPath()));
                return true;
            }
            target = view.Tag;
            return true;
        }
        if (m_owner && m_owner->OnMouseOverObject) {
            m_owner->OnMouseOverObject(view, cursor);
            result = true;
        }
        if (!isHyperlink(view))
            return result;
        cursor = Qt::PointingHandCursor;
        target = view.Tag;
        return true;
    }
    return false;
}

} // namespace vaskel
