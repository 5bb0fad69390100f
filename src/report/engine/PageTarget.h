#pragma once
// Where a prepared page lands on a sheet: the whole sheet when the page's margins flag is set
// (its views are placed on the paper itself), otherwise the printable area less the page's
// margins, into which the page is stretched. The print run and the PDF writer use the same
// rectangle, so a PDF shows the page where the printer puts it.
#include <QRect>
#include <QSize>

namespace vaskel {

struct TfrPageMetrics;
struct TfrPreparedPage;

// A paint device that stands for paper without being a printer (an exporter's page): pages are
// drawn on it as on a printer, every view with the printer's font sizes.
class PaperDevice {
public:
    virtual ~PaperDevice() = default;
};

namespace PageTarget {

// In printer pixels of `device` (the printer's metrics for the page's paper), with the origin at
// the printable area's top-left corner, as a painter on the printer has it. Products are formed in
// integers and divided in floating point, rounding to nearest with ties to even.
QRect onPrinter(const TfrPreparedPage& page, const TfrPageMetrics& device);

// In pixels of a sheet of `sheet` pixels whose origin is the paper's corner (a PDF page): the
// page's own metrics (report units) scaled to the sheet.
QRect onSheet(const TfrPreparedPage& page, QSize sheet);

} // namespace PageTarget

} // namespace vaskel
