// libFuzzer target for the template reader: any bytes go through LoadTemplateFromStream as if
// they were a template file (with the headless UI services, which cancel the password window).
// Acceptable outcomes are a loaded template or one of the system's messages; a crash, a sanitizer
// report, an escaping exception or a hang is a find. What loads is also written back, read again
// from memory and written once more: the two written streams must be equal, so everything the
// reader accepts survives the writer unchanged. Stored pictures are decoded as drawing would.
#include "platform/PlatformError.h"
#include "platform/ScriptedUi.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPictureView.h"

#include <cstddef>
#include <cstdint>

using namespace vaskel;

namespace {

struct FuzzGlobals {
    FuzzGlobals()
    {
        auto scripted = std::make_unique<ScriptedUi>();
        ui = scripted.get();
        globals.setUi(std::move(scripted));
    }
    TfrGlobals globals;
    ScriptedUi* ui;
};

FuzzGlobals& fuzzGlobals()
{
    static FuzzGlobals* g = new FuzzGlobals;
    return *g;
}

constexpr double kLastChanged = 45000.5;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzGlobals& g = fuzzGlobals();
    g.ui->clear();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TemplateHolder holder;
    TemplateReader::LoadTemplateFromStream(holder, bytes, TemplateReader::StreamSource::File);
    if (!g.ui->interactionsOf(Interaction::Kind::MessageBox).isEmpty())
        return 0;

    for (const auto& page : holder.Pages) {
        for (const auto& view : page->ObjectList) {
            if (auto* picture = dynamic_cast<TfrPictureView*>(view.get()))
                (void)picture->Picture.image();
        }
    }

    QByteArray first;
    try {
        first = TemplateWriter::SaveTemplateToStream(holder, kLastChanged);
    } catch (const VaskelError&) {
        return 0; // text the code page cannot hold, or content beyond the format's limits
    }
    TemplateHolder again;
    TemplateReader::LoadTemplateFromStream(again, first, TemplateReader::StreamSource::Memory);
    if (!g.ui->interactionsOf(Interaction::Kind::MessageBox).isEmpty())
        __builtin_trap(); // the writer produced a stream its own reader refuses
    const QByteArray second = TemplateWriter::SaveTemplateToStream(again, kLastChanged);
    if (second != first)
        __builtin_trap(); // a stored field did not survive a write and a read
    return 0;
}
