#pragma once
// The report's function handler: every call the parser does not evaluate itself. The registered
// libraries are asked first (the first that knows the name computes it); otherwise the report's
// own functions (STOPREPORT, NEWPAGE, NEWCOLUMN, SHOWBAND, INC, DEC, SETARRAY, GETARRAY) or a
// method of a report object (Memo1.ADD); then the report's OnUserFunction event may change the
// value. A call that nothing answers yields the string "0".
//
// Run-time arrays are plain run-time variables: element i of array A is "Arr_A_i", with a numeric
// index written as its integer value, so A[2] and A[2.0] are the same element.
#include "report/expr/Value.h"

#include <QString>

namespace vaskel {

class ReportScope;

class ReportFunctions {
public:
    explicit ReportFunctions(ReportScope& scope) : m_scope(scope) { }

    void CallReportFunction(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value);

    // The run-time variable name of an array element.
    static QString arrayElementName(const QString& array, const Value& index);

private:
    // True when `name` is one of the report's own functions.
    bool reportFunction(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value);
    void objectMethod(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value);
    void step(const QString& name, int delta);
    void setArray(const QString& array, const Value& index, const Value& element);
    Value getArray(const QString& array, const Value& index);

    ReportScope& m_scope;
};

} // namespace vaskel
