#pragma once
// Where the preview lays out its pages at a zoom: pages side by side in rows with 10-pixel gaps,
// as many in a row as the widest run that fits the area, one per row in whole-page mode and two
// in two-pages mode; and the scroll ranges over that arrangement. Geometry in logical pixels of
// the page area, zoom in pixels per report unit. Pure functions over the store's page records,
// so that the window, the embedded control and the tests share them.
#include <QRect>
#include <QSize>

namespace vaskel {

class TfrEMFPages;
struct TfrPreparedPage;

// The preview's zoom modes, with the values the window stores.
enum class PreviewZoomMode : quint8 { Fixed = 0, PageWidth = 1, WholePage = 2, TwoPages = 3 };

struct Arrangement {
    int columns = 1;
    int horizontalRange = 0; // scroll bar maximum; 0 when everything fits
    int verticalRange = 0;
};

namespace PageArrangement {

constexpr int kGap = 10;
// Zoom limits: a page of zero size or an area smaller than its margins must not give a zero,
// negative or infinite zoom.
constexpr double kMinZoom = 0.01;
constexpr double kMaxZoom = 20.0;

// A page's size in pixels at `zoom`; empty for a page without a positive paper size.
QSize scaledSize(const TfrPreparedPage& page, double zoom);

// The zoom a mode gives for a page of `paperUnits` (report units) in an area of `area` pixels;
// Fixed keeps `current`. Always within [kMinZoom, kMaxZoom].
double zoomFor(PreviewZoomMode mode, double current, QSize paperUnits, QSize area);

// Sets every page's LayoutRect (pages without a positive size get an empty one and take no
// place) and returns the column count and scroll ranges.
Arrangement arrange(TfrEMFPages& pages, double zoom, PreviewZoomMode mode, QSize area);

// A scroll range over `extent` pixels in `areaSize` pixels: negative becomes 0, anything else
// grows by 10, so that a page ending exactly at the edge still scrolls to show its shadow.
int scrollRange(int extent, int areaSize);

} // namespace PageArrangement

} // namespace vaskel
