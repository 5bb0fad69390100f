#pragma once
// The description registry of the available functions: one entry per function name with the
// library that answers it, a category and a description ("FIELDISNULL(<FieldName>)/Returns 'true'
// if DB-field is null": call syntax, "/", explanation). Tools that list functions read it; calls
// never consult it. Libraries fill it when they are registered and their entries go when they are
// unregistered.
#include <QString>

#include <vector>

namespace vaskel {

class TfrInstalledFunctions {
public:
    struct Entry {
        QString libraryClass; // class name of the library that added the entry
        QString name;
        QString category;
        QString description;
    };

    // Ignores an entry with an empty category and a name that is already present (exact
    // comparison): the first library to describe a name keeps it.
    void Add(const QString& libraryClass, const QString& name, const QString& category,
        const QString& description);
    // Removes every entry of libraries with that class name.
    void RemoveLibrary(const QString& libraryClass);

    int Count() const { return static_cast<int>(m_entries.size()); }
    const Entry& At(int index) const { return m_entries.at(static_cast<size_t>(index)); }
    // The entry of that name, or none.
    const Entry* Find(const QString& name) const;

private:
    std::vector<Entry> m_entries;
};

} // namespace vaskel
