#pragma once
// The window's one database connection (`ADOConnection1`): ODBC through QtSql's QODBC driver and
// the unixODBC driver manager. By default it reaches the data source "dBASE Files"; the
// environment (VASKEL_CONNECTION_STRING, VASKEL_DATA_SOURCE) or the settings
// (Database/ConnectionString, Database/DataSource) point it at any ODBC data source instead:
// SQLite, PostgreSQL, MariaDB or a vendor's xBase driver. No user name or password is asked for.
// A server that accepts the connection and never answers is given up after the login timeout
// (Database/LoginTimeout, 30 s by default); statements end after the query timeout
// (Database/QueryTimeout, 600 s by default) where the driver supports one. 0 turns either off.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace vaskel {

class SettingsStore;

class DatabaseConnection {
public:
    // The connection the program was built around; its "Data Source" names the ODBC data source.
    static constexpr const char* kLegacyConnectionString
        = "Provider=MSDASQL.1;Persist Security Info=False;Data Source=dBASE Files;Initial Catalog=D:\\date";

    // `odbcConnection` is a data source ("DSN=dBASE Files") or an ODBC connection string that names
    // its driver or server ("Driver=…;Database=…").
    explicit DatabaseConnection(const QString& odbcConnection);
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // The configured ODBC connection string: environment first, then settings, then the data source
    // of the legacy connection string.
    static QString configuredConnectionString(const SettingsStore* settings = nullptr);
    // "DSN=<Data Source>" of a provider-style connection string; empty when it names no source.
    static QString odbcFromProviderString(const QString& providerString);

    // Throws EDatabaseError with the driver's message when the data source cannot be reached.
    void open();
    void close();
    bool isOpen() const;

    const QString& connectionString() const { return m_connectionString; }
    static constexpr int kDefaultLoginTimeout = 30; // seconds
    static constexpr int kDefaultQueryTimeout = 600; // seconds
    // Sets the query timeout on a prepared statement of this connection, where the driver has one.
    void limitQueryTime(const QSqlQuery& query) const;
    // Only valid while this object lives.
    QSqlDatabase database() const;

private:
    QString m_connectionString;
    int m_queryTimeout = kDefaultQueryTimeout;
    QString m_name; // QtSql's connection name, unique per object
};

} // namespace vaskel
