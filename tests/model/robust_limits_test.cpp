// Hostile numbers in templates: the binary reader, the JSON reader and the prepared-page decoder
// refuse the same values with a message that names them, so nothing one reader accepts is refused
// by another (a saved .frp file the program could not open). Also the dictionary's name index.
#include "support/TestGlobals.h"

#include "report/model/EStreamError.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrDataDictionary.h"
#include "report/model/TfrMemoView.h"
#include "report/model/ViewFactory.h"

#include <QJsonArray>
#include <QJsonObject>

#include <functional>
#include <limits>

namespace vaskel {
namespace {

constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();

class RobustLimitsTest : public test::GlobalsTest {
protected:
    // One page with a band and a memo in it, as a designer would leave it.
    static void fill(TemplateHolder& h)
    {
        TfrPage* page = h.Pages.Add();
        page->Name = QStringLiteral("Page1");
        auto band = std::make_unique<TfrBandView>();
        band->Name = QStringLiteral("Band1");
        band->FrameTyp = TfrBandKind::MasterData;
        band->Top = 20;
        band->Height = 30;
        page->Add(std::move(band));
        auto memo = std::make_unique<TfrMemoView>();
        memo->Name = QStringLiteral("Memo1");
        memo->Top = 20;
        memo->Width = 100;
        memo->Height = 18;
        memo->Memo = {QStringLiteral("text")};
        page->Add(std::move(memo));
    }
    static TfrView& view(TemplateHolder& h, int i) { return *h.Pages.Page(0)->ObjectList.at(i); }
};

TEST_F(RobustLimitsTest, TheThreeReadersRefuseTheSameValuesAndNameThem)
{
    struct Case {
        const char* name;
        std::function<void(TemplateHolder&)> spoil;
        const char* named; // what every message must mention
        bool wholePage; // a page value refuses the template; a view value skips the view
    };
    const Case cases[] = {
        {"paper 2^31-1", [](TemplateHolder& h) { h.Pages.Page(0)->PaperSizeX = kMax; },
            "paper size 2147483647", true},
        {"margin -2^31", [](TemplateHolder& h) { h.Pages.Page(0)->Margins[1] = kMin; }, "margin -2147483648",
            true},
        {"column gap -2^31", [](TemplateHolder& h) { h.Pages.Page(0)->ColumnGap = kMin; },
            "column width or gap -2147483648", true},
        {"band height 2^31-1", [](TemplateHolder& h) { view(h, 0).Height = kMax; },
            "Band1: object geometry 2147483647", false},
        {"band column gap -2^31",
            [](TemplateHolder& h) { static_cast<TfrBandView&>(view(h, 0)).ColumnGap = kMin; },
            "Band1: column width or gap -2147483648", false},
        {"font size 2^31-1",
            [](TemplateHolder& h) { static_cast<TfrMemoView&>(view(h, 1)).Font.Size = kMax; },
            "Memo1: font size 2147483647", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemplateHolder source;
        fill(source);
        c.spoil(source);

        // The binary template reader.
        scriptedUi->clear();
        const QByteArray stream = TemplateWriter::SaveTemplateToStream(source, 45000);
        TemplateHolder read;
        TemplateReader::LoadTemplateFromStream(read, stream, TemplateReader::StreamSource::File);
        const QList<Interaction> shown = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].text.contains(QLatin1String(c.named))) << shown[0].text.toStdString();
        EXPECT_EQ(shown[0].caption, UiServices::applicationTitle());
        EXPECT_TRUE(shown[0].text.contains(QLatin1String("byte offset"))) << shown[0].text.toStdString();
        if (!c.wholePage)
            EXPECT_EQ(read.Pages.Page(0)->ObjectList.size(), 1u) << "only the damaged view is left out";

        // The JSON reader.
        TemplateHolder fromJson;
        try {
            TemplateJson::fromJson(TemplateJson::toJson(source), fromJson);
            ADD_FAILURE() << "the JSON reader accepted it";
        } catch (const TemplateJsonError& e) {
            const QString named = QString::fromLatin1(c.named).section(QLatin1String(": "), -1);
            // Margins are checked as the list is read, under the list's own key.
            EXPECT_TRUE(e.message().contains(named) || e.message().contains(QLatin1String("margins")))
                << e.message().toStdString();
        }

        // The prepared-page decoder (views only: pages carry no template page record).
        if (!c.wholePage) {
            TfrView& spoilt = view(source, c.named[0] == 'B' ? 0 : 1);
            ReportStreamWriter w;
            PreparedObjectEntry::write(spoilt, w);
            ReportStreamReader r(w.takeData());
            ViewFactory factory;
            EXPECT_THROW(PreparedObjectEntry::read(r, factory, frRun()), EStreamError);
        }
    }
}

TEST_F(RobustLimitsTest, JsonNumbersAreNeverClampedSilently)
{
    struct Case {
        const char* name;
        std::function<void(QJsonObject& page)> spoil;
        const char* named;
    };
    const auto firstView = [](QJsonObject& page, const char* key, const QJsonValue& v) {
        QJsonArray views = page.value(QStringLiteral("views")).toArray();
        QJsonObject o = views.at(1).toObject();
        o.insert(QLatin1String(key), v);
        views.replace(1, o);
        page.insert(QStringLiteral("views"), views);
    };
    const Case cases[] = {
        {"frame width 1e300", [&](QJsonObject& p) { firstView(p, "frameWidth", 1e300); }, "frameWidth"},
        {"fractional margin",
            [](QJsonObject& p) {
                p.insert("margins", QJsonArray{0.5, 0, 0, 0});
            },
            "margins"},
        {"huge margin",
            [](QJsonObject& p) {
                p.insert("margins", QJsonArray{0, 1e12, 0, 0});
            },
            "margins"},
        {"paper beyond 20 m", [](QJsonObject& p) { p.insert("paperWidth", 2000000); }, "paper size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemplateHolder source;
        fill(source);
        QJsonObject root = TemplateJson::toJson(source).object();
        QJsonArray pages = root.value(QStringLiteral("pages")).toArray();
        QJsonObject page = pages.at(0).toObject();
        c.spoil(page);
        pages.replace(0, page);
        root.insert(QStringLiteral("pages"), pages);
        TemplateHolder h;
        try {
            TemplateJson::fromJson(QJsonDocument(root), h);
            ADD_FAILURE() << "accepted";
        } catch (const TemplateJsonError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.named))) << e.message().toStdString();
        }
    }
}

TEST_F(RobustLimitsTest, EmptyTemplateFileIsAnErrorAnEmptyMemoryStreamIsNot)
{
    TemplateHolder h;
    h.Pages.Add();
    h.Pages.Add();
    TemplateReader::LoadTemplateFromStream(h, QByteArray(), TemplateReader::StreamSource::Memory);
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).isEmpty());
    EXPECT_EQ(h.Pages.Count(), 2);
    TemplateReader::LoadTemplateFromStream(h, QByteArray(), TemplateReader::StreamSource::File);
    const QList<Interaction> shown = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, "Unsupported FRF format\rThe file is empty.");
}

// The index must find exactly what a search of the list finds: the first entry of a name in any
// case, after renames, deletions, sorting and switching sorting off again.
TEST_F(RobustLimitsTest, DictionaryIndexFollowsEveryChangeOfTheList)
{
    TfrVariables v;
    v.SetValue(QStringLiteral("Total"), Value(QStringLiteral("1")));
    v.SetValue(QStringLiteral("beta"), Value(QStringLiteral("2")));
    EXPECT_EQ(v.IndexOf(QStringLiteral("TOTAL")), 0);
    v.SetValue(QStringLiteral("TOTAL"), Value(QStringLiteral("3")));
    EXPECT_EQ(v.Count(), 2) << "one name in any case";
    v.SetNames(0, QStringLiteral("Sum"));
    EXPECT_EQ(v.IndexOf(QStringLiteral("total")), -1);
    EXPECT_EQ(v.GetValue(QStringLiteral("SUM")).toText(), "3");
    v.Delete(0);
    EXPECT_EQ(v.IndexOf(QStringLiteral("beta")), 0);
    v.SetValue(QStringLiteral("alpha"), Value(QStringLiteral("4")));
    v.SetSorted(true);
    v.SetValue(QStringLiteral("gamma"), Value(QStringLiteral("5")));
    v.SetSorted(false);
    EXPECT_EQ(v.IndexOf(QStringLiteral("Alpha")), 0);
    EXPECT_EQ(v.IndexOf(QStringLiteral("GAMMA")), 2);
    v.Clear();
    EXPECT_EQ(v.IndexOf(QStringLiteral("beta")), -1);

    // A dictionary of 40,000 variables (quadratic before: over a minute) reads back whole.
    TfrDataDictionary d;
    for (int i = 0; i < 40000; ++i)
        d.Variables.SetValue(QStringLiteral("Var%1").arg(i), Value(QStringLiteral("[Q.\"F%1\"]").arg(i)));
    ReportStreamWriter w;
    d.WriteDictionaryBlock(w);
    TfrDataDictionary back;
    ReportStreamReader r(w.takeData());
    back.ReadDictionaryBlock(r);
    ASSERT_EQ(back.Variables.Count(), 40000);
    EXPECT_EQ(back.Variables.GetValue(QStringLiteral("VAR39999")).toText(), "[Q.\"F39999\"]");
}

} // namespace
} // namespace vaskel
