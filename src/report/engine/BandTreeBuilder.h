#pragma once
// Building a PageFormer's band tree at the start of a run: one engine band per band view, the
// views each band prints, the band chains ordered by `Top`, header, footer, group and child
// links, the cross bands with their cells and the page columns; and, once the report's lookup can
// answer, binding the views that show a single field to the dataset that walks it. The page's
// views are changed for the run (coordinates made relative to their band, scripts compiled in
// place); the report reads its template back after the run.
#include "report/engine/PageFormerPart.h"

#include <QtGlobal>

namespace vaskel {

class DatabaseDataset;
class PageFormer;
class TfrBand;
class TfrBandView;
class TfrDataset;
enum TfrBandKind : quint16;

class BandTreeBuilder : private PageFormerPart {
public:
    explicit BandTreeBuilder(PageFormer& former) : PageFormerPart(former) { }

    // Builds the former's band tree anew from the page's views.
    void build();
    // The final pass of a two-pass run keeps the tree: counters, suppressed texts and datasets
    // start again.
    void resetForFinalPass();
    // Views whose whole text is one bracketed field name learn the report dataset and field.
    void bindSingleFieldViews();

private:
    void prepareViews();
    void buildCrossBands();
    void buildBandsOfKind(TfrBandKind kind);
    void takeBandViewSettings(TfrBand& band, TfrBandView& view);
    void collectViews(TfrBand& band);
    void linkHeadersAndFooters();
    void linkGroupFooters();
    void linkColumnDatasets();
    void linkChildBands();
    void linkGroupHeaders();
    // The report dataset (of a band of this page, or the report's) that walks `dataset`.
    TfrDataset* reportDatasetOver(const DatabaseDataset* dataset) const;
};

} // namespace vaskel
