// `vaskel render --frp`: a hand-built prepared-report file becomes a PDF whose text reads back in
// page order, PNG pages that show objects where their rectangles say, and a JSON dump; bad input
// and usage errors give a message and a non-zero status.
#include "PdfText.h"
#include "support/CommandRun.h"
#include "support/PrintedMemo.h"
#include "support/TestGlobals.h"

#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "tools/RenderCommand.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace vaskel::test {
namespace {

CommandRun runRender(const QStringList& args)
{
    return runCommand(runRenderCommand, args);
}

class RenderCommandTest : public GlobalsTest {
protected:
    RenderCommandTest() { frp = dir.filePath("bill.frp"); }

    // Page 1 (A4): a title and a red box (no frame) at 100..300 × 200..300 report units; page 2
    // (A5 landscape): a closing line. Written as the layout engine writes printed copies.
    void writeFrp()
    {
        TfrPage a4(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0);
        TfrEMFPages store(nullptr);
        auto add = [&](int page, const QString& name, QRect rect, const QString& text, quint32 fill) {
            TfrMemoView m;
            m.Name = name;
            placeMemo(m, rect, text);
            m.FillColor = fill;
            m.Font.Size = 12;
            appendPrinted(store, page, m);
        };
        store.InsertPage(0, a4);
        add(0, "Title", QRect(60, 40, 500, 30), "Purchase bill 4711", clNone);
        add(0, "Box", QRect(100, 200, 200, 100), "", 0x000000FF);
        store.InsertPage(1, TfrPage(&frPrinter(), 11, 1480, 2100, TfrPage::kDefaultBin, 1));
        add(1, "Closing", QRect(60, 40, 500, 30), "Signed by the storekeeper", clNone);
        store.SaveToFile(frp);
    }

    QTemporaryDir dir;
    QString frp;
};

TEST_F(RenderCommandTest, PdfTextReadsBackInPageOrder)
{
    writeFrp();
    const QString pdf = dir.filePath("bill.pdf");
    const CommandRun r = runRender({"--frp", frp, "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Purchase bill 4711")) << pages[0].toStdString();

    // The fonts are embedded, as subsets of the faces the screen uses.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    ASSERT_TRUE(fonts.waitForFinished(20000));
    const QStringList fontLines
        = QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(fontLines.size(), 3) << "no fonts";
    for (const QString& line : fontLines.mid(2))
        EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral("\\byes\\s+yes\\s+yes\\b"))))
            << "embedded subset with its characters: " << line.toStdString();
    EXPECT_TRUE(pages[1].contains("Signed by the storekeeper")) << pages[1].toStdString();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "2", pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression("Pages:\\s+2\\n"))) << text.toStdString();
    // Each page at its own paper: A4 portrait, then A5 landscape (in points).
    EXPECT_TRUE(text.contains(QRegularExpression("Page +1 size: +59[4-6](\\.\\d+)? x 84[12](\\.\\d+)? pts")))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(QRegularExpression("Page +2 size: +59[4-6](\\.\\d+)? x 4(19|20)(\\.\\d+)? pts")))
        << text.toStdString();
}

TEST_F(RenderCommandTest, PngPagesShowObjectsAtTheirRectangles)
{
    writeFrp();
    const QString out = dir.filePath("png");
    const CommandRun r = runRender({"--frp", frp, "--png", out, "--dpi", "192"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"page-001.png", "page-002.png"}));
    const QImage page(QDir(out).filePath("page-001.png"));
    ASSERT_FALSE(page.isNull());
    const double k = 192 / TfrPrinter::kUnitsPerInch; // pixels per report unit
    EXPECT_NEAR(page.width(), 210 / 25.4 * 192, 2) << "A4 at 192 pixels per inch";
    EXPECT_NEAR(page.height(), 297 / 25.4 * 192, 2);
    struct Probe {
        const char* name;
        QPointF units;
        QColor colour;
    };
    const Probe probes[] = {
        {"inside the box", {200, 250}, Qt::red},
        {"inside near its top-left", {104, 204}, Qt::red},
        {"left of the box", {94, 250}, Qt::white},
        {"below the box", {200, 306}, Qt::white},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(page.pixelColor(qRound(p.units.x() * k), qRound(p.units.y() * k)).name(), p.colour.name());
    }
}

TEST_F(RenderCommandTest, JsonListsEveryPageAndObject)
{
    writeFrp();
    const CommandRun r = runRender({"--frp", frp, "--json"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray pages = QJsonDocument::fromJson(r.out.toUtf8()).object().value("pages").toArray();
    ASSERT_EQ(pages.size(), 2);
    const QJsonObject paper = pages[0].toObject().value("paper").toObject();
    EXPECT_EQ(paper.value("code").toInt(), 9);
    EXPECT_EQ(paper.value("width").toInt(), 2100);
    const QJsonArray objects = pages[0].toObject().value("objects").toArray();
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject title = objects[0].toObject();
    EXPECT_EQ(title.value("type").toString(), "memo");
    EXPECT_EQ(title.value("name").toString(), "Title");
    EXPECT_EQ(title.value("rect").toArray(), (QJsonArray{60, 40, 500, 30}));
    EXPECT_EQ(title.value("lines").toArray(), QJsonArray{"Purchase bill 4711"});
    EXPECT_EQ(title.value("font").toObject().value("size").toInt(), 12);
    EXPECT_EQ(objects[1].toObject().value("fillColor").toString(), "0x000000FF");
    EXPECT_EQ(
        pages[1].toObject().value("objects").toArray()[0].toObject().value("name").toString(), "Closing");

    const QString file = dir.filePath("bill.json");
    EXPECT_EQ(runRender({"--json", file, "--frp", frp}).code, 0);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), r.out);
}

TEST_F(RenderCommandTest, BadInputAndUsageErrors)
{
    writeFrp();
    QFile whole(frp);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    const QString cut = dir.filePath("cut.frp");
    QFile cutFile(cut);
    ASSERT_TRUE(cutFile.open(QIODevice::WriteOnly));
    cutFile.write(bytes.left(bytes.size() - 12)); // inside the second page
    cutFile.close();

    struct Case {
        const char* name;
        QStringList args;
        int code;
        QString message;
    };
    const Case cases[] = {
        {"missing file", {"--frp", dir.filePath("none.frp"), "--json"}, 1, "Cannot open file"},
        {"cut short: first page still written", {"--frp", cut, "--json"}, 1, "Stream read error"},
        {"no input", {"--json"}, 2, "give a template or --frp FILE"},
        {"no output", {"--frp", frp}, 2, "nothing to write"},
        {"bad resolution", {"--frp", frp, "--png", dir.path(), "--dpi", "0"}, 2, "--dpi needs"},
        {"unknown option", {"--frp", frp, "--svg", "x"}, 2, "unknown argument \"--svg\""},
        {"option without its value", {"--frp"}, 2, "--frp needs FILE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun r = runRender(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    const CommandRun partial = runRender({"--frp", cut, "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(partial.out.toUtf8()).object().value("pages").toArray().size(), 1);
}

} // namespace
} // namespace vaskel::test
