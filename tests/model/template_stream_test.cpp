// The template stream: round trips of every view class and field, the string encodings, frame
// widths, and hand-built streams of the older versions.
#include "SampleTemplate.h"
#include "StreamBytes.h"
#include "support/TestGlobals.h"

#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrSubReportView.h"

#include <QBuffer>
#include <QImage>

namespace vaskel {
namespace {

using TemplateReader::StreamSource;
using test::StreamBytes;

class TemplateStreamTest : public test::GlobalsTest {
protected:
    static void fill(TemplateHolder& h) { test::fillSampleTemplate(h); }

    static QByteArray save(TemplateHolder& h) { return TemplateWriter::SaveTemplateToStream(h, 46000.25); }

    static TfrView* view(TemplateHolder& h, int page, int index)
    {
        return h.Pages.Page(page)->ObjectList.at(static_cast<size_t>(index)).get();
    }
};

TEST_F(TemplateStreamTest, WriteReadWriteGivesTheSameBytesForEveryViewClass)
{
    TemplateHolder original;
    fill(original);
    const QByteArray first = save(original);

    TemplateHolder copy;
    TemplateReader::LoadTemplateFromStream(copy, first, StreamSource::Memory);
    EXPECT_TRUE(scriptedUi->interactions().isEmpty()) << "a memory stream never asks or complains";
    EXPECT_EQ(save(copy), first);

    ASSERT_EQ(copy.Pages.Count(), 2);
    ASSERT_EQ(copy.Pages.Page(0)->ObjectList.size(), 3u);
    ASSERT_EQ(copy.Pages.Page(1)->ObjectList.size(), 2u);
    auto* memo = dynamic_cast<TfrMemoView*>(view(copy, 0, 0));
    ASSERT_TRUE(memo);
    EXPECT_FLOAT_EQ(memo->FrameWidth, 0.25f);
    EXPECT_EQ(memo->Memo, (QStringList{"[Price]", "", "进货："}));
    EXPECT_EQ(memo->Font.Name, QStringLiteral("宋体"));
    EXPECT_EQ(memo->Restrictions, 0x5A);
    EXPECT_FALSE(memo->Visible);
    EXPECT_EQ(memo->BandAlign, baRest);
    EXPECT_EQ(memo->RecordVersion, 2);
    auto* band = dynamic_cast<TfrBandView*>(view(copy, 0, 1));
    ASSERT_TRUE(band);
    EXPECT_EQ(band->Master, QStringLiteral("MasterData1"));
    EXPECT_EQ(band->RecordRevision, 1);
    auto* picture = dynamic_cast<TfrPictureView*>(view(copy, 0, 2));
    ASSERT_TRUE(picture);
    EXPECT_FLOAT_EQ(picture->FrameWidth, 3.0f);
    EXPECT_EQ(picture->Picture.kind(), StoredPicture::Jpeg);
    EXPECT_EQ(picture->Picture.bytes().size(), 23);
    EXPECT_TRUE(dynamic_cast<TfrLineView*>(view(copy, 1, 0)));
    EXPECT_EQ(dynamic_cast<TfrSubReportView*>(view(copy, 1, 1))->PageIndex, 1);
    EXPECT_EQ(copy.Pages.Page(1)->BorderStyle, 2);
    EXPECT_EQ(copy.Pages.Page(0)->PageScript.size(), 2);
    EXPECT_EQ(copy.Dictionary.Variables.Names(1), QStringLiteral("Sum"));
    EXPECT_EQ(copy.Info.Password, QStringLiteral("Secret"));
    EXPECT_DOUBLE_EQ(copy.Info.LastChanged, 46000.25);
    EXPECT_TRUE(copy.TwoPass);
}

TEST_F(TemplateStreamTest, RestrictionsHighByteIsWrittenBackAsRead)
{
    TemplateHolder h;
    fill(h);
    QByteArray bytes = save(h);
    // The memo's restrictions word follows its visible flag; find it by its low byte 0x5A.
    const qsizetype at = bytes.indexOf(QByteArray("\x5A\x00", 2));
    ASSERT_GT(at, 0);
    bytes[at + 1] = char(0xC3);
    TemplateHolder copy;
    TemplateReader::LoadTemplateFromStream(copy, bytes, StreamSource::Memory);
    EXPECT_EQ(view(copy, 0, 0)->Restrictions, 0x5A);
    EXPECT_EQ(save(copy).mid(at, 2), QByteArray("\x5A\xC3", 2));
}

TEST_F(TemplateStreamTest, StringEncodings)
{
    ReportStreamWriter w;
    w.writeString(QString());
    w.writeStringList({});
    w.writeStringList({QStringLiteral("A")});
    w.writeStringList({QStringLiteral("A"), QString()});
    EXPECT_EQ(w.data(),
        QByteArray("\0\0\0"
                   "\0\0\0"
                   "\1\0\1\0A\0"
                   "\2\0\1\0A\r\0\0\0",
            21));
    // Text is stored in the configured code page (GBK here), and text it cannot hold is refused.
    ReportStreamWriter chinese;
    chinese.writeString(QStringLiteral("进货"));
    EXPECT_EQ(chinese.data(), QByteArray("\4\0\xBD\xF8\xBB\xF5\0", 7));
    EXPECT_EQ(ReportStreamReader(chinese.data()).readString(), QStringLiteral("进货"));
    EXPECT_THROW(chinese.writeString(QStringLiteral("\U0001F600")), CodePageError);

    // Versions 21 and 22: a 13 keeps an empty line, a final empty line is dropped.
    ReportStreamReader r(QByteArray("A\r\rB\0C\r\0", 8), 21);
    EXPECT_EQ(r.readStringList(), (QStringList{"A", "", "B"}));
    EXPECT_EQ(r.readStringList(), (QStringList{"C"}));
}

TEST_F(TemplateStreamTest, FrameWidthEncoding)
{
    struct Case {
        const char* name;
        float width;
        qint32 stored;
        float readBack;
    } cases[] = {
        {"whole width stored as is", 1, 1, 1},
        {"fraction in thousandths", 0.5f, 500, 0.5f},
        {"quarter", 0.25f, 250, 0.25f},
        {"three", 3, 3, 3},
        {"ten is still small", 10, 10, 10},
        {"whole width above ten in thousandths", 12, 12000, 12},
        {"two and a half", 2.5f, 2500, 2.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrLineView line;
        line.FrameWidth = c.width;
        ReportStreamWriter w;
        line.WriteRecord(w);
        // Name (3 bytes), version and revision (2), geometry (16), flags and sides (4).
        EXPECT_EQ(qFromLittleEndian<qint32>(w.data().constData() + 25), c.stored);
        ReportStreamReader r(w.data());
        TfrLineView back;
        back.ReadRecord(r);
        EXPECT_FLOAT_EQ(back.FrameWidth, c.readBack);
        EXPECT_TRUE(r.atEnd());
    }
}

// ---- older versions -------------------------------------------------------------------------------

// Page record of versions 21 to 23 without the -1 marker: the first value is the paper code.
void oldPage(StreamBytes& s, int version)
{
    s.u8(255).i32(11).i32(1480).i32(2100).i32(1).i32(2).i32(3).i32(4).u8(1);
    if (version <= 22)
        s.bytes(QByteArray(6, 'x'));
    s.u16(0xFFFF).u16(0).i32(1).i32(0);
}

// The view part and memo part of a memo record of versions 21 to 23, template form.
void oldMemo(StreamBytes& s, int version)
{
    const bool v23 = version >= 23;
    if (v23)
        s.str23("Title");
    s.i32(10).i32(20).i32(100).i32(18).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF).i32(0x22E);
    v23 ? s.str23("") : s.str21("");
    v23 ? s.list23({"Hello", "World"}) : s.list21({"Hello", "World"});
    if (v23)
        s.list23({"x := 1"}).u16(0xFFFF);
    v23 ? s.str23("Arial") : s.str21("Arial");
    s.i32(9).u16(2).i32(0xFF).i32(2).u16(134);
    s.u16(2).i32(0).i32(0xFFFFFF);
    v23 ? s.str23("") : s.str21("");
}

TEST_F(TemplateStreamTest, OlderVersionsReadAsTheirLayoutSays)
{
    for (int version : {21, 22, 23}) {
        SCOPED_TRACE(version);
        StreamBytes s;
        s.u8(version).u16(0).u16(0);
        version >= 23 ? s.str23("") : s.str21("");
        oldPage(s, version);
        oldPage(s, version);
        s.u8(0).u8(1); // a memo on the second page
        oldMemo(s, version);
        s.u8(252);

        TemplateHolder h;
        TemplateReader::LoadTemplateFromStream(h, s.data(), StreamSource::File);
        EXPECT_TRUE(scriptedUi->interactions().isEmpty());
        ASSERT_EQ(h.Pages.Count(), 2);
        TfrPage* page = h.Pages.Page(0);
        EXPECT_EQ(page->Name, QStringLiteral("Page1"));
        EXPECT_EQ(h.Pages.Page(1)->Name, QStringLiteral("Page2"));
        EXPECT_EQ(page->PaperCode, 11) << "no marker: the first value is the paper code";
        EXPECT_EQ(page->PaperSizeX, 1480);
        EXPECT_EQ(page->Margins[3], 4);
        EXPECT_EQ(page->PaperSource, TfrPage::kDefaultBin);
        EXPECT_TRUE(page->PrintToPrevPage);
        EXPECT_TRUE(page->PageScript.isEmpty());
        ASSERT_EQ(h.Pages.Page(1)->ObjectList.size(), 1u);
        auto* memo = dynamic_cast<TfrMemoView*>(h.Pages.Page(1)->ObjectList.front().get());
        ASSERT_TRUE(memo);
        EXPECT_EQ(memo->Name, version >= 23 ? QStringLiteral("Title") : QStringLiteral("Memo1"));
        EXPECT_EQ(memo->Memo, (QStringList{"Hello", "World"}));
        EXPECT_EQ(memo->Font.Size, 9);
        EXPECT_EQ(memo->Font.Charset, version <= 22 ? 1 : 134) << "old streams get the default character set";
        EXPECT_EQ((memo->Flags & MemoFlags::WordWrap) != 0, version == 21);
        EXPECT_EQ(memo->BeforePrintScript.size(), version >= 23 ? 1 : 0);
        EXPECT_EQ(memo->LineSpacing, 2) << "spacing is stored from version 24 on";
        scriptedUi->clear();
    }
}

TEST_F(TemplateStreamTest, StreamWithoutVersionByteReadsAsVersion21FromTheStart)
{
    StreamBytes s;
    s.u16(0).u16(0xFFFF).str21("");
    oldPage(s, 21);
    s.u8(252);
    TemplateHolder h;
    TemplateReader::LoadTemplateFromStream(h, s.data(), StreamSource::File);
    EXPECT_TRUE(scriptedUi->interactions().isEmpty());
    EXPECT_TRUE(h.TwoPass);
    ASSERT_EQ(h.Pages.Count(), 1);
    EXPECT_EQ(h.Pages.Page(0)->PaperCode, 11);
}

TEST_F(TemplateStreamTest, Version24ObjectEntriesAndPageFields)
{
    StreamBytes s;
    s.u8(24).u16(0).u16(0).str23("\x01");
    s.u8(255).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).i32(3).u16(0).u16(0xFFFF);
    s.i32(1).i32(0).u8(1).str23("Form1").u8(0).str23("Ask").i32(0xFF00000F).i32(1).i32(2).i32(3).i32(4).u8(1);
    s.list23({"begin", "end"});
    // A band view of record version 1 revision 0: no band alignment byte and no master name.
    s.u8(2).u8(0);
    const qsizetype endAt = s.size();
    s.i32(0).str23("Band1").u8(1).u8(0).i32(0).i32(100).i32(700).i32(30).u16(0x30).u16(5).i32(1);
    s.i32(0).u16(0).i32(0x1FFFFFFF).i32(0).str23("frDBDataSet1").list23({}).list23({}).u16(0xFFFF);
    s.u16(0).str23("").i32(2).i32(1).str23("Child1").i32(2).i32(150).i32(10).i32(1);
    s.bytes("trailing bytes an older writer left");
    s.patch32(endAt, s.size());
    s.u8(252);

    TemplateHolder h;
    TemplateReader::LoadTemplateFromStream(h, s.data(), StreamSource::File);
    EXPECT_TRUE(scriptedUi->interactions().isEmpty());
    EXPECT_EQ(h.PrinterName, QStringLiteral("Virtual printer"));
    TfrPage* page = h.Pages.Page(0);
    EXPECT_EQ(page->Name, QStringLiteral("Form1"));
    EXPECT_EQ(page->BorderStyle, 3) << "stored 0 is the dialog border";
    EXPECT_EQ(page->Position, 4) << "any non-zero position is the screen centre";
    EXPECT_EQ(page->PaperSource, 3u);
    EXPECT_EQ(page->PageScript, (QStringList{"begin", "end"}));
    ASSERT_EQ(page->ObjectList.size(), 1u);
    auto* band = dynamic_cast<TfrBandView*>(page->ObjectList.front().get());
    ASSERT_TRUE(band);
    EXPECT_EQ(band->BandKind(), MasterData);
    EXPECT_EQ(band->FormatText, QStringLiteral("frDBDataSet1"));
    EXPECT_EQ(band->ChildBand, QStringLiteral("Child1"));
    EXPECT_EQ(band->Columns, 2);
    EXPECT_TRUE(band->Master.isEmpty());
}

TEST_F(TemplateStreamTest, FramedMemoAndLookupControlNames)
{
    StreamBytes s;
    s.u8(23).u16(0).u16(0).str23("");
    oldPage(s, 23);
    s.u8(10).str23("TfrFramedMemoView").u8(0);
    oldMemo(s, 23);
    s.bytes(QByteArray(8, '\x7F')); // the framed memo's own 8 bytes
    s.u8(10).str23("TFRBDELOOKUPCONTROL").u8(0);
    s.u8(252);
    TemplateHolder h;
    TemplateReader::LoadTemplateFromStream(h, s.data(), StreamSource::File);
    ASSERT_EQ(h.Pages.Page(0)->ObjectList.size(), 1u);
    EXPECT_TRUE(dynamic_cast<TfrMemoView*>(h.Pages.Page(0)->ObjectList.front().get()));
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front().text, TemplateReader::nonPluggedMessage(QStringLiteral("TfrDBLookupControl\r")));
}

TEST_F(TemplateStreamTest, DictionaryForms)
{
    struct Case {
        const char* name;
        QByteArray block;
        QStringList variables; // name=value
        int aliases;
        int bandSources;
    };
    const QByteArray legacy = StreamBytes()
                                  .i32(3)
                                  .u8(1)
                                  .i32(0)
                                  .u8(2)
                                  .bytes("Q1")
                                  .u8(3)
                                  .bytes("AMT")
                                  .u8(6)
                                  .bytes("Amount")
                                  .u8(2)
                                  .i32(2)
                                  .u8(0)
                                  .u8(0)
                                  .u8(5)
                                  .bytes("Today")
                                  .u8(2)
                                  .i32(1)
                                  .u8(0)
                                  .u8(5)
                                  .bytes("[A]*2")
                                  .u8(6)
                                  .bytes("Double")
                                  .list23({"Totals", " Amount", " Today", " Double"})
                                  .data();
    const QByteArray intermediate = StreamBytes()
                                        .u16(0xFFFF)
                                        .i32(2)
                                        .str23("Totals")
                                        .str23("")
                                        .str23(" Sum")
                                        .str23("[A]+[B]")
                                        .i32(1)
                                        .str23("Q1.\"X\"")
                                        .str23("X")
                                        .i32(2)
                                        .str23("MasterData1")
                                        .str23("Q1")
                                        .str23("Band2")
                                        .str23("")
                                        .data();
    const QByteArray current = StreamBytes()
                                   .u16(0xFFFE)
                                   .i32(1)
                                   .str23("Sum")
                                   .str23("[A]+[B]")
                                   .i32(0)
                                   .i32(1)
                                   .str23("Band2")
                                   .str23("")
                                   .data();
    const Case cases[] = {
        {"legacy entries become variables, categories get their blank", legacy,
            {" Totals=", "Amount=Q1.\"AMT\"", "Today=DATE", "Double=[A]*2"}, 0, 0},
        {"intermediate form: categories marked, empty band sources dropped", intermediate,
            {" Totals=", "Sum=[A]+[B]"}, 1, 1},
        {"current form read as stored", current, {"Sum=[A]+[B]"}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrDataDictionary d;
        d.Variables.SetValue(QStringLiteral("stale"), Value(QStringLiteral("x")));
        ReportStreamReader r(c.block, 23);
        d.ReadDictionaryBlock(r);
        EXPECT_TRUE(r.atEnd());
        QStringList got;
        for (int i = 0; i < d.Variables.Count(); ++i)
            got << d.Variables.Names(i) + QLatin1Char('=') + d.Variables.Values(i).toText();
        EXPECT_EQ(got, c.variables);
        EXPECT_EQ(d.AliasList.Count(), c.aliases);
        EXPECT_EQ(d.BandSourceList.Count(), c.bandSources);
    }
}

TEST_F(TemplateStreamTest, TemplateWithoutViewsStillHasDictionaryAndEnd)
{
    TemplateHolder h;
    h.Pages.Add();
    const QByteArray bytes = save(h);
    // Dictionary block: 254, version -2, three empty lists; then 252 and the information block.
    const QByteArray tail = QByteArray("\xFE\xFE\xFF", 3) + QByteArray(12, '\0') + QByteArray("\xFC", 1);
    EXPECT_TRUE(bytes.contains(tail));
}

TEST_F(TemplateStreamTest, VirtualPrinterIsStoredAsCodeOne)
{
    TemplateHolder h;
    h.PrinterName = QStringLiteral("Virtual printer");
    const QByteArray bytes = save(h);
    EXPECT_EQ(bytes.mid(0, 9), QByteArray("\x19\0\0\0\0\1\0\1\0", 9));
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class TemplatePrinterTest : public test::GlobalsTest { };

TEST_F(TemplatePrinterTest, PagesReadWithAPrinterModelTakeItsPaperAndMetrics)
{
    TemplateHolder written;
    TfrPage* page = written.Pages.Add();
    page->Name = QStringLiteral("Page1");
    page->PaperCode = 9;
    page->PaperSizeX = 2100;
    page->PaperSizeY = 2970;
    const QByteArray bytes = TemplateWriter::SaveTemplateToStream(written, 45000);

    TemplateHolder h(&globals.printer());
    TemplateReader::LoadTemplateFromStream(h, bytes, TemplateReader::StreamSource::Memory);
    ASSERT_EQ(h.Pages.Count(), 1);
    EXPECT_EQ(h.Pages.Page(0)->PaperCode, 9);
    EXPECT_EQ(h.Pages.Page(0)->Metrics.UnitPaperWidth, 758) << "210 mm in report units";
    EXPECT_EQ(h.PrinterName, QString());
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class PreparedRecordTest : public test::GlobalsTest { };

TEST_F(PreparedRecordTest, PreparedFormCarriesThePrintedTextAndNoTemplateFields)
{
    TfrMemoView printed;
    printed.PreparedMode = true;
    printed.Name = QStringLiteral("Memo1");
    printed.Memo = {QStringLiteral("[Price]")};
    printed.ExpandedText = {QStringLiteral("12.50")};
    printed.FormatCode = 0x1234;
    printed.HighlightCondition = QStringLiteral("Value > 0");
    printed.BeforePrintScript = {QStringLiteral("x := 1")};
    ReportStreamWriter w;
    printed.WriteRecord(w);

    TfrMemoView back;
    back.PreparedMode = true;
    ReportStreamReader r(w.data());
    back.ReadRecord(r);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(back.Name, QStringLiteral("Memo1"));
    EXPECT_EQ(back.Memo, QStringList{QStringLiteral("12.50")});
    EXPECT_EQ(back.FormatCode, TfrMemoView().FormatCode);
    EXPECT_TRUE(back.HighlightCondition.isEmpty());
    EXPECT_TRUE(back.BeforePrintScript.isEmpty());
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class PreparedEntryTest : public test::GlobalsTest { };

TEST_F(PreparedEntryTest, EveryViewClassComesBackFromAPreparedPage)
{
    TemplateHolder h;
    test::fillSampleTemplate(h);
    ReportStreamWriter w;
    int count = 0;
    for (const auto& page : h.Pages) {
        for (const auto& view : page->ObjectList) {
            view->ExpandedText = view->Memo;
            PreparedObjectEntry::write(*view, w);
            EXPECT_FALSE(view->PreparedMode);
            ++count;
        }
    }
    ReportStreamReader r(w.data(), 21); // the version of an older template read before
    ViewFactory factory;
    int index = 0;
    for (const auto& page : h.Pages) {
        for (const auto& original : page->ObjectList) {
            SCOPED_TRACE(original->Name.toStdString());
            std::unique_ptr<TfrView> back = PreparedObjectEntry::read(r, factory, frRun());
            ASSERT_TRUE(back);
            EXPECT_TRUE(back->PreparedMode);
            EXPECT_EQ(back->ClassName(), original->ClassName());
            EXPECT_EQ(back->Name, original->Name);
            EXPECT_EQ(back->Memo, original->Memo);
            EXPECT_EQ(back->Left, original->Left);
            ++index;
        }
    }
    EXPECT_EQ(index, count);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.version(), 21);
}

} // namespace
} // namespace vaskel
