// `vaskel import-dbf`: a GBK dBASE table written by a third-party tool (Debian's python3-dbf)
// imports with correct Chinese text and the window lists its bills; damaged files import nothing.
#include "support/AppTestDatabase.h"

#include "app/DbfImporter.h"
#include "app/TForm1.h"
#include "support/TestGlobals.h"
#include "tools/ImportDbfCommand.h"

#include <QFile>
#include <QProcess>

namespace vaskel {
namespace {

class ImportDbfTest : public test::GlobalsTest {
protected:
    void SetUp() override
    {
        if (db.connection().isEmpty())
            GTEST_SKIP() << db.skipReason().toStdString();
        dbfPath = dir.path() + "/sb_tssb.dbf";
        // python3-dbf writes dBASE III with the language driver byte of CP936.
        const QString script = QStringLiteral(R"(
import datetime, dbf, sys
t = dbf.Table(sys.argv[1], 'LDLP_NO C(10); LJ_DATE D; USD_AMT N(12,2); CMNAME C(20); CMUNIT C(8); QNT N(10,1); SB_NO C(4)', codepage='cp936')
t.open(dbf.READ_WRITE)
t.append(('D7001', datetime.date(2023, 5, 2), 1234.5, '镀锌钢管', '米', 12.5, '0901'))
t.append(('D7001', None, None, '无缝钢管', '米', 3, '0902'))
t.append(('D7002', datetime.date(2023, 5, 3), 8.25, '电焊条', '箱', 1, '0903'))
t.close()
)");
        QProcess p;
        p.start("/usr/bin/python3", {"-c", script, dbfPath});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            GTEST_SKIP() << "python3-dbf cannot write the fixture: "
                         << p.readAllStandardError().toStdString();
    }

    QByteArray fixture()
    {
        QFile f(dbfPath);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString writeVariant(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    test::TestDatabase db{test::Backend::Sqlite};
    QTemporaryDir dir;
    QString dbfPath;
};

TEST_F(ImportDbfTest, GbkTableImportsAndTheWindowListsItsBills)
{
    const DbfTable t = DbfImporter::read(dbfPath);
    EXPECT_EQ(t.codePage, "GBK") << "from the language driver byte";
    ASSERT_EQ(t.rows.size(), 3);

    ASSERT_EQ(runImportDbfCommand({"--database", db.file(), dbfPath}), 0);
    EXPECT_EQ(db.scalar("select CMNAME from sb_tssb where SB_NO='0902'"), "无缝钢管");
    EXPECT_EQ(db.scalar("select count(*) from sb_tssb where LJ_DATE is null"), "1") << "a blank date is null";

    TForm1 w(db.connection());
    EXPECT_EQ(w.ComboBox1->count(), 2);
    EXPECT_EQ(w.ComboBox1->itemText(0), "D7001");
    EXPECT_EQ(w.ADOQuery2->rowCount(), 3);
    w.ADOQuery2->first();
    EXPECT_EQ(w.ADOQuery2->fieldByName("CMNAME").asString(), "镀锌钢管");
    EXPECT_EQ(w.ADOQuery2->fieldByName("USD_AMT").asString(), "1234.5");
    EXPECT_EQ(w.ADOQuery2->fieldByName("LJ_DATE").asString(), "5/2/2023");
}

TEST_F(ImportDbfTest, DamagedFilesImportNothing)
{
    const QByteArray good = fixture();
    QByteArray badVersion = good;
    badVersion[0] = 0x00;
    QByteArray unknownCodePage = good;
    unknownCodePage[29] = char(0xEE);
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"truncated in the records", good.left(good.size() - 20)},
        {"shorter than a header", good.left(10)},
        {"wrong version byte", badVersion},
        {"unknown language driver", unknownCodePage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeVariant("sb_tssb.dbf", c.bytes);
        EXPECT_EQ(runImportDbfCommand({"--database", db.file(), path}), 1);
        EXPECT_EQ(db.scalar("select count(*) from sb_tssb"), "7") << "the table that was there is untouched";
    }
    // A named code page the converter does not know is refused too.
    EXPECT_EQ(runImportDbfCommand({"--database", db.file(), "--code-page", "NoSuchCP", dbfPath}), 1);
}

} // namespace
} // namespace vaskel
