#include "report/expr/TfrFunctionSplitter.h"

#include "report/expr/ExprErrors.h"
#include "report/expr/ExprTokens.h"

namespace vaskel {

namespace {

QString trimControls(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

bool isSplitterStep(QChar c)
{
    return QStringView(u"\r *+-/<=>").contains(c);
}

} // namespace

TfrFunctionSplitter::TfrFunctionSplitter(
    const QStringList& matchFuncs, const TfrVariables* variables, QStringList& output)
    : m_matchFuncs(matchFuncs), m_variables(variables), m_output(output)
{
}

void TfrFunctionSplitter::Split(const QString& text)
{
    split(text, 0);
}

bool TfrFunctionSplitter::variableText(const QString& name, QString& text) const
{
    if (!m_variables)
        return false;
    const Value* v = m_variables->find(name);
    if (!v)
        return false;
    text = v->isNull() ? QString() : v->toText();
    return true;
}

void TfrFunctionSplitter::split(const QString& source, int depth)
{
    if (depth > kMaxNesting)
        throw EParserError(
            QStringLiteral("Expression nested too deeply (more than %1 levels)").arg(kMaxNesting));
    const QString s = trimControls(source);
    if (s.startsWith(QLatin1Char('\'')))
        return;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        if (s.at(i) == QLatin1Char('[')) {
            const BracketedText b = FindBracketed(s, i);
            QString inner = b.inner;
            QString expanded;
            if (variableText(inner, expanded))
                inner = expanded;
            split(inner, depth + 1);
            i = b.close + 1;
            continue;
        }
        // The call text starts at the name, not at the blanks before it, so that the same call
        // is listed with the same text wherever it stands.
        while (i < n && s.at(i).unicode() <= 32)
            ++i;
        if (i < n && s.at(i) == QLatin1Char('['))
            continue;
        const qsizetype start = i;
        const QString name = ReadName(s, i);
        if (i < n && s.at(i) == QLatin1Char('(')) {
            const FunctionArguments args = SplitArguments(s, i);
            split(args.third, depth + 1);
            split(args.second, depth + 1);
            split(args.first, depth + 1);
            if (m_matchFuncs.contains(name, Qt::CaseInsensitive))
                m_output << s.mid(start, i - start);
            continue;
        }
        QString expanded;
        if (!name.isEmpty() && variableText(name, expanded)) {
            split(expanded, depth + 1);
            continue;
        }
        if (i < n && isSplitterStep(s.at(i)))
            ++i;
        else if (name.isEmpty() && i == start)
            break;
    }
}

} // namespace vaskel
