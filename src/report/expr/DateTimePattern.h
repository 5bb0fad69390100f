#pragma once
// The date-time pattern language of FORMATDATETIME and of the date and time display formats. A pure
// function of the pattern, the date-time (days since 30 December 1899, time of day as the fraction)
// and the locale's names, separators and standard formats.
//
// Letters, in either case: d dd (day), ddd dddd (short and long day name), ddddd dddddd (the
// locale's short and long date format), m mm (month; minutes right after an hour), mmm mmmm (short
// and long month name), yy yyyy (two- and four-digit year), h hh, n nn, s ss, z zzz (hours,
// minutes, seconds, milliseconds), t tt (the locale's short and long time format), c (short date,
// then the long time unless it is midnight), am/pm a/p ampm (the half of the day; any of them in a
// pattern turns that pattern's h and hh to the 12-hour clock). "/" and ":" print the locale's date and time
// separators; text in '…' or "…" and every other character print as written. An empty pattern
// prints as "c".
#include "platform/LocaleSettings.h"

#include <QString>

namespace vaskel {

QString FormatDateTime(const QString& pattern, double dateTime, const LocaleSettings& locale);

} // namespace vaskel
