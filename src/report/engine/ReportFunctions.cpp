#include "report/engine/ReportFunctions.h"

#include "report/engine/PageFormationState.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TfrBand.h"
#include "report/expr/ValueOperators.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewLookup.h"

namespace vaskel {

namespace {

Value evaluate(const Value& argument)
{
    return ExprGlobals::get().parser.Evaluate(argument.stringValue());
}

// An argument used as a name: its text without the blanks around it.
QString nameArgument(const Value& argument)
{
    return argument.stringValue().trimmed();
}

} // namespace

void ReportFunctions::CallReportFunction(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    value = Value(QStringLiteral("0"));
    if (TfrGlobals::get().libraries.HandleCall(name, p1, p2, p3, value))
        return;
    if (!reportFunction(name, p1, p2, p3, value))
        objectMethod(name, p1, p2, p3, value);
    if (m_scope.OnUserFunction)
        m_scope.OnUserFunction(name, p1, p2, p3, value);
}

QString ReportFunctions::arrayElementName(const QString& array, const Value& index)
{
    const QString indexText = index.isString() ? index.stringValue() : QString::number(index.toInt());
    return QStringLiteral("Arr_") + array + QLatin1Char('_') + indexText;
}

bool ReportFunctions::reportFunction(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    TfrBand* band = TfrGlobals::get().run.CurrentBand;
    if (name == QLatin1String("STOPREPORT")) {
        m_scope.StopRequested = true;
    } else if (name == QLatin1String("NEWPAGE")) {
        if (band)
            ++band->NewPageRequests;
    } else if (name == QLatin1String("NEWCOLUMN")) {
        if (band)
            ++band->NewColumnRequests;
    } else if (name == QLatin1String("SHOWBAND")) {
        if (m_scope.PageState)
            m_scope.PageState->ShowBandByName(nameArgument(p1));
    } else if (name == QLatin1String("INC")) {
        step(nameArgument(p1), 1);
    } else if (name == QLatin1String("DEC")) {
        step(nameArgument(p1), -1);
    } else if (name == QLatin1String("SETARRAY")) {
        const Value index = evaluate(p2);
        setArray(nameArgument(p1), index, evaluate(p3));
    } else if (name == QLatin1String("GETARRAY")) {
        value = getArray(nameArgument(p1), evaluate(p2));
    } else {
        return false;
    }
    return true;
}

void ReportFunctions::objectMethod(
    const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    const TfrPages none;
    const TfrPages* pages = m_scope.pages();
    const ObjectProperty found
        = FindObjectProperty(name, pages ? *pages : none, TfrGlobals::get().run.CurrentView);
    if (found.object)
        value = found.object->CallMethod(found.property, p1, p2, p3);
}

void ReportFunctions::step(const QString& name, int delta)
{
    const Value current = m_scope.ResolveName(name);
    const Value next = ValueOps::binary(ValueOps::Binary::Add, current, Value::integer(delta));
    if (m_scope.AssignValue)
        m_scope.AssignValue(name, next);
    else
        TfrGlobals::get().runtimeVariables.SetValue(name, next);
}

void ReportFunctions::setArray(const QString& array, const Value& index, const Value& element)
{
    if (!array.contains('.')) {
        TfrGlobals::get().runtimeVariables.SetValue(arrayElementName(array, index), element);
        return;
    }
    const TfrPages none;
    const TfrPages* pages = m_scope.pages();
    const ObjectProperty found
        = FindObjectProperty(array, pages ? *pages : none, TfrGlobals::get().run.CurrentView);
    if (found.object)
        found.object->CallMethod(
            QStringLiteral("SETINDEXPROPERTY"), Value(found.property.toUpper()), index, element);
}

Value ReportFunctions::getArray(const QString& array, const Value& index)
{
    if (!array.contains('.')) {
        const Value* element = TfrGlobals::get().runtimeVariables.find(arrayElementName(array, index));
        return element ? *element : Value::null();
    }
    const TfrPages none;
    const TfrPages* pages = m_scope.pages();
    const ObjectProperty found
        = FindObjectProperty(array, pages ? *pages : none, TfrGlobals::get().run.CurrentView);
    if (!found.object)
        return Value(QStringLiteral("0"));
    return found.object->CallMethod(
        QStringLiteral("GETINDEXPROPERTY"), Value(found.property.toUpper()), index, {});
}

} // namespace vaskel
