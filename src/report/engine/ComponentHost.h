#pragma once
// A holder of named components for everything that is not a window: the command-line renderer
// and tests build one with their queries, report datasets and report, much as the query window
// owns its own. It owns what it is given, finds components by name without regard to case, and
// answers for itself under its own name in "Form1.Query1" references. A report added to it takes
// the host as its owner, so that its templates find the host's datasets.
//
// Removing a component destroys it; components that refer to it are told and drop the reference
// (a report's `Dataset`, a report dataset's database dataset). Components are destroyed in the
// reverse order of adding, so that later ones, which usually refer to earlier ones, go first.
#include "report/engine/DatasetComponentOwner.h"

#include <QString>

#include <memory>
#include <vector>

namespace vaskel {

class DatasetComponent;

class ComponentHost : public DatasetComponentOwner {
public:
    explicit ComponentHost(const QString& name = QStringLiteral("Form1"));
    ~ComponentHost() override;
    ComponentHost(const ComponentHost&) = delete;
    ComponentHost& operator=(const ComponentHost&) = delete;

    const QString& name() const { return m_name; }

    // Takes the component over and returns it. Throws VaskelError when another component already
    // has its name (ignoring case): a name must find one component.
    template <class T> T& add(std::unique_ptr<T> component)
    {
        T& added = *component;
        adopt(std::move(component));
        return added;
    }
    // Creates a component in place: `host.make<TfrDBDataSet>("frDBDataSet1")`.
    template <class T, class... Args> T& make(Args&&... args)
    {
        return add(std::make_unique<T>(std::forward<Args>(args)...));
    }

    // Destroys the component (nothing for one the host does not hold).
    void remove(DatasetComponent* component);

    int count() const { return static_cast<int>(m_components.size()); }
    DatasetComponent* component(int index) const { return m_components.at(static_cast<size_t>(index)).get(); }

    DatasetComponent* findComponent(const QString& name) const override;
    DatasetComponentOwner* findApplicationOwner(const QString& name) const override;

private:
    void adopt(std::unique_ptr<DatasetComponent> component);

    QString m_name;
    std::vector<std::unique_ptr<DatasetComponent>> m_components;
};

} // namespace vaskel
