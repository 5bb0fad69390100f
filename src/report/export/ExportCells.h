#pragma once
// The text views of a prepared page as the spreadsheet, HTML and CSV exports see them: where each
// memo lies on the paper, its text, its look, the band it printed in and, for a memo that printed
// one number or date through its display format, that value typed. Values come from what the
// report run noted beside the page; pages read from a prepared-report file carry no such notes,
// and their texts are read back as numbers or dates when they are written the way the display
// formats write them (grouped amounts, ISO dates); a text with leading zeros ("0002") stays text.
#include "report/model/ReportFont.h"
#include "report/model/TfrBandView.h"

#include <QRect>
#include <QString>

#include <vector>

namespace vaskel {

class TfrEMFPages;
struct TfrPreparedPage;

struct ExportCell {
    enum class Kind { Text, Number, Date };

    QRect rect; // report units on the paper
    QString text; // the printed lines joined by "\n"
    Kind kind = Kind::Text;
    double number = 0; // the number, or days since 1899-12-30 for a date or time
    QString sheetFormat; // the spreadsheet number format of a number or date ("#,##0.00", "yyyy-mm-dd")
    ReportFont font;
    quint32 alignment = 0; // TfrTextAlign bits
    bool wrap = false;
    quint32 fill = 0; // window-system colour, clNone for none
    quint16 frameSides = 0; // FrameSides bits
    float frameWidth = 1;
    quint32 frameColor = 0;
    quint16 frameStyle = 0;
    int gapX = 2, gapY = 1; // report units between the frame and the text
    int lineSpacing = 2, charSpacing = 0; // pixels at zoom 1
    quint16 band = NoBand; // the kind of band it printed in; NoBand when not known
    int bandPrint = -1; // which band printing on the page it belongs to; -1 when not known

    // The number in plain form for text files: no grouping, "." as decimal point ("213011.58").
    QString plainNumber() const;
    // A date cell's value as an ISO date (and time when it has one).
    QString isoDate() const;
};

struct ExportPage {
    std::vector<ExportCell> cells; // top to bottom, then left to right
    // Views other than memos (pictures, lines, shapes) lie on the page.
    bool hasOtherViews = false;
    // The page's band notes came from a run in this program (false for pages of a file).
    bool knowsBands = false;
};

namespace ExportCells {

// Reads page `index` (its live views are released afterwards unless it was in use).
ExportPage read(TfrEMFPages& pages, int index);

// A text as a number or date when it reads as one: optional minus, digits grouped by "," in threes
// or not grouped, an optional "." fraction; or a date "yyyy-mm-dd" / "yyyy/mm/dd" / "yyyy.mm.dd".
// Texts with a leading zero before another digit stay text.
bool parseBack(ExportCell& cell);

// The spreadsheet number format of a display format code ("#,##0.00", "yyyy-mm-dd"); empty when
// the code gives no number or date.
QString sheetFormat(qint32 code, const QString& formatText);

// Whether a cell goes into a table of the whole report: page headers and footers (and column
// headers and footers, overlays) only once, at the top and at the bottom, unless `everyPage`.
bool keep(const ExportCell& cell, int pageIndex, int pageCount, bool everyPage);

// The cells kept (see keep) in lines: within each band printing (or the page, when it does not
// know its bands) the cells whose middles lie within the first cell of a line; top to bottom, each
// line's cells left to right. Lines whose cells are all empty are left out.
std::vector<std::vector<const ExportCell*>> lines(
    const ExportPage& page, int pageIndex, int pageCount, bool everyPage);

// Horizontal alignment of the cell's text: 0 left, 1 right, 2 centre.
inline int horizontal(const ExportCell& cell)
{
    return int(cell.alignment & 3);
}

} // namespace ExportCells

} // namespace vaskel
