#include "app/DbfImporter.h"

#include "platform/CodePage.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <shapefil.h>

namespace vaskel {

namespace {

struct DbfHeader {
    quint8 version = 0;
    quint32 records = 0;
    quint16 headerLength = 0;
    quint16 recordLength = 0;
    quint8 languageDriver = 0;
};

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

QVariant cellValue(DBFHandle h, int record, int field, const DbfColumn& c, const CodePage& cp)
{
    if (DBFIsAttributeNULL(h, record, field))
        return {};
    const char* raw = DBFReadStringAttribute(h, record, field);
    if (!raw)
        return {};
    const QByteArray bytes = QByteArray(raw).trimmed();
    switch (c.type) {
    case 'N':
    case 'F': {
        if (bytes.isEmpty())
            return {};
        bool ok = false;
        const double d = bytes.toDouble(&ok);
        if (!ok)
            return {};
        return c.decimals == 0 && c.width <= 9 ? QVariant(static_cast<qint32>(d)) : QVariant(d);
    }
    case 'D': {
        // A blank date is not null to the reader: its text is empty or blanks.
        const QDate date = QDate::fromString(QString::fromLatin1(bytes), QStringLiteral("yyyyMMdd"));
        return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
    }
    case 'L': {
        const char v = bytes.isEmpty() ? '?' : bytes.at(0);
        if (QByteArray("TtYy").contains(v))
            return 1;
        if (QByteArray("FfNn").contains(v))
            return 0;
        return {};
    }
    case 'M':
    case 'B':
    case 'G':
        // Memo contents live in a separate .dbt file this reader does not open; the record holds
        // only a block number, which is not the data.
        return {};
    default: {
        // Text keeps its leading blanks; the padding after it is the file's, not the data's.
        QByteArray text(raw);
        while (text.endsWith(' '))
            text.chop(1);
        return cp.decode(text);
    }
    }
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
    const int fields = DBFGetFieldCount(h);
    for (int i = 0; i < fields; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        table.columns.append(
            DbfColumn{cp.decode(QByteArray(name)).trimmed(), DBFGetNativeFieldType(h, i), width, decimals});
    }
    const int records = DBFGetRecordCount(h);
    for (int r = 0; r < records; ++r) {
        if (DBFIsRecordDeleted(h, r))
            continue;
        QVariantList row;
        for (int i = 0; i < fields; ++i)
            row << cellValue(h, r, i, table.columns[i], cp);
        table.rows.append(row);
    }
    DBFClose(h);
    return table;
}

void DbfImporter::write(const QList<DbfTable>& tables, const QString& databaseFile)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    for (const DbfTable& t : tables) {
        if (!plainName.match(t.name).hasMatch())
            throw VaskelError(
                QStringLiteral("\"%1\" cannot be a table name; give one with --table").arg(t.name));
        for (const DbfColumn& c : t.columns) {
            if (!plainName.match(c.name).hasMatch())
                throw VaskelError(
                    QStringLiteral("Table %1: \"%2\" cannot be a column name").arg(t.name, c.name));
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
                    defs << c.name + ' ' + sqlType(c);
                    marks << QStringLiteral("?");
                }
                run(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t.name));
                run(QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, defs.join(QStringLiteral(", "))));
                if (!error.isEmpty())
                    break;
                q.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(t.name, marks.join(',')));
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
