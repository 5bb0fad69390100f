// Prepared-report files: the layout written byte for byte, the older layouts (no version byte,
// metafile pages), compressed pages, and damaged or unreachable files.
#include "prepared_PagesFixture.h"

#include "report/engine/TfrCompressor.h"
#include "report/engine/TfrReport.h"
#include "report/model/EStreamError.h"
#include "report/model/ReportStreamReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <zstd.h>

namespace vaskel::test {
namespace {

class PreparedFileTest : public PreparedPagesTest {
protected:
    // A store of two pages: a memo, a line and a picture; then a landscape page with two memos.
    void fill(TfrEMFPages& store)
    {
        auto title = memo("Title", 40, 30, 300, 40, {"Delivery note", "No. 4711"});
        auto rule = line("Rule", 40, 80, 600);
        auto logo = picture("Logo", 600, 20, 60);
        addPage(store, {title.get(), rule.get(), logo.get()});
        auto a = memo("A", 10, 10, 100, 20, {"first"});
        auto b = memo("B", 10, 40, 100, 20, {"second"});
        addPage(store, {a.get(), b.get()});
        TfrPreparedPage& p = store.PageAt(1);
        p.PaperOrientation = 1;
        p.PaperSource = 3;
        p.Margins[0] = 11;
        p.Margins[1] = 12;
        p.Margins[2] = 13;
        p.Margins[3] = 14;
    }

    TfrReport report;
};

// The header of an empty enhanced metafile and its end record (108 bytes).
QByteArray tinyMetafile()
{
    ReportStreamWriter w;
    w.writeU32(1); // EMR_HEADER
    w.writeU32(88);
    for (int i = 0; i < 4; ++i)
        w.writeI32(i < 2 ? 0 : 100); // bounds
    for (int i = 0; i < 4; ++i)
        w.writeI32(i < 2 ? 0 : 2000); // frame, hundredths of a millimetre
    w.writeBytes(" EMF");
    w.writeU32(0x10000);
    w.writeU32(108); // whole length
    w.writeU32(2); // records
    w.writeU16(1);
    w.writeU16(0);
    w.writeU32(0);
    w.writeU32(0);
    w.writeU32(0);
    w.writeI32(1024);
    w.writeI32(768);
    w.writeI32(320);
    w.writeI32(240);
    w.writeU32(14); // EMR_EOF
    w.writeU32(20);
    w.writeU32(0);
    w.writeU32(16);
    w.writeU32(20);
    return w.takeData();
}

TEST_F(PreparedFileTest, EmptyStoreIsHeaderCountAndGeneratorByte)
{
    TfrEMFPages store(nullptr);
    const QByteArray expected = QByteArray("\x19\x00", 2) + QByteArray("\x0F\x00", 2) + "Virtual printer"
        + QByteArray(1, '\0') + QByteArray(4, '\0') + QByteArray("\x4D");
    EXPECT_EQ(save(store).toHex(' '), expected.toHex(' '));

    report.SetGeneratorVersion(80);
    TfrEMFPages owned(&report);
    const QByteArray withOwner = save(owned);
    EXPECT_EQ(withOwner.back(), '\x50') << "the owner's generator byte";

    report.SetGeneratorVersion(0);
    fill(owned);
    load(owned, expected);
    EXPECT_EQ(owned.Count(), 0);
    EXPECT_EQ(report.GeneratorVersion(), 77);
    EXPECT_EQ(report.Template.PrinterName, "Virtual printer");
}

TEST_F(PreparedFileTest, SavedFileRoundTripsPageForPage)
{
    TfrEMFPages store(nullptr);
    fill(store);
    const QByteArray bytes = save(store);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\x19\x00", 2));

    // Next of the first page points at the second page's record, whose Next ends before the last byte.
    ReportStreamReader r(bytes);
    r.seek(2);
    r.readString();
    EXPECT_EQ(r.readI32(), 2);
    const qint64 firstRecord = r.pos();
    const qint32 next1 = r.readI32();
    EXPECT_EQ(next1 - firstRecord, 4 + 2 + 4 + 4 + 1 + 4 + 1 + 16 + store.PageAt(0).PageData.size());
    r.seek(next1);
    EXPECT_EQ(r.readI32(), bytes.size() - 1);

    TfrEMFPages loaded(&report);
    load(loaded, bytes);
    ASSERT_EQ(loaded.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const TfrPreparedPage& a = store.PageAt(i);
        const TfrPreparedPage& b = loaded.PageAt(i);
        EXPECT_EQ(b.PaperCode, a.PaperCode);
        EXPECT_EQ(b.PaperSizeX, a.PaperSizeX);
        EXPECT_EQ(b.PaperSizeY, a.PaperSizeY);
        EXPECT_EQ(b.PaperOrientation, a.PaperOrientation);
        EXPECT_EQ(b.PaperSource, a.PaperSource);
        EXPECT_EQ(b.MarginsFlag, a.MarginsFlag);
        EXPECT_TRUE(std::equal(std::begin(a.Margins), std::end(a.Margins), std::begin(b.Margins)));
        EXPECT_EQ(b.PageData, a.PageData);
        EXPECT_GT(b.Metrics.UnitPaperWidth, 0) << "metrics come from the printer model";
    }
    EXPECT_GT(loaded.PageAt(1).Metrics.UnitPaperWidth, loaded.PageAt(1).Metrics.UnitPaperHeight)
        << "the landscape page's metrics";
    EXPECT_EQ(frPrinter().CurOrientation, 1) << "the printer is left on the last page's paper";
    EXPECT_EQ(save(loaded), bytes);
}

TEST_F(PreparedFileTest, FileWithoutVersionByteHasNoBinAndNoMargins)
{
    // First byte 0 is outside 24..31: it is already the compression byte.
    ReportStreamWriter w;
    w.writeU8(0);
    w.writeString(QStringLiteral("Virtual printer"));
    w.writeI32(1);
    const qint64 at = w.pos();
    w.writeI32(0);
    w.writeU16(11); // A5
    w.writeI32(1480);
    w.writeI32(2100);
    w.writeU8(0);
    w.writeU8(1); // margins flag
    w.writeBytes(QByteArray("\x19"));
    w.patchI32(at, static_cast<qint32>(w.pos()));
    w.writeU8(77);

    TfrEMFPages store(nullptr);
    load(store, w.data());
    ASSERT_EQ(store.Count(), 1);
    const TfrPreparedPage& p = store.PageAt(0);
    EXPECT_EQ(p.PaperCode, 11);
    EXPECT_EQ(p.PaperSizeX, 1480);
    EXPECT_EQ(p.PaperSource, -1);
    EXPECT_EQ(p.MarginsFlag, 1);
    EXPECT_TRUE(std::all_of(std::begin(p.Margins), std::end(p.Margins), [](qint32 m) { return m == 0; }));
    EXPECT_EQ(p.PageData, QByteArray("\x19"));
}

TEST_F(PreparedFileTest, LegacyLayoutPagesBecomeOnePictureFillingThePaper)
{
    const QByteArray emf = tinyMetafile();
    ReportStreamWriter w;
    w.writeBytes(QByteArray("Office printer\rsecond line\r") + QByteArray(1, '\0'));
    w.writeI32(2);
    for (int i = 0; i < 2; ++i) {
        const qint64 at = w.pos();
        w.writeI32(0);
        w.writeU16(9);
        w.writeI32(2100);
        w.writeI32(2970);
        w.writeU8(static_cast<quint8>(i)); // the second page lies landscape
        w.writeU8(1);
        w.writeBytes(emf);
        w.writeBytes(QByteArray(3, 'x')); // slack after the metafile's own length
        w.patchI32(at, static_cast<qint32>(w.pos()));
    }
    ASSERT_EQ(w.data().at(0), 'O') << "the first byte is the legacy compression byte";

    TfrEMFPages store(&report);
    load(store, w.data());
    EXPECT_EQ(report.Template.PrinterName, "Office printer");
    ASSERT_EQ(store.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        TfrPreparedPage& p = store.PageAt(i);
        EXPECT_EQ(p.PaperSource, -1);
        EXPECT_EQ(p.PaperOrientation, i);
        store.MaterializePage(i);
        ASSERT_EQ(p.LivePage->ObjectList.size(), 1u);
        auto* view = dynamic_cast<TfrPictureView*>(p.LivePage->ObjectList[0].get());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(QRect(view->Left, view->Top, view->Width, view->Height),
            QRect(0, 0, p.Metrics.UnitPaperWidth, p.Metrics.UnitPaperHeight));
        EXPECT_EQ(view->Picture.kind(), StoredPicture::Metafile);
        EXPECT_EQ(view->Picture.bytes(), emf);
    }
}

TEST_F(PreparedFileTest, CompressedFilesCarryByteOneAndLoadBack)
{
    TfrEMFPages store(nullptr);
    fill(store);
    auto big = memo("Big", 0, 0, 700, 900, QStringList(200, QStringLiteral("Bolts M8 x 40, zinc plated")));
    addPage(store, {big.get()});
    const QByteArray plain = save(store);
    frCompressor().Enabled = true;
    const QByteArray packed = save(store);
    EXPECT_EQ(packed.left(2), QByteArray("\x19\x01", 2));
    EXPECT_LT(packed.size(), plain.size() / 2);

    frCompressor().Enabled = false; // files with byte 1 load whatever the switch says
    TfrEMFPages loaded(nullptr);
    load(loaded, packed);
    ASSERT_EQ(loaded.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loaded.PageAt(i).PageData, store.PageAt(i).PageData) << i;
    EXPECT_EQ(save(loaded), plain);
}

TEST_F(PreparedFileTest, DecompressionIsBounded)
{
    TfrCompressor compressor;
    EXPECT_TRUE(compressor.Decompress({}).isEmpty()) << "pages of a compressor that wrote nothing";
    const QByteArray page = QByteArray(5000, 'a');
    EXPECT_EQ(compressor.Decompress(compressor.Compress(page)), page);

    // A frame of one byte repeated past the limit is a few kilobytes; it must not be inflated.
    const QByteArray huge(TfrCompressor::kMaxPageBytes + 1, '\0');
    const QByteArray bomb = compressor.Compress(huge);
    EXPECT_LT(bomb.size(), 1 << 16);
    EXPECT_EQ(messageOf([&] { compressor.Decompress(bomb); }), "Stream read error");
    EXPECT_EQ(messageOf([&] { compressor.Decompress(QByteArray("not zstd at all")); }), "Stream read error");
    EXPECT_EQ(
        messageOf([&] { compressor.Decompress(compressor.Compress(page).chopped(3)); }), "Stream read error");
}

TEST_F(PreparedFileTest, DamagedFilesKeepTheCompletePagesBeforeTheFault)
{
    TfrEMFPages source(nullptr);
    fill(source);
    const QByteArray good = save(source);
    ReportStreamReader r(good);
    r.seek(2);
    r.readString();
    r.readI32();
    const qint64 page1 = r.pos();
    const qint32 page2 = r.readI32();

    QByteArray backwards = good;
    backwards[page2] = 0; // the second page's Next points before its own fields
    backwards[page2 + 1] = 0;
    QByteArray hugePaper = good;
    hugePaper.replace(page2 + 6, 4, QByteArray("\x00\x00\x00\x80", 4)); // the second page's width
    QByteArray badPacked = good;
    badPacked[1] = 1; // said to be compressed, but the page data is not zstd

    struct Case {
        const char* name;
        QByteArray bytes;
        int pagesKept;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), 0},
        {"cut inside the printer name", good.left(6), 0},
        {"cut inside the first page's fields", good.left(page1 + 10), 0},
        {"cut inside the second page's data", good.left(good.size() - 10), 1},
        {"cut before the generator byte", good.chopped(1), 2},
        {"second Next points backwards", backwards, 1},
        {"compressed byte on plain pages", badPacked, 0},
        {"a paper width below zero", hugePaper, 1},
        {"a page count far beyond the file",
            good.left(page1 - 4) + QByteArray("\xFF\xFF\xFF\x7F") + good.mid(page1), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrEMFPages store(nullptr);
        fill(store);
        fill(store); // four pages before: loading replaces them
        EXPECT_EQ(messageOf([&] { load(store, c.bytes); }), "Stream read error");
        ASSERT_EQ(store.Count(), c.pagesKept);
        for (int i = 0; i < c.pagesKept; ++i)
            EXPECT_EQ(store.PageAt(i).PageData, source.PageAt(i).PageData);
    }
}

TEST_F(PreparedFileTest, FilesThatCannotBeOpenedOrWritten)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.frp");
    TfrEMFPages store(nullptr);
    fill(store);
    const QString openMessage = messageOf([&] { store.LoadFromFile(missing); });
    EXPECT_TRUE(openMessage.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)))
        << openMessage.toStdString();
    EXPECT_GT(openMessage.size(), missing.size() + 20) << "the system's reason follows";
    EXPECT_EQ(store.Count(), 2) << "the store is untouched when the file does not open";

    const QString noFolder = dir.filePath("no/such/folder/out.frp");
    EXPECT_TRUE(messageOf([&] {
        store.SaveToFile(noFolder);
    }).startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(noFolder)));

    // A save that fails half-way (a printer name the code page cannot hold) keeps the old file.
    const QString path = dir.filePath("kept.frp");
    store.SaveToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    frPrinter().PrinterList[frPrinter().CurrentIndex] = QStringLiteral("Printer \U0001F5A8");
    EXPECT_NE(messageOf([&] { store.SaveToFile(path); }), "no error");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.frp"}) << "no temporary left";

    TfrEMFPages loaded(nullptr);
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.Count(), 2);
}

} // namespace
} // namespace vaskel::test
