#include "report/engine/TDatabaseFunctionLibrary.h"

#include "report/engine/DictionaryLookup.h"
#include "report/engine/ReportScope.h"
#include "report/expr/ExprGlobals.h"

namespace vaskel {

TDatabaseFunctionLibrary::TDatabaseFunctionLibrary()
{
    FunctionNames = QStringList{"FIELDISNULL"};
    AddDescription(QStringLiteral("FIELDISNULL"), LoadStr(55620), LoadStr(55621));
}

TDatabaseFunctionLibrary* TDatabaseFunctionLibrary::RegisterAtStartUp(FunctionLibraryList& libraries)
{
    libraries.RegisterLibrary<TDatabaseFunctionLibrary>();
    return dynamic_cast<TDatabaseFunctionLibrary*>(libraries.Find(QString::fromLatin1(kClassName)));
}

void TDatabaseFunctionLibrary::Compute(
    int /*index*/, const Value& p1, const Value& /*p2*/, const Value& /*p3*/, Value& value)
{
    value = Value::smallInt(0);
    const QString reference = ExprGlobals::get().parser.Evaluate(p1.stringValue()).toText();
    DatabaseDataset* defaultDataset = nullptr;
    if (Scope && Scope->UseDefaultDataSetName)
        defaultDataset = Scope->defaultDataset();
    const FieldReference ref
        = ResolveFieldReference(reference, Scope ? Scope->Owner : nullptr, defaultDataset);
    if (!ref.dataset) {
        value = Value::boolean(true);
        return;
    }
    if (ref.fieldName.isEmpty()) {
        // The dataset says which field it does not have.
        QString datasetPart;
        QString field;
        DictionaryLookup::splitFieldText(reference, datasetPart, field);
        value = Value::boolean(ref.dataset->fieldByName(field).isNull());
        return;
    }
    value = Value::boolean(ref.dataset->fieldByName(ref.fieldName).isNull());
}

} // namespace vaskel
