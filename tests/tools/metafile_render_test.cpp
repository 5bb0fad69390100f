// Metafile pictures through the whole program: a prepared-report file in the oldest layout, whose
// every page is one enhanced metafile, renders to PDF with its text as text and draws onto any
// painter and onto the recording device (what printing and the preview's search use); a picture
// view holding a metafile logo in a template shows the logo in `vaskel render --png`.
#include "PdfText.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LegacyFrp.h"
#include "support/MetafileWriter.h"
#include "support/TestGlobals.h"

#include "platform/DataPaths.h"
#include "platform/RecordingDevice.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrPrinter.h"
#include "tools/RenderCommand.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>

namespace vaskel::test {
namespace {

const QString kTitle = QStringLiteral("Stock report 1998");
const QString kChinese = QString::fromUtf8("合计金额");
const QString kSecond = QStringLiteral("Second page of the archive");

class MetafileRenderTest : public GlobalsTest {
protected:
    MetafileRenderTest()
    {
        QFile out(frp);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(legacyFrp(
            "Virtual printer", {legacyPage(kTitle, kChinese, true), legacyPage(kSecond, {}, true)}));
    }

    QTemporaryDir dir;
    const QString frp = dir.filePath("archive.frp");
};

TEST_F(MetafileRenderTest, LegacyLayoutRendersToPdfWithItsText)
{
    const QString pdf = dir.filePath("archive.pdf");
    const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(kTitle)) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(kChinese)) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(kSecond)) << pages[1].toStdString();
}

TEST_F(MetafileRenderTest, LegacyPagesDrawOntoAnyPainterAndTheRecordingDevice)
{
    TfrEMFPages store(nullptr);
    store.LoadFromFile(frp);
    ASSERT_EQ(store.Count(), 2);

    // The recording device, as the search walks a page: every text run, placed on the page.
    const QSize a4(794, 1123); // A4 at 96 pixels per inch
    RecordingDevice device(a4);
    store.PageAt(0).InUse = true;
    {
        QPainter painter(&device);
        store.DrawPage(0, painter, QRect(QPoint(0, 0), a4));
    }
    const std::vector<RecordedOperation> runs = device.textRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, kTitle);
    EXPECT_EQ(runs[1].text, kChinese);
    // 80 reference pixels are 20 mm: 75.6 pixels at 96 per inch.
    EXPECT_NEAR(runs[0].bounds.left(), 75.6, 2);
    EXPECT_NEAR(runs[1].bounds.top(), 189, 2);

    // Any painter, as printing uses it: the red box at 25..75 × 100..125 mm.
    QImage image(a4, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        store.DrawPage(0, painter, QRect(QPoint(0, 0), a4));
    }
    const double px = 96 / 25.4;
    EXPECT_EQ(image.pixelColor(qRound(50 * px), qRound(112 * px)), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(qRound(80 * px), qRound(112 * px)), QColor(Qt::white));
}

TEST_F(MetafileRenderTest, PictureViewWithAMetafileLogoShowsInPng)
{
    // The logo: a red picture whose right half is blue, 200 × 100.
    EmfWriter logo(QSize(200, 100));
    logo.createBrush(1, 0, Qt::red);
    logo.select(1);
    logo.createPen(2, 5, 0, Qt::black);
    logo.select(2);
    logo.rectangle(QRect(0, 0, 100, 100));
    logo.createBrush(3, 0, Qt::blue);
    logo.select(3);
    logo.rectangle(QRect(100, 0, 100, 100));

    QFile in(DataPaths::dataFile(QStringLiteral("look.json")));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QJsonObject doc = QJsonDocument::fromJson(in.readAll()).object();
    QJsonArray pages = doc.value("pages").toArray();
    QJsonObject page = pages.at(0).toObject();
    QJsonArray views = page.value("views").toArray();
    views.append(QJsonObject{{"type", "picture"}, {"name", "Logo"}, {"left", 620}, {"top", 20},
        {"width", 120}, {"height", 60}, {"flags", 1},
        {"picture",
            QJsonObject{{"kind", "metafile"}, {"data", QString::fromLatin1(logo.finish().toBase64())}}}});
    page.insert("views", views);
    pages.replace(0, page);
    doc.insert("pages", pages);
    TemplateHolder holder;
    TemplateJson::fromJson(QJsonDocument(doc), holder);
    const QString frf = dir.filePath("logo.frf");
    QFile out(frf);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(TemplateWriter::SaveTemplateToStream(holder));
    out.close();

    const ScopedDemoFolder demo(dir.filePath("demo"));
    const QString png = dir.filePath("png"), json = dir.filePath("pages.json");
    const CommandRun r
        = runCommand(runRenderCommand, {frf, "--demo", "--bill", "HT23002", "--png", png, "--json", json});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    // Where the logo was placed on the first page, in report units.
    QFile dump(json);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    QJsonArray rect;
    for (const QJsonValue& o : QJsonDocument::fromJson(dump.readAll())["pages"][0]["objects"].toArray()) {
        if (o["name"].toString() == "Logo")
            rect = o["rect"].toArray();
    }
    ASSERT_EQ(rect.size(), 4);
    const QImage image(QDir(png).filePath("page-001.png"));
    ASSERT_FALSE(image.isNull());
    const double k = image.width() / (2100 / 254.0 * TfrPrinter::kUnitsPerInch); // pixels per unit, A4
    const double x = rect[0].toInt(), y = rect[1].toInt(), w = rect[2].toInt(), h = rect[3].toInt();
    EXPECT_EQ(image.pixelColor(qRound((x + w * 0.25) * k), qRound((y + h / 2) * k)), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(qRound((x + w * 0.75) * k), qRound((y + h / 2) * k)), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(qRound((x + w * 0.5) * k), qRound((y + h + 8) * k)), QColor(Qt::white));
}

} // namespace
} // namespace vaskel::test
