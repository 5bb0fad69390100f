#pragma once
// The embedded demo database and the project-local ODBC configuration that reaches it: a SQLite
// file built once from data/demo/demo.sql, and an odbc.ini/odbcinst.ini pair beside it that define
// the data source "dBASE Files" on the SQLite ODBC driver. ODBCINI and ODBCSYSINI are set for this
// process only: nothing system-wide changes.
#include <QString>

namespace vaskel {

class DemoDatabase {
public:
    // VASKEL_DEMO_DIR when set, else a folder in the user's data location.
    static QString defaultFolder();
    static QString databaseFile(const QString& folder);

    // Creates the database from the demo script unless the file exists (the clerk's edits and
    // imports stay); returns its path. A failure leaves no half-built file behind and throws
    // VaskelError.
    static QString ensureDatabase(const QString& folder);
    // Runs a script of ';'-terminated statements into a new SQLite file, all or nothing.
    static void createFromScript(const QString& databaseFile, const QString& scriptFile);
    // The demo script (data/demo/demo.sql) and its statements, for loading the same data into
    // another database. Throws VaskelError when the script cannot be read.
    static QString demoScript();
    static QStringList scriptStatements(const QString& scriptFile);

    // Writes odbc.ini and odbcinst.ini into `folder` for `databaseFile` and points this process's
    // ODBC driver manager at them. Throws VaskelError when the SQLite ODBC driver is missing.
    static void installOdbcConfiguration(const QString& folder, const QString& databaseFile);
    // The SQLite ODBC driver library, empty when it is not installed.
    static QString sqliteOdbcDriver();

    // Both steps: the demo database in `folder` reached as "dBASE Files".
    static void prepare(const QString& folder);
};

} // namespace vaskel
