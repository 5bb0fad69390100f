#pragma once
// The root of every report object: a property table and the by-name interface through which
// scripts and expressions read and write properties (`WriteProp`, `ReadProp`, `CallMethod`).
// Names are compared after upper-casing; an unknown name is ignored when written and reads as
// Null. Views answer from their kind's field table (TfrView::Fields), which also fills their
// property table; pages answer themselves. The property table is built lazily (first by-name lookup through
// FindObjectProperty) and rebuilt by each BuildPropertyTable call.
#include "report/expr/Value.h"
#include "report/model/TfrPropRec.h"

#include <vector>

namespace vaskel {

class TfrObject {
public:
    TfrObject() = default;
    virtual ~TfrObject() = default;
    TfrObject(const TfrObject&) = delete;
    TfrObject& operator=(const TfrObject&) = delete;

    virtual void WriteProp(const QString& name, const Value& value);
    virtual Value ReadProp(const QString& name);
    virtual Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c);
    virtual void BuildPropertyTable() { ClearPropertyTable(); }

    const std::vector<TfrPropRec>& PropertyTable() const { return m_propertyTable; }
    void ClearPropertyTable() { m_propertyTable.clear(); }
    void AppendProperty(const QString& name, quint16 typeFlags);
    // `names` is one ";"-separated text; the kind flags become Enumeration.
    void AppendEnumProperty(const QString& name, const QString& names, std::optional<QList<qint32>> values);

    // First entry whose name equals `name` ignoring case, or null.
    const TfrPropRec* LookupProperty(const QString& name) const;

private:
    std::vector<TfrPropRec> m_propertyTable;
};

} // namespace vaskel
