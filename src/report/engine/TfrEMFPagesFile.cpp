// The prepared-report file (.frp) of TfrEMFPages: writing, and reading the three layouts found in
// the field (with version byte, without it, and the oldest one whose pages are metafile pictures).
//
// Files are read whole into memory and parsed with the bounds-checked stream reader, so a length
// or offset that points outside the file is a stream error, never an allocation it did not pay
// for. File offsets are absolute from the position the stream had when writing or reading began.
#include "report/engine/TfrEMFPages.h"

#include "platform/CodePage.h"
#include "platform/PlatformGlobals.h"
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
#include <QSaveFile>

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

// Rewrites the object entries of one page from code page `from` into `to`. Pages are kept in memory
// with their text in UTF-8 and files hold them in the file code page, so this runs on saving and
// loading whenever the two differ. Throws what reading or writing an entry throws.
QByteArray transcodePage(
    const QByteArray& page, const CodePage& from, const CodePage& to, ViewFactory& factory)
{
    if (page.isEmpty() || from.name() == to.name())
        return page;
    ReportStreamReader r(page);
    const quint8 version = r.readU8();
    r.setVersion(version);
    ReportStreamWriter w;
    w.writeU8(version);
    RunState& run = frRun();
    while (!r.atEnd()) {
        std::unique_ptr<TfrView> view = PreparedObjectEntry::read(r, factory, run, &from);
        if (!view)
            r.fail(QStringLiteral("object record of a type that creates no view"));
        PreparedObjectEntry::write(*view, w, &to);
    }
    return w.takeData();
}

// The page's data as a file in the configured code page holds it. A character that code page
// lacks is named, with the way to keep it.
QByteArray pageForFile(const QByteArray& page, int number, ViewFactory& factory)
{
    const CodePage& fileCodePage = PlatformGlobals::get().codePage;
    try {
        return transcodePage(page, PreparedObjectEntry::memoryCodePage(), fileCodePage, factory);
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

// The page's data from a file in the configured code page, in memory's UTF-8. A page that cannot
// be decoded keeps its bytes; drawing it reports the damage.
QByteArray pageFromFile(const QByteArray& page, ViewFactory& factory)
{
    try {
        return transcodePage(
            page, PlatformGlobals::get().codePage, PreparedObjectEntry::memoryCodePage(), factory);
    } catch (const VaskelError&) {
        return page;
    }
}

// A negative page count is a damaged file, not an empty one.
qint32 readPageCount(ReportStreamReader& r)
{
    const qint32 count = r.readI32();
    if (count < 0)
        r.fail(QStringLiteral("page count %1").arg(count));
    return count;
}

// The bytes from the reader's position up to the record's Next offset.
QByteArray readUpTo(ReportStreamReader& r, qint64 next)
{
    if (next < r.pos())
        r.fail(QStringLiteral("page record ends at %1, before its own fields").arg(next));
    return r.readBytes(next - r.pos());
}

// The oldest layout's line list: bytes up to a zero byte, each carriage return ending a line; a
// last line ended by the zero byte counts only when it is not empty.
QStringList readLineList(ReportStreamReader& r)
{
    QStringList lines;
    QByteArray line;
    for (quint8 b = r.readU8(); b != 0; b = r.readU8()) {
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

void TfrEMFPages::SaveTo(QIODevice& stream)
{
    PageCompressor& compressor = frCompressor();
    ReportStreamWriter w(stream.isSequential() ? 0 : stream.pos());
    w.writeU8(kPageStreamVersion);
    w.writeU8(compressor.Enabled ? 1 : 0);
    w.writeString(printerName());
    w.writeI32(Count());
    int number = 0;
    for (const auto& record : m_pages) {
        ++number;
        const qint64 at = w.pos();
        w.writeI32(0);
        w.writeU16(record->PaperCode);
        w.writeI32(record->PaperSizeX);
        w.writeI32(record->PaperSizeY);
        w.writeU8(record->PaperOrientation);
        w.writeI32(record->PaperSource);
        w.writeU8(record->MarginsFlag);
        for (qint32 margin : record->Margins)
            w.writeI32(margin);
        const QByteArray page = pageForFile(record->PageData, number, m_viewFactory);
        w.writeBytes(compressor.Enabled ? compressor.Compress(page) : page);
        const qint64 next = w.pos();
        if (next > std::numeric_limits<qint32>::max())
            throw EStreamError(QStringLiteral("Stream write error"),
                QStringLiteral("page %1 ends beyond the 2 GB a prepared-report file can address")
                    .arg(Count()));
        w.patchI32(at, static_cast<qint32>(next));
    }
    w.writeU8(m_owner ? m_owner->GeneratorVersion() : kOwnGeneratorVersion);
    const QByteArray bytes = w.takeData();
    if (stream.write(bytes) != bytes.size())
        throw EStreamError(QStringLiteral("Stream write error"), stream.errorString());
}

void TfrEMFPages::LoadFrom(QIODevice& stream)
{
    const qint64 base = stream.isSequential() ? 0 : stream.pos();
    ReportStreamReader r(stream.readAll());
    Clear();
    quint8 version = r.readU8();
    if (version < kFirstVersion || version > kLastVersion) {
        version = 0;
        r.seek(0);
    }
    const quint8 compression = r.readU8();
    if (compression == 0 || compression == 1 || compression == 255) {
        readCountedLayout(r, version, compression, base);
    } else {
        r.seek(0);
        readLegacyLayout(r, base);
    }
}

void TfrEMFPages::readCountedLayout(ReportStreamReader& r, quint8 version, quint8 compression, qint64 base)
{
    const QString printer = r.readString();
    if (m_owner)
        m_owner->SelectPrinterByName(printer);
    const qint32 count = readPageCount(r);
    // Every page stays in memory: small frames that each expand to the page limit must not add up
    // to gigabytes. The budget covers the whole file.
    qint64 decompressed = 0;
    for (qint32 i = 0; i < count; ++i) {
        const qint64 next = qint64(r.readI32()) - base;
        std::unique_ptr<TfrPreparedPage> record = readPaper(r);
        record->PaperSource = version >= kFirstVersion ? r.readI32() : -1;
        record->MarginsFlag = r.readU8();
        if (version >= kFirstVersion) {
            for (qint32& margin : record->Margins) {
                margin = r.readI32();
                if (!ReportLimits::within(margin, ReportLimits::kMaxCoordinate))
                    r.fail(QStringLiteral("margin %1 outside the page").arg(margin));
            }
        }
        const QByteArray data = readUpTo(r, next);
        if (compression != 0) {
            record->PageData = frCompressor().Decompress(data);
            decompressed += record->PageData.size();
            if (decompressed > DecompressionBudget)
                r.fail(QStringLiteral("compressed pages expand to more than %1 bytes in all")
                           .arg(DecompressionBudget));
        } else {
            record->PageData = data;
        }
        record->PageData = pageFromFile(record->PageData, m_viewFactory);
        applyPaper(*record);
        // Appended only when complete: a fault further on keeps whole pages only.
        m_pages.push_back(std::move(record));
        r.seek(next);
    }
    const quint8 generator = r.readU8();
    if (m_owner)
        m_owner->SetGeneratorVersion(generator);
}

void TfrEMFPages::readLegacyLayout(ReportStreamReader& r, qint64 base)
{
    const QStringList lines = readLineList(r);
    if (!lines.isEmpty() && m_owner)
        m_owner->SelectPrinterByName(lines.first());
    const qint32 count = readPageCount(r);
    for (qint32 i = 0; i < count; ++i) {
        const qint64 next = qint64(r.readI32()) - base;
        std::unique_ptr<TfrPreparedPage> record = readPaper(r);
        record->PaperSource = -1;
        record->MarginsFlag = r.readU8();
        applyPaper(*record);

        // The page is one metafile picture that fills the paper.
        TfrPictureView picture;
        picture.Left = 0;
        picture.Top = 0;
        picture.Width = record->Metrics.UnitPaperWidth;
        picture.Height = record->Metrics.UnitPaperHeight;
        picture.Picture.setData(StoredPicture::Metafile, metafileBytes(readUpTo(r, next)));
        ReportStreamWriter w;
        w.writeU8(kPageStreamVersion);
        PreparedObjectEntry::write(picture, w);
        record->PageData = w.takeData();
        m_pages.push_back(std::move(record));
        r.seek(next);
    }
}

void TfrEMFPages::SaveToFile(const QString& fileName)
{
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(fileName);
    const auto cannotCreate = [&] {
        return VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate();
    SaveTo(file);
    if (!file.commit())
        throw cannotCreate();
}

void TfrEMFPages::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw VaskelError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFrom(file);
}

} // namespace vaskel
