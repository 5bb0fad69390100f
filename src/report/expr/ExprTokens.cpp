#include "report/expr/ExprTokens.h"

namespace vaskel {

BracketedText FindBracketed(QStringView text, qsizetype start)
{
    BracketedText r;
    r.open = r.close = start;
    if (start < 0 || start >= text.size() || text[start] != QLatin1Char('['))
        return r;
    bool inDouble = false;
    bool inSingle = false;
    int depth = 0;
    qsizetype i = start;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"') && !inSingle) {
            inDouble = !inDouble;
        } else if (c == QLatin1Char('\'') && !inDouble) {
            inSingle = !inSingle;
        } else if (!inDouble && !inSingle) {
            if (c == QLatin1Char('[')) {
                ++depth;
            } else if (c == QLatin1Char(']')) {
                if (--depth == 0)
                    break;
            }
        }
    }
    r.close = i < text.size() ? i : text.size() - 1;
    // Unclosed, the inner text stops one character before the end, as if that were the "]".
    r.inner = text.mid(start + 1, qMax<qsizetype>(0, r.close - start - 1)).toString();
    return r;
}

bool isNameStop(QChar c)
{
    switch (c.unicode()) {
    case '\r':
    case ' ':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[':
        return true;
    default:
        return false;
    }
}

QStringView readNameView(QStringView text, qsizetype& pos)
{
    const qsizetype n = text.size();
    if (pos < 0)
        pos = 0;
    while (pos < n && text[pos].unicode() <= 32)
        ++pos;
    const qsizetype start = pos;
    bool inDouble = false;
    while (pos < n) {
        const QChar c = text[pos];
        if (c == QLatin1Char('"'))
            inDouble = !inDouble;
        else if (!inDouble && isNameStop(c))
            break;
        ++pos;
    }
    return text.mid(start, pos - start);
}

QString ReadName(QStringView text, qsizetype& pos)
{
    return readNameView(text, pos).toString();
}

QString ReadQuoted(QStringView text, qsizetype& pos, bool* closed)
{
    if (closed)
        *closed = true;
    const qsizetype n = text.size();
    const qsizetype start = pos;
    qsizetype i = pos + 1;
    while (i < n) {
        if (text[i] == QLatin1Char('\'')) {
            if (i + 1 < n && text[i + 1] == QLatin1Char('\'')) {
                i += 2;
                continue;
            }
            ++i; // past the closing quote
            pos = i;
            return text.mid(start, i - start).toString();
        }
        ++i;
    }
    pos = n;
    if (closed)
        *closed = false;
    return text.mid(start).toString();
}

QString unquoteLiteral(QStringView literal)
{
    QStringView body = literal;
    if (body.startsWith(QLatin1Char('\'')))
        body = body.mid(1);
    if (body.endsWith(QLatin1Char('\'')))
        body.chop(1);
    QString out;
    out.reserve(body.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        out += body[i];
        if (body[i] == QLatin1Char('\'') && i + 1 < body.size() && body[i + 1] == QLatin1Char('\''))
            ++i;
    }
    return out;
}

FunctionArguments SplitArguments(QStringView text, qsizetype& pos)
{
    FunctionArguments args;
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    qsizetype argStart = i;
    int depth = 1;
    int commas = 0;
    bool inString = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'')) {
            inString = !inString;
        } else if (!inString) {
            if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                if (--depth == 0)
                    break;
            } else if (c == QLatin1Char(',') && depth == 1) {
                const QString arg = text.mid(argStart, i - argStart).toString();
                if (commas == 0)
                    args.first = arg;
                else
                    args.second = arg;
                ++commas;
                argStart = i + 1;
            }
        }
    }
    if (i >= n) {
        pos = n;
        return args;
    }
    const QString last = text.mid(argStart, i - argStart).toString();
    if (commas == 0)
        args.first = last;
    else if (commas == 1)
        args.second = last;
    else if (commas == 2)
        args.third = last;
    args.closed = true;
    pos = i + 1;
    return args;
}

} // namespace vaskel
