#include "report/model/TfrStretcheable.h"

namespace vaskel {

TfrValue TfrStretcheable::CallMethod(
    const QString& name, const TfrValue& a, const TfrValue& b, const TfrValue& c)
{
    const TfrValue result = TfrView::CallMethod(name, a, b, c);
    if (result.isNull() && name.compare(QLatin1String("CALCHEIGHT"), Qt::CaseInsensitive) == 0)
        return TfrValue(MeasureHeight());
    return result;
}

} // namespace vaskel
