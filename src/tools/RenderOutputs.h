#pragma once
// The files `vaskel render` makes of prepared pages: a PDF with one page per prepared page at its
// paper size and text kept as text, one PNG image per page, and a JSON dump of every page and
// object. Each file is written beside its target and renamed over it only when complete, so a
// failure never damages what was there; it throws VaskelError ("Cannot create file ...").
#include <QString>

#include <QTextStream>
#include <memory>

namespace vaskel {

class PdfRunWriter;

class TfrEMFPages;

namespace RenderOutputs {

// `title` becomes the document's title (none when empty). An empty report gives one blank page.
void writePdf(TfrEMFPages& pages, const QString& fileName, const QString& title);
// The same PDF written while the report prepares into `run`: the writer is the store's sink from
// here on (see PdfRunWriter).
std::unique_ptr<PdfRunWriter> startPdf(TfrEMFPages& run, const QString& fileName, const QString& title);
// Once the run is over: the file of `writer` when every page reached it, else (no writer, or the
// run went back to a page already handed over) the PDF written from the finished pages.
void finishPdf(
    std::unique_ptr<PdfRunWriter>& writer, TfrEMFPages& pages, const QString& fileName, const QString& title);
// The other exports of the pages: an Excel workbook, a self-contained HTML file, a CSV file.
enum class Table { Xlsx, Html, Csv };
struct TableOptions {
    QString title;
    bool allPageBands = false; // page headers and footers on every page (workbook and CSV)
};
void writeTable(TfrEMFPages& pages, const QString& fileName, Table kind, const TableOptions& options);
// DIR/page-001.png, page-002.png … at `dpi` pixels per inch; the folder is made when missing. The
// pages take their names only when all were written; pages of an earlier, longer run beyond the
// new count are removed.
void writePngs(TfrEMFPages& pages, const QString& dirName, int dpi);
// To `fileName`, or to `out` when the name is empty or "-"; written page by page.
void writeJson(TfrEMFPages& pages, const QString& fileName, QTextStream& out);
// Flushes standard output and throws VaskelError ("Cannot write to standard output. REASON") when
// anything written to it was lost: a closed stream, a full disk, /dev/full.
void checkedFlush(QTextStream& out);

} // namespace RenderOutputs

} // namespace vaskel
