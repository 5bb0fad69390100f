#pragma once
// A named, non-visual object of a window (a query, a data source, a report dataset) that report
// templates name in their bands' data sources and field references ("frDBDataSet1",
// ADOQuery1."AMT"). The window owns its components; a component that refers to another one asks to
// be told when that one goes away, so that no reference is left dangling.
#include <QList>
#include <QString>

namespace vaskel {

class DatasetComponentOwner;

class DatasetComponent {
public:
    explicit DatasetComponent(const QString& name = {});
    virtual ~DatasetComponent();
    DatasetComponent(const DatasetComponent&) = delete;
    DatasetComponent& operator=(const DatasetComponent&) = delete;

    QString Name;

    // A component that owns further components (a data module inside a window): "A.B.C" names
    // walk through it. None by default.
    virtual DatasetComponentOwner* asOwner() { return nullptr; }

protected:
    // `watcher->componentRemoved(this)` is called when this component is destroyed.
    void watchRemoval(DatasetComponent* watched);
    void unwatchRemoval(DatasetComponent* watched);
    virtual void componentRemoved(DatasetComponent* removed);

private:
    QList<DatasetComponent*> m_watchers; // not owned: components holding a reference to this one
    QList<DatasetComponent*> m_watched; // not owned: components this one holds a reference to
};

} // namespace vaskel
