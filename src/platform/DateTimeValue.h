#pragma once
// Date-times of the report engine are doubles: whole days since 30 December 1899, the time of day
// as the fraction. Before that day the whole part counts backwards while the fraction still adds
// a time of day (-1.25 is 29 December 1899, 06:00), as stored files and scripts expect.
#include <QDate>
#include <QDateTime>
#include <QTime>

namespace vaskel::DateTimeValue {

inline constexpr double kMsPerDay = 86400000.0;

QDate epoch(); // 1899-12-30

double fromDate(QDate date);
double fromTime(QTime time);
double fromDateTime(const QDateTime& dt);
double fromDateTime(QDate date, QTime time);

// The date part: the whole days, counted away from the epoch (truncation toward zero).
QDate toDate(double value);
// The time of day of the fraction, to the millisecond (rounded, never reaching 24:00).
QTime toTime(double value);
QDateTime toDateTime(double value);

// Today and now as the run takes them.
double now();
double today();

} // namespace vaskel::DateTimeValue
