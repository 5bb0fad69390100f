// Display formats: the packed format code and how each category and kind turns a value into text.
#include "support/TestGlobals.h"

#include "platform/DateTimeValue.h"
#include "report/model/DisplayFormat.h"

namespace vaskel {
namespace {

class DisplayFormatTest : public test::GlobalsTest {
protected:
    static std::string show(const Value& v, qint32 code, const QString& fmt = {})
    {
        return FormatForDisplay(v, code, fmt).toStdString();
    }
};

// 15 November 1998, 02:43:35: the moment the editor's sample texts show.
Value sampleMoment()
{
    return Value::dateTime(DateTimeValue::fromDateTime(QDate(1998, 11, 15), QTime(2, 43, 35)));
}

TEST_F(DisplayFormatTest, CodePacksCategoryKindDecimalsAndSeparator)
{
    const DisplayFormat f = DisplayFormat::unpack(0x0104022C);
    EXPECT_EQ(f.category, 1);
    EXPECT_EQ(f.kind, 4);
    EXPECT_EQ(f.decimals, 2);
    EXPECT_EQ(f.separator, QLatin1Char(','));
    EXPECT_EQ(f.pack(), 0x0104022C);
    EXPECT_EQ(DisplayFormat::unpack(0x7F000000).category, 15) << "bits 28 to 31 are not the category";
}

TEST_F(DisplayFormatTest, EachCategoryAndKind)
{
    struct Case {
        const char* name;
        Value value;
        qint32 code;
        QString fmt;
        const char* expected;
    };
    const Value amount(1234.5);
    const Case cases[] = {
        {"text: a float", amount, 0x0000022E, {}, "1234.5"},
        {"text: a string as it is", Value("a b"), 0, {}, "a b"},
        {"text: a boolean", Value(true), 0, {}, "True"},
        {"number kind 0, ',' separator", amount, 0x0100022C, {}, "1234,5"},
        {"number kind 0 rounds to the decimals", Value(1234.567), 0x0100022E, {}, "1234.57"},
        {"number kind 0 with no decimals", amount, 0x0100002E, {}, "1235"},
        {"number kind 1 keeps every decimal", amount, 0x0101022C, {}, "1234,50"},
        {"number kind 2 groups thousands", amount, 0x0102022E, {}, "1,234.5"},
        {"number kind 3 groups and keeps decimals", Value(-1234567.0), 0x0103022E, {}, "-1,234,567.00"},
        {"number kind 4 uses the format text", amount, 0x0104002E, "000000.0", "001234.5"},
        {"number kind 4 with three sections", Value(-2.0), 0x0104002E, "0.0;(0.0);zero", "(2.0)"},
        {"number without a separator keeps the locale's", amount, 0x01040000, {}, "1234.5"},
        {"number kind 5 has no format", amount, 0x0105022E, {}, ""},
        {"number from a numeric text", Value("12.5"), 0x0101022E, {}, "12.50"},
        {"number from an integer", Value(qint32(7)), 0x0101012E, {}, "7.0"},
        {"date kind 0", sampleMoment(), 0x02000000, {}, "11.15.98"},
        {"date kind 1", sampleMoment(), 0x02010000, {}, "11.15.1998"},
        {"date kind 2", sampleMoment(), 0x02020000, {}, "15 Nov 1998"},
        {"date kind 3 is the locale's long date", sampleMoment(), 0x02030000, {},
            "Sunday, November 15, 1998"},
        {"date kind 4", sampleMoment(), 0x02040000, "yyyy-mm-dd hh:nn", "1998-11-15 02:43"},
        {"date kind 5 has no pattern", sampleMoment(), 0x02050000, {}, ""},
        {"date from a date text", Value("11/15/1998"), 0x02010000, {}, "11.15.1998"},
        {"time kind 0", sampleMoment(), 0x03000000, {}, "02:43:35"},
        {"time kind 1", sampleMoment(), 0x03010000, {}, "2:43:35"},
        {"time kind 2", sampleMoment(), 0x03020000, {}, "02:43"},
        {"time kind 3", sampleMoment(), 0x03030000, {}, "2:43"},
        {"time kind 4", sampleMoment(), 0x03040000, "h:nn am/pm", "2:43 am"},
        {"boolean kind 0, true", Value(true), 0x04000000, {}, "1"},
        {"boolean kind 1, true", Value(true), 0x04010000, {}, "Yes"},
        {"boolean kind 1, a non-zero number", Value(5.0), 0x04010000, {}, "Yes"},
        {"boolean kind 1, zero", Value(qint32(0)), 0x04010000, {}, "No"},
        {"boolean kind 1, false", Value(false), 0x04010000, {}, "No"},
        {"boolean kind 2, true", Value(true), 0x04020000, {}, "x"},
        {"boolean kind 3, false", Value(false), 0x04030000, {}, "False"},
        {"boolean custom, true part after the first ';'", Value(true), 0x04040000, "off;on;x", "on;x"},
        {"boolean custom without ';', non-zero", Value(true), 0x04040000, "Paid", "Paid"},
        {"boolean custom without ';', zero", Value(false), 0x04040000, "Paid", ""},
        {"category 7", amount, 0x07000000, {}, ""},
        {"category 5", Value("x"), 0x05000000, {}, ""},
        {"not a number prints as it is", Value("abc"), 0x0101022C, {}, "abc"},
        {"not a date prints as it is", Value("soon"), 0x02000000, {}, "soon"},
        {"beyond the calendar prints the number", Value(1e300), 0x02010000, {}, "1E300"},
        {"boolean of a text that is no number", Value("maybe"), 0x04010000, {}, "maybe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(show(c.value, c.code, c.fmt), c.expected);
    }
}

TEST_F(DisplayFormatTest, NothingToShowIsEmptyInEveryCategory)
{
    const Value nothing[] = {Value(), Value::null(), Value("   "), Value("")};
    for (int category = 0; category <= 4; ++category) {
        for (int kind = 0; kind <= 4; ++kind) {
            for (const Value& v : nothing) {
                SCOPED_TRACE(testing::Message()
                    << "category " << category << " kind " << kind << " " << v.kindName().toStdString());
                EXPECT_EQ(show(v, category * 0x1000000 + kind * 0x10000 + 0x22E, "x;y"), "");
            }
        }
    }
}

TEST_F(DisplayFormatTest, TheCodesSeparatorIsInForceWhileFormattingAndRestoredAfter)
{
    LocaleSettings& locale = PlatformGlobals::get().locale;
    ASSERT_EQ(locale.decimalSeparator, QLatin1Char('.'));
    // A text is read as a number with the code's separator.
    EXPECT_EQ(show(Value("1,5"), 0x0101022C), "1,50");
    EXPECT_EQ(locale.decimalSeparator, QLatin1Char('.'));
    // A failing conversion prints the text and still puts the separator back.
    EXPECT_EQ(show(Value("1.5"), 0x0101022C), "1.5");
    EXPECT_EQ(locale.decimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(show(Value("abc"), 0x0104022C, "0.00"), "abc");
    EXPECT_EQ(locale.decimalSeparator, QLatin1Char('.'));
    // Other categories print with the locale's own separator.
    EXPECT_EQ(show(Value(2.5), 0x0000022C), "2.5");
}

TEST_F(DisplayFormatTest, PatternsComeFromTheStringTable)
{
    globals.strings.setLocalizeCallback([](int number) {
        if (number == 55171)
            return QStringLiteral("否;是");
        if (number == 55175)
            return QStringLiteral("yyyy/mm/dd");
        return QString();
    });
    EXPECT_EQ(show(Value(true), 0x04010000), "是");
    EXPECT_EQ(show(sampleMoment(), 0x02000000), "1998/11/15");
    EXPECT_EQ(show(sampleMoment(), 0x02010000), "11.15.1998");
}

} // namespace
} // namespace vaskel
