#include "report/expr/TfrVariables.h"

#include <algorithm>

namespace vaskel {

TfrVariables::TfrVariables(const TfrVariables& other) : m_sorted(other.m_sorted)
{
    m_entries.reserve(other.m_entries.size());
    for (const auto& e : other.m_entries)
        m_entries.push_back(std::make_unique<Entry>(*e));
}

TfrVariables& TfrVariables::operator=(const TfrVariables& other)
{
    if (this != &other) {
        TfrVariables copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TfrVariables::~TfrVariables()
{
    Clear();
}

int TfrVariables::compareNames(const QString& a, const QString& b)
{
    // Case folding without collation: the same order on every machine, so a sorted list written
    // on one locale is searched correctly on another.
    return QString::compare(a, b, Qt::CaseInsensitive);
}

int TfrVariables::lowerBound(const QString& name, bool* found) const
{
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compareNames(m_entries[mid]->name, name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    *found = lo < Count() && compareNames(m_entries[lo]->name, name) == 0;
    return lo;
}

int TfrVariables::IndexOf(const QString& name) const
{
    if (m_sorted) {
        bool found = false;
        const int i = lowerBound(name, &found);
        return found ? i : -1;
    }
    if (!m_indexed) {
        m_index.clear();
        m_index.reserve(Count());
        for (int i = 0; i < Count(); ++i)
            if (const QString key = m_entries[i]->name.toCaseFolded(); !m_index.contains(key))
                m_index.insert(key, i);
        m_indexed = true;
    }
    return m_index.value(name.toCaseFolded(), -1);
}

void TfrVariables::SetValue(const QString& name, const Value& value)
{
    if (m_sorted) {
        bool found = false;
        const int i = lowerBound(name, &found);
        if (found)
            m_entries[i]->value = value;
        else
            m_entries.insert(m_entries.begin() + i, std::make_unique<Entry>(Entry{name, value}));
        return;
    }
    const int i = IndexOf(name);
    if (i >= 0) {
        m_entries[i]->value = value;
        return;
    }
    m_entries.push_back(std::make_unique<Entry>(Entry{name, value}));
    m_index.insert(name.toCaseFolded(), Count() - 1);
}

Value TfrVariables::GetValue(const QString& name) const
{
    const Value* v = find(name);
    return v ? *v : Value::null();
}

Value* TfrVariables::find(const QString& name)
{
    const int i = IndexOf(name);
    return i >= 0 ? &m_entries[i]->value : nullptr;
}

const Value* TfrVariables::find(const QString& name) const
{
    const int i = IndexOf(name);
    return i >= 0 ? &m_entries[i]->value : nullptr;
}

QString TfrVariables::Names(int index) const
{
    return index >= 0 && index < Count() ? m_entries[index]->name : QString();
}

void TfrVariables::SetNames(int index, const QString& name)
{
    if (index < 0 || index >= Count())
        return;
    m_entries[index]->name = name;
    dropIndex();
    // A renamed entry moves to its place, so binary searches keep finding every name.
    if (m_sorted)
        sortEntries();
}

Value TfrVariables::Values(int index) const
{
    return index >= 0 && index < Count() ? m_entries[index]->value : Value::smallInt(0);
}

void TfrVariables::SetValues(int index, const Value& value)
{
    if (index >= 0 && index < Count())
        m_entries[index]->value = value;
}

void TfrVariables::Delete(int index)
{
    if (index >= 0 && index < Count()) {
        m_entries.erase(m_entries.begin() + index);
        dropIndex();
    }
}

void TfrVariables::Clear()
{
    for (auto& e : m_entries)
        e.reset();
    m_entries.clear();
    m_index.clear();
    m_indexed = true;
}

void TfrVariables::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        sortEntries();
    m_sorted = sorted;
    dropIndex();
}

void TfrVariables::sortEntries()
{
    dropIndex();
    std::stable_sort(m_entries.begin(), m_entries.end(),
        [](const auto& a, const auto& b) { return compareNames(a->name, b->name) < 0; });
}

} // namespace vaskel
