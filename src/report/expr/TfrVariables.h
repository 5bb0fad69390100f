#pragma once
// The name/value list the engine keeps its named values in: report variables, the dictionary, the
// global constants and the per-band aggregate tables. Names compare without regard to case. In
// sorted mode the entries stay in ascending name order and lookups are binary searches; in unsorted
// mode they stay in insertion order. The list owns its Values: setting copies the value in.
//
// Entries live at stable addresses until they are deleted, so `find` may hand out a pointer that
// survives later additions.
#include "report/expr/Value.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace vaskel {

class TfrVariables {
public:
    TfrVariables() = default;
    TfrVariables(const TfrVariables& other);
    TfrVariables& operator=(const TfrVariables& other);
    TfrVariables(TfrVariables&&) noexcept = default;
    TfrVariables& operator=(TfrVariables&&) noexcept = default;
    ~TfrVariables();

    // Replaces the value of an existing name, otherwise adds an entry (in order when sorted).
    void SetValue(const QString& name, const Value& value);
    // A copy of the value; null for a name that is not in the list.
    Value GetValue(const QString& name) const;
    // 0-based index, -1 when absent.
    int IndexOf(const QString& name) const;
    int Count() const { return static_cast<int>(m_entries.size()); }

    // By index: "" / small integer 0 out of range on reading, ignored out of range on writing.
    QString Names(int index) const;
    void SetNames(int index, const QString& name);
    Value Values(int index) const;
    void SetValues(int index, const Value& value);

    void Delete(int index); // ignored out of range
    void Clear(); // deletes every entry, first to last
    void SetSorted(bool sorted); // switching on sorts the entries
    bool Sorted() const { return m_sorted; }

    // The stored value, or nullptr when the name is absent.
    Value* find(const QString& name);
    const Value* find(const QString& name) const;
    bool contains(const QString& name) const { return IndexOf(name) >= 0; }

    // The name comparison of the list: case-insensitive, the same order sorted mode keeps.
    static int compareNames(const QString& a, const QString& b);

private:
    struct Entry {
        QString name;
        Value value;
    };
    // Sorted mode: the index where `name` is or would be inserted, and whether it is there.
    int lowerBound(const QString& name, bool* found) const;
    void sortEntries();
    // Unsorted mode searches a hash of the case-folded names (first entry of each name), built on
    // the first search after a change that moves or renames entries: a dictionary of 40,000
    // variables reads in linear time.
    void dropIndex() { m_indexed = false; }

    std::vector<std::unique_ptr<Entry>> m_entries;
    bool m_sorted = false;
    mutable QHash<QString, int> m_index;
    mutable bool m_indexed = false;
};

} // namespace vaskel
