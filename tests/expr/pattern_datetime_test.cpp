// The date-time pattern language: agreement with an independent reference implementation on a
// table of patterns (tests/expr/oracle), then the corners where this system prints something else,
// names and separators from the locale, and values that name no day.
#include "report/expr/DateTimePattern.h"

#include "platform/DateTimeValue.h"
#include "report/expr/ExprErrors.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "oracle/datetime_cases.inc"

namespace vaskel {
namespace {

struct Moment {
    int year, month, day, hour, minute, second, msec;
};

struct PatternCase {
    const char* pattern;
    Moment at;
    const char* text;
};

double valueOf(const Moment& m)
{
    return DateTimeValue::fromDateTime(
        QDate(m.year, m.month, m.day), QTime(m.hour, m.minute, m.second, m.msec));
}

const Moment kSample{1998, 11, 15, 14, 43, 35, 7};

TEST(DateTimePattern, AgreesWithReference)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    const PatternCase cases[] = {VASKEL_DATETIME_CASES};
    for (const PatternCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "pattern [" << c.pattern << "]");
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.pattern), valueOf(c.at), en), QString::fromUtf8(c.text));
    }
}

// The reference reads "h m" as hour and month, upper-cases stray letters and rejects a lone "a";
// here m after an h is minutes and letters that are no pattern letter print as written.
TEST(DateTimePattern, CornersThatDifferFromReference)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    const struct {
        const char* pattern;
        const char* text;
    } cases[] = {
        {"h m", "14 43"},
        {"h x m", "14 x 11"},
        {"x q w", "x q w"},
        {"a", "a"},
        {"hh \"x", "14 x"},
        {"ddddddd", "Sunday, November 15, 1998"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTime(c.pattern, valueOf(kSample), en), c.text);
    }
}

TEST(DateTimePattern, DaysBeforeTheEpochAndTheLastMillisecond)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    // The whole part counts back, the fraction is still the time of day.
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy h:nn", -1.25, en), "29/12/1899 6:00");
    EXPECT_EQ(FormatDateTime("c", 0.5, en), "12/30/1899 12:00:00 PM");
    // A fraction a hair below one day stays on its day.
    EXPECT_EQ(FormatDateTime("dd hh:nn:ss.zzz", 36114.99999999999, en), "15 23:59:59.999");
}

TEST(DateTimePattern, NamesSeparatorsAndFormatsComeFromTheLocale)
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.dateSeparator = '.';
    l.timeSeparator = '-';
    l.shortMonthNames[10] = QString::fromUtf8("十一");
    l.longMonthNames[10] = QString::fromUtf8("十一月");
    l.shortDayNames[0] = QString::fromUtf8("日");
    l.longDayNames[0] = QString::fromUtf8("星期日");
    l.timeAMString = QString::fromUtf8("上午");
    l.timePMString = QString::fromUtf8("下午");
    l.shortDateFormat = "yyyy/m/d";
    l.longTimeFormat = "ampm h:nn:ss";
    const double v = valueOf(kSample);
    EXPECT_EQ(FormatDateTime("dd/mm/yy hh:nn", v, l), "15.11.98 14-43");
    EXPECT_EQ(FormatDateTime("mmm mmmm ddd dddd", v, l), QString::fromUtf8("十一 十一月 日 星期日"));
    EXPECT_EQ(FormatDateTime("c", v, l), QString::fromUtf8("1998.11.15 下午 2-43-35"));
    // Quoted separators stay as written.
    EXPECT_EQ(FormatDateTime("dd'/'mm", v, l), "15/11");
}

TEST(DateTimePattern, UnfilledNameListsFallBackToEnglish)
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.shortMonthNames.clear();
    l.longMonthNames.clear();
    l.shortDayNames.clear();
    l.longDayNames.clear();
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", valueOf(kSample), l), "Sun Sunday Nov November");
}

TEST(DateTimePattern, LocaleFormatsThatNameThemselvesEnd)
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.shortDateFormat = "ddddd/c";
    l.longTimeFormat = "tt";
    EXPECT_EQ(FormatDateTime("c", valueOf(kSample), l), "/  ");
}

TEST(DateTimePattern, ValuesThatNameNoDayAreConversionErrors)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    EXPECT_THROW(FormatDateTime("yyyy", std::numeric_limits<double>::quiet_NaN(), en), EConvertError);
    EXPECT_THROW(FormatDateTime("yyyy", 1e10, en), EConvertError);
    EXPECT_THROW(FormatDateTime("yyyy", -1e6, en), EConvertError);
    EXPECT_EQ(
        FormatDateTime("yyyy-mm-dd", DateTimeValue::fromDate(QDate(9999, 12, 31)) + 0.5, en), "9999-12-31");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", DateTimeValue::fromDate(QDate(1, 1, 1)), en), "0001-01-01");
}

TEST(DateTimePattern, ArbitraryPatternsNeverFail)
{
    const LocaleSettings en = LocaleSettings::fixedEnglish();
    const QString alphabet = QStringLiteral("dmyhnsztcaAMP/:'\" x;");
    std::mt19937 random(6);
    for (int n = 0; n < 3000; ++n) {
        QString pattern;
        for (int k = static_cast<int>(random() % 14); k > 0; --k)
            pattern += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        const QString text = FormatDateTime(pattern, -800.3 + n * 17.77, en);
        EXPECT_LT(text.size(), 400) << pattern.toStdString();
    }
}

} // namespace
} // namespace vaskel
