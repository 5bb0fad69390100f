#pragma once
// Finds the aggregate calls (AVG, COUNT, MAX, MIN, SUM) in the texts of a band and its views, so
// that they can be registered before a run. Names in brackets and dictionary variables are
// followed into the variables' expressions.
#include "report/expr/TfrFunctionSplitter.h"

#include <functional>

namespace vaskel {

class TAggregateFunctionsSplitter {
public:
    using ScriptCollector = std::function<void(const QStringList& script, const QStringList& matchFuncs,
        const TfrVariables* variables, QStringList& output)>;

    // `variables` (the report's dictionary variables, may be null), `output` and `collector` are
    // not owned and must outlive the splitter. An empty collector searches each script line as an
    // expression.
    TAggregateFunctionsSplitter(
        QStringList& output, const TfrVariables* variables, const ScriptCollector* collector);

    // Every outermost bracketed part of each line, brackets included.
    void SplitMemo(const QStringList& memo);
    void SplitScript(const QStringList& script);

private:
    QStringList m_matchFuncs{"AVG", "COUNT", "MAX", "MIN", "SUM"}; // before the splitter that uses it
    QStringList& m_output;
    const TfrVariables* m_variables;
    const ScriptCollector* m_collector;
    TfrFunctionSplitter m_splitter;
};

} // namespace vaskel
