#pragma once
// Finds the calls of a given set of functions in an expression: the aggregate machinery and the
// script compiler use it to find aggregate calls. Every call at any nesting depth is listed with
// its complete source text (name, parentheses and arguments), nested calls before the calls that
// contain them, duplicates as often as they occur; bracketed names and plain names that are
// variables are followed into the variable's expression text.
#include "report/expr/TfrVariables.h"

#include <QString>
#include <QStringList>

namespace vaskel {

class TfrFunctionSplitter {
public:
    // `matchFuncs` (upper-case names), `variables` (may be null) and `output` are not owned and
    // must outlive the splitter.
    TfrFunctionSplitter(const QStringList& matchFuncs, const TfrVariables* variables, QStringList& output);

    // Appends to the output list every matching call found in `text`.
    void Split(const QString& text);

    // Variables that expand to themselves stop the walk at this depth instead of exhausting the
    // stack.
    static constexpr int kMaxNesting = 200;

private:
    void split(const QString& text, int depth);
    // The variable's expression text, or nothing when `name` is not a variable.
    bool variableText(const QString& name, QString& text) const;

    const QStringList& m_matchFuncs;
    const TfrVariables* m_variables;
    QStringList& m_output;
};

} // namespace vaskel
