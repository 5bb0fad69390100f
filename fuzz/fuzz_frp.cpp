// libFuzzer target for prepared-report files: any bytes go through TfrEMFPages::LoadFrom as if they
// were a .frp file. Acceptable outcomes are a loaded store or one of the system's messages; a
// crash, a sanitizer report, an escaping foreign exception, a hang or an allocation the file did
// not pay for is a find. Whatever loads (also the pages before a fault) is decoded, drawn onto the
// recording device and dumped as JSON as the renderer would, then saved, loaded again and saved
// once more: the two saved files must be equal.
//
// The first input byte switches the compressor on (bit 0) for the saves; the rest is the file.
#include "platform/FontAliases.h"
#include "platform/PlatformError.h"
#include "platform/RecordingDevice.h"
#include "platform/ScriptedUi.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrGlobals.h"

#include "FuzzSupport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

// Drawing needs fonts, and fonts need an application object (offscreen, as the renderer runs).
struct FuzzGlobals {
    FuzzGlobals() { globals.setUi(std::make_unique<ScriptedUi>()); }
    static QGuiApplication& application()
    {
        static int argc = 1;
        static char name[] = "fuzz_frp";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        FontAliases::installBeforeApplication();
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        return *app;
    }
    QGuiApplication& app = application();
    TfrGlobals globals;
};

FuzzGlobals& fuzzGlobals()
{
    static FuzzGlobals* g = new FuzzGlobals;
    return *g;
}

QByteArray save(TfrEMFPages& store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    store.SaveTo(buffer);
    return buffer.data();
}

void load(TfrEMFPages& store, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    store.LoadFrom(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Unknown add-in classes are collected in the run state's error text: start each input afresh.
    fuzzGlobals().globals.run = RunState{};
    PageCompressor& compressor = frCompressor();
    compressor.Enabled = false;
    const QByteArray file(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    TfrEMFPages store(nullptr);
    fuzz::guarded([&] { load(store, file); });

    RecordingDevice device(QSize(200, 280));
    for (int i = 0; i < store.Count(); ++i) {
        store.PageAt(i).InUse = true;
        fuzz::guarded([&] {
            QPainter painter(&device);
            store.DrawPage(i, painter, QRect(0, 0, 200, 280));
        });
        QString target;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        fuzz::guarded([&] { store.ObjectAt(i, QPoint(50, 50), HitMode::Hover, target, cursor); });
        store.ReleasePage(i);
    }
    fuzz::guarded([&] { (void)PreparedPagesJson::toJson(store); });

    compressor.Enabled = (data[0] & 1) != 0;
    QByteArray first;
    try {
        first = save(store);
    } catch (const VaskelError&) {
        return 0; // a printer name the code page cannot hold
    }
    TfrEMFPages again(nullptr);
    try {
        load(again, first);
    } catch (const VaskelError&) {
        __builtin_trap(); // the store wrote a file it cannot read
    }
    if (save(again) != first)
        __builtin_trap(); // a page did not survive a save and a load
    return 0;
}
