#pragma once
// What a band view reaches of its engine band while a report runs. Scripts read and write band
// properties through the band view ("MasterData1.Visible := False"); while a report is prepared
// the engine band that the layout engine built from the view takes part: it holds the position,
// visibility, page-break permission, group condition, child band and dataset that printing uses.
// The layout engine links each band view to its engine band for the run and unlinks it when the
// band is freed.
#include "report/expr/Value.h"

#include <QString>

#include <optional>

namespace vaskel {

class EngineBandLink {
public:
    virtual ~EngineBandLink() = default;

    // After the view took a written property (`name` upper-cased).
    virtual void bandPropertyWritten(const QString& name, const Value& value) = 0;
    // The engine band's value of a property the view would answer itself; none to let it.
    virtual std::optional<Value> bandPropertyRead(const QString& name) = 0;
    // A method of the band ("NEXT", "PRIOR", "FIRST"); false when the band has none of that name.
    virtual bool bandMethodCalled(const QString& name) = 0;
};

} // namespace vaskel
