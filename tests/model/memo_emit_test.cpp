// Printing memos into prepared pages: expansion and the before-print step, the script, Suppress,
// the remainder of a split, highlight colours, band alignment, and the printed copy read back and
// drawn at the preview's zooms. The memo prints while a report runs (print mode on); values come
// from a small stand-in for the report's lookup chain.
#include "support/TestGlobals.h"

#include "ScriptedPrintHooks.h"
#include "platform/RecordingDevice.h"
#include "platform/Rounding.h"
#include "report/expr/ExprErrors.h"
#include "report/model/MemoWrapper.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"

#include <QPainter>

#include <cmath>
#include <map>

namespace vaskel {
namespace {

const QString kMark(MemoWrapper::kParagraphMark);
const QString kLongText = QStringLiteral(
    "Portland cement grade 42.5 delivered to the north warehouse in two hundred bags, checked against "
    "the bill of lading and signed for by the supply office on the morning of the fifteenth");

class MemoEmitTest : public test::GlobalsTest {
protected:
    MemoEmitTest()
    {
        context.PrintMode = true;
        context.Hooks = &hooks;
        globals.parser.LookupName = [this](const QString& name, Value& value) {
            if (const Value* v = globals.runtimeVariables.find(name)) {
                value = *v;
                return;
            }
            const auto it = values.find(name.toUpper());
            if (it == values.end())
                throw EParserError(QStringLiteral("Undefined symbol \"%1\"").arg(name));
            value = it->second;
        };
        memo.Name = QStringLiteral("Memo1");
        memo.Left = 10, memo.Top = 10, memo.Width = 200, memo.Height = 80;
        memo.FrameTyp = 0;
    }

    // Prints the memo once and reads back what it wrote: one memo, or none.
    std::vector<std::unique_ptr<TfrView>> printCopy()
    {
        ReportStreamWriter out;
        memo.EmitPrepared(out, context);
        return test::readPrepared(out.data());
    }

    TfrMemoView& printedMemo(const std::vector<std::unique_ptr<TfrView>>& views)
    {
        EXPECT_EQ(views.size(), 1u);
        return dynamic_cast<TfrMemoView&>(*views.at(0));
    }

    void setScript(const QStringList& source)
    {
        QStringList errors;
        globals.interpreter.CompileScript(source, memo.BeforePrintScript, errors);
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }

    std::map<QString, Value> values;
    test::ScriptedPrintHooks hooks;
    PrintContext context;
    TfrMemoView memo;
};

TEST_F(MemoEmitTest, PrintedTextIsTheExpandedMemoUnlessOnBeforePrintChangedIt)
{
    values = {{QStringLiteral("X"), Value(QStringLiteral("one\r\ntwo"))}};
    struct Case {
        const char* name;
        QStringList memoText;
        bool textOnly;
        bool hasBeforePrint;
        std::function<void(QStringList&, TfrView&)> beforePrint;
        QStringList printed;
        int beforePrintCalls;
    };
    const auto changeText
        = [](QStringList& text, TfrView&) { text = QStringList{QStringLiteral("[X] by the event")}; };
    const Case cases[] = {
        {"a value holding a line break prints two lines", {"[X]"}, false, false, nullptr, {"one", "two"}, 0},
        {"literal text around the value", {"Note: [X]", "", "end"}, false, false, nullptr,
            {"Note: one", "two", "", "end"}, 0},
        {"TextOnly prints the brackets literally", {"[X]"}, true, false, nullptr, {"[X]"}, 0},
        {"OnBeforePrint that changes the text stops the expansion", {"[X]"}, false, true, changeText,
            {"[X] by the event"}, 1},
        {"OnBeforePrint that leaves the text expands it", {"[X]"}, false, true, nullptr, {"one", "two"}, 1},
        {"a memo field loaded by the before-print step prints as it is", {"[X]"}, false, true,
            [](QStringList&, TfrView& view) {
                view.LoadFromField(QVariant(QByteArray("[X] \xcb\xae\xc4\xe0\r\nline 2"))); // GBK
            },
            {QString::fromUtf8("[X] 水泥"), "line 2"}, 1},
        {"without OnBeforePrint the step does not run", {"[X]"}, false, false, changeText, {"one", "two"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Memo = c.memoText;
        memo.Flags = c.textOnly ? (memo.Flags | MemoFlags::TextOnly) : (memo.Flags & ~MemoFlags::TextOnly);
        hooks.hasBeforePrint = c.hasBeforePrint;
        hooks.beforePrint = c.beforePrint;
        hooks.beforePrintCalls = 0;
        const auto views = printCopy();
        EXPECT_EQ(printedMemo(views).Memo, c.printed);
        EXPECT_EQ(hooks.beforePrintCalls, c.beforePrintCalls);
        EXPECT_EQ(memo.SplitMode, SplitStep::Whole);
    }
}

TEST_F(MemoEmitTest, ScriptThatHidesTheMemoWritesNothing)
{
    memo.Memo = QStringList{QStringLiteral("text")};
    setScript({QStringLiteral("Visible := False")});
    EXPECT_TRUE(printCopy().empty());
    EXPECT_EQ(memo.SplitMode, SplitStep::Whole);
}

TEST_F(MemoEmitTest, MeasuredMemoPrintsTheWrappedTextWithoutRunningItsScriptAgain)
{
    values = {{QStringLiteral("X"), Value(kLongText)}, {QStringLiteral("N"), Value(qint32(0))}};
    memo.Memo = QStringList{QStringLiteral("[X]")};
    setScript({QStringLiteral("N := N + 1")});
    const qint32 height = memo.MeasureHeight(context);
    const QStringList wrapped = memo.ExpandedText;
    ASSERT_GE(wrapped.size(), 3);
    EXPECT_EQ(height, qint32(wrapped.size()) * 15 + 2);
    EXPECT_EQ(memo.SplitMode, SplitStep::Measured);

    values[QStringLiteral("X")] = Value(QStringLiteral("changed after measuring"));
    const auto views = printCopy();
    EXPECT_EQ(printedMemo(views).Memo, wrapped);
    EXPECT_TRUE(wrapped.last().endsWith(kMark));
    EXPECT_EQ(globals.runtimeVariables.find(QStringLiteral("N"))->toInt(), 1);
    EXPECT_EQ(memo.SplitMode, SplitStep::Whole);
}

TEST_F(MemoEmitTest, SuppressPrintsARunOfEqualValuesOnce)
{
    memo.Flags |= MemoFlags::Suppress;
    memo.Memo = QStringList{QStringLiteral("[V]")};
    QStringList printed;
    for (const char* v : {"Cement", "Cement", "Cement", "Steel", "Steel", "Cement"}) {
        values[QStringLiteral("V")] = Value(QString::fromLatin1(v));
        for (const auto& view : printCopy())
            printed << view->Memo.join(u'|');
    }
    EXPECT_EQ(printed, (QStringList{"Cement", "Steel", "Cement"}));
}

TEST_F(MemoEmitTest, SplitMemoPrintsTheLinesThatFitAndKeepsTheRestUnexpanded)
{
    values = {{QStringLiteral("X"), Value(kLongText)}};
    memo.Memo = QStringList{QStringLiteral("[X]")};
    struct Case {
        const char* name;
        bool measuredFirst; // a stretched band measures its memos before splitting them
    };
    for (const Case c :
        {Case{"measured by a stretched band", true}, Case{"split without measuring", false}}) {
        SCOPED_TRACE(c.name);
        memo.Height = 80;
        values[QStringLiteral("X")] = Value(kLongText);
        memo.MeasureHeight(context);
        const QStringList whole = memo.ExpandedText;
        ASSERT_GE(whole.size(), 5);
        if (!c.measuredFirst) {
            // The memo printed whole for the previous record; this record's memo is split at once.
            values[QStringLiteral("X")] = Value(QStringLiteral("the previous record"));
            memo.SplitMode = SplitStep::Whole;
            printCopy();
            values[QStringLiteral("X")] = Value(kLongText);
        }

        // Three lines of 15 units below the 1-unit gap fit into 46 to 60 units.
        memo.Height = 50;
        memo.SplitMode = SplitStep::Remainder;
        const auto first = printCopy();
        EXPECT_EQ(memo.LinesOut, 3);
        EXPECT_EQ(printedMemo(first).Memo, whole.mid(0, 3) + QStringList{kMark})
            << "the part is marked as wrapped already";
        EXPECT_EQ(memo.ExpandedText, whole.mid(3));
        EXPECT_EQ(memo.SplitMode, SplitStep::Whole);

        values[QStringLiteral("X")] = Value(QStringLiteral("the next record"));
        memo.Height = 300;
        memo.SplitMode = SplitStep::Remainder;
        const auto second = printCopy();
        EXPECT_EQ(printedMemo(second).Memo, whole.mid(3)) << "the rest is not expanded again";
        EXPECT_TRUE(memo.ExpandedText.isEmpty());

        // The first part draws its three lines as they were split, whatever its width.
        TfrMemoView& part = printedMemo(first);
        part.Width = 400;
        RecordingDevice device(QSize(500, 300));
        QPainter p(&device);
        part.Paint(p, context);
        p.end();
        const auto runs = device.textRuns();
        ASSERT_EQ(runs.size(), 3u);
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i].text, QString(whole[qsizetype(i)]).remove(kMark));
    }
}

TEST_F(MemoEmitTest, HighlightColoursApplyWhileTheConditionHolds)
{
    memo.Memo = QStringList{QStringLiteral("[V]")};
    memo.HighlightFontStyle = FontStyle::Bold | FontStyle::Italic;
    memo.HighlightFontColor = 0x0000FF;
    memo.HighlightFillColor = 0x00FFFF;
    const ReportFont normalFont = memo.Font;
    enum class Compiled { OnFirstUse, ByCompileHighlight, ByTheLayoutEngine };
    struct Case {
        const char* name;
        const char* condition;
        qint32 value;
        Compiled compiled;
        bool highlighted;
    };
    const Case cases[] = {
        {"condition holds", "[V] > 10", 20, Compiled::OnFirstUse, true},
        {"condition does not hold", "[V] > 10", 5, Compiled::OnFirstUse, false},
        {"compiled through the memo", "[V] <> 10", 20, Compiled::ByCompileHighlight, true},
        {"compiled through the memo, not holding", "[V] <> 10", 10, Compiled::ByCompileHighlight, false},
        {"compiled by the layout engine", "[V] - 5 - 5 <> 0", 20, Compiled::ByTheLayoutEngine, true},
        {"compiled by the layout engine, not holding", "[V] - 5 - 5 <> 0", 10, Compiled::ByTheLayoutEngine,
            false},
        {"condition raising an error", "[Missing] > 10", 20, Compiled::OnFirstUse, false},
        {"condition that cannot be compiled", "Copy('abc', 1", 20, Compiled::OnFirstUse, false},
        {"no condition", "", 20, Compiled::OnFirstUse, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        values[QStringLiteral("V")] = Value(c.value);
        memo.HighlightCondition = QString::fromLatin1(c.condition);
        memo.PreparedMode = c.compiled == Compiled::ByTheLayoutEngine;
        if (c.compiled == Compiled::ByCompileHighlight) {
            memo.CompileHighlight();
            memo.CompileHighlight(); // a second pass over the page keeps the compiled form
        } else if (c.compiled == Compiled::ByTheLayoutEngine) {
            memo.HighlightCondition = globals.parser.Compile(memo.HighlightCondition);
        }
        for (bool measured : {false, true}) {
            SCOPED_TRACE(measured ? "measured first" : "printed directly");
            if (measured)
                memo.MeasureHeight(context);
            const auto views = printCopy();
            const TfrMemoView& printed = printedMemo(views);
            EXPECT_EQ(printed.Font.Style, c.highlighted ? memo.HighlightFontStyle : normalFont.Style);
            EXPECT_EQ(printed.Font.Color, c.highlighted ? memo.HighlightFontColor : normalFont.Color);
            EXPECT_EQ(printed.FillColor, c.highlighted ? memo.HighlightFillColor : clNone);
            EXPECT_EQ(memo.Font, normalFont);
            EXPECT_EQ(memo.FillColor, clNone);
        }
    }
}

TEST_F(MemoEmitTest, BandAlignmentPlacesThePrintedCopyAndTheTemplateKeepsItsSettings)
{
    values = {{QStringLiteral("X"), Value(QStringLiteral("42"))}};
    memo.Memo = QStringList{QStringLiteral("text")};
    memo.Tag = QStringLiteral("No. [X]");
    struct Case {
        const char* name;
        quint8 align;
        int bandKind;
        QRect printedGeometry; // left, top, width, height
        quint8 printedAlign;
    };
    // The band prints at y 300 and takes 120 units this time; cross bands are 500 wide.
    const Case cases[] = {
        {"top-aligned takes the band's top", baTop, MasterData, QRect(10, 300, 200, 80), baTop},
        {"bottom-aligned is left to the band printing", baBottom, MasterData, QRect(10, 10, 200, 80), baNone},
        {"full width in a cross band takes its width", baWidth, CrossData, QRect(10, 10, 500, 80), baNone},
        {"full width in a data band is already placed", baWidth, MasterData, QRect(10, 10, 200, 80), baWidth},
        {"centred", baCenter, MasterData, QRect(10, 10, 200, 80), baCenter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Top = 10, memo.Width = 200;
        memo.BandAlign = c.align;
        context.BandGeometry = PrintingBand{300, 500, 120, c.bandKind};
        const auto views = printCopy();
        const TfrMemoView& printed = printedMemo(views);
        EXPECT_EQ(QRect(printed.Left, printed.Top, printed.Width, printed.Height), c.printedGeometry);
        EXPECT_EQ(printed.BandAlign, c.printedAlign);
        EXPECT_EQ(printed.Tag, QStringLiteral("No. 42"));
        EXPECT_EQ(memo.BandAlign, c.align);
        EXPECT_EQ(memo.Tag, QStringLiteral("No. [X]"));
    }
}

// The preview re-creates the printed copy and draws it at its zoom and offset: at zoom 1 it draws
// what the template memo draws; at other zooms the same lines, scaled, with the font's pixel
// height truncated.
TEST_F(MemoEmitTest, PrintedCopyDrawsLikeTheMemoAtEveryZoom)
{
    memo.Memo = QStringList{kLongText, QStringLiteral("Signed: supply office")};
    memo.Height = 200;
    RecordingDevice device(QSize(800, 800));
    auto paint = [this, &device](TfrView& view) {
        device.clear();
        QPainter p(&device);
        view.Paint(p, context);
        p.end();
        return device.textRuns();
    };
    const auto original = paint(memo);
    ASSERT_GE(original.size(), 4u);

    for (bool measured : {false, true}) {
        SCOPED_TRACE(measured ? "measured, then printed" : "printed directly");
        if (measured)
            memo.MeasureHeight(context);
        const auto views = printCopy();
        TfrMemoView& copy = printedMemo(views);
        const auto atOne = paint(copy);
        ASSERT_EQ(atOne.size(), original.size());
        for (size_t i = 0; i < atOne.size(); ++i) {
            EXPECT_EQ(atOne[i].text, original[i].text);
            EXPECT_EQ(atOne[i].bounds, original[i].bounds);
        }

        struct Zoom {
            double zoom;
            int left, top, pitch; // of the first line, and from line to line
        };
        // Left: round(10 z) + 5 + round(2 z) + round(z / 2); top: round(10 z) + 7 + round(z) +
        // round(z / 2) div 2; pitch: round(2 z) + trunc(13.33 z).
        for (const Zoom z : {Zoom{0.5, 11, 12, 7}, Zoom{2.0, 30, 29, 30}}) {
            SCOPED_TRACE(z.zoom);
            copy.ZoomX = copy.ZoomY = z.zoom;
            copy.ShiftX = 5, copy.ShiftY = 7;
            const auto runs = paint(copy);
            ASSERT_EQ(runs.size(), original.size());
            for (size_t i = 0; i < runs.size(); ++i) {
                EXPECT_EQ(runs[i].text, original[i].text);
                EXPECT_EQ(runs[i].bounds.left(), z.left);
                EXPECT_EQ(runs[i].bounds.top(), z.top + int(i) * z.pitch);
            }
        }
    }
}

TEST_F(MemoEmitTest, AwkwardTextPrintsAndSplitsToTheEnd)
{
    QString paragraph;
    while (paragraph.size() < 100000)
        paragraph += QStringLiteral("invoice %1 settled; ").arg(paragraph.size());
    paragraph.truncate(100000);
    struct Case {
        const char* name;
        QStringList memoText;
        qint32 width;
        bool storedWrapped; // a line too long for a record is stored as the lines it wraps to
    };
    const Case cases[] = {
        {"empty memo", {}, 200, false},
        {"only line breaks: three empty lines", {"", "", ""}, 200, false},
        {"one unit wide", {"Cement 42.5 水泥"}, 1, false},
        {"a paragraph of 100,000 characters", {paragraph}, 200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memo.Memo = c.memoText;
        memo.Width = c.width;
        memo.Height = 80;
        memo.SplitMode = SplitStep::Whole;
        const auto direct = printCopy();
        ASSERT_EQ(direct.size(), 1u);
        const QStringList expanded = memo.ExpandedText;
        memo.MeasureHeight(context);
        const QStringList whole = memo.ExpandedText;
        EXPECT_EQ(direct[0]->Memo, c.storedWrapped ? whole : expanded);
        QStringList printed;
        // A page takes 20 lines; every part prints at least one, so the rest runs out.
        memo.Height = 301;
        int parts = 0;
        do {
            memo.SplitMode = SplitStep::Remainder;
            const auto views = printCopy();
            ASSERT_EQ(views.size(), 1u);
            printed += views[0]->Memo.mid(0, memo.LinesOut);
        } while (!memo.ExpandedText.isEmpty() && ++parts <= whole.size() / 20 + 1);
        EXPECT_TRUE(memo.ExpandedText.isEmpty());
        EXPECT_EQ(printed, whole);
    }
}

} // namespace
} // namespace vaskel
