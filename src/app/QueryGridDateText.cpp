#include "app/QueryGridDateText.h"

#include "platform/DateTimeValue.h"
#include "report/expr/DateTimePattern.h"
#include "report/expr/ValueText.h"

#include <QRegularExpression>

namespace vaskel::QueryGridDateText {

namespace {

std::optional<QDate> yearFirst(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    return d.isValid() ? std::optional(d) : std::nullopt;
}

QString alternatives(const QStringList& names)
{
    QStringList escaped;
    for (const QString& n : names)
        escaped << QRegularExpression::escape(n);
    return QStringLiteral("(") + escaped.join('|') + QStringLiteral(")");
}

// The short date pattern turned into a regular expression with one group per day, month and
// year; day names are matched and ignored.
struct PatternReader {
    QString regex;
    QList<QChar> groups; // 'd', 'm' (number), 'M' (short name), 'L' (long name), 'y', 'Y' (2 digits), 'x'

    PatternReader(const QString& pattern, const LocaleSettings& locale)
    {
        for (qsizetype i = 0; i < pattern.size();) {
            const QChar c = pattern[i].toLower();
            qsizetype run = 1;
            while (i + run < pattern.size() && pattern[i + run].toLower() == c)
                ++run;
            if (c == '\'' || c == '"') {
                const qsizetype end = pattern.indexOf(pattern[i], i + 1);
                const qsizetype stop = end < 0 ? pattern.size() : end;
                regex += QRegularExpression::escape(pattern.mid(i + 1, stop - i - 1));
                i = stop + 1;
                continue;
            }
            if (c == 'd') {
                if (run >= 3) {
                    regex += alternatives(run == 3 ? locale.shortDayNames : locale.longDayNames);
                    groups << 'x';
                } else {
                    regex += QStringLiteral("(\\d{1,2})");
                    groups << 'd';
                }
            } else if (c == 'm') {
                if (run >= 3) {
                    regex += alternatives(run == 3 ? locale.shortMonthNames : locale.longMonthNames);
                    groups << (run == 3 ? 'M' : 'L');
                } else {
                    regex += QStringLiteral("(\\d{1,2})");
                    groups << 'm';
                }
            } else if (c == 'y') {
                regex += run <= 2 ? QStringLiteral("(\\d{1,2})") : QStringLiteral("(\\d{1,4})");
                groups << (run <= 2 ? 'Y' : 'y');
            } else if (c == '/') {
                regex += QRegularExpression::escape(QString(locale.dateSeparator).repeated(run));
            } else if (c.isSpace()) {
                regex += QStringLiteral("\\s+");
            } else {
                regex += QRegularExpression::escape(pattern.mid(i, run));
            }
            i += run;
        }
    }

    std::optional<QDate> read(const QString& text, const LocaleSettings& locale) const
    {
        const QRegularExpression re(
            QStringLiteral("^") + regex + QStringLiteral("$"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = re.match(text);
        if (!m.hasMatch())
            return std::nullopt;
        int day = -1, month = -1, year = -1;
        const auto nameIndex = [](const QStringList& names, const QString& s) {
            for (qsizetype k = 0; k < names.size(); ++k) {
                if (names[k].compare(s, Qt::CaseInsensitive) == 0)
                    return static_cast<int>(k) + 1;
            }
            return -1;
        };
        for (qsizetype g = 0; g < groups.size(); ++g) {
            const QString part = m.captured(static_cast<int>(g) + 1);
            switch (groups[g].unicode()) {
            case 'd':
                day = part.toInt();
                break;
            case 'm':
                month = part.toInt();
                break;
            case 'M':
                month = nameIndex(locale.shortMonthNames, part);
                break;
            case 'L':
                month = nameIndex(locale.longMonthNames, part);
                break;
            case 'y':
                year = part.toInt();
                break;
            case 'Y': {
                // Two-digit years fall in the 100 years that end 50 years after the current one.
                const int pivot = QDate::currentDate().year() - 50;
                year = part.toInt() + pivot / 100 * 100;
                if (year < pivot)
                    year += 100;
                break;
            }
            default:
                break;
            }
        }
        if (year < 0)
            year = QDate::currentDate().year();
        const QDate d(year, month, day);
        return d.isValid() ? std::optional(d) : std::nullopt;
    }
};

} // namespace

std::optional<QDate> parse(const QString& input, const LocaleSettings& locale)
{
    const QString text = input.trimmed();
    if (const auto d = yearFirst(text))
        return d;
    if (const auto v = ValueText::tryStrToDate(text, locale))
        return DateTimeValue::toDate(*v);
    return PatternReader(locale.shortDateFormat, locale).read(text, locale);
}

QString display(const QDate& date, const LocaleSettings& locale)
{
    return FormatDateTime(locale.shortDateFormat, DateTimeValue::fromDate(date), locale);
}

} // namespace vaskel::QueryGridDateText
