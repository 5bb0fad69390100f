#include "report/expr/TfrParser.h"

#include "platform/PlatformGlobals.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/ExprTokens.h"
#include "report/expr/ValueOperators.h"
#include "report/expr/ValueText.h"

#include <QVarLengthArray>

#include <array>
#include <cmath>

namespace vaskel {

namespace {

// Binding strength on the compiler's operator stack; lower binds tighter. "(" is never popped by an
// operator.
int priority(char16_t op)
{
    switch (op) {
    case TfrParser::opInt:
    case TfrParser::opFrac:
    case TfrParser::opRound:
    case TfrParser::opStr:
        return 0;
    case '*':
    case '/':
    case TfrParser::opMod:
    case TfrParser::opAnd:
    case TfrParser::opOr:
    case TfrParser::opNot:
        return 1;
    case '+':
    case '-':
    case TfrParser::opNegate:
    case TfrParser::opUnaryPlus:
        return 2;
    case '<':
    case '=':
    case '>':
    case TfrParser::opLessEqual:
    case TfrParser::opGreaterEqual:
    case TfrParser::opNotEqual:
        return 3;
    default:
        return 5;
    }
}

struct OperatorWord {
    QLatin1StringView word;
    char16_t op;
};

constexpr OperatorWord kOperatorWords[] = {
    {QLatin1StringView("INT"), TfrParser::opInt},
    {QLatin1StringView("FRAC"), TfrParser::opFrac},
    {QLatin1StringView("ROUND"), TfrParser::opRound},
    {QLatin1StringView("OR"), TfrParser::opOr},
    {QLatin1StringView("AND"), TfrParser::opAnd},
    {QLatin1StringView("NOT"), TfrParser::opNot},
    {QLatin1StringView("STR"), TfrParser::opStr},
    {QLatin1StringView("MOD"), TfrParser::opMod},
};

bool startsNumber(QStringView s)
{
    if (s.isEmpty())
        return false;
    const QChar c = s[0];
    return c == QLatin1Char(',') || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

[[noreturn]] void unclosedCall(QStringView text)
{
    // Report authors have always seen this failure without a text; the detail says what it was.
    throw EParserError(QString(), QStringLiteral("function call without closing parenthesis: %1").arg(text));
}

// Both "1.5" and "1,5" are one and a half, whatever the locale's separator.
Value numberLiteral(QStringView name)
{
    const QChar sep = PlatformGlobals::get().locale.decimalSeparator;
    QVarLengthArray<QChar, 64> buf(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        buf[i] = (c == QLatin1Char(',') || c == QLatin1Char('.')) ? sep : c;
    }
    const QStringView text(buf.data(), buf.size());
    if (const auto v = ValueText::tryStrToFloat(text, sep))
        return Value(*v);
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// The characters of `s` from the 1-based character `start` for `count` characters; characters are
// code points, so a surrogate pair counts once.
QString copyCharacters(const QString& s, qint32 start, qint32 count)
{
    if (start < 1)
        start = 1;
    if (count <= 0)
        return {};
    qsizetype i = 0;
    for (qint32 c = 1; c < start && i < s.size(); ++c)
        i += (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ? 2 : 1;
    qsizetype j = i;
    for (qint32 c = 0; c < count && j < s.size(); ++c)
        j += (s.at(j).isHighSurrogate() && j + 1 < s.size() && s.at(j + 1).isLowSurrogate()) ? 2 : 1;
    return s.mid(i, j - i);
}

class NestingGuard {
public:
    explicit NestingGuard(int& depth) : m_depth(depth)
    {
        if (++m_depth > TfrParser::kMaxNesting) {
            --m_depth;
            throw EParserError(QStringLiteral("Expression nested too deeply (more than %1 levels)")
                                   .arg(TfrParser::kMaxNesting));
        }
    }
    ~NestingGuard() { --m_depth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    int& m_depth;
};

// The evaluation stack: 32 Values, checked on every push and pop so that no expression, however
// malformed, reads or writes outside it.
class ValueStack {
public:
    void push(Value&& v)
    {
        if (m_size == TfrParser::kStackSize)
            throw EParserError(QStringLiteral("Expression too complex: more than %1 values at once")
                                   .arg(TfrParser::kStackSize));
        m_values[m_size++] = std::move(v);
    }
    // The top, when the stack holds at least `needed` values.
    Value& top(int needed)
    {
        if (m_size < needed)
            throw EParserError(QStringLiteral("Invalid expression: an operator has no operand"));
        return m_values[m_size - 1];
    }
    Value pop()
    {
        Value v = std::move(top(1));
        --m_size;
        return v;
    }
    int size() const { return m_size; }
    Value& bottom() { return m_values[0]; }

private:
    std::array<Value, TfrParser::kStackSize> m_values;
    int m_size = 0;
};

} // namespace

double TfrParser::roundHalfEven(double x)
{
    return std::nearbyint(x); // the rounding mode is never changed from to-nearest-even
}

Value TfrParser::Evaluate(const QString& text) const
{
    return EvaluateCompiled(Compile(text));
}

QString TfrParser::Compile(const QString& source) const
{
    const QStringView text(source);
    const qsizetype n = text.size();
    QString out;
    out.reserve(n + 8);
    QString ops; // the operator stack; its top is the last character
    bool afterOperand = false;

    auto operatorStep = [&](char16_t k) {
        if (!afterOperand) {
            if (k == '-')
                k = opNegate;
            else if (k == '+')
                k = opUnaryPlus;
        }
        afterOperand = false;
        const int pk = priority(k);
        if (!ops.isEmpty() && pk >= priority(ops.back().unicode())) {
            while (!ops.isEmpty() && pk >= priority(ops.back().unicode())) {
                out += ops.back();
                ops.chop(1);
            }
        }
        ops += QChar(k);
    };

    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char(' ')) {
            ++i;
        } else if (c == QLatin1Char('(')) {
            ops += c;
            afterOperand = false;
            ++i;
        } else if (c == QLatin1Char(')')) {
            const qsizetype open = ops.lastIndexOf(QLatin1Char('('));
            if (open >= 0) {
                for (qsizetype k = ops.size() - 1; k > open; --k)
                    out += ops.at(k);
                ops.truncate(open);
            }
            ++i;
        } else if (c == QLatin1Char(';')) {
            break;
        } else if (QStringView(u"*+-/<=>").contains(c)) {
            char16_t k = c.unicode();
            const QChar next = i + 1 < n ? text[i + 1] : QChar();
            ++i;
            if (k == '<' && next == QLatin1Char('>')) {
                k = opNotEqual, ++i;
            } else if (k == '>' && next == QLatin1Char('=')) {
                k = opGreaterEqual, ++i;
            } else if (k == '<' && next == QLatin1Char('=')) {
                k = opLessEqual, ++i;
            }
            operatorStep(k);
        } else {
            const qsizetype start = i;
            QString operand;
            if (c == QLatin1Char('%')) {
                operand = text.mid(i, 2).toString();
                i += 2;
            }
            if (i < n && text[i] == QLatin1Char('\'')) {
                bool closed = true;
                operand += ReadQuoted(text, i, &closed);
                // An unclosed literal runs to the end of the text; closing it here keeps the
                // separating blank of the postfix form out of its value.
                if (!closed)
                    operand += QLatin1Char('\'');
            } else if (i < n && text[i] == QLatin1Char('[')) {
                const BracketedText b = FindBracketed(text, i);
                operand += QLatin1Char('[') + b.inner + QLatin1Char(']');
                i = b.close + 1;
            } else {
                operand += readNameView(text, i);
                if (i < n && text[i] == QLatin1Char('[')) {
                    const BracketedText b = FindBracketed(text, i);
                    operand += QLatin1Char('[') + b.inner + QLatin1Char(']');
                    i = b.close + 1;
                }
            }
            if (startsNumber(operand)) {
                out += operand;
                out += QLatin1Char(' ');
                afterOperand = true;
                continue;
            }
            bool isWord = false;
            for (const OperatorWord& w : kOperatorWords) {
                if (QStringView(operand).compare(w.word, Qt::CaseInsensitive) == 0) {
                    operatorStep(w.op);
                    isWord = true;
                    break;
                }
            }
            if (isWord)
                continue;
            if (i < n && text[i] == QLatin1Char('(')) {
                const FunctionArguments args = SplitArguments(text, i);
                if (!args.closed)
                    unclosedCall(text.mid(start));
                out += text.mid(start, i - start);
            } else {
                out += operand;
                out += QLatin1Char(' ');
            }
            afterOperand = true;
        }
    }
    // What is left goes out top first. An unmatched "(" is dropped: "(1 + 2" means 1 + 2, as an
    // unmatched ")" is ignored.
    for (qsizetype k = ops.size() - 1; k >= 0; --k) {
        if (ops.at(k) != QLatin1Char('('))
            out += ops.at(k);
    }
    return out;
}

Value TfrParser::EvaluateCompiled(const QString& source) const
{
    NestingGuard guard(m_nesting);
    const QStringView postfix(source);
    const qsizetype n = postfix.size();
    ValueStack stack;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = postfix[i].unicode();
        switch (c) {
        case ' ':
        case opUnaryPlus:
            ++i;
            break;
        case '+':
        case '-':
        case '*':
        case '/':
        case opMod:
        case opAnd:
        case opOr: {
            stack.top(2);
            const Value right = stack.pop();
            Value& left = stack.top(1);
            using ValueOps::Binary;
            const Binary op = c == '+' ? Binary::Add
                : c == '-'             ? Binary::Subtract
                : c == '*'             ? Binary::Multiply
                : c == '/'             ? Binary::Divide
                : c == opMod           ? Binary::Mod
                : c == opAnd           ? Binary::And
                                       : Binary::Or;
            left = ValueOps::binary(op, left, right);
            ++i;
            break;
        }
        case '<':
        case '=':
        case '>':
        case opLessEqual:
        case opGreaterEqual:
        case opNotEqual: {
            stack.top(2);
            const Value right = stack.pop();
            Value& left = stack.top(1);
            const int order = ValueOps::compare(left, right);
            bool holds = false;
            switch (c) {
            case '<':
                holds = order == -1;
                break;
            case '=':
                holds = order == 0;
                break;
            case '>':
                holds = order == 1;
                break;
            case opLessEqual:
                holds = order == -1 || order == 0;
                break;
            case opGreaterEqual:
                holds = order == 1 || order == 0;
                break;
            default:
                holds = order != 0;
                break;
            }
            left = Value::smallInt(holds ? 1 : 0);
            ++i;
            break;
        }
        case opNegate: {
            Value& top = stack.top(1);
            top = ValueOps::negate(top);
            ++i;
            break;
        }
        case opNot: {
            Value& top = stack.top(1);
            top = Value::smallInt(ValueOps::equalsZero(top) ? 1 : 0);
            ++i;
            break;
        }
        case opStr: {
            Value& top = stack.top(1);
            top = top.isNull() ? Value(QString()) : Value(top.toText());
            ++i;
            break;
        }
        case opInt:
        case opFrac:
        case opRound: {
            Value& top = stack.top(1);
            double x = top.toNumber();
            const double r = roundHalfEven(x);
            if (c == opRound) {
                x = r;
            } else if (c == opInt) {
                // A value a hair below an integer (2.99999999999) is that integer.
                x = std::fabs(r - x) < 1e-10 ? r : std::trunc(x);
            } else {
                if (std::fabs(r - x) < 1e-10)
                    x = r;
                x = x - std::trunc(x);
            }
            top = Value(x);
            ++i;
            break;
        }
        case '\'':
            stack.push(Value(unquoteLiteral(ReadQuoted(postfix, i))));
            break;
        case '[': {
            const BracketedText b = FindBracketed(postfix, i);
            i = b.close + 1;
            Value v = Value::null();
            if (LookupName)
                LookupName(b.inner, v);
            else
                v = Value();
            stack.push(std::move(v));
            break;
        }
        default: {
            const qsizetype before = i;
            Value v = evaluateName(postfix, i);
            if (i == before) {
                ++i; // a stray character no token starts with (a "(" or ")" of hand-made postfix)
                break;
            }
            stack.push(std::move(v));
            break;
        }
        }
    }
    if (stack.size() == 0)
        return Value::smallInt(0);
    return std::move(stack.bottom());
}

Value TfrParser::evaluateName(QStringView postfix, qsizetype& pos) const
{
    const qsizetype n = postfix.size();
    const QStringView name = readNameView(postfix, pos);
    const QChar next = pos < n ? postfix[pos] : QChar();
    if (next != QLatin1Char('(') && name.isEmpty())
        return {};
    if (startsNumber(name))
        return numberLiteral(name);
    if (name.compare(QLatin1StringView("TRUE"), Qt::CaseInsensitive) == 0)
        return Value(true);
    if (name.compare(QLatin1StringView("FALSE"), Qt::CaseInsensitive) == 0)
        return Value(false);
    if (next == QLatin1Char('[')) {
        const BracketedText b = FindBracketed(postfix, pos);
        pos = b.close + 1;
        return Evaluate(QStringLiteral("GETARRAY(") + name.toString() + QStringLiteral(", ") + b.inner
            + QLatin1Char(')'));
    }
    const QString upper = PlatformGlobals::get().locale.toUpper(name.toString());
    if (next == QLatin1Char('('))
        return callBuiltIn(upper, postfix, pos);
    Value value = Value::null();
    if (LookupName)
        LookupName(upper, value);
    else
        value = Value();
    return value;
}

Value TfrParser::callBuiltIn(const QString& upperName, QStringView text, qsizetype& pos) const
{
    const qsizetype start = pos;
    const FunctionArguments args = SplitArguments(text, pos);
    if (!args.closed)
        unclosedCall(text.mid(start));
    const LocaleSettings& locale = PlatformGlobals::get().locale;
    if (upperName == QLatin1StringView("COPY")) {
        const qint32 from = ValueText::strToInt(Evaluate(args.second).toText());
        const qint32 count = ValueText::strToInt(Evaluate(args.third).toText());
        return Value(copyCharacters(Evaluate(args.first).toText(), from, count));
    }
    if (upperName == QLatin1StringView("IF")) {
        const double condition = ValueText::strToFloat(Evaluate(args.first).toText(), locale);
        return std::trunc(condition) != 0 ? Evaluate(args.second) : Evaluate(args.third);
    }
    if (upperName == QLatin1StringView("STRTODATE"))
        return Value::dateTime(ValueText::strToDate(Evaluate(args.first).toText(), locale));
    if (upperName == QLatin1StringView("STRTOTIME"))
        return Value::dateTime(ValueText::strToTime(Evaluate(args.first).toText(), locale));
    Value value = Value::null();
    if (CallFunction)
        CallFunction(upperName, Value(args.first), Value(args.second), Value(args.third), value);
    else
        value = Value();
    return value;
}

} // namespace vaskel
