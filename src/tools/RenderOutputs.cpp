#include "tools/RenderOutputs.h"

#include "platform/PlatformError.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/PdfExport.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrPrinter.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

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

// Outputs are written beside their target and renamed over it only when complete.
void openForWriting(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(file.fileName(), file.errorString());
}

void commit(QSaveFile& file)
{
    if (!file.commit())
        cannotCreate(file.fileName(), file.errorString());
}

} // namespace

void writePdf(TfrEMFPages& pages, const QString& fileName, const QString& title)
{
    ExportDocumentInfo info;
    info.title = title;
    PdfExport().write(pages, fileName, info);
}

namespace {

// A PNG page is painted in memory at 4 bytes a pixel: 256 megapixels are 1 GiB, an A4 page at
// 1200 dots per inch about half of that.
constexpr qint64 kMaxPngPixels = qint64(1) << 28;
constexpr int kMaxPngSide = 65535;

} // namespace

void writePngs(TfrEMFPages& pages, const QString& dirName, int dpi)
{
    if (!QDir().mkpath(dirName))
        cannotCreate(dirName, QStringLiteral("The folder cannot be created."));
    const QDir dir(dirName);
    const double pixelsPerUnit = dpi / TfrPrinter::kUnitsPerInch;
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
        QSaveFile file(dir.filePath(QStringLiteral("page-%1.png").arg(i + 1, 3, 10, QLatin1Char('0'))));
        openForWriting(file);
        if (!image.save(&file, "PNG"))
            cannotCreate(file.fileName(), file.errorString());
        commit(file);
    }
}

void writeJson(TfrEMFPages& pages, const QString& fileName, QTextStream& out)
{
    const QByteArray text = TemplateJson::toText(PreparedPagesJson::toJson(pages));
    if (fileName.isEmpty()) {
        out << QString::fromUtf8(text);
        out.flush();
        return;
    }
    QSaveFile file(fileName);
    openForWriting(file);
    if (file.write(text) != text.size())
        cannotCreate(fileName, file.errorString());
    commit(file);
}

} // namespace vaskel::RenderOutputs
