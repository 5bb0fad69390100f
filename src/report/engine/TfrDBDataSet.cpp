#include "report/engine/TfrDBDataSet.h"

#include "report/engine/TfrDatasetErrors.h"

namespace vaskel {

TfrDBDataSet::~TfrDBDataSet() = default;

void TfrDBDataSet::setDataSet(DatabaseDataset* dataSet)
{
    unwatchRemoval(m_dataSource);
    m_dataSource = nullptr;
    unwatchRemoval(m_dataSet);
    m_dataSet = dataSet;
    watchRemoval(m_dataSet);
}

void TfrDBDataSet::setDataSource(DatabaseDataSource* dataSource)
{
    unwatchRemoval(m_dataSource);
    m_dataSource = dataSource;
    watchRemoval(m_dataSource);
    if (dataSource) {
        unwatchRemoval(m_dataSet);
        m_dataSet = nullptr;
    }
}

void TfrDBDataSet::componentRemoved(DatasetComponent* removed)
{
    if (removed == m_dataSet)
        m_dataSet = nullptr;
    if (removed == m_dataSource)
        m_dataSource = nullptr;
}

DatabaseDataset& TfrDBDataSet::GetDataSet() const
{
    if (m_dataSource && m_dataSource->dataSet())
        return *m_dataSource->dataSet();
    if (m_dataSet)
        return *m_dataSet;
    throw EDSError(QStringLiteral("Unable to open dataset ") + Name);
}

void TfrDBDataSet::StartRun()
{
    DatabaseDataset& d = GetDataSet();
    if (OpenDataSource)
        d.open();
    if (OnOpen)
        OnOpen(this);
    if (StartBookmark)
        d.freeBookmark(*StartBookmark);
    StartBookmark.reset();
    if (RangeBegin == TRangeBegin::rbCurrent || RangeEnd == TRangeEnd::reCurrent)
        StartBookmark = d.bookmark();
    AtRangeEnd = false;
}

void TfrDBDataSet::EndRun()
{
    DatabaseDataset& d = GetDataSet();
    if (StartBookmark) {
        const DatasetBookmark b = *StartBookmark;
        StartBookmark.reset();
        d.gotoBookmark(b);
        d.freeBookmark(b);
    }
    if (OnClose)
        OnClose(this);
    if (CloseDataSource)
        d.close();
}

void TfrDBDataSet::First()
{
    DatabaseDataset& d = GetDataSet();
    if (RangeBegin == TRangeBegin::rbFirst)
        d.first();
    else if (StartBookmark)
        d.gotoBookmark(*StartBookmark);
    AtRangeEnd = false;
    TfrDataset::First();
}

void TfrDBDataSet::Next()
{
    DatabaseDataset& d = GetDataSet();
    AtRangeEnd = false;
    if (RangeEnd == TRangeEnd::reCurrent) {
        const DatasetBookmark here = d.bookmark();
        if (StartBookmark && d.compareBookmarks(here, *StartBookmark)) {
            AtRangeEnd = true;
        } else {
            d.next();
            TfrDataset::Next();
        }
        d.freeBookmark(here);
        return;
    }
    d.next();
    TfrDataset::Next();
}

void TfrDBDataSet::Prior()
{
    GetDataSet().prior();
    TfrDataset::Prior();
}

bool TfrDBDataSet::Eof()
{
    const bool baseEof = TfrDataset::Eof();
    return baseEof || GetDataSet().eof() || AtRangeEnd;
}

} // namespace vaskel
