// Edit masks as FORMATTEXT uses them (the mask followed by ";0; "), then the mask's own fields, case
// directives, the blank character and the locale's separators.
#include "report/expr/EditMask.h"

#include <gtest/gtest.h>

#include <random>

namespace vaskel {
namespace {

// What FORMATTEXT hands over: the author's mask with ";0; " after it.
QString formatText(const QString& mask, const QString& text)
{
    return FormatMaskText(mask + ";0; ", text);
}

TEST(EditMask, TextLaidIntoTheMaskAsFormatTextDoes)
{
    const struct {
        const char* name;
        const char* mask;
        const char* text;
        const char* result;
    } cases[] = {
        {"literals inserted", "000-0000", "5551234", "555-1234"},
        {"short text leaves blanks", "000-0000", "555", "555-    "},
        {"long text is cut at the last place", "000-0000", "5551234999", "555-1234"},
        {"literals around places", "(999) 000-0000", "1234567890", "(123) 456-7890"},
        {"places of every class take any character", "LL-00", "1234", "12-34"},
        {"digits places take letters too", "00-00", "ab12", "ab-12"},
        {"optional places", "aaa-999", "x", "x  -   "},
        {"blank and plus are kept", "CCC-ccc", "a b", "a b-   "},
        {"number places", "###", "1+2", "1+2"},
        {"letters that are no mask characters are literals", "abc", "xyz", "xby"},
        {"escaped mask characters are literals", "\\0\\0-00", "12", "00-12"},
        {"filled from the right", "!000-0000", "555", "   - 555"},
        {"filled from the right, separator first", "!999-999", "12", "   - 12"},
        {"point is a literal", "999.999", "12", "12 .   "},
        {"time separator", "00:00", "1234", "12:34"},
        {"date separators", "00/00/0000", "11151998", "11/15/1998"},
        {"empty mask", "", "abc", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatText(c.mask, c.text), c.result);
    }
}

TEST(EditMask, CaseDirectivesApplyToTheFollowingPlaces)
{
    EXPECT_EQ(formatText(">LL-000", "ab123"), "AB-123");
    EXPECT_EQ(formatText("<LL-000", "AB123"), "ab-123");
    EXPECT_EQ(formatText(">L<LLL", "aBCD"), "Abcd");
    EXPECT_EQ(formatText(">L<>LL", "abc"), "Abc");
    // Literals keep their case.
    EXPECT_EQ(formatText(">\\xL", "a"), "xA");
}

TEST(EditMask, BlankCharacterAndLiteralFlagFromTheMasksFields)
{
    // Without fields the blank is "_" and the text is taken to hold the literals already.
    EXPECT_EQ(FormatMaskText("000-0000", "555"), "555-____");
    EXPECT_EQ(FormatMaskText("000-0000", "555-12"), "555-12__");
    EXPECT_EQ(FormatMaskText("000-0000;1;*", "555-1"), "555-1***");
    EXPECT_EQ(FormatMaskText("000-0000;0;*", "5"), "5**-****");
    EXPECT_EQ(FormatMaskText("000-0000;0", "5"), "5__-____");
    EXPECT_EQ(FormatMaskText("!000-0000;1;_", "55-1234"), "_55-1234");
    // "_" in the mask is a literal blank.
    EXPECT_EQ(FormatMaskText("00_00;0;*", "12"), "12 **");
    // The author's own fields come first; the ";0; " that follows them is not part of the mask.
    EXPECT_EQ(formatText("000-000;0;_", "1234"), "123-4__");
}

TEST(EditMask, SeparatorsFromTheLocale)
{
    LocaleSettings l = LocaleSettings::fixedEnglish();
    l.dateSeparator = '.';
    l.timeSeparator = 'h';
    EXPECT_EQ(FormatMaskText("00/00/0000 00:00;0; ", "111519981430", l), "11.15.1998 14h30");
    EXPECT_EQ(FormatMaskText("00\\/00;0; ", "1115", l), "11/15");
}

TEST(EditMask, ArbitraryMasksNeverFail)
{
    const QString alphabet = QStringLiteral("0L9a#!><\\;_/:- ");
    std::mt19937 random(6);
    for (int n = 0; n < 3000; ++n) {
        QString mask;
        for (int k = static_cast<int>(random() % 12); k > 0; --k)
            mask += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        const QString text = FormatMaskText(mask, QStringLiteral("ab-12"));
        EXPECT_LE(text.size(), mask.size()) << mask.toStdString();
    }
}

} // namespace
} // namespace vaskel
