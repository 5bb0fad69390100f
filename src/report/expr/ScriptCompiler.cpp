#include "report/expr/ScriptCompiler.h"

#include "platform/PlatformError.h"
#include "report/expr/ExprTokens.h"
#include "report/expr/TfrParser.h"

#include <algorithm>

namespace vaskel {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isDesignatorChar(QChar c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('_');
}

QString need(const QString& what)
{
    return QStringLiteral("Need %1 here").arg(what);
}

// The target of a compiled jump line (both target characters are present in every line written).
int jumpTarget(const QString& line)
{
    return (line[1].unicode() & 0xFF) | ((line[2].unicode() & 0xFF) << 8);
}

QString targetChars(int target)
{
    const int t = target < 0 ? ScriptCompiler::kEndOfScript : target;
    return QString(QChar(t & 0xFF)) + QChar((t >> 8) & 0xFF);
}

} // namespace

// Counts one level of statement or expression nesting for as long as it lives.
class ScriptCompiler::Nesting {
public:
    explicit Nesting(ScriptCompiler& c) : m_c(c)
    {
        if (m_c.m_depth >= kMaxNesting)
            m_c.fail(
                QStringLiteral("Script nested too deeply (more than %1 levels)").arg(kMaxNesting), m_c.m_pos);
        ++m_c.m_depth;
    }
    ~Nesting() { --m_c.m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    ScriptCompiler& m_c;
};

ScriptCompiler::ScriptCompiler(const QStringList& source, const TfrParser& parser) : m_parser(parser)
{
    // The source is read completely here, so the caller may pass one list as source and output.
    m_lineStarts.reserve(source.size());
    for (const QString& line : source) {
        m_lineStarts.push_back(m_text.size());
        m_text += line;
        m_text += QLatin1Char('\r');
    }
    m_text.replace(QLatin1Char('\t'), QLatin1Char(' '));
}

void ScriptCompiler::compile(QStringList& compiled, QStringList& errors)
{
    compiled.clear();
    errors.clear();
    if (!m_text.isEmpty()) {
        try {
            // One statement; whatever follows it is not part of the script.
            statement();
        } catch (const Stop&) {
        }
    }
    resolveLabels();
    writeLines(compiled);
    errors = m_errors;
}

ScriptCompiler::ExpressionCheck ScriptCompiler::checkExpression(const QString& text, const TfrParser& parser)
{
    ScriptCompiler c(text.split(QLatin1Char('\n')), parser);
    c.m_expressionNames = true;
    ExpressionCheck result;
    try {
        c.expression();
        c.skipBlanks();
        if (c.m_pos < c.m_text.size())
            c.fail(need(QStringLiteral("an operator")), c.m_pos);
        // What the grammar accepts, the parser compiles as a run would.
        try {
            parser.Compile(text);
        } catch (const VaskelError& e) {
            c.fail(e.message().isEmpty() ? need(QStringLiteral("\")\"")) : e.message(), c.m_text.size() - 1);
        }
    } catch (const Stop&) {
        result.ok = false;
        if (!c.m_errors.isEmpty()) {
            result.message = c.m_errors.constLast();
            result.line = c.m_errorLine;
            result.column = c.m_errorColumn;
        } else {
            result.line = c.m_faultLine;
            result.column = c.m_faultColumn;
        }
    }
    return result;
}

// ---- statements ----

void ScriptCompiler::statement()
{
    Nesting nesting(*this);
    skipBlanks();
    if (m_pos >= m_text.size())
        return;
    const QChar c = m_text[m_pos];
    if (c == QLatin1Char(';') || atKeyword(QLatin1StringView("END")) || atKeyword(QLatin1StringView("UNTIL")))
        return; // the empty statement
    if (isAsciiDigit(c) && label()) {
        statement();
        return;
    }
    if (atKeyword(QLatin1StringView("BEGIN")))
        compound();
    else if (atKeyword(QLatin1StringView("IF")))
        conditional();
    else if (atKeyword(QLatin1StringView("REPEAT")))
        repeatLoop();
    else if (atKeyword(QLatin1StringView("WHILE")))
        whileLoop();
    else if (atKeyword(QLatin1StringView("FOR")))
        forLoop();
    else if (atKeyword(QLatin1StringView("GOTO")))
        jump();
    else if (isAsciiLetter(c))
        designatorStatement();
    else {
        const qsizetype start = m_pos;
        addLine(Kind::Call, expression(), start);
    }
}

bool ScriptCompiler::label()
{
    qsizetype q = m_pos;
    while (q < m_text.size() && isAsciiDigit(m_text[q]))
        ++q;
    if (q >= m_text.size() || m_text[q] != QLatin1Char(':')
        || (q + 1 < m_text.size() && m_text[q + 1] == QLatin1Char('=')))
        return false;
    const QString key = m_text.mid(m_pos, q + 1 - m_pos).left(kLabelLength);
    m_labels.try_emplace(key, next()); // a label defined twice keeps its first place
    m_pos = q + 1;
    return true;
}

void ScriptCompiler::statementsUntil(QLatin1StringView closing)
{
    for (;;) {
        statement();
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(';')) {
            ++m_pos;
            continue;
        }
        if (atKeyword(closing)) {
            m_pos += closing.size();
            return;
        }
        fail(need(QStringLiteral("\";\" or \"%1\"").arg(QString(closing).toLower())), m_pos);
    }
}

void ScriptCompiler::compound()
{
    m_pos += 5;
    statementsUntil(QLatin1StringView("END")); // a ";" written against END stays for the enclosing block
}

void ScriptCompiler::conditional()
{
    const qsizetype start = m_pos;
    m_pos += 2;
    const QString condition = expression();
    expectKeyword(QLatin1StringView("THEN"));
    const int test = addLine(Kind::Conditional, condition, start);
    statement();
    if (atKeyword(QLatin1StringView("ELSE"))) {
        m_pos += 4;
        const int skip = addLine(Kind::Jump, QString(), start);
        m_lines[test].target = next();
        statement();
        m_lines[skip].target = next();
    } else {
        m_lines[test].target = next();
    }
}

void ScriptCompiler::repeatLoop()
{
    const qsizetype start = m_pos;
    m_pos += 6;
    const int top = next();
    statementsUntil(QLatin1StringView("UNTIL"));
    // The loop goes round again while the condition equals 0.
    addLine(Kind::Conditional, expression(), start, top);
}

void ScriptCompiler::whileLoop()
{
    const qsizetype start = m_pos;
    m_pos += 5;
    const int top = next();
    const QString condition = expression();
    expectKeyword(QLatin1StringView("DO"));
    const int test = addLine(Kind::Conditional, condition, start);
    statement();
    addLine(Kind::Jump, QString(), start, top);
    m_lines[test].target = next();
}

void ScriptCompiler::forLoop()
{
    const qsizetype start = m_pos;
    m_pos += 3;
    skipBlanks();
    const QString name = readDesignator();
    if (name.isEmpty())
        fail(need("\":=\""), m_pos);
    skipBlanks();
    if (!QStringView(m_text).mid(m_pos).startsWith(u":="))
        fail(need("\":=\""), m_pos);
    m_pos += 2;
    const QString first = expression();
    expectKeyword(QLatin1StringView("TO"));
    const QString last = expression();
    expectKeyword(QLatin1StringView("DO"));
    addLine(Kind::Assignment, name + QLatin1Char(' ') + first, start);
    const int top = next();
    // The limit is evaluated again before every round.
    const int test = addLine(Kind::Conditional, name + QStringLiteral(" <= ") + last, start);
    statement();
    addLine(Kind::Assignment, name + QLatin1Char(' ') + name + QStringLiteral(" + 1"), start);
    addLine(Kind::Jump, QString(), start, top);
    m_lines[test].target = next();
}

void ScriptCompiler::jump()
{
    m_pos += 4;
    skipBlanks();
    const qsizetype at = m_pos;
    const QString digits = readDigits();
    if (digits.isEmpty())
        fail(QStringLiteral("\"goto\" label must be a number"), at);
    const int line = addLine(Kind::Jump, QString(), at);
    m_lines[line].label = digits;
}

void ScriptCompiler::designatorStatement()
{
    const qsizetype start = m_pos;
    const QString name = readDesignator();
    const qsizetype n = m_text.size();
    if (m_pos < n && m_text[m_pos] == QLatin1Char('[')) {
        ++m_pos;
        const QString index = expression();
        skipBlanks();
        if (m_pos >= n || m_text[m_pos] != QLatin1Char(']'))
            fail(need("\"]\""), m_pos);
        ++m_pos;
        skipBlanks();
        if (!QStringView(m_text).mid(m_pos).startsWith(u":="))
            fail(need("\":=\""), m_pos);
        m_pos += 2;
        const QString value = expression();
        addLine(Kind::Call, QStringLiteral("SETARRAY(%1, %2, %3)").arg(name, index, value), start);
        return;
    }
    if (m_pos < n && m_text[m_pos] == QLatin1Char('(')) {
        // A function call with arguments: the statement is that expression.
        m_pos = start;
        addLine(Kind::Call, expression(), start);
        return;
    }
    skipBlanks();
    if (QStringView(m_text).mid(m_pos).startsWith(u":=")) {
        m_pos += 2;
        addLine(Kind::Assignment, name + QLatin1Char(' ') + expression(), start);
        return;
    }
    if (standsAlone()) {
        // A procedure: a call with the argument 0, so "exit" becomes the exit statement.
        addLine(Kind::Call, name + QStringLiteral("(0)"), start);
        return;
    }
    fail(need("\":=\""), m_pos);
}

// ---- expressions ----

QString ScriptCompiler::expression()
{
    skipBlanks();
    const qsizetype start = m_pos;
    relation();
    return textWithoutComments(start, m_lastEnd);
}

void ScriptCompiler::relation()
{
    Nesting nesting(*this);
    simple();
    skipBlanks();
    const QStringView rest = QStringView(m_text).mid(m_pos);
    if (rest.startsWith(u">=") || rest.startsWith(u"<=") || rest.startsWith(u"<>")) {
        m_pos += 2;
        simple();
    } else if (rest.startsWith(u'<') || rest.startsWith(u'=') || rest.startsWith(u'>')) {
        m_pos += 1;
        simple();
    }
}

void ScriptCompiler::simple()
{
    term();
    for (;;) {
        skipBlanks();
        if (m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('+') || m_text[m_pos] == QLatin1Char('-')))
            ++m_pos;
        else if (atOperatorWord(QLatin1StringView("OR")))
            m_pos += 2;
        else
            return;
        term();
    }
}

void ScriptCompiler::term()
{
    factor();
    for (;;) {
        skipBlanks();
        if (m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('*') || m_text[m_pos] == QLatin1Char('/')))
            ++m_pos;
        else if (atOperatorWord(QLatin1StringView("AND")) || atOperatorWord(QLatin1StringView("MOD")))
            m_pos += 3;
        else
            return;
        factor();
    }
}

void ScriptCompiler::factor()
{
    Nesting nesting(*this);
    skipBlanks();
    const qsizetype n = m_text.size();
    if (m_pos >= n)
        fault(m_pos);
    const QChar c = m_text[m_pos];
    if (c == QLatin1Char('(')) {
        ++m_pos;
        relation();
        skipBlanks();
        if (m_pos >= n || m_text[m_pos] != QLatin1Char(')'))
            fail(need("\")\""), m_pos);
        m_lastEnd = ++m_pos;
    } else if (c == QLatin1Char('[')) {
        // Text up to the matching "]"; the text always ends with a carriage return, so a found
        // "]" is never the fallback end of an unclosed bracket.
        const BracketedText b = FindBracketed(m_text, m_pos);
        if (m_text[b.close] != QLatin1Char(']'))
            fail(need("\"]\""), b.close);
        m_lastEnd = m_pos = b.close + 1;
    } else if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        ++m_pos;
        relation();
    } else if (isAsciiLetter(c) || (m_expressionNames && (c.isLetter() || c == QLatin1Char('"')))) {
        if (QStringView(m_text).mid(m_pos, 3).compare(QLatin1StringView("NOT"), Qt::CaseInsensitive) == 0
            && atWordBoundary(m_pos + 3, false)) {
            m_pos += 3;
            relation();
            return;
        }
        readDesignator();
        if (m_pos < n && m_text[m_pos] == QLatin1Char('[')) {
            ++m_pos;
            relation();
            skipBlanks();
            if (m_pos >= n || m_text[m_pos] != QLatin1Char(']'))
                fail(need("\"]\""), m_pos);
            m_lastEnd = ++m_pos;
        } else if (m_pos < n && m_text[m_pos] == QLatin1Char('(')) {
            arguments();
        } else {
            m_lastEnd = m_pos;
        }
    } else if (isAsciiDigit(c)) {
        readDigits();
        if (m_pos < n && m_text[m_pos] == QLatin1Char('.')) {
            ++m_pos;
            if (readDigits().isEmpty())
                fault(m_pos); // "1." is no number
        }
        m_lastEnd = m_pos;
    } else if (c == QLatin1Char('\'')) {
        const qsizetype start = m_pos;
        bool closed = true;
        ReadQuoted(m_text, m_pos, &closed);
        if (!closed)
            fault(start);
        m_lastEnd = m_pos;
    } else {
        fault(m_pos); // no operand starts here
    }
}

void ScriptCompiler::arguments()
{
    ++m_pos; // the "("
    skipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(')')) {
        m_lastEnd = ++m_pos;
        return;
    }
    for (;;) {
        relation();
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(',')) {
            ++m_pos;
            continue;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(')')) {
            m_lastEnd = ++m_pos;
            return;
        }
        fail(need("\",\" or \")\""), m_pos);
    }
}

// ---- scanning ----

void ScriptCompiler::skipBlanks()
{
    const qsizetype n = m_text.size();
    for (;;) {
        while (m_pos < n && m_text[m_pos].unicode() <= 32)
            ++m_pos;
        if (m_pos >= n)
            return;
        qsizetype end = -1;
        if (m_text[m_pos] == QLatin1Char('{')) {
            end = m_text.indexOf(QLatin1Char('}'), m_pos + 1);
            end = end < 0 ? n : end + 1;
        } else if (m_text[m_pos] == QLatin1Char('/') && m_pos + 1 < n
            && m_text[m_pos + 1] == QLatin1Char('/')) {
            end = m_text.indexOf(QLatin1Char('\r'), m_pos + 2);
            if (end < 0)
                end = n;
        } else {
            return;
        }
        m_comments[m_pos] = end;
        m_pos = end;
    }
}

bool ScriptCompiler::atWordBoundary(qsizetype i, bool semicolonEnds) const
{
    if (i >= m_text.size())
        return true;
    const QChar c = m_text[i];
    return c.unicode() <= 32 || c == QLatin1Char('{')
        || (c == QLatin1Char('/') && i + 1 < m_text.size() && m_text[i + 1] == QLatin1Char('/'))
        || (semicolonEnds && c == QLatin1Char(';'));
}

bool ScriptCompiler::atKeyword(QLatin1StringView word)
{
    skipBlanks();
    // END may be written together with its semicolon ("end;").
    const bool isEnd = word == QLatin1StringView("END");
    return QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) == 0
        && atWordBoundary(m_pos + word.size(), isEnd);
}

void ScriptCompiler::expectKeyword(QLatin1StringView word)
{
    if (!atKeyword(word))
        fail(need(QStringLiteral("\"%1\"").arg(QString(word).toLower())), m_pos);
    m_pos += word.size();
}

bool ScriptCompiler::atOperatorWord(QLatin1StringView word)
{
    // After an operand, a word that begins with the operator is the operator ("a order" reads as
    // "a or der"), as scripts have always been read.
    skipBlanks();
    if (QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    // The expression parser must read it the same way: a blank goes between the operator and the
    // rest of the word in the expression's text.
    const qsizetype after = m_pos + word.size();
    if (after < m_text.size() && m_text[after].unicode() > 32)
        m_comments.try_emplace(after, after);
    return true;
}

bool ScriptCompiler::standsAlone()
{
    // Only ";", END and ELSE as whole words end a procedure statement; "end;" does not count.
    skipBlanks();
    if (m_pos >= m_text.size())
        return false;
    if (m_text[m_pos] == QLatin1Char(';'))
        return true;
    for (const QLatin1StringView word : {QLatin1StringView("END"), QLatin1StringView("ELSE")}) {
        if (QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) == 0
            && atWordBoundary(m_pos + word.size(), false))
            return true;
    }
    return false;
}

QString ScriptCompiler::readDesignator()
{
    const qsizetype start = m_pos;
    if (m_expressionNames) {
        // Letters of any script, digits, "_", ".", "#", and double-quoted parts.
        const qsizetype n = m_text.size();
        while (m_pos < n) {
            const QChar c = m_text[m_pos];
            if (c == QLatin1Char('"')) {
                const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
                if (close < 0)
                    fault(m_pos);
                m_pos = close + 1;
            } else if (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_')
                || c == QLatin1Char('#')) {
                ++m_pos;
            } else {
                break;
            }
        }
        return m_text.mid(start, m_pos - start);
    }
    if (m_pos < m_text.size() && isAsciiLetter(m_text[m_pos])) {
        while (m_pos < m_text.size() && isDesignatorChar(m_text[m_pos]))
            ++m_pos;
    }
    return m_text.mid(start, m_pos - start);
}

QString ScriptCompiler::readDigits()
{
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && isAsciiDigit(m_text[m_pos]))
        ++m_pos;
    return m_text.mid(start, m_pos - start);
}

QString ScriptCompiler::textWithoutComments(qsizetype from, qsizetype to) const
{
    QString out;
    qsizetype at = from;
    for (auto it = m_comments.lower_bound(from); it != m_comments.end() && it->first < to; ++it) {
        if (it->first < at)
            continue;
        out += QStringView(m_text).mid(at, it->first - at);
        out += QLatin1Char(' ');
        at = std::min(it->second, to);
    }
    if (at < to)
        out += QStringView(m_text).mid(at, to - at);
    return out;
}

// ---- output ----

int ScriptCompiler::addLine(Kind kind, const QString& text, qsizetype position, int target)
{
    if (next() >= kMaxLines)
        fail(QStringLiteral("Script too long (more than %1 compiled lines)").arg(kMaxLines), position);
    m_lines.push_back(Line{kind, text, target, QString(), position});
    return next() - 1;
}

void ScriptCompiler::resolveLabels()
{
    const bool reportMissing = m_errors.isEmpty() && m_faultLine == 0;
    for (Line& line : m_lines) {
        if (line.kind != Kind::Jump || line.label.isEmpty())
            continue;
        const auto it = m_labels.find((line.label + QLatin1Char(':')).left(kLabelLength));
        if (it != m_labels.end()) {
            line.target = it->second;
            continue;
        }
        // Never a jump to a place made from the label's text: the goto ends the script.
        line.target = -1;
        if (reportMissing) {
            int l = 0, c = 0;
            lineAndColumn(line.position, l, c);
            m_errors += QStringLiteral("Line %1/%2: Undefined label \"%3\"").arg(l).arg(c).arg(line.label);
        }
    }
}

void ScriptCompiler::writeLines(QStringList& compiled)
{
    compiled.reserve(static_cast<qsizetype>(m_lines.size()));
    for (const Line& line : m_lines) {
        try {
            switch (line.kind) {
            case Kind::Conditional:
                compiled += QChar(1) + targetChars(line.target) + m_parser.Compile(line.text);
                break;
            case Kind::Jump:
                compiled += QChar(2) + targetChars(line.target);
                break;
            case Kind::Call:
                compiled += QChar(3) + m_parser.Compile(line.text);
                break;
            case Kind::Assignment: {
                const qsizetype space = line.text.indexOf(QLatin1Char(' '));
                compiled += line.text.left(space + 1) + m_parser.Compile(line.text.mid(space + 1));
                break;
            }
            }
        } catch (const VaskelError& e) {
            // An expression the grammar let through but the parser cannot order (parentheses that
            // close differently inside a bracketed name): the script stops before it.
            if (m_errors.isEmpty()) {
                int l = 0, c = 0;
                lineAndColumn(line.position, l, c);
                m_errors += QStringLiteral("Line %1/%2: %3")
                                .arg(l)
                                .arg(c)
                                .arg(e.message().isEmpty() ? need("\")\"") : e.message());
            }
            // Jumps to the lines dropped here end the script.
            const int kept = static_cast<int>(compiled.size());
            for (QString& l : compiled) {
                if ((l[0] == QChar(1) || l[0] == QChar(2)) && jumpTarget(l) > kept)
                    l.replace(1, 2, targetChars(kEndOfScript));
            }
            return;
        }
    }
}

// ---- errors ----

void ScriptCompiler::fail(const QString& message, qsizetype position)
{
    int line = 0, column = 0;
    lineAndColumn(position, line, column);
    m_errors += QStringLiteral("Line %1/%2: %3").arg(line).arg(column).arg(message);
    m_errorLine = line;
    m_errorColumn = column;
    throw Stop{};
}

void ScriptCompiler::fault(qsizetype position)
{
    lineAndColumn(position, m_faultLine, m_faultColumn);
    throw Stop{};
}

void ScriptCompiler::lineAndColumn(qsizetype position, int& line, int& column) const
{
    // The end of the text counts as the last character of the last line.
    position = std::clamp<qsizetype>(position, 0, std::max<qsizetype>(0, m_text.size() - 1));
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    const qsizetype index = it == m_lineStarts.begin() ? 0 : (it - m_lineStarts.begin()) - 1;
    const qsizetype start = m_lineStarts.empty() ? 0 : m_lineStarts[index];
    // Columns count characters: a surrogate pair is one.
    int characters = 0;
    for (qsizetype i = start; i < position; ++i) {
        if (!(m_text[i].isLowSurrogate() && i > start && m_text[i - 1].isHighSurrogate()))
            ++characters;
    }
    line = static_cast<int>(index) + 1;
    column = characters + 1;
}

} // namespace vaskel
