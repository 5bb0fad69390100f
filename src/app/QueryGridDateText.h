#pragma once
// Reading a date typed into a grid cell. A date cell accepts what it displays (the locale's short
// date pattern, month names included, "17 Mar 2023"), the locale's short numeric form as the
// report's date conversion reads it ("3/17/2023" in the English locale), and dates written year
// first ("2023-03-18", "2023/3/18", "2023.3.18").
#include "platform/LocaleSettings.h"

#include <QDate>

#include <optional>

namespace vaskel::QueryGridDateText {

std::optional<QDate> parse(const QString& text, const LocaleSettings& locale);

// The text a date cell shows: the locale's short date pattern.
QString display(const QDate& date, const LocaleSettings& locale);

} // namespace vaskel::QueryGridDateText
