// The prepared-report file (.frp) of TfrEMFPages: writing, and reading the three layouts found in
// the field (with version byte, without it, and the oldest one whose pages are metafile pictures).
//
// Files of the counted layouts are written and read one page record at a time, so a report of any
// size passes through a small buffer; each record is parsed with the bounds-checked stream reader,
// and a length or offset that points outside the file is a stream error, never an allocation it
// did not pay for. The oldest layout is read the same way. The page data a file brings in, expanded
// or not, counts against one budget (DecompressionBudget), checked before anything is allocated,
// and a page whose first bytes cannot start a page is refused before the rest of it is read.
// File offsets are absolute from the position the stream had when writing or reading began.
#include "report/engine/TfrEMFPages.h"

#include "platform/CodePage.h"
#include "platform/MetafilePlayer.h"
#include "platform/OutOfMemory.h"
#include "platform/PlatformGlobals.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrReport.h"
#include "report/model/EStreamError.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportLimits.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPictureView.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace vaskel {

namespace {

// Written when the store has no report behind it: the byte of reports this system saved.
constexpr quint8 kOwnGeneratorVersion = 77;
// Version bytes of files that have one; any other first byte is already the compression byte.
constexpr quint8 kFirstVersion = 24, kLastVersion = 31;

QString printerName()
{
    const TfrPrinter& printer = frPrinter();
    return printer.PrinterList.value(printer.CurrentIndex);
}

} // namespace

QByteArray TfrEMFPages::rewritePage(quint8 version, const QList<EntryPart>& parts, const CodePage& to)
{
    ReportStreamWriter w;
    w.writeU8(version);
    RunState& run = frRun();
    for (const EntryPart& part : parts) {
        ReportStreamReader r(part.entries);
        r.setVersion(version);
        while (!r.atEnd()) {
            std::unique_ptr<TfrView> view = PreparedObjectEntry::read(r, m_viewFactory, run, part.codePage);
            if (!view)
                r.fail(QStringLiteral("object record of a type that creates no view"));
            // A printed copy is read with its text in Memo and written from ExpandedText.
            view->ExpandedText = view->Memo;
            PreparedObjectEntry::write(*view, w, &to);
        }
    }
    return w.takeData();
}

// The page's data as a file in `fileCodePage` holds it: a copy when the page holds its text in
// that code page already, else its entries written again. A character the code page lacks is
// named, with the way to keep it.
QByteArray TfrEMFPages::pageForFile(
    const TfrPreparedPage& record, const QByteArray& page, int number, const CodePage& fileCodePage)
{
    const CodePage& pageCodePage
        = record.TextCodePage ? *record.TextCodePage : PreparedObjectEntry::memoryCodePage();
    if (page.isEmpty() || pageCodePage.name() == fileCodePage.name())
        return page;
    try {
        return rewritePage(static_cast<quint8>(page.at(0)), {{page.mid(1), &pageCodePage}}, fileCodePage);
    } catch (const CodePageError& e) {
        throw CodePageError(QStringLiteral("Page %1: %2. Save the prepared report in code page UTF-8 "
                                           "(--code-page UTF-8, or the setting Files/CodePage), which "
                                           "holds every character.")
                                .arg(number)
                                .arg(e.message()));
    } catch (const VaskelError&) {
        // A page this system cannot decode (an unknown add-in class) is written as it is: it was
        // read from a file in the same form.
        return page;
    }
}

namespace {

// Reads a stream page record by page record: exactly the bytes asked for, or a stream error that
// names the offset in the file.
class RecordInput {
public:
    RecordInput(QIODevice& stream, qint64 base) : m_stream(stream), m_base(base) { }

    qint64 pos() const { return m_pos; }
    QByteArray take(qint64 count)
    {
        // A random-access stream says what is left; a count beyond it is damage, not a request
        // to allocate.
        if (count < 0 || (!m_stream.isSequential() && count > m_stream.size() - m_base - m_pos))
            fail(QStringLiteral("read of %1 bytes past the end").arg(count));
        // In steps, so that a stream of unknown length pays only for what it really holds.
        constexpr qint64 kStep = qint64(1) << 20;
        QByteArray bytes = m_stream.read(std::min(count, kStep));
        while (bytes.size() < count) {
            const QByteArray more = m_stream.read(std::min(count - bytes.size(), kStep));
            if (more.isEmpty())
                fail(QStringLiteral("read of %1 bytes past the end").arg(count));
            bytes.append(more);
        }
        m_pos += count;
        return bytes;
    }
    // A reader over the next `count` bytes, in `codePage`.
    ReportStreamReader record(qint64 count, const CodePage* codePage)
    {
        m_recordStart = m_pos;
        ReportStreamReader r(take(count));
        r.setCodePage(codePage);
        return r;
    }
    // Runs `parse`; a record reader's error gains the record's place in the file.
    template <typename Parse> auto inRecord(Parse parse) -> decltype(parse())
    {
        try {
            return parse();
        } catch (const EStreamError& e) {
            throw EStreamError(e.message(),
                QStringLiteral("record at byte offset %1: %2").arg(m_recordStart).arg(e.detail()));
        }
    }
    [[noreturn]] void fail(const QString& what) const { failAt(what, m_pos); }
    [[noreturn]] void failAt(const QString& what, qint64 offset) const
    {
        throw EStreamError(QStringLiteral("Stream read error"),
            QStringLiteral("%1 at byte offset %2").arg(what).arg(offset));
    }

private:
    QIODevice& m_stream;
    qint64 m_base;
    qint64 m_pos = 0; // from m_base
    qint64 m_recordStart = 0;
};

// A negative page count is a damaged file, not an empty one.
qint32 readPageCount(ReportStreamReader& r)
{
    const qint32 count = r.readI32();
    if (count < 0)
        r.fail(QStringLiteral("page count %1").arg(count));
    return count;
}

// The oldest layout's line list: bytes up to a zero byte, each carriage return ending a line; a
// last line ended by the zero byte counts only when it is not empty. It holds a printer name: a
// list longer than kMaxLineListBytes is damage.
constexpr qint64 kMaxLineListBytes = 64 * 1024;

QStringList readLineList(RecordInput& in)
{
    QStringList lines;
    QByteArray line;
    for (qint64 read = 0;; ++read) {
        if (read >= kMaxLineListBytes)
            in.fail(QStringLiteral("printer name list longer than %1 bytes").arg(kMaxLineListBytes));
        const quint8 b = static_cast<quint8>(in.take(1).at(0));
        if (b == 0)
            break;
        if (b == 13) {
            lines.append(ReportStreamReader::decode(line));
            line.clear();
        } else {
            line.append(static_cast<char>(b));
        }
    }
    if (!line.isEmpty())
        lines.append(ReportStreamReader::decode(line));
    return lines;
}

// An enhanced metafile states its own length in its header (bytes 48..51 after the signature
// " EMF" at 40); the picture is that long when the record holds at least that much.
QByteArray metafileBytes(const QByteArray& bytes)
{
    if (bytes.size() < 52 || bytes.mid(40, 4) != QByteArrayLiteral(" EMF"))
        return bytes;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 length = p[48] | (p[49] << 8) | (p[50] << 16) | (quint32(p[51]) << 24);
    return length >= 52 && length <= quint32(bytes.size()) ? bytes.left(qsizetype(length)) : bytes;
}

// The fields every layout's page record starts with, after Next: paper code, size, orientation.
std::unique_ptr<TfrPreparedPage> readPaper(ReportStreamReader& r)
{
    auto record = std::make_unique<TfrPreparedPage>();
    record->PaperCode = r.readU16();
    record->PaperSizeX = r.readI32();
    record->PaperSizeY = r.readI32();
    record->PaperOrientation = r.readU8();
    // The printer model and the page metrics are not made to compute with paper of damaged files.
    if (const QString bad = ReportLimits::paperProblem(record->PaperSizeX, record->PaperSizeY);
        !bad.isEmpty())
        r.fail(bad);
    return record;
}

} // namespace

void TfrEMFPages::applyPaper(TfrPreparedPage& record)
{
    TfrPrinter& printer = frPrinter();
    printer.SetPaper(record.PaperCode, record.PaperSizeX, record.PaperSizeY, record.PaperSource,
        record.PaperOrientation, false);
    printer.FillMetrics(record.Metrics);
}

void TfrEMFPages::SaveTo(QIODevice& stream, const CodePage* codePage)
{
    const CodePage& fileCodePage = codePage ? *codePage : PlatformGlobals::get().codePage;
    PageCompressor& compressor = frCompressor();
    qint64 pos = stream.isSequential() ? 0 : stream.pos();
    const auto put = [&](const ReportStreamWriter& w) {
        const QByteArray& bytes = w.data();
        if (stream.write(bytes) != bytes.size())
            throw EStreamError(QStringLiteral("Stream write error"), stream.errorString());
        pos = w.pos();
    };
    ReportStreamWriter head(pos);
    head.setCodePage(&fileCodePage);
    head.writeU8(kPageStreamVersion);
    head.writeU8(compressor.Enabled ? 1 : 0);
    // The printer the report names is written back as it was read, whichever printer printed it.
    head.writeString(m_owner && !m_owner->PrinterName.isEmpty() ? m_owner->PrinterName : printerName());
    head.writeI32(Count());
    put(head);
    for (int i = 0; i < Count(); ++i) {
        const TfrPreparedPage& record = *m_pages[static_cast<size_t>(i)];
        const QByteArray page = pageForFile(record, PageBytes(i), i + 1, fileCodePage);
        ReportStreamWriter w(pos);
        w.writeI32(0);
        w.writeU16(record.PaperCode);
        w.writeI32(record.PaperSizeX);
        w.writeI32(record.PaperSizeY);
        w.writeU8(record.PaperOrientation);
        w.writeI32(record.PaperSource);
        w.writeU8(record.MarginsFlag);
        for (qint32 margin : record.Margins)
            w.writeI32(margin);
        w.writeBytes(compressor.Enabled ? compressor.Compress(page) : page);
        const qint64 next = w.pos();
        if (next > std::numeric_limits<qint32>::max())
            throw EStreamError(QStringLiteral("Stream write error"),
                QStringLiteral("page %1 ends beyond the 2 GB a prepared-report file can address").arg(i + 1));
        w.patchI32(pos, static_cast<qint32>(next));
        put(w);
    }
    ReportStreamWriter tail(pos);
    tail.writeU8(m_owner ? m_owner->GeneratorVersion() : kOwnGeneratorVersion);
    put(tail);
}

void TfrEMFPages::LoadFrom(QIODevice& stream, const CodePage* codePage)
{
    const qint64 base = stream.isSequential() ? 0 : stream.pos();
    auto fileCodePage
        = std::make_shared<const CodePage>(codePage ? *codePage : PlatformGlobals::get().codePage);
    const QByteArray start = stream.peek(2);
    Clear();
    quint8 version = start.isEmpty() ? 0 : static_cast<quint8>(start.at(0));
    const bool hasVersion = version >= kFirstVersion && version <= kLastVersion;
    if (!hasVersion)
        version = 0;
    const qsizetype at = hasVersion ? 1 : 0;
    const int compression = start.size() > at ? static_cast<quint8>(start.at(at)) : -1;
    if (compression == 0 || compression == 1 || compression == 255) {
        readCountedLayout(stream, version, static_cast<quint8>(compression), base, fileCodePage);
    } else {
        // The oldest layout, or too short for any (an empty stream fails at its first byte).
        readLegacyLayout(stream, base);
    }
}

namespace {

// The page data one file brings in, as read and as expanded, against the store's budget: a page
// that would pass it is refused before its bytes are read or expanded.
class PageDataBudget {
public:
    explicit PageDataBudget(qint64 budget) : m_budget(budget) { }

    // The bytes up to `next` (from the stream's base), after the budget was asked for them. The
    // first `headSize` of them are read first and handed to `checkHead` (with their offset),
    // which refuses a page that cannot be valid before the rest of it is read.
    template <typename CheckHead>
    QByteArray take(RecordInput& in, qint64 next, qint64 recordStart, qint64 headSize, CheckHead checkHead)
    {
        if (next < in.pos())
            in.fail(QStringLiteral("page record at %1 ends at %2, before its own fields")
                        .arg(recordStart)
                        .arg(next));
        if (next - in.pos() > m_budget - m_used)
            in.fail(QStringLiteral("pages hold more than %1 bytes in all").arg(m_budget));
        const qint64 at = in.pos();
        QByteArray bytes = in.take(std::min(headSize, next - at));
        if (!bytes.isEmpty())
            checkHead(bytes, at);
        bytes.append(in.take(next - in.pos()));
        return bytes;
    }
    void spend(RecordInput& in, qint64 bytes, bool expanded)
    {
        m_used += bytes;
        if (m_used > m_budget)
            in.fail(QStringLiteral("%1 more than %2 bytes in all")
                        .arg(expanded ? QStringLiteral("compressed pages expand to")
                                      : QStringLiteral("pages hold"))
                        .arg(m_budget));
    }

private:
    qint64 m_budget;
    qint64 m_used = 0;
};

// A page's data starts with the stream version its records were written in, and no writer ever
// wrote version 0: a page of zero bytes (a damaged or zero-filled file) is refused at its first
// byte, instead of being read whole and decoded empty record after empty record at every drawing.
void checkPageVersion(const RecordInput& in, const QByteArray& page, int number, qint64 at)
{
    if (static_cast<quint8>(page.at(0)) == 0)
        in.failAt(
            QStringLiteral("page %1 starts with stream version 0, which no page is written in").arg(number),
            at);
}

// The bytes of a page of the oldest layout that show whether it is a metafile (an enhanced
// metafile's header record is 88 bytes or a little more).
constexpr qint64 kMetafileHeadBytes = 4096;

// Each page of the oldest layout is one metafile: data that starts as none does (a first record
// of type 0 and length 0, as in a zero-filled file) would draw nothing and is damage.
void checkMetafileHead(const RecordInput& in, const QByteArray& head, int number, qint64 at)
{
    if (MetafilePlayer::formatOf(head) != MetafilePlayer::Format::Unknown)
        return;
    const auto u32 = [&head](qsizetype from) {
        return head.size() < from + 4 ? 0u : qFromLittleEndian<quint32>(head.constData() + from);
    };
    in.failAt(QStringLiteral("page %1 is no metafile: its first record has type %2 and length %3")
                  .arg(number)
                  .arg(u32(0))
                  .arg(u32(4)),
        at);
}

} // namespace

void TfrEMFPages::readCountedLayout(QIODevice& stream, quint8 version, quint8 compression, qint64 base,
    const std::shared_ptr<const CodePage>& codePage)
{
    RecordInput in(stream, base);
    in.take(version != 0 ? 2 : 1);
    const QByteArray nameLength = in.take(2);
    const quint16 n = static_cast<quint8>(nameLength.at(0)) | (static_cast<quint8>(nameLength.at(1)) << 8);
    ReportStreamReader head(nameLength + in.take(qint64(n) + 1 + 4));
    head.setCodePage(codePage.get());
    const QString printer = head.readString();
    if (m_owner)
        m_owner->SelectPrinterByName(printer);
    const qint32 count = readPageCount(head);
    // Pages beyond the plain budget are kept packed; the budget for expanded page data still
    // covers the whole file, so small frames that each expand to the page limit cannot add up.
    const bool extended = version >= kFirstVersion; // paper source and margins
    const qint64 fields = 2 + 4 + 4 + 1 + (extended ? 4 : 0) + 1 + (extended ? 16 : 0);
    PageDataBudget budget(DecompressionBudget);
    for (qint32 i = 0; i < count; ++i) {
        const qint64 recordStart = in.pos();
        ReportStreamReader r = in.record(4 + fields, codePage.get());
        const qint64 next = qint64(r.readI32()) - base;
        std::unique_ptr<TfrPreparedPage> record = in.inRecord([&] {
            std::unique_ptr<TfrPreparedPage> paper = readPaper(r);
            paper->PaperSource = extended ? r.readI32() : -1;
            paper->MarginsFlag = r.readU8();
            if (extended) {
                for (qint32& margin : paper->Margins) {
                    margin = r.readI32();
                    if (!ReportLimits::within(margin, ReportLimits::kMaxCoordinate))
                        r.fail(QStringLiteral("margin %1 outside the page").arg(margin));
                }
            }
            return paper;
        });
        const qint64 dataStart = in.pos();
        const QByteArray data = budget.take(in, next, recordStart, compression != 0 ? 0 : 1,
            [&](const QByteArray& head, qint64 at) { checkPageVersion(in, head, i + 1, at); });
        if (compression != 0) {
            record->PageData = frCompressor().Decompress(data);
            budget.spend(in, record->PageData.size(), true);
            if (!record->PageData.isEmpty())
                checkPageVersion(in, record->PageData, i + 1, dataStart);
        } else {
            record->PageData = data;
            budget.spend(in, data.size(), false);
        }
        // The page keeps the file's code page: saved again in that one, its bytes are written
        // as they were read, and nothing is converted on loading.
        record->TextCodePage = codePage;
        applyPaper(*record);
        m_plainBytes += record->PageData.size();
        // Appended only when complete: a fault further on keeps whole pages only.
        m_pages.push_back(std::move(record));
        finishPage(*m_pages.back());
    }
    const quint8 generator = static_cast<quint8>(in.take(1).at(0));
    if (m_owner)
        m_owner->SetGeneratorVersion(generator);
}

void TfrEMFPages::readLegacyLayout(QIODevice& stream, qint64 base)
{
    RecordInput in(stream, base);
    const QStringList lines = readLineList(in);
    if (!lines.isEmpty() && m_owner)
        m_owner->SelectPrinterByName(lines.first());
    ReportStreamReader countBytes = in.record(4, nullptr);
    const qint32 count = in.inRecord([&] { return readPageCount(countBytes); });
    PageDataBudget budget(DecompressionBudget);
    for (qint32 i = 0; i < count; ++i) {
        const qint64 recordStart = in.pos();
        ReportStreamReader r = in.record(4 + 2 + 4 + 4 + 1 + 1, nullptr);
        const qint64 next = qint64(r.readI32()) - base;
        std::unique_ptr<TfrPreparedPage> record = in.inRecord([&] {
            std::unique_ptr<TfrPreparedPage> paper = readPaper(r);
            paper->PaperSource = -1;
            paper->MarginsFlag = r.readU8();
            return paper;
        });
        const QByteArray data = budget.take(in, next, recordStart, kMetafileHeadBytes,
            [&](const QByteArray& head, qint64 at) { checkMetafileHead(in, head, i + 1, at); });
        budget.spend(in, data.size(), false);
        applyPaper(*record);

        // The page is one metafile picture that fills the paper.
        TfrPictureView picture;
        picture.Left = 0;
        picture.Top = 0;
        picture.Width = record->Metrics.UnitPaperWidth;
        picture.Height = record->Metrics.UnitPaperHeight;
        picture.Picture.setData(StoredPicture::Metafile, metafileBytes(data));
        ReportStreamWriter w;
        w.writeU8(kPageStreamVersion);
        PreparedObjectEntry::write(picture, w);
        record->PageData = w.takeData();
        m_plainBytes += record->PageData.size();
        m_pages.push_back(std::move(record));
        finishPage(*m_pages.back());
    }
}

void TfrEMFPages::SaveToFile(const QString& fileName)
{
    // Written beside the target and renamed over it only when complete and flushed.
    SafeOutputFile file(fileName);
    file.open();
    try {
        SaveTo(file.device());
    } catch (const EStreamError&) {
        // A write the system refused is told by its reason (a full disk), not as the stream's.
        if (const QString reason = file.writeFailure(); !reason.isEmpty())
            file.fail(reason);
        throw;
    }
    file.commit();
}

void TfrEMFPages::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw VaskelError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    try {
        LoadFrom(file);
    } catch (const std::bad_alloc&) {
        // The memory ran out, not the file: say so, and keep what was read before.
        throw VaskelError(outOfMemoryMessage(), fileName);
    }
}

} // namespace vaskel
