#include "report/model/TemplateWriter.h"

#include "platform/DateTimeValue.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/EStreamError.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TemplateHolder.h"

namespace vaskel::TemplateWriter {

namespace {

// Stream bytes that introduce the sections after the header.
constexpr quint8 kPageRecord = 255;
constexpr quint8 kDictionary = 254;
constexpr quint8 kEndOfPages = 252;

} // namespace

QByteArray SaveTemplateToStream(TemplateHolder& holder, double lastChanged)
{
    ReportStreamWriter w;
    w.writeU8(25);
    w.writeBool16(holder.UseDefaultPrinter);
    w.writeBool16(holder.TwoPass);
    const QString printer = holder.CurrentPrinterName();
    w.writeString(printer == LoadStr(StringTable::sVirtualPrinter) ? QString(QChar(1)) : printer);

    for (const auto& page : holder.Pages) {
        w.writeU8(kPageRecord);
        page->WritePageRecord(w);
    }
    for (int p = 0; p < holder.Pages.Count(); ++p) {
        const TfrPage& page = *holder.Pages.Page(p);
        if (p > 255 && !page.ObjectList.empty())
            throw EStreamError(
                QStringLiteral("A report template can hold objects on its first 256 pages only"),
                QStringLiteral("page %1 has objects").arg(p + 1));
        for (const auto& view : page.ObjectList) {
            w.writeU8(view->TypeCode);
            if (view->TypeCode == 10)
                w.writeString(view->ClassName());
            w.writeU8(static_cast<quint8>(p));
            const qint64 placeholder = w.pos();
            w.writeI32(0);
            view->WriteRecord(w);
            w.patchI32(placeholder, static_cast<qint32>(w.pos()));
        }
    }
    w.writeU8(kDictionary);
    holder.Dictionary.WriteDictionaryBlock(w);
    w.writeU8(kEndOfPages);
    holder.Info.Write(w, lastChanged);
    return w.takeData();
}

QByteArray SaveTemplateToStream(TemplateHolder& holder)
{
    return SaveTemplateToStream(holder, DateTimeValue::now());
}

} // namespace vaskel::TemplateWriter
