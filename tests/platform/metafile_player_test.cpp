// The metafile player on fixtures written in code: each record family drawn onto a QImage and
// checked by the colours of pixels where the record must and must not have drawn; text records
// played onto the recording device and checked by their runs (text and box); placeable Windows
// metafiles; the natural size of both formats.
#include "support/MetafileWriter.h"

#include "platform/MetafilePlayer.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QStringEncoder>

#include <functional>

namespace vaskel {
namespace {

using test::EmfWriter;
using test::makeDib;
using test::WmfWriter;

constexpr QSize kPicture(200, 100);
const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 128, 0);

QImage playOnImage(const QByteArray& metafile, QSize size = kPicture, QRectF target = {})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    MetafilePlayer::play(painter, metafile, target.isNull() ? QRectF(QPointF(0, 0), size) : target);
    return image;
}

std::vector<RecordedOperation> textRuns(
    const QByteArray& metafile, QRectF target = QRectF(QPointF(0, 0), kPicture))
{
    RecordingDevice device(kPicture.grownBy(QMargins(0, 0, 400, 400)));
    {
        QPainter painter(&device);
        MetafilePlayer::play(painter, metafile, target);
    }
    return device.textRuns();
}

// A picture whose red brush and black pen are selected, then `draw` adds its records.
QByteArray picture(const std::function<void(EmfWriter&)>& draw)
{
    EmfWriter w(kPicture);
    w.createBrush(1, 0, kRed);
    w.select(1);
    w.createPen(2, 5, 0, Qt::black); // the null pen: fills show their own edges exactly
    w.select(2);
    draw(w);
    return w.finish();
}

struct PixelCase {
    const char* name;
    std::function<void(EmfWriter&)> draw;
    std::vector<std::pair<QPoint, QColor>> expected;
};

TEST(MetafilePlayer, ShapesFillWhereTheirRecordsSay)
{
    const QColor white = Qt::white;
    const std::vector<PixelCase> cases = {
        {"rectangle", [](EmfWriter& w) { w.rectangle(QRect(20, 10, 60, 40)); },
            {{{25, 15}, kRed}, {{75, 45}, kRed}, {{85, 15}, white}, {{25, 55}, white}}},
        {"ellipse leaves its bounding box's corners", [](EmfWriter& w) { w.ellipse(QRect(0, 0, 100, 100)); },
            {{{50, 50}, kRed}, {{3, 3}, white}, {{96, 96}, white}}},
        {"rounded rectangle rounds its corners",
            [](EmfWriter& w) { w.roundRect(QRect(0, 0, 100, 60), 40, 40); },
            {{{50, 30}, kRed}, {{2, 2}, white}, {{50, 2}, kRed}}},
        {"16-bit polygon",
            [](EmfWriter& w) {
                w.polygon16({{0, 0}, {100, 0}, {0, 100}});
            },
            {{{10, 10}, kRed}, {{90, 90}, white}}},
        {"poly-polygon with a hole under alternate filling",
            [](EmfWriter& w) {
                w.polyPolygon16(
                    {{{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {{25, 25}, {75, 25}, {75, 75}, {25, 75}}});
            },
            {{{10, 10}, kRed}, {{50, 50}, white}}},
        {"pie: the quarter from 3 to 12 o'clock",
            [](EmfWriter& w) {
                w.arc(47, QRect(0, 0, 100, 100), {100, 50}, {50, 0});
            },
            {{{70, 30}, kRed}, {{30, 30}, white}, {{70, 70}, white}}},
        {"chord: the segment cut by the line between the arc's ends",
            [](EmfWriter& w) {
                w.arc(46, QRect(0, 0, 100, 100), {100, 50}, {50, 0});
            },
            {{{85, 15}, kRed}, {{60, 40}, white}}},
        {"path filled after a closed figure",
            [](EmfWriter& w) {
                w.beginPath();
                w.moveTo(120, 10);
                w.lineTo(190, 10);
                w.lineTo(190, 90);
                w.closeFigure();
                w.endPath();
                w.fillPath();
            },
            {{{180, 20}, kRed}, {{130, 80}, white}}},
        {"anisotropic window 1000 × 500 onto a viewport of 200 × 100",
            [](EmfWriter& w) {
                w.setMapMode(8);
                w.setWindowExt(1000, 500);
                w.setViewportExt(200, 100);
                w.rectangle(QRect(500, 250, 500, 250));
            },
            {{{150, 75}, kRed}, {{90, 75}, white}, {{150, 40}, white}}},
        {"low metric: tenths of a millimetre, y upwards from the origin",
            [](EmfWriter& w) {
                w.setMapMode(2);
                w.setViewportOrg(0, 100);
                w.rectangle(QRect(0, 0, 250, 250)); // 25 mm = 100 px square, from y 0 up to 100 px
            },
            {{{50, 50}, kRed}, {{150, 50}, white}}},
        {"world transform doubles what follows",
            [](EmfWriter& w) {
                w.setWorldTransform(2, 0, 0, 2, 0, 0);
                w.rectangle(QRect(10, 10, 20, 20));
            },
            {{{55, 55}, kRed}, {{65, 65}, white}}},
        {"save and restore bring the red brush back",
            [](EmfWriter& w) {
                w.saveDC();
                w.createBrush(3, 0, kBlue);
                w.select(3);
                w.restoreDC(-1);
                w.rectangle(QRect(0, 0, 50, 50));
            },
            {{{25, 25}, kRed}}},
        {"pattern brush tiles its bitmap",
            [](EmfWriter& w) {
                QImage tile(2, 2, QImage::Format_RGB32);
                tile.fill(kBlue);
                tile.setPixel(0, 0, kGreen.rgb());
                tile.setPixel(1, 1, kGreen.rgb());
                w.createPatternBrush(3, makeDib(tile, 24));
                w.select(3);
                w.rectangle(QRect(0, 0, 100, 100));
            },
            {{{10, 10}, kGreen}, {{11, 10}, kBlue}, {{11, 11}, kGreen}}},
        {"R2_NOT inverts what is below",
            [](EmfWriter& w) {
                w.rectangle(QRect(0, 0, 100, 100));
                w.setRop2(6);
                w.rectangle(QRect(50, 0, 100, 100));
            },
            {{{25, 50}, kRed}, {{75, 50}, QColor(0, 255, 255)}, {{120, 50}, Qt::black}}},
        {"intersected clip rectangle keeps the left half",
            [](EmfWriter& w) {
                w.intersectClipRect(QRect(0, 0, 100, 100));
                w.rectangle(QRect(0, 0, 200, 100));
            },
            {{{50, 50}, kRed}, {{150, 50}, white}}},
        {"excluded clip rectangle makes a hole",
            [](EmfWriter& w) {
                w.excludeClipRect(QRect(50, 25, 100, 50));
                w.rectangle(QRect(0, 0, 200, 100));
            },
            {{{10, 10}, kRed}, {{100, 50}, white}}},
        {"clip region of two rectangles, then removed by an empty copy",
            [](EmfWriter& w) {
                w.selectClipRegion({QRect(0, 0, 20, 20), QRect(180, 80, 20, 20)}, 5);
                w.rectangle(QRect(0, 0, 200, 100));
                w.createBrush(3, 0, kBlue);
                w.select(3);
                w.record(75, EmfWriter::u32s({0, 5})); // RGN_COPY of no region: no clip
                w.rectangle(QRect(90, 40, 20, 20));
            },
            {{{10, 10}, kRed}, {{190, 90}, kRed}, {{50, 50}, white}, {{100, 50}, kBlue}}},
        {"restoring the device context restores its clip",
            [](EmfWriter& w) {
                w.saveDC();
                w.intersectClipRect(QRect(0, 0, 10, 10));
                w.restoreDC(-1);
                w.rectangle(QRect(0, 0, 200, 100));
            },
            {{{150, 50}, kRed}}},
        {"clip path of a triangle",
            [](EmfWriter& w) {
                w.beginPath();
                w.moveTo(0, 0);
                w.lineTo(200, 0);
                w.lineTo(0, 100);
                w.closeFigure();
                w.endPath();
                w.selectClipPath(5);
                w.rectangle(QRect(0, 0, 200, 100));
            },
            {{{20, 20}, kRed}, {{180, 80}, white}}},
        {"lines: a thick pen along a row",
            [](EmfWriter& w) {
                w.createPen(3, 0, 6, kBlue);
                w.select(3);
                w.moveTo(10, 50);
                w.lineTo(190, 50);
                w.polyline({{100, 0}, {100, 20}});
            },
            {{{100, 50}, kBlue}, {{100, 52}, kBlue}, {{100, 60}, white}, {{100, 10}, kBlue}}},
        {"EMF+ comment records are skipped, the fallback drawn",
            [](EmfWriter& w) {
                w.comment(QByteArray("EMF+") + QByteArray(28, '\x11'));
                w.rectangle(QRect(0, 0, 30, 30));
            },
            {{{15, 15}, kRed}}},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = playOnImage(picture(c.draw));
        for (const auto& [at, colour] : c.expected)
            EXPECT_EQ(QColor(image.pixel(at)).name(), colour.name()) << "at " << at.x() << "," << at.y();
    }
}

TEST(MetafilePlayer, HatchedBrushesFillTheirGapsOnAnOpaqueBackground)
{
    for (const int mode : {2, 1}) { // OPAQUE, TRANSPARENT
        SCOPED_TRACE(mode == 2 ? "opaque" : "transparent");
        const QImage image = playOnImage(picture([&](EmfWriter& w) {
            w.createBrush(3, 2, kBlue, 0); // horizontal hatch
            w.select(3);
            w.setBkColor(kGreen);
            w.setBkMode(mode);
            w.rectangle(QRect(0, 0, 100, 100));
        }));
        // One 8-pixel cell of the column: hatch lines and, on an opaque background, its gaps.
        int blue = 0, green = 0, white = 0;
        for (int y = 40; y < 48; ++y) {
            const QColor c(image.pixel(50, y));
            blue += c == kBlue;
            green += c == kGreen;
            white += c == QColor(Qt::white);
        }
        EXPECT_GE(blue, 1);
        EXPECT_EQ(mode == 2 ? green : white, 8 - blue);
    }
}

TEST(MetafilePlayer, ScalesThePictureIntoTheTargetRectangle)
{
    const QByteArray mf = picture([](EmfWriter& w) { w.rectangle(QRect(100, 50, 100, 50)); });
    // The 200 × 100 picture into 400 × 200 at (100, 100): the lower right quarter lands at 300..500.
    const QImage image = playOnImage(mf, QSize(600, 400), QRectF(100, 100, 400, 200));
    EXPECT_EQ(QColor(image.pixel(400, 250)), kRed);
    EXPECT_EQ(QColor(image.pixel(250, 250)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(520, 250)), QColor(Qt::white));
}

TEST(MetafilePlayer, BitmapsOfEveryDepthArePlacedAndScaled)
{
    // Four quadrants: red, green / blue, black; drawn 2 × 2 into a 100 × 50 rectangle.
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixel(0, 0, kRed.rgb());
    source.setPixel(1, 0, qRgb(0, 255, 0));
    source.setPixel(0, 1, kBlue.rgb());
    source.setPixel(1, 1, qRgb(0, 0, 0));
    struct Case {
        const char* name;
        int bits;
        bool topDown;
        bool stretch;
    };
    for (const Case c :
        {Case{"1 bit would need 4 colours: 2 of them", 1, false, true}, Case{"4 bits", 4, false, true},
            Case{"8 bits top-down", 8, true, true}, Case{"16 bits", 16, false, true},
            Case{"24 bits", 24, false, true}, Case{"32 bits top-down", 32, true, true},
            Case{"24 bits by bit block transfer", 24, false, false}}) {
        SCOPED_TRACE(c.name);
        QImage img = source;
        if (c.bits == 1) {
            img.setPixel(1, 0, kRed.rgb());
            img.setPixel(1, 1, kBlue.rgb());
        }
        const QByteArray mf = picture([&](EmfWriter& w) {
            if (c.stretch)
                w.stretchDIBits(QRect(50, 25, 100, 50), QRect(0, 0, 2, 2), makeDib(img, c.bits, c.topDown));
            else
                w.bitBlt(QRect(50, 25, 2, 2), makeDib(img, c.bits, c.topDown));
        });
        const QImage out = playOnImage(mf);
        if (!c.stretch) {
            EXPECT_EQ(QColor(out.pixel(50, 25)), kRed);
            EXPECT_EQ(QColor(out.pixel(51, 26)), QColor(Qt::black));
            EXPECT_EQ(QColor(out.pixel(52, 25)), QColor(Qt::white));
            continue;
        }
        EXPECT_EQ(QColor(out.pixel(60, 30)), QColor(img.pixel(0, 0)));
        EXPECT_EQ(QColor(out.pixel(140, 30)), QColor(img.pixel(1, 0)));
        EXPECT_EQ(QColor(out.pixel(60, 70)), QColor(img.pixel(0, 1)));
        EXPECT_EQ(QColor(out.pixel(140, 70)), QColor(img.pixel(1, 1)));
        EXPECT_EQ(QColor(out.pixel(45, 30)), QColor(Qt::white));
        EXPECT_EQ(QColor(out.pixel(155, 80)), QColor(Qt::white));
    }
}

QByteArray gbk(const QString& s)
{
    QStringEncoder e("GBK");
    return e.encode(s);
}

TEST(MetafilePlayer, TextRunsReachTheRecordingDeviceWithTheirBoxes)
{
    const QString unicode = QString::fromUtf8("合计 Total");
    const QString ansi = QString::fromUtf8("金额大写");
    const QByteArray mf = picture([&](EmfWriter& w) {
        w.createFont(3, -16, QStringLiteral("Arial"));
        w.select(3);
        w.textW({10, 10}, unicode);
        // GB2312 character set: the bytes are GBK, two advances per character of 16 px each half.
        w.createFont(4, -16, QString::fromUtf8("宋体"), 134);
        w.select(4);
        w.textA({10, 40}, gbk(ansi), std::vector<int>(8, 8));
        // Right-aligned on the baseline at x 190.
        w.select(3);
        w.setTextAlign(2 | 24);
        w.textW({190, 90}, QStringLiteral("right"));
        // Clipped to a rectangle narrower than the text.
        w.setTextAlign(0);
        w.textW({100, 10}, QStringLiteral("clipped text"), {}, 4, QRect(100, 0, 30, 40));
    });
    const std::vector<RecordedOperation> runs = textRuns(mf);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, unicode);
    EXPECT_NEAR(runs[0].bounds.left(), 10, 1);
    EXPECT_NEAR(runs[0].bounds.top(), 10, 1);
    EXPECT_NEAR(runs[0].bounds.height(), 18, 4);
    EXPECT_EQ(runs[1].text, ansi);
    EXPECT_NEAR(runs[1].bounds.left(), 10, 1);
    EXPECT_NEAR(runs[1].bounds.width(), 64, 2); // 4 characters of 16 px from the advances
    EXPECT_EQ(runs[2].text, QStringLiteral("right"));
    EXPECT_NEAR(runs[2].bounds.right() + 1, 190, 1);
    EXPECT_LT(runs[2].bounds.top(), 90);
    EXPECT_GT(runs[2].bounds.bottom(), 86);
    EXPECT_EQ(runs[3].text, QStringLiteral("clipped text"));
    EXPECT_GE(runs[3].bounds.left(), 100);
    EXPECT_LE(runs[3].bounds.right(), 130);
}

TEST(MetafilePlayer, AdvancesThatDepartFromTheFontSplitTheRun)
{
    // Every character 30 px apart: the run is drawn in pieces at the recorded places.
    const QByteArray mf = picture([](EmfWriter& w) {
        w.createFont(3, -12, QStringLiteral("Arial"));
        w.select(3);
        w.textW({0, 0}, QStringLiteral("iWi"), {30, 5, 30});
        w.textW({0, 50}, QStringLiteral("abc"), {20, 20, 20}); // even widening: one run
        w.polyTextW({{{0, 70}, QStringLiteral("one")}, {{100, 70}, QStringLiteral("two")}});
    });
    const std::vector<RecordedOperation> runs = textRuns(mf);
    QStringList texts;
    for (const auto& r : runs)
        texts << r.text;
    EXPECT_EQ(texts.join('|'), QStringLiteral("i|W|i|abc|one|two"));
    EXPECT_NEAR(runs[1].bounds.left(), 30, 1);
    EXPECT_NEAR(runs[2].bounds.left(), 35, 1);
    EXPECT_NEAR(runs[3].bounds.width(), 60, 3);
    EXPECT_NEAR(runs[5].bounds.left(), 100, 1);
}

TEST(MetafilePlayer, TextPaintsPixelsAndOpaqueRectangles)
{
    const QByteArray mf = picture([](EmfWriter& w) {
        w.createFont(3, -40, QStringLiteral("Arial"), 0, 700);
        w.select(3);
        w.setTextColor(kBlue);
        w.setBkColor(kGreen);
        w.textW({10, 10}, QStringLiteral("MM"), {}, 2, QRect(120, 10, 60, 60)); // ETO_OPAQUE
    });
    const QImage image = playOnImage(mf);
    int blue = 0;
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 80; ++x)
            blue += QColor(image.pixel(x, y)).blue() > 200 && QColor(image.pixel(x, y)).red() < 80;
    EXPECT_GT(blue, 200);
    EXPECT_EQ(QColor(image.pixel(150, 40)), kGreen);
}

TEST(MetafilePlayer, EscapementTurnsTheRun)
{
    const QByteArray mf = picture([](EmfWriter& w) {
        w.createFont(3, -16, QStringLiteral("Arial"), 0, 400, 900);
        w.select(3);
        w.textW({50, 90}, QStringLiteral("upwards"));
    });
    const std::vector<RecordedOperation> runs = textRuns(mf);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GT(runs[0].bounds.height(), runs[0].bounds.width());
    EXPECT_NEAR(runs[0].bounds.bottom() + 1, 90, 1);
    EXPECT_NEAR(runs[0].bounds.left(), 50, 1);
}

TEST(MetafilePlayer, PlaceableWindowsMetafilesMapTheirWindowOntoTheTarget)
{
    // 1440 units per inch, the window 0..2000 × 0..1000 shown in a 200 × 100 target.
    WmfWriter w(QRect(0, 0, 2000, 1000), 1440);
    w.setWindowOrg(0, 0);
    w.setWindowExt(2000, 1000);
    w.createBrush(0, kRed);
    w.select(0);
    w.createPen(5, 0, Qt::black);
    w.select(1);
    w.rectangle(QRect(1000, 0, 1000, 500));
    w.createFont(-160, gbk(QString::fromUtf8("宋体")), 134);
    w.select(2);
    w.textOut({100, 600}, gbk(QString::fromUtf8("合计")));
    w.extTextOut({100, 800}, QByteArray("Sum"), {100, 100, 100});
    QImage tile(1, 1, QImage::Format_RGB32);
    tile.fill(kBlue);
    w.stretchDIB(QRect(0, 0, 500, 500), makeDib(tile, 24));
    const QByteArray wmf = w.finish();

    EXPECT_EQ(MetafilePlayer::formatOf(wmf), MetafilePlayer::Format::Placeable);
    EXPECT_EQ(MetafilePlayer::naturalSize(wmf), QSize(133, 67)); // 2000 × 1000 twips at 96 dpi
    const QImage image = playOnImage(wmf);
    EXPECT_EQ(QColor(image.pixel(150, 25)), kRed);
    EXPECT_EQ(QColor(image.pixel(150, 75)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(25, 25)), kBlue);
    const std::vector<RecordedOperation> runs = textRuns(wmf);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("合计"));
    EXPECT_NEAR(runs[0].bounds.left(), 10, 1);
    EXPECT_NEAR(runs[0].bounds.top(), 60, 1);
    EXPECT_EQ(runs[1].text, QStringLiteral("Sum"));
    EXPECT_NEAR(runs[1].bounds.width(), 30, 2);
}

TEST(MetafilePlayer, NaturalSizeComesFromTheFrame)
{
    const QByteArray emf = picture([](EmfWriter&) {});
    EXPECT_EQ(MetafilePlayer::formatOf(emf), MetafilePlayer::Format::Enhanced);
    // 5000 × 2500 hundredths of a millimetre (edges included) = 50 × 25 mm ≈ 189 × 94.5 px at 96 dpi.
    EXPECT_EQ(MetafilePlayer::naturalSize(emf), QSize(189, 95));
    EXPECT_EQ(MetafilePlayer::naturalSize(QByteArray("not a picture")), QSize());
    EXPECT_EQ(MetafilePlayer::formatOf(QByteArray()), MetafilePlayer::Format::Unknown);
}

} // namespace
} // namespace vaskel
