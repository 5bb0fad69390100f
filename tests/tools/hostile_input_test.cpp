// Hostile and damaged input at the command line: dBASE tables whose header disagrees with itself
// or that hold field types the importer cannot read (and Visual FoxPro's binary types and
// keyword column names that it can), a template with a damaged object entry under
// `render [--go-on]`, PNG pages beyond the image ceiling, an empty prepared-report file, a small
// file of compressed pages that would expand beyond the load budget, and pages of zero bytes.
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include "app/DbfImporter.h"
#include "platform/PlatformError.h"
#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "tools/ImportDbfCommand.h"
#include "tools/RenderCommand.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtEndian>

#include <functional>

namespace vaskel::test {
namespace {

// A dBASE table written byte by byte: the header, one descriptor per field, the end mark,
// Visual FoxPro's back-link area for version 0x30, then the records.
struct DbfField {
    const char* name;
    char type;
    int width;
    int decimals = 0;
};

QByteArray dbfFile(quint8 version, const std::vector<DbfField>& fields,
    const std::vector<QByteArray>& records, int headerDelta = 0, int recordDelta = 0)
{
    int recordLength = 1;
    for (const DbfField& f : fields)
        recordLength += f.width;
    const int headerLength = 32 + 32 * int(fields.size()) + 1 + (version == 0x30 ? 263 : 0);
    QByteArray h(32, '\0');
    h[0] = char(version);
    h[1] = 123;
    h[2] = 5;
    h[3] = 2;
    qToLittleEndian<quint32>(quint32(records.size()), h.data() + 4);
    qToLittleEndian<quint16>(quint16(headerLength + headerDelta), h.data() + 8);
    qToLittleEndian<quint16>(quint16(recordLength + recordDelta), h.data() + 10);
    h[29] = 0x4D; // GBK
    for (const DbfField& f : fields) {
        QByteArray d(32, '\0');
        d.replace(0, int(qstrlen(f.name)), f.name);
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = char(f.decimals);
        h += d;
    }
    h += '\r';
    if (version == 0x30)
        h += QByteArray(263, '\0');
    for (const QByteArray& r : records) {
        EXPECT_EQ(r.size(), recordLength - 1);
        h += ' ' + r;
    }
    return h + '\x1A';
}

template <typename T> QByteArray le(T v)
{
    QByteArray b(sizeof v, '\0');
    qToLittleEndian<T>(v, b.data());
    return b;
}

class HostileInputTest : public GlobalsTest {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    // The first row of `sql` over the SQLite file `database`.
    static QVariantList firstRow(const QString& database, const QString& sql)
    {
        const QString name = QStringLiteral("hostile-input-check");
        QVariantList row;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(database);
            QSqlQuery q(db);
            if (db.open() && q.exec(sql) && q.next()) {
                for (int i = 0; i < q.record().count(); ++i)
                    row << q.value(i);
            }
        }
        QSqlDatabase::removeDatabase(name);
        return row;
    }

    QTemporaryDir dir;
};

TEST_F(HostileInputTest, DbaseHeadersThatDisagreeAndUnknownTypesImportNothing)
{
    const std::vector<DbfField> fields{{"CODE", 'C', 6}, {"QNT", 'N', 5}};
    const std::vector<QByteArray> records{"A1    12.00", "B2     3.00"};
    const QString database = dir.filePath("import.db");
    ASSERT_EQ(
        runImportDbfCommand({"--database", database, write("sb_keep.dbf", dbfFile(0x03, fields, records))}),
        0);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"header length one descriptor too long", dbfFile(0x03, fields, records, 32),
            "the header length 129 disagrees with its 2 field descriptors (97 expected)"},
        {"record length that the fields do not fill", dbfFile(0x03, fields, records, 0, 3),
            "the record length 15 disagrees with its fields, which take 12 bytes"},
        {"a field type of no dBASE", dbfFile(0x03, {{"CODE", 'C', 6}, {"ODD", 'X', 5}}, records),
            "field ODD has type 'X', which the importer cannot read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = write("sb_keep.dbf", c.bytes);
        try {
            DbfImporter::read(path);
            ADD_FAILURE() << "read without complaint";
        } catch (const VaskelError& e) {
            EXPECT_TRUE(e.message().contains(c.message)) << e.message().toStdString();
        }
        EXPECT_EQ(runImportDbfCommand({"--database", database, path}), 1);
    }
    const QVariantList kept = firstRow(database, "select count(*), sum(QNT) from sb_keep");
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0].toInt(), 2) << "the table imported first is untouched";
    EXPECT_EQ(kept[1].toDouble(), 15.0);
}

TEST_F(HostileInputTest, FoxProBinaryFieldsDecodeAndKeywordNamesAreQuoted)
{
    // Integer, currency (ten-thousandths), date-time (Julian day and milliseconds), double; the
    // first two named like SQL keywords.
    const QByteArray record = le<qint32>(-42) + le<qint64>(123456) + le<qint32>(2460067)
        + le<qint32>((10 * 3600 + 30 * 60) * 1000) + le<double>(2.5);
    const QString path = write("vfp.dbf",
        dbfFile(0x30, {{"ORDER", 'I', 4}, {"GROUP", 'Y', 8}, {"STAMP", 'T', 8}, {"RATE", 'B', 8}}, {record}));
    const DbfTable t = DbfImporter::read(path);
    ASSERT_EQ(t.rows.size(), 1);
    EXPECT_EQ(t.rows[0][0].toInt(), -42);
    EXPECT_DOUBLE_EQ(t.rows[0][1].toDouble(), 12.3456);
    EXPECT_EQ(t.rows[0][2].toString(), "2023-05-02 10:30:00");
    EXPECT_DOUBLE_EQ(t.rows[0][3].toDouble(), 2.5) << "a FoxPro B field is a double";

    const QString database = dir.filePath("vfp.db");
    ASSERT_EQ(runImportDbfCommand({"--database", database, path}), 0);
    const QVariantList row = firstRow(database, "select \"ORDER\", \"GROUP\", STAMP, RATE from vfp");
    ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(row[0].toInt(), -42);
    EXPECT_DOUBLE_EQ(row[1].toDouble(), 12.3456);
    EXPECT_EQ(row[2].toString(), "2023-05-02 10:30:00");
    EXPECT_DOUBLE_EQ(row[3].toDouble(), 2.5);
}

TEST_F(HostileInputTest, DamagedObjectEntryFailsTheRenderUnlessToldToGoOn)
{
    const ScopedDemoFolder demo{dir.filePath("demo")};
    const QString good = dir.filePath("look.frf");
    writeLookTemplate(good);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    // An object entry: type byte, page index, end position, then the view's name with its
    // 16-bit length. One damaged byte: the page index of the bill number's memo.
    const qsizetype name = bytes.indexOf(QByteArray("\x06\x00", 2) + "BillNo");
    ASSERT_GT(name, 6);
    const qsizetype entry = name - 6;
    ASSERT_EQ(bytes.at(entry + 1), 0) << "the memo is on the first page";
    bytes[entry + 1] = 7;
    const QString damaged = write("damaged.frf", bytes);

    const QString json = dir.filePath("pages.json");
    const CommandRun stopped
        = runCommand(runRenderCommand, {damaged, "--demo", "--bill", "HT23002", "--json", json});
    EXPECT_EQ(stopped.code, 1);
    const QString offset = QStringLiteral("object entry at byte offset %1: page 8 does not exist").arg(entry);
    EXPECT_TRUE(stopped.err.contains(offset)) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.err.contains("--go-on")) << stopped.err.toStdString();

    const CommandRun goOn
        = runCommand(runRenderCommand, {damaged, "--demo", "--bill", "HT23002", "--go-on", "--json", json});
    EXPECT_EQ(goOn.code, 0) << goOn.err.toStdString();
    EXPECT_TRUE(goOn.err.contains(offset)) << "the warning is still shown: " << goOn.err.toStdString();
    QFile out(json);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QStringList objects = printedObjects(QJsonDocument::fromJson(out.readAll()));
    EXPECT_TRUE(objects.filter(QRegularExpression("^BillNo:")).isEmpty()) << "the damaged memo is left out";
    EXPECT_FALSE(objects.filter(QRegularExpression("^BillDate:")).isEmpty()) << "the rest renders";
}

// A prepared-report file of one page on paper `width` × `height` tenths of a millimetre.
QString frpWithPaper(const QString& path, int width, int height)
{
    TfrEMFPages store(nullptr);
    store.InsertPage(0, TfrPage(&frPrinter(), 256, width, height, TfrPage::kDefaultBin, 0));
    store.SaveToFile(path);
    return path;
}

TEST_F(HostileInputTest, PngPagesBeyondTheImageCeilingAreRefused)
{
    struct Case {
        const char* name;
        int width, height, dpi;
        int code;
    } cases[] = {
        {"A4 at 300 dpi", 2100, 2970, 300, 0},
        {"two metres square at 600 dpi: over 2^28 pixels", 20000, 20000, 600, 1},
        {"a strip of five metres at 400 dpi: over 65,535 on a side", 2100, 50000, 400, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString frp = frpWithPaper(dir.filePath("paper.frp"), c.width, c.height);
        const QString png = dir.filePath(QStringLiteral("png-%1").arg(c.dpi));
        const CommandRun r
            = runCommand(runRenderCommand, {"--frp", frp, "--png", png, "--dpi", QString::number(c.dpi)});
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        if (c.code == 0) {
            EXPECT_EQ(QDir(png).entryList(QDir::Files).size(), 1);
        } else {
            EXPECT_TRUE(r.err.contains("choose a lower --dpi")) << r.err.toStdString();
            EXPECT_TRUE(QDir(png).entryList(QDir::Files).isEmpty());
        }
    }
}

TEST_F(HostileInputTest, EmptyPreparedReportFileIsAnErrorNotAnEmptyReport)
{
    const QString frp = write("empty.frp", QByteArray());
    const QString pdf = dir.filePath("empty.pdf");
    const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("empty.frp")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    TfrEMFPages store(nullptr);
    EXPECT_THROW(store.LoadFromFile(frp), VaskelError);
    EXPECT_EQ(store.Count(), 0);
}

TEST_F(HostileInputTest, ManySmallCompressedPagesStopAtTheLoadBudget)
{
    EXPECT_EQ(TfrEMFPages::kMaxDecompressedBytes, qint64(1) << 30) << "1 GiB per loaded file";
    frCompressor().Enabled = true;
    // Twelve pages, each a memo of a megabyte of one letter: a few kilobytes compressed.
    TfrEMFPages store(nullptr);
    for (int i = 0; i < 12; ++i) {
        store.InsertPage(i, TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
        TfrMemoView memo;
        memo.Name = QStringLiteral("Filler");
        memo.Width = 100;
        memo.Height = 20;
        memo.Memo = QStringList(32, QString(1 << 15, QLatin1Char('a')));
        memo.ExpandedText = memo.Memo;
        ReportStreamWriter w = store.RecordWriter(i);
        PreparedObjectEntry::write(memo, w);
        store.AppendRecords(i, w);
    }
    const QString frp = dir.filePath("frames.frp");
    store.SaveToFile(frp);
    ASSERT_LT(QFileInfo(frp).size(), 200 * 1024) << "a small file";

    TfrEMFPages whole(nullptr);
    whole.LoadFromFile(frp);
    EXPECT_EQ(whole.Count(), 12) << "within the budget everything loads";

    TfrEMFPages limited(nullptr);
    limited.DecompressionBudget = 5 << 20;
    try {
        limited.LoadFromFile(frp);
        ADD_FAILURE() << "the budget did not stop the load";
    } catch (const VaskelError& e) {
        EXPECT_TRUE(e.detail().contains("expand to more than 5242880 bytes in all"))
            << e.detail().toStdString();
    }
    EXPECT_LT(limited.Count(), 6) << "no page beyond the budget is kept";
}

// A file of the oldest layout whose one page claims to run on for 2 GB, in a sparse file of 40 GB:
// read page by page within the load budget, it fails at that page instead of being read whole.
TEST_F(HostileInputTest, HugeFileOfTheOldestLayoutIsReadByPagesWithinTheBudget)
{
    QByteArray head("Printer");
    head += '\0' + le<quint32>(1) + le<quint32>(0x7FFFFFF0) + le<quint16>(9) + le<qint32>(2100)
        + le<qint32>(2970) + QByteArray("\0\1", 2);
    const QString frp = write("huge.frp", head);
    QFile sparse(frp);
    if (!sparse.resize(qint64(40) << 30))
        GTEST_SKIP() << "no sparse file of 40 GB here";
    sparse.close();
    // The printer-name list of the layout, never ended within what any name could take.
    const QString endless = write("endless.frp", QByteArray(100 * 1024, 'P'));
    struct Case {
        const char* name;
        QString file;
        const char* detail;
    } cases[] = {
        {"a page past the budget", frp, "pages hold more than 1073741824 bytes in all"},
        {"a printer name without end", endless, "printer name list longer than 65536 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString json = dir.filePath("out.json");
        const CommandRun r = runCommand(runRenderCommand, {"--frp", c.file, "--json", json});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(c.detail)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(json));
        TfrEMFPages store(nullptr);
        try {
            store.LoadFromFile(c.file);
            ADD_FAILURE() << "read without complaint";
        } catch (const VaskelError& e) {
            EXPECT_TRUE(e.detail().contains(c.detail)) << e.detail().toStdString();
        }
    }
}

// A page of 64 MB of zero bytes, in a sparse file, in each layout a page can come in: refused at
// its first bytes (a page stream version 0; a first metafile record of type 0 and length 0), with
// the file and the offset named, and the rest of the page never read.
TEST_F(HostileInputTest, ZeroFilledPagesFailAtTheirFirstBytes)
{
    constexpr qint64 kZeros = qint64(64) << 20;
    const QByteArray paper = le<quint16>(9) + le<qint32>(2100) + le<qint32>(2970) + QByteArray(1, '\0');
    const QByteArray name = le<quint16>(7) + QByteArray("Printer") + QByteArray(1, '\0');
    // The header and the fields of the one page before its data, the data's offset given.
    const auto counted = [&](const QByteArray& start, bool extended) {
        return [=](qint64 next) {
            return start + name + le<qint32>(1) + le<qint32>(qint32(next)) + paper
                + (extended ? le<qint32>(-1) : QByteArray()) + QByteArray(1, '\1')
                + (extended ? QByteArray(16, '\0') : QByteArray());
        };
    };
    const auto oldest = [&](qint64 next) {
        return QByteArray("Printer") + QByteArray(1, '\0') + le<quint32>(1) + le<qint32>(qint32(next)) + paper
            + QByteArray(1, '\1');
    };
    struct Case {
        const char* name;
        std::function<QByteArray(qint64)> head;
        const char* detail;
    } cases[] = {
        {"with version byte", counted(QByteArray("\x19\0", 2), true),
            "page 1 starts with stream version 0, which no page is written in"},
        {"without version byte", counted(QByteArray(1, '\0'), false),
            "page 1 starts with stream version 0, which no page is written in"},
        {"oldest layout", oldest, "page 1 is no metafile: its first record has type 0 and length 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 dataAt = c.head(0).size();
        const QString frp
            = write(QStringLiteral("zeros-%1.frp").arg(int(&c - cases)), c.head(dataAt + kZeros));
        {
            QFile sparse(frp);
            ASSERT_TRUE(sparse.resize(dataAt + kZeros + 1));
        }
        const QString detail
            = QStringLiteral("%1 at byte offset %2").arg(QLatin1String(c.detail)).arg(dataAt);
        const QString json = dir.filePath("out.json");
        const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--json", json});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(frp) && r.err.contains(detail)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(json));

        // The reader stopped at the page's first bytes: what it took from the file is its read
        // buffer's worth, not the page.
        QFile file(frp);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        TfrEMFPages store(nullptr);
        try {
            store.LoadFrom(file);
            ADD_FAILURE() << "read without complaint";
        } catch (const VaskelError& e) {
            EXPECT_EQ(e.detail(), detail);
        }
        EXPECT_LT(file.pos(), dataAt + (qint64(1) << 20));
        EXPECT_EQ(store.Count(), 0);
    }

    // Compressed, the zero page is a small frame: refused once expanded, at the page's offset.
    TfrEMFPages zeros(nullptr);
    zeros.InsertPage(0, TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
    zeros.PageAt(0).PageData = QByteArray(1 << 20, '\0');
    frCompressor().Enabled = true;
    const QString packed = dir.filePath("packed.frp");
    zeros.SaveToFile(packed);
    frCompressor().Enabled = false;
    QFile saved(packed);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray head = saved.read(4);
    // Version, compression, the printer name, the count, then the page's fields.
    const qint64 dataAt = 4 + qFromLittleEndian<quint16>(head.constData() + 2) + 1 + 4 + 36;
    const CommandRun r = runCommand(runRenderCommand, {"--frp", packed, "--json", dir.filePath("out.json")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("page 1 starts with stream version 0, which no page is written in "
                                      "at byte offset %1")
                           .arg(dataAt)))
        << r.err.toStdString();
}

} // namespace
} // namespace vaskel::test
