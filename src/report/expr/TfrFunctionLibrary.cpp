#include "report/expr/TfrFunctionLibrary.h"

namespace vaskel {

bool TfrFunctionLibrary::HandleCall(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    for (qsizetype i = 0; i < FunctionNames.size(); ++i) {
        if (FunctionNames.at(i).compare(name, Qt::CaseInsensitive) == 0) {
            Compute(static_cast<int>(i), p1, p2, p3, value);
            return true;
        }
    }
    return false;
}

void TfrFunctionLibrary::AddDescription(
    const QString& name, const QString& category, const QString& description)
{
    m_descriptions.push_back({name, category, description});
}

} // namespace vaskel
