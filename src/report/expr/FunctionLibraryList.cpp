#include "report/expr/FunctionLibraryList.h"

namespace vaskel {

FunctionLibraryList::~FunctionLibraryList()
{
    Clear();
}

bool FunctionLibraryList::RegisterLibrary(
    const QString& className, const std::function<std::unique_ptr<TfrFunctionLibrary>()>& create)
{
    if (Find(className) || Count() >= kMaxLibraries)
        return false;
    std::unique_ptr<TfrFunctionLibrary> library = create();
    Q_ASSERT_X(library && library->ClassName() == className, "RegisterLibrary", "factory made another class");
    if (!library)
        return false;
    for (const auto& d : library->Descriptions())
        m_registry.Add(className, d.name, d.category, d.description);
    m_libraries.push_back(std::move(library));
    return true;
}

void FunctionLibraryList::UnregisterLibrary(const QString& className)
{
    for (auto it = m_libraries.begin(); it != m_libraries.end(); ++it) {
        if ((*it)->ClassName() == className) {
            m_registry.RemoveLibrary(className);
            m_libraries.erase(it);
            return;
        }
    }
}

void FunctionLibraryList::Clear()
{
    while (!m_libraries.empty())
        UnregisterLibrary(m_libraries.back()->ClassName());
}

TfrFunctionLibrary* FunctionLibraryList::Find(const QString& className) const
{
    for (const auto& l : m_libraries) {
        if (l->ClassName() == className)
            return l.get();
    }
    return nullptr;
}

bool FunctionLibraryList::HandleCall(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value) const
{
    // A library's computation may register further libraries; index, not iterators.
    for (size_t i = 0; i < m_libraries.size(); ++i) {
        if (m_libraries[i]->HandleCall(name, p1, p2, p3, value))
            return true;
    }
    return false;
}

} // namespace vaskel
