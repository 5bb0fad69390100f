#include "report/expr/NumberPattern.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vaskel {

namespace {

// A double holds at most 17 significant decimal digits; more would only show binary noise.
constexpr int kMaxPrecision = 17;
constexpr int kMaxDecimals = 18;
constexpr int kAllDecimals = 9999;
// A pattern without an exponent prints integer parts up to this many digits; longer ones switch to
// the general notation rather than padding a made-up run of zeros.
constexpr int kMaxPatternIntegerDigits = 17;
// Exponent digits asked for by "E+0000…" beyond four are ignored.
constexpr int kMaxExponentDigits = 4;

// A magnitude as decimal digits: 0.d1d2…dn × 10^exponent, without trailing zeros. No digits is zero.
struct Decimal {
    char digits[kMaxPrecision + 1] = {};
    int count = 0;
    int exponent = 0;

    bool isZero() const { return count == 0; }
    QChar at(int i) const { return i >= 0 && i < count ? QChar(digits[i]) : QChar('0'); }
};

// The magnitude's decimal form with `reprDigits` significant digits (correctly rounded from the
// binary value), then rounded half away from zero to `precision` significant digits but no further
// than `decimals` places after the point. Patterns use the full 17-digit form, so 1.005 (stored as
// 1.00499999…) gives 1.00; the plain notations first take their precision, so with 15 digits 1.005
// reads 1.00500000000000 and gives 1.01.
Decimal toDecimal(double magnitude, int reprDigits, int precision, int decimals)
{
    Decimal d;
    if (!(magnitude > 0))
        return d;
    reprDigits = std::clamp(reprDigits, 1, kMaxPrecision);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*e", reprDigits - 1, magnitude);
    char raw[kMaxPrecision];
    std::memset(raw, '0', sizeof raw);
    raw[0] = buf[0];
    if (reprDigits > 1)
        std::memcpy(raw + 1, buf + 2, reprDigits - 1);
    const char* e = std::strchr(buf, 'e');
    const int exponent = (e ? std::atoi(e + 1) : 0) + 1;

    precision = std::clamp(precision, 1, kMaxPrecision);
    const long wanted = std::min<long>(precision, static_cast<long>(exponent) + decimals);
    if (wanted < 0)
        return d;
    const int n = static_cast<int>(wanted);
    std::memcpy(d.digits, raw, n);
    d.count = n;
    d.exponent = exponent;
    if (n < kMaxPrecision && raw[n] >= '5') {
        int i = n - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            // Carry out of the first digit (9.99 → 10.0, or 0.5 → 1 with nothing kept).
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
        }
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    if (d.count == 0)
        d.exponent = 0;
    return d;
}

QString exponentDigits(int value, int minDigits)
{
    return QString::number(std::abs(value)).rightJustified(minDigits, '0');
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString general(double value, int precision, int expDigits, const LocaleSettings& locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, kMaxPrecision);
    const Decimal d = toDecimal(std::fabs(value), precision, precision, kAllDecimals);
    if (d.isZero())
        return QStringLiteral("0");
    QString out;
    if (value < 0)
        out += '-';
    if (d.exponent > precision || d.exponent < -3) {
        out += d.at(0);
        if (d.count > 1) {
            out += locale.decimalSeparator;
            out += QLatin1StringView(d.digits + 1, d.count - 1);
        }
        const int e = d.exponent - 1;
        out += 'E';
        if (e < 0)
            out += '-';
        out += exponentDigits(e, std::clamp(expDigits, 0, kMaxExponentDigits));
        return out;
    }
    if (d.exponent <= 0) {
        out += '0';
        out += locale.decimalSeparator;
        out += QString(-d.exponent, '0');
        out += QLatin1StringView(d.digits, d.count);
        return out;
    }
    for (int i = 0; i < d.exponent; ++i)
        out += d.at(i);
    if (d.count > d.exponent) {
        out += locale.decimalSeparator;
        out += QLatin1StringView(d.digits + d.exponent, d.count - d.exponent);
    }
    return out;
}

QString exponentForm(double value, int precision, int expDigits, const LocaleSettings& locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, kMaxPrecision);
    const Decimal d = toDecimal(std::fabs(value), precision, precision, kAllDecimals);
    QString out;
    if (value < 0 && !d.isZero())
        out += '-';
    out += d.at(0);
    if (precision > 1) {
        out += locale.decimalSeparator;
        for (int i = 1; i < precision; ++i)
            out += d.at(i);
    }
    const int e = d.isZero() ? 0 : d.exponent - 1;
    out += 'E';
    out += e < 0 ? '-' : '+';
    out += exponentDigits(e, std::clamp(expDigits, 0, kMaxExponentDigits));
    return out;
}

QString fixedForm(double value, int precision, int digits, bool thousands, const LocaleSettings& locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, kMaxPrecision);
    digits = std::clamp(digits, 0, kMaxDecimals);
    const Decimal d = toDecimal(std::fabs(value), precision, precision, digits);
    if (d.exponent > precision)
        return general(value, precision, 0, locale);
    QString out;
    if (value < 0 && !d.isZero())
        out += '-';
    if (d.exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.exponent; ++i) {
            out += d.at(i);
            const int left = d.exponent - 1 - i;
            if (thousands && left > 0 && left % 3 == 0 && !locale.thousandSeparator.isNull())
                out += locale.thousandSeparator;
        }
    }
    if (digits > 0) {
        out += locale.decimalSeparator;
        for (int j = 0; j < digits; ++j)
            out += d.at(d.exponent + j);
    }
    return out;
}

// ---- the pattern language ----

std::vector<QStringView> splitSections(QStringView pattern)
{
    std::vector<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(pattern.mid(start, i - start));
            start = i + 1;
            if (sections.size() == 3)
                return sections;
        }
    }
    sections.push_back(pattern.mid(start));
    return sections;
}

// "E+0", "e-00" …: an exponent marker only when a sign and at least one "0" follow.
bool isExponentAt(QStringView s, qsizetype i)
{
    return (s[i] == 'E' || s[i] == 'e') && i + 2 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')
        && s[i + 2] == '0';
}

qsizetype skipQuoted(QStringView s, qsizetype i)
{
    const qsizetype close = s.indexOf(s[i], i + 1);
    return close < 0 ? s.size() : close;
}

// What one section asks for, gathered before the number is rounded.
struct Layout {
    int digitCount = 0; // "0" and "#" placeholders of the mantissa
    int integerPlaces = 0; // placeholders before the first "."
    int forcedIntegers = 0; // integer places that print "0" when the number has no digit there
    int forcedDecimals = 0; // decimal places up to the last "0"
    bool thousands = false;
    bool scientific = false;

    int decimalPlaces() const { return digitCount - integerPlaces; }
};

Layout scanSection(QStringView s)
{
    Layout l;
    int decimalIndex = -1;
    int firstZero = -1;
    int lastZero = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '\'' || c == '"') {
            i = skipQuoted(s, i);
        } else if (c == '#') {
            ++l.digitCount;
        } else if (c == '0') {
            if (firstZero < 0)
                firstZero = l.digitCount;
            ++l.digitCount;
            lastZero = l.digitCount;
        } else if (c == '.') {
            if (decimalIndex < 0)
                decimalIndex = l.digitCount;
        } else if (c == ',') {
            l.thousands = true;
        } else if (isExponentAt(s, i)) {
            l.scientific = true;
            break;
        }
    }
    l.integerPlaces = decimalIndex < 0 ? l.digitCount : decimalIndex;
    l.forcedIntegers = firstZero < 0 ? 0 : std::max(0, l.integerPlaces - firstZero);
    l.forcedDecimals = std::max(0, lastZero - l.integerPlaces);
    return l;
}

// Lays the rounded digits into the section, left to right.
QString applySection(
    QStringView s, const Layout& l, const Decimal& d, bool minus, const LocaleSettings& locale)
{
    QString intDigits;
    QString fracDigits;
    int shownExponent = 0;
    if (l.scientific) {
        if (!d.isZero()) {
            shownExponent = d.exponent - l.integerPlaces;
            for (int i = 0; i < l.integerPlaces; ++i)
                intDigits += d.at(i);
            for (int i = l.integerPlaces; i < d.count; ++i)
                fracDigits += d.at(i);
        }
    } else {
        for (int i = 0; i < d.exponent; ++i)
            intDigits += d.at(i);
        // A negative exponent gives the zeros between the point and the first digit.
        for (int i = d.exponent; i < d.count; ++i)
            fracDigits += d.at(i);
    }
    const bool groups = l.thousands && !locale.thousandSeparator.isNull();

    QString out;
    if (minus)
        out += '-';
    auto putInteger = [&](QChar digit, int placeFromPoint) {
        out += digit;
        if (groups && placeFromPoint > 1 && (placeFromPoint - 1) % 3 == 0)
            out += locale.thousandSeparator;
    };
    bool separatorWritten = false;
    auto putDecimal = [&](QChar digit) {
        if (!separatorWritten) {
            out += locale.decimalSeparator;
            separatorWritten = true;
        }
        out += digit;
    };

    int placeholder = 0;
    const int intCount = static_cast<int>(intDigits.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '\'' || c == '"') {
            const qsizetype close = skipQuoted(s, i);
            out += s.mid(i + 1, close - i - 1);
            i = close;
        } else if (c == '0' || c == '#') {
            if (placeholder == 0) {
                // Integer digits beyond the pattern's places all print at the first placeholder.
                for (int k = 0; k < intCount - l.integerPlaces; ++k)
                    putInteger(intDigits[k], intCount - k);
            }
            if (placeholder < l.integerPlaces) {
                const int place = l.integerPlaces - placeholder;
                if (place <= intCount)
                    putInteger(intDigits[intCount - place], place);
                else if (place <= l.forcedIntegers)
                    putInteger('0', place);
            } else {
                const int j = placeholder - l.integerPlaces;
                if (j < fracDigits.size())
                    putDecimal(fracDigits[j]);
                else if (j < l.forcedDecimals)
                    putDecimal('0');
            }
            ++placeholder;
        } else if (c == '.' || c == ',') {
            // Placed by the digits around them.
        } else if (l.scientific && isExponentAt(s, i)) {
            out += c;
            if (shownExponent < 0)
                out += '-';
            else if (s[i + 1] == '+')
                out += '+';
            qsizetype k = i + 2;
            while (k < s.size() && s[k] == '0')
                ++k;
            out += exponentDigits(
                shownExponent, static_cast<int>(std::min<qsizetype>(k - i - 2, kMaxExponentDigits)));
            i = k - 1;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString FloatToStrF(double value, FloatFormat format, int precision, int digits, const LocaleSettings& locale)
{
    switch (format) {
    case FloatFormat::General:
        return general(value, precision, digits, locale);
    case FloatFormat::Exponent:
        return exponentForm(value, precision, digits, locale);
    case FloatFormat::Fixed:
        return fixedForm(value, precision, digits, false, locale);
    case FloatFormat::Number:
        return fixedForm(value, precision, digits, true, locale);
    }
    return general(value, precision, digits, locale);
}

QString FloatToStrGeneral(double value, const LocaleSettings& locale)
{
    return general(value, 15, 0, locale);
}

QString FormatFloat(const QString& pattern, double value, const LocaleSettings& locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const std::vector<QStringView> sections = splitSections(pattern);
    auto pick = [&](size_t wanted) {
        return wanted < sections.size() && !sections[wanted].isEmpty() ? wanted : size_t{0};
    };
    const size_t wanted = value > 0 ? 0 : value < 0 ? 1 : 2;
    size_t index = pick(wanted);
    if (sections[index].isEmpty())
        return FloatToStrGeneral(value, locale);

    Layout layout = scanSection(sections[index]);
    Decimal d = layout.scientific
        ? toDecimal(std::fabs(value), kMaxPrecision, std::max(layout.digitCount, 1), kAllDecimals)
        : toDecimal(std::fabs(value), kMaxPrecision, kMaxPrecision, layout.decimalPlaces());
    if (!layout.scientific && d.exponent > kMaxPatternIntegerDigits)
        return FloatToStrGeneral(value, locale);
    if (d.isZero() && wanted != 2) {
        // Rounded away to nothing: print zero as zero, never "-0.00".
        index = pick(2);
        if (sections[index].isEmpty())
            return QStringLiteral("0");
        layout = scanSection(sections[index]);
        return applySection(sections[index], layout, Decimal{}, false, locale);
    }
    return applySection(sections[index], layout, d, value < 0 && index == 0, locale);
}

} // namespace vaskel
