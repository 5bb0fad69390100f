#include "report/expr/ValueText.h"

#include "platform/DateTimeValue.h"
#include "report/expr/DateTimePattern.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/NumberPattern.h"

#include <QDate>
#include <QTime>

#include <charconv>
#include <cmath>
#include <string>

namespace vaskel::ValueText {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

// Digit strings and exponents in the Value's texts are ASCII; anything else is not a number.
bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString dateTimeToStr(double value, const LocaleSettings& locale)
{
    // Only years 1 to 9999 have a calendar text; a date-time beyond them is a bad value, not a date.
    constexpr double kFirstDay = -693593; // 0001-01-01
    constexpr double kPastLastDay = 2958466; // 10000-01-01
    if (!(value > kFirstDay - 1 && value < kPastLastDay))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(FloatToStrGeneral(value, locale)));
    const double whole = std::trunc(value);
    const QTime time = DateTimeValue::toTime(value);
    const bool midnight = time == QTime(0, 0);
    if (whole == 0 && !midnight)
        return FormatDateTime(locale.longTimeFormat, value, locale);
    QString out = FormatDateTime(locale.shortDateFormat, value, locale);
    if (!midnight)
        out += QLatin1Char(' ') + FormatDateTime(locale.longTimeFormat, value, locale);
    return out;
}

std::optional<double> tryStrToFloat(QStringView text, QChar decimalSeparator)
{
    qsizetype i = 0;
    qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    while (n > i && isBlank(text[n - 1]))
        --n;
    // Normalised into a small buffer for the C++ reader; no allocation for ordinary numbers.
    char small[64];
    std::string large;
    char* buf = small;
    if (n - i + 1 > static_cast<qsizetype>(sizeof small)) {
        large.resize(static_cast<size_t>(n - i + 1));
        buf = large.data();
    }
    size_t len = 0;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int mantissaDigits = 0;
    int intDigits = 0;
    bool seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            buf[len++] = static_cast<char>(c.unicode());
            ++mantissaDigits;
            if (!seenPoint)
                ++intDigits;
        } else if (c == decimalSeparator && !seenPoint) {
            buf[len++] = '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        buf[len++] = 'e';
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            expNegative = text[i] == QLatin1Char('-');
            if (expNegative)
                buf[len++] = '-';
            ++i;
        }
        int expDigits = 0;
        for (; i < n && isDigit(text[i]); ++i) {
            buf[len++] = static_cast<char>(text[i].unicode());
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(buf, buf + len, value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large to hold is not a number the engine can use.
        if (intDigits + exponent > 0)
            return std::nullopt;
        value = 0;
    } else if (res.ec != std::errc() || res.ptr != buf + len) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double strToFloat(QStringView text, const LocaleSettings& locale)
{
    if (const auto v = tryStrToFloat(text, locale.decimalSeparator))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

std::optional<qint32> tryStrToInt(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0')
        && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
        if (value > (hex ? 0xFFFFFFFFLL : 0x80000000LL))
            return std::nullopt;
    }
    if (hex) // Hexadecimal covers the full 32 bits: $FFFFFFFF is -1.
        value = static_cast<qint32>(static_cast<quint32>(value));
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(value);
}

qint32 strToInt(QStringView text)
{
    if (const auto v = tryStrToInt(text))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

namespace {

// A small scanner over date and time texts: numbers, separators and markers, blanks skipped
// before each.
struct Scanner {
    QStringView text;
    qsizetype pos = 0;

    void skipBlanks()
    {
        while (pos < text.size() && text[pos] == QLatin1Char(' '))
            ++pos;
    }
    bool number(int& value, int& digits)
    {
        skipBlanks();
        value = 0;
        digits = 0;
        while (pos < text.size() && isDigit(text[pos]) && digits < 4) {
            value = value * 10 + (text[pos].unicode() - '0');
            ++digits;
            ++pos;
        }
        return digits > 0;
    }
    bool character(QChar c)
    {
        skipBlanks();
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    bool word(const QString& w)
    {
        skipBlanks();
        if (!w.isEmpty() && text.mid(pos).startsWith(w, Qt::CaseInsensitive)) {
            pos += w.size();
            return true;
        }
        return false;
    }
    bool atEnd()
    {
        skipBlanks();
        return pos >= text.size();
    }
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(const QString& shortDateFormat)
{
    for (QChar c : shortDateFormat) {
        const QChar lc = c.toLower();
        if (lc == QLatin1Char('d'))
            return DateOrder::DMY;
        if (lc == QLatin1Char('y'))
            return DateOrder::YMD;
        if (lc == QLatin1Char('m'))
            return DateOrder::MDY;
    }
    return DateOrder::MDY;
}

std::optional<double> scanDate(Scanner& s, const LocaleSettings& locale)
{
    int n1, n2, n3, l1, l2, l3 = 0;
    if (!s.number(n1, l1) || !s.character(locale.dateSeparator) || !s.number(n2, l2))
        return std::nullopt;
    const bool three = s.character(locale.dateSeparator);
    if (three && !s.number(n3, l3))
        return std::nullopt;
    const DateOrder order = dateOrder(locale.shortDateFormat);
    int y, m, d;
    int yearDigits = 4;
    if (!three) {
        y = QDate::currentDate().year();
        if (order == DateOrder::DMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    } else if (order == DateOrder::MDY) {
        m = n1, d = n2, y = n3, yearDigits = l3;
    } else if (order == DateOrder::DMY) {
        d = n1, m = n2, y = n3, yearDigits = l3;
    } else {
        y = n1, m = n2, d = n3, yearDigits = l1;
    }
    if (yearDigits <= 2) {
        // Two-digit years fall in the 100 years that end 50 years after the current one.
        const int pivot = QDate::currentDate().year() - 50;
        y += pivot / 100 * 100;
        if (y < pivot)
            y += 100;
    }
    const QDate date(y, m, d);
    if (y < 1 || y > 9999 || !date.isValid())
        return std::nullopt;
    return DateTimeValue::fromDate(date);
}

std::optional<double> scanTime(Scanner& s, const LocaleSettings& locale)
{
    int baseHour = -1;
    if (s.word(locale.timeAMString) || s.word(QStringLiteral("AM")))
        baseHour = 0;
    else if (s.word(locale.timePMString) || s.word(QStringLiteral("PM")))
        baseHour = 12;
    int hour, minute = 0, second = 0, msec = 0, digits;
    if (!s.number(hour, digits))
        return std::nullopt;
    if (s.character(locale.timeSeparator)) {
        if (!s.number(minute, digits))
            return std::nullopt;
        if (s.character(locale.timeSeparator)) {
            if (!s.number(second, digits))
                return std::nullopt;
            if (s.character(locale.decimalSeparator) && !s.number(msec, digits))
                return std::nullopt;
        }
    } else if (baseHour < 0) {
        // A bare number is a time only with a marker: "3 PM".
        const qsizetype keep = s.pos;
        if (!(s.word(locale.timeAMString) || s.word(QStringLiteral("AM")) || s.word(locale.timePMString)
                || s.word(QStringLiteral("PM"))))
            return std::nullopt;
        s.pos = keep;
    }
    if (baseHour < 0) {
        if (s.word(locale.timeAMString) || s.word(QStringLiteral("AM")))
            baseHour = 0;
        else if (s.word(locale.timePMString) || s.word(QStringLiteral("PM")))
            baseHour = 12;
    }
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12)
            return std::nullopt;
        if (hour == 12)
            hour = 0;
        hour += baseHour;
    }
    if (hour > 23 || minute > 59 || second > 59 || msec > 999)
        return std::nullopt;
    return DateTimeValue::fromTime(QTime(hour, minute, second, msec));
}

} // namespace

std::optional<double> tryStrToDate(QStringView text, const LocaleSettings& locale)
{
    Scanner s{text};
    const auto d = scanDate(s, locale);
    if (!d || !s.atEnd())
        return std::nullopt;
    return d;
}

std::optional<double> tryStrToTime(QStringView text, const LocaleSettings& locale)
{
    Scanner s{text};
    const auto t = scanTime(s, locale);
    if (!t || !s.atEnd())
        return std::nullopt;
    return t;
}

std::optional<double> tryStrToDateTime(QStringView text, const LocaleSettings& locale)
{
    Scanner s{text};
    const qsizetype start = s.pos;
    if (const auto d = scanDate(s, locale)) {
        if (s.atEnd())
            return d;
        const auto t = scanTime(s, locale);
        if (!t || !s.atEnd())
            return std::nullopt;
        return *d >= 0 ? *d + *t : *d - *t;
    }
    s.pos = start;
    const auto t = scanTime(s, locale);
    if (!t || !s.atEnd())
        return std::nullopt;
    return t;
}

double strToDate(QStringView text, const LocaleSettings& locale)
{
    if (const auto v = tryStrToDate(text, locale))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
}

double strToTime(QStringView text, const LocaleSettings& locale)
{
    if (const auto v = tryStrToTime(text, locale))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
}

} // namespace vaskel::ValueText
