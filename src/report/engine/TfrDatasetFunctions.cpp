#include "report/engine/TfrDatasetFunctions.h"

#include "platform/DateTimeValue.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/expr/ExprErrors.h"
#include "report/model/EClassNotFound.h"

#include <QBuffer>

namespace vaskel {

namespace {

DatasetComponent* findPath(const DatasetComponentOwner* owner, const QStringList& parts)
{
    if (parts.size() == 1)
        return owner->findComponent(parts[0]);
    if (parts.size() > 3)
        return nullptr;
    const DatasetComponentOwner* step = owner->findApplicationOwner(parts[0]);
    for (qsizetype i = 1; step && i < parts.size(); ++i) {
        DatasetComponent* c = step->findComponent(parts[i]);
        if (!c || i == parts.size() - 1)
            return c;
        step = c->asOwner();
    }
    return nullptr;
}

// Splits at dots until the first double quote; the rest from the quote on joins the last part.
QStringList splitReference(const QString& text, int& dots)
{
    QStringList parts;
    QString current;
    dots = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '"') {
            current += text.mid(i);
            break;
        }
        if (c == '.') {
            parts << current;
            current.clear();
            ++dots;
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

QByteArray blobBytes(const DatabaseField& field)
{
    const QVariant v = field.value();
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toUtf8();
}

Value valueOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return Value::boolean(v.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return Value::integer(v.toInt());
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qint64 i = v.toLongLong();
        if (i >= std::numeric_limits<qint32>::min() && i <= std::numeric_limits<qint32>::max())
            return Value::integer(static_cast<qint32>(i));
        return Value::number(static_cast<double>(i));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return Value::number(v.toDouble());
    case QMetaType::QDate:
        return Value::dateTime(DateTimeValue::fromDate(v.toDate()));
    case QMetaType::QTime:
        return Value::dateTime(DateTimeValue::fromTime(v.toTime()));
    case QMetaType::QDateTime:
        return Value::dateTime(DateTimeValue::fromDateTime(v.toDateTime()));
    case QMetaType::QByteArray:
        return Value::string(QString::fromUtf8(v.toByteArray()));
    default:
        return Value::string(v.toString());
    }
}

} // namespace

DatasetComponent* FindDatasetComponent(const DatasetComponentOwner* owner, const QString& name)
{
    if (!owner || name.isEmpty())
        return nullptr;
    try {
        return findPath(owner, name.split('.'));
    } catch (const std::exception&) {
        throw EClassNotFound(QStringLiteral("Missing ") + name);
    }
}

FieldReference ResolveFieldReference(
    const QString& text, const DatasetComponentOwner* owner, DatabaseDataset* defaultDataset)
{
    int dots = 0;
    const QStringList parts = splitReference(text, dots);
    FieldReference ref;
    QString fieldPart;
    if (dots == 0) {
        ref.dataset = defaultDataset;
        fieldPart = text;
    } else if (dots <= 3) {
        ref.dataset
            = dynamic_cast<DatabaseDataset*>(FindDatasetComponent(owner, parts.mid(0, dots).join('.')));
        fieldPart = parts.at(dots);
    } else {
        return ref;
    }
    if (fieldPart.size() > 2 && fieldPart.startsWith('"') && fieldPart.endsWith('"'))
        fieldPart = fieldPart.mid(1, fieldPart.size() - 2);
    if (ref.dataset && ref.dataset->fieldNames().contains(fieldPart, Qt::CaseInsensitive))
        ref.fieldName = fieldPart;
    return ref;
}

Value DatabaseFieldValue(const DatabaseField& field)
{
    DatabaseDataset* d = field.dataset();
    if (!d->isActive())
        d->open();
    if (field.OnGetText || field.kind() == DatabaseFieldKind::LargeInt)
        return Value::string(field.displayText());
    const QVariant v = field.value();
    if (!v.isValid() || v.isNull()) {
        switch (field.kind()) {
        case DatabaseFieldKind::String:
        case DatabaseFieldKind::WideString:
            return Value::string(QString());
        case DatabaseFieldKind::Boolean:
            return Value::boolean(false);
        default:
            return Value::integer(0);
        }
    }
    return valueOf(v);
}

bool IsBlobField(const DatabaseField& field)
{
    switch (field.kind()) {
    case DatabaseFieldKind::Blob:
    case DatabaseFieldKind::Memo:
    case DatabaseFieldKind::Graphic:
    case DatabaseFieldKind::FormattedMemo:
    case DatabaseFieldKind::OleObject:
    case DatabaseFieldKind::DbaseOle:
    case DatabaseFieldKind::TypedBinary:
        return true;
    default:
        return false;
    }
}

void LoadBlob(const DatabaseField& field, QIODevice& stream)
{
    stream.write(blobBytes(field));
    stream.seek(0);
}

void LoadBlob(const DatabaseField& field, QImage& picture)
{
    picture = QImage::fromData(blobBytes(field));
}

void LoadBlob(const DatabaseField& field, QStringList& lines)
{
    const QVariant v = field.value();
    QString text = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines = text.isEmpty() ? QStringList() : text.split('\n');
}

void GetFieldNames(const DatabaseDataset& dataset, QStringList& list)
{
    list.clear();
    try {
        for (int i = 0; i < dataset.fieldCount(); ++i)
            list << dataset.field(i)->fieldName();
    } catch (const std::exception&) {
        // The names read so far stay: a designer or lookup can still use them.
    }
}

DatabaseDataset* DefaultDataset(const DefaultDatasetContext& context)
{
    enum : int {
        ReportTitle = 0,
        ReportSummary = 1,
        PageHeader = 2,
        PageFooter = 3,
        MasterHeader = 4,
        MasterData = 5,
        MasterFooter = 6,
        DetailData = 8,
        DetailFooter = 9,
        SubdetailData = 11,
        SubdetailFooter = 12,
        GroupHeader = 16,
        GroupFooter = 17,
        CrossData = 19,
        CrossFooter = 20,
    };
    TfrDataset* ds = context.reportDataset();
    if (const std::optional<int> kind = context.currentBandKind()) {
        switch (*kind) {
        case ReportTitle:
        case ReportSummary:
        case PageHeader:
        case PageFooter:
        case MasterHeader:
        case MasterData:
        case MasterFooter:
        case GroupHeader:
        case GroupFooter:
            ds = context.firstBandDataset(MasterData);
            break;
        case DetailData:
        case DetailFooter:
            ds = context.firstBandDataset(DetailData);
            break;
        case SubdetailData:
        case SubdetailFooter:
            ds = context.firstBandDataset(SubdetailData);
            break;
        case CrossData:
        case CrossFooter:
            ds = context.firstBandDataset(CrossData);
            break;
        default:
            break;
        }
    }
    auto* db = dynamic_cast<TfrDBDataSet*>(ds);
    if (!db)
        return nullptr;
    try {
        return &db->GetDataSet();
    } catch (const EDSError&) {
        return nullptr;
    }
}

void BandDataSource::release()
{
    if (dataset)
        dataset->EndRun();
    dataset = nullptr;
    counting.reset();
}

BandDataSource OpenBandDataSource(const QString& text, const DatasetComponentOwner* owner)
{
    BandDataSource out;
    if (text.isEmpty() || text.contains(';'))
        return out;
    const QChar first = text.at(0);
    if (first >= '1' && first <= '9') {
        bool ok = false;
        const qint32 n = text.toInt(&ok, 10);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        out.counting = TvuVeveDataset::counting(n);
        out.dataset = out.counting.get();
    } else {
        DatasetComponent* c = FindDatasetComponent(owner, text);
        if (!c)
            return out;
        out.dataset = dynamic_cast<TfrDataset*>(c);
        if (!out.dataset)
            throw EDatasetInvalidCast(QStringLiteral("Invalid class typecast"));
    }
    out.dataset->StartRun();
    return out;
}

} // namespace vaskel
