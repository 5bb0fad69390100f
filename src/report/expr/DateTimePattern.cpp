#include "report/expr/DateTimePattern.h"

#include "platform/DateTimeValue.h"
#include "report/expr/ExprErrors.h"
#include "report/expr/NumberPattern.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace vaskel {

namespace {

// The locale's standard formats may themselves use c, t, ddddd …; one level of that is followed,
// deeper ones are ignored so that a format naming itself cannot recurse without end.
constexpr int kMaxNesting = 2;

constexpr const char* kEnglishMonths[12] = {"January", "February", "March", "April", "May", "June", "July",
    "August", "September", "October", "November", "December"};
constexpr const char* kEnglishDays[7]
    = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// A locale whose name lists were never filled still prints English names rather than nothing.
QString nameAt(const QStringList& names, int index, const char* const* english, bool shortForm)
{
    if (index >= 0 && index < names.size())
        return names.at(index);
    const QString full = QString::fromLatin1(english[index]);
    return shortForm ? full.left(3) : full;
}

bool startsWithNoCase(QStringView s, qsizetype at, QLatin1StringView word)
{
    return s.mid(at).startsWith(word, Qt::CaseInsensitive);
}

class DateTimeWriter {
public:
    DateTimeWriter(double value, const LocaleSettings& locale)
        : m_locale(locale), m_date(DateTimeValue::toDate(value)), m_time(DateTimeValue::toTime(value))
    {
    }

    QString write(QStringView pattern)
    {
        append(pattern.isEmpty() ? QStringView(u"c") : pattern, 0);
        return m_out;
    }

private:
    void number(int value, int width) { m_out += QString::number(value).rightJustified(width, '0'); }

    // Any am/pm marker in the pattern turns its hours to the 12-hour clock, before or after them:
    // Chinese time formats put the marker first ("ampm h:nn:ss").
    static bool hasHalfDayMarker(QStringView p)
    {
        QChar quote;
        for (qsizetype i = 0; i < p.size(); ++i) {
            const QChar c = p[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if ((c == 'a' || c == 'A')
                && (startsWithNoCase(p, i, QLatin1StringView("am/pm"))
                    || startsWithNoCase(p, i, QLatin1StringView("a/p"))
                    || startsWithNoCase(p, i, QLatin1StringView("ampm")))) {
                return true;
            }
        }
        return false;
    }

    void append(QStringView p, int level)
    {
        if (level >= kMaxNesting)
            return;
        QChar lastToken;
        const bool twelveHour = hasHalfDayMarker(p);
        for (qsizetype i = 0; i < p.size();) {
            const QChar c = p[i];
            qsizetype count = 1;
            while (i + count < p.size() && p[i + count] == c)
                ++count;
            QChar token = c.toUpper();
            const bool letter = token >= 'A' && token <= 'Z';
            if (letter) {
                if (token == 'M' && lastToken == 'H')
                    token = 'N';
                lastToken = token;
            }
            const int hour = m_time.hour();
            switch (letter ? token.unicode() : 0) {
            case 'Y':
                if (count <= 2)
                    number(m_date.year() % 100, 2);
                else
                    number(m_date.year(), 4);
                i += count;
                continue;
            case 'M':
                if (count <= 2)
                    number(m_date.month(), static_cast<int>(count));
                else
                    m_out += nameAt(count == 3 ? m_locale.shortMonthNames : m_locale.longMonthNames,
                        m_date.month() - 1, kEnglishMonths, count == 3);
                i += count;
                continue;
            case 'D': {
                const int weekday = m_date.dayOfWeek() % 7; // Sunday first
                if (count <= 2)
                    number(m_date.day(), static_cast<int>(count));
                else if (count <= 4)
                    m_out += nameAt(count == 3 ? m_locale.shortDayNames : m_locale.longDayNames, weekday,
                        kEnglishDays, count == 3);
                else
                    append(count == 5 ? m_locale.shortDateFormat : m_locale.longDateFormat, level + 1);
                i += count;
                continue;
            }
            case 'H':
                number(twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour, count == 1 ? 1 : 2);
                i += count;
                continue;
            case 'N':
                number(m_time.minute(), count == 1 ? 1 : 2);
                i += count;
                continue;
            case 'S':
                number(m_time.second(), count == 1 ? 1 : 2);
                i += count;
                continue;
            case 'Z':
                number(m_time.msec(), count == 1 ? 1 : 3);
                i += count;
                continue;
            case 'T':
                append(count == 1 ? m_locale.shortTimeFormat : m_locale.longTimeFormat, level + 1);
                i += count;
                continue;
            case 'C':
                append(m_locale.shortDateFormat, level + 1);
                if (m_time.msecsSinceStartOfDay() != 0) {
                    m_out += ' ';
                    append(m_locale.longTimeFormat, level + 1);
                }
                i += count;
                continue;
            case 'A':
                if (startsWithNoCase(p, i, QLatin1StringView("am/pm"))) {
                    m_out += p.mid(hour < 12 ? i : i + 3, 2);
                    i += 5;
                    continue;
                }
                if (startsWithNoCase(p, i, QLatin1StringView("a/p"))) {
                    m_out += p[hour < 12 ? i : i + 2];
                    i += 3;
                    continue;
                }
                if (startsWithNoCase(p, i, QLatin1StringView("ampm"))) {
                    m_out += hour < 12 ? m_locale.timeAMString : m_locale.timePMString;
                    i += 4;
                    continue;
                }
                break;
            default:
                break;
            }
            if (c == '\'' || c == '"') {
                const qsizetype close = p.indexOf(c, i + 1);
                const qsizetype end = close < 0 ? p.size() : close;
                m_out += p.mid(i + 1, end - i - 1);
                i = end + 1;
            } else {
                m_out += c == '/' ? m_locale.dateSeparator : c == ':' ? m_locale.timeSeparator : c;
                ++i;
            }
        }
    }

    const LocaleSettings& m_locale;
    QDate m_date;
    QTime m_time;
    QString m_out;
};

} // namespace

QString FormatDateTime(const QString& pattern, double dateTime, const LocaleSettings& locale)
{
    // Years 1 to 9999; anything else (also NaN) names no day of the calendar.
    constexpr double kFirstDay = -693593.0;
    constexpr double kPastLastDay = 2958466.0;
    if (!(dateTime > kFirstDay - 1 && dateTime < kPastLastDay))
        throw EConvertError(
            QStringLiteral("'%1' is not a valid date").arg(FloatToStrGeneral(dateTime, locale)));
    return DateTimeWriter(dateTime, locale).write(pattern);
}

} // namespace vaskel
