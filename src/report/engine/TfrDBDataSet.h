#pragma once
// The report dataset over a database dataset (one of the window's queries). It opens the dataset
// when a run starts, walks it between First and end of data, and, when the range starts or ends at
// the current record, puts the dataset back on that record when the run ends. The walked dataset
// is the data source's dataset when a data source is set, else `DataSet`.
#include "report/engine/DatabaseDataSource.h"
#include "report/engine/TfrDataset.h"

#include <optional>

namespace vaskel {

class TfrDBDataSet : public TfrDataset {
public:
    using TfrDataset::TfrDataset;
    ~TfrDBDataSet() override;

    // Setting one reference clears the other; a removed component's reference is cleared.
    DatabaseDataset* DataSet() const { return m_dataSet; }
    void setDataSet(DatabaseDataset* dataSet);
    DatabaseDataSource* DataSource() const { return m_dataSource; }
    void setDataSource(DatabaseDataSource* dataSource);

    bool OpenDataSource = true; // StartRun opens the database dataset
    bool CloseDataSource = false; // EndRun closes it
    std::optional<DatasetBookmark> StartBookmark; // the record current at StartRun, for ranges at it
    Notify OnOpen; // at the end of opening in StartRun
    Notify OnClose; // at the start of closing in EndRun
    bool AtRangeEnd = false; // the walk reached the reCurrent end

    // The database dataset walked; throws EDSError "Unable to open dataset <Name>" without one.
    DatabaseDataset& GetDataSet() const;

    void StartRun() override;
    void EndRun() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;

protected:
    void componentRemoved(DatasetComponent* removed) override;

private:
    DatabaseDataset* m_dataSet = nullptr; // not owned
    DatabaseDataSource* m_dataSource = nullptr; // not owned
};

} // namespace vaskel
