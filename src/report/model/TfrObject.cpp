#include "report/model/TfrObject.h"

namespace vaskel {

void TfrObject::WriteProp(const QString&, const Value&)
{
}

Value TfrObject::ReadProp(const QString&)
{
    return Value::null();
}

Value TfrObject::CallMethod(const QString&, const Value&, const Value&, const Value&)
{
    return Value::null();
}

void TfrObject::AppendProperty(const QString& name, quint16 typeFlags)
{
    m_propertyTable.push_back(TfrPropRec{name, typeFlags, {}, std::nullopt});
}

void TfrObject::AppendEnumProperty(
    const QString& name, const QString& names, std::optional<QList<qint32>> values)
{
    m_propertyTable.push_back(
        TfrPropRec{name, PropFlags::Enumeration, names.split(QLatin1Char(';')), std::move(values)});
}

const TfrPropRec* TfrObject::LookupProperty(const QString& name) const
{
    for (const TfrPropRec& p : m_propertyTable) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

} // namespace vaskel
