#include "tools/RenderOutputs.h"

#include "platform/PlatformError.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrPrinter.h"
#include "report/preview/PdfExport.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

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
    PdfExport::write(pages, fileName, title);
}

void writePngs(TfrEMFPages& pages, const QString& dirName, int dpi)
{
    if (!QDir().mkpath(dirName))
        cannotCreate(dirName, QStringLiteral("The folder cannot be created."));
    const QDir dir(dirName);
    const double pixelsPerUnit = dpi / TfrPrinter::kUnitsPerInch;
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPageMetrics& m = pages.PageAt(i).Metrics;
        const QSize size(qMax(1, qRound(m.UnitPaperWidth * pixelsPerUnit)),
            qMax(1, qRound(m.UnitPaperHeight * pixelsPerUnit)));
        QImage image(size, QImage::Format_RGB32);
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
