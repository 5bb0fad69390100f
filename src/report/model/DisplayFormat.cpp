#include "report/model/DisplayFormat.h"

#include "platform/PlatformError.h"
#include "report/expr/DateTimePattern.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/NumberPattern.h"

namespace vaskel {

namespace {

// String-table numbers of the built-in patterns; the tables hold four entries each.
constexpr int kBooleanPairs = 55170; // "0;1", "No;Yes", "_;x", "False;True"
constexpr int kDatePatterns = 55175; // "mm.dd.yy", "mm.dd.yyyy", "d mmm yyyy" (kind 3 is the locale's)
constexpr int kTimePatterns = 55179; // "hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"
constexpr int kPatternsPerTable = 4;

// The number kinds print at most 15 significant digits, like every plain number text.
constexpr int kNumberPrecision = 15;
// A boolean pair's true part is cut here, as the pairs always were.
constexpr int kMaxPairPart = 255;

bool isBlankText(const QString& s)
{
    for (QChar c : s) {
        if (c.unicode() > 32)
            return false;
    }
    return true;
}

// Puts the locale's decimal separator back however formatting ends.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(LocaleSettings& locale)
        : m_locale(locale), m_saved(locale.decimalSeparator)
    {
    }
    ~DecimalSeparatorScope() { m_locale.decimalSeparator = m_saved; }
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    LocaleSettings& m_locale;
    QChar m_saved;
};

QString formatNumber(
    const Value& value, const DisplayFormat& f, const QString& formatText, LocaleSettings& locale)
{
    // A code without a separator character (as "#N" and "#N0" make) keeps the locale's: a null
    // character would print as an invisible gap in the number.
    if (!f.separator.isNull())
        locale.decimalSeparator = f.separator;
    switch (f.kind) {
    case 0:
        return FormatFloat(
            QStringLiteral("##0.") + QString(f.decimals, QLatin1Char('#')), value.toNumber(), locale);
    case 1:
        return FloatToStrF(value.toNumber(), FloatFormat::Fixed, kNumberPrecision, f.decimals, locale);
    case 2:
        return FormatFloat(
            QStringLiteral("#,##0.") + QString(f.decimals, QLatin1Char('#')), value.toNumber(), locale);
    case 3:
        return FloatToStrF(value.toNumber(), FloatFormat::Number, kNumberPrecision, f.decimals, locale);
    case DisplayFormat::kCustomKind:
        return FormatFloat(formatText, value.toNumber(), locale);
    default:
        return {};
    }
}

QString formatDate(
    const Value& value, const DisplayFormat& f, const QString& formatText, const LocaleSettings& locale)
{
    if (f.kind == DisplayFormat::kCustomKind)
        return FormatDateTime(formatText, value.toDateTime(), locale);
    if (f.kind == 3) // the locale's long date: the date part only
        return FormatDateTime(locale.longDateFormat, value.toDateTime(), locale);
    if (f.kind >= 0 && f.kind < 3)
        return FormatDateTime(LoadStr(kDatePatterns + f.kind), value.toDateTime(), locale);
    return {};
}

QString formatTime(
    const Value& value, const DisplayFormat& f, const QString& formatText, const LocaleSettings& locale)
{
    if (f.kind == DisplayFormat::kCustomKind)
        return FormatDateTime(formatText, value.toDateTime(), locale);
    if (f.kind >= 0 && f.kind < kPatternsPerTable)
        return FormatDateTime(LoadStr(kTimePatterns + f.kind), value.toDateTime(), locale);
    return {};
}

QString formatBoolean(const Value& value, const DisplayFormat& f, const QString& formatText)
{
    QString pair;
    if (f.kind == DisplayFormat::kCustomKind)
        pair = formatText;
    else if (f.kind >= 0 && f.kind < kPatternsPerTable)
        pair = LoadStr(kBooleanPairs + f.kind);
    else
        return {};
    // A pair without ";" is all "true part": non-zero prints it whole, zero prints nothing.
    const qsizetype semicolon = pair.indexOf(QLatin1Char(';'));
    if (value.toInt() != 0)
        return pair.mid(semicolon + 1, kMaxPairPart);
    return semicolon < 0 ? QString() : pair.left(semicolon);
}

} // namespace

DisplayFormat DisplayFormat::unpack(qint32 code)
{
    DisplayFormat f;
    f.category = (code / 0x1000000) & 15;
    f.kind = (code / 0x10000) & 255;
    f.decimals = (code >> 8) & 255;
    f.separator = QChar(static_cast<char16_t>(code & 255));
    return f;
}

qint32 DisplayFormat::pack() const
{
    const quint32 sep = separator.unicode() <= 255 ? separator.unicode() : 0;
    return static_cast<qint32>(static_cast<quint32>(category & 15) * 0x1000000u
        + static_cast<quint32>(kind & 255) * 0x10000u + static_cast<quint32>(decimals & 255) * 256u + sep);
}

QString FormatForDisplay(const Value& value, qint32 code, const QString& formatText)
{
    if (value.isEmpty() || value.isNull() || (value.isString() && isBlankText(value.stringValue())))
        return {};
    LocaleSettings& locale = PlatformGlobals::get().locale;
    const DisplayFormat f = DisplayFormat::unpack(code);
    try {
        const DecimalSeparatorScope keepSeparator(locale);
        switch (static_cast<FormatCategory>(f.category)) {
        case FormatCategory::Text:
            return value.toText();
        case FormatCategory::Number:
            return formatNumber(value, f, formatText, locale);
        case FormatCategory::Date:
            return formatDate(value, f, formatText, locale);
        case FormatCategory::Time:
            return formatTime(value, f, formatText, locale);
        case FormatCategory::Boolean:
            return formatBoolean(value, f, formatText);
        }
        return {};
    } catch (const VaskelError&) {
        // A value the format cannot take prints as it is; the separator is already back.
        return value.toText();
    }
}

QString DateTimePatternOf(qint32 code, const QString& formatText)
{
    const DisplayFormat f = DisplayFormat::unpack(code);
    const auto category = static_cast<FormatCategory>(f.category);
    if (category != FormatCategory::Date && category != FormatCategory::Time)
        return {};
    if (f.kind == DisplayFormat::kCustomKind)
        return formatText;
    if (category == FormatCategory::Date && f.kind == 3)
        return PlatformGlobals::get().locale.longDateFormat;
    const int kinds = category == FormatCategory::Date ? 3 : kPatternsPerTable;
    if (f.kind < 0 || f.kind >= kinds)
        return {};
    return LoadStr((category == FormatCategory::Date ? kDatePatterns : kTimePatterns) + f.kind);
}

} // namespace vaskel
