#pragma once
// The script interpreter connected to the running report: script expressions read names through
// the report's lookup chain and call functions through its function handler (both are the global
// parser's callbacks, which the report installs before a run), and assignments go, in this order,
// to a run-time variable that exists, a variable of the report's dictionary, the special names
// MODALRESULT, CURY and PROGRESS, a property of a report object, and otherwise to a new run-time
// variable. The one instance lives in the engine globals.
//
// What belongs to the report component or the layout engine (the dictionary, the template pages,
// the dialog window, the page position, the progress window) is reached through the members below,
// which the report component sets when a run starts. Unset, that step is skipped.
#include "report/expr/TfrInterpretator.h"

#include <functional>

namespace vaskel {

class TfrDataDictionary;
class TfrPages;

class TInterpretator : public TfrInterpretator {
public:
    void ReadValue(const QString& name, Value& value) override;
    void AssignValue(const QString& name, const Value& value) override;
    void CallScriptFunction(const QString& name, const Value& p1, const Value& p2, const Value& p3,
        Value& value) override;

    // The running report's dictionary and template pages; not owned.
    TfrDataDictionary* Dictionary = nullptr;
    const TfrPages* Pages = nullptr;
    // Whether the dictionary knows a name (a report variable or a name that resolves to a dataset
    // field). Unset: the dictionary's own variables decide.
    std::function<bool(const QString& name)> DictionaryKnows;
    // The modal result of the current dialog page's window; called only while `CurrentPage` is a
    // dialog page.
    std::function<void(qint32 result)> SetModalResult;
    // Moves `CurY` of the current page (report units) and, when the current band has page or
    // column breaks pending, makes the band keep that position across them. Called only while
    // there is a current page.
    std::function<void(qint32 y)> SetCurY;
    // Shows the text in the progress window and lets pending window messages run.
    std::function<void(const QString& text)> ShowProgress;
};

} // namespace vaskel
