// The queries of the query window over real ODBC drivers (SQLite, and PostgreSQL when a server is
// reachable): fixed field lists, navigation and bookmarks, text forms, bound bill numbers, the
// total statement, snapshots, failures, grid edits with optimistic locking, and infinite dates.
#include "support/AppTestDatabase.h"

#include "app/BillDataModule.h"
#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "app/TForm1.h"
#include "report/engine/TfrDatasetErrors.h"
#include "support/TestGlobals.h"

#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vaskel {
namespace {

using test::Backend;
using test::TestDatabase;

class DatabaseTest : public test::GlobalsTest, public ::testing::WithParamInterface<Backend> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(GetParam());
        if (db->connection().isEmpty())
            GTEST_SKIP() << backendName(GetParam()) << ": " << db->skipReason().toStdString();
        connection = std::make_unique<DatabaseConnection>(db->connection());
        purchase = std::make_unique<OdbcQuery>("ADOQuery1", connection.get(), TForm1::purchaseFields());
        purchase->setSql("select * from sb_tsjh");
        purchase->setUpdateTable("sb_tsjh");
    }

    // The bill numbers of a query's rows, walking it from the first.
    static QStringList bills(OdbcQuery& q)
    {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName("ldlp_no").asString();
        return out;
    }

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<DatabaseConnection> connection;
    std::unique_ptr<OdbcQuery> purchase;
};

TEST_P(DatabaseTest, FixedFieldListNavigationAndText)
{
    purchase->open();
    purchase->open(); // opening an open query does nothing
    ASSERT_TRUE(purchase->isActive());
    EXPECT_EQ(purchase->fieldNames(), QStringList({"LDLP_NO", "KPDATE", "CMNAME", "CMUNIT", "QNT", "AMT"}));
    EXPECT_EQ(purchase->findField("SUPPLIER"), nullptr) << "columns beyond the list are not reachable";
    EXPECT_EQ(&purchase->fieldByName("ldlp_no"), &purchase->fieldByName("LDLP_NO"));
    EXPECT_THROW(purchase->fieldByName("NOSUCH"), EDatabaseError);

    EXPECT_EQ(purchase->fieldByName("KPDATE").asString(), "3/5/2023") << "the locale's short date";
    EXPECT_EQ(purchase->fieldByName("CMNAME").asString(), "螺纹钢");
    EXPECT_EQ(purchase->fieldByName("AMT").asString(), "1000.25");
    const DatasetBookmark first = purchase->bookmark();
    purchase->next();
    purchase->next();
    EXPECT_EQ(purchase->fieldByName("LDLP_NO").asString(), "B");
    EXPECT_EQ(purchase->fieldByName("KPDATE").asString(), "") << "null reads as empty text";
    EXPECT_TRUE(purchase->fieldByName("QNT").isNull());
    EXPECT_EQ(purchase->fieldByName("AMT").asString(), "0.1");
    purchase->gotoBookmark(first);
    EXPECT_EQ(purchase->fieldByName("AMT").asString(), "1000.25");
    purchase->prior(); // before the first row stays on it
    EXPECT_EQ(purchase->currentRow(), 0);

    EXPECT_EQ(bills(*purchase), QStringList({"A", "A", "B", "o'k", "a\\b", "x"}));
    purchase->gotoBookmark({5});
    EXPECT_EQ(purchase->fieldByName("AMT").asString(), "123456789.123457") << "15 significant digits";
    EXPECT_TRUE(purchase->eof() == false);
    purchase->next();
    EXPECT_TRUE(purchase->eof());

    purchase->close();
    purchase->close();
    EXPECT_FALSE(purchase->isActive());
    EXPECT_TRUE(purchase->eof());
    EXPECT_EQ(purchase->rowCount(), 0);
}

TEST_P(DatabaseTest, BillNumbersAreBoundParameters)
{
    struct Case {
        const char* name;
        QString bill;
        QStringList rows;
    } cases[] = {
        {"plain bill", "A", {"A", "A"}},
        {"letter case counts", "a", {}},
        {"quote inside", "o'k", {"o'k"}},
        {"backslash inside", "a\\b", {"a\\b"}},
        {"injection attempt is just text", "x' or '1'='1", {}},
        {"no such bill: end of data at once", "NONE", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        purchase->close();
        purchase->setSql("select * from sb_tsjh where ldlp_no=?");
        purchase->setParameters({c.bill});
        purchase->open();
        EXPECT_EQ(purchase->eof(), c.rows.isEmpty());
        EXPECT_EQ(bills(*purchase), c.rows);
    }
    EXPECT_EQ(purchase->displayStatement(), "select * from sb_tsjh where ldlp_no='NONE'");
    EXPECT_EQ(OdbcQuery::quoted("o'k"), "'o''k'");
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh"), "6") << "nothing else changed";
}

TEST_P(DatabaseTest, TotalStatementHasItsOwnField)
{
    OdbcQuery total("totalQuery", connection.get());
    const struct {
        QString bill;
        QString text;
    } cases[] = {{"A", "3750.5"}, {"NONE", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bill.toStdString());
        total.close();
        total.setSql("select sum(AMT) as Thj from sb_tsjh where LDLP_NO=?");
        total.setParameters({c.bill});
        total.open();
        ASSERT_EQ(total.fieldCount(), 1);
        EXPECT_EQ(total.rowCount(), 1);
        EXPECT_EQ(total.fieldByName("Thj").asString() + " 元", c.text + " 元");
    }
}

TEST_P(DatabaseTest, FailuresLeaveTheQueryClosed)
{
    purchase->setSql("select * from no_such_table");
    EXPECT_THROW(purchase->open(), EDatabaseError);
    EXPECT_FALSE(purchase->isActive());

    ASSERT_TRUE(db->execute(
        {"DROP TABLE IF EXISTS sb_old", "CREATE TABLE sb_old (LDLP_NO VARCHAR(10), AMT DOUBLE PRECISION)"}));
    purchase->setSql("select * from sb_old");
    try {
        purchase->open();
        FAIL() << "a result without KPDATE must not open";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().contains("KPDATE")) << e.message().toStdString();
    }
    EXPECT_FALSE(purchase->isActive());
    db->execute({"DROP TABLE sb_old"});
}

TEST_P(DatabaseTest, SnapshotIsStaticUntilReopened)
{
    purchase->open();
    ASSERT_TRUE(db->execute({"INSERT INTO sb_tsjh VALUES ('C', NULL, 'new', NULL, NULL, 1, NULL)"}));
    EXPECT_EQ(purchase->rowCount(), 6);
    purchase->close();
    purchase->open();
    EXPECT_EQ(purchase->rowCount(), 7);
}

TEST_P(DatabaseTest, EditsUseOptimisticLocking)
{
    purchase->open();
    // Row 2 ('B') has nulls: the row is still found by "IS NULL".
    purchase->postEdit(2, purchase->fieldByName("CMNAME").index(), "白水泥");
    EXPECT_EQ(db->scalar("select CMNAME from sb_tsjh where LDLP_NO='B'"), "白水泥");
    purchase->postEdit(0, purchase->fieldByName("AMT").index(), "1100.5");
    EXPECT_EQ(db->scalar("select AMT from sb_tsjh where CMNAME='螺纹钢'").toDouble(), 1100.5);
    EXPECT_THROW(purchase->postEdit(0, purchase->fieldByName("AMT").index(), "12,x"), EDatabaseError);

    // Someone else changes the row meanwhile: nothing is overwritten.
    ASSERT_TRUE(db->execute({"UPDATE sb_tsjh SET QNT=99 WHERE CMNAME='角钢'"}));
    EXPECT_THROW(purchase->postEdit(1, purchase->fieldByName("CMUNIT").index(), "米"), EDatabaseError);
    EXPECT_EQ(db->scalar("select CMUNIT from sb_tsjh where CMNAME='角钢'"), "根");

    // Two identical rows cannot be told apart: neither is changed.
    ASSERT_TRUE(db->execute({"INSERT INTO sb_tsjh VALUES ('D', NULL, 'twin', NULL, NULL, 1, NULL)",
        "INSERT INTO sb_tsjh VALUES ('D', NULL, 'twin', NULL, NULL, 1, NULL)"}));
    purchase->close();
    purchase->open();
    EXPECT_THROW(purchase->postEdit(6, purchase->fieldByName("CMNAME").index(), "one"), EDatabaseError);
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh where CMNAME='twin'"), "2");

    OdbcQuery total("totalQuery", connection.get());
    total.setSql("select sum(AMT) as Thj from sb_tsjh");
    total.open();
    EXPECT_THROW(total.postEdit(0, 0, "1"), EDatabaseError) << "a result without a table is read-only";
}

INSTANTIATE_TEST_SUITE_P(Odbc, DatabaseTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
    [](const auto& info) { return std::string(backendName(info.param)); });

// A server's infinite timestamps: -infinity comes through the PostgreSQL driver as the year -9999,
// which no date of a report can hold; the query names the field and the value instead of a later
// "'-4345653' is not a valid date". +infinity comes as the last second of 9999 and reads as such.
TEST(DatabaseDates, InfiniteTimestampsAreNamedWithTheirField)
{
    TestDatabase db(Backend::Postgres);
    if (db.connection().isEmpty())
        GTEST_SKIP() << db.skipReason().toStdString();
    ASSERT_TRUE(db.execute({"CREATE TABLE stamps (NAME VARCHAR(10), STAMPED TIMESTAMP)",
        "INSERT INTO stamps VALUES ('past', '-infinity'), ('future', 'infinity'), ('now', '2024-05-06 "
        "07:08:09')"}))
        << db.lastError().toStdString();
    DatabaseConnection connection(db.connection());
    OdbcQuery q(QStringLiteral("Stamps"), &connection);

    q.setSql(QStringLiteral("select * from stamps where name <> 'past' order by name"));
    q.open();
    ASSERT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.fieldByName("stamped").kind(), DatabaseFieldKind::DateTime);
    EXPECT_EQ(q.valueAt(0, 1).toDateTime(), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
    EXPECT_EQ(q.valueAt(1, 1).toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    q.close();

    q.setSql(QStringLiteral("select * from stamps"));
    try {
        q.open();
        FAIL() << "a date no report can hold was read";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral(
            "Stamps: Field 'stamped' holds the date -9999-01-01 00:00:00, which lies outside")))
            << e.message().toStdString();
        EXPECT_EQ(e.detail(), QStringLiteral("select * from stamps"));
    }
    EXPECT_FALSE(q.isActive());
}

TEST(DatabaseConnection, ConfigurationAndMissingDataSource)
{
    EXPECT_EQ(DatabaseConnection::odbcFromProviderString(DatabaseConnection::kLegacyConnectionString),
        "DSN=dBASE Files");
    DatabaseConnection missing("DSN=No Such Source Here");
    try {
        missing.open();
        FAIL() << "expected EDatabaseError";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().contains("No Such Source Here")) << e.message().toStdString();
    }
    DatabaseConnection noFile(
        QString("Driver=%1;Database=/nonexistent/x.sqlite;NoCreat=1").arg(DemoDatabase::sqliteOdbcDriver()));
    EXPECT_THROW(noFile.open(), EDatabaseError);
    DatabaseConnection wrongDriver("Driver=/nonexistent/libnothing.so;Database=x");
    EXPECT_THROW(wrongDriver.open(), EDatabaseError);
}

TEST(BillDataModule, OnlyQuestionMarksOutsideLiteralsNamesAndCommentsTakeTheBill)
{
    const struct {
        const char* statement;
        int parameters;
    } cases[] = {
        {"select * from sb_tsjh where ldlp_no = ?", 1},
        {"select 'why?' from sb_tsjh where ldlp_no = ?", 1},
        {"select 'it''s ?', ? from t", 1},
        {"select \"odd?name\", `b?`, [c?] from t", 0},
        {"select 1 -- is this right?\n from t where a = ?", 1},
        {"select /* ? */ ? from t /* unclosed ?", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BillDataModule::parameterCount(QString::fromLatin1(c.statement)), c.parameters)
            << c.statement;
}

// A server that accepts the connection and never says a word: the kernel completes the handshake
// on a listening socket nobody accepts from. Without a login timeout the connection waits for ever.
TEST(DatabaseConnection, ServerThatNeverAnswersIsGivenUpAtTheLoginTimeout)
{
    const QString driver = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so");
    if (!QFileInfo::exists(driver))
        GTEST_SKIP() << "no PostgreSQL ODBC driver";
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    const auto closeListener = qScopeGuard([listener] { ::close(listener); });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    SettingsStore settings;
    settings.setValue(QStringLiteral("Database/LoginTimeout"), 2);
    settings.sync();
    const auto restore = qScopeGuard([&settings] {
        settings.remove(QStringLiteral("Database/LoginTimeout"));
        settings.sync();
    });
    DatabaseConnection silent(
        QStringLiteral("Driver=%1;Server=127.0.0.1;Port=%2;Database=bills;Uid=clerk;Pwd=x")
            .arg(driver)
            .arg(ntohs(address.sin_port)));
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(silent.open(), EDatabaseError);
    EXPECT_LT(clock.elapsed(), 20000) << "given up after about the 2 s set";
}

} // namespace
} // namespace vaskel
