#include "report/expr/Value.h"

#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/NumberPattern.h"
#include "report/expr/ValueText.h"

#include <cmath>
#include <optional>

namespace vaskel {

namespace {

[[noreturn]] void variantError(TfrValueKind from, const QString& to)
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                            .arg(Value::typeName(from), to));
}

// The kinds every number conversion reads alike: empty 0, true -1 and the integral kinds as
// they are; null cannot become `to`. Nothing for floats, date-times and strings.
std::optional<qint32> integralNumber(const Value& v, const QString& to)
{
    switch (v.kind()) {
    case TfrValueKind::Empty:
        return 0;
    case TfrValueKind::Null:
        variantError(v.kind(), to);
    case TfrValueKind::Boolean:
        return v.boolValue() ? -1 : 0;
    case TfrValueKind::SmallInt:
        return v.smallIntValue();
    case TfrValueKind::Integer:
        return v.intValue();
    default:
        return std::nullopt;
    }
}

} // namespace

Value Value::null()
{
    Value v;
    v.m_kind = TfrValueKind::Null;
    return v;
}

Value Value::smallInt(quint8 value)
{
    Value v;
    v.m_kind = TfrValueKind::SmallInt;
    v.m_u8 = value;
    return v;
}

Value Value::dateTime(double value)
{
    Value v(value);
    v.m_kind = TfrValueKind::DateTime;
    return v;
}

bool Value::isNumber() const
{
    switch (m_kind) {
    case TfrValueKind::Boolean:
    case TfrValueKind::SmallInt:
    case TfrValueKind::Integer:
    case TfrValueKind::Float:
    case TfrValueKind::DateTime:
        return true;
    default:
        return false;
    }
}

bool Value::isIntegral() const
{
    return m_kind == TfrValueKind::Boolean || m_kind == TfrValueKind::SmallInt
        || m_kind == TfrValueKind::Integer;
}

QString Value::toText() const
{
    const LocaleSettings& locale = PlatformGlobals::get().locale;
    switch (m_kind) {
    case TfrValueKind::Empty:
        return {};
    case TfrValueKind::Null:
        variantError(m_kind, QStringLiteral("String"));
    case TfrValueKind::Boolean:
        return m_b ? locale.trueName : locale.falseName;
    case TfrValueKind::SmallInt:
        return QString::number(m_u8);
    case TfrValueKind::Integer:
        return QString::number(m_i);
    case TfrValueKind::Float:
        return FloatToStrGeneral(m_d, locale);
    case TfrValueKind::DateTime:
        return ValueText::dateTimeToStr(m_d, locale);
    case TfrValueKind::String:
        return m_s;
    }
    return {};
}

double Value::toNumber() const
{
    if (const auto i = integralNumber(*this, QStringLiteral("Double")))
        return *i;
    if (m_kind == TfrValueKind::String)
        return ValueText::strToFloat(m_s, PlatformGlobals::get().locale);
    return m_d; // float and date-time
}

qint32 Value::toInt() const
{
    if (const auto i = integralNumber(*this, QStringLiteral("Integer")))
        return *i;
    if (m_kind != TfrValueKind::String)
        return roundToInt(m_d); // float and date-time
    if (const auto i = ValueText::tryStrToInt(m_s))
        return *i;
    if (const auto d = ValueText::tryStrToFloat(m_s, PlatformGlobals::get().locale.decimalSeparator))
        return roundToInt(*d);
    variantError(m_kind, QStringLiteral("Integer"));
}

bool Value::toBool() const
{
    switch (m_kind) {
    case TfrValueKind::Empty:
        return false;
    case TfrValueKind::Null:
        variantError(m_kind, QStringLiteral("Boolean"));
    case TfrValueKind::Boolean:
        return m_b;
    case TfrValueKind::SmallInt:
        return m_u8 != 0;
    case TfrValueKind::Integer:
        return m_i != 0;
    case TfrValueKind::Float:
    case TfrValueKind::DateTime:
        return m_d != 0;
    case TfrValueKind::String: {
        const LocaleSettings& locale = PlatformGlobals::get().locale;
        const QString t = m_s.trimmed();
        if (t.compare(locale.trueName, Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(locale.falseName, Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        if (const auto d = ValueText::tryStrToFloat(m_s, locale.decimalSeparator))
            return *d != 0;
        variantError(m_kind, QStringLiteral("Boolean"));
    }
    }
    return false;
}

double Value::toDateTime() const
{
    switch (m_kind) {
    case TfrValueKind::Null:
        variantError(m_kind, QStringLiteral("Date"));
    case TfrValueKind::String: {
        const LocaleSettings& locale = PlatformGlobals::get().locale;
        if (const auto d = ValueText::tryStrToDateTime(m_s, locale))
            return *d;
        if (const auto d = ValueText::tryStrToFloat(m_s, locale.decimalSeparator))
            return *d;
        variantError(m_kind, QStringLiteral("Date"));
    }
    default:
        return toNumber();
    }
}

QString Value::kindName() const
{
    return kindName(m_kind);
}

QString Value::kindName(TfrValueKind kind)
{
    switch (kind) {
    case TfrValueKind::Empty:
        return QStringLiteral("empty");
    case TfrValueKind::Null:
        return QStringLiteral("null");
    case TfrValueKind::Boolean:
        return QStringLiteral("boolean");
    case TfrValueKind::SmallInt:
        return QStringLiteral("smallint");
    case TfrValueKind::Integer:
        return QStringLiteral("integer");
    case TfrValueKind::Float:
        return QStringLiteral("float");
    case TfrValueKind::DateTime:
        return QStringLiteral("datetime");
    case TfrValueKind::String:
        return QStringLiteral("string");
    }
    return {};
}

QString Value::typeName(TfrValueKind kind)
{
    switch (kind) {
    case TfrValueKind::Empty:
        return QStringLiteral("Empty");
    case TfrValueKind::Null:
        return QStringLiteral("Null");
    case TfrValueKind::Boolean:
        return QStringLiteral("Boolean");
    case TfrValueKind::SmallInt:
        return QStringLiteral("Byte");
    case TfrValueKind::Integer:
        return QStringLiteral("Integer");
    case TfrValueKind::Float:
        return QStringLiteral("Double");
    case TfrValueKind::DateTime:
        return QStringLiteral("Date");
    case TfrValueKind::String:
        return QStringLiteral("String");
    }
    return {};
}

bool Value::operator==(const Value& other) const
{
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case TfrValueKind::Empty:
    case TfrValueKind::Null:
        return true;
    case TfrValueKind::Boolean:
        return m_b == other.m_b;
    case TfrValueKind::SmallInt:
        return m_u8 == other.m_u8;
    case TfrValueKind::Integer:
        return m_i == other.m_i;
    case TfrValueKind::Float:
    case TfrValueKind::DateTime:
        return m_d == other.m_d || (std::isnan(m_d) && std::isnan(other.m_d));
    case TfrValueKind::String:
        return m_s == other.m_s;
    }
    return false;
}

} // namespace vaskel
