#pragma once
// Printing a band across page ends, for the BandPrinter of a PageFormer: views that fit above the
// page bottom print on this page, text views that cross it print the lines that fit and continue
// at the top of the next page, other views move to the next page whole. Views lying below a split
// text move down by the space left under its last line on the page. Report units throughout; view
// `Top` is relative to the band while it prints.
#include "report/engine/PageFormerPart.h"

#include <QtGlobal>

namespace vaskel {

class PageFormer;
class TfrBand;
class TfrView;

class BandSplitter : private PageFormerPart {
public:
    explicit BandSplitter(PageFormer& former) : PageFormerPart(former) { }

    // Prints `band` (its `PrintedHeight` measured) from its `Top` on, over as many pages as it
    // needs; the page position ends below what printed on the last one.
    void DrawSplit(TfrBand& band);

private:
    void moveViewsBelow(TfrBand& band, TfrView& split, qint32 by);
};

} // namespace vaskel
