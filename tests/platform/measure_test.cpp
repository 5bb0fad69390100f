// Measuring on the shared scratch surface: cached widths equal what Qt lays out and draws, extra
// character spacing counts once per character, several lines measure as the widest line.
#include "platform/DrawingAdapter.h"
#include "platform/PlatformGlobals.h"
#include "platform/ScratchSurface.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace vaskel {
namespace {

class ScratchSurfaceTest : public ::testing::Test {
protected:
    PlatformGlobals globals;
    ScratchSurface& scratch = globals.scratch;
};

TEST_F(ScratchSurfaceTest, MeasuresAtNinetySixPixelsPerInch)
{
    EXPECT_EQ(scratch.device()->logicalDpiX(), 96);
    EXPECT_EQ(scratch.device()->logicalDpiY(), 96);
    EXPECT_EQ(&PlatformGlobals::get().scratch, &scratch);
}

TEST_F(ScratchSurfaceTest, CachedWidthsEqualQtLayoutWithSpacingPerCharacter)
{
    struct Case {
        const char* name;
        const char* family;
        quint16 style;
        const char* text;
    } cases[] = {
        {"Latin with kerning pairs", "Arial", 0, "AVAWAY Total: 1,234.50"},
        {"bold italic serif", "Times New Roman", 3, "office fifty VAT"},
        {"monospace", "Courier New", 0, "ldlp_no = 'A001'"},
        {"Chinese in a Chinese face", "宋体", 0, "进货：合计 123 元"},
        {"Chinese linked into a Latin face", "Arial", 2, "Total 合计 123 元"},
        {"clerical face with blanks", "隶书", 0, "销售  单据"},
        {"character outside the basic plane", "宋体", 0, "a\U00020000b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        scratch.setFont(DrawFont::select(QString::fromUtf8(c.family), 16, c.style));
        const int characters = int(text.toUcs4().size());
        for (int extra : {0, 3, -1}) {
            scratch.setCharacterExtra(extra);
            EXPECT_EQ(scratch.textWidth(text),
                QFontMetrics(scratch.font().font(), scratch.device()).horizontalAdvance(text)
                    + extra * characters)
                << "extra " << extra;
        }
    }
}

TEST_F(ScratchSurfaceTest, FontChangesKeepSpacingAndCaches)
{
    const DrawFont arial = DrawFont::select(QStringLiteral("Arial"), 13, 0);
    const DrawFont bold = DrawFont::select(QStringLiteral("Arial"), 13, fsBold);
    const QString text = QStringLiteral("Purchase lines");
    scratch.setCharacterExtra(2);
    scratch.setFont(arial);
    const int plain = scratch.textWidth(text);
    scratch.setFont(bold);
    const int wide = scratch.textWidth(text);
    EXPECT_GT(wide, plain);
    scratch.setFont(arial);
    EXPECT_EQ(scratch.characterExtra(), 2);
    EXPECT_EQ(scratch.textWidth(text), plain);
    // A turned font measures the same.
    scratch.setFont(arial.turned(true));
    EXPECT_EQ(scratch.textWidth(text), plain);
    EXPECT_EQ(scratch.charHeight(), 13);
}

TEST_F(ScratchSurfaceTest, SeveralLinesMeasureAsWidestLineTimesLineHeight)
{
    scratch.setFont(DrawFont::select(QStringLiteral("Arial"), 16, 0));
    const int line = scratch.lineHeight();
    EXPECT_EQ(line, scratch.advances().ascent() + scratch.advances().descent());
    struct Case {
        const char* name;
        const char* text;
        const char* widest;
        int lines;
    } cases[] = {
        {"one line", "Total", "Total", 1},
        {"CR LF, LF and CR each end a line", "ab\r\nwidest\ncd\rx", "widest", 4},
        {"empty text is one empty line", "", "", 1},
        {"a final break starts an empty line", "ab\n", "ab", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QSize extent = scratch.textExtent(QString::fromUtf8(c.text));
        EXPECT_EQ(extent.width(), scratch.textWidth(QString::fromUtf8(c.widest)));
        EXPECT_EQ(extent.height(), c.lines * line);
    }
}

TEST_F(ScratchSurfaceTest, MeasuredWidthsAreWhereDrawingPutsTheCharacters)
{
    // Drawing a line with extra spacing puts each character exactly where the measured widths of
    // the characters before it say: wrapping on the scratch surface predicts the drawn output.
    const QString text = QString::fromUtf8("Wi合计 1.5");
    const DrawFont font = DrawFont::select(QStringLiteral("Arial"), 16, 0);
    scratch.setFont(font);
    scratch.setCharacterExtra(3);
    auto render = [&](auto draw) {
        QImage image(240, 30, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawingAdapter adapter(painter);
        adapter.setFont(font);
        draw(adapter);
        return image;
    };
    const QImage whole = render([&](DrawingAdapter& a) {
        a.setCharacterExtra(3);
        a.drawText(QPoint(5, 5), text);
        EXPECT_EQ(a.textWidth(text), scratch.textWidth(text));
    });
    const QImage pieces = render([&](DrawingAdapter& a) {
        for (qsizetype i = 0; i < text.size(); ++i)
            a.drawText(
                QPoint(5 + scratch.textWidth(QStringView(text).first(i)), 5), QStringView(text).sliced(i, 1));
    });
    EXPECT_TRUE(whole == pieces);
}

} // namespace
} // namespace vaskel
