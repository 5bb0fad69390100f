#pragma once
// What the running report and its layout engine offer a view while it prints itself into a
// prepared page: the report's before-print step and the band being printed. The report component
// sets the run state's `PrintHooks` together with `CurrentReport` and clears both when the run
// ends; without hooks (tools, tests) a view prints as if no event were assigned and no band were
// being printed.
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace vaskel {

class TfrView;

// The geometry of the band being printed, in report units, as the band's views align to it.
struct PrintingBand {
    qint32 Top = 0;
    qint32 Width = 0;
    qint32 MeasuredHeight = 0; // the height the band takes on the page this time
    int Kind = 0; // band type code (18 to 20: cross bands)
};

class ReportPrintHooks {
public:
    virtual ~ReportPrintHooks() = default;

    // Whether the report's `OnBeforePrint` event is assigned.
    virtual bool HasBeforePrint() const = 0;
    // The report's before-print step: a large-object field named by the view's `DataSetRef` and
    // `DataFieldName` is loaded into the view first (`LoadFromField`), then `OnBeforePrint`, if
    // assigned, may change `text`.
    virtual void BeforePrint(QStringList& text, TfrView& view) = 0;
    // The band the layout engine is printing (`CurrentBand`), or none.
    virtual std::optional<PrintingBand> CurrentPrintingBand() const = 0;
};

} // namespace vaskel
