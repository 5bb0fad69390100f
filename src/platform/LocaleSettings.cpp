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

// The first separator character of a Qt pattern, outside quoted text. Letters, digits, blanks and
// invisible direction marks (which some locales put around their separators) do not count.
QChar firstSeparator(const QString& pattern, QChar fallback)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || c.isLetterOrNumber() || c.isSpace() || c.category() == QChar::Other_Format)
            continue;
        return c;
    }
    return fallback;
}

bool isQtPatternLetter(QChar c)
{
    return QStringView(u"dMyhHmszaAt").contains(c);
}

// A literal text in the report's pattern language: in double quotes, and a double quote itself
// in single quotes.
QString quotedLiteral(const QString& text)
{
    QString out;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty())
            out += '"' + run + '"';
        run.clear();
    };
    for (QChar c : text) {
        if (c == '"') {
            flush();
            out += QStringLiteral("'\"'");
        } else {
            run += c;
        }
    }
    flush();
    return out;
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
    s.dateSeparator = firstSeparator(l.dateFormat(QLocale::ShortFormat), '/');
    s.timeSeparator = firstSeparator(l.timeFormat(QLocale::ShortFormat), ':');
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
    // Qt: M month, m minute, H/h hour, AP/ap marker, t zone, '' a quote, 'text' literal text, any
    // other letter literal. Report: m month, n minute, h hour, "ampm", "text" or 'text' literal,
    // and more letters with a meaning (c, n, t, e, g ...), so Qt's bare literal letters are quoted.
    QString out;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt.at(i);
        if (c == '\'') {
            // Quoted text runs to the next lone quote; a doubled quote inside or outside stands for
            // one quote character.
            QString literal;
            qsizetype j = i + 1;
            if (j < qt.size() && qt.at(j) == '\'') {
                literal = QStringLiteral("'");
                i = j;
            } else {
                for (; j < qt.size(); ++j) {
                    if (qt.at(j) == '\'') {
                        if (j + 1 < qt.size() && qt.at(j + 1) == '\'') {
                            literal += '\'';
                            ++j;
                            continue;
                        }
                        break;
                    }
                    literal += qt.at(j);
                }
                i = j;
            }
            out += quotedLiteral(literal);
        } else if (c == '"') {
            out += quotedLiteral(c);
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
        } else if (c.unicode() < 128 && c.isLetter() && !isQtPatternLetter(c)) {
            qsizetype j = i;
            while (j + 1 < qt.size() && qt.at(j + 1).unicode() < 128 && qt.at(j + 1).isLetter()
                && !isQtPatternLetter(qt.at(j + 1)))
                ++j;
            out += quotedLiteral(qt.mid(i, j - i + 1));
            i = j;
        } else {
            out += c;
        }
    }
    // What dropping the zone leaves behind: "h:nn:ss ()" or a doubled blank.
    out.replace(QStringLiteral("()"), QString());
    while (out.contains(QStringLiteral("  ")))
        out.replace(QStringLiteral("  "), QStringLiteral(" "));
    return out.trimmed();
}

} // namespace vaskel
