#include "report/engine/DatabaseDataSource.h"

namespace vaskel {

DatabaseDataSource::DatabaseDataSource(const QString& name, DatabaseDataset* dataSet) : DatasetComponent(name)
{
    setDataSet(dataSet);
}

void DatabaseDataSource::setDataSet(DatabaseDataset* dataSet)
{
    unwatchRemoval(m_dataSet);
    m_dataSet = dataSet;
    watchRemoval(m_dataSet);
}

void DatabaseDataSource::componentRemoved(DatasetComponent* removed)
{
    if (removed == m_dataSet)
        m_dataSet = nullptr;
}

} // namespace vaskel
