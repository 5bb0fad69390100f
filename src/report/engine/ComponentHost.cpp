#include "report/engine/ComponentHost.h"

#include "platform/PlatformError.h"
#include "report/engine/TfrReport.h"

namespace vaskel {

ComponentHost::ComponentHost(const QString& name) : m_name(name)
{
}

ComponentHost::~ComponentHost()
{
    while (!m_components.empty())
        m_components.pop_back();
}

void ComponentHost::adopt(std::unique_ptr<DatasetComponent> component)
{
    Q_ASSERT_X(component, "ComponentHost::adopt", "no component given");
    if (!component->Name.isEmpty() && findComponent(component->Name))
        throw VaskelError(QStringLiteral("A component named %1 already exists").arg(component->Name));
    if (auto* report = dynamic_cast<TfrReport*>(component.get()))
        report->setOwner(this);
    m_components.push_back(std::move(component));
}

void ComponentHost::remove(DatasetComponent* component)
{
    for (auto it = m_components.begin(); it != m_components.end(); ++it) {
        if (it->get() == component) {
            // Out of the list first: components told of the removal may search the host.
            std::unique_ptr<DatasetComponent> removed = std::move(*it);
            m_components.erase(it);
            return;
        }
    }
}

DatasetComponent* ComponentHost::findComponent(const QString& name) const
{
    for (const auto& c : m_components) {
        if (c->Name.compare(name, Qt::CaseInsensitive) == 0)
            return c.get();
    }
    return nullptr;
}

DatasetComponentOwner* ComponentHost::findApplicationOwner(const QString& name) const
{
    return name.compare(m_name, Qt::CaseInsensitive) == 0 ? const_cast<ComponentHost*>(this) : nullptr;
}

} // namespace vaskel
