#pragma once
// The number pattern language of FORMATFLOAT and of the number display formats, and the plain
// notations (general, exponent, fixed, number) that the display formats and the text form of values
// use. Pure functions over a double and the locale's separators; nothing here keeps state.
//
// Pattern language: "0" a digit that always prints, "#" a digit that prints when significant, the
// first "." places the locale's decimal separator, any "," turns on thousands separators, "E+" "E-"
// "e+" "e-" followed by "0"s give scientific notation with that many exponent digits at least,
// text in '…' or "…" is copied, any other character is copied. Up to three sections separated by
// ";": positive, negative, zero. A negative value printed through the positive section gets a
// leading "-"; an empty or missing negative or zero section falls back to the positive one; a value
// that rounds to zero is printed by the zero section and never as "-0". An empty pattern (or an
// empty positive section) prints the general notation with 15 significant digits.
//
// Rounding is half away from zero on the value's 17-digit decimal form, so 0.125 prints as 0.13 with
// two decimals while 1.005 (stored as 1.00499999…) prints as 1.00.
#include "platform/LocaleSettings.h"

#include <QString>

namespace vaskel {

enum class FloatFormat {
    General, // shortest of fixed and scientific, at most `precision` significant digits: "1234.5", "1E20"
    Exponent, // "-1.23450000000000E+004": `precision` digits, at least `digits` exponent digits
    Fixed, // "-1234.50": exactly `digits` decimals; general notation when the integer part is too long
    Number, // "-1,234.50": as Fixed with thousands separators
};

// `precision` is clamped to 1..17 significant digits and `digits` to 0..18.
QString FloatToStrF(
    double value, FloatFormat format, int precision, int digits, const LocaleSettings& locale);

// The general notation with 15 significant digits: the text of a number when no pattern is given.
QString FloatToStrGeneral(double value, const LocaleSettings& locale);

QString FormatFloat(const QString& pattern, double value, const LocaleSettings& locale);

} // namespace vaskel
