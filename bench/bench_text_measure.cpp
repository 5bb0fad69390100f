// Measuring during memo wrapping: the wrap loop measures the growing prefix of a line once per
// character. "Cached" sums advances from the scratch surface's per-font cache; "Qt" asks
// QFontMetrics for every prefix, which itemises and shapes the text each time. The ratio of the
// two is what the cache buys.
#include "platform/PlatformGlobals.h"

#include <benchmark/benchmark.h>

#include <QFontMetrics>
#include <QString>

#include <functional>

namespace {

using namespace vaskel;

// A paragraph like the ones bills print: Chinese captions, codes, figures and English words.
QString paragraph()
{
    return QString::fromUtf8("进货单 LDLP-2023-0457 合计金额 12,345.67 元，其中钢材 3.5 吨、水泥 120 袋、"
                             "Portland cement grade 42.5 delivered to warehouse 3 on the 15th; 销售单据 号码 "
                             "A001 至 A020 已核对，transport by truck, payment within 30 days of invoice. "
                             "备注：价格含税，若有疑问请联系供应科。");
}

// The memo's wrap loop, reduced to its measuring: break at the last blank before the width is
// exceeded. Returns the number of lines so the work cannot be optimised away.
int wrap(const QString& text, int available, const std::function<int(QStringView)>& width)
{
    int lines = 0;
    qsizetype lineStart = 0;
    qsizetype breakPos = 0;
    for (qsizetype a = 0; a < text.size(); ++a) {
        if (text[a] == u' ') {
            breakPos = a;
            continue;
        }
        if (width(QStringView(text).sliced(lineStart, a - lineStart + 1)) > available) {
            ++lines;
            lineStart = breakPos > lineStart ? breakPos + 1 : a;
            breakPos = lineStart;
        }
    }
    return lines + 1;
}

void BM_WrapMeasureCached(benchmark::State& state)
{
    PlatformGlobals globals;
    ScratchSurface& scratch = globals.scratch;
    scratch.setFont(DrawFont::select(QStringLiteral("Arial"), 13, 0));
    scratch.setCharacterExtra(1);
    const QString text = paragraph();
    for (auto _ : state)
        benchmark::DoNotOptimize(wrap(text, 240, [&](QStringView s) { return scratch.textWidth(s); }));
    state.SetItemsProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_WrapMeasureCached);

void BM_WrapMeasureQt(benchmark::State& state)
{
    PlatformGlobals globals;
    const QFont font = DrawFont::select(QStringLiteral("Arial"), 13, 0).font();
    const QFontMetrics metrics(font, globals.scratch.device());
    const QString text = paragraph();
    for (auto _ : state)
        benchmark::DoNotOptimize(wrap(text, 240,
            [&](QStringView s) { return metrics.horizontalAdvance(s.toString()) + int(s.size()); }));
    state.SetItemsProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_WrapMeasureQt);

// Selecting a font on the scratch surface is done once per paragraph; it must stay cheap once the
// font has been seen.
void BM_SelectKnownFont(benchmark::State& state)
{
    PlatformGlobals globals;
    ScratchSurface& scratch = globals.scratch;
    const DrawFont a = DrawFont::select(QStringLiteral("Arial"), 13, 0);
    const DrawFont b = DrawFont::select(QString::fromUtf8("宋体"), 16, fsBold);
    bool flip = false;
    for (auto _ : state) {
        scratch.setFont(flip ? a : b);
        benchmark::DoNotOptimize(scratch.textWidth(u"合计"));
        flip = !flip;
    }
}
BENCHMARK(BM_SelectKnownFont);

} // namespace
