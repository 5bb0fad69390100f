#include "report/expr/TfrInstalledFunctions.h"

#include <algorithm>

namespace vaskel {

void TfrInstalledFunctions::Add(
    const QString& libraryClass, const QString& name, const QString& category, const QString& description)
{
    if (category.isEmpty() || Find(name))
        return;
    m_entries.push_back({libraryClass, name, category, description});
}

void TfrInstalledFunctions::RemoveLibrary(const QString& libraryClass)
{
    std::erase_if(m_entries, [&](const Entry& e) { return e.libraryClass == libraryClass; });
}

const TfrInstalledFunctions::Entry* TfrInstalledFunctions::Find(const QString& name) const
{
    const auto it
        = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name; });
    return it == m_entries.end() ? nullptr : &*it;
}

} // namespace vaskel
