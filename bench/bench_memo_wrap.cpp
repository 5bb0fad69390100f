// Wrapping memo texts the way report preparation does: 10,000 typical memo texts (Latin words,
// Chinese captions, figures) into a memo 200 units wide (196 pixels between its gaps), 10-point
// Arial at 96 pixels per inch. "MemoWrapper" is the memo's own wrap loop over the advance cache;
// "QtPerPrefix" runs the same break rule but asks QFontMetrics::horizontalAdvance for every
// candidate prefix, which is what wrapping cost before the cache. Items are characters.
#include "platform/PlatformGlobals.h"
#include "report/model/MemoWrapper.h"

#include <benchmark/benchmark.h>

#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace {

using namespace vaskel;

constexpr int kAvailable = 200 - 2 * 2;

QStringList memoTexts()
{
    QStringList texts;
    texts.reserve(10000);
    for (int i = 0; i < 10000; ++i) {
        switch (i % 5) {
        case 0:
            texts << QString::fromUtf8("进货单 LDLP-2023-%1 合计金额 %2.%3 元")
                         .arg(i, 4, 10, QChar(u'0'))
                         .arg(i * 37)
                         .arg(i % 100);
            break;
        case 1:
            texts << QStringLiteral(
                "Portland cement grade 42.5, %1 bags delivered to warehouse %2 on the %3th")
                         .arg(i % 400)
                         .arg(i % 9)
                         .arg(i % 28 + 1);
            break;
        case 2:
            texts << QStringLiteral("%1,%2.%3")
                         .arg(i * 13)
                         .arg(i % 1000, 3, 10, QChar(u'0'))
                         .arg(i % 100, 2, 10, QChar(u'0'));
            break;
        case 3:
            texts << QString::fromUtf8(
                "备注：价格含税，若有疑问请联系供应科，钢材%1吨、水泥%2袋已于本月核对无误。")
                         .arg(i % 50)
                         .arg(i % 300);
            break;
        default:
            texts << QStringLiteral(
                "Payment within %1 days of invoice; transport by truck, contact the supply "
                "office for any question about order A%2.")
                         .arg(i % 60)
                         .arg(i);
            break;
        }
    }
    return texts;
}

qint64 characters(const QStringList& texts)
{
    qint64 n = 0;
    for (const QString& t : texts)
        n += t.size();
    return n;
}

void BM_MemoWrapper(benchmark::State& state)
{
    PlatformGlobals globals;
    ScratchSurface& scratch = globals.scratch;
    scratch.setFont(DrawFont::select(QStringLiteral("Arial"), 13, 0));
    const QStringList texts = memoTexts();
    for (auto _ : state) {
        MemoWrapper wrapper(scratch, kAvailable, false);
        QStringList lines;
        for (const QString& t : texts)
            wrapper.wrapParagraph(t, lines);
        benchmark::DoNotOptimize(lines.size());
    }
    state.SetItemsProcessed(state.iterations() * characters(texts));
}
BENCHMARK(BM_MemoWrapper)->Unit(benchmark::kMillisecond);

// The memo's break rule without hyphenation: break at the last blank, or before the character that
// does not fit; one platform measurement per candidate prefix.
int wrapPerPrefix(const QString& s, const QFontMetrics& metrics)
{
    if (metrics.horizontalAdvance(s) <= kAvailable)
        return 1;
    int lines = 0;
    qsizetype lineStart = 0;
    qsizetype breakPos = 0;
    for (qsizetype a = 0; a < s.size(); ++a) {
        if (s[a] != u' ' && a > lineStart
            && metrics.horizontalAdvance(QStringView(s).sliced(lineStart, a - lineStart + 1).toString())
                > kAvailable) {
            ++lines;
            lineStart = (breakPos > lineStart && s[breakPos] == u' ') ? breakPos + 1 : a;
            breakPos = lineStart;
        }
        if (s[a] == u' ')
            breakPos = a;
    }
    return lines + 1;
}

void BM_QtPerPrefix(benchmark::State& state)
{
    PlatformGlobals globals;
    const QFontMetrics metrics(
        DrawFont::select(QStringLiteral("Arial"), 13, 0).font(), globals.scratch.device());
    const QStringList texts = memoTexts();
    for (auto _ : state) {
        int lines = 0;
        for (const QString& t : texts)
            lines += wrapPerPrefix(t, metrics);
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * characters(texts));
}
BENCHMARK(BM_QtPerPrefix)->Unit(benchmark::kMillisecond);

} // namespace
