#include "report/engine/NameLookup.h"

#include "report/engine/PageFormationState.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TfrBand.h"
#include "report/expr/ExprErrors.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/model/ViewLookup.h"

namespace vaskel {

namespace {

// The band whose line counters LINE# and LINETHROUGH# read: a band without a dataset of its own
// (a second data band of the same kind printing with the first) counts with the band before it.
const TfrBand* countingBand(const TfrBand* band)
{
    while (band && !band->Dataset && band->PrevOfKind)
        band = band->PrevOfKind;
    return band;
}

} // namespace

Value NameLookup::ResolveName(const QString& name)
{
    Value value;
    if (m_scope.OnGetValue) {
        m_scope.OnGetValue(name, value);
        if (!value.isEmpty())
            return value;
    }
    if (m_scope.dictionary().IsKnown(name))
        return m_scope.dictionary().ValueOf(name);
    if (systemVariable(name, value))
        return value;
    TfrGlobals& globals = TfrGlobals::get();
    if (const Value* runtime = globals.runtimeVariables.find(name))
        return *runtime;

    value = Value();
    if (!pageVariable(name, value) && !objectProperty(name, value)) {
        if (const Value* constant = globals.constants.find(name))
            value = *constant;
    }
    if (!value.isEmpty())
        return value;

    // Nothing stores the name: evaluate it as an expression, whose own names come back here one
    // by one. A name that comes back while it is itself being evaluated is unknown. The guard is
    // cleared only when the evaluation succeeds: after an error it still names the culprit.
    QString& guard = globals.run.RecursionGuard;
    if (name != guard) {
        guard = name;
        value = globals.parser.Evaluate(name);
        guard.clear();
        return value;
    }
    if (!globals.run.RegisteringAggregates)
        throw EParserError(LoadStr(55439) + QStringLiteral(" \"") + name + QLatin1Char('"'));
    return value;
}

bool NameLookup::systemVariable(const QString& name, Value& value) const
{
    const RunState& run = TfrGlobals::get().run;
    const TemplateHolder* holder = m_scope.Template;
    if (name == QLatin1String("VALUE")) {
        value = run.MemoValue;
    } else if (name == QLatin1String("PAGE#")) {
        value = Value::integer(run.PageNumber + 1);
    } else if (name == QLatin1String("DATE")) {
        value = Value::dateTime(run.RunDate);
    } else if (name == QLatin1String("TIME")) {
        value = Value::dateTime(run.RunTime);
    } else if (name == QLatin1String("LINE#") || name == QLatin1String("LINETHROUGH#")) {
        const TfrBand* band = countingBand(run.CurrentBand);
        qint32 n = 0;
        if (band)
            n = name == QLatin1String("LINE#") ? band->LineNumber : band->LineThrough;
        value = Value::integer(n);
    } else if (name == QLatin1String("COLUMN#")) {
        value = Value::integer(m_scope.PageState ? m_scope.PageState->ColumnNumber() : 0);
    } else if (name == QLatin1String("CURRENT#")) {
        value = Value::integer(m_scope.PageState ? m_scope.PageState->CurrentRecord() : 0);
    } else if (name == QLatin1String("TOTALPAGES")) {
        value = Value::integer(run.TotalPages);
    } else if (name == QLatin1String("REPORTCOMMENT")) {
        value = Value(holder ? holder->Info.Comment : QString());
    } else if (name == QLatin1String("REPORTNAME")) {
        value = Value(holder ? holder->Info.Name : QString());
    } else if (name == QLatin1String("REPORTAUTOR")) {
        value = Value(holder ? holder->Info.Author : QString());
    } else if (name == QLatin1String("VMAJOR")) {
        value = Value(holder ? holder->Info.VersionMajor : QString());
    } else if (name == QLatin1String("VMINOR")) {
        value = Value(holder ? holder->Info.VersionMinor : QString());
    } else if (name == QLatin1String("VRELEASE")) {
        value = Value(holder ? holder->Info.VersionRelease : QString());
    } else if (name == QLatin1String("VBUILD")) {
        value = Value(holder ? holder->Info.VersionBuild : QString());
    } else if (name == QLatin1String("REPORTDATE")) {
        value = Value::dateTime(holder ? holder->Info.Created : 0);
    } else if (name == QLatin1String("REPORTLASTCHANGE")) {
        value = Value::dateTime(holder ? holder->Info.LastChanged : 0);
    } else if (name == QLatin1String("CALCWIDTH")) {
        TfrView* view = run.CurrentView;
        qint32 width = 0;
        if (view)
            width = dynamic_cast<TfrMemoView*>(view) && m_scope.CalcWidth ? m_scope.CalcWidth(*view)
                                                                          : view->Width;
        value = Value::integer(width);
    } else {
        return false;
    }
    return true;
}

bool NameLookup::pageVariable(const QString& name, Value& value) const
{
    const RunState& run = TfrGlobals::get().run;
    const PageFormationState* state = m_scope.PageState;
    // Without a page being formed the positions read as on an untouched page.
    const qint32 curY = state ? state->CurY() : 0;
    const qint32 bottomY = state ? state->BottomY() : (run.CurrentPage ? run.CurrentPage->BottomLimit() : 0);
    if (name == QLatin1String("CURY"))
        value = Value::integer(curY);
    else if (name == QLatin1String("FREESPACE"))
        value = Value::integer(bottomY - curY);
    else if (name == QLatin1String("FINALPASS"))
        value = Value::boolean(m_scope.FinalPass);
    else if (name == QLatin1String("PAGEHEIGHT"))
        value = Value::integer(bottomY);
    else if (name == QLatin1String("PAGEWIDTH"))
        value = Value::integer(run.CurrentPage ? run.CurrentPage->RightLimit() : 0);
    else
        return false;
    return true;
}

bool NameLookup::objectProperty(const QString& name, Value& value) const
{
    const TfrPages* pages = m_scope.pages();
    TfrView* current = TfrGlobals::get().run.CurrentView;
    if (!pages && !current)
        return false;
    const TfrPages none;
    const ObjectProperty found = FindObjectProperty(name, pages ? *pages : none, current);
    if (!found.object || !found.object->LookupProperty(found.property))
        return false;
    value = found.object->ReadProp(found.property);
    return true;
}

} // namespace vaskel
