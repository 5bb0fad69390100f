#pragma once
// The link between a database dataset and what shows or walks it (a grid, a report dataset): a
// named component holding a non-owning reference to the dataset, cleared when the dataset goes.
#include "report/engine/DatabaseDataset.h"

namespace vaskel {

class DatabaseDataSource : public DatasetComponent {
public:
    explicit DatabaseDataSource(const QString& name = {}, DatabaseDataset* dataSet = nullptr);

    DatabaseDataset* dataSet() const { return m_dataSet; }
    void setDataSet(DatabaseDataset* dataSet);

protected:
    void componentRemoved(DatasetComponent* removed) override;

private:
    DatabaseDataset* m_dataSet = nullptr; // not owned
};

} // namespace vaskel
