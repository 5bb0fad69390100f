#include "platform/DateTimeValue.h"

#include "platform/Rounding.h"

#include <cmath>

namespace vaskel::DateTimeValue {

QDate epoch()
{
    return QDate(1899, 12, 30);
}

double fromDate(QDate date)
{
    return static_cast<double>(epoch().daysTo(date));
}

double fromTime(QTime time)
{
    return time.msecsSinceStartOfDay() / kMsPerDay;
}

double fromDateTime(QDate date, QTime time)
{
    const double days = fromDate(date);
    const double frac = fromTime(time);
    return days >= 0 ? days + frac : days - frac;
}

double fromDateTime(const QDateTime& dt)
{
    return fromDateTime(dt.date(), dt.time());
}

QDate toDate(double value)
{
    return epoch().addDays(static_cast<qint64>(std::trunc(value)));
}

QTime toTime(double value)
{
    const double frac = std::fabs(value - std::trunc(value));
    qint64 ms = roundToInt64(frac * kMsPerDay);
    if (ms >= static_cast<qint64>(kMsPerDay))
        ms = static_cast<qint64>(kMsPerDay) - 1;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

QDateTime toDateTime(double value)
{
    return QDateTime(toDate(value), toTime(value));
}

double now()
{
    return fromDateTime(QDateTime::currentDateTime());
}

double today()
{
    return fromDate(QDate::currentDate());
}

} // namespace vaskel::DateTimeValue
