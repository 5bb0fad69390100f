#include "app/DemoDatabase.h"

#include "platform/DataPaths.h"
#include "platform/PlatformError.h"
#include "platform/SafeOutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace vaskel {

namespace {

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VaskelError(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
    return QString::fromUtf8(f.readAll());
}

// Writes only a text that differs from the file's, and renames it into place: another process
// that reads the file (the ODBC driver manager of a run started at the same time) sees the old
// text or the new one, never a file being rewritten.
void writeText(const QString& path, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return;
    SafeOutputFile f(path);
    f.open();
    f.write(bytes);
    f.commit();
}

// Held while the demo database is checked and built: runs started together build it once.
class BuildLock {
public:
    explicit BuildLock(const QString& folder) : m_lock(folder + QStringLiteral("/.vaskel-demo.lock"))
    {
        // A build takes well under a second; a lock left by a process that died is taken over.
        m_lock.setStaleLockTime(60 * 1000);
        if (!m_lock.tryLock(120 * 1000))
            throw VaskelError(
                QCoreApplication::translate("vaskel", "Cannot lock the demo database in %1").arg(folder));
    }

private:
    QLockFile m_lock;
};

} // namespace

// Statements end with ';' at the end of a line; lines starting with "--" are comments.
QStringList DemoDatabase::scriptStatements(const QString& scriptFile)
{
    const QString script = readText(scriptFile);
    QStringList out;
    QString current;
    for (const QString& line : script.split('\n')) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + '\n';
        if (line.trimmed().endsWith(';')) {
            out << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

QString DemoDatabase::demoScript()
{
    return DataPaths::dataFile(QStringLiteral("demo/demo.sql"));
}

QString DemoDatabase::defaultFolder()
{
    const QString env = qEnvironmentVariable("VASKEL_DEMO_DIR");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/RuduVorudi/Vaskel/demo");
}

QString DemoDatabase::databaseFile(const QString& folder)
{
    return folder + QStringLiteral("/vaskel-demo.sqlite");
}

void DemoDatabase::createFromScript(const QString& databaseFile, const QString& scriptFile)
{
    const QStringList statements = scriptStatements(scriptFile);
    // Each build has a file of its own: runs started together never write into one file.
    const QString temp = QStringLiteral("%1.part-%2-%3")
                             .arg(databaseFile)
                             .arg(QCoreApplication::applicationPid())
                             .arg(reinterpret_cast<quintptr>(&statements), 0, 16);
    QFile::remove(temp);
    const QString connection
        = QStringLiteral("vaskel-demo-%1").arg(reinterpret_cast<quintptr>(&statements), 0, 16);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temp);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            db.transaction();
            QSqlQuery q(db);
            for (const QString& s : statements) {
                if (!q.exec(s)) {
                    error = q.lastError().text() + QStringLiteral(" in: ") + s.left(80);
                    break;
                }
            }
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (error.isEmpty() && !QFile::rename(temp, databaseFile))
        error = QStringLiteral("cannot rename %1").arg(temp);
    if (!error.isEmpty()) {
        QFile::remove(temp);
        throw VaskelError(QCoreApplication::translate("vaskel", "Cannot create the database %1: %2")
                              .arg(databaseFile, error));
    }
}

QString DemoDatabase::ensureDatabase(const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw VaskelError(QCoreApplication::translate("vaskel", "Cannot create the folder %1").arg(folder));
    const QString file = databaseFile(folder);
    if (QFileInfo::exists(file))
        return file;
    const BuildLock lock(folder);
    if (!QFileInfo::exists(file)) // another run may have built it while this one waited
        createFromScript(file, demoScript());
    return file;
}

QString DemoDatabase::sqliteOdbcDriver()
{
    const QStringList candidates{
        QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"),
        QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so"),
        QStringLiteral("/usr/lib/odbc/libsqlite3odbc.so"),
        QStringLiteral("/usr/lib64/libsqlite3odbc.so"),
        QStringLiteral("/usr/local/lib/libsqlite3odbc.so"),
    };
    for (const QString& c : candidates) {
        if (QFileInfo::exists(c))
            return c;
    }
    return {};
}

void DemoDatabase::installOdbcConfiguration(const QString& folder, const QString& databaseFile)
{
    const QString driver = sqliteOdbcDriver();
    if (driver.isEmpty())
        throw VaskelError(QCoreApplication::translate(
            "vaskel", "The SQLite ODBC driver (libsqlite3odbc.so) is not installed"));
    if (!QDir().mkpath(folder))
        throw VaskelError(QCoreApplication::translate("vaskel", "Cannot create the folder %1").arg(folder));
    QString inst = readText(DataPaths::dataFile(QStringLiteral("odbc/odbcinst.ini.in")));
    inst.replace(QLatin1String("@SQLITE_ODBC_DRIVER@"), driver);
    QString ini = readText(DataPaths::dataFile(QStringLiteral("odbc/odbc.ini.in")));
    ini.replace(QLatin1String("@DATABASE@"), QFileInfo(databaseFile).absoluteFilePath());
    {
        const BuildLock lock(folder);
        writeText(folder + QStringLiteral("/odbcinst.ini"), inst);
        writeText(folder + QStringLiteral("/odbc.ini"), ini);
    }
    const QString abs = QFileInfo(folder).absoluteFilePath();
    qputenv("ODBCSYSINI", QFile::encodeName(abs));
    qputenv("ODBCINI", QFile::encodeName(abs + QStringLiteral("/odbc.ini")));
}

void DemoDatabase::prepare(const QString& folder)
{
    installOdbcConfiguration(folder, ensureDatabase(folder));
}

} // namespace vaskel
