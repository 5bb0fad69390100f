// Damaged metafiles: the player draws what is valid, stops at the first record that fails its
// checks (nothing after it is drawn), never reads outside the bytes it is given (the sanitizer
// build checks that) and always returns: sizes beyond the record or the file, counts that lie,
// absurd extents, negative sizes, bitmaps promising more pixels than they hold, deep nesting.
#include "support/MetafileWriter.h"

#include "platform/MetafilePlayer.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QtEndian>

#include <functional>

namespace vaskel {
namespace {

using test::EmfWriter;
using test::makeDib;
using test::WmfWriter;

constexpr QSize kPicture(200, 100);

MetafilePlayer::Outcome playOnImage(const QByteArray& metafile, QImage& image)
{
    image = QImage(kPicture, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    return MetafilePlayer::play(painter, metafile, QRectF(QPointF(0, 0), kPicture));
}

// A red box at the top left, then `bad`, then a blue box at the bottom right: a record that fails
// its checks leaves the red box drawn and the blue one not.
QByteArray around(const std::function<void(EmfWriter&)>& bad)
{
    EmfWriter w(kPicture);
    w.createPen(1, 5, 0, Qt::black);
    w.select(1);
    w.createBrush(2, 0, Qt::red);
    w.select(2);
    w.rectangle(QRect(0, 0, 20, 20));
    bad(w);
    w.createBrush(3, 0, Qt::blue);
    w.select(3);
    w.rectangle(QRect(180, 80, 20, 20));
    return w.finish();
}

TEST(MetafileDamaged, BadRecordsStopThePlayingAfterWhatWasValid)
{
    QImage hugeBitmap(2, 2, QImage::Format_RGB32);
    hugeBitmap.fill(Qt::green);
    struct Case {
        const char* name;
        std::function<void(EmfWriter&)> bad;
        bool stops;
    };
    const std::vector<Case> cases = {
        {"poly-line count beyond its points",
            [](EmfWriter& w) {
                w.record(4, EmfWriter::i32s({0, 0, 9, 9, 1000000, 1, 1}));
            },
            true},
        {"poly-polygon counts beyond the total",
            [](EmfWriter& w) {
                w.record(91, EmfWriter::i32s({0, 0, 9, 9, 2, 3, 3, 3, 0, 0, 0}));
            },
            true},
        {"text whose string lies outside the record",
            [](EmfWriter& w) {
                w.record(84, EmfWriter::i32s({0, 0, 9, 9, 1, 0, 0, 5, 5, 4, 100000, 0, 0, 0, 9, 9, 0}));
            },
            true},
        {"text with a character count past the record",
            [](EmfWriter& w) {
                w.record(84,
                    EmfWriter::i32s({0, 0, 9, 9, 1, 0, 0, 5, 5, 0x7FFFFFFF, 76, 0, 0, 0, 9, 9, 0, 0x410041}));
            },
            true},
        {"bitmap header promising more pixels than the record holds",
            [&](EmfWriter& w) {
                test::Dib dib = makeDib(hugeBitmap, 24);
                qToLittleEndian<qint32>(4000, dib.info.data() + 4); // 4000 × 2 pixels, 16 bytes of them
                w.stretchDIBits(QRect(0, 0, 200, 100), QRect(0, 0, 2, 2), dib);
            },
            true},
        {"bitmap with a negative header size",
            [&](EmfWriter& w) {
                test::Dib dib = makeDib(hugeBitmap, 24);
                qToLittleEndian<qint32>(-40, dib.info.data());
                w.stretchDIBits(QRect(0, 0, 200, 100), QRect(0, 0, 2, 2), dib);
            },
            true},
        {"clip region whose rectangle count lies",
            [](EmfWriter& w) {
                w.record(75, EmfWriter::u32s({48, 5, 32, 1, 1000, 16000, 0, 0, 0, 0, 0, 0, 10, 10}));
            },
            true},
        {"record size not a multiple of four",
            [](EmfWriter& w) {
                w.record(43, EmfWriter::i32s({0, 0, 9, 9}));
                w.record(9999, QByteArray(2, 'x'));
            },
            false},
        {"unknown record types are skipped", [](EmfWriter& w) { w.record(9999, QByteArray(12, '\x7F')); },
            false},
        {"absurd extents draw without hanging",
            [](EmfWriter& w) {
                w.saveDC();
                w.setMapMode(8);
                w.setWindowExt(1, 1);
                w.setViewportExt(0x7FFFFFFF, 0x7FFFFFFF);
                w.createPen(9, 2, 0, Qt::green); // dotted: dashes over two billion pixels
                w.select(9);
                w.ellipse(QRect(-1000, -1000, 2000, 2000));
                w.textW({0, 0}, QStringLiteral("huge"));
                w.restoreDC(-1);
            },
            false},
        {"text clipped to a rectangle two billion pixels tall, and text placed beyond the page",
            [](EmfWriter& w) {
                w.textW({5, 5}, QStringLiteral("tall"), {}, 4, QRect(0, -2147483647, 100, 2147483647));
                w.textW({5, 5}, QStringLiteral("far"), {2000000000, 2000000000, 2000000000});
                w.textW({2000000000, 5}, QStringLiteral("far"));
            },
            false},
        {"negative sizes are drawn normalised",
            [](EmfWriter& w) {
                w.record(43, EmfWriter::i32s({60, 60, 40, 40}));
                w.stretchDIBits(QRect(80, 80, -10, -10), QRect(0, 0, 2, 2),
                    makeDib(QImage(2, 2, QImage::Format_RGB32), 24));
            },
            false},
        {"deep nesting of saved states",
            [](EmfWriter& w) {
                for (int i = 0; i < 20000; ++i)
                    w.saveDC();
                w.restoreDC(-20000);
                w.restoreDC(-5); // nothing left to restore
            },
            false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray mf = around(c.bad);
        if (std::string(c.name).find("multiple of four") != std::string::npos) {
            // The last record before the blue box gets a size of 10.
            const qsizetype at = mf.indexOf(QByteArray::fromHex("0f270000"));
            ASSERT_GT(at, 0);
            qToLittleEndian<quint32>(10, mf.data() + at + 4);
        }
        QImage image;
        const MetafilePlayer::Outcome outcome = playOnImage(mf, image);
        const bool damaged = std::string(c.name).find("multiple of four") != std::string::npos || c.stops;
        EXPECT_EQ(outcome.damaged, damaged);
        EXPECT_EQ(QColor(image.pixel(10, 10)), QColor(Qt::red));
        EXPECT_EQ(QColor(image.pixel(190, 90)), damaged ? QColor(Qt::white) : QColor(Qt::blue));
    }
}

TEST(MetafileDamaged, EveryCutOfAFileDrawsItsWholeRecordsOnly)
{
    EmfWriter w(kPicture);
    w.createFont(1, -14, QStringLiteral("Arial"), 134);
    w.select(1);
    w.textW({5, 5}, QStringLiteral("Header"), {8, 8, 8, 8, 8, 8}, 4, QRect(0, 0, 100, 20));
    w.textA({5, 30}, QByteArray::fromHex("bacfbcc6"), {7, 7, 7, 7});
    w.selectClipRegion({QRect(0, 0, 150, 90)}, 5);
    QImage tile(3, 3, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    w.createPatternBrush(2, makeDib(tile, 4));
    w.select(2);
    w.polyPolygon16({{{0, 0}, {50, 0}, {0, 50}}, {{60, 60}, {90, 60}, {60, 90}}});
    w.stretchDIBits(QRect(100, 0, 50, 50), QRect(0, 0, 3, 3), makeDib(tile, 8, true));
    w.polyTextW({{{0, 60}, QStringLiteral("a")}, {{40, 60}, QStringLiteral("b")}});
    const QByteArray whole = w.finish();

    int previous = 0;
    for (qsizetype cut = 0; cut <= whole.size(); cut += 3) {
        const QByteArray part = whole.left(cut);
        QImage image;
        const MetafilePlayer::Outcome outcome = playOnImage(part, image);
        RecordingDevice device(kPicture);
        {
            QPainter painter(&device);
            MetafilePlayer::play(painter, part, QRectF(QPointF(0, 0), kPicture));
        }
        EXPECT_GE(outcome.records, previous) << "cut at " << cut;
        previous = outcome.records;
    }
    QImage image;
    const MetafilePlayer::Outcome outcome = playOnImage(whole, image);
    EXPECT_FALSE(outcome.damaged);
    EXPECT_EQ(outcome.records, 11); // the header and ten records
}

TEST(MetafileDamaged, HeadersThatLieAreNotBelieved)
{
    // The header's byte count, record count and handle count say too little or too much.
    EmfWriter w(kPicture);
    w.createBrush(7000, 0, Qt::red);
    w.select(7000);
    w.rectangle(QRect(0, 0, 50, 50));
    QByteArray mf = w.finish();
    qToLittleEndian<quint32>(1, mf.data() + 52); // one record
    qToLittleEndian<quint32>(0xFFFFFFF0u, mf.data() + 48); // bytes
    qToLittleEndian<quint16>(1, mf.data() + 56); // handles
    QImage image;
    EXPECT_FALSE(playOnImage(mf, image).damaged);
    EXPECT_EQ(QColor(image.pixel(25, 25)), QColor(Qt::red));

    // A frame of absurd size; no frame and bounds whose right edge lies left of the left one:
    // nothing to scale from, nothing drawn.
    QByteArray absurd = mf;
    qToLittleEndian<qint32>(0x7FFFFFFF, absurd.data() + 32);
    EXPECT_EQ(MetafilePlayer::naturalSize(absurd), QSize());
    playOnImage(absurd, image);
    QByteArray none = mf;
    for (int at : {16, 20, 24, 28, 32, 36})
        qToLittleEndian<qint32>(0, none.data() + at);
    qToLittleEndian<qint32>(10, none.data() + 8);
    EXPECT_EQ(playOnImage(none, image).records, 0);
}

TEST(MetafileDamaged, WindowsMetafileRecordsThatLie)
{
    struct Case {
        const char* name;
        std::function<void(WmfWriter&)> bad;
    };
    const std::vector<Case> cases = {
        {"record of size zero", [](WmfWriter& w) { w.record(0x041B, {}); }},
        {"polygon with more points than it holds",
            [](WmfWriter& w) {
                w.record(0x0324, WmfWriter::i16s({3000, 1, 1}));
            }},
        {"text longer than its record",
            [](WmfWriter& w) {
                w.record(0x0521, WmfWriter::i16s({2000, 0x4141, 0, 0}));
            }},
        {"bitmap promising more than it holds",
            [](WmfWriter& w) {
                QImage img(2, 2, QImage::Format_RGB32);
                img.fill(Qt::green);
                test::Dib dib = makeDib(img, 24);
                qToLittleEndian<qint32>(30000, dib.info.data() + 8);
                w.stretchDIB(QRect(0, 0, 2000, 1000), dib);
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WmfWriter w(QRect(0, 0, 2000, 1000), 1440);
        w.createBrush(0, Qt::red);
        w.select(0);
        w.createPen(5, 0, Qt::black);
        w.select(1);
        w.rectangle(QRect(0, 0, 200, 200));
        c.bad(w);
        w.createBrush(0, Qt::blue);
        w.select(2);
        w.rectangle(QRect(1800, 800, 200, 200));
        QByteArray wmf = w.finish();
        if (std::string(c.name) == "record of size zero") {
            const qsizetype at = wmf.indexOf(QByteArray::fromHex("030000001b04"));
            ASSERT_GT(at, 0);
            qToLittleEndian<quint32>(0, wmf.data() + at);
        }
        QImage image;
        const MetafilePlayer::Outcome outcome = playOnImage(wmf, image);
        EXPECT_TRUE(outcome.damaged);
        EXPECT_EQ(QColor(image.pixel(10, 10)), QColor(Qt::red));
        EXPECT_EQ(QColor(image.pixel(190, 90)), QColor(Qt::white));
    }
}

} // namespace
} // namespace vaskel
