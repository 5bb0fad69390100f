#include "report/expr/ValueOperators.h"

#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/expr/ExprErrors.h"

#include <cmath>
#include <limits>

namespace vaskel::ValueOps {

namespace {

// An operand brought to a number: its value and how sums with it are typed.
struct Num {
    enum Class : quint8 { Integral, Float, DateTime } cls;
    double d; // every kind, exactly (32-bit integers fit a double)
    qint64 i; // integral kinds only
};

Num toNum(const Value& v)
{
    switch (v.kind()) {
    case TfrValueKind::Empty:
        return {Num::Integral, 0, 0};
    case TfrValueKind::Boolean:
        return {Num::Integral, v.boolValue() ? -1.0 : 0.0, v.boolValue() ? -1 : 0};
    case TfrValueKind::SmallInt:
        return {Num::Integral, double(v.smallIntValue()), v.smallIntValue()};
    case TfrValueKind::Integer:
        return {Num::Integral, double(v.intValue()), v.intValue()};
    case TfrValueKind::Float:
        return {Num::Float, v.floatValue(), 0};
    case TfrValueKind::DateTime:
        return {Num::DateTime, v.floatValue(), 0};
    default: // strings read as numbers; null never gets here
        return {Num::Float, v.toNumber(), 0};
    }
}

// An integral result: an integer while it fits 32 bits, a float beyond (no silent wrap-around).
Value integral(qint64 v)
{
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return Value(double(v));
    return Value(static_cast<qint32>(v));
}

qint32 intForm(const Num& n)
{
    return n.cls == Num::Integral ? static_cast<qint32>(n.i) : roundToInt(n.d);
}

bool isFalse(const Value& v)
{
    return v.kind() == TfrValueKind::Boolean && !v.boolValue();
}

bool isTrue(const Value& v)
{
    return v.kind() == TfrValueKind::Boolean && v.boolValue();
}

} // namespace

bool equalsZero(const Value& value)
{
    return compare(value, Value::smallInt(0)) == 0;
}

Value binary(Binary op, const Value& left, const Value& right)
{
    if (left.isNull() || right.isNull()) {
        if (op == Binary::And && (isFalse(left) || isFalse(right)))
            return Value(false);
        if (op == Binary::Or && (isTrue(left) || isTrue(right)))
            return Value(true);
        return Value::null();
    }
    if (op == Binary::Divide && equalsZero(right))
        return Value::smallInt(0);
    if (left.isEmpty() && right.isEmpty()) {
        if (op == Binary::Mod)
            throw EDivByZero(QStringLiteral("Division by zero"));
        return Value();
    }
    const bool leftText = left.isString() || (left.isEmpty() && right.isString());
    const bool rightText = right.isString() || (right.isEmpty() && left.isString());
    if (op == Binary::Add && leftText && rightText)
        return Value(left.stringValue() + right.stringValue());
    if ((op == Binary::And || op == Binary::Or) && left.kind() == TfrValueKind::Boolean
        && right.kind() == TfrValueKind::Boolean) {
        return Value(op == Binary::And ? left.boolValue() && right.boolValue()
                                       : left.boolValue() || right.boolValue());
    }
    const Num l = toNum(left);
    const Num r = toNum(right);
    const bool bothIntegral = l.cls == Num::Integral && r.cls == Num::Integral;
    const bool anyDateTime = l.cls == Num::DateTime || r.cls == Num::DateTime;
    switch (op) {
    case Binary::Add:
        if (bothIntegral)
            return integral(l.i + r.i);
        return anyDateTime ? Value::dateTime(l.d + r.d) : Value(l.d + r.d);
    case Binary::Subtract:
        if (bothIntegral)
            return integral(l.i - r.i);
        if (l.cls == Num::DateTime && r.cls == Num::DateTime)
            return Value(l.d - r.d);
        return anyDateTime ? Value::dateTime(l.d - r.d) : Value(l.d - r.d);
    case Binary::Multiply:
        if (bothIntegral)
            return integral(l.i * r.i); // 32 x 32 bits cannot overflow 64
        return Value(l.d * r.d);
    case Binary::Divide:
        return Value(l.d / r.d);
    case Binary::Mod: {
        const qint64 a = intForm(l);
        const qint64 b = intForm(r);
        if (b == 0)
            throw EDivByZero(QStringLiteral("Division by zero"));
        return integral(a % b);
    }
    case Binary::And:
        return Value(intForm(l) & intForm(r));
    case Binary::Or:
        return Value(intForm(l) | intForm(r));
    }
    return Value();
}

Value negate(const Value& value)
{
    switch (value.kind()) {
    case TfrValueKind::Empty:
    case TfrValueKind::Null:
        return value;
    case TfrValueKind::Boolean:
        return Value(value.boolValue() ? 1 : 0);
    case TfrValueKind::SmallInt:
        return Value(-static_cast<qint32>(value.smallIntValue()));
    case TfrValueKind::Integer:
        return integral(-static_cast<qint64>(value.intValue()));
    case TfrValueKind::Float:
        return Value(-value.floatValue());
    case TfrValueKind::DateTime:
        return Value::dateTime(-value.floatValue());
    case TfrValueKind::String:
        return Value(-value.toNumber());
    }
    return value;
}

int compare(const Value& left, const Value& right)
{
    if (left.isNull() || right.isNull()) {
        if (left.isNull() && right.isNull())
            return 0;
        return left.isNull() ? -1 : 1;
    }
    if (left.isEmpty() && right.isEmpty())
        return 0;
    const bool leftText = left.isString() || (left.isEmpty() && right.isString());
    const bool rightText = right.isString() || (right.isEmpty() && left.isString());
    if (leftText && rightText) {
        // Texts order as their bytes in the file code page, as the reports' own files hold them.
        const int c = PlatformGlobals::exists()
            ? PlatformGlobals::get().codePage.compareOrdinal(left.stringValue(), right.stringValue())
            : QString::compare(left.stringValue(), right.stringValue(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (left.kind() == TfrValueKind::Boolean && right.kind() == TfrValueKind::Boolean)
        return int(left.boolValue()) - int(right.boolValue()); // false < true, not -1 < 0
    const double a = toNum(left).d;
    const double b = toNum(right).d;
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    if (a == b)
        return 0;
    return 2;
}

} // namespace vaskel::ValueOps
