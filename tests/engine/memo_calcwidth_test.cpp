// CALCWIDTH through the report's name lookup: a memo as current view measures its expanded text,
// another view gives its width, no current view gives 0.
#include "lookup_ScopeFixture.h"

#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"

namespace vaskel::test {
namespace {

class MemoCalcWidthTest : public ScopeTest {
protected:
    MemoCalcWidthTest()
    {
        memo.Width = 150;
        memo.GapX = 2;
        memo.FrameWidth = 1;
        picture.Width = 120;
    }

    // The width a memo needs for `widest`: the line at 96 pixels per inch, the frame, both gaps
    // and one pixel.
    QString neededFor(const QString& widest)
    {
        ScratchSurface& s = PlatformGlobals::get().scratch;
        s.setFont(DrawFont::select(memo.Font.Name, memo.CharacterHeight(), memo.Font.Style));
        const int w = roundToInt(s.textWidth(widest) + memo.FrameWidth + 2 * memo.GapX + 1);
        return QStringLiteral("integer %1").arg(w);
    }

    TfrMemoView memo;
    TfrPictureView picture;
};

TEST_F(MemoCalcWidthTest, MeasuresTheCurrentMemoOrGivesTheViewsWidth)
{
    memo.Memo = QStringList{QStringLiteral("Qty [2*3]"), QStringLiteral("a longer line of text [100+23]")};
    memo.ExpandedText = QStringList{QStringLiteral("kept")};
    struct Case {
        const char* name;
        TfrView* view;
        QString expected;
    };
    const Case cases[] = {
        {"a memo: its widest expanded line", &memo, neededFor(QStringLiteral("a longer line of text 123"))},
        {"a picture: its width", &picture, QStringLiteral("integer 120")},
        {"no current view", nullptr, QStringLiteral("integer 0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        globals.run.CurrentView = c.view;
        EXPECT_EQ(eval("CALCWIDTH"), c.expected);
    }
    EXPECT_EQ(memo.ExpandedText, QStringList{QStringLiteral("kept")}) << "measuring leaves the memo's text";
}

TEST_F(MemoCalcWidthTest, TextOnlyMemoMeasuresItsLiteralLines)
{
    memo.Flags |= MemoFlags::TextOnly;
    memo.Memo = QStringList{QStringLiteral("[2*3]")};
    globals.run.CurrentView = &memo;
    EXPECT_EQ(eval("CALCWIDTH"), neededFor(QStringLiteral("[2*3]")));
}

TEST_F(MemoCalcWidthTest, AMemoAskingForItsOwnWidthGetsItsWidthWhileMeasured)
{
    // Without the guard the expansion would measure itself without end.
    memo.Memo = QStringList{QStringLiteral("[CALCWIDTH]")};
    globals.run.CurrentView = &memo;
    EXPECT_EQ(eval("CALCWIDTH"), neededFor(QStringLiteral("150")));
    EXPECT_EQ(eval("CALCWIDTH"), neededFor(QStringLiteral("150"))) << "the guard is released";
}

} // namespace
} // namespace vaskel::test
