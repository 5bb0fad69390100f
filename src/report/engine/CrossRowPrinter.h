#pragma once
// The cross bands of a PageFormer's page. A cross row is a horizontal band holding cells of the
// vertical cross bands: the cross header column, one cross data column per record of the column
// dataset, then the cross footer column. Columns that pass the right limit continue on the
// following prepared pages at the same y; the page number the row started on is current again
// afterwards. Report units throughout.
#include "report/engine/PageFormerPart.h"

#include <QtGlobal>

namespace vaskel {

class PageFormer;
class TfrBand;

class CrossRowPrinter : private PageFormerPart {
public:
    explicit CrossRowPrinter(PageFormer& former) : PageFormerPart(former) { }

    // The height the row needs over all its columns.
    qint32 MeasureCrossRow(TfrBand& band);
    // Prints the cross cells of the row band, column by column.
    void DrawCrossRow(TfrBand& band);

private:
    // Moves to the next prepared page when a column of `width` at x does not fit the page width;
    // x follows (report units).
    void FitColumn(TfrBand& row, qint32 width, qint32& x, qint32 firstPage);
    // Writes the cells a cross band shares with `row`, the cross band's column starting at x
    // (report units), into the prepared page `PageNumber` names.
    void DrawCrossCell(TfrBand& cross, TfrBand& row, qint32 x);
};

} // namespace vaskel
