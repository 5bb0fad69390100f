#pragma once
// The lookup chain of a running report: every name an expression mentions goes through
// `ResolveName`. In order: the report's OnGetValue event, the data dictionary (variables and
// fields), the system variables (PAGE#, DATE, LINE# …, report information), run-time variables,
// then the page position names (CURY, FREESPACE …), object properties (Memo1.Left) and constants,
// and as the last resort the name evaluated as an expression, which is how a bracket such as
// [Price * 2] gets its value. A name that nothing knows raises "Undefined symbol".
//
// The system variable names compare exactly, in upper case, as the parser passes bare names; a
// bracket written in another case (page#) reaches them through the expression fallback.
#include "report/expr/Value.h"

#include <QString>

namespace vaskel {

class ReportScope;

class NameLookup {
public:
    explicit NameLookup(ReportScope& scope) : m_scope(scope) { }

    Value ResolveName(const QString& name);

private:
    // True when `name` is a system variable of the first stage of the chain (page and line
    // numbers, dates, the view's own value and the like), with its value in `value`.
    bool systemVariable(const QString& name, Value& value) const;
    // The page position names of the second stage.
    bool pageVariable(const QString& name, Value& value) const;
    bool objectProperty(const QString& name, Value& value) const;

    ReportScope& m_scope;
};

} // namespace vaskel
