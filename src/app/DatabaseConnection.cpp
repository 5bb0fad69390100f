#include "app/DatabaseConnection.h"

#include "platform/SettingsStore.h"
#include "report/engine/TfrDatasetErrors.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlResult>

#include <sql.h>
#include <sqlext.h>

namespace vaskel {

namespace {

// QtSql's ODBC driver takes a data source name, or a full connection string when it names a
// DRIVER or SERVER; anything else it prefixes with "DSN=" itself.
QString qodbcDatabaseName(const QString& connection)
{
    const QString trimmed = connection.trimmed();
    const bool full = trimmed.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
        || trimmed.contains(QLatin1String("SERVER="), Qt::CaseInsensitive);
    if (!full && trimmed.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive)) {
        QString dsn = trimmed.mid(4);
        if (dsn.endsWith(';'))
            dsn.chop(1);
        return dsn;
    }
    return trimmed;
}

} // namespace

DatabaseConnection::DatabaseConnection(const QString& odbcConnection)
    : m_connectionString(odbcConnection),
      m_name(QStringLiteral("vaskel-%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(qodbcDatabaseName(odbcConnection));
    const SettingsStore settings;
    const auto seconds = [&settings](const char* key, int fallback) {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok && v >= 0 ? v : fallback;
    };
    const int login = seconds("Database/LoginTimeout", kDefaultLoginTimeout);
    m_queryTimeout = seconds("Database/QueryTimeout", kDefaultQueryTimeout);
    if (login > 0)
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(login));
}

void DatabaseConnection::limitQueryTime(const QSqlQuery& query) const
{
    if (m_queryTimeout <= 0 || !query.result())
        return;
    // The statement handle of QtSql's ODBC driver; a driver without query timeouts answers with
    // an error that changes nothing, and the statement runs without one.
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "SQLHANDLE") != 0)
        return;
    SQLHANDLE statement = *static_cast<const SQLHANDLE*>(handle.constData());
    if (statement)
        SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_queryTimeout)), 0);
}

DatabaseConnection::~DatabaseConnection()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

QString DatabaseConnection::odbcFromProviderString(const QString& providerString)
{
    for (const QString& part : providerString.split(';')) {
        const qsizetype eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("DSN=") + part.mid(eq + 1).trimmed();
    }
    return {};
}

QString DatabaseConnection::configuredConnectionString(const SettingsStore* settings)
{
    const QString envString = qEnvironmentVariable("VASKEL_CONNECTION_STRING");
    if (!envString.isEmpty())
        return envString;
    const QString envSource = qEnvironmentVariable("VASKEL_DATA_SOURCE");
    if (!envSource.isEmpty())
        return QStringLiteral("DSN=") + envSource;
    if (settings) {
        const QString s = settings->value(QStringLiteral("Database/ConnectionString")).toString();
        if (!s.isEmpty())
            return s;
        const QString dsn = settings->value(QStringLiteral("Database/DataSource")).toString();
        if (!dsn.isEmpty())
            return QStringLiteral("DSN=") + dsn;
    }
    return odbcFromProviderString(QString::fromLatin1(kLegacyConnectionString));
}

void DatabaseConnection::open()
{
    QSqlDatabase db = database();
    if (db.isOpen())
        return;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        throw EDatabaseError(
            QCoreApplication::translate("vaskel", "The ODBC database driver of Qt (QODBC) is not installed"));
    if (!db.open()) {
        throw EDatabaseError(QCoreApplication::translate("vaskel", "Cannot connect to the database (%1): %2")
                                 .arg(m_connectionString, db.lastError().text().trimmed()));
    }
}

void DatabaseConnection::close()
{
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
}

bool DatabaseConnection::isOpen() const
{
    return database().isOpen();
}

QSqlDatabase DatabaseConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

} // namespace vaskel
