// The player against an independent converter: emf2svg-conv (Debian's emf2svg) turns the same
// fixtures into SVG, and the shapes' boxes and the texts' origins of both are compared. Skipped
// where the converter is not installed.
//
// Where the two differ, and why (the tolerances below allow exactly these):
// - Scale: the converter maps the header's bounds (inclusive, so a 200-pixel picture is 199 wide)
//   onto its canvas; the player maps the frame, as the old device did when it played a picture
//   into a rectangle. Coordinates differ by up to 0.5 %.
// - Pen widths: the converter draws every pen one unit wide; the player draws geometric pens at
//   their width. The fixtures fill without an outline so that boxes compare exactly.
// - Text placement: the converter puts the baseline of top-aligned text 0.9 × the font height
//   below the reference point; the player uses the font's real ascent (Arial's stand-in: 0.905).
//   Text advances are not in the SVG: the converter leaves character placement to the viewer.
// - Saved states: the converter keeps the mapping mode and extents past a RestoreDC that ends
//   them (text after a restored anisotropic mapping comes out ten times too small); the player
//   restores them with the rest of the device context, as the old device did. The fixture sets
//   its mapping last so that the rest compares.
#include "support/MetafileWriter.h"

#include "platform/DrawFont.h"
#include "platform/MetafilePlayer.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>

namespace vaskel {
namespace {

using test::EmfWriter;

struct SvgItem {
    QString kind; // "shape" or "text"
    QRectF box; // shapes: bounding box; texts: origin (x, baseline y) as a zero-size box
    QString text;
};

std::vector<SvgItem> convert(const QByteArray& emf, const QTemporaryDir& dir)
{
    const QString in = dir.filePath("in.emf"), out = dir.filePath("out.svg");
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(emf);
    f.close();
    QProcess p;
    p.start(QStringLiteral("emf2svg-conv"), {"-i", in, "-o", out});
    p.waitForFinished(20000);
    QFile svg(out);
    if (!svg.open(QIODevice::ReadOnly))
        return {};
    std::vector<SvgItem> items;
    QXmlStreamReader xml(&svg);
    auto num = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toDouble(); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"rect")
            items.push_back({"shape", QRectF(num("x"), num("y"), num("width"), num("height")), {}});
        else if (xml.name() == u"ellipse")
            items.push_back({"shape",
                QRectF(num("cx") - num("rx"), num("cy") - num("ry"), 2 * num("rx"), 2 * num("ry")), {}});
        else if (xml.name() == u"text") {
            const QRectF at(num("x"), num("y"), 0, 0);
            items.push_back({"text", at, xml.readElementText()});
        }
    }
    return items;
}

TEST(MetafileAgainstEmf2svg, ShapesAndTextOriginsAgree)
{
    if (QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv")).isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed (Debian package emf2svg)";
    const QSize size(400, 300);
    EmfWriter w(size);
    w.createBrush(1, 0, Qt::red);
    w.select(1);
    w.createPen(2, 5, 0, Qt::black);
    w.select(2);
    w.rectangle(QRect(20, 10, 60, 40));
    w.ellipse(QRect(100, 10, 80, 60));
    w.createFont(3, -16, QStringLiteral("Arial"));
    w.select(3);
    w.setBkMode(1);
    w.textW({10, 200}, QStringLiteral("Top aligned"));
    w.setTextAlign(24);
    w.textW({200, 250}, QStringLiteral("On the baseline"));
    // Last, because the converter keeps a mapping past the RestoreDC that should end it.
    w.setMapMode(8);
    w.setWindowExt(1000, 1000);
    w.setViewportExt(100, 100);
    w.rectangle(QRect(2000, 1000, 500, 500));
    const QByteArray emf = w.finish();

    QTemporaryDir dir;
    std::vector<SvgItem> svg = convert(emf, dir);
    ASSERT_EQ(svg.size(), 5u) << "emf2svg-conv gave no SVG";
    std::stable_partition(svg.begin(), svg.end(), [](const SvgItem& i) { return i.kind == "shape"; });

    RecordingDevice device(size);
    {
        QPainter painter(&device);
        MetafilePlayer::play(painter, emf, QRectF(QPointF(0, 0), size));
    }
    std::vector<RecordedOperation> shapes, texts;
    for (const RecordedOperation& op : device.operations()) {
        if (op.kind == RecordedOperation::Kind::Text)
            texts.push_back(op);
        else if (op.kind != RecordedOperation::Kind::Header)
            shapes.push_back(op);
    }
    ASSERT_EQ(shapes.size(), 3u);
    ASSERT_EQ(texts.size(), 2u);
    const double scale = 400.0 / 399.0; // the converter's canvas is the inclusive bounds
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QRectF theirs = svg[i].box;
        const QRect ours = shapes[i].bounds;
        EXPECT_NEAR(ours.left(), theirs.left() * scale, 1.5);
        EXPECT_NEAR(ours.top(), theirs.top() * scale, 1.5);
        EXPECT_NEAR(ours.width(), theirs.width() * scale, 2);
        EXPECT_NEAR(ours.height(), theirs.height() * scale, 2);
    }
    const int ascent = QFontMetrics(DrawFont::select(QStringLiteral("Arial"), 16, 0).font()).ascent();
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].text, svg[3 + i].text);
        EXPECT_NEAR(texts[i].bounds.left(), svg[3 + i].box.x() * scale, 1.5);
        EXPECT_NEAR(texts[i].bounds.top() + ascent, svg[3 + i].box.y() * scale, 2);
    }
}

} // namespace
} // namespace vaskel
