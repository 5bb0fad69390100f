#pragma once
// Databases for the query-window tests, reached through real ODBC drivers: a SQLite file through
// the SQLite ODBC driver, and a PostgreSQL database through its ODBC driver when the environment
// names one (VASKEL_TEST_PG_CONNECTION, set by .ci/run after it started a server); without it the
// PostgreSQL cases skip with a message. Both get the same two tables, made by the same statements.
#include "app/DemoDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vaskel::test {

enum class Backend { Sqlite, Postgres };

inline const char* backendName(Backend b)
{
    return b == Backend::Sqlite ? "sqlite" : "postgresql";
}

// The two tables with one column more than each query lists, and a few rows.
inline QStringList standardTables()
{
    return {
        "DROP TABLE IF EXISTS sb_tsjh",
        "DROP TABLE IF EXISTS sb_tssb",
        "CREATE TABLE sb_tsjh (LDLP_NO VARCHAR(10), KPDATE DATE, CMNAME VARCHAR(20), CMUNIT VARCHAR(8),"
        " QNT DOUBLE PRECISION, AMT DOUBLE PRECISION, SUPPLIER VARCHAR(30))",
        "CREATE TABLE sb_tssb (LDLP_NO VARCHAR(10), LJ_DATE DATE, USD_AMT DOUBLE PRECISION, CMNAME "
        "VARCHAR(20),"
        " CMUNIT VARCHAR(8), QNT DOUBLE PRECISION, SB_NO VARCHAR(4), CUSTOMER VARCHAR(30))",
        "INSERT INTO sb_tsjh VALUES ('A', '2023-03-05', '螺纹钢', '吨', 2.5, 1000.25, '鞍钢')",
        "INSERT INTO sb_tsjh VALUES ('A', '2023-03-06', '角钢', '根', 10, 2750.25, '鞍钢')",
        "INSERT INTO sb_tsjh VALUES ('B', NULL, '水泥', NULL, NULL, 0.1, NULL)",
        "INSERT INTO sb_tsjh VALUES ('o''k', '2023-04-01', '铜线', '卷', 1, 99.5, NULL)",
        "INSERT INTO sb_tsjh VALUES ('a\\b', '2023-04-02', '铝锭', '吨', 1, 18650, NULL)",
        "INSERT INTO sb_tsjh VALUES ('x', '2023-04-03', '焊条', '箱', 3, 123456789.123456789, NULL)",
        "INSERT INTO sb_tssb VALUES ('A', '2023-03-07', 143.9, '螺纹钢', '吨', 2.5, '0001', '建筑公司')",
        "INSERT INTO sb_tssb VALUES ('A', '2023-03-07', 40, '角钢', '根', 10, '0002', '建筑公司')",
        "INSERT INTO sb_tssb VALUES ('B', '2023-03-08', 1.5, '水泥', '吨', 1, '0003', NULL)",
        "INSERT INTO sb_tssb VALUES ('A', '2023-03-09', 12, '角钢', '根', 1, '0004', NULL)",
        "INSERT INTO sb_tssb VALUES ('a', '2023-03-09', 12, '角钢', '根', 1, '0005', NULL)",
        "INSERT INTO sb_tssb VALUES ('o''k', '2023-04-01', 5, '铜线', '卷', 1, '0006', NULL)",
        "INSERT INTO sb_tssb VALUES ('a\\b', '2023-04-02', 6, '铝锭', '吨', 1, '0007', NULL)",
    };
}

class TestDatabase {
public:
    // Empty connection() (and a reason in skipReason()) when the backend cannot be reached.
    explicit TestDatabase(Backend backend) : m_backend(backend)
    {
        if (backend == Backend::Sqlite) {
            const QString driver = DemoDatabase::sqliteOdbcDriver();
            if (driver.isEmpty()) {
                m_skip = "the SQLite ODBC driver is not installed";
                return;
            }
            m_connection = QStringLiteral("Driver=%1;Database=%2;Timeout=2000").arg(driver, file());
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "vaskel-test-setup");
                db.setDatabaseName(file());
                db.open();
                db.close();
            }
            QSqlDatabase::removeDatabase("vaskel-test-setup");
        } else {
            m_connection = qEnvironmentVariable("VASKEL_TEST_PG_CONNECTION");
            if (m_connection.isEmpty()) {
                m_skip = "no PostgreSQL server: set VASKEL_TEST_PG_CONNECTION (.ci/run starts one)";
            } else {
                // Tests run in parallel: each gets a schema of its own, set on every connection.
                m_schema = QStringLiteral("t%1_%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(reinterpret_cast<quintptr>(this), 0, 16);
                if (!execute({"CREATE SCHEMA " + m_schema})) {
                    m_skip = "cannot reach the PostgreSQL server: " + m_error;
                    m_connection.clear();
                    return;
                }
                if (!m_connection.endsWith(';'))
                    m_connection += ';';
                m_connection += "ConnSettings=SET search_path TO " + m_schema + ";";
            }
        }
        if (!m_connection.isEmpty() && !execute(standardTables())) {
            m_skip = "cannot reach the database: " + m_error;
            m_connection.clear();
        }
    }

    ~TestDatabase()
    {
        if (!m_schema.isEmpty() && !m_connection.isEmpty())
            execute({"DROP SCHEMA " + m_schema + " CASCADE"});
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const QString& connection() const { return m_connection; }
    const QString& skipReason() const { return m_skip; }
    QString file() const { return m_dir.path() + "/test.sqlite"; }
    const QString& lastError() const { return m_error; }

    // Runs statements over a connection of its own (another user of the same database).
    bool execute(const QStringList& statements)
    {
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", "vaskel-test-other");
            const bool full = m_connection.contains("Driver=", Qt::CaseInsensitive);
            db.setDatabaseName(full ? m_connection : m_connection.mid(4));
            if (!db.open()) {
                m_error = db.lastError().text();
                ok = false;
            } else {
                QSqlQuery q(db);
                for (const QString& s : statements) {
                    if (!q.exec(s)) {
                        m_error = q.lastError().text() + " in " + s;
                        ok = false;
                        break;
                    }
                }
            }
        }
        QSqlDatabase::removeDatabase("vaskel-test-other");
        return ok;
    }

    QString scalar(const QString& sql)
    {
        QString out;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", "vaskel-test-other");
            const bool full = m_connection.contains("Driver=", Qt::CaseInsensitive);
            db.setDatabaseName(full ? m_connection : m_connection.mid(4));
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(sql) && q.next())
                    out = q.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase("vaskel-test-other");
        return out;
    }

private:
    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_connection;
    QString m_skip;
    QString m_error;
    QString m_schema; // PostgreSQL only
};

} // namespace vaskel::test
