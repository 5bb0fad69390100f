// The string table and its loader: the texts the windows and messages show by number, the
// localisation callback in front of the table, and the length limit of a loaded text.
#include "report/expr/StringTable.h"
#include "report/expr/TfrLocale.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vaskel {
namespace {

struct TableRow {
    const char* group;
    int number;
    const char* text;
};

// Rows from each group of the table: first and last of every run, and the texts code depends on.
const TableRow kRows[] = {
    {"search dialog caption", 53000, "Find text"},
    {"search dialog origin", 53006, "Current &page"},
    {"zoom menu", 53020, "&Page width"},
    {"zoom menu", 53022, "&Two pages"},
    {"exit hint", 53023, "Close preview"},
    {"help hint", 53032, "Show help"},
    {"print dialog caption", 53040, "Print"},
    {"print dialog printer group", 53041, "Printer"},
    {"print dialog range help", 53048,
        "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
    {"print dialog last entry", 53055, "Even pages"},
    {"OK button", 55000, "OK"},
    {"Cancel button", 55001, "Cancel"},
    {"virtual printer", 55007, "Virtual printer"},
    {"band kind 0", 55077, "Report title"},
    {"band kind 13", 55090, "Overlay"},
    {"band kind 22", 55099, "None"},
    {"category 0", 55130, "Text"},
    {"category 4", 55134, "Boolean"},
    {"text sample", 55150, "[None]"},
    {"number sample kind 2", 55157, "1 234,5"},
    {"date sample kind 4", 55164, "Custom"},
    {"boolean pair kind 1", 55171, "No;Yes"},
    {"boolean custom", 55174, "Custom"},
    {"date pattern 0", 55175, "mm.dd.yy"},
    {"date pattern 3", 55178, "d mmmm yyyy"},
    {"time pattern 0", 55179, "hh:nn:ss"},
    {"time pattern 3", 55182, "h:nn"},
    {"progress of total pages", 55199, "from"},
    {"calculation error", 55200, "An error occured during calculating"},
    {"first pass", 55204, "Performing 1st pass:"},
    {"error caption", 55206, "Error"},
    {"untitled template", 55209, "Untitled"},
    {"default character set", 55337, "1"},
    {"template refused", 55345, "Unsupported FRF format"},
    {"undefined name", 55439, "Undefined symbol"},
    {"database category", 55620, "Database"},
    {"FIELDISNULL description", 55621, "FIELDISNULL(<FieldName>)/Returns 'true' if DB-field is null"},
    {"report info category", 55622, "Report info"},
    {"password caption", 55653, "Password"},
    {"password retype", 55655, "Retype password for validate"},
};

TEST(StringTable, HoldsTheTextsByNumber)
{
    for (const TableRow& r : kRows) {
        SCOPED_TRACE(testing::Message() << r.group << " " << r.number);
        EXPECT_EQ(StringTable::text(r.number), QString::fromUtf8(r.text));
    }
}

TEST(StringTable, NumbersWithoutTextGiveEmptyText)
{
    struct Case {
        const char* name;
        int number;
    };
    const Case cases[] = {
        {"below the table", 52999},
        {"first paper name", 55008},
        {"last paper name", 55074},
        {"format editor caption", 53420},
        {"format editor label", 53424},
        {"text kind 1 sample", 55151},
        {"text kind 4 sample", 55154},
        {"picture placeholder", 55228},
        {"default bin", 55435},
        {"gap after report info", 55632},
        {"above the table", 55671},
        {"negative", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(StringTable::text(c.number).isEmpty());
    }
}

TEST(StringTable, EveryRunOfNumberedTextsIsComplete)
{
    // Code indexes these runs by kind, category or pattern number: a hole would show an empty name.
    struct Run {
        const char* name;
        int first;
        int last;
    };
    const Run runs[] = {
        {"search dialog", 53000, 53006},
        {"preview captions", 53020, 53028},
        {"print dialog", 53040, 53055},
        {"band names", 55077, 55099},
        {"format categories", 55130, 55134},
        {"number samples", 55155, 55174},
        {"date and time patterns", 55175, 55182},
        {"report run", 55199, 55209},
        {"report info descriptions", 55620, 55631},
        {"password window", 55653, 55655},
    };
    for (const Run& r : runs) {
        for (int n = r.first; n <= r.last; ++n) {
            SCOPED_TRACE(testing::Message() << r.name << " " << n);
            EXPECT_FALSE(StringTable::text(n).isEmpty());
        }
    }
}

TEST(StringTable, IsSortedWithUniqueNumbersInItsRange)
{
    const QList<int> numbers = StringTable::numbers();
    ASSERT_FALSE(numbers.isEmpty());
    EXPECT_TRUE(
        std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<int>()) == numbers.end());
    EXPECT_GE(numbers.front(), 53000);
    EXPECT_LE(numbers.back(), 55670);
    for (int n : numbers)
        EXPECT_FALSE(StringTable::text(n).isEmpty()) << n;
}

TEST(StringTable, FunctionDescriptionsHaveSyntaxAndExplanation)
{
    for (int n = StringTable::sDescFieldIsNull; n <= StringTable::sDescReportInfoFirst + 8; ++n) {
        if (n == StringTable::sCategoryReportInfo)
            continue;
        const QString text = StringTable::text(n);
        SCOPED_TRACE(text.toStdString());
        const qsizetype slash = text.indexOf('/');
        EXPECT_GT(slash, 0);
        EXPECT_LT(slash, text.size() - 1);
    }
}

TEST(TfrLocale, LoadsFromTheTableWithoutCallback)
{
    const TfrLocale locale;
    EXPECT_EQ(locale.LoadString(StringTable::sUndefinedSymbol), "Undefined symbol");
    EXPECT_EQ(locale.LoadString(55008), QString());
}

TEST(TfrLocale, CallbackWinsWithANonEmptyAnswerAndFallsBackOnEmpty)
{
    TfrLocale locale;
    QList<int> asked;
    locale.setLocalizeCallback([&asked](int number) {
        asked << number;
        if (number == StringTable::sCancel)
            return QStringLiteral("取消");
        if (number == 55008)
            return QStringLiteral("Letter");
        return QString();
    });
    EXPECT_EQ(locale.LoadString(StringTable::sCancel), "取消");
    EXPECT_EQ(locale.LoadString(StringTable::sOk), "OK"); // empty answer: the table's text
    EXPECT_EQ(locale.LoadString(55008), "Letter"); // the callback may fill numbers the table lacks
    EXPECT_EQ(locale.LoadString(55671), QString());
    EXPECT_EQ(asked, (QList<int>{StringTable::sCancel, StringTable::sOk, 55008, 55671}));

    locale.setLocalizeCallback(nullptr);
    EXPECT_EQ(locale.LoadString(StringTable::sCancel), "Cancel");
}

TEST(TfrLocale, TextsAreCutAt1023Characters)
{
    TfrLocale locale;
    const QString longText = QString(1023, QChar(u'字')) + "tail";
    locale.setLocalizeCallback([&](int) { return longText; });
    const QString loaded = locale.LoadString(StringTable::sError);
    EXPECT_EQ(loaded.size(), TfrLocale::kMaxLength);
    EXPECT_EQ(loaded, longText.left(1023));

    locale.setLocalizeCallback([](int) { return QString(1023, 'x'); });
    EXPECT_EQ(locale.LoadString(StringTable::sError).size(), 1023);
}

} // namespace
} // namespace vaskel
