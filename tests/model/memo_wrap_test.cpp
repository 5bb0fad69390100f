// Wrapping memo paragraphs into lines, hyphenation, and the heights measured from wrapped text.
// Widths are given as "the width of this text" in the memo's font, so the cases do not depend on
// the font that stands in for Arial.
#include "support/TestGlobals.h"

#include "platform/PlatformGlobals.h"
#include "report/model/MemoWrapper.h"
#include "report/model/TfrMemoView.h"

#include <QRandomGenerator>

namespace vaskel {
namespace {

const QString kMark(MemoWrapper::kParagraphMark);

class MemoWrapTest : public test::GlobalsTest {
protected:
    MemoWrapTest()
    {
        scratch().setFont(DrawFont::select(QStringLiteral("Arial"), 13, 0));
        scratch().setCharacterExtra(0);
    }
    static ScratchSurface& scratch() { return PlatformGlobals::get().scratch; }
    static int widthOf(const QString& s) { return scratch().textWidth(s); }

    static QStringList wrap(const QString& text, int available, bool wordBreak = false)
    {
        QStringList out;
        MemoWrapper(scratch(), available, wordBreak).wrapParagraph(text, out);
        return out;
    }
};

TEST_F(MemoWrapTest, ParagraphsBreakAtBlanksCharactersAndLineBreaks)
{
    struct Case {
        const char* name;
        QString text;
        int available;
        QStringList expected;
    };
    const QString han = QString::fromUtf8("进货单合计金额");
    const QString astral = QString::fromUcs4(U"\U00020000\U00020001\U00020002");
    const Case cases[] = {
        {"three words that fit stay one line", "aaa bbb ccc", widthOf("aaa bbb ccc"),
            {"aaa bbb ccc" + kMark}},
        {"the blank at the break is dropped", "aaa bbb ccc", widthOf("aaa bbb"), {"aaa bbb", "ccc" + kMark}},
        {"a break before a word that would just overflow", "aaa bbb ccc", widthOf("aaa bbb c"),
            {"aaa bbb", "ccc" + kMark}},
        {"a word without blanks is cut before the character that does not fit", "abcdefgh", widthOf("abcd"),
            {"abcd", "efgh" + kMark}},
        {"Chinese breaks where the width runs out", han, widthOf(han.left(3)),
            {han.left(3), han.mid(3, 3), han.mid(6) + kMark}},
        {"a character outside the basic plane is never split", astral, widthOf(astral.left(4)),
            {astral.left(4), astral.mid(4) + kMark}},
        {"line breaks end paragraphs", "ab\r\ncd", 1000, {"ab" + kMark, "cd" + kMark}},
        {"a run of line breaks ends one paragraph", "ab\r\n\r\ncd", 1000, {"ab" + kMark, "cd" + kMark}},
        {"a text of only line breaks is one empty paragraph", "\r\n\r\n", 1000, {kMark}},
        {"one character wider than the width stays whole", "W", 1, {"W" + kMark}},
        {"each too-wide character gets its own line", "WWW", 1, {"W", "W", "W" + kMark}},
        {"an empty paragraph", "", 10, {kMark}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wrap(c.text, c.available), c.expected);
    }
}

TEST_F(MemoWrapTest, HyphenationPointsFollowTheRussianRules)
{
    struct Case {
        const char* word;
        QList<int> points;
    };
    const Case cases[] = {
        {"молоко", {2, 4}},
        {"МОЛОКО", {2, 4}},
        {"подъезд", {4}}, // after the hard sign
        {"мама", {2}},
        {"дом", {}}, // shorter than four characters
        {"internationalization", {}},
        {"进货单合计金额", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(MemoWrapper::hyphenationPoints(QString::fromUtf8(c.word)), c.points);
    }
}

TEST_F(MemoWrapTest, WordBreakHyphenatesRussianWordsOnly)
{
    const QString russian = QString::fromUtf8("да молоко");
    EXPECT_EQ(wrap(russian, widthOf(QString::fromUtf8("да моло-")), true),
        QStringList({QString::fromUtf8("да моло-"), QString::fromUtf8("ко") + kMark}));
    // With a narrower line the last point that fits is taken.
    EXPECT_EQ(wrap(russian, widthOf(QString::fromUtf8("да мол-")), true),
        QStringList({QString::fromUtf8("да мо-"), QString::fromUtf8("локо") + kMark}));

    const QString latin = QStringLiteral("an internationalization");
    const QStringList lines = wrap(latin, widthOf(QStringLiteral("an internatio")), true);
    ASSERT_GE(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_FALSE(line.endsWith(u'-')) << line.toStdString();
}

// No character is lost except the blanks at which lines were broken, for all widths down to one
// pixel; and when every word fits the width, so does every line.
TEST_F(MemoWrapTest, WrappingKeepsEveryCharacter)
{
    QRandomGenerator random(7);
    const QString alphabet = QString::fromUtf8("abcdefghij молоко подъезд 进货单合计 12,345.67");
    for (bool wordBreak : {false, true}) {
        for (int available : {1, 5, 17, 40, 80, 200}) {
            QString text;
            for (int i = 0; i < 300; ++i)
                text += alphabet[random.bounded(int(alphabet.size()))];
            SCOPED_TRACE(testing::Message() << "width " << available << " wordBreak " << wordBreak);
            QString joined;
            for (QString line : wrap(text, available, wordBreak)) {
                if (line.endsWith(kMark))
                    line.chop(1);
                else if (wordBreak && line.endsWith(u'-'))
                    line.chop(1);
                EXPECT_FALSE(line.isEmpty());
                joined += line;
            }
            text.remove(u' ');
            EXPECT_EQ(joined.remove(u' '), text);
        }
    }

    const QString words = QStringLiteral("ab cde f ghij kl mnopq rs t uvw xyz ").repeated(20);
    const int available = widthOf(QStringLiteral("mnopq")) + 3;
    for (QString line : wrap(words, available)) {
        line.remove(kMark);
        EXPECT_LE(widthOf(line), available) << line.toStdString();
    }
}

TEST_F(MemoWrapTest, HugeParagraphsAndOnePixelColumnsTerminate)
{
    const QString big = QStringLiteral("lorem ipsum dolor ").repeated(5556); // 100,008 characters
    const QStringList lines = wrap(big, 200);
    EXPECT_GT(lines.size(), 1000);
    EXPECT_TRUE(lines.last().endsWith(kMark));

    const QString russian = QString::fromUtf8("подъезд молоко ").repeated(20);
    const QStringList narrow = wrap(russian, 1, true);
    for (const QString& line : narrow)
        EXPECT_FALSE(line.isEmpty());
}

class MemoMeasureTest : public test::GlobalsTest {
protected:
    MemoMeasureTest()
    {
        memo.Left = 10, memo.Top = 10, memo.Width = 200, memo.Height = 40;
        memo.FrameWidth = 1, memo.GapX = 2, memo.GapY = 1;
    }
    TfrMemoView memo;
    PrintContext context;
};

TEST_F(MemoMeasureTest, HeightsFollowTheWrappedLines)
{
    // 10 points are 13 pixels; the pitch is 2 + 13.
    EXPECT_EQ(memo.MinimumHeight(), 2 + 15 + 2);
    EXPECT_EQ(memo.LinePitch, 15);
    memo.Height = 40;
    EXPECT_EQ(memo.LeftoverHeight(), 2 + (40 - 2 - 2) % 15 + 2);

    memo.Memo = QStringList{QStringLiteral("one"), QString(), QStringLiteral("three")};
    EXPECT_EQ(memo.MeasureHeight(context), 3 * 15 + 2 * 1);
    EXPECT_EQ(memo.SplitMode, SplitStep::Measured);
    EXPECT_EQ(memo.ExpandedText, QStringList({"one" + kMark, kMark, "three" + kMark}));

    // A paragraph twice as wide as the memo takes more than one line; without WordWrap it never
    // breaks.
    memo.Memo = QStringList{QStringLiteral("word ").repeated(60)};
    const qint32 wrapped = memo.MeasureHeight(context);
    EXPECT_GT(wrapped, 2 * 15 + 2);
    memo.Flags &= ~MemoFlags::WordWrap;
    EXPECT_EQ(memo.MeasureHeight(context), 15 + 2);

    memo.Visible = false;
    EXPECT_EQ(memo.MeasureHeight(context), 0);
}

TEST_F(MemoMeasureTest, TextOnlyKeepsBracketsAndExpandedLineBreaksSplit)
{
    globals.parser.LookupName = [](const QString& name, Value& value) {
        if (name.toUpper() == u"X")
            value = Value(QStringLiteral("first\r\nsecond"));
    };
    memo.Memo = QStringList{QStringLiteral("[X]")};
    memo.ExpandMemo();
    EXPECT_EQ(memo.ExpandedText, QStringList({"first", "second"}));

    memo.Flags |= MemoFlags::TextOnly;
    memo.ExpandMemo();
    EXPECT_EQ(memo.ExpandedText, QStringList({"[X]"}));
}

TEST_F(MemoMeasureTest, SuppressedRepeatsMeasureZero)
{
    memo.Flags |= MemoFlags::Suppress;
    memo.Memo = QStringList{QStringLiteral("same")};
    context.FirstPass = true;
    EXPECT_EQ(memo.MeasureHeight(context), 15 + 2);
    EXPECT_EQ(memo.MeasureHeight(context), 0);
}

} // namespace
} // namespace vaskel
