#include "report/engine/DictionaryLookup.h"

#include "report/engine/ReportScope.h"
#include "report/expr/ExprGlobals.h"
#include "report/model/TfrDataDictionary.h"

namespace vaskel {

void DictionaryLookup::splitFieldText(const QString& text, QString& dataset, QString& field)
{
    qsizetype lastDot = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"')
            quoted = !quoted;
        else if (text.at(i) == '.' && !quoted)
            lastDot = i;
    }
    dataset = lastDot < 0 ? QString() : text.left(lastDot);
    field = text.mid(lastDot + 1);
    if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.mid(1, field.size() - 2);
}

bool DictionaryLookup::cacheIfField(const QString& name, const QString& fieldText)
{
    const FieldReference ref = ResolveFieldReference(fieldText, m_scope.Owner, m_scope.defaultDataset());
    if (!ref.dataset || ref.fieldName.isEmpty())
        return false;
    const CacheItem item{ref.dataset, ref.fieldName};
    m_cache[cacheKey(name)] = item;
    m_byName.insert(name, item);
    return true;
}

const DictionaryLookup::CacheItem* DictionaryLookup::cached(const QString& name)
{
    if (const auto spelled = m_byName.constFind(name); spelled != m_byName.constEnd())
        return &spelled.value();
    const auto folded = m_cache.find(cacheKey(name));
    if (folded == m_cache.end())
        return nullptr;
    return &m_byName.insert(name, folded->second).value();
}

bool DictionaryLookup::IsKnown(const QString& name)
{
    if (cached(name))
        return true;
    const TfrDataDictionary* dictionary = m_scope.dictionaryData();
    if (dictionary) {
        if (const Value* v = dictionary->Variables.find(name)) {
            // A variable that names a field (Q1."AMT") is read straight from the field afterwards.
            if (!v->isNull()) {
                const QString text = v->toText();
                if (text.contains('.'))
                    cacheIfField(name, text);
            }
            return true;
        }
    }
    QString text = name;
    if (name.contains('.')) {
        QString dataset;
        QString field;
        splitFieldText(name, dataset, field);
        const QString realDataset = DatasetOfAlias(dataset);
        if (realDataset != dataset)
            dataset = realDataset;
        field = FieldOfAlias(dataset, field);
        text = dataset + QStringLiteral(".\"") + field + QLatin1Char('"');
    }
    return cacheIfField(name, text);
}

Value DictionaryLookup::ValueOf(const QString& name)
{
    if (const CacheItem* item = cached(name)) {
        DatabaseDataset* dataset = item->dataset;
        if (!dataset->isActive())
            dataset->open();
        return DatabaseFieldValue(dataset->fieldByName(item->field));
    }
    const TfrDataDictionary* dictionary = m_scope.dictionaryData();
    const Value* variable = dictionary ? dictionary->Variables.find(name) : nullptr;
    if (!variable)
        return Value::null();
    ExprGlobals& globals = ExprGlobals::get();
    if (const Value* runtime = globals.runtimeVariables.find(name))
        return *runtime;
    if (variable->isString() && !variable->stringValue().isEmpty()) {
        // Copied first: evaluating may run scripts that change the dictionary.
        const QString expression = variable->stringValue();
        return globals.parser.Evaluate(expression);
    }
    return *variable;
}

QString DictionaryLookup::AliasEntry(const QString& alias, const QString& prefix) const
{
    const TfrDataDictionary* dictionary = m_scope.dictionaryData();
    if (!dictionary)
        return {};
    const TfrVariables& aliases = dictionary->AliasList;
    for (int i = 0; i < aliases.Count(); ++i) {
        const Value v = aliases.Values(i);
        if (!v.isNull() && v.toText().compare(alias, Qt::CaseInsensitive) == 0
            && aliases.Names(i).startsWith(prefix, Qt::CaseInsensitive))
            return aliases.Names(i);
    }
    return {};
}

QString DictionaryLookup::DatasetOfAlias(const QString& alias) const
{
    const QString entry = AliasEntry(alias, QString());
    return entry.isEmpty() ? alias : entry;
}

QString DictionaryLookup::FieldOfAlias(const QString& dataset, const QString& alias) const
{
    const QString entry = AliasEntry(alias, dataset);
    if (entry.isEmpty())
        return alias;
    QString entryDataset;
    QString field;
    splitFieldText(entry, entryDataset, field);
    return field;
}

} // namespace vaskel
