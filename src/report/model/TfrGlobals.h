#pragma once
// The one engine-globals object: created at program start, destroyed at exit; each test creates a
// fresh one. It holds the run state and, through its bases, the string loader, locale settings,
// UI services and code page; the parser, interpreter, variable lists, function libraries, printer
// model and page compressor join it as they are built. No other mutable global state exists.
#include "report/expr/ExprGlobals.h"
#include "report/model/TfrRunState.h"

namespace vaskel {

class TfrGlobals : public ExprGlobals {
public:
    TfrGlobals();
    ~TfrGlobals() override;

    static TfrGlobals& get();
    static bool exists();

    TfrRunState run;

private:
    TfrGlobals* m_previous = nullptr;
};

// Shorthand for the run state of the current globals.
inline TfrRunState& frRun()
{
    return TfrGlobals::get().run;
}

} // namespace vaskel
