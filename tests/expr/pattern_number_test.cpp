// The number pattern language and the plain notations: agreement with an independent reference
// implementation on a table of patterns (tests/expr/oracle), then the corners where this system
// deliberately prints something else, and the display formats' sample texts.
#include "report/expr/NumberPattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "oracle/number_cases.inc"

namespace vaskel {
namespace {

struct PatternCase {
    const char* pattern;
    double value;
    const char* text;
};

struct NotationCase {
    double value;
    int decimals;
    const char* fixed;
    const char* number;
};

LocaleSettings commaLocale()
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.decimalSeparator = ',';
    l.thousandSeparator = '.';
    return l;
}

void checkPatterns(const PatternCase* begin, const PatternCase* end, const LocaleSettings& locale)
{
    for (const PatternCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(testing::Message() << "pattern [" << c->pattern << "] value " << c->value);
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c->pattern), c->value, locale), QString::fromUtf8(c->text));
    }
}

void checkNotations(const NotationCase* begin, const NotationCase* end, const LocaleSettings& locale)
{
    for (const NotationCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(testing::Message() << "value " << c->value << " decimals " << c->decimals);
        EXPECT_EQ(
            FloatToStrF(c->value, FloatFormat::Fixed, 15, c->decimals, locale), QString::fromUtf8(c->fixed));
        EXPECT_EQ(FloatToStrF(c->value, FloatFormat::Number, 15, c->decimals, locale),
            QString::fromUtf8(c->number));
    }
}

TEST(NumberPattern, AgreesWithReferenceWithPointAsDecimalSeparator)
{
    const PatternCase cases[] = {VASKEL_NUMBER_CASES_DOT};
    checkPatterns(std::begin(cases), std::end(cases), LocaleSettings::fixedEnglish());
}

TEST(NumberPattern, AgreesWithReferenceWithCommaAsDecimalSeparator)
{
    const PatternCase cases[] = {VASKEL_NUMBER_CASES_COMMA};
    checkPatterns(std::begin(cases), std::end(cases), commaLocale());
}

TEST(NumberPattern, FixedAndNumberNotationsAgreeWithReference)
{
    const NotationCase dot[] = {VASKEL_FIXED_CASES_DOT};
    checkNotations(std::begin(dot), std::end(dot), LocaleSettings::fixedEnglish());
    const NotationCase comma[] = {VASKEL_FIXED_CASES_COMMA};
    checkNotations(std::begin(comma), std::end(comma), commaLocale());
}

// Where the reference prints a negative zero, ignores the zero section for a value that rounds to
// zero, or drops the positive section's thousands separators for an empty negative section.
TEST(NumberPattern, ZeroAndEmptySectionsPrintSoundly)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    const PatternCase table[] = {
        {"0.00", -0.001, "0.00"},
        {"#,##0.00", -0.0, "0.00"},
        {"0.00;-0.00;zero", 0.0001, "zero"},
        {"0.00;-0.00;zero", -0.0001, "zero"},
        {"0.0;(0.0)", -0.04, "0.0"},
        {"0;(0);", -0.4, "0"},
        {"#,##0;;", -1234, "-1,234"},
        {"0.0;", -1.25, "-1.3"},
        {"\"pos\";;", 0, "pos"},
        {"\"pos\";\"neg\";\"nil\"", -7, "neg"},
        {";(0)", 5, "5"},
    };
    checkPatterns(std::begin(table), std::end(table), en);
}

TEST(NumberPattern, NonFiniteValuesPrintTheirNames)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN(), en), "NAN");
    EXPECT_EQ(FormatFloat("#,##0", std::numeric_limits<double>::infinity(), en), "INF");
    EXPECT_EQ(FloatToStrF(-std::numeric_limits<double>::infinity(), FloatFormat::Fixed, 15, 2, en), "-INF");
}

TEST(NumberPattern, GeneralAndExponentNotations)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    struct Case {
        const char* name;
        double value;
        const char* text;
    } cases[] = {
        {"fraction", 1234.5, "1234.5"},
        {"fifteen digits at most", 1.0 / 3.0, "0.333333333333333"},
        {"binary noise hidden", 0.1 + 0.2, "0.3"},
        {"fifteen integer digits stay fixed", 123456789012345.0, "123456789012345"},
        {"sixteen integer digits go scientific", 1e15, "1E15"},
        {"large", 1.5e20, "1.5E20"},
        {"small but fixed", 0.0001, "0.0001"},
        {"smaller goes scientific", 0.00001, "1E-5"},
        {"negative scientific", -1.5e-10, "-1.5E-10"},
        {"zero", 0.0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FloatToStrGeneral(c.value, en), c.text);
    }
    EXPECT_EQ(FloatToStrF(1234.5, FloatFormat::Exponent, 6, 3, en), "1.23450E+003");
    EXPECT_EQ(FloatToStrF(-0.00012, FloatFormat::Exponent, 3, 2, en), "-1.20E-04");
    EXPECT_EQ(FloatToStrF(1234.5, FloatFormat::General, 15, 0, commaLocale()), "1234,5");
}

TEST(NumberPattern, FixedNotationLimits)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    // Fifteen significant digits, the decimals padded with zeros, at most 18 decimals.
    EXPECT_EQ(FloatToStrF(1.0 / 3.0, FloatFormat::Fixed, 15, 20, en), "0.333333333333333000");
    // An integer part longer than the precision turns to the general notation.
    EXPECT_EQ(FloatToStrF(1e15, FloatFormat::Fixed, 15, 2, en), "1E15");
    EXPECT_EQ(FloatToStrF(-1e20, FloatFormat::Number, 15, 2, en), "-1E20");
    EXPECT_EQ(FloatToStrF(999999999999999.0, FloatFormat::Number, 15, 0, en), "999,999,999,999,999");
    // Rounding up into a sixteenth digit does the same.
    EXPECT_EQ(FloatToStrF(999999999999999.9, FloatFormat::Fixed, 15, 0, en), "1E15");
}

// The number kinds of the display formats, with the sample texts the format editor shows.
TEST(NumberPattern, DisplayFormatSampleTexts)
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.decimalSeparator = ',';
    l.thousandSeparator = ' ';
    const double v = 1234.5;
    EXPECT_EQ(FormatFloat("##0." + QString(2, '#'), v, l), "1234,5");
    EXPECT_EQ(FloatToStrF(v, FloatFormat::Fixed, 15, 2, l), "1234,50");
    EXPECT_EQ(FormatFloat("#,##0." + QString(2, '#'), v, l), "1 234,5");
    EXPECT_EQ(FloatToStrF(v, FloatFormat::Number, 15, 2, l), "1 234,50");
    // No decimals: the pattern ends with the point, which then does not print.
    EXPECT_EQ(FormatFloat("##0.", 1234.56, l), "1235");
    EXPECT_EQ(FloatToStrF(1234.56, FloatFormat::Fixed, 15, 0, l), "1235");
}

TEST(NumberPattern, ArbitraryPatternsNeverFail)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    const QString alphabet = QStringLiteral("0#.,;Ee+-'\"x0#0");
    const double values[] = {0, -0.0, 1e-300, -5e-7, 0.5, -1234.5678, 9.999999, 1e17, -1e300, 4.9e-324};
    std::mt19937 random(6);
    for (int n = 0; n < 3000; ++n) {
        QString pattern;
        for (int k = static_cast<int>(random() % 16); k > 0; --k)
            pattern += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        for (double v : values) {
            const QString text = FormatFloat(pattern, v, en);
            EXPECT_LT(text.size(), 400) << pattern.toStdString() << " " << v;
        }
    }
}

} // namespace
} // namespace vaskel
