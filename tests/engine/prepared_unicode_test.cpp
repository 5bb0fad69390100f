// Prepared pages keep their text in the file code page, so saving them is a copy; a page with a
// character outside it goes over to UTF-8, so that character survives drawing and only saving in
// that code page meets it; finished pages beyond the store's plain budget are kept packed and read
// back unchanged.
#include "prepared_PagesFixture.h"

#include "platform/CodePage.h"
#include "platform/PlatformGlobals.h"
#include "report/model/ReportStreamReader.h"

#include <QImage>
#include <QPainter>

namespace vaskel::test {
namespace {

class PreparedUnicodeTest : public PreparedPagesTest {
protected:
    using PreparedPagesTest::save;

    static QString textOf(TfrEMFPages& store, int page)
    {
        store.MaterializePage(page);
        QStringList texts;
        for (const auto& view : store.PageAt(page).LivePage->ObjectList)
            texts += view->Memo;
        store.ReleasePage(page);
        return texts.join(u'|');
    }

    static QByteArray save(TfrEMFPages& store, const CodePage& codePage)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        store.SaveTo(buffer, &codePage);
        return buffer.data();
    }

    // Pages of list lines: Chinese and ASCII text that the file code page holds.
    void fillList(TfrEMFPages& store, int pages)
    {
        for (int p = 0; p < pages; ++p) {
            std::vector<std::unique_ptr<TfrMemoView>> lines;
            std::vector<TfrView*> views;
            for (int i = 0; i < 40; ++i) {
                const int n = p * 40 + i;
                lines.push_back(memo(QStringLiteral("Name"), 20, 60 + 16 * i, 300, 16,
                    {QString::fromUtf8("螺纹钢 HRB400 Φ%1").arg(n), QString::number(n * 0.25, 'f', 2)}));
                views.push_back(lines.back().get());
            }
            addPage(store, views);
        }
    }
};

const QString kEmojiName = QString::fromUtf8("螺纹钢 \U0001F600 HRB400");

TEST_F(PreparedUnicodeTest, TextOutsideTheFileCodePageIsDrawnAndOnlySavingRefusesIt)
{
    const CodePage& gbk = PlatformGlobals::get().codePage;
    ASSERT_EQ(gbk.name(), "GBK");
    TfrEMFPages store(nullptr);
    auto plain = memo("Plain", 10, 10, 200, 20, {QString::fromUtf8("钢板 Q235")});
    addPage(store, {plain.get()});
    // The page goes over to UTF-8 at its second entry; the entries around it are kept.
    auto emoji = memo("Emoji", 10, 30, 200, 20, {kEmojiName});
    auto after = memo("After", 10, 50, 200, 20, {QString::fromUtf8("角钢 L50")});
    addPage(store, {plain.get(), emoji.get(), after.get()});
    EXPECT_EQ(store.PageAt(0).TextCodePage->name(), "GBK");
    EXPECT_EQ(store.PageAt(1).TextCodePage, nullptr) << "UTF-8";

    const QString pageText = QString::fromUtf8("钢板 Q235|") + kEmojiName + QString::fromUtf8("|角钢 L50");
    EXPECT_EQ(textOf(store, 1), pageText) << "decoded for preview, search and printing";
    QImage image(210, 297, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    store.PageAt(1).InUse = true;
    EXPECT_NO_THROW(store.DrawPage(1, painter, image.rect()));
    painter.end();

    // Saving in GBK names the character and the page, and offers UTF-8; the store is unchanged.
    const QString message = messageOf([&] { save(store, gbk); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Page 2: "))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("U+1F600"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("UTF-8"))) << message.toStdString();
    EXPECT_EQ(textOf(store, 1), pageText);

    // Saved in UTF-8 and loaded in UTF-8, the character is kept.
    const CodePage utf8(QStringLiteral("UTF-8"));
    TfrEMFPages loaded(nullptr);
    QBuffer buffer;
    buffer.setData(save(store, utf8));
    buffer.open(QIODevice::ReadOnly);
    loaded.LoadFrom(buffer, &utf8);
    EXPECT_EQ(textOf(loaded, 1), pageText);
    EXPECT_EQ(textOf(loaded, 0), QString::fromUtf8("钢板 Q235"));
}

TEST_F(PreparedUnicodeTest, PagesInTheFileCodePageAreSavedAsTheyAre)
{
    // Every entry encoded in GBK directly, as the file holds it.
    const CodePage& gbk = PlatformGlobals::get().codePage;
    TfrEMFPages store(nullptr);
    fillList(store, 2);
    TfrEMFPages direct(nullptr);
    for (int p = 0; p < 2; ++p) {
        direct.InsertPage(p, a4());
        store.MaterializePage(p);
        for (const auto& view : store.PageAt(p).LivePage->ObjectList) {
            view->ExpandedText = view->Memo;
            ReportStreamWriter w = direct.RecordWriter(p);
            PreparedObjectEntry::write(*view, w, &gbk);
            direct.AppendRecords(p, w);
        }
        store.ReleasePage(p);
    }
    const QByteArray bytes = save(store, gbk);
    EXPECT_EQ(store.PageBytes(0), direct.PageBytes(0)) << "memory holds the file code page";
    EXPECT_TRUE(bytes.contains(direct.PageBytes(1))) << "the file holds the GBK entries";
    // Saved in UTF-8, the same pages are written again with the same text.
    TfrEMFPages inUtf8(nullptr);
    const CodePage utf8(QStringLiteral("UTF-8"));
    QBuffer buffer;
    buffer.setData(save(store, utf8));
    buffer.open(QIODevice::ReadOnly);
    inUtf8.LoadFrom(buffer, &utf8);
    EXPECT_NE(inUtf8.PageBytes(1), direct.PageBytes(1));
    EXPECT_EQ(textOf(inUtf8, 1), textOf(store, 1));

    // Loaded pages keep the file's bytes and are saved again unchanged.
    TfrEMFPages loaded(nullptr);
    load(loaded, bytes);
    EXPECT_EQ(loaded.PageBytes(0), direct.PageBytes(0));
    EXPECT_EQ(save(loaded, gbk), bytes);
    EXPECT_EQ(textOf(loaded, 1), textOf(store, 1));
}

TEST_F(PreparedUnicodeTest, PagesBeyondThePlainBudgetArePackedAndReadBackUnchanged)
{
    TfrEMFPages plain(nullptr);
    fillList(plain, 6);
    TfrEMFPages packed(nullptr);
    packed.PlainPageBudget = plain.PageBytes(0).size() * 5 / 2; // two pages stay plain
    fillList(packed, 6);

    for (int p = 0; p < 6; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(packed.IsPacked(p), p >= 2 && p < 5) << "the last page is not finished yet";
        EXPECT_EQ(packed.PageBytes(p), plain.PageBytes(p));
        EXPECT_EQ(textOf(packed, p), textOf(plain, p));
    }
    EXPECT_LT(packed.PageAt(3).PackedData.size(), plain.PageBytes(3).size() / 4);
    EXPECT_EQ(save(packed), save(plain));

    // Records appended to a packed page (a page printed on again) expand it first.
    auto extra = memo("Extra", 10, 10, 200, 20, {QStringLiteral("appended")});
    emitView(packed, 3, *extra);
    emitView(plain, 3, *extra);
    EXPECT_FALSE(packed.IsPacked(3));
    EXPECT_EQ(packed.PageBytes(3), plain.PageBytes(3));

    // A loaded file is packed the same way.
    TfrEMFPages loaded(nullptr);
    loaded.PlainPageBudget = 0;
    load(loaded, save(plain));
    EXPECT_TRUE(loaded.IsPacked(5));
    EXPECT_EQ(textOf(loaded, 5), textOf(plain, 5));
    EXPECT_EQ(save(loaded), save(plain));
}

} // namespace
} // namespace vaskel::test
