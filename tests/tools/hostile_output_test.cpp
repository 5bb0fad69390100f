// Outputs that meet a hostile world: a full disk (a small tmpfs, mounted where the test may),
// device nodes and FIFOs named as outputs, a standard output that fails, an output that names the
// input, a PNG folder holding a longer run's pages, options given twice, and dBASE files that would
// fill one table twice. Nothing that was there is lost, and every failure says why.
#include "support/CommandRun.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include "app/DemoDatabase.h"
#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrPage.h"
#include "tools/EvalCommand.h"
#include "tools/ImportDbfCommand.h"
#include "tools/RenderCommand.h"
#include "tools/TemplateCommand.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vaskel::test {
namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A prepared-report file of `count` A4 pages.
QString frpOfPages(const QString& path, int count)
{
    TfrEMFPages store(nullptr);
    for (int i = 0; i < count; ++i)
        store.InsertPage(i, TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
    store.SaveToFile(path);
    return path;
}

// A tmpfs of 256 KiB mounted on a folder while the object lives; `mounted()` is false where the
// test may not mount (not root, no tmpfs).
class ScopedTmpfs {
public:
    explicit ScopedTmpfs(const QString& folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    // Fills what is left, so that the next write of even one block fails.
    void fill() const
    {
        QFile f(m_folder + QStringLiteral("/filler"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) { }
    }

private:
    QString m_folder;
    bool m_mounted = false;
};

class HostileOutputTest : public GlobalsTest {
protected:
    QTemporaryDir dir;
};

TEST_F(HostileOutputTest, FullDiskKeepsEveryOldFileAndSaysWhy)
{
    const QString frp = frpOfPages(dir.filePath("pages.frp"), 2);
    const QString look = dir.filePath("look.frf");
    writeLookTemplate(look);
    const CommandRun dumped = runCommand(runTemplateCommand, {"dump", look});
    ASSERT_EQ(dumped.code, 0) << dumped.err.toStdString();
    const QString json = dir.filePath("look.json");
    put(json, dumped.out.toUtf8());

    const ScopedTmpfs disk(dir.filePath("disk"));
    if (!disk.mounted())
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    const QString full = dir.filePath("disk");
    for (const char* name : {"out.frp", "out.json", "out.pdf", "out.xlsx", "out.html", "out.csv", "out.frf",
             "png/page-001.png"}) {
        QDir().mkpath(QFileInfo(full + '/' + name).path());
        put(full + '/' + name, "old");
    }
    disk.fill();
    struct Case {
        const char* name;
        int (*command)(const QStringList&, QTextStream&, QTextStream&);
        QStringList args;
        const char* kept; // the old file that must stay
    } cases[] = {
        {"--save", runRenderCommand, {"--frp", frp, "--save", full + "/out.frp"}, "out.frp"},
        {"--json", runRenderCommand, {"--frp", frp, "--json", full + "/out.json"}, "out.json"},
        {"--pdf", runRenderCommand, {"--frp", frp, "--pdf", full + "/out.pdf"}, "out.pdf"},
        {"--xlsx", runRenderCommand, {"--frp", frp, "--xlsx", full + "/out.xlsx"}, "out.xlsx"},
        {"--html", runRenderCommand, {"--frp", frp, "--html", full + "/out.html"}, "out.html"},
        {"--csv", runRenderCommand, {"--frp", frp, "--csv", full + "/out.csv"}, "out.csv"},
        {"--png", runRenderCommand, {"--frp", frp, "--png", full + "/png"}, "png/page-001.png"},
        {"template build", runTemplateCommand, {"build", json, "-o", full + "/out.frf"}, "out.frf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun r = runCommand(c.command, c.args);
        EXPECT_NE(r.code, 0) << "a failed write is no success";
        EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
        EXPECT_EQ(contents(full + '/' + c.kept), "old");
    }
    EXPECT_EQ(QDir(full + "/png").entryList(QDir::Files | QDir::Hidden), QStringList{"page-001.png"})
        << "a failed --png run leaves none of its pages";
    EXPECT_EQ(QDir(full).entryList(QDir::Files | QDir::Hidden).size(), 8) << "no temporary file stays";
}

TEST_F(HostileOutputTest, DevicesAndFifosAreWrittenIntoNeverReplaced)
{
    const QString frp = frpOfPages(dir.filePath("pages.frp"), 1);
    // A device that fails every write: the failure is told, not a success.
    const CommandRun full = runCommand(runRenderCommand, {"--frp", frp, "--json", "/dev/full"});
    EXPECT_EQ(full.code, 1);
    EXPECT_TRUE(full.err.contains("No space left on device")) << full.err.toStdString();

    // A node of the null device of the test's own, so that a fault cannot replace the system's.
    const QString null = dir.filePath("null");
    if (::mknod(QFile::encodeName(null).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "device nodes cannot be made here";
    for (const char* option : {"--save", "--pdf", "--json"}) {
        SCOPED_TRACE(option);
        const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, option, null});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        struct stat st { };
        ASSERT_EQ(::stat(QFile::encodeName(null).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "still the device";
    }

    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::atomic<bool> read{false};
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            received = f.readAll();
        read = true;
    });
    const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--json", fifo});
    // A command that never opened the FIFO leaves the reader waiting: a writer of our own frees it.
    while (!read) {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader.join();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(received.contains("\"pages\"")) << "the JSON went through the FIFO";
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(HostileOutputTest, StandardOutputThatFailsIsAnError)
{
    const QString look = dir.filePath("look.frf");
    writeLookTemplate(look);
    QFile devFull("/dev/full");
    ASSERT_TRUE(devFull.open(QIODevice::WriteOnly));
    QTextStream out(&devFull);
    QString errText;
    QTextStream err(&errText);
    EXPECT_EQ(runTemplateCommand({"dump", look}, out, err), 1);
    err.flush();
    EXPECT_TRUE(errText.contains("No space left on device")) << errText.toStdString();

    const QString frp = frpOfPages(dir.filePath("pages.frp"), 2);
    QFile devFull2("/dev/full");
    ASSERT_TRUE(devFull2.open(QIODevice::WriteOnly));
    QTextStream out2(&devFull2);
    errText.clear();
    EXPECT_EQ(runRenderCommand({"--frp", frp, "--json", "-"}, out2, err), 1);
    err.flush();
    EXPECT_TRUE(errText.contains("No space left on device")) << errText.toStdString();
}

TEST_F(HostileOutputTest, OutputOverTheInputIsRefusedAndPngFoldersHoldOnlyThisRun)
{
    const QString frp = frpOfPages(dir.filePath("pages.frp"), 3);
    const QByteArray before = contents(frp);
    QFile::link(frp, dir.filePath("link.frp"));
    for (const QString& target : {frp, dir.filePath("link.frp"), dir.filePath("./pages.frp")}) {
        SCOPED_TRACE(target.toStdString());
        const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--pdf", target});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains("would overwrite the file the pages are read from"))
            << r.err.toStdString();
        EXPECT_EQ(contents(frp), before);
    }

    const QString png = dir.filePath("png");
    ASSERT_EQ(runCommand(runRenderCommand, {"--frp", frp, "--png", png}).code, 0);
    EXPECT_EQ(QDir(png).entryList(QDir::Files).size(), 3);
    put(png + "/notes.txt", "mine");
    const QString one = frpOfPages(dir.filePath("one.frp"), 1);
    ASSERT_EQ(runCommand(runRenderCommand, {"--frp", one, "--png", png}).code, 0);
    EXPECT_EQ(QDir(png).entryList(QDir::Files), (QStringList{"notes.txt", "page-001.png"}))
        << "the earlier run's pages 2 and 3 are gone; other files stay";
}

TEST_F(HostileOutputTest, OptionsGivenTwiceAndStandardOutputAsDash)
{
    const QString frp = frpOfPages(dir.filePath("pages.frp"), 1);
    struct Case {
        const char* name;
        int (*command)(const QStringList&, QTextStream&, QTextStream&);
        QStringList args;
        int code;
        const char* text; // in standard error, or for code 0 in standard output
    } cases[] = {
        {"--pdf twice", runRenderCommand, {"--frp", frp, "--pdf", "a.pdf", "--pdf", "b.pdf"}, 2,
            "--pdf is given twice"},
        {"--query of one name twice", runRenderCommand,
            {"look.frf", "--query", "Q=select 1", "--query", "q=select 2", "--json"}, 2,
            "--query q is given twice"},
        {"--json - is standard output", runRenderCommand, {"--frp", frp, "--json", "-"}, 0, "\"pages\": ["},
        {"eval --help", runEvalCommand, {"--help"}, 0, "Usage: vaskel eval"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun r = runCommand(c.command, c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE((c.code == 0 ? r.out : r.err).contains(QLatin1String(c.text)))
            << r.out.toStdString() << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists("-")) << "no file named \"-\"";
    EXPECT_FALSE(QFile::exists("a.pdf"));
}

TEST_F(HostileOutputTest, JsonWrittenPageByPageIsTheWholeDocument)
{
    for (int count : {0, 1, 3}) {
        SCOPED_TRACE(count);
        TfrEMFPages store(nullptr);
        for (int i = 0; i < count; ++i)
            store.InsertPage(i, TfrPage(&frPrinter(), 9, 2100 + i, 2970, TfrPage::kDefaultBin, 0));
        QByteArray streamed;
        int pieces = 0;
        PreparedPagesJson::writeText(store, [&](const QByteArray& text) {
            streamed += text;
            ++pieces;
        });
        EXPECT_EQ(streamed, TemplateJson::toText(PreparedPagesJson::toJson(store)));
        EXPECT_GE(pieces, count) << "at least a piece a page";
    }
}

TEST_F(HostileOutputTest, CodePagesOfWideUnitsAreRefused)
{
    for (const char* name : {"UTF-16", "UTF-16LE", "UTF-32BE"}) {
        SCOPED_TRACE(name);
        try {
            CodePage cp{QString::fromLatin1(name)};
            ADD_FAILURE() << "accepted";
        } catch (const CodePageError& e) {
            EXPECT_TRUE(e.message().contains("is not byte-oriented")) << e.message().toStdString();
        }
    }
    EXPECT_NO_THROW(CodePage(QStringLiteral("GBK")));
    EXPECT_NO_THROW(CodePage(QStringLiteral("UTF-8")));
}

// The smallest dBASE III table: one character field CODE of width 4, one record.
QByteArray dbfTable(const QByteArray& code)
{
    QByteArray h(32, '\0');
    h[0] = 0x03;
    qToLittleEndian<quint32>(1, h.data() + 4);
    qToLittleEndian<quint16>(32 + 32 + 1, h.data() + 8);
    qToLittleEndian<quint16>(1 + 4, h.data() + 10);
    QByteArray d(32, '\0');
    d.replace(0, 4, "CODE");
    d[11] = 'C';
    d[16] = 4;
    return h + d + '\r' + ' ' + code.leftJustified(4, ' ') + '\x1A';
}

TEST_F(HostileOutputTest, TwoDbaseFilesForOneTableAreRefused)
{
    QDir().mkpath(dir.filePath("a"));
    QDir().mkpath(dir.filePath("b"));
    put(dir.filePath("a/goods.dbf"), dbfTable("A1"));
    put(dir.filePath("b/goods.dbf"), dbfTable("B2"));
    put(dir.filePath("GOODS.DBF"), dbfTable("C3"));
    const QString database = dir.filePath("import.db");
    const QStringList pairs[] = {
        {dir.filePath("a/goods.dbf"), dir.filePath("b/goods.dbf")},
        {dir.filePath("a/goods.dbf"), dir.filePath("GOODS.DBF")},
    };
    for (const QStringList& files : pairs) {
        SCOPED_TRACE(files.join(' ').toStdString());
        const CommandRun r = runCommand(runImportDbfCommand, QStringList{"--database", database} + files);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains("both go into table")) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("Imported")) << "nothing is reported imported";
    }
    EXPECT_FALSE(QFile::exists(database)) << "nothing was written";
}

// Eight runs with --demo started at once: each needs the demo database and the ODBC ini files.
TEST_F(HostileOutputTest, RunsStartedTogetherBuildTheDemoDatabaseOnce)
{
    const QString folder = dir.filePath("demo");
    std::atomic<int> failures{0};
    std::vector<std::thread> runs;
    for (int i = 0; i < 8; ++i) {
        runs.emplace_back([&] {
            try {
                DemoDatabase::ensureDatabase(folder);
            } catch (const VaskelError& e) {
                ADD_FAILURE() << e.message().toStdString();
                ++failures;
            }
        });
    }
    for (std::thread& t : runs)
        t.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"vaskel-demo.sqlite"})
        << "no half-built file and no lock stays";

    const QString database = DemoDatabase::databaseFile(folder);
    DemoDatabase::installOdbcConfiguration(folder, database);
    const QDateTime written = QFileInfo(folder + "/odbc.ini").lastModified();
    {
        QFile ini(folder + "/odbc.ini");
        ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
        ASSERT_TRUE(ini.setFileTime(written.addSecs(-60), QFileDevice::FileModificationTime));
    }
    DemoDatabase::installOdbcConfiguration(folder, database);
    EXPECT_EQ(QFileInfo(folder + "/odbc.ini").lastModified(), written.addSecs(-60))
        << "an ini file that says the same is not written again";
}

} // namespace
} // namespace vaskel::test
