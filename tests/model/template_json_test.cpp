// The JSON form of templates: building the dump of a template gives its bytes back, and broken
// JSON names the place it breaks.
#include "SampleTemplate.h"
#include "support/TestGlobals.h"

#include "report/model/TemplateJson.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vaskel {
namespace {

class TemplateJsonTest : public test::GlobalsTest {
protected:
    static QByteArray dumpThenBuild(const QByteArray& stream, QJsonDocument* json = nullptr)
    {
        TemplateHolder read;
        TemplateReader::LoadTemplateFromStream(read, stream, TemplateReader::StreamSource::Memory);
        const QJsonDocument doc = TemplateJson::toJson(read);
        if (json)
            *json = doc;
        // Through the text form, as the command line does.
        TemplateHolder built;
        TemplateJson::fromJson(QJsonDocument::fromJson(TemplateJson::toText(doc)), built);
        return TemplateWriter::SaveTemplateToStream(built, 46000.25);
    }
};

TEST_F(TemplateJsonTest, BuildOfDumpGivesTheSameBytes)
{
    TemplateHolder h;
    test::fillSampleTemplate(h);
    const QByteArray original = TemplateWriter::SaveTemplateToStream(h, 46000.25);
    QJsonDocument json;
    EXPECT_EQ(dumpThenBuild(original, &json), original);
    EXPECT_TRUE(scriptedUi->interactions().isEmpty());

    // A template of defaults dumps without the default fields.
    TemplateHolder plain;
    plain.Pages.Add()->Add(std::make_unique<TfrMemoView>());
    const QByteArray plainBytes = TemplateWriter::SaveTemplateToStream(plain, 46000.25);
    EXPECT_EQ(dumpThenBuild(plainBytes, &json), plainBytes);
    const QJsonObject memo = json.object()["pages"].toArray()[0].toObject()["views"].toArray()[0].toObject();
    EXPECT_FALSE(memo.contains(QStringLiteral("frameWidth")));
    EXPECT_FALSE(memo.contains(QStringLiteral("flags")));
    EXPECT_EQ(memo["font"].toObject()["name"].toString(), QStringLiteral("Arial"));
    const QByteArray text = TemplateJson::toText(json);
    EXPECT_TRUE(text.contains("\"margins\": [0, 0, 0, 0],\n")) << text.constData();
    EXPECT_TRUE(text.contains("\n    \"pages\": [\n")) << text.constData();
}

TEST_F(TemplateJsonTest, FieldsReadAsAPersonWritesThem)
{
    const QByteArray text = R"({
        "pages": [{"name": "Page1", "views": [
            {"type": "band", "name": "Band1", "bandKind": "MasterData", "formatText": "frDBDataSet1",
             "top": 100, "height": 20},
            {"type": "memo", "name": "Memo1", "left": 10, "top": 100, "width": 80, "height": 20,
             "memo": ["[Q1.\"AMT\"]"], "frameWidth": 0.7, "fillColor": "0x00FFFF00",
             "font": {"name": "宋体", "size": 9}}
        ]}],
        "dictionary": {"variables": [[" Totals", ""], ["Sum", "[A] + [B]"]]}
    })";
    TemplateHolder h;
    TemplateJson::fromJson(QJsonDocument::fromJson(text), h);
    ASSERT_EQ(h.Pages.Count(), 1);
    const auto& views = h.Pages.Page(0)->ObjectList;
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0]->FrameTyp, MasterData);
    auto* memo = dynamic_cast<TfrMemoView*>(views[1].get());
    ASSERT_TRUE(memo);
    EXPECT_FLOAT_EQ(memo->FrameWidth, 0.7f);
    EXPECT_EQ(memo->FillColor, 0x00FFFF00u);
    EXPECT_EQ(memo->Font.Name, QStringLiteral("宋体"));
    EXPECT_EQ(memo->Flags, 3) << "absent fields keep the class defaults";
    EXPECT_EQ(h.Dictionary.Variables.Count(), 2);
}

TEST_F(TemplateJsonTest, BrokenJsonNamesThePlace)
{
    struct Case {
        const char* name;
        const char* json;
        const char* message;
    } cases[] = {
        {"not an object", "[1]", "template: an object is expected"},
        {"unknown view type", R"({"pages": [{"views": [{"type": "chart"}]}]})",
            "template.pages[0].views[0].type: one of the documented names is expected"},
        {"fraction where a whole number belongs",
            R"({"pages": [{"views": [{"type": "memo", "left": 1.5}]}]})",
            "template.pages[0].views[0].left: a whole number in range is expected"},
        {"colour not in hexadecimal", R"({"pages": [{"views": [{"type": "line", "frameColor": "red"}]}]})",
            "template.pages[0].views[0].frameColor: a colour such as \"0x00BBGGRR\" is expected"},
        {"picture data not base64",
            R"({"pages": [{"views": [{"type": "picture", "picture": {"kind": "jpeg", "data": "*"}}]}]})",
            "template.pages[0].views[0].picture.data: base64 text is expected"},
        {"misspelt key", R"({"pages": [{"views": [{"type": "memo", "fillColour": "0x00FFFFFF"}]}]})",
            "template.pages[0].views[0].fillColour: unknown key"},
        {"key of another view class", R"({"pages": [{"views": [{"type": "line", "pageIndex": 1}]}]})",
            "template.pages[0].views[0].pageIndex: unknown key"},
        {"byte field out of range", R"({"pages": [{"orientation": 256}]})",
            "template.pages[0].orientation: a whole number in range is expected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemplateHolder h;
        try {
            TemplateJson::fromJson(QJsonDocument::fromJson(c.json), h);
            ADD_FAILURE() << "accepted";
        } catch (const TemplateJsonError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
        }
    }
}

} // namespace
} // namespace vaskel
