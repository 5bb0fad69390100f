// The example templates of data/examples rendered over the embedded demo database with the
// statements their comments name, and read back from the PDF: the cross-tab of sales quantities
// per material and month, and the purchase and sales lines printed side by side as sub-reports.
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
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

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
    // Builds data/examples/<name>.json into a template and renders it with the --query bindings
    // its comment names ("... Queries: NAME = STATEMENT; NAME = STATEMENT"); answers the PDF's text.
    QString render(const QString& name)
    {
        QFile in(DataPaths::dataFile(QStringLiteral("examples/%1.json").arg(name)));
        if (!in.open(QIODevice::ReadOnly))
            return QStringLiteral("cannot read ") + in.fileName();
        const QJsonDocument json = QJsonDocument::fromJson(in.readAll());
        TemplateHolder holder;
        TemplateJson::fromJson(json, holder);
        const QString frf = dir.filePath(name + QStringLiteral(".frf"));
        QFile out(frf);
        if (!out.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write ") + frf;
        out.write(TemplateWriter::SaveTemplateToStream(holder));
        out.close();

        QStringList args{frf, QStringLiteral("--demo"), QStringLiteral("--pdf"), pdf};
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

} // namespace
} // namespace vaskel::test
