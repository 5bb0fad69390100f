#include "report/model/PreparedObjectEntry.h"

#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/ViewFactory.h"

namespace vaskel::PreparedObjectEntry {

void write(TfrView& view, ReportStreamWriter& w)
{
    const bool wasPrepared = view.PreparedMode;
    view.PreparedMode = true;
    w.writeU8(view.TypeCode);
    if (view.TypeCode == 10)
        w.writeString(view.ClassName());
    view.WriteRecord(w);
    view.PreparedMode = wasPrepared;
}

std::unique_ptr<TfrView> read(ReportStreamReader& r, ViewFactory& factory, RunState& run)
{
    const int version = r.version();
    r.setVersion(ReportStreamReader::kCurrentVersion);
    const quint8 typeCode = r.readU8();
    const QString className = typeCode == 10 ? r.readString() : QString();
    std::unique_ptr<TfrView> view = factory.CreateView(typeCode, className, run);
    if (view) {
        view->PreparedMode = true;
        view->ReadRecord(r);
    }
    r.setVersion(version);
    return view;
}

} // namespace vaskel::PreparedObjectEntry
