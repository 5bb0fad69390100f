#include "report/engine/ReportScope.h"

#include "report/engine/PageFormationState.h"
#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/engine/TfrBand.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

namespace vaskel {

ReportScope::ReportScope()
{
    CalcWidth = [](TfrView& view) {
        auto* memo = dynamic_cast<TfrMemoView*>(&view);
        return memo ? memo->CalcWidth() : view.Width;
    };
}

ReportScope::~ReportScope()
{
    uninstall();
    if (TfrGlobals::exists()) {
        // The database library must not keep reading through a scope that is gone.
        auto* db = dynamic_cast<TDatabaseFunctionLibrary*>(
            TfrGlobals::get().libraries.Find(QString::fromLatin1(TDatabaseFunctionLibrary::kClassName)));
        if (db && db->Scope == this)
            db->Scope = nullptr;
    }
}

void ReportScope::install(TfrParser& parser)
{
    uninstall();
    parser.LookupName = [this](const QString& name, Value& value) { value = ResolveName(name); };
    parser.CallFunction
        = [this](const QString& name, const Value& p1, const Value& p2, const Value& p3,
              Value& value) { CallReportFunction(name, p1, p2, p3, value); };
    m_installedParser = &parser;
    ExprGlobals& globals = TfrGlobals::get();
    globals.aggregateHook = &m_aggregates;
    if (TDatabaseFunctionLibrary* db = TDatabaseFunctionLibrary::RegisterAtStartUp(globals.libraries))
        db->Scope = this;
    m_dictionary.DropCache();
}

void ReportScope::uninstall()
{
    if (!TfrGlobals::exists())
        return;
    ExprGlobals& globals = TfrGlobals::get();
    // Another scope may have installed itself since; its callbacks stay.
    if (globals.aggregateHook != &m_aggregates)
        return;
    globals.aggregateHook = nullptr;
    if (m_installedParser) {
        m_installedParser->LookupName = nullptr;
        m_installedParser->CallFunction = nullptr;
        m_installedParser = nullptr;
    }
}

TfrPages* ReportScope::pages() const
{
    return Template ? &Template->Pages : nullptr;
}

TfrDataDictionary* ReportScope::dictionaryData() const
{
    return Template ? &Template->Dictionary : nullptr;
}

std::optional<int> ReportScope::currentBandKind() const
{
    const TfrBand* band = TfrGlobals::get().run.CurrentBand;
    if (!band)
        return std::nullopt;
    return band->Kind;
}

TfrDataset* ReportScope::firstBandDataset(int bandKind) const
{
    const TfrBand* band = PageState ? PageState->FirstBandOfKind(bandKind) : nullptr;
    return band ? band->Dataset : nullptr;
}

} // namespace vaskel
