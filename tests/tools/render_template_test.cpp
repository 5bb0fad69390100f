// `vaskel render` with a template against the database: look.frf for one bill over the embedded
// demo database (--demo) and over PostgreSQL (--connection, with the demo data loaded there), read
// back from the PDF and checked against the database's own sums; runs that fail, bad input and
// usage errors; statements bound with --query; the prepared-report file written with --save.
#include "PdfText.h"
#include "support/AppTestDatabase.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"
#include "support/TestGlobals.h"

#include "app/DatabaseConnection.h"
#include "app/DemoDatabase.h"
#include "app/OdbcQuery.h"
#include "tools/RenderCommand.h"

#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>

namespace vaskel::test {
namespace {

CommandRun runRender(const QStringList& args)
{
    return runCommand(runRenderCommand, args);
}

// Column 0 of every row of a statement, read through a connection of the test's own.
QStringList columnOf(const QString& connection, const QString& sql)
{
    DatabaseConnection db(connection);
    OdbcQuery query(QStringLiteral("check"), &db);
    query.setSql(sql);
    query.open();
    QStringList out;
    for (query.first(); !query.eof(); query.next())
        out << query.fieldText(0);
    return out;
}

// Amounts as the template formats them ("#,##0.00").
QString amount(double value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value, 'f', 2);
}

class RenderTemplateTest : public GlobalsTest {
protected:
    void SetUp() override { writeLookTemplate(look); }

    QTemporaryDir dir;
    const ScopedDemoFolder demo{dir.filePath("demo")};
    const QString look = dir.filePath("look.frf");
    const QString pdf = dir.filePath("out.pdf");
    const QString json = dir.filePath("out.json");
};

enum class Source { Demo, Postgres };

class RenderBillTest : public RenderTemplateTest, public ::testing::WithParamInterface<Source> {
protected:
    void SetUp() override
    {
        RenderTemplateTest::SetUp();
        if (GetParam() == Source::Demo) {
            sourceArgs = {"--demo"};
            connection = "DSN=dBASE Files"; // what --demo defines, reachable once it ran
            return;
        }
        pg = std::make_unique<TestDatabase>(Backend::Postgres);
        if (pg->connection().isEmpty())
            GTEST_SKIP() << "postgresql: " << pg->skipReason().toStdString();
        // The demo script, in the types PostgreSQL knows, in place of the standard tables.
        QStringList load{"DROP TABLE sb_tsjh", "DROP TABLE sb_tssb"};
        for (QString s : DemoDatabase::scriptStatements(DemoDatabase::demoScript()))
            load << s.replace(QRegularExpression("\\bDOUBLE\\b"), "DOUBLE PRECISION");
        ASSERT_TRUE(pg->execute(load)) << pg->lastError().toStdString();
        connection = pg->connection();
        sourceArgs = {"--connection", connection};
    }

    QStringList sourceArgs;
    QString connection;
    std::unique_ptr<TestDatabase> pg;
};

TEST_P(RenderBillTest, PdfShowsTheBillsLinesTotalsAndPageCount)
{
    for (const QString bill : {"HT23002", "HT23'017"}) {
        SCOPED_TRACE(bill.toStdString());
        const CommandRun r = runRender(QStringList{look, "--bill", bill, "--pdf", pdf} + sourceArgs);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QString where = " where LDLP_NO=" + OdbcQuery::quoted(bill);
        const double purchase
            = columnOf(connection, "select sum(AMT) from sb_tsjh" + where).value(0).toDouble();
        const double sales
            = columnOf(connection, "select sum(USD_AMT) from sb_tssb" + where).value(0).toDouble();
        ASSERT_GT(purchase, 0);
        ASSERT_GT(sales, 0);
        // Standard output has the total as the window's text box shows it.
        ASSERT_TRUE(r.out.endsWith(" 元\n")) << r.out.toStdString();
        EXPECT_NEAR(r.out.section(' ', 0, 0).toDouble(), purchase, 0.005);

        const QString text = pdfText(pdf);
        EXPECT_TRUE(text.contains("Qeltrin")) << text.toStdString();
        for (const QString& name : columnOf(connection, "select CMNAME from sb_tsjh" + where))
            EXPECT_TRUE(text.contains(name.trimmed())) << name.toStdString();
        for (const QString& number : columnOf(connection, "select SB_NO from sb_tssb" + where))
            EXPECT_TRUE(text.contains(number.trimmed())) << number.toStdString();
        EXPECT_TRUE(text.contains("进货合计：" + amount(purchase))) << text.toStdString();
        EXPECT_TRUE(text.contains("销售合计：" + amount(sales))) << text.toStdString();
        const QRegularExpressionMatch page = QRegularExpression("第 1 页 共 (\\d+) 页").match(text);
        ASSERT_TRUE(page.hasMatch()) << text.toStdString();
        EXPECT_EQ(page.captured(1).toInt(), text.count('\f')) << "the total page count of the two passes";
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, RenderBillTest, ::testing::Values(Source::Demo, Source::Postgres),
    [](const auto& info) { return std::string(info.param == Source::Demo ? "demo" : "postgresql"); });

TEST_F(RenderTemplateTest, BillWithoutPurchaseLinesSaysSoWithAZeroTotal)
{
    // HT23006 has sales lines only; NOSUCH is no bill at all. Both name the bill in the title;
    // neither may print the empty date (1899-12-30) or lose the purchase part without a word.
    struct Case {
        const char* bill;
        QStringList shown;
    };
    const Case cases[] = {
        {"HT23006",
            {"BillNo: 单据号：HT23006", "BillDate: ", "NoPurchases: 无进货记录",
                "NoPurchasesTotal: 进货合计：0.00", "SalesCaption: 销售明细"}},
        {"NOSUCH",
            {"BillNo: 单据号：NOSUCH", "BillDate: ", "NoPurchases: 无进货记录",
                "NoPurchasesTotal: 进货合计：0.00"}},
        {"HT23002",
            {"BillNo: 单据号：HT23002", "BillDate: 日期：2023-01-06",
                "NoPurchases: ", "NoPurchasesTotal: ", "PurchaseCaption: 进货明细"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bill);
        const CommandRun r = runRender({look, "--demo", "--bill", c.bill, "--json", json});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList objects = printedObjects(json);
        for (const QString& line : c.shown)
            EXPECT_TRUE(objects.contains(line)) << line.toStdString() << "\n"
                                                << objects.join('\n').toStdString();
        EXPECT_FALSE(objects.join('\n').contains("1899")) << objects.join('\n').toStdString();
        EXPECT_TRUE(objects.contains("PageNo: 第 1 页 共 1 页")) << objects.join('\n').toStdString();
    }
}

TEST_F(RenderTemplateTest, TotalsAreBoldInThePdf)
{
    // The totals' 宋体 has no bold face on this system: the bold is drawn, and must show in the
    // PDF as it does on screen. Measured on the PDF as poppler renders it: the share of dark
    // pixels in the total's word box against the regular bill number's in the same font size.
    const CommandRun r = runRender({look, "--demo", "--bill", "HT23002", "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    constexpr int dpi = 200;
    QProcess raster;
    raster.start("pdftoppm",
        {"-r", QString::number(dpi), "-png", "-f", "1", "-l", "1", "-singlefile", pdf, dir.filePath("page")});
    ASSERT_TRUE(raster.waitForFinished(30000));
    const QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    // Over the word's leading Chinese characters only (full width: two columns each against
    // one of a figure), so that words of different mixes compare.
    auto inkShare = [&](const QString& start) {
        for (const PdfWord& w : pdfWords(pdf)) {
            if (w.page != 0 || !w.text.startsWith(start))
                continue;
            int columns = 0;
            for (QChar c : w.text)
                columns += c.unicode() >= 0x2E80 ? 2 : 1;
            QRectF cjk = w.box;
            cjk.setWidth(w.box.width() * 2 * start.size() / columns);
            const QRect box = QRectF(cjk.topLeft() * dpi / 72, cjk.bottomRight() * dpi / 72).toRect();
            int ink = 0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    ink += qGray(page.pixel(x, y)) < 128;
            return double(ink) / (box.width() * box.height());
        }
        ADD_FAILURE() << "no word " << start.toStdString();
        return 0.0;
    };
    const double regular = inkShare("单据号");
    EXPECT_GT(inkShare("进货合计"), regular * 1.25);
    EXPECT_GT(inkShare("销售合计"), regular * 1.25);
}

TEST_F(RenderTemplateTest, CalculationErrorExitsNonZeroWithTheMessage)
{
    writeLookTemplate(look, {{"PurchaseField2", "memo", QJsonArray{"[1 mod 0]"}}});
    const CommandRun r = runRender({look, "--demo", "--bill", "HT23002", "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    for (const char* line : {"An error occured during calculating\n[1 mod 0]\n", "Report: frReport1\n",
             "Object: PurchaseField2\n", "Division by zero"})
        EXPECT_TRUE(r.err.contains(line)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf)) << "a failed run writes nothing";
}

TEST_F(RenderTemplateTest, BadInputAndUsageErrors)
{
    const QString notATemplate = dir.filePath("notes.frf");
    {
        QFile f(notATemplate);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("these are not the bytes of a template");
    }
    const struct {
        const char* name;
        QStringList args;
        int code;
        QString message;
    } cases[] = {
        {"missing template", {dir.filePath("nosuch.frf"), "--demo"}, 1,
            "nosuch.frf: The template file does not exist."},
        {"not a template", {notATemplate, "--demo"}, 1, "Unsupported FRF format"},
        {"no pages to render", {}, 2, "give a template or --frp FILE"},
        {"template and prepared file", {look, "--frp", json}, 2, "not both"},
        {"bill without template", {"--frp", json, "--bill", "A"}, 2, "--frp has none"},
        {"query without statement", {look, "--query", "frDBDataSet1"}, 2, "--query needs NAME=STATEMENT"},
        {"unknown code page", {look, "--code-page", "KLINGON"}, 2, "Unknown code page"},
        {"two data sources", {look, "--demo", "--connection", "DSN=x"}, 2, "not both"},
        {"no such data source", {look, "--connection", "DSN=Vaskel No Such Source"}, 1, "Cannot connect"},
        {"statement the database rejects", {look, "--demo", "--query", "frDBDataSet2=select * from nosuch"},
            1, "nosuch"},
        {"bill number not given",
            {look, "--demo", "--query", "frDBDataSet2=select * from sb_tssb where ldlp_no=?"}, 1,
            "give --bill"},
        {"not a query", {look, "--demo", "--query", "frReport1=select 1"}, 1,
            "neither a report dataset nor a query"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun r = runRender(c.args + QStringList{"--pdf", pdf});
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

TEST_F(RenderTemplateTest, QueryBindsStatementsToReportDatasets)
{
    const struct {
        const char* name;
        QList<ViewChange> changes;
        QString binding;
        QString shown;
        QString left;
    } cases[] = {
        {"a report dataset, the bill as parameter", {},
            "frDBDataSet2=select * from sb_tssb where ldlp_no=? and USD_AMT > 1000", "SalesField5: 93,169.50",
            "SalesField5: 869.25"},
        {"a window query, with the columns of its statement", {},
            "ADOQuery1=select LDLP_NO, KPDATE, SUPPLIER as CMNAME, CMUNIT, QNT, AMT from sb_tsjh where "
            "ldlp_no=?",
            "PurchaseField1: 东方五金机电", "PurchaseField1: 铝锭 A00"},
        {"a new report dataset over a query of its own",
            {{"SalesData", "formatText", "Lines"},
                {"SalesField2", "memo", QJsonArray{"[LinesQuery.\"CMNAME\"]"}}},
            "Lines=select CMNAME from sb_tsjh where ldlp_no=? and AMT > 100000", "SalesField2: 铝锭 A00",
            "SalesField2: 轴承 6205"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeLookTemplate(look, c.changes);
        const CommandRun r
            = runRender({look, "--demo", "--bill", "HT23002", "--query", c.binding, "--json", json});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList objects = printedObjects(json);
        EXPECT_TRUE(objects.contains(c.shown)) << objects.join('\n').toStdString();
        EXPECT_FALSE(objects.contains(c.left));
    }
}

TEST_F(RenderTemplateTest, StatementsOfItsOwnNeedNoneOfTheWindowsTables)
{
    TestDatabase db(Backend::Sqlite);
    if (db.connection().isEmpty())
        GTEST_SKIP() << db.skipReason().toStdString();
    ASSERT_TRUE(
        db.execute({"DROP TABLE sb_tsjh", "DROP TABLE sb_tssb", "CREATE TABLE items (NAME VARCHAR(20))",
            "INSERT INTO items VALUES ('螺纹钢')", "INSERT INTO items VALUES ('角钢')"}))
        << db.lastError().toStdString();
    writeLookTemplate(look,
        {{"SalesData", "formatText", "Lines"}, {"SalesField2", "memo", QJsonArray{"[LinesQuery.\"NAME\"]"}}},
        {"SalesData", "SalesField2"});
    const CommandRun r = runRender(
        {look, "--connection", db.connection(), "--query", "Lines=select NAME from items", "--json", json});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(printedObjects(json), QStringList({"SalesField2: 螺纹钢", "SalesField2: 角钢"}));
}

TEST_F(RenderTemplateTest, EveryLineOnSeveralPagesSavedAndRenderedAgain)
{
    // Without a bill the queries hold every line: several pages, each footer with the final count.
    const QString frp = dir.filePath("all.frp");
    const CommandRun run = runRender({look, "--demo", "--save", frp, "--json", json});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList prepared = printedObjects(json);
    const QStringList footers = prepared.filter(QRegularExpression("^PageNo: "));
    ASSERT_GE(footers.size(), 2) << prepared.join('\n').toStdString();
    for (qsizetype i = 0; i < footers.size(); ++i)
        EXPECT_EQ(footers[i], QStringLiteral("PageNo: 第 %1 页 共 %2 页").arg(i + 1).arg(footers.size()));

    const QString again = dir.filePath("again.json");
    const CommandRun reread = runRender({"--frp", frp, "--json", again});
    ASSERT_EQ(reread.code, 0) << reread.err.toStdString();
    EXPECT_EQ(printedObjects(again), prepared);
}

} // namespace
} // namespace vaskel::test
