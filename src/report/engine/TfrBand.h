#pragma once
// An engine band: the run-time form of one band view of a template page while a report runs. The
// page builds one chain of bands per band kind from its band views, prints them, and frees them
// when the run ends. This class holds what the report functions, the value lookup and the
// aggregate machinery read and write: kind, name, views, counters, print requests, the dataset and
// the aggregate state, and the working fields of the layout engine (position, measured height,
// band columns, links built by the page former).
//
// Aggregates: a data band keeps the running values of every aggregate registered against it in
// `AggregateValues` (key → value) and the records accumulated since its last reset in
// `AggregateCount`; a footer (any band that prints aggregates) points at that data band through
// `AggregateBand`.
#include "report/engine/TfrDatasetFunctions.h"
#include "report/expr/Value.h"
#include "report/expr/TfrVariables.h"
#include "report/model/EngineBandLink.h"
#include "report/model/PrintContext.h"
#include "report/model/TfrBandView.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vaskel {

class PageFormationState;
class TfrDataset;
class TfrPage;
class TfrView;

class TfrBand : public EngineBandLink {
public:
    // `LineNumber` = `LineThrough` = 1 and visible; everything else empty.
    TfrBand(TfrBandKind kind, TfrPage* ownerPage);
    ~TfrBand() override;
    TfrBand(const TfrBand&) = delete;
    TfrBand& operator=(const TfrBand&) = delete;

    // Where the band prints this time and how tall it is, as its views align to it: the designed
    // height until the band is measured.
    PrintingBand printingGeometry() const;

    TfrPage* OwnerPage = nullptr; // not owned
    PageFormationState* Former = nullptr; // not owned: the page former that built the band
    TfrBandView* BandView = nullptr; // not owned; none for an empty slot band
    quint16 Flags = 0;

    // The chain of bands of the same kind, ordered by `Top`. A band owns the rest of its chain.
    TfrBand* NextOfKind() const { return m_nextOfKind.get(); }
    TfrBand* PrevOfKind = nullptr; // not owned
    // Appends `band` as the next of this band's kind (replacing and freeing a previous one) and
    // links it back; returns it.
    TfrBand* SetNextOfKind(std::unique_ptr<TfrBand> band);
    TfrBand* LastOfKind = nullptr; // not owned; on the first band of a chain

    TfrBand* ChildLink = nullptr; // not owned
    TfrBand* HeaderLink = nullptr; // not owned
    TfrBand* FooterLink = nullptr; // not owned
    TfrBand* DataLink = nullptr; // not owned
    TfrBand* FirstGroupHeader = nullptr; // not owned
    TfrBand* LastGroupHeader = nullptr; // not owned
    TfrBand* NextGroupHeader = nullptr; // not owned
    TfrBand* PrevGroupHeader = nullptr; // not owned

    // The data band whose `AggregateValues` hold this band's aggregates; none without aggregates.
    TfrBand* AggregateBand = nullptr; // not owned
    TfrVariables AggregateValues; // aggregate key → running value (unsorted: registration order)
    qint32 AggregateCount = 0; // records accumulated since the last reset

    qint32 LineNumber = 1; // LINE#
    qint32 LineThrough = 1; // LINETHROUGH#
    Value HeldGroupValue; // a group header's condition value when it printed; empty before
    QString CompiledCondition; // a group header's condition, compiled
    bool NoReset = false;

    qint32 NewPageRequests = 0; // NEWPAGE calls since the band started printing
    qint32 NewColumnRequests = 0; // NEWCOLUMN calls since the band started printing

    qint32 Left = 0, Top = 0, Width = 0, Height = 0; // report units; `Top` moves while printing
    qint32 MeasuredHeight = -1; // report units the band needs this time; -1 before measuring
    qint32 PrintedHeight = 0; // report units used by a stretched or split print
    TfrBandKind Kind;
    QString Name;
    bool Visible = true;
    bool Stretched = false;
    bool FormNewPage = false;
    bool PrintIfSubsetEmpty = false;
    bool Breaked = false; // may be split across page ends
    bool PrintChildIfInvisible = false;
    bool hasFlag(quint16 bit) const { return (Flags & bit) != 0; }

    // Band columns side by side (a data band whose view has `Columns` > 1): the 1-based column
    // being filled and the `XOffset` of the first one, report units.
    qint32 BandColumn = 1;
    qint32 BandColumnX = 0;
    bool KeepCurY = false; // a script set CURY while a page or column request was pending
    bool SkipScriptOnce = false; // the next print does not run the band's script

    // Sub-report printing state: the first sub-report view, the lowest y they reached, whether
    // they all ended on this page, and which have ended.
    qint32 SubReportStart = 0;
    qint32 SubReportMaxY = 0;
    bool SubReportsDone = true;
    std::vector<bool> SubReportFinished;
    qint32 MaxColumns = 0; // cross data band: most columns printed in one row
    TfrDataset* ColumnDataset = nullptr; // not owned unless held by `m_columnSource`

    std::vector<TfrView*> Views; // not owned: the views the band prints
    QStringList Memo;
    QStringList BeforePrintScript;

    TfrDataset* Dataset = nullptr; // the report dataset the band walks, or none
    // Binds the band to a data source text (a dataset name or a record count); the previous
    // source gets EndRun first. Errors of the lookup propagate.
    void SetDataSource(const QString& text, const DatasetComponentOwner* owner);
    // Uses a dataset the band does not own (the report's own dataset), without StartRun.
    void UseDataset(TfrDataset* dataset);
    // Cross column dataset of a row band; the previous one gets EndRun first.
    void SetColumnDataSource(const QString& text, const DatasetComponentOwner* owner);

    bool exists() const; // has a band view, or is the loose-views band with views
    bool isDataBand() const { return Kind == MasterData || Kind == DetailData || Kind == SubdetailData; }
    // Printed at its own `Top` without moving the page position.
    bool isPositioned() const { return Kind == PageFooter || Kind == Overlay || Kind == NoBand; }

    // Whether the band prints views that belong to a cross band (a cross-tab row): their
    // aggregates are kept per cross column.
    bool HasCrossObjects() const;
    bool isCrossKind() const { return Kind >= CrossHeader && Kind <= CrossFooter; }

    // Scripts reach the band through its band view while the report runs (EngineBandLink).
    void bandPropertyWritten(const QString& name, const Value& value) override;
    std::optional<Value> bandPropertyRead(const QString& name) override;
    bool bandMethodCalled(const QString& name) override;

private:
    std::unique_ptr<TfrBand> m_nextOfKind;
    BandDataSource m_source; // the dataset the band took through a data source text
    BandDataSource m_columnSource;
};

} // namespace vaskel
