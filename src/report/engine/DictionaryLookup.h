#pragma once
// The report's data dictionary as the value lookup asks it: whether a name is a report variable
// or a dataset field (`IsKnown`), its value (`ValueOf`), and the undoing of aliases. Every name
// that resolves to a field is remembered in a cache, so that during a run a field is resolved
// once and afterwards read directly; the cache is emptied when a run starts, because the datasets
// behind it may change between runs.
#include "report/expr/Value.h"

#include <QString>

#include <QHash>

#include <map>

namespace vaskel {

class DatabaseDataset;
class ReportScope;

class DictionaryLookup {
public:
    explicit DictionaryLookup(ReportScope& scope) : m_scope(scope) { }

    bool IsKnown(const QString& name);
    // The field's value (the dataset opened if closed), else the variable's: a run-time variable
    // of the same name wins, and a non-empty text is an expression evaluated on each read. Null
    // for a name the dictionary does not know.
    Value ValueOf(const QString& name);

    // The real dataset name behind an alias; the alias itself when no alias entry has it.
    QString DatasetOfAlias(const QString& alias) const;
    // The real field name behind a field alias of that dataset; the alias itself otherwise.
    QString FieldOfAlias(const QString& dataset, const QString& alias) const;

    void DropCache()
    {
        m_cache.clear();
        m_byName.clear();
    }
    int CacheCount() const { return static_cast<int>(m_cache.size()); }

    // Splits a field text at its last "." outside double quotes, quotes around the field removed.
    // No dot: the dataset part is empty and the whole text is the field.
    static void splitFieldText(const QString& text, QString& dataset, QString& field);

private:
    // The name of the first alias entry whose value is `alias` and whose name starts with `prefix`;
    // empty when there is none.
    QString AliasEntry(const QString& alias, const QString& prefix) const;
    struct CacheItem {
        DatabaseDataset* dataset; // not owned; valid for the run the cache was filled in
        QString field;
    };
    static QString cacheKey(const QString& name) { return name.toCaseFolded(); }
    // The cached item of `name`; null when the name is not cached. The name as the expression
    // spells it is looked up first, so a run case-folds each spelling once, not on every read.
    const CacheItem* cached(const QString& name);
    // Resolves a field text against the default dataset and caches `name` when it is a field.
    bool cacheIfField(const QString& name, const QString& fieldText);

    ReportScope& m_scope;
    std::map<QString, CacheItem> m_cache; // keyed by the case-folded name
    QHash<QString, CacheItem> m_byName; // the same items keyed by the spellings met so far
};

} // namespace vaskel
