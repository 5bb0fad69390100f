#pragma once
// The expression layer's share of the engine-globals object: the string loader and the one
// expression parser of the process; the script interpreter, run-time variables, constants and
// function libraries join it as they are built. Reached through `ExprGlobals::get()` while a `TfrGlobals`
// exists.
#include "platform/PlatformGlobals.h"
#include "report/expr/FunctionLibraryList.h"
#include "report/expr/TfrInstalledFunctions.h"
#include "report/expr/TfrLocale.h"
#include "report/expr/TfrParser.h"
#include "report/expr/TfrVariables.h"

namespace vaskel {

class AggregateHook;

class ExprGlobals : public PlatformGlobals {
public:
    ExprGlobals();
    ~ExprGlobals() override;

    static ExprGlobals& get();

    TfrLocale strings;
    // The report installs its name lookup and function handler as the callbacks before each run.
    TfrParser parser;
    // Variables that scripts create while a report runs (sorted; names ignore case).
    TfrVariables runtimeVariables;
    // The named constants every expression can use (clRed, CRLF, mrOk …), filled at start-up.
    TfrVariables constants;
    // Descriptions of the available functions, for tools that list them.
    TfrInstalledFunctions installedFunctions;
    // The registered function libraries; the standard library is registered first at start-up.
    FunctionLibraryList libraries{installedFunctions};
    // Where the standard library's aggregate calls go: the running report installs itself (not
    // owned); without a report they yield "0".
    AggregateHook* aggregateHook = nullptr;

private:
    ExprGlobals* m_previous = nullptr;
};

// Shorthand for the string loader of the current globals.
inline QString LoadStr(int number)
{
    return ExprGlobals::get().strings.LoadString(number);
}

} // namespace vaskel
