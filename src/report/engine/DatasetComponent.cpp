#include "report/engine/DatasetComponent.h"

namespace vaskel {

DatasetComponent::DatasetComponent(const QString& name) : Name(name)
{
}

DatasetComponent::~DatasetComponent()
{
    // Tell the components that refer to this one, then stop being told about the ones this one
    // refers to; both lists are emptied before anyone is called back.
    const QList<DatasetComponent*> watchers = std::exchange(m_watchers, {});
    for (DatasetComponent* w : watchers) {
        w->m_watched.removeAll(this);
        w->componentRemoved(this);
    }
    const QList<DatasetComponent*> watched = std::exchange(m_watched, {});
    for (DatasetComponent* c : watched)
        c->m_watchers.removeAll(this);
}

void DatasetComponent::watchRemoval(DatasetComponent* watched)
{
    if (!watched || watched == this || m_watched.contains(watched))
        return;
    m_watched.append(watched);
    watched->m_watchers.append(this);
}

void DatasetComponent::unwatchRemoval(DatasetComponent* watched)
{
    if (!watched || !m_watched.removeAll(watched))
        return;
    watched->m_watchers.removeAll(this);
}

void DatasetComponent::componentRemoved(DatasetComponent*)
{
}

} // namespace vaskel
