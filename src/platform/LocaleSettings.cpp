#include "platform/LocaleSettings.h"

namespace vaskel {

namespace {

QStringList names(const QLocale& l, bool months, QLocale::FormatType type)
{
    QStringList out;
    if (months) {
        for (int m = 1; m <= 12; ++m)
            out << l.standaloneMonthName(m, type);
    } else {
        // Qt numbers days Monday = 1 … Sunday = 7; the report's lists start on Sunday.
        out << l.dayName(7, type);
        for (int d = 1; d <= 6; ++d)
            out << l.dayName(d, type);
    }
    return out;
}

QChar firstNonLetter(const QString& pattern, QChar fallback)
{
    for (QChar c : pattern) {
        if (!c.isLetterOrNumber() && c != '\'' && c != ' ')
            return c;
    }
    return fallback;
}

} // namespace

LocaleSettings LocaleSettings::fixedEnglish()
{
    LocaleSettings s = fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    s.shortDateFormat = "m/d/yyyy";
    s.longDateFormat = "dddd, mmmm d, yyyy";
    s.shortTimeFormat = "h:nn AMPM";
    s.longTimeFormat = "h:nn:ss AMPM";
    s.dateSeparator = '/';
    s.timeSeparator = ':';
    s.decimalSeparator = '.';
    s.thousandSeparator = ',';
    s.currencyString = "$";
    return s;
}

LocaleSettings LocaleSettings::fromSystem()
{
    return fromLocale(QLocale::system());
}

LocaleSettings LocaleSettings::fromLocale(const QLocale& l)
{
    LocaleSettings s;
    s.decimalSeparator = l.decimalPoint().isEmpty() ? QChar('.') : l.decimalPoint().at(0);
    s.thousandSeparator = l.groupSeparator().isEmpty() ? QChar(',') : l.groupSeparator().at(0);
    s.shortDateFormat = fromQtPattern(l.dateFormat(QLocale::ShortFormat));
    s.longDateFormat = fromQtPattern(l.dateFormat(QLocale::LongFormat));
    s.shortTimeFormat = fromQtPattern(l.timeFormat(QLocale::ShortFormat));
    s.longTimeFormat = fromQtPattern(l.timeFormat(QLocale::LongFormat));
    s.dateSeparator = firstNonLetter(l.dateFormat(QLocale::ShortFormat), '/');
    s.timeSeparator = firstNonLetter(l.timeFormat(QLocale::ShortFormat), ':');
    s.timeAMString = l.amText();
    s.timePMString = l.pmText();
    s.currencyString = l.currencySymbol();
    s.shortMonthNames = names(l, true, QLocale::ShortFormat);
    s.longMonthNames = names(l, true, QLocale::LongFormat);
    s.shortDayNames = names(l, false, QLocale::ShortFormat);
    s.longDayNames = names(l, false, QLocale::LongFormat);
    s.caseLocale = l;
    return s;
}

QString LocaleSettings::fromQtPattern(const QString& qt)
{
    // Qt: M month, m minute, H/h hour, AP/ap marker, t zone, quotes for text.
    // Report: m month (minute when after h), n minute, h hour, "ampm", quotes for text.
    QString out;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt.at(i);
        if (c == '\'') {
            const qsizetype end = qt.indexOf('\'', i + 1);
            const qsizetype stop = end < 0 ? qt.size() : end;
            out += '"' + qt.mid(i + 1, stop - i - 1) + '"';
            i = stop;
        } else if (c == 'M') {
            out += 'm';
        } else if (c == 'm') {
            out += 'n';
        } else if (c == 'H') {
            out += 'h';
        } else if (c == 'A' || c == 'a') {
            if (i + 1 < qt.size() && (qt.at(i + 1) == 'P' || qt.at(i + 1) == 'p'))
                ++i;
            out += "AMPM";
        } else if (c == 't') {
            // Time zone names have no place in the report's patterns.
            while (i + 1 < qt.size() && qt.at(i + 1) == 't')
                ++i;
        } else {
            out += c;
        }
    }
    return out.trimmed();
}

} // namespace vaskel
