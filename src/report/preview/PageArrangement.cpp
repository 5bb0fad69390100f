#include "report/preview/PageArrangement.h"

#include "platform/Rounding.h"
#include "report/engine/TfrEMFPages.h"

#include <algorithm>
#include <cmath>

namespace vaskel::PageArrangement {

QSize scaledSize(const TfrPreparedPage& page, double zoom)
{
    const TfrPageMetrics& m = page.Metrics;
    if (m.UnitPaperWidth <= 0 || m.UnitPaperHeight <= 0)
        return {};
    return QSize(roundToInt(m.UnitPaperWidth * zoom), roundToInt(m.UnitPaperHeight * zoom));
}

double zoomFor(PreviewZoomMode mode, double current, QSize paperUnits, QSize area)
{
    double z = current;
    if (paperUnits.width() > 0 && paperUnits.height() > 0) {
        switch (mode) {
        case PreviewZoomMode::Fixed:
            break;
        case PreviewZoomMode::PageWidth:
            z = double(area.width() - 20) / paperUnits.width();
            break;
        case PreviewZoomMode::WholePage:
            z = double(area.height() - 20) / paperUnits.height(); // only the height is fitted
            break;
        case PreviewZoomMode::TwoPages:
            z = double(area.width() - 30) / (2.0 * paperUnits.width());
            break;
        }
    }
    if (!std::isfinite(z) || z < kMinZoom)
        return kMinZoom;
    return std::min(z, kMaxZoom);
}

int scrollRange(int extent, int areaSize)
{
    const int range = extent - areaSize;
    return range < 0 ? 0 : range + kGap;
}

Arrangement arrange(TfrEMFPages& pages, double zoom, PreviewZoomMode mode, QSize area)
{
    const int a = area.width();
    Arrangement result;
    // The column count: the longest run of pages that fits side by side.
    int n = 0;
    int x = kGap;
    int run = 0;
    for (int i = 0; i < pages.Count(); ++i) {
        const QSize s = scaledSize(pages.PageAt(i), zoom);
        if (s.isEmpty())
            continue;
        const int next = x + s.width() + kGap;
        if (a < next) {
            n = std::max(n, run);
            x = kGap;
            run = 0;
        } else {
            x = next;
            ++run;
        }
    }
    n = std::max(n, run);
    if (n == 0)
        n = 1;
    if (mode == PreviewZoomMode::WholePage)
        n = 1;
    else if (mode == PreviewZoomMode::TwoPages)
        n = 2;
    result.columns = n;

    // Rows of n pages.
    int y = kGap;
    int inRow = 0;
    int rowHeight = 0;
    int right = 0;
    int bottom = 0;
    x = kGap;
    for (int i = 0; i < pages.Count(); ++i) {
        TfrPreparedPage& page = pages.PageAt(i);
        const QSize s = scaledSize(page, zoom);
        if (s.isEmpty()) {
            page.LayoutRect = QRect();
            continue;
        }
        const int left = (n == 1 && s.width() < a) ? (a - s.width()) / 2 : x;
        // LayoutRect keeps the legacy exclusive right and bottom edges: (x, y, x + w, y + h).
        page.LayoutRect = QRect(QPoint(left, y), s);
        right = std::max(right, left + s.width());
        bottom = std::max(bottom, y + s.height());
        x += s.width() + kGap;
        rowHeight = std::max(rowHeight, s.height());
        if (++inRow == n) {
            y += rowHeight + kGap;
            x = kGap;
            inRow = 0;
            rowHeight = 0;
        }
    }
    result.horizontalRange = scrollRange(right, a);
    result.verticalRange = scrollRange(bottom, area.height());
    return result;
}

} // namespace vaskel::PageArrangement
