// Shared main of the benchmarks: fonts and a Qt application object are needed to measure text.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "platform/FontAliases.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    vaskel::FontAliases::installBeforeApplication();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
