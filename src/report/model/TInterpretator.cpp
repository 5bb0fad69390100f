#include "report/model/TInterpretator.h"

#include "report/model/TfrDataDictionary.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewLookup.h"

namespace vaskel {

void TInterpretator::ReadValue(const QString& name, Value& value)
{
    const TfrParser& global = ExprGlobals::get().parser;
    if (global.LookupName)
        global.LookupName(name, value);
    else
        value = Value(); // as the parser reads a name nobody answers
}

void TInterpretator::CallScriptFunction(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    const TfrParser& global = ExprGlobals::get().parser;
    if (global.CallFunction)
        global.CallFunction(name, p1, p2, p3, value);
    else
        value = Value();
}

void TInterpretator::AssignValue(const QString& name, const Value& value)
{
    TfrGlobals& g = TfrGlobals::get();
    if (Value* variable = g.runtimeVariables.find(name)) {
        *variable = value;
        return;
    }
    if (Dictionary) {
        const bool known = DictionaryKnows ? DictionaryKnows(name) : Dictionary->Variables.contains(name);
        if (known) {
            // The value replaces the variable's expression; a string is read as an expression again.
            Dictionary->Variables.SetValue(name, value);
            return;
        }
    }
    const RunState& run = g.run;
    if (name.compare(QLatin1StringView("MODALRESULT"), Qt::CaseInsensitive) == 0) {
        if (run.CurrentPage && run.CurrentPage->PageKind == ptDialog && SetModalResult)
            SetModalResult(value.toInt());
        return;
    }
    if (name.compare(QLatin1StringView("CURY"), Qt::CaseInsensitive) == 0) {
        const qint32 y = value.toInt();
        if (run.CurrentPage && SetCurY)
            SetCurY(y);
        return;
    }
    if (name.compare(QLatin1StringView("PROGRESS"), Qt::CaseInsensitive) == 0) {
        const QString text = value.toText();
        if (ShowProgress)
            ShowProgress(text);
        return;
    }
    const TfrPages noPages;
    const ObjectProperty target = FindObjectProperty(name, Pages ? *Pages : noPages, run.CurrentView);
    if (target.object && target.object->LookupProperty(target.property)) {
        target.object->WriteProp(target.property, value);
        return;
    }
    g.runtimeVariables.SetValue(name, value);
}

} // namespace vaskel
