// What each view kind shows of its fields: the property table a designer lists, the values scripts
// read and write by name, and the text form of a template with every stored field set. The three
// are checked against golden files, so that a change to one kind's fields shows as a readable
// difference. Run with VASKEL_UPDATE_GOLDEN=1 to write the files anew after an intended change.
#include "SampleTemplate.h"
#include "support/TestGlobals.h"

#include "platform/PlatformError.h"
#include "report/model/ReportLimits.h"
#include "report/model/TemplateJson.h"
#include "report/model/TfrControl.h"

#include <QFile>
#include <QJsonObject>

namespace vaskel {
namespace {

struct SomeControl : TfrControl { };

QString goldenPath(const char* name)
{
    return QString::fromUtf8(VASKEL_TEST_SOURCE_DIR) + QStringLiteral("/tests/model/golden/")
        + QLatin1String(name);
}

void expectGolden(const char* name, const QByteArray& actual)
{
    QFile file(goldenPath(name));
    if (qEnvironmentVariableIsSet("VASKEL_UPDATE_GOLDEN")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name;
        file.write(actual);
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name << ": no golden file";
    EXPECT_EQ(QString::fromUtf8(file.readAll()), QString::fromUtf8(actual)) << name;
}

// Views of every kind, bands of several kinds (a band's table depends on its kind), on one page
// so that the band-name lists have names to offer.
std::vector<TfrView*> everyKind(TfrPage& page)
{
    std::vector<TfrView*> views;
    views.push_back(page.Add(std::make_unique<TfrMemoView>()));
    views.push_back(page.Add(std::make_unique<TfrPictureView>()));
    views.push_back(page.Add(std::make_unique<TfrLineView>()));
    views.push_back(page.Add(std::make_unique<TfrSubReportView>()));
    views.push_back(page.Add(std::make_unique<SomeControl>()));
    for (TfrBandKind kind : {MasterData, PageFooter, GroupHeader, CrossData, Child}) {
        auto band = std::make_unique<TfrBandView>();
        band->FrameTyp = kind;
        views.push_back(page.Add(std::move(band)));
    }
    int n = 0;
    for (TfrView* v : views)
        v->Name = v->NamePrefix + QString::number(++n);
    return views;
}

QString valueText(const Value& v)
{
    if (v.isNull())
        return QStringLiteral("null");
    switch (v.kind()) {
    case TfrValueKind::Boolean:
        return v.boolValue() ? QStringLiteral("true") : QStringLiteral("false");
    case TfrValueKind::Integer:
        // A picture reference's number depends on what else read pictures before.
        if (v.intValue() >= 0x40000000)
            return QStringLiteral("picture reference");
        return QStringLiteral("int ") + QString::number(v.intValue());
    case TfrValueKind::Float:
        return QStringLiteral("float ") + QString::number(v.floatValue(), 'g', 17);
    case TfrValueKind::String:
        return QStringLiteral("text \"") + v.stringValue() + QLatin1Char('"');
    default:
        return QStringLiteral("kind %1").arg(int(v.kind()));
    }
}

// Every name a script may use on some view kind, and a few it may not.
const char* const kNames[] = {"Name", "Left", "Top", "Width", "Height", "Flags", "FrameTyp", "FrameWidth",
    "FrameColor", "FrameStyle", "FillColor", "Visible", "Memo", "DataField", "GapX", "GapY", "Stretched",
    "BandAlign", "Tag", "Memo.Count", "Restrictions", "FormatText", "OnBeforePrint", "Font.Name", "Font.Size",
    "Font.Color", "Font.Style", "Font.Charset", "Font", "Alignment", "LineSpacing", "CharSpacing",
    "Lines.Count", "WordWrap", "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros", "Underlines",
    "RTLReading", "Highlight", "DisplayFormat", "Center", "KeepAspect", "BlobType", "Picture", "ChildBand",
    "Master", "Condition", "Columns", "ColumnGap", "ColumnWidth", "NewColumnAfter", "EOF", "FormNewPage",
    "PrintIfSubsetEmpty", "Breaked", "OnFirstPage", "OnLastPage", "RepeatHeader", "PrintChildIfInvisible",
    "PageIndex", "DataSource", "NoSuchName"};

class ViewFieldsTest : public test::GlobalsTest { };

TEST_F(ViewFieldsTest, PropertyTablesOfEveryKind)
{
    TfrPages pages;
    QByteArray out;
    for (TfrView* v : everyKind(*pages.Add())) {
        v->BuildPropertyTable();
        out += v->ClassName().toUtf8() + ' ' + v->Name.toUtf8() + ":\n";
        for (const TfrPropRec& p : v->PropertyTable()) {
            out += "    " + p.name.toUtf8() + " flags " + QByteArray::number(p.typeFlags);
            if (!p.enumNames.isEmpty())
                out += " names " + p.enumNames.join(QLatin1Char(';')).toUtf8();
            if (p.enumValues) {
                out += " values";
                for (qint32 value : *p.enumValues)
                    out += ' ' + QByteArray::number(value);
            }
            out += '\n';
        }
    }
    expectGolden("property_tables.txt", out);
}

TEST_F(ViewFieldsTest, ScriptsReadAndWriteFieldsByName)
{
    TemplateHolder h;
    test::fillSampleTemplate(h);
    std::vector<TfrView*> views;
    for (int i = 0; i < h.Pages.Count(); ++i) {
        for (const auto& v : h.Pages.Page(i)->ObjectList)
            views.push_back(v.get());
    }
    TfrPages spare;
    for (TfrView* v : everyKind(*spare.Add()))
        views.push_back(v);
    QByteArray out;
    for (TfrView* v : views) {
        out += v->ClassName().toUtf8() + ' ' + v->Name.toUtf8() + ":\n";
        for (const char* name : kNames) {
            const QString n = QString::fromLatin1(name);
            const QString before = valueText(v->ReadProp(n));
            // A whole number, as scripts most often assign; texts and flags take it their way.
            QString refused;
            try {
                v->WriteProp(n.toLower(), Value(qint32(3)));
            } catch (const VaskelError& e) {
                refused = e.message();
            }
            const QString after = valueText(v->ReadProp(n.toUpper()));
            out += "    " + n.toUtf8() + ": " + before.toUtf8();
            if (!refused.isEmpty())
                out += " refused: " + refused.toUtf8();
            if (after != before)
                out += " -> " + after.toUtf8();
            out += '\n';
        }
        out += "    Flags now " + QByteArray::number(v->Flags) + ", memo \"" + v->MemoText().toUtf8()
            + "\", format text \"" + v->FormatText.toUtf8() + "\", limits \""
            + ReportLimits::viewProblem(*v).toUtf8() + "\"\n";
    }
    expectGolden("by_name.txt", out);
}

TEST_F(ViewFieldsTest, TextFormOfEveryStoredField)
{
    TemplateHolder h;
    test::fillSampleTemplate(h);
    TfrPage* extra = h.Pages.Add();
    extra->Name = QStringLiteral("Defaults");
    everyKind(*extra);
    // Add-in classes have no text form.
    std::erase_if(extra->ObjectList, [](const auto& v) { return v->TypeCode > 4; });
    auto text = [](const TemplateHolder& holder) {
        QJsonObject json = TemplateJson::toJson(holder).object();
        json.remove(QStringLiteral("printerName")); // the machine's printers decide it
        return TemplateJson::toText(QJsonDocument(json));
    };
    const QByteArray written = text(h);
    expectGolden("sample_template.json", written);
    // And every field reads back as it was written.
    TemplateHolder read;
    TemplateJson::fromJson(QJsonDocument::fromJson(written), read);
    EXPECT_EQ(QString::fromUtf8(text(read)), QString::fromUtf8(written));
}

} // namespace
} // namespace vaskel
