#pragma once
// What the page being formed offers the report's lookup, functions and aggregates: its band
// chains, the vertical position, the bottom limit, the cross column and record counters, and
// printing a band by name. The layout engine implements it for the page it forms and hands it to
// the report scope for as long as it forms that page.
#include <QString>
#include <QtGlobal>

namespace vaskel {

class TfrBand;

class PageFormationState {
public:
    virtual ~PageFormationState() = default;

    // The first band of the chain of that kind (band type codes 0 to 22), or none.
    virtual TfrBand* FirstBandOfKind(int kind) const = 0;
    virtual qint32 CurY() const = 0; // report units
    virtual qint32 BottomY() const = 0; // report units
    virtual qint32 ColumnNumber() const = 0; // cross column being printed (COLUMN#)
    virtual qint32 CurrentRecord() const = 0; // CURRENT#
    // Prints a band at once (SHOWBAND).
    virtual void ShowBand(TfrBand& band) = 0;

    // Prints the first band, kinds in code order and each chain in order, whose band view has
    // that name ignoring case; nothing when no band has it.
    void ShowBandByName(const QString& name);
    // That band, or none.
    TfrBand* FindBandByName(const QString& name) const;
};

} // namespace vaskel
