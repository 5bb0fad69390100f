#pragma once
// The process-wide list of registered function libraries, asked in order of registration. It
// holds at most 64 libraries, one per class name; registering a class that is already present
// does nothing. The engine globals register the standard library first at start-up; the report
// engine adds its database library second. Descriptions go to the registry given at construction.
#include "report/expr/TfrFunctionLibrary.h"
#include "report/expr/TfrInstalledFunctions.h"

#include <functional>
#include <memory>
#include <vector>

namespace vaskel {

class FunctionLibraryList {
public:
    static constexpr int kMaxLibraries = 64;

    explicit FunctionLibraryList(TfrInstalledFunctions& registry) : m_registry(registry) { }
    ~FunctionLibraryList();
    FunctionLibraryList(const FunctionLibraryList&) = delete;
    FunctionLibraryList& operator=(const FunctionLibraryList&) = delete;

    // Creates and appends a library unless one of the same class name is present or the list is
    // full; returns whether it was added.
    bool RegisterLibrary(
        const QString& className, const std::function<std::unique_ptr<TfrFunctionLibrary>()>& create);
    template <class Library> bool RegisterLibrary()
    {
        return RegisterLibrary(Library::kClassName, [] { return std::make_unique<Library>(); });
    }
    // Removes the library of that class name with its descriptions and closes the gap.
    void UnregisterLibrary(const QString& className);
    // Unregisters every library, last first.
    void Clear();

    int Count() const { return static_cast<int>(m_libraries.size()); }
    TfrFunctionLibrary* Library(int index) const { return m_libraries.at(static_cast<size_t>(index)).get(); }
    TfrFunctionLibrary* Find(const QString& className) const;

    // Asks each library in order; true when one computed the call.
    bool HandleCall(const QString& name, const Value& p1, const Value& p2, const Value& p3,
        Value& value) const;

private:
    TfrInstalledFunctions& m_registry;
    std::vector<std::unique_ptr<TfrFunctionLibrary>> m_libraries;
};

} // namespace vaskel
