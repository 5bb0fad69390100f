// The recording device: every drawing operation numbered in order after the header, each text run
// with its text and its box in device coordinates.
#include "platform/DrawingAdapter.h"
#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

namespace vaskel {
namespace {

using Kind = RecordedOperation::Kind;

std::string describe(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

TEST(RecordingDevice, RunsComeBackInDrawingOrderWithTheirBoxes)
{
    RecordingDevice device(QSize(758, 1071));
    const DrawFont font = DrawFont::select(QStringLiteral("Arial"), 13, 0);
    int width1 = 0, width2 = 0, width3 = 0, cell = 0;
    const QString rotatedText = QString::fromUtf8("竖排 text");
    {
        QPainter painter(&device);
        DrawingAdapter a(painter);
        a.setFont(font);
        cell = a.lineHeight();
        a.fillRect(QRect(10, 10, 200, 40), Qt::yellow);
        width1 = a.textWidth(QStringLiteral("First line"));
        a.drawText(QPoint(12, 12), QStringLiteral("First line"));
        a.setPen(Qt::black, 1);
        a.drawLine(QPoint(10, 50), QPoint(210, 50));
        // Justified: the box grows by the spare pixels.
        DrawingAdapter::TextOptions justified;
        justified.justifySpare = 9;
        width2 = a.textWidth(QString::fromUtf8("合计 123 元")) + 9;
        a.drawText(QPoint(12, 30), QString::fromUtf8("合计 123 元"), justified);
        // Clipped: the box is cut to what can show.
        DrawingAdapter::TextOptions clipped;
        clipped.clipped = true;
        clipped.clip = QRect(300, 100, 40, 100);
        a.drawText(QPoint(290, 105), QStringLiteral("Clipped at both ends"), clipped);
        // Turned: reads upwards from its origin, the cell to the right of it.
        a.setFont(font.turned(true));
        width3 = a.textWidth(rotatedText);
        a.drawText(QPoint(400, 300), rotatedText);
        // Under a painter transform the box is in device coordinates.
        a.setFont(font);
        painter.translate(100, 500);
        a.drawText(QPoint(5, 6), QStringLiteral("Moved"));
    }
    const std::vector<RecordedOperation>& ops = device.operations();
    ASSERT_EQ(ops.size(), 8u);
    const Kind kinds[] = {
        Kind::Header, Kind::Rects, Kind::Text, Kind::Lines, Kind::Text, Kind::Text, Kind::Text, Kind::Text};
    for (size_t i = 0; i < ops.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ops[i].index, int(i));
        EXPECT_EQ(ops[i].kind, kinds[i]);
    }
    EXPECT_EQ(ops[0].bounds, QRect(0, 0, 758, 1071));
    EXPECT_EQ(describe(ops[1].bounds), "10,10 200x40");
    EXPECT_EQ(describe(ops[3].bounds), "10,50 200x1"); // a line is at least one pixel thick

    struct Expected {
        const char* text;
        QRect bounds;
    } expected[] = {
        {"First line", QRect(12, 12, width1, cell)},
        {"合计 123 元", QRect(12, 30, width2, cell)},
        {"Clipped at both ends", QRect(300, 105, 40, cell)},
        {"竖排 text", QRect(400, 300 - width3, cell, width3)},
        {"Moved", QRect(105, 506, device.textRuns().back().bounds.width(), cell)},
    };
    const std::vector<RecordedOperation> runs = device.textRuns();
    ASSERT_EQ(runs.size(), std::size(expected));
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(runs[i].text.toStdString(), expected[i].text);
        EXPECT_EQ(describe(runs[i].bounds), describe(expected[i].bounds));
    }
    EXPECT_GT(runs.back().bounds.width(), 0);
}

TEST(RecordingDevice, PlainDrawTextOfMixedScriptsIsOneRun)
{
    // Qt hands a drawText call over one script at a time; the pieces belong to one run, while
    // separate calls stay separate runs.
    RecordingDevice device(QSize(400, 300));
    QFont font = DrawFont::select(QStringLiteral("Arial"), 16, 0).font();
    const QString mixed = QString::fromUtf8("Total 合计: 1,234.50 元");
    {
        QPainter painter(&device);
        painter.setFont(font);
        painter.drawText(QPointF(20, 40), mixed);
        painter.drawText(QPointF(20, 80), QStringLiteral("ab"));
        painter.drawText(QPointF(120, 80), QStringLiteral("cd"));
        painter.rotate(90);
        painter.drawEllipse(QRectF(10, -60, 20, 20));
    }
    const std::vector<RecordedOperation> runs = device.textRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, mixed);
    const QFontMetrics metrics(font, &device);
    EXPECT_EQ(runs[0].bounds.left(), 20);
    EXPECT_EQ(runs[0].bounds.top(), 40 - metrics.ascent());
    EXPECT_NEAR(runs[0].bounds.width(), metrics.horizontalAdvance(mixed), 1);
    EXPECT_EQ(runs[1].text, "ab");
    EXPECT_EQ(runs[2].text, "cd");
    // The ellipse's box turned with the painter.
    const RecordedOperation& ellipse = device.operations().back();
    EXPECT_EQ(ellipse.kind, Kind::Ellipse);
    EXPECT_EQ(describe(ellipse.bounds), "40,10 20x20");
}

TEST(RecordingDevice, NumberingGoesOnAcrossPaintersUntilCleared)
{
    RecordingDevice device(QSize(100, 100));
    for (int session = 0; session < 2; ++session) {
        QPainter painter(&device);
        painter.drawLine(0, 0, 10, 10);
    }
    ASSERT_EQ(device.operations().size(), 3u);
    EXPECT_EQ(device.operations()[2].index, 2);
    EXPECT_EQ(device.operations()[2].kind, Kind::Lines);
    device.clear();
    {
        QPainter painter(&device);
        painter.drawRect(1, 2, 3, 4);
    }
    ASSERT_EQ(device.operations().size(), 2u);
    EXPECT_EQ(device.operations()[0].kind, Kind::Header);
    EXPECT_EQ(device.operations()[1].index, 1);
}

} // namespace
} // namespace vaskel
