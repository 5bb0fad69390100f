#pragma once
// The database function library: FIELDISNULL(field) tells whether a dataset field of the running
// report is null. It reads through the report scope that installed itself last; without one
// every field reference finds no dataset. Registered second, after the standard library.
#include "report/expr/FunctionLibraryList.h"

namespace vaskel {

class ReportScope;

class TDatabaseFunctionLibrary : public TfrFunctionLibrary {
public:
    static constexpr auto kClassName = "TDatabaseFunctionLibrary";

    TDatabaseFunctionLibrary();

    QString ClassName() const override { return QString::fromLatin1(kClassName); }
    void Compute(
        int index, const Value& p1, const Value& p2, const Value& p3, Value& value) override;

    // The report whose datasets FIELDISNULL reads (not owned); the scope sets and clears it.
    ReportScope* Scope = nullptr;

    // The engine's libraries at start-up (after the standard library of the engine globals):
    // registers this library unless it is present. Returns the registered instance.
    static TDatabaseFunctionLibrary* RegisterAtStartUp(FunctionLibraryList& libraries);
};

} // namespace vaskel
