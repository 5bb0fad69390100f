// Drawing memos: each output line's text and cell box on the recording device, for the
// alignments, vertical placement, turned text, justification, clipping and ruled lines. The memo
// is drawn at zoom 1 in print mode, where report units are pixels and no design marks are drawn.
#include "support/TestGlobals.h"

#include "platform/PlatformGlobals.h"
#include "platform/RecordingDevice.h"
#include "platform/Rounding.h"
#include "report/model/MemoWrapper.h"
#include "report/model/TfrMemoView.h"

#include <QImage>
#include <QPainter>

#include <functional>

namespace vaskel {
namespace {

class MemoPaintTest : public test::GlobalsTest {
protected:
    MemoPaintTest()
    {
        context.PrintMode = true;
        memo.Left = 10, memo.Top = 10, memo.Width = 200, memo.Height = 80;
        memo.FrameTyp = 0;
        memo.GapX = 2, memo.GapY = 1;
        // DrawRect is (10, 10, 211, 91); text lines are clipped to (11, 10, 209, 90).
    }

    std::vector<RecordedOperation> paint(double zoom = 1.0)
    {
        device.clear();
        memo.ZoomX = memo.ZoomY = zoom;
        QPainter p(&device);
        memo.Paint(p, context);
        p.end();
        return device.textRuns();
    }

    // Width of a line in the memo's font at 96 pixels per inch, summed from the advance cache.
    int measured(const QString& text, int charSpacing = 0)
    {
        ScratchSurface& s = PlatformGlobals::get().scratch;
        s.setFont(DrawFont::select(memo.Font.Name, memo.CharacterHeight(), memo.Font.Style));
        s.setCharacterExtra(charSpacing);
        const int w = s.textWidth(text);
        s.setCharacterExtra(0);
        return w;
    }

    // The width AutoWidth gives a memo whose widest line is `text`.
    int autoWidthOf(const QString& text)
    {
        return roundToInt(measured(text) + memo.FrameWidth + 2 * memo.GapX + 1);
    }

    QImage render()
    {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        memo.Paint(p, context);
        p.end();
        return image;
    }

    RecordingDevice device{QSize(400, 300)};
    TfrMemoView memo;
    PrintContext context;
};

TEST_F(MemoPaintTest, HorizontalAlignmentPlacesTheLineAndTheDrawnWidthIsTheSummedAdvances)
{
    const QString text = QStringLiteral("Total 12,345.67");
    struct Case {
        const char* name;
        quint32 alignment;
        int charSpacing;
        std::function<int(int)> left; // from the line width
    };
    const Case cases[] = {
        {"left", frtaLeft, 0, [](int) { return 12; }},
        {"left with character spacing", frtaLeft, 3, [](int) { return 12; }},
        {"right", frtaRight, 0, [](int w) { return 211 - 2 - w - 1; }},
        {"centre", frtaCenter, 0, [](int w) { return 12 + (201 - 4 - w) / 2; }},
        {"justified single line is the last of its paragraph", 3, 0, [](int) { return 12; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Alignment = c.alignment;
        memo.CharSpacing = c.charSpacing;
        memo.Memo = QStringList{text};
        const auto runs = paint();
        ASSERT_EQ(runs.size(), 1u);
        const int w = measured(text, c.charSpacing);
        EXPECT_EQ(runs[0].text, text);
        EXPECT_EQ(runs[0].bounds.left(), c.left(w));
        EXPECT_EQ(runs[0].bounds.top(), 11);
        EXPECT_EQ(runs[0].bounds.width(), w);
        EXPECT_EQ(memo.LinesOut, 1);
    }
}

TEST_F(MemoPaintTest, JustifiedParagraphSpreadsAllButItsLastLine)
{
    memo.Alignment = 3;
    memo.Memo = QStringList{QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda "
                                           "mu nu xi omicron pi rho sigma tau")};
    const auto runs = paint();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].bounds.width(), 197);
    EXPECT_EQ(runs[1].bounds.width(), 197);
    EXPECT_EQ(runs[2].bounds.width(), 197);
    EXPECT_EQ(runs[3].bounds.width(), measured(runs[3].text));
    EXPECT_LT(runs[3].bounds.width(), 197);
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].bounds.left(), 12);
        EXPECT_EQ(runs[i].bounds.top(), 11 + int(i) * 15);
    }
}

TEST_F(MemoPaintTest, VerticalAlignmentMovesTheTextBlock)
{
    memo.Memo = QStringList{QStringLiteral("Middle")};
    // Text extent of one line: pitch 15 plus twice GapY.
    memo.Alignment = frtaMiddle;
    EXPECT_EQ(paint()[0].bounds.top(), 10 + (81 - 17) / 2 + 1);
    memo.Alignment = frtaDown;
    EXPECT_EQ(paint()[0].bounds.top(), 91 - 17 - 1 + 1);
    EXPECT_EQ(memo.Top, 10) << "the position is restored after drawing";
    EXPECT_EQ(memo.Alignment, quint32(frtaDown));
}

TEST_F(MemoPaintTest, TurnedTextWithMiddleAlignmentIsCentredHorizontally)
{
    memo.Alignment = frtaVertical | frtaMiddle;
    memo.Memo = QStringList{QStringLiteral("Up")};
    const auto runs = paint();
    ASSERT_EQ(runs.size(), 1u);
    // Text extent across the lines: pitch 15 plus twice GapX.
    EXPECT_EQ(runs[0].bounds.left(), 10 + (201 - 19) / 2 + 2);
    EXPECT_NEAR(runs[0].bounds.center().x(), 10 + 201 / 2.0, 2.0);
    EXPECT_EQ(runs[0].bounds.height(), measured(QStringLiteral("Up")));
    EXPECT_EQ(runs[0].bounds.bottom() + 1, 91 - 1) << "left-aligned turned text starts at the bottom";
}

TEST_F(MemoPaintTest, LinesAreClippedToTheMemoAndWordWrapOffNeverBreaks)
{
    memo.Flags &= ~MemoFlags::WordWrap;
    memo.Memo = QStringList{QStringLiteral("a line far too long for a memo of two hundred units wide")};
    const auto runs = paint();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].bounds.right(), 208);
}

TEST_F(MemoPaintTest, PreviewZoomsDrawTheLinesWrappedAtZoomOne)
{
    memo.Memo = QStringList{QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa")};
    const auto atOne = paint(1.0);
    ASSERT_EQ(atOne.size(), 2u);
    for (double zoom : {0.5, 2.0}) {
        SCOPED_TRACE(zoom);
        const auto runs = paint(zoom);
        ASSERT_EQ(runs.size(), atOne.size());
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i].text, atOne[i].text);
        EXPECT_EQ(runs[1].bounds.top() - runs[0].bounds.top(), roundToInt(2 * zoom) + int(13.3333 * zoom));
    }
}

TEST_F(MemoPaintTest, AutoWidthFitsTheMemoToItsTextWhilePrinting)
{
    const QString text = QStringLiteral("Total 12,345.67");
    struct Case {
        const char* name;
        quint32 alignment;
        std::function<QRect(int)> geometry; // left, top, width, height from the fitted width
    };
    const Case cases[] = {
        {"left", frtaLeft, [](int w) { return QRect(10, 10, w, 80); }},
        {"centre keeps its left edge", frtaCenter, [](int w) { return QRect(10, 10, w, 80); }},
        {"right keeps its right edge", frtaRight, [](int w) { return QRect(210 - w, 10, w, 80); }},
        {"justified keeps its right edge", 3, [](int w) { return QRect(210 - w, 10, w, 80); }},
        {"turned text fits its height", frtaVertical, [](int w) { return QRect(10, 10, 200, w); }},
        {"turned right-aligned text only fits its height", frtaVertical | frtaRight,
            [](int w) { return QRect(10, 10, 200, w); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Left = 10, memo.Top = 10, memo.Width = 200, memo.Height = 80;
        memo.Alignment = c.alignment;
        memo.Flags &= ~MemoFlags::AutoWidth;
        memo.Memo = QStringList{text};
        const auto before = paint();
        memo.Flags |= MemoFlags::AutoWidth;
        const auto runs = paint();
        EXPECT_EQ(QRect(memo.Left, memo.Top, memo.Width, memo.Height), c.geometry(autoWidthOf(text)));
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].text, text);
        if (c.alignment == frtaRight) {
            EXPECT_EQ(runs[0].bounds, before[0].bounds) << "right-aligned text is drawn where it was";
        }
    }
}

TEST_F(MemoPaintTest, AutoWidthMeasuresTheWidestLineWithoutParagraphMarks)
{
    memo.Flags |= MemoFlags::AutoWidth;
    const QString mark(MemoWrapper::kParagraphMark);
    const QString longLine = QStringLiteral("a line far too long for a memo of two hundred units wide");

    // A prepared copy: lines already wrapped, paragraph ends marked.
    memo.Memo = QStringList{QStringLiteral("short") + mark, longLine + mark};
    auto runs = paint();
    EXPECT_EQ(memo.Width, autoWidthOf(longLine));
    EXPECT_GT(memo.Width, 200);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].text, longLine) << "the fitted line is not wrapped again";
    EXPECT_EQ(runs[1].bounds.width(), measured(longLine)) << "nor clipped";

    // Unwrapped text: the slack added for wrapping keeps the fitted line whole.
    memo.Width = 200;
    memo.Memo = QStringList{longLine};
    runs = paint();
    EXPECT_EQ(memo.Width, autoWidthOf(longLine));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, longLine);
}

TEST_F(MemoPaintTest, AutoWidthLeavesTheMemoAloneInTheDesignerOrWithoutText)
{
    memo.Flags |= MemoFlags::AutoWidth;
    memo.Alignment = frtaRight;
    memo.Memo.clear();
    paint();
    EXPECT_EQ(QRect(memo.Left, memo.Top, memo.Width, memo.Height), QRect(10, 10, 200, 80));
    context.PrintMode = false;
    memo.Memo = QStringList{QStringLiteral("Total")};
    paint();
    EXPECT_EQ(QRect(memo.Left, memo.Top, memo.Width, memo.Height), QRect(10, 10, 200, 80));
}

TEST_F(MemoPaintTest, AutoWidthAtPreviewZoomIsInReportUnits)
{
    memo.Flags |= MemoFlags::AutoWidth;
    const QString text = QStringLiteral("Total 12,345.67");
    memo.Memo = QStringList{text};
    paint(2.0);
    // The font drawing selects at zoom 2: pixel height truncated.
    ScratchSurface& s = PlatformGlobals::get().scratch;
    s.setFont(DrawFont::select(memo.Font.Name, int(memo.Font.Size * 96.0 / 72.0 * 2.0), memo.Font.Style));
    const int zoomed = s.textWidth(text);
    EXPECT_EQ(memo.Width, roundToInt(zoomed / 2.0 + memo.FrameWidth + 2 * memo.GapX + 1));
    EXPECT_NEAR(memo.Width, autoWidthOf(text), 3);
}

TEST_F(MemoPaintTest, RightToLeftReadingKeepsTheLineInPlaceAndMovesNeutralEnds)
{
    memo.Alignment = frtaRight;
    struct Case {
        const char* name;
        QString logical;
        QString shown; // as it reads on the page in right-to-left reading
    };
    const Case cases[] = {
        {"Latin text only", QStringLiteral("Latin text"), QStringLiteral("Latin text")},
        {"neutral characters at both ends", QStringLiteral("--Latin text.."),
            QStringLiteral("..Latin text--")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Memo = QStringList{c.logical};
        memo.Flags &= ~MemoFlags::RTLReading;
        const auto leftToRight = paint();
        const QImage plain = render();
        memo.Flags |= MemoFlags::RTLReading;
        const auto rightToLeft = paint();
        ASSERT_EQ(rightToLeft.size(), 1u);
        ASSERT_EQ(leftToRight.size(), 1u);
        EXPECT_EQ(rightToLeft[0].bounds, leftToRight[0].bounds);
        EXPECT_EQ(rightToLeft[0].text, c.logical) << "the text is kept in reading order";

        const QImage turned = render();
        memo.Flags &= ~MemoFlags::RTLReading;
        memo.Memo = QStringList{c.shown};
        EXPECT_TRUE(turned == render()) << "drawn as its visual order reads left to right";
        if (c.logical != c.shown) {
            EXPECT_FALSE(turned == plain);
        }
    }
}

TEST_F(MemoPaintTest, UnderlinesRuleOneLinePerPitch)
{
    memo.Flags |= MemoFlags::Underlines;
    memo.Memo.clear();
    device.clear();
    QPainter p(&device);
    memo.Paint(p, context);
    p.end();
    std::vector<int> ys;
    for (const RecordedOperation& op : device.operations()) {
        if (op.kind == RecordedOperation::Kind::Lines)
            ys.push_back(op.bounds.top());
    }
    // 80 units hold 5 pitches of 15; each rule lies 2 + 13 pixels below its line's top.
    ASSERT_EQ(ys.size(), 5u);
    for (size_t i = 0; i < ys.size(); ++i)
        EXPECT_EQ(ys[i], 11 + int(i) * 15 + 15);
}

} // namespace
} // namespace vaskel
