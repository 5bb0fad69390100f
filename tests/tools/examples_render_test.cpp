// The example templates of data/examples rendered over the embedded demo database with the
// statements their comments name, and read back from the PDF: the cross-tab of sales quantities
// per material and month, and the purchase and sales lines printed side by side as sub-reports;
// and the PDF outline of grouped reports: the headers of the outermost groups, else the pages.
#include "PdfText.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "support/TestGlobals.h"

#include "platform/DataPaths.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TemplateJson.h"
#include "report/model/TemplateWriter.h"
#include "tools/RenderCommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>

namespace vaskel::test {
namespace {

// Rows of a statement over the demo data source, columns joined with " ".
QStringList rowsOf(const QString& sql)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QODBC", "vaskel-examples-test");
        db.setDatabaseName("dBASE Files");
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(sql);
            while (q.next()) {
                QStringList columns;
                for (int i = 0; i < q.record().count(); ++i)
                    columns << q.value(i).toString().trimmed();
                out << columns.join(' ');
            }
        }
    }
    QSqlDatabase::removeDatabase("vaskel-examples-test");
    return out;
}

class ExamplesRender : public GlobalsTest {
protected:
    // data/examples/<name>.json, the example template as JSON.
    static QJsonDocument example(const QString& name)
    {
        QFile in(DataPaths::dataFile(QStringLiteral("examples/%1.json").arg(name)));
        if (!in.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(in.readAll());
    }

    // Builds data/examples/<name>.json into a template and renders it with the --query bindings
    // its comment names ("... Queries: NAME = STATEMENT; NAME = STATEMENT") to `pdf`, its prepared
    // pages saved to `frp`; answers the PDF's text.
    QString render(const QString& name)
    {
        const QJsonDocument json = example(name);
        if (json.isNull())
            return QStringLiteral("cannot read the example ") + name;
        return render(json, name);
    }

    // The same for a template given as JSON.
    QString render(const QJsonDocument& json, const QString& name)
    {
        TemplateHolder holder;
        TemplateJson::fromJson(json, holder);
        const QString frf = dir.filePath(name + QStringLiteral(".frf"));
        QFile out(frf);
        if (!out.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write ") + frf;
        out.write(TemplateWriter::SaveTemplateToStream(holder));
        out.close();

        QStringList args{
            frf, QStringLiteral("--demo"), QStringLiteral("--pdf"), pdf, QStringLiteral("--save"), frp};
        const QString comment = json.object().value("info").toObject().value("comment").toString();
        for (const QString& binding :
            comment.section(QStringLiteral("Queries: "), 1).split(QStringLiteral("; "))) {
            args << QStringLiteral("--query")
                 << binding.section(QStringLiteral(" = "), 0, 0) + QLatin1Char('=')
                    + binding.section(QStringLiteral(" = "), 1);
        }
        const CommandRun r = runCommand(runRenderCommand, args);
        if (r.code != 0)
            return QStringLiteral("render failed: ") + r.err;
        return pdfText(pdf);
    }

    QTemporaryDir dir;
    // --demo builds the demo database in a folder of this test's own.
    const ScopedDemoFolder demo{dir.filePath("demo")};
    const QString pdf = dir.filePath("out.pdf");
    const QString frp = dir.filePath("out.frp");
};

// The template's number format "##0.#".
QString quantity(double value)
{
    QString text = QString::number(value, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

TEST_F(ExamplesRender, SalesByMonthCrossTab)
{
    const QString text = render(QStringLiteral("sales_by_month"));
    ASSERT_TRUE(text.contains("各物资每月销售数量")) << text.toStdString();
    // Each material's row holds its quantity of every month, in the month's column.
    const QStringList months = rowsOf("select distinct substr(LJ_DATE, 1, 7) from sb_tssb order by 1");
    ASSERT_EQ(months.size(), 4);
    EXPECT_TRUE(text.contains(QRegularExpression(months.join(QStringLiteral("\\s+"))))) << text.toStdString();
    for (const QString& row : rowsOf("select CMNAME, "
                                     "sum(QNT * (substr(LJ_DATE, 1, 7) = '2023-01')), "
                                     "sum(QNT * (substr(LJ_DATE, 1, 7) = '2023-02')), "
                                     "sum(QNT * (substr(LJ_DATE, 1, 7) = '2023-03')), "
                                     "sum(QNT * (substr(LJ_DATE, 1, 7) = '2023-04')) "
                                     "from sb_tssb group by CMNAME")) {
        const QStringList f = row.split(' ');
        const QString material = f.mid(0, f.size() - 4).join(' ');
        QStringList cells;
        for (const QString& q : f.mid(f.size() - 4))
            cells << quantity(q.toDouble());
        const QRegularExpression line(
            QRegularExpression::escape(material) + ".*\\s" + cells.join(QStringLiteral("\\s+")) + "\\s*$",
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(text.contains(line)) << material.toStdString() << ": " << cells.join(' ').toStdString();
    }
    // The totals row sums each month's column.
    QStringList totals;
    for (const QString& m :
        rowsOf("select substr(LJ_DATE, 1, 7) as M, sum(QNT) from sb_tssb group by M order by M"))
        totals << quantity(m.section(' ', 1).toDouble());
    EXPECT_TRUE(text.contains(QRegularExpression("合计\\s+" + totals.join(QStringLiteral("\\s+")))))
        << totals.join(' ').toStdString() << "\n"
        << text.toStdString();
    // The materials' group header prints nothing: the outline names each group by its material.
    QStringList outline;
    for (const QString& material : rowsOf("select distinct CMNAME from sb_tssb order by CMNAME"))
        outline << QStringLiteral("1 ") + material;
    EXPECT_EQ(pdfOutline(pdf).join(u'\n').toStdString(), outline.join(u'\n').toStdString());
}

TEST_F(ExamplesRender, PurchasesAndSalesSideBySide)
{
    const QString text = render(QStringLiteral("purchases_and_sales"));
    ASSERT_TRUE(text.contains("进货与销售明细")) << text.toStdString();
    // 88 purchase lines beside 71 sales lines need more than one page; the following pages carry
    // the continuation header, and both lists end with their totals.
    const int pages = text.count('\f');
    EXPECT_GE(pages, 2);
    EXPECT_EQ(text.count("进货与销售明细（续）"), pages - 1);
    EXPECT_TRUE(text.contains(QRegularExpression("进货：\\s+销售："))) << "both lists start on one line";
    const QString purchase = rowsOf("select sum(AMT) from sb_tsjh").value(0);
    const QString sales = rowsOf("select sum(USD_AMT) from sb_tssb").value(0);
    EXPECT_TRUE(text.contains(QString::number(purchase.toDouble(), 'f', 2))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::number(sales.toDouble(), 'f', 2))) << text.toStdString();
    for (const QString& name : rowsOf("select distinct CMNAME from sb_tsjh"))
        EXPECT_TRUE(text.contains(name)) << name.toStdString();
    EXPECT_TRUE(text.contains("— 完 —"));
}

// Purchase lines grouped by supplier, then by material; the supplier's header (two memos, the
// caption written after the name) repeats at the top of each page its group continues on.
const char* const kGroupedLines = R"json({
 "info": {"name": "grouped", "comment": "Queries: frDBDataSet1 = SELECT SUPPLIER, CMNAME, KPDATE, QNT FROM sb_tsjh ORDER BY SUPPLIER, CMNAME, KPDATE"},
 "pages": [{"kind": "report", "name": "Page1", "paperCode": 9, "paperWidth": 2100, "paperHeight": 2970,
  "orientation": 0, "margins": [0, 0, 0, 0], "marginsFlag": true, "columns": 1, "views": [
  {"type": "band", "bandKind": "GroupHeader", "name": "Supplier", "formatText": "ADOQuery1.\"SUPPLIER\"", "flags": 64,
   "left": 0, "top": 20, "width": 756, "height": 30},
  {"type": "memo", "name": "SupplierName", "memo": ["[ADOQuery1.\"SUPPLIER\"]"], "left": 120, "top": 24, "width": 300,
   "height": 20, "font": {"name": "Arial", "size": 11}},
  {"type": "memo", "name": "SupplierCaption", "memo": ["Supplier:   "], "left": 20, "top": 24, "width": 100,
   "height": 20, "font": {"name": "Arial", "size": 11}},
  {"type": "band", "bandKind": "GroupHeader", "name": "Material", "formatText": "ADOQuery1.\"CMNAME\"", "left": 0,
   "top": 60, "width": 756, "height": 20},
  {"type": "memo", "name": "MaterialName", "memo": ["Material [ADOQuery1.\"CMNAME\"]"], "left": 40, "top": 60,
   "width": 300, "height": 20, "font": {"name": "Arial", "size": 10}},
  {"type": "band", "bandKind": "MasterData", "name": "Line", "formatText": "frDBDataSet1", "left": 0, "top": 90,
   "width": 756, "height": 18},
  {"type": "memo", "name": "LineDate", "memo": ["[ADOQuery1.\"KPDATE\"]"], "left": 60, "top": 90, "width": 100,
   "height": 18, "font": {"name": "Arial", "size": 9}}
 ]}]})json";

// Where the outline's entries lead, in order: points from the top of an A4 page, as the PDF's
// destinations hold them (cairo writes them uncompressed).
QList<double> outlineTops(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString raw = QString::fromLatin1(file.readAll());
    static const QRegularExpression dest(QStringLiteral(R"re(/Dest \[\d+ 0 R /XYZ [\d.]+ ([\d.]+) 0\])re"));
    QList<double> tops;
    for (const QRegularExpressionMatch& m : dest.globalMatch(raw))
        tops << 842 - m.captured(1).toDouble();
    return tops;
}

// The outline that lists the pages, as the outline comparisons read it: one line per entry.
std::string perPageOutline(int pages)
{
    QStringList outline;
    for (int page = 1; page <= pages; ++page)
        outline << QStringLiteral("%1 Page %1").arg(page);
    return outline.join(u'\n').toStdString();
}

TEST_F(ExamplesRender, OutlineNamesTheOutermostGroupHeadersWhereTheyPrinted)
{
    const QString text = render(QJsonDocument::fromJson(kGroupedLines), QStringLiteral("grouped"));
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3) << text.toStdString();
    // One entry per supplier, on the page its group starts, titled with the header's memos read
    // left to right; not the material headers inside, nor the supplier's repeats on later pages.
    QStringList outline;
    int headersPrinted = 0;
    for (const QString& supplier : rowsOf("select distinct SUPPLIER from sb_tsjh order by SUPPLIER")) {
        const QRegularExpression header("Supplier:\\s+" + QRegularExpression::escape(supplier));
        int first = 0;
        for (int page = pages.size(); page >= 1; --page) {
            if (pages[page - 1].contains(header)) {
                first = page;
                ++headersPrinted;
            }
        }
        outline << QStringLiteral("%1 Supplier: %2").arg(first).arg(supplier);
    }
    EXPECT_GT(headersPrinted, outline.size()) << "some supplier's header repeats on a new page";
    EXPECT_EQ(pdfOutline(pdf).join(u'\n').toStdString(), outline.join(u'\n').toStdString())
        << text.toStdString();
    // Each entry leads to its header's line: the caption's word box starts just below it.
    const QList<double> tops = outlineTops(pdf);
    ASSERT_EQ(tops.size(), outline.size());
    const QList<PdfWord> words = pdfWords(pdf);
    for (qsizetype i = 0; i < tops.size(); ++i) {
        const int page = outline[i].section(u' ', 0, 0).toInt() - 1;
        const bool found = std::any_of(words.begin(), words.end(), [&](const PdfWord& w) {
            return w.page == page && w.text == QLatin1String("Supplier:") && w.box.top() >= tops[i]
                && w.box.top() < tops[i] + 12;
        });
        EXPECT_TRUE(found) << outline[i].toStdString() << " leads to " << tops[i] << " pt";
    }
    // The prepared-report file keeps no notes of what printed: its PDF lists the pages.
    const QString again = dir.filePath("again.pdf");
    ASSERT_EQ(
        runCommand(runRenderCommand, {QStringLiteral("--frp"), frp, QStringLiteral("--pdf"), again}).code, 0);
    EXPECT_EQ(pdfOutline(again).join(u'\n').toStdString(), perPageOutline(int(pages.size())));
}

TEST_F(ExamplesRender, GroupsOfASubReportLeaveTheOutlineToThePages)
{
    // The purchase list, a sub-report, gets a header for each day.
    QJsonObject root = example(QStringLiteral("purchases_and_sales")).object();
    QJsonArray reports = root.value("pages").toArray();
    QJsonObject purchases = reports[1].toObject();
    ASSERT_EQ(purchases.value("name").toString(), QStringLiteral("Purchase"));
    QJsonArray views = purchases.value("views").toArray();
    views.append(QJsonDocument::fromJson(R"({"type": "band", "bandKind": "GroupHeader", "name": "Day",
        "formatText": "ADOQuery1.\"KPDATE\"", "left": 0, "top": 62, "width": 300, "height": 8})")
                     .object());
    views.append(
        QJsonDocument::fromJson(R"({"type": "memo", "name": "DayText", "memo": ["Day [ADOQuery1.\"KPDATE\"]"],
        "left": 0, "top": 62, "width": 200, "height": 8, "font": {"name": "Arial", "size": 5}})")
            .object());
    purchases.insert("views", views);
    reports[1] = purchases;
    root.insert("pages", reports);
    const QString text = render(QJsonDocument(root), QStringLiteral("purchases_by_day"));
    ASSERT_TRUE(text.contains(QRegularExpression("Day\\s+\\S*2023"))) << text.toStdString();
    EXPECT_EQ(pdfOutline(pdf).join(u'\n').toStdString(), perPageOutline(int(text.count(u'\f'))));
}

} // namespace
} // namespace vaskel::test
