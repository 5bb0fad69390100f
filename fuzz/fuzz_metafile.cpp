// libFuzzer target for the metafile player: any bytes are played as a metafile picture onto a
// small image and onto the recording device. The player must draw what is valid, stop at the
// first bad record and return; a crash, a sanitizer report, an exception, a hang or a painter left
// changed (transform, clip, composition mode) is a find.
//
// The first input byte selects the variant: bit 0 plays onto the recording device as well, bit 1
// prefixes the rest with a valid enhanced-metafile header (so the fuzzer works on the records
// themselves), bit 2 with a valid placeable Windows metafile header instead, bit 3 plays into a
// target ten times the image (scaled up instead of down).
//
// Seeds: run with VASKEL_FUZZ_SEEDS=DIR once to write the test fixtures' kind of pictures there.
#include "platform/FontAliases.h"
#include "platform/MetafilePlayer.h"
#include "platform/RecordingDevice.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringEncoder>
#include <QtEndian>

#include "support/MetafileWriter.h"

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

QGuiApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FontAliases::installBeforeApplication();
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

// A valid header of each format, taken from pictures with no records.
QByteArray emfHeader()
{
    static const QByteArray h = test::EmfWriter(QSize(64, 64)).finish().left(108);
    return h;
}

QByteArray wmfHeader()
{
    static const QByteArray h = test::WmfWriter(QRect(0, 0, 640, 640), 1440).finish().left(40);
    return h;
}

void writeSeeds(const QString& dir)
{
    QDir().mkpath(dir);
    auto write = [&](const QString& name, char mode, const QByteArray& bytes) {
        QFile f(dir + '/' + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(1, mode) + bytes);
    };
    test::EmfWriter e(QSize(64, 64));
    e.createBrush(1, 2, Qt::red, 3);
    e.select(1);
    e.createPen(2, 1, 0, Qt::blue);
    e.select(2);
    e.setMapMode(8);
    e.setWindowExt(640, 640);
    e.setViewportExt(64, 64);
    e.saveDC();
    e.intersectClipRect(QRect(10, 10, 400, 400));
    e.rectangle(QRect(0, 0, 300, 300));
    e.arc(47, QRect(0, 0, 600, 600), {600, 300}, {300, 0});
    e.polyPolygon16({{{0, 0}, {100, 0}, {0, 100}}, {{200, 200}, {300, 200}, {200, 300}}});
    e.restoreDC(-1);
    e.beginPath();
    e.moveTo(10, 10);
    e.lineTo(500, 20);
    e.polyBezier({{0, 0}, {100, 300}, {300, 100}, {600, 600}});
    e.closeFigure();
    e.endPath();
    e.selectClipPath(1);
    e.createFont(3, -40, QStringLiteral("Arial"), 134, 700, 450);
    e.select(3);
    e.textA({20, 300}, QStringEncoder("GBK").encode(QString::fromUtf8("合计金额")), std::vector<int>(8, 20), 6,
        QRect(0, 280, 600, 60));
    e.textW({20, 400}, QStringLiteral("Total"), {30, 30, 30, 30, 30});
    e.polyTextW({{{0, 500}, QStringLiteral("a")}, {{100, 500}, QStringLiteral("b")}});
    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::green);
    tile.setPixel(1, 1, qRgb(1, 2, 3));
    e.createPatternBrush(4, test::makeDib(tile, 4));
    e.stretchDIBits(QRect(0, 0, 300, 200), QRect(0, 0, 3, 2), test::makeDib(tile, 8, true));
    e.bitBlt(QRect(300, 300, 3, 2), test::makeDib(tile, 1));
    e.selectClipRegion({QRect(0, 0, 30, 30), QRect(40, 40, 10, 10)}, 2);
    e.setRop2(7);
    e.ellipse(QRect(0, 0, 640, 640));
    const QByteArray emf = e.finish();
    write("emf", 0x1, emf);
    write("emf-records", 0x2, emf.mid(108));

    test::WmfWriter w(QRect(0, 0, 640, 640), 1440);
    w.createBrush(0, Qt::red);
    w.select(0);
    w.createPen(0, 2, Qt::black);
    w.select(1);
    w.rectangle(QRect(10, 10, 300, 300));
    w.polygon({{0, 0}, {100, 0}, {0, 100}});
    w.createFont(-40, QByteArray("Arial"), 0);
    w.select(2);
    w.textOut({10, 400}, "Sum");
    w.extTextOut({10, 500}, "Sum", {20, 20, 20});
    w.stretchDIB(QRect(0, 0, 100, 100), test::makeDib(tile, 24));
    const QByteArray wmf = w.finish();
    write("wmf", 0x1, wmf);
    write("wmf-records", 0x4, wmf.mid(40));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    application();
    const QByteArray seeds = qgetenv("VASKEL_FUZZ_SEEDS");
    if (!seeds.isEmpty())
        writeSeeds(QString::fromLocal8Bit(seeds));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    if (mode & 2) {
        QByteArray header = emfHeader();
        qToLittleEndian(quint32(header.size() + bytes.size()), header.data() + 48);
        bytes.prepend(header);
    } else if (mode & 4) {
        bytes.prepend(wmfHeader());
    }
    const QRectF target = (mode & 8) ? QRectF(-100, -100, 640, 640) : QRectF(2, 3, 60, 58);

    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        MetafilePlayer::play(painter, bytes, target);
        // The caller's painter comes back as it was given.
        if (!painter.transform().isIdentity() || painter.hasClipping()
            || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
            __builtin_trap();
    }
    (void)MetafilePlayer::naturalSize(bytes);
    if (mode & 1) {
        RecordingDevice device(QSize(64, 64));
        QPainter painter(&device);
        MetafilePlayer::play(painter, bytes, target);
    }
    return 0;
}
