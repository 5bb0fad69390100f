#pragma once
// The locale figures that text forms of numbers, dates and booleans use: what the legacy engine
// read from the operating system's regional settings. Filled from the system locale at start-up,
// or pinned as one whole object (tests pin `LocaleSettings::fixedEnglish()` so that results do not
// depend on the machine). Patterns are in the report's date-time pattern language (d m y h n s,
// "ampm"), not Qt's.
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace vaskel {

struct LocaleSettings {
    QChar decimalSeparator = '.';
    QChar thousandSeparator = ',';
    QChar dateSeparator = '/';
    QChar timeSeparator = ':';
    QString shortDateFormat = "m/d/yyyy";
    QString longDateFormat = "dddd, mmmm d, yyyy";
    QString shortTimeFormat = "h:nn AMPM";
    QString longTimeFormat = "h:nn:ss AMPM";
    QString timeAMString = "AM";
    QString timePMString = "PM";
    QString currencyString = "$";
    QString trueName = "True";
    QString falseName = "False";
    QStringList shortMonthNames; // 12 entries, January first
    QStringList longMonthNames;
    QStringList shortDayNames; // 7 entries, Sunday first
    QStringList longDayNames;
    QLocale caseLocale = QLocale::c(); // upper/lower casing rules

    QString toUpper(const QString& s) const { return caseLocale.toUpper(s); }
    QString toLower(const QString& s) const { return caseLocale.toLower(s); }

    // An English (United States) set that does not depend on the machine.
    static LocaleSettings fixedEnglish();
    // The settings of the running system.
    static LocaleSettings fromSystem();
    static LocaleSettings fromLocale(const QLocale& locale);

    // Qt date/time format ("M/d/yy h:mm AP") to the report's pattern language ("m/d/yy h:nn AMPM").
    // Time zones are dropped; literal text is quoted.
    static QString fromQtPattern(const QString& qtPattern);
};

} // namespace vaskel
