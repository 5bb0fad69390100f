#include "report/model/TfrStretcheable.h"

#include "report/model/TfrGlobals.h"

namespace vaskel {

Value TfrStretcheable::CallMethod(
    const QString& name, const Value& a, const Value& b, const Value& c)
{
    const Value result = TfrView::CallMethod(name, a, b, c);
    if (result.isNull() && name.compare(QLatin1String("CALCHEIGHT"), Qt::CaseInsensitive) == 0)
        return Value(MeasureHeight(PrintContext::ofRunState(frRun())));
    return result;
}

} // namespace vaskel
