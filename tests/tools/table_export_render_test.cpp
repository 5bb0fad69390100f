// `vaskel render --xlsx/--html/--csv` on the shipped bill template over the demo database, each
// file opened by the program people open it with: Python's csv module reads the CSV, LibreOffice
// reads the workbook (converted to a flat spreadsheet document whose cells state their types), and
// Chromium draws the HTML page beside the PDF page as poppler draws it. A target that cannot be
// written fails with the reason and leaves nothing behind.
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrPage.h"
#include "tools/RenderCommand.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace vaskel::test {
namespace {

CommandRun runRender(const QStringList& args)
{
    return runCommand(runRenderCommand, args);
}

// Runs a program to its end; its standard output, or empty after a failure.
QByteArray output(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

// The amount a text starts with ("213,011.58 元") as a number.
double amountOf(const QString& text)
{
    static const QRegularExpression amount("^\\s*(-?[\\d,]+(\\.\\d+)?)");
    return amount.match(text).captured(1).remove(',').toDouble();
}

class TableExportRenderTest : public GlobalsTest {
protected:
    void SetUp() override { writeLookTemplate(look); }

    // Renders bill HT23002 with `outputs`; the bill's total as `vaskel render` prints it.
    QString renderBill(const QStringList& outputs)
    {
        const CommandRun r = runRender(QStringList{look, "--demo", "--bill", "HT23002"} + outputs);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return r.out.trimmed();
    }

    QTemporaryDir dir;
    const ScopedDemoFolder demo{dir.filePath("demo")};
    const QString look = dir.filePath("look.frf");
};

// The CSV's lines as Python's csv module reads them (the byte order mark taken off by utf-8-sig).
QList<QStringList> csvRows(const QString& file)
{
    const QByteArray json = output("python3",
        {"-c",
            "import csv, json, sys\n"
            "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
            "    print(json.dumps(list(csv.reader(f))))\n",
            file});
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(json).array()) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields << field.toString();
        rows << fields;
    }
    return rows;
}

TEST_F(TableExportRenderTest, CsvRoundTripsWithPlainAmountsThatSumToTheTotal)
{
    const QString csv = dir.filePath("bill.csv");
    const QString total = renderBill({"--csv", csv, "--pdf", dir.filePath("bill.pdf")});
    QFile raw(csv);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.read(3) == "\xEF\xBB\xBF") << "UTF-8 with a byte order mark";
    const QList<QStringList> rows = csvRows(csv);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.first(), QStringList{"Qeltrin"});
    // The sales rows: number, date, name, unit, quantity, amount.
    static const QRegularExpression isoDate("^\\d{4}-\\d{2}-\\d{2}$");
    static const QRegularExpression plain("^-?\\d+(\\.\\d+)?$");
    double sum = 0;
    int sales = 0;
    for (const QStringList& row : rows) {
        if (row.size() != 6 || !isoDate.match(row.at(1)).hasMatch())
            continue;
        ++sales;
        EXPECT_TRUE(plain.match(row.at(4)).hasMatch()) << row.join('|').toStdString();
        EXPECT_TRUE(plain.match(row.at(5)).hasMatch()) << row.join('|').toStdString();
        sum += row.at(5).toDouble();
    }
    EXPECT_GT(sales, 0);
    const auto totalLine = std::find_if(rows.begin(), rows.end(),
        [](const QStringList& row) { return row.size() == 1 && row.at(0).startsWith("销售合计："); });
    ASSERT_NE(totalLine, rows.end()) << "the group's summary band is a line of its own";
    EXPECT_NEAR(sum, amountOf(totalLine->at(0).mid(5)), 0.005);
    Q_UNUSED(total);
}

} // namespace
} // namespace vaskel::test

namespace vaskel::test {
namespace {

struct SheetCell {
    QString type; // LibreOffice's value type: "float", "date", "string" …
    QString value; // office:value or office:date-value
    QString text;
};

// The first sheet of a spreadsheet document in LibreOffice's flat XML form, row by row.
QList<QList<SheetCell>> sheetRows(const QByteArray& fods)
{
    QList<QList<SheetCell>> rows;
    QXmlStreamReader xml(fods);
    QList<SheetCell> row;
    SheetCell cell;
    int repeat = 1;
    bool inCell = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            if (xml.qualifiedName() == QLatin1String("table:table-row")) {
                row.clear();
            } else if (xml.qualifiedName() == QLatin1String("table:table-cell")
                || xml.qualifiedName() == QLatin1String("table:covered-table-cell")) {
                cell = {a.value("office:value-type").toString(),
                    a.hasAttribute("office:date-value") ? a.value("office:date-value").toString()
                                                        : a.value("office:value").toString(),
                    {}};
                repeat = qMin(64, qMax(1, a.value("table:number-columns-repeated").toInt()));
                inCell = true;
            } else if (inCell && xml.qualifiedName() == QLatin1String("text:p")) {
                if (!cell.text.isEmpty())
                    cell.text += '\n';
                cell.text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (xml.isEndElement()) {
            if (xml.qualifiedName() == QLatin1String("table:table-cell")
                || xml.qualifiedName() == QLatin1String("table:covered-table-cell")) {
                for (int i = 0; i < repeat; ++i)
                    row << cell;
                inCell = false;
            } else if (xml.qualifiedName() == QLatin1String("table:table-row")) {
                rows << row;
            } else if (xml.qualifiedName() == QLatin1String("table:table")) {
                break;
            }
        }
    }
    return rows;
}

QList<SheetCell> filled(const QList<SheetCell>& row)
{
    QList<SheetCell> out;
    for (const SheetCell& c : row)
        if (!c.type.isEmpty())
            out << c;
    return out;
}

TEST_F(TableExportRenderTest, WorkbookReadByLibreOfficeHasNumbersDatesAndTextWhereThePageHasThem)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice, Debian libreoffice-calc-nogui) is not installed";
    const QString xlsx = dir.filePath("bill.xlsx");
    const QString total = renderBill({"--xlsx", xlsx, "--title", "Bill HT23002"});
    ASSERT_TRUE(QFile::exists(xlsx));
    output(soffice,
        {"-env:UserInstallation=file://" + dir.filePath("lo-profile"), "--headless", "--convert-to", "fods",
            "--outdir", dir.path(), xlsx});
    QFile fods(dir.filePath("bill.fods"));
    ASSERT_TRUE(fods.open(QIODevice::ReadOnly)) << "LibreOffice could not read the workbook";
    const QList<QList<SheetCell>> rows = sheetRows(fods.readAll());

    double purchases = 0, sales = 0;
    QString purchaseTotal, salesTotal;
    int dates = 0;
    bool zeros = false;
    for (const QList<SheetCell>& all : rows) {
        const QList<SheetCell> row = filled(all);
        if (row.size() == 1 && row.at(0).text.startsWith("进货合计："))
            purchaseTotal = row.at(0).text.mid(5);
        if (row.size() == 1 && row.at(0).text.startsWith("销售合计："))
            salesTotal = row.at(0).text.mid(5);
        if (row.size() == 4 && row.at(3).type == "float" && row.at(0).type == "string") // purchase line
            purchases += row.at(3).value.toDouble();
        if (row.size() == 6 && row.at(1).type == "date") { // sales line
            ++dates;
            EXPECT_EQ(row.at(5).type, "float") << row.at(5).text.toStdString();
            EXPECT_EQ(row.at(4).type, "float") << row.at(4).text.toStdString();
            EXPECT_EQ(row.at(0).type, "string") << "sales numbers are text";
            EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d{2}-\\d{2}").match(row.at(1).value).hasMatch());
            EXPECT_EQ(row.at(1).text, row.at(1).value.left(10)) << "shown as the page shows it";
            zeros = zeros || row.at(0).text == "0002";
            sales += row.at(5).value.toDouble();
        }
    }
    EXPECT_GT(dates, 0) << "the sales dates are date cells";
    EXPECT_TRUE(zeros) << "\"0002\" keeps its zeros";
    ASSERT_FALSE(purchaseTotal.isEmpty());
    ASSERT_FALSE(salesTotal.isEmpty());
    EXPECT_NEAR(purchases, amountOf(purchaseTotal), 0.005);
    EXPECT_NEAR(sales, amountOf(salesTotal), 0.005);
    EXPECT_NEAR(purchases, amountOf(total), 0.005) << "the total the query window shows";
}

// The page cut into blocks of 8 x 8 pixels: true where a block holds ink.
constexpr int kBlock = 8;
QList<QList<bool>> inkedBlocks(const QImage& page)
{
    const QImage gray = page.convertToFormat(QImage::Format_Grayscale8);
    QList<QList<bool>> blocks(gray.height() / kBlock, QList<bool>(gray.width() / kBlock, false));
    for (int y = 0; y < blocks.size() * kBlock; ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < blocks.first().size() * kBlock; ++x)
            if (line[x] < 160)
                blocks[y / kBlock][x / kBlock] = true;
    }
    return blocks;
}

// The inked blocks of `a` with no ink in `b` at or next to them: what `b` lacks of `a`'s drawing.
int missing(const QList<QList<bool>>& a, const QList<QList<bool>>& b, int& inked)
{
    int lacking = 0;
    inked = 0;
    for (int y = 0; y < a.size(); ++y)
        for (int x = 0; x < a.at(y).size(); ++x) {
            if (!a.at(y).at(x))
                continue;
            ++inked;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int ny = y + dy, nx = x + dx;
                    near = ny >= 0 && ny < b.size() && nx >= 0 && nx < b.at(ny).size() && b.at(ny).at(nx);
                }
            lacking += !near;
        }
    return lacking;
}

TEST_F(TableExportRenderTest, HtmlPageInChromiumLooksLikeThePdfPage)
{
    QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty())
        GTEST_SKIP() << "Chromium (Debian chromium) is not installed";
    const QString html = dir.filePath("bill.html");
    const QString pdf = dir.filePath("bill.pdf");
    renderBill({"--html", html, "--pdf", pdf});
    QFile file(html);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("src=\"http")) << "nothing is fetched from elsewhere";
    EXPECT_TRUE(text.contains("0002"));

    // A4 at 96 pixels per inch; the page block stands 8 pixels below the window's top.
    const QSize page(794, 1123);
    const QString shot = dir.filePath("html.png");
    QProcess browser;
    browser.start(chromium,
        {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
            "--user-data-dir=" + dir.filePath("cr"),
            QStringLiteral("--window-size=%1,%2").arg(page.width()).arg(page.height() + 8),
            "--screenshot=" + shot, "file://" + html});
    ASSERT_TRUE(browser.waitForFinished(120000));
    const QImage browserPage = QImage(shot).copy(QRect(QPoint(0, 8), page));
    ASSERT_FALSE(browserPage.isNull()) << browser.readAllStandardError().toStdString();
    output("pdftoppm", {"-r", "96", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, dir.filePath("pdf")});
    // poppler rounds the page's 793.7 pixels up, the browser's block down.
    const QImage pdfPage = QImage(dir.filePath("pdf.png")).copy(QRect(QPoint(0, 0), page));
    ASSERT_FALSE(pdfPage.isNull());

    // The same drawing within a block: text, frames and fills where the PDF has them, and nothing
    // where it has none. Different rasterisers and hinting leave a few edge blocks apart.
    const QList<QList<bool>> pdfInk = inkedBlocks(pdfPage);
    const QList<QList<bool>> browserInk = inkedBlocks(browserPage);
    int pdfInked = 0, browserInked = 0;
    const int lacking = missing(pdfInk, browserInk, pdfInked);
    const int extra = missing(browserInk, pdfInk, browserInked);
    ASSERT_GT(pdfInked, 500);
    EXPECT_LE(lacking, pdfInked / 50) << "of " << pdfInked << " inked blocks of the PDF page";
    EXPECT_LE(extra, browserInked / 50) << "of " << browserInked << " inked blocks of the browser's page";
    browserPage.save(dir.filePath("browser.png"));
}

TEST_F(TableExportRenderTest, UnwritableTargetsFailWithTheReasonAndLeaveNothing)
{
    const QString frp = dir.filePath("page.frp");
    TfrEMFPages store(nullptr);
    store.InsertPage(0, TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
    store.SaveToFile(frp);
    for (const char* option : {"--xlsx", "--html", "--csv"}) {
        SCOPED_TRACE(option);
        const QString target = dir.filePath("missing/out");
        const CommandRun r = runRender({"--frp", frp, option, target});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains("Cannot create file")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(target));
    }
}

} // namespace
} // namespace vaskel::test
