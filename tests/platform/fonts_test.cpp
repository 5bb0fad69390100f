// Font selection: the Windows family names of templates land on the shipped stand-ins, Chinese text
// is drawn and measured with a CJK face, and the report's style bits survive selection.
#include "platform/DataPaths.h"
#include "platform/DrawFont.h"
#include "platform/FontAliases.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QMap>
#include <QRawFont>
#include <QTextLayout>
#include <QXmlStreamReader>

namespace vaskel {
namespace {

// Families Qt draws the glyphs of `text` with, in order.
QStringList drawingFamilies(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns())
        families << run.rawFont().familyName();
    return families;
}

TEST(FontAliases, WindowsNamesResolveToStandIns)
{
    struct Case {
        const char* name;
        const char* family;
    } cases[] = {
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Tahoma", "Tahoma"},
        {"宋体", "AR PL UMing CN"},
        {"SimSun", "AR PL UMing CN"},
        {"新宋体", "AR PL UMing CN"},
        {"NSimSun", "AR PL UMing CN"},
        {"隶书", "AR PL UKai CN"},
        {"LiSu", "AR PL UKai CN"},
        {"黑体", "WenQuanYi Zen Hei Mono"},
        {"SimHei", "WenQuanYi Zen Hei Mono"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        SCOPED_TRACE(c.name);
        const DrawFont font = DrawFont::select(name, 16, 0);
        EXPECT_EQ(QFontInfo(font.font()).family().toStdString(), c.family);
        EXPECT_EQ(FontAliases::resolvedFamily(name).toStdString(), c.family);
    }
    EXPECT_TRUE(FontAliases::missingStandIns().isEmpty())
        << FontAliases::missingStandIns().join(", ").toStdString();
}

TEST(FontAliases, TableAgreesWithShippedFile)
{
    // The alias file prepends the stand-in (then fallbacks) to each Windows name; the first family
    // of each rule is the one the table promises.
    QFile file(DataPaths::dataFile(QStringLiteral("fonts/vaskel-fonts.conf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    QMap<QString, QString> rules;
    QXmlStreamReader xml(&file);
    QString tested;
    bool inTest = false;
    bool inEdit = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"test")
            inTest = true;
        else if (xml.isEndElement() && xml.name() == u"test")
            inTest = false;
        else if (xml.isStartElement() && xml.name() == u"edit")
            inEdit = true;
        else if (xml.isEndElement() && xml.name() == u"edit")
            inEdit = false;
        else if (xml.isStartElement() && xml.name() == u"string") {
            const QString value = xml.readElementText();
            if (inTest)
                tested = value;
            else if (inEdit && !rules.contains(tested))
                rules.insert(tested, value);
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    QMap<QString, QString> table;
    for (const FontAliases::Alias& a : FontAliases::aliases())
        table.insert(a.windowsName, a.standIn);
    EXPECT_EQ(rules, table);
}

TEST(FontAliases, StandInsAreComparedByEveryNameFontconfigKnows)
{
    // Under a Chinese locale Qt names the stand-in of 黑体 "文泉驿等宽正黑"; whichever name the
    // check meets, an installed stand-in is never reported missing.
    const QStringList names = FontAliases::fontconfigFamilies(QStringLiteral("SimHei"));
    EXPECT_TRUE(names.contains(QStringLiteral("WenQuanYi Zen Hei Mono"))) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("文泉驿等宽正黑"))) << names.join(", ").toStdString();
    const QList<FontAliases::Alias> aliases = {
        {QStringLiteral("黑体"), QStringLiteral("文泉驿等宽正黑")},
        {QStringLiteral("SimHei"), QStringLiteral("WenQuanYi Zen Hei Mono")},
        {QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")},
    };
    EXPECT_TRUE(FontAliases::missingStandIns(aliases).isEmpty())
        << FontAliases::missingStandIns(aliases).join(", ").toStdString();
    // A stand-in that is installed but is not what the name resolves to is still reported.
    EXPECT_EQ(FontAliases::missingStandIns({{QStringLiteral("黑体"), QStringLiteral("Liberation Sans")}}),
        QStringList{QStringLiteral("黑体")});
}

TEST(FontAliases, NamesWhoseStandInIsMissingAreReported)
{
    const QList<FontAliases::Alias> aliases = {
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Wingdings"), QStringLiteral("A Family Nobody Installed")},
    };
    EXPECT_EQ(FontAliases::missingStandIns(aliases), QStringList{QStringLiteral("Wingdings")});
    EXPECT_EQ(FontAliases::missingStandInsNotice(aliases).toStdString(),
        "Fonts not installed, drawn with fallback fonts: Wingdings");
    EXPECT_TRUE(FontAliases::missingStandInsNotice(aliases.first(1)).isEmpty());
    // Text in such a family is still drawn, with a fallback face.
    const DrawFont fallback = DrawFont::select(QStringLiteral("Wingdings"), 16, 0);
    EXPECT_FALSE(QFontInfo(fallback.font()).family().isEmpty());
    EXPECT_GT(QFontMetrics(fallback.font()).horizontalAdvance(QStringLiteral("Total")), 0);
}

TEST(DrawFont, ChineseTextUsesCjkFaceWithFullWidthAdvances)
{
    const QString han = QString::fromUtf8("合计金额");
    for (const char* name : {"宋体", "新宋体", "隶书", "黑体", "Arial", "Times New Roman"}) {
        SCOPED_TRACE(name);
        const DrawFont font = DrawFont::select(QString::fromUtf8(name), 16, 0);
        const QFontMetrics metrics(font.font());
        // A Han character is as wide as the character height.
        EXPECT_EQ(metrics.horizontalAdvance(han), 4 * 16);
        const QStringList families = drawingFamilies(font.font(), han);
        ASSERT_EQ(families.size(), 1);
        EXPECT_TRUE(families[0].startsWith("AR PL") || families[0].startsWith("WenQuanYi"))
            << families[0].toStdString();
    }
    // Han inside a Latin family is drawn by the 宋体 stand-in, the Latin by the Latin stand-in.
    const DrawFont arial = DrawFont::select(QStringLiteral("Arial"), 16, 0);
    QStringList families = drawingFamilies(arial.font(), QString::fromUtf8("Total 合计"));
    families.sort();
    EXPECT_EQ(families.join(", ").toStdString(), "AR PL UMing CN, Liberation Sans");
    // Digits in the CJK stand-ins are half as wide, so figures line up under Chinese captions.
    for (const char* name : {"宋体", "黑体"}) {
        const DrawFont font = DrawFont::select(QString::fromUtf8(name), 16, 0);
        EXPECT_EQ(QFontMetrics(font.font()).horizontalAdvance(QStringLiteral("1234567890")), 10 * 8) << name;
    }
}

TEST(DrawFont, PixelHeightStyleBitsAndTurn)
{
    for (quint16 bits = 0; bits < 16; ++bits) {
        SCOPED_TRACE(bits);
        const DrawFont font = DrawFont::select(QStringLiteral("Arial"), 13, bits, bits % 2 == 0);
        EXPECT_EQ(font.styleBits(), bits);
        EXPECT_EQ(font.rotated(), bits % 2 == 0);
        EXPECT_EQ(font.charHeight(), 13);
        const QFontInfo info(font.font());
        EXPECT_EQ(info.pixelSize(), 13);
        EXPECT_EQ(info.italic(), bool(bits & fsItalic));
        EXPECT_EQ(info.bold(), bool(bits & fsBold));
    }
    // A turned copy differs only in its turn.
    const DrawFont upright = DrawFont::select(QString::fromUtf8("宋体"), 20, fsBold);
    EXPECT_EQ(upright.turned(true).font(), upright.font());
    EXPECT_TRUE(upright.turned(true).rotated());
    // The old surface could not make a font of no height; neither can we.
    EXPECT_EQ(DrawFont::select(QStringLiteral("Arial"), 0, 0).charHeight(), 1);
}

TEST(DrawFont, StylesWithoutAFaceAreFakedByTheDrawing)
{
    // Liberation Sans has bold and italic faces; the CJK stand-ins of 宋体 and 黑体 have neither.
    struct Case {
        const char* family;
        quint16 bits;
        int height;
        int emboldening;
        bool slanted;
        int at600 = 0; // the widening drawn at 600 dpi: the screen's share of the height
        int at300 = 0;
    } cases[] = {
        {"Arial", fsBold | fsItalic, 13, 0, false},
        {"宋体", fsBold, 13, 1, false, 1, 1},
        {"宋体", fsBold, 75, 3, false, 6, 3}, // 9 points at 600 dpi: 12 pixels on the screen
        {"宋体", fsBold, 83, 3, false, 6, 3},
        {"宋体", fsBold, 400, 17, false, 19, 17},
        {"黑体", fsBold | fsItalic, 48, 2, true, 4, 3}, // tiny on the screen: a 12th at most
        {"宋体", fsItalic | fsUnderline, 13, 0, true},
        {"宋体", 0, 13, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.bits) + " " + std::to_string(c.height));
        const DrawFont font = DrawFont::select(QString::fromUtf8(c.family), c.height, c.bits);
        EXPECT_EQ(font.styleBits(), c.bits) << "the report's style stays as asked";
        EXPECT_EQ(font.emboldening(), c.emboldening);
        EXPECT_EQ(font.emboldening(96), c.emboldening);
        EXPECT_EQ(font.emboldening(600), c.at600);
        EXPECT_EQ(font.emboldening(300), c.at300);
        EXPECT_EQ(font.slanted(), c.slanted);
        // A faked style is drawn from the plain face, so that no device fakes it on its own.
        const QFontInfo info(font.font());
        EXPECT_EQ(info.bold(), (c.bits & fsBold) && c.emboldening == 0);
        EXPECT_EQ(info.italic(), (c.bits & fsItalic) && !c.slanted);
        EXPECT_EQ(info.underline(), bool(c.bits & fsUnderline));
    }
}

} // namespace
} // namespace vaskel
