#include "tools/RenderOutputs.h"

#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/CsvExport.h"
#include "report/export/HtmlExport.h"
#include "report/export/PdfExport.h"
#include "report/export/XlsxExport.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrPrinter.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace vaskel::RenderOutputs {

namespace {

// Draws one page onto `painter` filling `target`, then lets its live views go.
void drawPage(TfrEMFPages& pages, int index, QPainter& painter, const QRect& target)
{
    TfrPreparedPage& page = pages.PageAt(index);
    page.InUse = true;
    pages.DrawPage(index, painter, target);
    page.InUse = false;
    pages.ReleasePage(index);
}

[[noreturn]] void cannotCreate(const QString& name, const QString& reason)
{
    throw VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, reason));
}

} // namespace

void writePdf(TfrEMFPages& pages, const QString& fileName, const QString& title)
{
    ExportDocumentInfo info;
    info.title = title;
    PdfExport().write(pages, fileName, info);
}

std::unique_ptr<PdfRunWriter> startPdf(TfrEMFPages& run, const QString& fileName, const QString& title)
{
    ExportDocumentInfo info;
    info.title = title;
    auto writer = std::make_unique<PdfRunWriter>(fileName, info);
    run.SetFinishedPageSink(writer.get());
    return writer;
}

void finishPdf(
    std::unique_ptr<PdfRunWriter>& writer, TfrEMFPages& pages, const QString& fileName, const QString& title)
{
    if (writer && !pages.HandOverBroken()) {
        pages.HandOverRemaining();
        writer->finish();
        return;
    }
    writer.reset(); // gives its file up before the pages are written afresh
    writePdf(pages, fileName, title);
}

void writeTable(TfrEMFPages& pages, const QString& fileName, Table kind, const TableOptions& options)
{
    ExportDocumentInfo info;
    info.title = options.title;
    switch (kind) {
    case Table::Xlsx:
        XlsxExport(options.allPageBands).write(pages, fileName, info);
        break;
    case Table::Html:
        HtmlExport().write(pages, fileName, info);
        break;
    case Table::Csv:
        CsvExport(options.allPageBands).write(pages, fileName, info);
        break;
    }
}

namespace {

// A PNG page is painted in memory at 4 bytes a pixel: 256 megapixels are 1 GiB, an A4 page at
// 1200 dots per inch about half of that.
constexpr qint64 kMaxPngPixels = qint64(1) << 28;
constexpr int kMaxPngSide = 65535;

QString pageFileName(int number)
{
    return QStringLiteral("page-%1.png").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

void writePngs(TfrEMFPages& pages, const QString& dirName, int dpi)
{
    if (!QDir().mkpath(dirName))
        cannotCreate(dirName, QStringLiteral("The folder cannot be created."));
    const QDir dir(dirName);
    const double pixelsPerUnit = dpi / TfrPrinter::kUnitsPerInch;
    std::vector<std::unique_ptr<QTemporaryFile>> staged; // removed with it unless renamed
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPageMetrics& m = pages.PageAt(i).Metrics;
        const double width = std::max(1.0, std::round(m.UnitPaperWidth * pixelsPerUnit));
        const double height = std::max(1.0, std::round(m.UnitPaperHeight * pixelsPerUnit));
        // A damaged file's paper, or a huge paper at a high resolution, must not ask for gigabytes.
        if (width * height > double(kMaxPngPixels) || width > kMaxPngSide || height > kMaxPngSide)
            throw VaskelError(QStringLiteral("Page %1 would be an image of %2 x %3 pixels, more than the "
                                             "%4 pixels (at most %5 on a side) a PNG page may have; "
                                             "choose a lower --dpi.")
                                  .arg(i + 1)
                                  .arg(width, 0, 'f', 0)
                                  .arg(height, 0, 'f', 0)
                                  .arg(kMaxPngPixels)
                                  .arg(kMaxPngSide));
        const QSize size(static_cast<int>(width), static_cast<int>(height));
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            throw VaskelError(QStringLiteral("Page %1: not enough memory for an image of %2 x %3 pixels.")
                                  .arg(i + 1)
                                  .arg(size.width())
                                  .arg(size.height()));
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            drawPage(pages, i, painter, QRect(QPoint(0, 0), size));
        }
        // Each page is written beside its name first; the run's pages take their names only when
        // all of them were written, so a failed run leaves none of its pages.
        staged.push_back(std::make_unique<QTemporaryFile>(dir.filePath(QStringLiteral(".page-XXXXXX.png"))));
        QTemporaryFile& file = *staged.back();
        if (!file.open())
            cannotCreate(dir.filePath(pageFileName(i + 1)), file.errorString());
        if (!image.save(&file, "PNG") || !file.flush() || file.error() != QFileDevice::NoError)
            cannotCreate(dir.filePath(pageFileName(i + 1)), file.errorString());
        file.close();
    }
    for (size_t i = 0; i < staged.size(); ++i) {
        const QString target = dir.filePath(pageFileName(int(i) + 1));
        if (::rename(
                QFile::encodeName(staged[i]->fileName()).constData(), QFile::encodeName(target).constData())
            != 0)
            cannotCreate(target, qt_error_string(errno));
        staged[i]->setAutoRemove(false);
    }
    // Pages of an earlier, longer run into the same folder would read as pages of this one.
    for (int n = pages.Count() + 1;; ++n) {
        if (!QFile::remove(dir.filePath(pageFileName(n))))
            break;
    }
}

void writeJson(TfrEMFPages& pages, const QString& fileName, QTextStream& out)
{
    if (fileName.isEmpty() || fileName == QLatin1String("-")) {
        PreparedPagesJson::writeText(pages, [&](const QByteArray& text) {
            out << QString::fromUtf8(text);
            if (out.status() != QTextStream::Ok)
                checkedFlush(out);
        });
        checkedFlush(out);
        return;
    }
    SafeOutputFile file(fileName);
    file.open();
    PreparedPagesJson::writeText(pages, [&](const QByteArray& text) { file.write(text); });
    file.commit();
}

void checkedFlush(QTextStream& out)
{
    out.flush();
    QFileDevice* file = qobject_cast<QFileDevice*>(out.device());
    if (file && !file->flush())
        out.setStatus(QTextStream::WriteFailed);
    if (out.status() != QTextStream::Ok || (file && file->error() != QFileDevice::NoError)) {
        const QString reason = file && file->error() != QFileDevice::NoError ? file->errorString()
            : out.device()                                                   ? out.device()->errorString()
                                                                             : QString();
        throw VaskelError(QStringLiteral("Cannot write to standard output. %1").arg(reason));
    }
}

} // namespace vaskel::RenderOutputs
