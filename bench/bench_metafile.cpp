// Playing a typical prepared-report page kept as an enhanced metafile (the oldest .frp layout):
// an A4 page of a bill with 300 text records (captions, codes, amounts, Chinese names in GB2312
// bytes and in Unicode, each with its advance array as the recording device wrote it), 240 grid
// lines and a few filled boxes, played onto an A4 image at 96 pixels per inch as the preview
// draws it, and onto the recording device as the search walks it. items_per_second is pages a
// second.
#include "platform/MetafilePlayer.h"
#include "platform/RecordingDevice.h"
#include "support/MetafileWriter.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QStringEncoder>

namespace {

using namespace vaskel;

std::vector<int> advances(int count, int each)
{
    return std::vector<int>(size_t(count), each);
}

QByteArray reportPage()
{
    test::EmfWriter w(QSize(840, 1188));
    w.createFont(1, -14, QStringLiteral("Arial"));
    w.createFont(2, -14, QString::fromUtf8("宋体"), 134);
    w.createFont(3, -22, QString::fromUtf8("宋体"), 134, 700);
    w.createPen(4, 0, 0, Qt::black);
    w.createBrush(5, 0, QColor(230, 230, 230));
    w.select(4);
    w.setBkMode(1);
    w.select(3);
    w.textW({300, 40}, QString::fromUtf8("材料供应公司 进货单"), advances(10, 22));
    w.select(5);
    w.rectangle(QRect(40, 90, 760, 24));
    QStringEncoder gbk("GBK");
    for (int row = 0; row < 50; ++row) {
        const int y = 120 + row * 20;
        w.moveTo(40, y);
        w.lineTo(800, y);
        for (int col = 0; col < 6; ++col) {
            const int x = 44 + col * 126;
            if (col == 1) {
                w.select(2);
                const QByteArray name = gbk.encode(QString::fromUtf8("螺纹钢 Φ%1").arg(12 + row % 10));
                w.textA({x, y + 3}, name, advances(int(name.size()), 7));
            } else if (col == 2) {
                w.select(2);
                w.textW({x, y + 3}, QString::fromUtf8("吨"), {14});
            } else {
                w.select(1);
                const QString text = col == 0 ? QStringLiteral("LDLP-%1").arg(4700 + row)
                                              : QString::number((row + 1) * (col + 3) * 17.25, 'f', 2);
                w.setTextAlign(col == 0 ? 0 : 2);
                w.textW({col == 0 ? x : x + 118, y + 3}, text, advances(int(text.size()), 8));
                w.setTextAlign(0);
            }
        }
    }
    for (int col = 0; col <= 6; ++col) {
        w.moveTo(40 + col * 126, 120);
        w.lineTo(40 + col * 126, 1120);
    }
    return w.finish();
}

void PlayReportPageOntoImage(benchmark::State& state)
{
    const QByteArray page = reportPage();
    QImage image(794, 1123, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        MetafilePlayer::play(painter, page, QRectF(0, 0, 794, 1123));
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["bytes"] = double(page.size());
}
BENCHMARK(PlayReportPageOntoImage)->Unit(benchmark::kMillisecond);

void PlayReportPageOntoRecording(benchmark::State& state)
{
    const QByteArray page = reportPage();
    for (auto _ : state) {
        RecordingDevice device(QSize(794, 1123));
        QPainter painter(&device);
        MetafilePlayer::play(painter, page, QRectF(0, 0, 794, 1123));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlayReportPageOntoRecording)->Unit(benchmark::kMillisecond);

} // namespace
