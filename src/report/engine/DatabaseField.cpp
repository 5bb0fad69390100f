#include "report/engine/DatabaseField.h"

#include "report/engine/DatabaseDataset.h"

namespace vaskel {

DatabaseField::DatabaseField(
    DatabaseDataset* dataset, int index, const QString& name, DatabaseFieldKind kind, int size)
    : m_dataset(dataset), m_index(index), m_name(name), m_kind(kind), m_size(size)
{
}

QVariant DatabaseField::value() const
{
    return m_dataset->fieldValue(m_index);
}

bool DatabaseField::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString DatabaseField::asString() const
{
    return m_dataset->fieldText(m_index);
}

} // namespace vaskel
