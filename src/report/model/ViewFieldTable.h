#pragma once
// The fields of one view kind, in the order a designer lists them, and what walks them: by-name
// reads and writes for scripts, the property table, the range checks. Each kind builds its table
// once (TfrView::Fields) from the fields every view shares and its own; the text form walks the
// same table (TemplateJson).
//
// The order of the table is the order of the property table, of the range checks (the first field
// out of range is the one reported) and of reading the text form.
#include "report/expr/Value.h"
#include "report/model/ViewField.h"

#include <vector>

namespace vaskel {

class ViewFieldTable {
public:
    // `shared`, where a field of `own` with the id (name, or key) of a shared field takes its
    // place, followed by the rest of `own` in their order.
    explicit ViewFieldTable(std::vector<ViewField> shared, std::vector<ViewField> own = {});

    const std::vector<ViewField>& fields() const { return m_fields; }

    // By name, ignoring case: false when scripts cannot write a field of that name.
    bool writeProp(TfrView& view, const QString& name, const Value& value) const;
    // Null when scripts cannot read a field of that name.
    Value readProp(const TfrView& view, const QString& name) const;
    // Fills the view's property table with the entries its kind lists.
    void buildPropertyTable(TfrView& view) const;
    // The first field out of its range, as ReportLimits words it; empty when all are within.
    QString problem(const TfrView& view) const;

private:
    const ViewField* byName(const QString& name, bool forWriting) const;

    std::vector<ViewField> m_fields;
    std::vector<QString> m_upperNames; // the names as scripts match them; empty for no name
};

// The fields every view has, listed as a memo, picture or line view lists them.
std::vector<ViewField> sharedViewFields();
// `fields` with exactly the entries named in `names` listed: for kinds that list fewer shared
// fields, or other ones.
std::vector<ViewField> listingOnly(std::vector<ViewField> fields, const std::vector<const char*>& names);
// `fields` with the entries named in `names` not listed.
std::vector<ViewField> listingWithout(std::vector<ViewField> fields, const std::vector<const char*>& names);
// The names of the frame fields, which kinds without a frame leave out of their property table.
const std::vector<const char*>& frameFieldNames();

} // namespace vaskel
