// Speed of the number and date-time pattern languages on the patterns reports use most: a display
// format runs once per printed field, so a long report formats some hundred thousand values.
#include "report/expr/DateTimePattern.h"
#include "report/expr/EditMask.h"
#include "report/expr/NumberPattern.h"

#include <benchmark/benchmark.h>

namespace {

using vaskel::LocaleSettings;

const char* const kNumberPatterns[] = {"##0.##", "#,##0.00", "0.00", "#,##0.00;(#,##0.00);\"-\"", "0.00E+00"};
const char* const kDatePatterns[] = {"mm.dd.yyyy", "d mmm yyyy", "hh:nn:ss", "dddd, mmmm d, yyyy", "c"};

void BM_FormatFloat(benchmark::State& state)
{
    const LocaleSettings locale = LocaleSettings::fixedEnglish();
    const QString pattern = QString::fromLatin1(kNumberPatterns[state.range(0)]);
    state.SetLabel(pattern.toStdString());
    double v = -12345.678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vaskel::FormatFloat(pattern, v, locale));
        v += 1.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFloat)->DenseRange(0, 4);

void BM_FixedNotation(benchmark::State& state)
{
    const LocaleSettings locale = LocaleSettings::fixedEnglish();
    double v = -12345.678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vaskel::FloatToStrF(v, vaskel::FloatFormat::Number, 15, 2, locale));
        v += 1.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FixedNotation);

void BM_FormatDateTime(benchmark::State& state)
{
    const LocaleSettings locale = LocaleSettings::fixedEnglish();
    const QString pattern = QString::fromLatin1(kDatePatterns[state.range(0)]);
    state.SetLabel(pattern.toStdString());
    double v = 36114.61348;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vaskel::FormatDateTime(pattern, v, locale));
        v += 0.731;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatDateTime)->DenseRange(0, 4);

void BM_FormatMaskText(benchmark::State& state)
{
    const QString mask = QStringLiteral("(999) 000-0000;0; ");
    const QString text = QStringLiteral("5551234567");
    for (auto _ : state)
        benchmark::DoNotOptimize(vaskel::FormatMaskText(mask, text));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatMaskText);

} // namespace
