#include "report/model/TfrDataDictionary.h"

#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"

namespace vaskel {

namespace {

void readList(ReportStreamReader& r, TfrVariables& list)
{
    // Each pair takes at least six bytes, so a forged count ends in a read error, not a long loop
    // of allocations.
    const qint32 count = r.readI32();
    for (qint32 i = 0; i < count; ++i) {
        const QString name = r.readString23();
        const QString value = r.readString23();
        list.SetValue(name, Value(value));
    }
}

void writeList(ReportStreamWriter& w, const TfrVariables& list)
{
    w.writeI32(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        w.writeString(list.Names(i));
        const Value v = list.Values(i);
        w.writeString(v.isNull() || v.isEmpty() ? QString() : v.toText());
    }
}

// The system variables a legacy alias entry of kind 2 names by number (1 names its own text).
QString legacySystemVariable(qint32 number)
{
    static constexpr const char* kNames[]
        = {"PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};
    if (number < 0 || number >= static_cast<qint32>(std::size(kNames)))
        return {};
    return QString::fromLatin1(kNames[number]);
}

} // namespace

TfrDataDictionary::TfrDataDictionary() = default;

void TfrDataDictionary::Clear()
{
    Variables.Clear();
    AliasList.Clear();
    BandSourceList.Clear();
}

void TfrDataDictionary::ReadDictionaryBlock(ReportStreamReader& r)
{
    Clear();
    const qint64 start = r.pos();
    const qint16 marker = r.readI16();
    if (marker == -1 || marker == -2) {
        readLists(r);
        // Blocks of the intermediate form (-1) still use the legacy convention for categories
        // and may carry aliases of vanished fields and empty band sources.
        if (marker == -1) {
            if (Variables.Count() > 0 && !Variables.Names(0).isEmpty()
                && !Variables.Names(0).startsWith(u' '))
                toggleCategoryMarks();
            for (int i = AliasList.Count() - 1; i >= 0; --i) {
                const Value v = AliasList.Values(i);
                if (fieldResolver && !v.toText().isEmpty() && !fieldResolver(AliasList.Names(i)))
                    AliasList.Delete(i);
            }
            for (int i = BandSourceList.Count() - 1; i >= 0; --i) {
                if (BandSourceList.Values(i).toText().isEmpty())
                    BandSourceList.Delete(i);
            }
        }
        return;
    }
    r.seek(start);
    readLegacyForm(r);
    if (Variables.Count() > 0 && !Variables.Names(0).isEmpty() && !Variables.Names(0).startsWith(u' '))
        toggleCategoryMarks();
}

void TfrDataDictionary::readLists(ReportStreamReader& r)
{
    readList(r, Variables);
    readList(r, AliasList);
    readList(r, BandSourceList);
}

void TfrDataDictionary::readLegacyForm(ReportStreamReader& r)
{
    const qint32 count = r.readI32();
    for (qint32 i = 0; i < count; ++i) {
        const quint8 kind = r.readU8();
        const qint32 number = r.readI32();
        const QString s1 = r.readShortString();
        const QString s2 = r.readShortString();
        const QString s3 = r.readShortString();
        QString value;
        if (kind == 2)
            value = number == 1 ? s2 : legacySystemVariable(number);
        else if (kind == 1)
            value = s1 + QStringLiteral(".\"") + s2 + QLatin1Char('"');
        AliasList.SetValue(QLatin1Char(' ') + s3, Value(value));
    }
    // The variable list: unmarked names are categories, marked ones name an alias entry above.
    const QStringList names = r.readStringList();
    for (const QString& name : names) {
        if (!name.isEmpty() && !name.startsWith(u' ')) {
            Variables.SetValue(name, Value(QString()));
        } else {
            const Value* v = AliasList.find(name);
            Variables.SetValue(name, v ? Value(v->toText()) : Value(QString()));
        }
    }
    AliasList.Clear();
}

void TfrDataDictionary::toggleCategoryMarks()
{
    for (int i = 0; i < Variables.Count(); ++i) {
        const QString name = Variables.Names(i);
        Variables.SetNames(i, name.startsWith(u' ') ? name.mid(1) : QLatin1Char(' ') + name);
    }
}

void TfrDataDictionary::WriteDictionaryBlock(ReportStreamWriter& w) const
{
    w.writeI16(-2);
    writeList(w, Variables);
    writeList(w, AliasList);
    writeList(w, BandSourceList);
}

} // namespace vaskel
