// libFuzzer target for the whole preparing path: any bytes are read as a template (binary stream),
// the report is prepared over a small in-memory dataset, and every prepared page is drawn onto the
// recording device and dumped as JSON. Acceptable outcomes are prepared pages or one of the
// system's messages; a crash, a sanitizer report, an escaping foreign exception or a hang is a find.
//
// Limits keep each input to milliseconds: scripts stop after 2000 steps, a run stops after 40
// pages (the report's own stop request, as a Cancel would), and at most 8 pages are drawn.
//
// The report's dataset is "Set1" over query "Q1" (KEY text, AMT number, QTY whole number, DAY
// date; four rows), so that templates from the seed corpus print data bands.
#include "platform/FontAliases.h"
#include "platform/PlatformError.h"
#include "platform/RecordingDevice.h"
#include "platform/ScriptedUi.h"
#include "report/engine/ComponentHost.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"

#include "../tests/engine/dataset_MemoryDataset.h"
#include "FuzzSupport.h"

#include <QDate>
#include <QGuiApplication>
#include <QPainter>

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

constexpr int kMaxRunPages = 40;
constexpr int kMaxDrawnPages = 8;
constexpr qint64 kScriptSteps = 2000;

// Drawing needs fonts, and fonts need an application object (offscreen, as the renderer runs).
QGuiApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_prepare";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FontAliases::installBeforeApplication();
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

QList<QVariantList> rows()
{
    return {
        {QStringLiteral("D7001"), 1234.5, 12, QDate(2023, 5, 2)},
        {QStringLiteral("D7001"), -8.25, 0, QVariant()},
        {QStringLiteral("D7002"), 0.0, 3, QDate(2024, 2, 29)},
        {QStringLiteral("镀锌钢管"), 1e9, -1, QDate(1999, 12, 31)},
    };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    // A fresh engine state per input: nothing a template left behind reaches the next one.
    TfrGlobals globals;
    globals.setUi(std::make_unique<ScriptedUi>());
    globals.interpreter.StepLimit = kScriptSteps;

    ComponentHost host;
    auto& query = host.make<test::MemoryDataset>(QStringLiteral("Q1"),
        QList<test::MemoryDataset::Column>{{QStringLiteral("KEY"), DatabaseFieldKind::String},
            {QStringLiteral("AMT"), DatabaseFieldKind::Float},
            {QStringLiteral("QTY"), DatabaseFieldKind::Integer},
            {QStringLiteral("DAY"), DatabaseFieldKind::Date}},
        rows());
    host.make<TfrDBDataSet>(QStringLiteral("Set1")).setDataSet(&query);
    auto& report = host.make<TfrReport>(QStringLiteral("frReport1"));
    report.ShowProgress = false;
    report.OnBeginPage = [&report](qint32 page) {
        if (page >= kMaxRunPages)
            report.StopRequested = true;
    };

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    bool prepared = false;
    fuzz::guarded([&] {
        report.LoadTemplateFromStream(bytes);
        prepared = report.Prepare();
    });
    if (!prepared)
        return 0;

    TfrEMFPages& pages = report.PreparedPages();
    RecordingDevice device(QSize(200, 280));
    for (int i = 0; i < pages.Count() && i < kMaxDrawnPages; ++i) {
        pages.PageAt(i).InUse = true;
        fuzz::guarded([&] {
            QPainter painter(&device);
            pages.DrawPage(i, painter, QRect(0, 0, 200, 280));
        });
        pages.ReleasePage(i);
    }
    if (pages.Count() <= kMaxDrawnPages)
        fuzz::guarded([&] { (void)PreparedPagesJson::toJson(pages); });
    return 0;
}
