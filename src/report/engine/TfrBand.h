#pragma once
// An engine band: the run-time form of one band view of a template page while a report runs. The
// page builds one chain of bands per band kind from its band views, prints them, and frees them
// when the run ends. This class holds what the report functions, the value lookup and the
// aggregate machinery read and write: kind, name, views, counters, print requests, the dataset and
// the aggregate state; the layout engine adds its own working fields as it grows.
//
// Aggregates: a data band keeps the running values of every aggregate registered against it in
// `AggregateValues` (key → value) and the records accumulated since its last reset in
// `AggregateCount`; a footer (any band that prints aggregates) points at that data band through
// `AggregateBand`.
#include "report/expr/TfrValue.h"
#include "report/expr/TfrVariables.h"
#include "report/model/TfrBandView.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vaskel {

class TfrDataset;
class TfrPage;
class TfrView;

class TfrBand {
public:
    // `LineNumber` = `LineThrough` = 1 and visible; everything else empty.
    TfrBand(TfrBandKind kind, TfrPage* ownerPage);
    ~TfrBand();
    TfrBand(const TfrBand&) = delete;
    TfrBand& operator=(const TfrBand&) = delete;

    TfrPage* OwnerPage = nullptr; // not owned
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
    TfrValue HeldGroupValue; // a group header's condition value when it printed; empty before
    QString CompiledCondition; // a group header's condition, compiled
    bool NoReset = false;

    qint32 NewPageRequests = 0; // NEWPAGE calls since the band started printing
    qint32 NewColumnRequests = 0; // NEWCOLUMN calls since the band started printing

    qint32 Left = 0, Top = 0, Width = 0, Height = 0; // report units
    TfrBandKind Kind;
    QString Name;
    bool Visible = true;

    std::vector<TfrView*> Views; // not owned: the views the band prints
    QStringList Memo;
    QStringList BeforePrintScript;

    TfrDataset* Dataset = nullptr; // not owned: the report dataset the band walks, or none

    // Whether the band prints views that belong to a cross band (a cross-tab row): their
    // aggregates are kept per cross column.
    bool HasCrossObjects() const;
    bool isCrossKind() const { return Kind >= CrossHeader && Kind <= CrossFooter; }

private:
    std::unique_ptr<TfrBand> m_nextOfKind;
};

} // namespace vaskel
