#include "report/model/PreparedObjectEntry.h"

#include "platform/CodePage.h"
#include "report/model/ReportLimits.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/ViewFactory.h"

namespace vaskel::PreparedObjectEntry {

const CodePage& memoryCodePage()
{
    static const CodePage utf8(QStringLiteral("UTF-8"));
    return utf8;
}

namespace {

void writeIn(TfrView& view, ReportStreamWriter& w, const CodePage& codePage)
{
    const bool wasPrepared = view.PreparedMode;
    view.PreparedMode = true;
    w.setCodePage(&codePage);
    try {
        w.writeU8(view.TypeCode);
        if (view.TypeCode == 10)
            w.writeString(view.ClassName());
        view.WriteRecord(w);
    } catch (...) {
        w.setCodePage(nullptr);
        view.PreparedMode = wasPrepared;
        throw;
    }
    w.setCodePage(nullptr);
    view.PreparedMode = wasPrepared;
}

} // namespace

void write(TfrView& view, ReportStreamWriter& w, const CodePage* codePage)
{
    if (!codePage && w.pageCodePage()) {
        const qsizetype start = w.size();
        try {
            writeIn(view, w, *w.pageCodePage());
            return;
        } catch (const CodePageError&) {
            // A character the page's code page lacks: the page goes over to UTF-8, which holds
            // every character, from this entry on.
            w.restartInUnicode(start);
        }
    }
    writeIn(view, w, codePage ? *codePage : memoryCodePage());
}

std::unique_ptr<TfrView> read(
    ReportStreamReader& r, ViewFactory& factory, RunState& run, const CodePage* codePage)
{
    const int version = r.version();
    r.setVersion(ReportStreamReader::kCurrentVersion);
    r.setCodePage(codePage ? codePage : &memoryCodePage());
    std::unique_ptr<TfrView> view;
    try {
        const quint8 typeCode = r.readU8();
        const QString className = typeCode == 10 ? r.readString() : QString();
        view = factory.CreateView(typeCode, className, run);
        if (view) {
            view->PreparedMode = true;
            view->ReadRecord(r);
            // What the decoder refuses here the template readers refused already: a page saved
            // from a run can always be read back.
            if (const QString bad = ReportLimits::viewProblem(*view); !bad.isEmpty())
                r.fail(bad);
        }
    } catch (...) {
        r.setCodePage(nullptr);
        r.setVersion(version);
        throw;
    }
    r.setCodePage(nullptr);
    r.setVersion(version);
    return view;
}

} // namespace vaskel::PreparedObjectEntry
