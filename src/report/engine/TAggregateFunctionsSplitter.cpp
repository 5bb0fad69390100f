#include "report/engine/TAggregateFunctionsSplitter.h"

#include "report/expr/ExprTokens.h"

namespace vaskel {

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(
    QStringList& output, const TfrVariables* variables, const ScriptCollector* collector)
    : m_output(output),
      m_variables(variables),
      m_collector(collector),
      m_splitter(m_matchFuncs, variables, output)
{
}

void TAggregateFunctionsSplitter::SplitMemo(const QStringList& memo)
{
    for (const QString& line : memo) {
        qsizetype i = 0;
        while ((i = line.indexOf('[', i)) >= 0) {
            const BracketedText b = FindBracketed(line, i);
            m_splitter.Split(line.mid(b.open, b.close - b.open + 1));
            i = b.close + 1;
        }
    }
}

void TAggregateFunctionsSplitter::SplitScript(const QStringList& script)
{
    if (script.isEmpty())
        return;
    if (m_collector && *m_collector) {
        (*m_collector)(script, m_matchFuncs, m_variables, m_output);
        return;
    }
    for (const QString& line : script)
        m_splitter.Split(line);
}

} // namespace vaskel
