#include "app/DbfImporter.h"

#include "platform/CodePage.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <shapefil.h>

#include <cstring>
#include <functional>
#include <memory>

namespace vaskel {

namespace {

struct DbfHeader {
    quint8 version = 0;
    quint32 records = 0;
    quint16 headerLength = 0;
    quint16 recordLength = 0;
    quint8 languageDriver = 0;
    int fields = 0; // field descriptors before the terminator
    QByteArray types; // their type bytes
    QList<int> widths; // their widths in a record

    // Visual FoxPro tables: their B fields are doubles, not memo block numbers.
    bool visualFoxPro() const { return version == 0x30 || version == 0x31 || version == 0x32; }
};

// Visual FoxPro's area after the field terminator that links a table to its database container.
constexpr int kBacklinkBytes = 263;

// The field descriptors must agree with the lengths the header states: otherwise the records are
// read from the wrong offsets and every value is garbage.
void checkDescriptors(const QByteArray& h, DbfHeader& d, const std::function<void(const QString&)>& fail)
{
    qsizetype terminator = -1;
    int width = 0;
    for (qsizetype at = 32; at < h.size(); at += 32) {
        if (static_cast<quint8>(h.at(at)) == 0x0D) {
            terminator = at;
            break;
        }
        if (at + 32 > h.size())
            break;
        const char type = h.at(at + 11);
        const int low = static_cast<quint8>(h.at(at + 16));
        const int high = static_cast<quint8>(h.at(at + 17));
        // Character fields wider than 255 keep the high byte of their width in the decimals byte.
        const int fieldWidth = type == 'C' && !d.visualFoxPro() ? low + 256 * high : low;
        width += fieldWidth;
        d.widths.append(fieldWidth);
        d.types.append(type);
        ++d.fields;
    }
    if (terminator < 0)
        fail(QStringLiteral("the header length %1 disagrees with its field descriptors (no end mark)")
                 .arg(d.headerLength));
    const qsizetype minimum = terminator + 1;
    const qsizetype maximum = minimum + (d.visualFoxPro() ? kBacklinkBytes : 1);
    if (d.headerLength < minimum || d.headerLength > maximum)
        fail(QStringLiteral("the header length %1 disagrees with its %2 field descriptors (%3 expected)")
                 .arg(d.headerLength)
                 .arg(d.fields)
                 .arg(d.visualFoxPro() ? minimum + kBacklinkBytes : minimum));
    if (width + 1 != d.recordLength)
        fail(QStringLiteral("the record length %1 disagrees with its fields, which take %2 bytes")
                 .arg(d.recordLength)
                 .arg(width + 1));
}

// shapelib reports read errors on stderr through this hook; the header check below finds the
// damage first, so its messages are not needed.
void quietError(const char*)
{
}

DbfHeader checkedHeader(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VaskelError(QStringLiteral("Cannot open %1: %2").arg(path, f.errorString()));
    const QByteArray h = f.read(32);
    const auto fail = [&](const QString& why) {
        throw VaskelError(QStringLiteral("%1 is not a readable dBASE table: %2").arg(path, why));
    };
    if (h.size() < 32)
        fail(QStringLiteral("the file is shorter than a dBASE header"));
    const auto byte = [&](int i) { return static_cast<quint8>(h.at(i)); };
    DbfHeader d;
    d.version = byte(0);
    d.records = byte(4) | (byte(5) << 8) | (byte(6) << 16) | (static_cast<quint32>(byte(7)) << 24);
    d.headerLength = static_cast<quint16>(byte(8) | (byte(9) << 8));
    d.recordLength = static_cast<quint16>(byte(10) | (byte(11) << 8));
    d.languageDriver = byte(29);
    static constexpr quint8 kVersions[]
        = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x43, 0x63, 0x83, 0x8B, 0xCB, 0xF5, 0xFB};
    if (std::find(std::begin(kVersions), std::end(kVersions), d.version) == std::end(kVersions))
        fail(QStringLiteral("unknown version byte 0x%1").arg(d.version, 2, 16, QChar('0')));
    if (d.headerLength < 65 || d.recordLength < 1)
        fail(QStringLiteral("the header holds no fields"));
    f.seek(0);
    checkDescriptors(f.read(d.headerLength), d, fail);
    const qint64 needed = qint64(d.headerLength) + qint64(d.records) * d.recordLength;
    if (f.size() < needed)
        fail(QStringLiteral("the file is truncated (%1 bytes, %2 expected for %3 records)")
                 .arg(f.size())
                 .arg(needed)
                 .arg(d.records));
    return d;
}

QString codePageFor(const QString& path, const QString& requested, const DbfHeader& header)
{
    if (!requested.isEmpty())
        return requested;
    const QFileInfo info(path);
    for (const QString& suffix : {QStringLiteral(".cpg"), QStringLiteral(".CPG")}) {
        QFile cpg(info.path() + '/' + info.completeBaseName() + suffix);
        if (cpg.open(QIODevice::ReadOnly)) {
            const QString name = QString::fromLatin1(cpg.readAll()).trimmed();
            bool numeric = false;
            name.toInt(&numeric);
            return numeric ? DbfImporter::codePageOfLanguageDriver(-name.toInt()) : name;
        }
    }
    if (header.languageDriver == 0)
        return QStringLiteral("GBK");
    const QString cp = DbfImporter::codePageOfLanguageDriver(header.languageDriver);
    if (cp.isEmpty()) {
        throw VaskelError(
            QStringLiteral("%1 names an unknown code page (language driver 0x%2); give one with "
                           "--code-page")
                .arg(path)
                .arg(header.languageDriver, 2, 16, QChar('0')));
    }
    return cp;
}

QString sqlType(const DbfColumn& c)
{
    switch (c.type) {
    case 'N':
    case 'F':
        return c.decimals == 0 && c.width <= 9 ? QStringLiteral("INTEGER")
                                               : QStringLiteral("DOUBLE PRECISION");
    case 'I':
        return QStringLiteral("INTEGER");
    case 'O':
    case 'Y':
        return QStringLiteral("DOUBLE PRECISION");
    case 'T':
        return QStringLiteral("TIMESTAMP");
    case 'D':
        return QStringLiteral("DATE");
    case 'L':
        return QStringLiteral("BOOLEAN");
    case 'C':
        return QStringLiteral("VARCHAR(%1)").arg(c.width);
    default:
        return QStringLiteral("TEXT");
    }
}

template <typename T> T littleEndian(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return qFromLittleEndian(v);
}

// The value of one field from its bytes in the record. Blank values are null.
QVariant cellValue(const QByteArray& field, const DbfColumn& c, const CodePage& cp)
{
    switch (c.type) {
    case 'I':
        return field.size() == 4 ? QVariant(littleEndian<qint32>(field.constData())) : QVariant();
    case 'Y':
        // Currency: a 64-bit integer of ten-thousandths.
        return field.size() == 8 ? QVariant(double(littleEndian<qint64>(field.constData())) / 10000.0)
                                 : QVariant();
    case 'T': {
        // A Julian day number and the milliseconds since midnight; day 0 is a blank value.
        if (field.size() != 8)
            return {};
        const qint32 day = littleEndian<qint32>(field.constData());
        const qint32 ms = littleEndian<qint32>(field.constData() + 4);
        const QDate date = QDate::fromJulianDay(day);
        if (day <= 0 || !date.isValid() || ms < 0 || ms >= 86400000)
            return {};
        return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms))
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case 'O':
        return field.size() == 8 ? QVariant(littleEndian<double>(field.constData())) : QVariant();
    case 'B':
        return {}; // dBASE: a block number of the memo file
    default:
        break;
    }
    // The text types: the bytes up to a zero byte, without the padding after them.
    QByteArray text = field.left(field.indexOf('\0') < 0 ? field.size() : field.indexOf('\0'));
    while (text.endsWith(' '))
        text.chop(1);
    const QByteArray bytes = text.trimmed();
    if (bytes.isEmpty())
        return {};
    switch (c.type) {
    case 'N':
    case 'F': {
        bool ok = false;
        const double d = bytes.toDouble(&ok);
        if (!ok)
            return {};
        return c.decimals == 0 && c.width <= 9 ? QVariant(static_cast<qint32>(d)) : QVariant(d);
    }
    case 'D': {
        const QDate date = QDate::fromString(QString::fromLatin1(bytes), QStringLiteral("yyyyMMdd"));
        return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
    }
    case 'L': {
        const char v = bytes.at(0);
        if (QByteArray("TtYy").contains(v))
            return 1;
        if (QByteArray("FfNn").contains(v))
            return 0;
        return {};
    }
    case 'M':
    case 'G':
    case 'P':
        // Memo contents live in a separate memo file this reader does not open; the record holds
        // only a block number, which is not the data.
        return {};
    default:
        // Text keeps its leading blanks.
        return cp.decode(text);
    }
}

// Whether the importer can read fields of this type; the hidden null flags of Visual FoxPro ('0')
// are left out of the table.
bool readableType(char type)
{
    return QByteArray("CNFDLMGPIYTB").contains(type);
}

// The quoted form of a name taken from a file: any name is safe in SQL this way.
QString quotedName(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace

QString DbfImporter::codePageOfLanguageDriver(int ldid)
{
    // Negative values are Windows code page numbers from a .cpg file ("936").
    struct Entry {
        int id;
        const char* name;
    };
    static constexpr Entry kTable[] = {
        {0x01, "IBM437"},
        {0x02, "IBM850"},
        {0x03, "windows-1252"},
        {0x57, "windows-1252"},
        {0x58, "windows-1252"},
        {0x59, "windows-1252"},
        {0x64, "IBM852"},
        {0x65, "IBM866"},
        {0x26, "IBM866"},
        {0x13, "Shift_JIS"},
        {0x7B, "Shift_JIS"},
        {0x4D, "GBK"},
        {0x7A, "GBK"},
        {0x4E, "windows-949"},
        {0x79, "windows-949"},
        {0x4F, "Big5"},
        {0x78, "Big5"},
        {0x50, "windows-874"},
        {0x7C, "windows-874"},
        {0x7D, "windows-1255"},
        {0x7E, "windows-1256"},
        {0xC8, "windows-1250"},
        {0xC9, "windows-1251"},
        {0xCA, "windows-1254"},
        {0xCB, "windows-1253"},
        {-936, "GBK"},
        {-950, "Big5"},
        {-932, "Shift_JIS"},
        {-949, "windows-949"},
        {-1252, "windows-1252"},
        {-1251, "windows-1251"},
        {-1250, "windows-1250"},
        {-65001, "UTF-8"},
        {-437, "IBM437"},
        {-850, "IBM850"},
    };
    for (const Entry& e : kTable) {
        if (e.id == ldid)
            return QString::fromLatin1(e.name);
    }
    return {};
}

DbfTable DbfImporter::read(const QString& path, const QString& codePage)
{
    const DbfHeader header = checkedHeader(path);
    DbfTable table;
    table.name = QFileInfo(path).completeBaseName().toLower();
    table.codePage = codePageFor(path, codePage, header);
    const CodePage cp(table.codePage); // throws for a name the converter does not know

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = quietError;
    DBFHandle h = DBFOpenLL(QFile::encodeName(path).constData(), "rb", &hooks);
    if (!h)
        throw VaskelError(QStringLiteral("%1 is not a readable dBASE table").arg(path));
    // The fields' places in a record come from the descriptors as checked above: the library
    // reads the decimals byte of every non-numeric field as the high byte of its width, which
    // Visual FoxPro's currency and double fields do not mean.
    const std::unique_ptr<DBFInfo, void (*)(DBFHandle)> owner(h, DBFClose);
    struct Place {
        int column; // index into table.columns, -1 for a field left out
        int offset;
        int width;
    };
    QList<Place> places;
    int offset = 1; // after the deletion mark
    const int fields = DBFGetFieldCount(h);
    if (fields != header.fields)
        throw VaskelError(QStringLiteral("%1 is not a readable dBASE table: %2 field descriptors, %3 read")
                              .arg(path)
                              .arg(header.fields)
                              .arg(fields));
    for (int i = 0; i < fields; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        char type = header.types.at(i);
        const QString columnName = cp.decode(QByteArray(name)).trimmed();
        width = header.widths.at(i);
        if (type != 'N' && type != 'F')
            decimals = 0;
        if (type == '0') {
            places.append({-1, offset, width});
        } else if (!readableType(type)) {
            throw VaskelError(QStringLiteral("%1: field %2 has type '%3', which the importer cannot read")
                                  .arg(path, columnName, QString(QLatin1Char(type))));
        } else {
            if (type == 'B' && header.visualFoxPro())
                type = 'O'; // Visual FoxPro's B is a double, not a memo block
            places.append({int(table.columns.size()), offset, width});
            table.columns.append(DbfColumn{columnName, type, width, decimals});
        }
        offset += width;
    }
    const int records = DBFGetRecordCount(h);
    for (int r = 0; r < records; ++r) {
        if (DBFIsRecordDeleted(h, r))
            continue;
        const char* record = DBFReadTuple(h, r);
        if (!record)
            throw VaskelError(QStringLiteral("%1 is not a readable dBASE table: record %2 cannot be read")
                                  .arg(path)
                                  .arg(r + 1));
        QVariantList row;
        for (const Place& p : places) {
            if (p.column >= 0)
                row << cellValue(QByteArray(record + p.offset, p.width), table.columns[p.column], cp);
        }
        table.rows.append(row);
    }
    return table;
}

void DbfImporter::write(const QList<DbfTable>& tables, const QString& databaseFile)
{
    // Names come from files: they go into SQL only quoted, so ORDER or GROUP are column names
    // like any other. Empty names and names that differ only in case cannot be told apart there.
    for (const DbfTable& t : tables) {
        if (t.name.trimmed().isEmpty() || t.name.contains(QChar(0)))
            throw VaskelError(
                QStringLiteral("\"%1\" cannot be a table name; give one with --table").arg(t.name));
        QSet<QString> seen;
        for (const DbfColumn& c : t.columns) {
            if (c.name.isEmpty() || c.name.contains(QChar(0)) || seen.contains(c.name.toCaseFolded()))
                throw VaskelError(
                    QStringLiteral("Table %1: \"%2\" cannot be a column name").arg(t.name, c.name));
            seen.insert(c.name.toCaseFolded());
        }
    }
    const QString connection
        = QStringLiteral("vaskel-import-%1").arg(reinterpret_cast<quintptr>(&tables), 0, 16);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databaseFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            error = db.lastError().text();
        } else if (!db.transaction()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const auto run = [&](const QString& sql) {
                if (error.isEmpty() && !q.exec(sql))
                    error = q.lastError().text();
            };
            for (const DbfTable& t : tables) {
                QStringList defs;
                QStringList marks;
                for (const DbfColumn& c : t.columns) {
                    defs << quotedName(c.name) + ' ' + sqlType(c);
                    marks << QStringLiteral("?");
                }
                const QString table = quotedName(t.name);
                run(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
                run(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, defs.join(QStringLiteral(", "))));
                if (!error.isEmpty())
                    break;
                q.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(',')));
                for (const QVariantList& row : t.rows) {
                    for (const QVariant& v : row)
                        q.addBindValue(v);
                    if (!q.exec()) {
                        error = q.lastError().text();
                        break;
                    }
                }
            }
            q.finish();
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            if (!error.isEmpty())
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty())
        throw VaskelError(QStringLiteral("Nothing was imported into %1: %2").arg(databaseFile, error));
}

} // namespace vaskel
