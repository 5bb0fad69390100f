#include "report/engine/PrintRun.h"

#include "platform/PlatformError.h"
#include "report/engine/PageSelection.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrGlobals.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>

namespace vaskel {

namespace {

const char* const kNoPrinter = "There is no default printer currently selected";
const char* const kInvalidPrinter = "Printer selected is not valid";

void applyPagePaper(TfrPrinter& printer, const TfrPreparedPage& page)
{
    printer.SetPaper(
        page.PaperCode, page.PaperSizeX, page.PaperSizeY, page.PaperSource, page.PaperOrientation, true);
}

} // namespace

PrintRun::PrintRun(TfrReport& report) : m_report(report), m_printer(frPrinter())
{
}

PrintRun::~PrintRun()
{
    // A failure that leaves the loop still ends the job it had begun.
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void PrintRun::run()
{
    TfrEMFPages& pages = m_report.PreparedPages();
    // The printer the clerk chose (the print dialog shows the system's current one); the virtual
    // printer, which a template or prepared-report file may name, chooses none and leaves the
    // system's current printer to print.
    const QString chosen
        = m_printer.isVirtual() ? QString() : m_printer.PrinterList.value(m_printer.CurrentIndex);
    // Printers added while the program runs appear now.
    m_printer.AttachPrinter(TfrGlobals::get().printerBackend());
    if (!chosen.isEmpty()) {
        // A printer removed since it was chosen is an error: printing elsewhere would surprise.
        const int index = static_cast<int>(m_printer.PrinterList.indexOf(chosen));
        if (index < 0 || index == m_printer.VirtualIndex) {
            // Gone from the list because the print system does not answer is told as such.
            const QString why
                = m_printer.PlatformPrinter ? m_printer.PlatformPrinter->printerMissing(chosen) : QString();
            throw VaskelError(why.isEmpty() ? QString::fromLatin1(kInvalidPrinter) : why);
        }
        m_printer.SelectPrinter(index);
    }
    const std::vector<int> selected = PageSelection::selectedPages(
        m_report.PrintPageList, pages.Count(), static_cast<PageParity>(m_report.PrintSelection));
    if (selected.empty())
        throw VaskelError(QStringLiteral("No pages to print"));
    const std::vector<int> sheets
        = PageSelection::sheetOrder(selected, m_report.PrintCopies, m_report.PrintCollate);
    if (m_printer.isVirtual() || !m_printer.PlatformPrinter) {
        // No printer because the print system does not answer is told as such.
        PrinterBackend* backend = TfrGlobals::get().printerBackend();
        const QString why = backend ? backend->printerMissing(chosen) : QString();
        if (why.isEmpty())
            throw VaskelError(QString::fromLatin1(kNoPrinter));
        if (!chosen.isEmpty())
            throw VaskelError(why);
        // "There is no default printer currently selected: " and why.
        throw VaskelError(QString::fromLatin1(kNoPrinter) + QLatin1String(": ") + why);
    }

    TfrPreparedPage& first = pages.PageAt(sheets.front());
    applyPagePaper(m_printer, first);
    m_printer.FillMetrics(first.Metrics);
    m_title = m_report.Title.isEmpty() ? LoadStr(StringTable::sUntitled) : m_report.Title;
    if (m_report.OnPrintReport)
        m_report.OnPrintReport();
    beginJob();
    for (const int index : sheets) {
        if (m_report.StopRequested)
            break;
        printSheet(index);
    }
    endJob();
}

void PrintRun::beginJob()
{
    PrinterBackend* backend = m_printer.PlatformPrinter;
    m_device = backend ? backend->jobDevice(m_title) : nullptr;
    const auto failure = [&] {
        const QString said = backend ? backend->jobError() : QString();
        return VaskelError(said.isEmpty() ? QString::fromLatin1(kInvalidPrinter) : said);
    };
    if (!m_device)
        throw failure();
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_device)) {
        m_painter.reset();
        throw failure();
    }
    ++m_jobs;
    m_sheetsInJob = 0;
}

void PrintRun::endJob()
{
    if (!m_painter)
        return;
    const bool sent = m_painter->end();
    m_painter.reset();
    if (!sent) {
        const QString said = m_printer.PlatformPrinter ? m_printer.PlatformPrinter->jobError() : QString();
        throw VaskelError(said.isEmpty() ? QString::fromLatin1(kInvalidPrinter) : said);
    }
    // The device may end cleanly while the printer system refused the job (its queue is gone).
    const QString refused = m_printer.PlatformPrinter ? m_printer.PlatformPrinter->jobRefusal() : QString();
    if (!refused.isEmpty())
        throw VaskelError(refused);
}

void PrintRun::printSheet(int pageIndex)
{
    TfrEMFPages& pages = m_report.PreparedPages();
    TfrPreparedPage& page = pages.PageAt(pageIndex);
    // A job is begun on its first page's paper: whatever the printer made of that paper, the
    // first sheet goes on it, so that no job starts with an empty sheet.
    if (m_sheetsInJob > 0) {
        if (m_printer.SamePaper(
                page.PaperCode, page.PaperSizeX, page.PaperSizeY, page.PaperSource, page.PaperOrientation)) {
            if (!m_device->newPage())
                throw VaskelError(QString::fromLatin1(kInvalidPrinter));
        } else {
            // The printer prints a whole job on one paper: other paper is another job.
            endJob();
            applyPagePaper(m_printer, page);
            beginJob();
        }
    }
    m_printer.FillMetrics(page.Metrics);
    page.InUse = true;
    try {
        pages.DrawPage(pageIndex, *m_painter, PageTarget::onPrinter(page, page.Metrics));
    } catch (...) {
        page.InUse = false;
        pages.ReleasePage(pageIndex);
        throw;
    }
    page.InUse = false;
    pages.ReleasePage(pageIndex);
    ++m_sheets;
    ++m_sheetsInJob;
    m_report.ReportProgress(pageIndex + 1);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace vaskel
