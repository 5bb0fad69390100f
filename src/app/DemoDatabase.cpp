#include "app/DemoDatabase.h"

#include "platform/DataPaths.h"
#include "platform/PlatformError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0)
        throw VaskelError(QStringLiteral("Cannot write %1: %2").arg(path, f.errorString()));
}

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
    const QString temp = databaseFile + QStringLiteral(".part");
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
    if (!QFileInfo::exists(file))
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
    writeText(folder + QStringLiteral("/odbcinst.ini"), inst);
    writeText(folder + QStringLiteral("/odbc.ini"), ini);
    const QString abs = QFileInfo(folder).absoluteFilePath();
    qputenv("ODBCSYSINI", QFile::encodeName(abs));
    qputenv("ODBCINI", QFile::encodeName(abs + QStringLiteral("/odbc.ini")));
}

void DemoDatabase::prepare(const QString& folder)
{
    installOdbcConfiguration(folder, ensureDatabase(folder));
}

} // namespace vaskel
