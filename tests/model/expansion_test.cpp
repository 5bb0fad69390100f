// Bracket expansion of report texts: finding the brackets, the " #" format suffixes, the view's
// format and HideZeros, the memo value and the registration flag.
#include "support/TestGlobals.h"

#include "platform/DateTimeValue.h"
#include "report/expr/ExprErrors.h"
#include "report/model/TextExpansion.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"

#include <map>

namespace vaskel {
namespace {

// A stand-in for the report's lookup chain: a few fields, and anything else evaluated as an
// expression, once, as the chain's fallback does; a name that comes back to itself is unknown.
class ExpansionTest : public test::GlobalsTest {
protected:
    ExpansionTest()
    {
        fields = {
            {"A", Value(qint32(1))},
            {"B", Value(qint32(2))},
            {"AMT", Value(1234.5)},
            {"KPDATE", Value::dateTime(DateTimeValue::fromDate(QDate(1998, 11, 15)))},
            {"PAID", Value(true)},
            {"ZERO", Value(0.0)},
            {"S0", Value("0")},
            {"NOTHING", Value::null()},
            {"BR", Value("[A]")},
        };
        TfrParser& parser = globals.parser;
        parser.LookupName = [this, &parser](const QString& name, Value& value) {
            lookedUp << name;
            guardSeen << frRun().RecursionGuard;
            const auto it = fields.find(name.toUpper());
            if (it != fields.end()) {
                value = it->second;
                return;
            }
            RunState& run = frRun();
            if (run.RecursionGuard == name) {
                if (run.RegisteringAggregates)
                    return;
                throw EParserError(QStringLiteral("Undefined symbol \"%1\"").arg(name));
            }
            run.RecursionGuard = name;
            value = parser.Evaluate(name);
            run.RecursionGuard.clear();
        };
        memo.Name = QStringLiteral("Memo1");
        frRun().CurrentView = &memo;
    }

    std::string expand(const QString& text) { return ExpandBrackets(text).toStdString(); }

    std::map<QString, Value> fields;
    QStringList lookedUp;
    QStringList guardSeen;
    TfrMemoView memo;
};

TEST_F(ExpansionTest, BracketsAndSuffixes)
{
    struct Case {
        const char* name;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"two brackets in text", "[A] and [B]", "1 and 2"},
        {"no bracket", "Total: none", "Total: none"},
        {"empty text", "", ""},
        {"brackets inside quotes belong to the string", "['[x]']", "[x]"},
        {"an expression", "Sum: [A + B * 10]", "Sum: 21"},
        {"nested brackets go whole to the lookup", "[[A] + [B]]", "3"},
        {"inserted text is not scanned again", "<[BR]>", "<[A]>"},
        {"unclosed: the last character is dropped", "x[Bq", "x2"},
        {"a lone [ at the end stays", "x[", "x["},
        {"a lone [ stays", "[", "["},
        {"N with separator and decimals", "[AMT #N0,2]", "1234,50"},
        {"N with a pattern", "[AMT #N#,##0.00]", "1,234.50"},
        {"N0.00 gives 0 decimals", "[AMT #N0.00]", "1235"},
        {"N0.2 gives 2 decimals", "[AMT #N0.2]", "1234.50"},
        {"a leading digit means N", "[AMT #0-3]", "1234-500"},
        {"lower-case n", "[AMT #n0.1]", "1234.5"},
        {"N without separator: fixed, 0 decimals", "[AMT #N0]", "1235"},
        {"N alone: the general form", "[AMT #N]", "1234.5"},
        {"the last separator is the decimal one", "[AMT #N#,##0]", "1234,500"},
        {"a date pattern", "[KPDATE #Ddd.mm.yyyy]", "15.11.1998"},
        {"T is a date-time pattern too", "[KPDATE #tyyyy]", "1998"},
        {"a boolean pair", "[PAID #BNo;Yes]", "Yes"},
        {"a boolean pair on a false value", "[A = 2 #bNo;Yes]", "No"},
        {"a null value", "<[NOTHING]>", "<>"},
        {"a suffix naming no category is the view's format text", "[A #x]", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(expand(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST_F(ExpansionTest, TheViewsFormatAppliesUnlessTheBracketHasItsOwn)
{
    memo.FormatCode = 0x0101022C; // fixed, 2 decimals, ","
    EXPECT_EQ(expand("[AMT]"), "1234,50");
    EXPECT_EQ(expand("[AMT #N0.1]"), "1234.5");
    // A suffix that names no category keeps the view's code and becomes its format text.
    memo.FormatCode = 0x0104002E;
    memo.FormatText = QStringLiteral("0.000");
    EXPECT_EQ(expand("[AMT] [AMT #'x'0]"), "1234.500 x1235");
}

TEST_F(ExpansionTest, HideZerosHidesNumbersNotTexts)
{
    struct Case {
        const char* text;
        bool hideZeros;
        const char* expected;
    };
    const Case cases[] = {
        {"<[ZERO]>", true, "<>"},
        {"<[ZERO]>", false, "<0>"},
        {"<[S0]>", true, "<0>"},
        {"<[A - 1 #N0.2]>", true, "<>"},
        {"<[A]>", true, "<1>"},
        {"<[NOTHING]>", true, "<>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << (c.hideZeros ? " hiding zeros" : ""));
        memo.Flags = c.hideZeros ? (memo.Flags | MemoFlags::HideZeros) : (memo.Flags & ~MemoFlags::HideZeros);
        EXPECT_EQ(expand(QString::fromUtf8(c.text)), c.expected);
    }
    // The same bit of a band is another flag (RepeatHeader): a band's tag prints its zeros.
    TfrBandView band;
    band.Flags = BandFlags::RepeatHeader;
    band.FormatCode = 0x22E;
    frRun().CurrentView = &band;
    EXPECT_EQ(expand("<[ZERO]>"), "<0>");
}

TEST_F(ExpansionTest, MemoValueHoldsTheLastValueAndEachBracketStartsWithoutAGuard)
{
    RunState& run = frRun();
    run.RecursionGuard = QStringLiteral("LEFTOVER");
    EXPECT_EQ(expand("[A] [AMT * 2]"), "1 2469");
    EXPECT_EQ(run.MemoValue, Value(2469.0));
    // Every bracket's lookup began with an empty guard (the fallback sets it for its own name).
    ASSERT_EQ(lookedUp.size(), 3);
    EXPECT_EQ(lookedUp.at(0), QStringLiteral("A"));
    EXPECT_EQ(lookedUp.at(1), QStringLiteral("AMT * 2"));
    EXPECT_EQ(guardSeen.at(0), QString());
    EXPECT_EQ(guardSeen.at(1), QString());
}

TEST_F(ExpansionTest, WhileRegisteringTheValueIsComputedButNoTextIsProduced)
{
    frRun().RegisteringAggregates = true;
    EXPECT_EQ(expand("[A] and [B] [UNKNOWN]"), " and  ");
    EXPECT_EQ(lookedUp, (QStringList{"A", "B", "UNKNOWN", "UNKNOWN"}));
    EXPECT_EQ(frRun().MemoValue, Value::null()) << "the unknown name stayed unresolved";
}

TEST_F(ExpansionTest, ErrorsPropagateToThePrintingView)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"[AMT #N0.]", "'' is not a valid integer value"},
        {"[AMT #N0.x]", "'' is not a valid integer value"},
        {"[AMT #N0.99999999999]", "'99999999999' is not a valid integer value"},
        {"ok [UNKNOWN]", "Undefined symbol \"UNKNOWN\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            (void)ExpandBrackets(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error";
        } catch (const VaskelError& e) {
            EXPECT_EQ(e.message().toStdString(), c.message);
        }
    }
}

TEST_F(ExpansionTest, ALargeDecimalCountStaysInItsField)
{
    // 300 decimals would spill into the kind; it is read as the most the field holds.
    qint32 code = 0;
    QString fmt;
    ParseFormatSuffix(QStringLiteral("N0.300"), code, fmt);
    EXPECT_EQ(code, 0x0101FF2E);
    EXPECT_EQ(fmt, QStringLiteral("N0.300"));
}

TEST_F(ExpansionTest, WithoutANameLookupBracketsAreEmpty)
{
    globals.parser.LookupName = nullptr;
    EXPECT_EQ(expand("<[A]>"), "<>");
}

TEST_F(ExpansionTest, WithoutACurrentViewTheDefaultFormatApplies)
{
    frRun().CurrentView = nullptr;
    EXPECT_EQ(expand("[AMT] [ZERO]"), "1234.5 0");
}

} // namespace
} // namespace vaskel
