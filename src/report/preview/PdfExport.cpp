#include "report/preview/PdfExport.h"

#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"
#include "platform/StreamCompression.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrPrinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace vaskel {

namespace {

// Resolution of the PDF's drawing: fine enough that text placed in whole pixels sits where it belongs.
constexpr int kPdfDpi = 600;
constexpr double kMillimetresPerInch = 25.4;

// The paper of a page as it lies, in millimetres, from its metrics on the printer model.
QSizeF paperMillimetres(const TfrPreparedPage& page)
{
    const double perUnit = kMillimetresPerInch / TfrPrinter::kUnitsPerInch;
    return QSizeF(page.Metrics.UnitPaperWidth * perUnit, page.Metrics.UnitPaperHeight * perUnit);
}

[[noreturn]] void cannotCreate(const QString& name, const QString& reason)
{
    throw VaskelError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, reason));
}

// Draws one page onto `painter` where the printer would put it, then lets its live views go.
void drawPage(TfrEMFPages& pages, int index, QPainter& painter, QSize sheet)
{
    TfrPreparedPage& page = pages.PageAt(index);
    const bool wasInUse = page.InUse;
    page.InUse = true;
    try {
        pages.DrawPage(index, painter, PageTarget::onSheet(page, sheet));
    } catch (...) {
        page.InUse = wasInUse;
        throw;
    }
    page.InUse = wasInUse;
    if (!wasInUse)
        pages.ReleasePage(index);
}

} // namespace

bool PdfExport::write(
    TfrEMFPages& pages, const QString& fileName, const QString& title, const Progress& progress)
{
    // Qt compresses each page as the next one begins and the fonts when the painter ends, all
    // within this scope.
    const FastStreamCompression fast;
    SafeOutputFile file(fileName);
    file.open();
    QPdfWriter pdf(&file.device());
    pdf.setResolution(kPdfDpi);
    pdf.setCreator(QStringLiteral("vaskel"));
    pdf.setTitle(title);
    QPainter painter;
    for (int i = 0; i < pages.Count(); ++i) {
        const QPageSize size(
            paperMillimetres(pages.PageAt(i)), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
        if (i == 0) {
            if (!painter.begin(&pdf))
                cannotCreate(fileName, file.device().errorString());
        } else {
            pdf.newPage();
        }
        drawPage(pages, i, painter, QSize(pdf.width(), pdf.height()));
        if (progress && progress(i + 1)) {
            painter.end();
            file.cancel();
            return false;
        }
    }
    if (pages.Count() == 0)
        painter.begin(&pdf); // a PDF needs a page; an empty report gives one blank page
    painter.end();
    file.commit();
    return true;
}

} // namespace vaskel
