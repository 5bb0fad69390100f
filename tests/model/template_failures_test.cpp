// Broken and hostile template streams: every one ends in one of the system's messages (or, for the
// password, in an empty untitled report) and leaves the template usable.
#include "StreamBytes.h"
#include "support/TestGlobals.h"

#include "report/model/TemplateHolder.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrMemoView.h"

#include <QTemporaryDir>

namespace vaskel {
namespace {

using TemplateReader::StreamSource;
using test::StreamBytes;

const QString kUnsupported = QStringLiteral("Unsupported FRF format");

class TemplateFailureTest : public test::GlobalsTest {
protected:
    // A version-25 template of one page holding two memos, as this system writes it.
    static QByteArray validTemplate(bool passwordProtected = false)
    {
        TemplateHolder h;
        TfrPage* page = h.Pages.Add();
        page->Name = QStringLiteral("Page1");
        for (const char* name : {"Memo1", "Memo2"}) {
            auto memo = std::make_unique<TfrMemoView>();
            memo->Name = QString::fromLatin1(name);
            memo->Memo = {QStringLiteral("text")};
            page->Add(std::move(memo));
        }
        h.Info.Password = QStringLiteral("Pw");
        h.Info.PasswordProtected = passwordProtected;
        return TemplateWriter::SaveTemplateToStream(h, 45000);
    }

    // A holder that already shows a template of three pages.
    static void preload(TemplateHolder& h)
    {
        for (int i = 0; i < 3; ++i)
            h.Pages.Add();
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const Interaction& i : scriptedUi->interactionsOf(Interaction::Kind::MessageBox)) {
            EXPECT_EQ(i.caption, UiServices::applicationTitle());
            // The first line is the message; a detail (what, at which byte offset) may follow.
            texts << (i.text.startsWith(kUnsupported) ? i.text.section(QLatin1Char('\r'), 0, 0) : i.text);
        }
        return texts;
    }

    static int viewCount(const TemplateHolder& h)
    {
        int n = 0;
        for (const auto& p : h.Pages)
            n += static_cast<int>(p->ObjectList.size());
        return n;
    }
};

// A version-25 stream: header, one page record, then whatever the test appends.
StreamBytes v25Start()
{
    StreamBytes s;
    s.u8(25).u16(0).u16(0).str23("");
    s.u8(255).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).i32(0xFFFF).u16(0).u16(
        0xFFFF);
    s.i32(1).i32(0).u8(0).str23("Page1").u8(0).str23("Form").i32(0).i32(0).i32(0).i32(0).i32(0).u8(0).list23(
        {});
    return s;
}

// A line view entry (type 4) on `page` with a correct end position.
void lineEntry(StreamBytes& s, int page, const char* name)
{
    s.u8(4).u8(page);
    const qsizetype endAt = s.size();
    s.i32(0).str23(name).u8(2).u8(0).i32(0).i32(0).i32(100).i32(0).u16(1).u16(8).i32(1).i32(0).u16(0);
    s.i32(0xFFFFFF).i32(0).str23("").list23({}).list23({}).u16(0xFFFF).u16(0).str23("").i32(2).i32(1).u8(0);
    s.patch32(endAt, s.size());
}

TEST_F(TemplateFailureTest, MalformedStreams)
{
    struct Case {
        const char* name;
        QByteArray data;
        QStringList messages;
        int pages; // -1: the three pages shown before stay
        int views;
    };
    QByteArray valid = validTemplate();
    StreamBytes typeByte = v25Start();
    typeByte.u8(11);
    StreamBytes hugeString = v25Start();
    hugeString.u8(0).u8(0).i32(0).u16(0xFFFF).bytes("short");
    StreamBytes backwards = v25Start();
    const qsizetype entryStart = backwards.size();
    backwards.u8(4).u8(0).i32(entryStart); // pointing back at its own type byte
    StreamBytes beyond = v25Start();
    beyond.u8(4).u8(0).i32(1 << 30);
    StreamBytes badPageIndex = v25Start();
    const qsizetype lostAt = badPageIndex.size();
    lineEntry(badPageIndex, 5, "Lost");
    lineEntry(badPageIndex, 0, "Kept");
    badPageIndex.u8(252);
    StreamBytes missingClasses = v25Start();
    for (const char* cls : {"TfrChartView", "TfrBarCodeView"}) {
        missingClasses.u8(10).str23(cls).u8(0);
        const qsizetype at = missingClasses.size();
        missingClasses.i32(0).bytes("add-in data");
        missingClasses.patch32(at, missingClasses.size());
    }
    lineEntry(missingClasses, 0, "Line1");
    missingClasses.u8(252);
    StreamBytes extension = v25Start();
    lineEntry(extension, 0, "Line1");
    extension.u8(253).u8(0);
    for (int i = 0; i < 8; ++i)
        extension.u16(0);
    extension.u8(77).u8(0).f64(0).f64(0);
    StreamBytes badHex = v25Start();
    badHex.u8(252);
    for (int i = 0; i < 7; ++i)
        badHex.u16(0);
    badHex.u16(2).bytes("zz").u8(77).u8(0).f64(0).f64(0);

    const Case cases[] = {
        {"version above 25 keeps the shown pages", QByteArray("\x1A\0\0", 3), {kUnsupported}, -1, 0},
        {"type byte between 11 and 251", typeByte.data(), {kUnsupported}, 1, 0},
        {"string longer than the stream", hugeString.data(), {kUnsupported}, 1, 0},
        {"end position inside its own entry", backwards.data(), {kUnsupported}, 1, 0},
        {"end position past the end", beyond.data(), {kUnsupported}, 1, 0},
        {"truncated in the information block", valid.left(valid.size() - 5), {kUnsupported}, 1, 0},
        {"truncated inside an object", valid.left(valid.size() / 2), {kUnsupported}, 1, 0},
        {"page index of a page not read is skipped with a warning", badPageIndex.data(),
            {TemplateReader::damagedObjectsMessage(
                {QStringLiteral("object entry at byte offset %1: page 6 does not exist").arg(lostAt)})},
            1, 1},
        {"missing add-in classes listed once", missingClasses.data(),
            {TemplateReader::nonPluggedMessage(QStringLiteral("TfrChartView\rTfrBarCodeView\r"))}, 1, 1},
        {"extension byte and one more end the pages", extension.data(), {}, 1, 1},
        {"password not in hexadecimal", badHex.data(), {kUnsupported}, 1, 0},
        {"empty file is no template", QByteArray(), {kUnsupported}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        TemplateHolder h;
        preload(h);
        TemplateReader::LoadTemplateFromStream(h, c.data, StreamSource::File);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(h.Pages.Count(), c.pages < 0 ? 3 : c.pages);
        EXPECT_EQ(viewCount(h), c.views);
        if (c.pages == 1 && c.views == 1) {
            EXPECT_NE(h.Pages.Page(0)->ObjectList.front()->Name, QStringLiteral("Lost"));
        }
    }
}

TEST_F(TemplateFailureTest, EveryTruncationIsRefusedUnlessRightAfterTheEndOfPages)
{
    const QByteArray valid = validTemplate();
    const qsizetype endOfPages = valid.lastIndexOf('\xFC');
    for (qsizetype n = 1; n < valid.size(); ++n) {
        SCOPED_TRACE(n);
        scriptedUi->clear();
        TemplateHolder h;
        TemplateReader::LoadTemplateFromStream(h, valid.left(n), StreamSource::File);
        const QStringList shown = messages();
        // A stream may end right after its end-of-pages byte (the information block is then
        // reset); every other cut is refused.
        if (shown.isEmpty())
            EXPECT_EQ(n, endOfPages + 1) << "cut at " << n << " read without complaint";
        else
            EXPECT_EQ(shown, QStringList{kUnsupported});
        EXPECT_GE(h.Pages.Count(), 1);
    }
}

TEST_F(TemplateFailureTest, PasswordWindowOutcomes)
{
    struct Case {
        const char* name;
        std::optional<QString> answer;
        StreamSource source;
        bool asked;
        bool kept;
    } cases[] = {
        {"right password", QStringLiteral("Pw"), StreamSource::File, true, true},
        {"wrong letter case", QStringLiteral("pw"), StreamSource::File, true, false},
        {"cancelled", std::nullopt, StreamSource::File, true, false},
        {"memory stream never asks", std::nullopt, StreamSource::Memory, false, true},
    };
    const QByteArray data = validTemplate(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        scriptedUi->queueText(c.answer);
        TemplateHolder h;
        h.TemplateFileName = QStringLiteral("look.frf");
        TemplateReader::LoadTemplateFromStream(h, data, c.source);
        const auto asked = scriptedUi->interactionsOf(Interaction::Kind::Password);
        ASSERT_EQ(asked.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(asked.front().caption, QStringLiteral("Password"));
            EXPECT_EQ(asked.front().text, QStringLiteral("Enter password for opening report"));
        }
        EXPECT_TRUE(messages().isEmpty());
        EXPECT_EQ(h.Pages.Count(), 1);
        EXPECT_EQ(viewCount(h), c.kept ? 2 : 0);
        EXPECT_EQ(h.TemplateFileName, c.kept ? QStringLiteral("look.frf") : QStringLiteral("Untitled"));
        EXPECT_EQ(h.Info.Password, c.kept ? QStringLiteral("Pw") : QString());
    }
}

TEST_F(TemplateFailureTest, MissingAddInsDoNotBypassThePassword)
{
    QByteArray data = validTemplate(true);
    // Insert an unknown add-in entry before the dictionary byte.
    StreamBytes addIn;
    addIn.u8(10).str23("TfrChartView").u8(0);
    const qsizetype dictionary = data.lastIndexOf(QByteArray("\xFE\xFE\xFF", 3));
    const qsizetype endAt = dictionary + addIn.size();
    addIn.i32(0);
    addIn.patch32(addIn.size() - 4, endAt + 4);
    data.insert(dictionary, addIn.data());
    TemplateHolder h;
    TemplateReader::LoadTemplateFromStream(h, data, StreamSource::File);
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::Password).size(), 1);
    EXPECT_EQ(viewCount(h), 0) << "cancelled: the protected objects are not shown";
}

TEST_F(TemplateFailureTest, LoadTemplateFromFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("look.frf"));
    TemplateHolder h;
    preload(h);
    EXPECT_FALSE(TemplateReader::LoadTemplate(h, path));
    EXPECT_EQ(h.Pages.Count(), 3) << "a missing file leaves the template unchanged";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(validTemplate());
    f.close();
    EXPECT_TRUE(TemplateReader::LoadTemplate(h, path));
    EXPECT_EQ(h.TemplateFileName, path);
    EXPECT_EQ(viewCount(h), 2);
}

} // namespace
} // namespace vaskel
