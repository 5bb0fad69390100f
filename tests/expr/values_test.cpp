// Values, their conversions and text forms, and the variable list.
#include "ExprTestSupport.h"

#include "report/expr/TfrVariables.h"
#include "report/expr/ValueOperators.h"
#include "report/expr/ValueText.h"

#include <cmath>
#include <limits>

namespace vaskel::test {
namespace {

class ValueTest : public ExprTest { };

TEST_F(ValueTest, FloatTextForms)
{
    struct Case {
        const char* name;
        double value;
        const char* text;
    } cases[] = {
        {"integral", 14, "14"},
        {"negative fraction", -0.25, "-0.25"},
        {"rounding noise hidden at 15 digits", 0.1 + 0.2, "0.3"},
        {"15 integer digits stay fixed", 123456789012345.0, "123456789012345"},
        {"16 integer digits go exponent", 1234567890123456.0, "1.23456789012346E15"},
        {"tiny", 1.5e-10, "1.5E-10"},
        {"negative zero", -0.0, "0"},
        {"infinity", std::numeric_limits<double>::infinity(), "INF"},
        {"not a number", std::nan(""), "NAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Value(c.value).toText(), QString::fromUtf8(c.text));
    }
}

TEST_F(ValueTest, ConversionsAndTheirErrors)
{
    EXPECT_EQ(Value("  2.5 ").toNumber(), 2.5);
    EXPECT_EQ(Value("-1e2").toNumber(), -100);
    EXPECT_EQ(Value(true).toNumber(), -1);
    EXPECT_EQ(Value().toNumber(), 0);
    EXPECT_EQ(Value(2.5).toInt(), 2);
    EXPECT_EQ(Value(3.5).toInt(), 4);
    EXPECT_EQ(Value("7").toInt(), 7);
    EXPECT_TRUE(Value("True").toBool());
    EXPECT_FALSE(Value("0").toBool());
    EXPECT_EQ(Value("11/15/1998 6:00 PM").toDateTime(), 36114.75);
    EXPECT_EQ(Value::dateTime(36114.75).toText(), "11/15/1998 6:00:00 PM");
    EXPECT_EQ(Value::dateTime(36114).toText(), "11/15/1998");
    EXPECT_EQ(Value::dateTime(0.5).toText(), "12:00:00 PM");
    EXPECT_EQ(Value::smallInt(200).toText(), "200");

    struct Failure {
        const char* name;
        std::function<void()> run;
        const char* message;
    } failures[] = {
        {"text to number", [] { (void)Value("12a").toNumber(); },
            "'12a' is not a valid floating point value"},
        {"empty text to number", [] { (void)Value("").toNumber(); },
            "'' is not a valid floating point value"},
        {"null to text", [] { (void)Value::null().toText(); },
            "Could not convert variant of type (Null) into type (String)"},
        {"null to number", [] { (void)Value::null().toNumber(); },
            "Could not convert variant of type (Null) into type (Double)"},
        {"text to date", [] { (void)Value("soon").toDateTime(); },
            "Could not convert variant of type (String) into type (Date)"},
        {"integer text", [] { (void)ValueText::strToInt(u"1.5"); }, "'1.5' is not a valid integer value"},
        {"date text", [] { (void)ValueText::strToDate(u"2/30/2001", PlatformGlobals::get().locale); },
            "'2/30/2001' is not a valid date"},
        {"time text", [] { (void)ValueText::strToTime(u"13:00 PM", PlatformGlobals::get().locale); },
            "'13:00 PM' is not a valid time"},
        {"date-time beyond the calendar", [] { (void)Value::dateTime(1e300).toText(); },
            "'1E300' is not a valid date"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        try {
            f.run();
            ADD_FAILURE() << "no error";
        } catch (const VaskelError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(f.message));
        }
    }
}

TEST_F(ValueTest, IntegerArithmeticNeverWraps)
{
    using namespace ValueOps;
    const Value max(std::numeric_limits<qint32>::max());
    const Value min(std::numeric_limits<qint32>::min());
    EXPECT_EQ(binary(Binary::Add, max, Value(1)), Value(2147483648.0));
    EXPECT_EQ(binary(Binary::Multiply, max, max), Value(4611686014132420609.0));
    EXPECT_EQ(negate(min), Value(2147483648.0));
    EXPECT_EQ(binary(Binary::Mod, min, Value(-1)), Value(0));
    EXPECT_EQ(binary(Binary::Add, Value(2), Value(3)), Value(5));
    EXPECT_EQ(binary(Binary::Subtract, Value::dateTime(10), Value(1)), Value::dateTime(9));
    EXPECT_EQ(binary(Binary::Multiply, Value::dateTime(10), Value(2)), Value(20.0));
}

TEST(TfrVariables, SortedAndUnsortedModes)
{
    TfrVariables v;
    v.SetValue("beta", Value(2));
    v.SetValue("Alpha", Value(1));
    v.SetValue("ALPHA", Value(10)); // the same name: replaced, not added
    EXPECT_EQ(v.Count(), 2);
    EXPECT_EQ(v.Names(0), "beta") << "unsorted keeps insertion order";
    EXPECT_EQ(v.GetValue("alpha"), Value(10));
    EXPECT_TRUE(v.GetValue("gamma").isNull());
    EXPECT_EQ(v.IndexOf("BETA"), 0);
    EXPECT_EQ(v.IndexOf("gamma"), -1);

    v.SetSorted(true);
    EXPECT_EQ(v.Names(0), "Alpha");
    v.SetValue("Charlie", Value(3));
    v.SetValue("b", Value(4));
    EXPECT_EQ(QStringList({v.Names(0), v.Names(1), v.Names(2), v.Names(3)}),
        QStringList({"Alpha", "b", "beta", "Charlie"}));
    EXPECT_EQ(v.IndexOf("charlie"), 3);
    v.SetNames(0, "zulu");
    EXPECT_EQ(v.IndexOf("zulu"), 3) << "a renamed entry moves to its place";
    EXPECT_EQ(v.IndexOf("b"), 0);

    EXPECT_EQ(v.Names(9), "");
    EXPECT_EQ(v.Values(-1), Value::smallInt(0));
    v.SetValues(9, Value(1));
    v.Delete(9);
    EXPECT_EQ(v.Count(), 4);
    v.Delete(0);
    EXPECT_EQ(v.Count(), 3);
    TfrVariables copy = v;
    v.Clear();
    EXPECT_EQ(v.Count(), 0);
    EXPECT_EQ(copy.GetValue("zulu"), Value(10)) << "a copy owns its own values";
}

} // namespace
} // namespace vaskel::test
