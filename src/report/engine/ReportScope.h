#pragma once
// What a report contributes to the evaluation of its expressions while it runs: the lookup of
// names (`ResolveName`), the function handler (`CallReportFunction`) with the report's own
// functions, and the aggregates of its bands. The report component holds one scope and installs it
// as the parser's two callbacks at the start of every run; until then tools and tests hold one
// directly. The scope does not own the template, the dataset owner or the page state it reads:
// their owners set them and keep them alive while the scope is installed.
//
// Hooks stand where code of other parts of the engine is called: the script interpreter's
// assignment (INC, DEC), the memo's width measuring (CALCWIDTH) and the script function
// collector (aggregate registration). A hook that is not set falls back to a plain behaviour,
// documented at each.
#include "report/engine/DictionaryLookup.h"
#include "report/engine/NameLookup.h"
#include "report/engine/ReportAggregates.h"
#include "report/engine/ReportFunctions.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "report/expr/TfrVariables.h"

#include <functional>

namespace vaskel {

class PageFormationState;
class TemplateHolder;
class TfrDataDictionary;
class TfrPages;
class TfrParser;
class TfrView;

class ReportScope : public DefaultDatasetContext {
public:
    ReportScope();
    ~ReportScope() override;
    ReportScope(const ReportScope&) = delete;
    ReportScope& operator=(const ReportScope&) = delete;

    TemplateHolder* Template = nullptr; // not owned: pages, dictionary, report information
    const DatasetComponentOwner* Owner = nullptr; // not owned: where datasets are found by name
    TfrDataset* Dataset = nullptr; // not owned: the report's own dataset
    bool UseDefaultDataSetName = false;
    PageFormationState* PageState = nullptr; // not owned: the page being formed, if any
    bool StopRequested = false; // set by STOPREPORT; the run ends after the current step
    bool FinalPass = false;

    // Asked first for every name; a value left empty lets the lookup go on.
    std::function<void(const QString& name, Value& value)> OnGetValue;
    // Called after every function call the libraries do not answer, with the argument texts; may
    // change the value.
    std::function<void(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)>
        OnUserFunction;

    // The script interpreter's assignment of a value to a name. Unset: the name becomes a run-time
    // variable.
    std::function<void(const QString& name, const Value& value)> AssignValue;
    // The width a memo view's expanded lines need, in report units. By default the memo measures
    // its own expanded text; unset: the view's width.
    std::function<qint32(TfrView& memo)> CalcWidth;
    // Collects the calls of `matchFuncs` in a band's or view's script (the interpreter's compiled
    // form). Unset: each script line is searched as an expression.
    std::function<void(const QStringList& script, const QStringList& matchFuncs,
        const TfrVariables* variables, QStringList& output)>
        CollectScriptFunctions;

    // Makes this scope the parser's name lookup and function handler and the standard library's
    // aggregate hook; empties the dictionary cache; makes sure the database library is
    // registered. Called at the start of every run.
    void install(TfrParser& parser);
    // Removes the callbacks again if this scope is still the one installed (also on destruction).
    void uninstall();

    Value ResolveName(const QString& name) { return m_names.ResolveName(name); }
    void CallReportFunction(
        const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)
    {
        m_functions.CallReportFunction(name, p1, p2, p3, value);
    }

    DictionaryLookup& dictionary() { return m_dictionary; }
    ReportAggregates& aggregates() { return m_aggregates; }

    // The template's pages and dictionary, or none without a template.
    TfrPages* pages() const;
    TfrDataDictionary* dictionaryData() const;
    // The dataset a field name without dataset part refers to for the current band.
    DatabaseDataset* defaultDataset() const { return DefaultDataset(*this); }

    TfrDataset* reportDataset() const override { return Dataset; }
    std::optional<int> currentBandKind() const override;
    TfrDataset* firstBandDataset(int bandKind) const override;

private:
    DictionaryLookup m_dictionary{*this};
    NameLookup m_names{*this};
    ReportFunctions m_functions{*this};
    ReportAggregates m_aggregates{*this};
    TfrParser* m_installedParser = nullptr; // not owned
};

} // namespace vaskel
