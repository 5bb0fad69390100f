#pragma once
// The print loop of a report's prepared pages: the pages the report's print parameters select
// (page list, odd or even, copies, collation) go to the printer model's current printer, one
// print job per run of pages on equal paper: a page on other paper ends the job, switches the
// printer's paper and begins the next job. The printer chosen in the print dialog prints; when
// none was chosen (the report names the virtual printer) the system's current printer does. The
// device always prints one copy of a sheet; copies and collation are the order in which this
// loop sends the sheets.
//
// Failures end the job that is open and throw VaskelError with the system's message: a job that
// cannot begin, a page that cannot be decoded or drawn, a printer that goes away (also between
// the dialog and the run), no printer at all. The report's StopRequested (the progress window's
// Cancel) ends the loop between sheets.
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace vaskel {

class PrinterBackend;
class TfrPrinter;
class TfrReport;

class PrintRun {
public:
    explicit PrintRun(TfrReport& report);
    ~PrintRun();

    // Throws EConvertError for a page list that does not parse and VaskelError ("No pages to
    // print") for a selection that names no page of the report, before any job begins.
    void run();

    int jobsBegun() const { return m_jobs; }
    int sheetsPrinted() const { return m_sheets; }

private:
    void beginJob();
    void endJob();
    void printSheet(int pageIndex);

    TfrReport& m_report;
    TfrPrinter& m_printer;
    QString m_title;
    QPagedPaintDevice* m_device = nullptr; // the current printer's; not owned
    std::unique_ptr<QPainter> m_painter;
    int m_sheetsInJob = 0;
    int m_jobs = 0;
    int m_sheets = 0;
};

} // namespace vaskel
