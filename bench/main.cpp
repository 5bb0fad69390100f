// Shared main of the benchmarks: fonts and a Qt application object are needed to measure text.
#include <benchmark/benchmark.h>

#ifdef VASKEL_BENCH_WIDGETS
#include <QApplication>
using BenchApplication = QApplication; // benchmarks of windows
#else
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

#include "platform/FontAliases.h"
#include "platform/HeapTuning.h"

int main(int argc, char** argv)
{
    // The heap behaves as in the program.
    vaskel::HeapTuning::keepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    vaskel::FontAliases::installBeforeApplication();
    BenchApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
