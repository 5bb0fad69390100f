#pragma once
// Text forms of numbers, dates and times and their reading back, with the locale settings of the
// platform layer (decimal separator, date order and separator, time markers). These are the
// conversions Values go through; failures raise `EConvertError` with the system's own texts.
// A number with no pattern and a date-time in a report date pattern are written by
// FloatToStrGeneral (NumberPattern.h) and FormatDateTime (DateTimePattern.h).
#include "platform/LocaleSettings.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace vaskel::ValueText {

// The short date followed by the long time; the date is left out for a pure time of day (whole
// part 0) and the time for midnight.
QString dateTimeToStr(double value, const LocaleSettings& locale);

// Blanks around, optional sign, digits with one locale decimal separator, optional exponent.
std::optional<double> tryStrToFloat(QStringView text, QChar decimalSeparator);
double strToFloat(
    QStringView text, const LocaleSettings& locale); // "'%s' is not a valid floating point value"
std::optional<qint32> tryStrToInt(QStringView text);
qint32 strToInt(QStringView text); // "'%s' is not a valid integer value"

std::optional<double> tryStrToDate(QStringView text, const LocaleSettings& locale);
std::optional<double> tryStrToTime(QStringView text, const LocaleSettings& locale);
std::optional<double> tryStrToDateTime(QStringView text, const LocaleSettings& locale);
double strToDate(QStringView text, const LocaleSettings& locale); // "'%s' is not a valid date"
double strToTime(QStringView text, const LocaleSettings& locale); // "'%s' is not a valid time"

} // namespace vaskel::ValueText
