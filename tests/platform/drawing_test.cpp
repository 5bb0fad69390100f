// The drawing adapter on rendered images: justification, clipping, turned and right-to-left text,
// pen styles and widths, exclusive-or marking and clip regions.
#include "platform/DrawingAdapter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <vector>

namespace vaskel {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

QImage render(QSize size, const std::function<void(DrawingAdapter&)>& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawingAdapter adapter(painter);
    draw(adapter);
    return image;
}

bool inked(const QImage& image, int x, int y)
{
    return image.pixel(x, y) != kWhite;
}

// The smallest rectangle holding every non-white pixel (null when the image is blank).
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Lengths of the alternating inked and blank runs along row y from x0 on, starting with ink.
std::vector<int> runs(const QImage& image, int y, int x0, int x1)
{
    std::vector<int> out;
    bool ink = true;
    int length = 0;
    for (int x = x0; x < x1; ++x) {
        if (inked(image, x, y) == ink) {
            ++length;
        } else {
            out.push_back(length);
            ink = !ink;
            length = 1;
        }
    }
    out.push_back(length);
    return out;
}

const DrawFont kArial16 = DrawFont::select(QStringLiteral("Arial"), 16, 0);

TEST(DrawingAdapter, JustifiedLineSpreadsExactlyTheSparePixels)
{
    // The justified line must look exactly like its words drawn one by one, each word moved right
    // by the extra pixels of the blanks before it.
    struct Case {
        const char* name;
        const char* text;
        int spare;
        int extra;
        std::vector<int> perBlank; // extra pixels of each blank, in reading order
    } cases[] = {
        {"spare divides evenly", "ab cd ef", 6, 0, {3, 3}},
        {"remainder goes to the first blanks", "ab cd ef gh", 11, 0, {4, 4, 3}},
        {"fewer spare pixels than blanks", "a b c d", 2, 0, {1, 1, 0}},
        {"no-break space is a blank", "合计\u00a0123 元", 5, 0, {3, 2}},
        {"with extra character spacing", "ab cd ef", 7, 2, {4, 3}},
        {"negative spare narrows the blanks", "ab cd ef", -3, 0, {-2, -1}},
        {"a line without blanks is not stretched", "abcdef", 9, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        const QImage justified = render({260, 30}, [&](DrawingAdapter& a) {
            a.setFont(kArial16);
            a.setCharacterExtra(c.extra);
            DrawingAdapter::TextOptions options;
            options.justifySpare = c.spare;
            a.drawText(QPoint(10, 5), text, options);
        });
        const QImage words = render({260, 30}, [&](DrawingAdapter& a) {
            a.setFont(kArial16);
            a.setCharacterExtra(c.extra);
            int shift = 0;
            size_t blank = 0;
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar ch = text[i];
                if (ch == u' ' || ch == QChar(0xA0)) {
                    shift += c.perBlank.at(blank++);
                    continue;
                }
                a.drawText(QPoint(10 + a.textWidth(QStringView(text).first(i)) + shift, 5),
                    QStringView(text).sliced(i, 1));
            }
            EXPECT_EQ(blank, c.perBlank.size());
        });
        EXPECT_TRUE(justified == words);
    }
}

TEST(DrawingAdapter, FakedBoldIsAlikeAtEveryResolution)
{
    // 宋体's stand-in has no bold face. Its bold must darken the text as much at 600 pixels per
    // inch (PDF, printers) as at 96 (the screen): the share of inked pixels in the text's cell.
    const QString text = QString::fromUtf8("进货合计");
    auto inkShare = [&](int dpi, quint16 style) {
        const int height = qRound(10.0 * dpi / 72); // 10 points
        QImage image(height * 8, height * 2, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawingAdapter a(painter);
        a.setFont(DrawFont::select(QString::fromUtf8("宋体"), height, style));
        a.drawText(QPoint(height / 2, height / 2), text);
        const int width = a.textWidth(text);
        painter.end();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += qGray(image.pixel(x, y)) < 128;
        return double(ink) / (width * height);
    };
    const double regular96 = inkShare(96, 0), bold96 = inkShare(96, fsBold);
    const double regular600 = inkShare(600, 0), bold600 = inkShare(600, fsBold);
    EXPECT_GT(bold96, regular96 * 1.25);
    EXPECT_GT(bold600, regular600 * 1.25);
    EXPECT_NEAR(bold600 / regular600, bold96 / regular96, 0.35 * bold96 / regular96);
}

TEST(DrawingAdapter, ClippedLineDrawsNothingOutsideItsRectangle)
{
    const QRect clip(20, 10, 60, 14);
    const QString text = QString::fromUtf8("A long line, 合计 far wider than its box, WWWW");
    for (bool turned : {false, true}) {
        SCOPED_TRACE(turned ? "turned" : "upright");
        const QImage image = render({200, 200}, [&](DrawingAdapter& a) {
            a.setFont(kArial16.turned(turned));
            DrawingAdapter::TextOptions options;
            options.clipped = true;
            options.clip = turned ? QRect(20, 30, 14, 60) : clip;
            // Starts left of and above the box, so the text crosses every edge.
            a.drawText(turned ? QPoint(18, 180) : QPoint(5, 8), text, options);
            const QRect bounds = inkBounds(*static_cast<QImage*>(a.painter().device()));
            EXPECT_FALSE(bounds.isNull());
            EXPECT_TRUE(options.clip.contains(bounds))
                << bounds.x() << "," << bounds.y() << " " << bounds.width() << "x" << bounds.height();
        });
        EXPECT_FALSE(inkBounds(image).isNull());
    }
}

TEST(DrawingAdapter, TurnedTextReadsUpwardsFromItsOrigin)
{
    const QPoint origin(50, 150);
    const QString text = QStringLiteral("WWWW");
    int width = 0;
    int cell = 0;
    const QImage image = render({200, 200}, [&](DrawingAdapter& a) {
        a.setFont(kArial16.turned(true));
        width = a.textWidth(text);
        cell = a.lineHeight();
        a.drawText(origin, text);
    });
    // The text runs up from the origin; its cell lies to the right of it (a glyph may overhang its
    // advance by a pixel).
    const QRect ink = inkBounds(image);
    const QRect box = QRect(origin.x(), origin.y() - width, cell, width).adjusted(-1, -1, 1, 1);
    EXPECT_TRUE(box.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.height(), width - 4);
    // Reading upwards: the first character, a full stop, is the ink nearest the origin, on the
    // baseline at the right of the cell.
    const QImage marked = render({200, 200}, [&](DrawingAdapter& a) {
        a.setFont(kArial16.turned(true));
        a.drawText(origin, QStringLiteral(".    W"));
    });
    const QRect dot = inkBounds(marked.copy(0, origin.y() - 8, 200, 8));
    ASSERT_FALSE(dot.isNull());
    EXPECT_LE(dot.width(), 3);
    EXPECT_GT(dot.left(), origin.x() + cell / 2);
}

TEST(DrawingAdapter, RightToLeftReadingMovesNeutralEndsToTheLeft)
{
    // In a right-to-left line the closing mark of a Latin word stands at its left.
    const QImage rtl = render({120, 30}, [&](DrawingAdapter& a) {
        a.setFont(kArial16);
        DrawingAdapter::TextOptions options;
        options.rightToLeft = true;
        a.drawText(QPoint(10, 5), QStringLiteral("ab!"), options);
    });
    const QImage visual = render({120, 30}, [&](DrawingAdapter& a) {
        a.setFont(kArial16);
        a.drawText(QPoint(10, 5), QStringLiteral("!ab"));
    });
    EXPECT_TRUE(rtl == visual);
}

TEST(DrawingAdapter, PenStylesAndWidths)
{
    struct Case {
        const char* name;
        PenStyle style;
        std::vector<int> pattern; // pixels on, off, on, …
    } cases[] = {
        {"solid", PenStyle::psSolid, {48}},
        {"dash", PenStyle::psDash, {18, 6, 18, 6}},
        {"dot", PenStyle::psDot, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
        {"dash dot", PenStyle::psDashDot, {9, 6, 3, 6, 9, 6, 3, 6}},
        {"dash dot dot", PenStyle::psDashDotDot, {9, 3, 3, 3, 3, 3, 9, 3, 3, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int width : {0, 1}) {
            const QImage image = render({80, 10}, [&](DrawingAdapter& a) {
                a.setPen(Qt::black, width, c.style);
                a.drawLine(QPoint(10, 5), QPoint(58, 5));
            });
            EXPECT_EQ(runs(image, 5, 10, 58), c.pattern) << "width " << width;
            // A one-pixel line leaves out its last pixel and is one pixel thick.
            EXPECT_EQ(inkBounds(image),
                QRect(10, 5, c.style == PenStyle::psSolid ? 48 : inkBounds(image).width(), 1));
        }
        // Wide pens are always solid.
        const QImage wide = render({80, 20}, [&](DrawingAdapter& a) {
            a.setPen(Qt::black, 3, c.style);
            a.drawLine(QPoint(10, 10), QPoint(58, 10));
        });
        EXPECT_EQ(runs(wide, 10, 10, 58), std::vector<int>{48});
        EXPECT_EQ(inkBounds(wide).height(), 3);
    }
    // An opaque background fills the gaps of a dashed line.
    const QImage opaque = render({80, 10}, [&](DrawingAdapter& a) {
        a.setBackground(true, Qt::red);
        a.setPen(Qt::black, 1, PenStyle::psDash);
        a.drawLine(QPoint(10, 5), QPoint(58, 5));
    });
    EXPECT_EQ(opaque.pixel(30, 5), QColor(Qt::red).rgb());
    EXPECT_EQ(opaque.pixel(12, 5), QColor(Qt::black).rgb());
}

TEST(DrawingAdapter, ExclusiveOrMarkingTwiceRestores)
{
    QImage image(60, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.fillRect(0, 0, 30, 20, Qt::black);
    }
    const QImage original = image;
    auto mark = [&] {
        QPainter painter(&image);
        DrawingAdapter a(painter);
        a.setXorMode(true);
        a.setPen(Qt::white, 1);
        for (int i = 0; i <= 4; ++i)
            a.drawLine(QPoint(20, 8 + i), QPoint(40, 8 + i));
        a.setXorMode(false);
    };
    mark();
    EXPECT_EQ(image.pixel(25, 10), QColor(Qt::white).rgb()); // black inverted
    EXPECT_EQ(image.pixel(35, 10), QColor(Qt::black).rgb()); // white inverted
    EXPECT_EQ(image.pixel(40, 10), QColor(Qt::white).rgb()); // last pixel left out
    EXPECT_EQ(image.pixel(25, 13), QColor(Qt::black).rgb()); // below the mark
    mark();
    EXPECT_TRUE(image == original);
}

TEST(DrawingAdapter, ClipRegionsIntersectAndExclude)
{
    const QImage image = render({40, 40}, [](DrawingAdapter& a) {
        a.excludeClipRect(QRect(10, 10, 10, 10));
        a.fillRect(QRect(0, 0, 40, 40), Qt::black);
        a.intersectClipRect(QRect(0, 0, 30, 30));
        a.fillRect(QRect(0, 0, 40, 40), Qt::blue);
        a.removeClip();
        a.setClipRegion(QRegion(35, 35, 5, 5));
        a.fillRect(QRect(0, 0, 40, 40), Qt::red);
    });
    EXPECT_EQ(image.pixel(15, 15), kWhite); // excluded throughout
    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::blue).rgb()); // inside both
    EXPECT_EQ(image.pixel(32, 5), QColor(Qt::black).rgb()); // outside the intersection
    EXPECT_EQ(image.pixel(37, 37), QColor(Qt::red).rgb()); // the replacing region
    EXPECT_EQ(image.pixel(33, 37), QColor(Qt::black).rgb());
}

} // namespace
} // namespace vaskel
