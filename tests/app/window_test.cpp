// The query window over a real SQLite ODBC database: the bill list, Query and Print preview,
// errors in handlers and at start-up, the report datasets it owns, and grid edits.
#include "support/AppTestDatabase.h"
#include "support/LookTemplate.h"

#include "app/DesktopStartup.h"
#include "app/TForm1.h"
#include "report/engine/PreparedPagesJson.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "support/TestGlobals.h"

#include <QApplication>
#include <QHeaderView>

namespace vaskel {
namespace {

class WindowTest : public test::GlobalsTest {
protected:
    void SetUp() override
    {
        if (db.connection().isEmpty())
            GTEST_SKIP() << db.skipReason().toStdString();
        // Print preview loads look.frf from the working directory: one of the test's own.
        ASSERT_TRUE(QDir::setCurrent(workDir.path()));
    }
    void TearDown() override { QDir::setCurrent(previousDir); }
    std::unique_ptr<TForm1> makeWindow() { return std::make_unique<TForm1>(db.connection()); }
    QStringList listed(const TForm1& w)
    {
        QStringList out;
        for (int i = 0; i < w.ComboBox1->count(); ++i)
            out << w.ComboBox1->itemText(i);
        return out;
    }
    QStringList column0(const QueryGrid* g)
    {
        QStringList out;
        for (int r = 0; r < g->model()->rowCount(); ++r)
            out << g->model()->index(r, 0).data().toString();
        return out;
    }
    int boxes() const
    {
        return static_cast<int>(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size());
    }

    test::TestDatabase db{test::Backend::Sqlite};
    const QString previousDir = QDir::currentPath();
    QTemporaryDir workDir;
};

TEST_F(WindowTest, StartupFillsTheBillListAndBothGrids)
{
    auto w = makeWindow();
    // Sales rows A, A, B, A, a, o'k, a\b: only adjacent repeats are left out; case counts.
    EXPECT_EQ(listed(*w), QStringList({"A", "B", "A", "a", "o'k", "a\\b"}));
    EXPECT_EQ(w->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(w->ComboBox1->currentText(), "A");
    EXPECT_EQ(w->DBGrid1->model()->rowCount(), 6);
    EXPECT_EQ(w->DBGrid2->model()->rowCount(), 7);
    EXPECT_TRUE(w->ADOQuery2->eof()) << "the sales query stays at end of data";
    EXPECT_EQ(w->DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), "KPDATE");
    EXPECT_EQ(w->DBGrid1->columnWidth(0), 76);
    EXPECT_EQ(w->geometry(), QRect(222, 153, 671, 467));
    EXPECT_EQ(boxes(), 0);
}

TEST_F(WindowTest, EmptySalesTableLeavesTheListEmpty)
{
    ASSERT_TRUE(db.execute({"DELETE FROM sb_tssb"}));
    auto w = makeWindow();
    EXPECT_EQ(w->ComboBox1->count(), 0);
    EXPECT_EQ(w->ComboBox1->currentIndex(), -1);
}

TEST_F(WindowTest, QueryFiltersBothGrids)
{
    auto w = makeWindow();
    struct Case {
        const char* name;
        QString bill;
        QStringList purchase;
        QStringList sales;
    } cases[] = {
        {"chosen bill", "A", {"A", "A"}, {"A", "A", "A"}},
        {"typed bill with a quote", "o'k", {"o'k"}, {"o'k"}},
        {"typed bill with a backslash", "a\\b", {"a\\b"}, {"a\\b"}},
        {"bill without lines", "ZZZ", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w->ComboBox1->setEditText(c.bill);
        w->Button1->click();
        EXPECT_EQ(column0(w->DBGrid1), c.purchase);
        EXPECT_EQ(column0(w->DBGrid2), c.sales);
    }
    EXPECT_EQ(boxes(), 0);
    EXPECT_EQ(db.scalar("select count(*) from sb_tsjh"), "6");
}

TEST_F(WindowTest, PrintPreviewShowsTheTotalAndPreparesLookFrf)
{
    const QString look = workDir.filePath("look.frf");
    test::writeLookTemplate(look);
    auto w = makeWindow();
    QList<QStringList> shown;
    w->OnShowPrepared = [&](TfrReport& report) {
        shown << test::printedObjects(PreparedPagesJson::toJson(report.PreparedPages()));
    };
    w->ComboBox1->setEditText("A");
    w->Button1->click();
    w->BitBtn21->click();
    EXPECT_EQ(w->Edit1->text(), "3750.5 元");
    EXPECT_EQ(column0(w->DBGrid1), QStringList({"A", "A"}));
    ASSERT_EQ(shown.size(), 1);
    // The report walks frDBDataSet1 over the bill's purchase lines, not the one-row total.
    EXPECT_TRUE(shown[0].contains("PurchaseField1: 螺纹钢")) << shown[0].join('\n').toStdString();
    EXPECT_TRUE(shown[0].contains("PurchaseField1: 角钢"));
    EXPECT_TRUE(shown[0].contains("PurchaseTotal: 进货合计：3,750.50"));

    // Without the file the report runs the template it already holds, and says nothing; the
    // title names the typed bill that has no lines at all.
    ASSERT_TRUE(QFile::remove(look));
    w->ComboBox1->setEditText("NONE");
    w->BitBtn21->click();
    EXPECT_EQ(w->Edit1->text(), " 元") << "no purchase lines: an empty sum";
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].contains("BillNo: 单据号：NONE")) << shown[1].join('\n').toStdString();
    EXPECT_TRUE(shown[1].contains("NoPurchases: 无进货记录"));
    EXPECT_EQ(boxes(), 0);
}

TEST_F(WindowTest, PrintPreviewBeforeQueryPrintsTheChosenBill)
{
    test::writeLookTemplate(workDir.filePath("look.frf"));
    auto w = makeWindow();
    QStringList shown;
    w->OnShowPrepared = [&](TfrReport& report) {
        shown = test::printedObjects(PreparedPagesJson::toJson(report.PreparedPages()));
    };
    // Bill B, chosen in the list, has one purchase line and one sales line; no Query before.
    w->ComboBox1->setCurrentIndex(1);
    ASSERT_EQ(w->ComboBox1->currentText(), "B");
    w->BitBtn21->click();
    EXPECT_EQ(w->Edit1->text(), "0.1 元");
    EXPECT_TRUE(shown.contains("PurchaseTotal: 进货合计：0.10")) << "the total box and the printout agree";
    EXPECT_TRUE(shown.contains("BillNo: 单据号：B")) << shown.join('\n').toStdString();
    int salesLines = 0;
    for (const QString& o : shown)
        salesLines += o.startsWith("SalesField6: ");
    EXPECT_EQ(salesLines, 1) << "only the chosen bill's sales line, not every bill's";
    EXPECT_EQ(column0(w->DBGrid2), QStringList({"B"})) << "the window ran the bill's queries";
}

TEST_F(WindowTest, RejectedStatementShowsTheErrorAndTheWindowGoesOn)
{
    auto w = makeWindow();
    ASSERT_TRUE(db.execute({"DROP TABLE sb_tssb"}));
    w->ComboBox1->setEditText("A");
    w->Button1->click();
    ASSERT_EQ(boxes(), 1);
    const Interaction box = scriptedUi->interactionsOf(Interaction::Kind::MessageBox).first();
    EXPECT_TRUE(box.text.contains("sb_tssb")) << box.text.toStdString();
    EXPECT_EQ(box.flags, int(MessageIcon::Error) | int(MessageButtons::Ok));
    EXPECT_EQ(column0(w->DBGrid1), QStringList({"A", "A"})) << "the step before the failure stays done";
    EXPECT_EQ(w->DBGrid2->model()->rowCount(), 0) << "the failed query stays closed";
    // Print preview runs the bill's queries first: the same error stops it before the total.
    const QString total = w->Edit1->text();
    w->BitBtn21->click();
    EXPECT_EQ(boxes(), 2);
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).last().text.contains("sb_tssb"));
    EXPECT_EQ(w->Edit1->text(), total);
}

TEST_F(WindowTest, FailingCreateHandlerStillOpensTheWindow)
{
    ASSERT_TRUE(db.execute({"DROP TABLE sb_tssb"}));
    auto w = makeWindow();
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(w->ComboBox1->count(), 0);
    EXPECT_EQ(w->DBGrid1->model()->rowCount(), 6);
}

TEST_F(WindowTest, StartupFailureShowsOneBoxAndExitsWithOne)
{
    const struct {
        const char* name;
        QString connection;
        QStringList before;
    } cases[] = {
        {"no such data source", "DSN=Vaskel No Such Source", {}},
        {"table without the listed columns", db.connection(),
            {"DROP TABLE sb_tsjh", "CREATE TABLE sb_tsjh (LDLP_NO VARCHAR(10))"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        ASSERT_TRUE(db.execute(c.before));
        EXPECT_EQ(DesktopStartup::run(c.connection, false), 1);
        ASSERT_EQ(boxes(), 1);
        const Interaction box = scriptedUi->interactions().first();
        EXPECT_EQ(box.caption, UiServices::applicationTitle());
        EXPECT_TRUE(box.text.startsWith("Exception EDatabaseError in module ")) << box.text.toStdString();
        EXPECT_TRUE(box.text.endsWith(".\r\n")) << box.text.toStdString();
    }
}

TEST_F(WindowTest, ReportFindsTheWindowsComponents)
{
    auto w = makeWindow();
    EXPECT_EQ(FindDatasetComponent(w.get(), "frdbdataset2"), w->frDBDataSet2);
    EXPECT_EQ(FindDatasetComponent(w.get(), "Form1.ADOQuery1"), w->ADOQuery1);
    // The window's report finds the same components and holds no template until one is loaded.
    EXPECT_EQ(w->findComponent("FRREPORT1"), w->frReport1);
    EXPECT_EQ(w->frReport1->owner(), w.get());
    EXPECT_EQ(w->frReport1->TemplatePages().Count(), 0);
    const FieldReference ref = ResolveFieldReference("ADOQuery1.\"AMT\"", w.get(), nullptr);
    EXPECT_EQ(ref.dataset, w->ADOQuery1);
    EXPECT_EQ(ref.fieldName, "AMT");

    // A range at the current record over the real query, put back after the run.
    w->ADOQuery1->first();
    w->ADOQuery1->next();
    TfrDBDataSet& ds = *w->frDBDataSet1;
    ds.RangeBegin = TRangeBegin::rbCurrent;
    ds.StartRun();
    int records = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
        ++records;
    ds.EndRun();
    EXPECT_EQ(records, 5);
    EXPECT_EQ(w->ADOQuery1->currentRow(), 1);
    EXPECT_EQ(w->DBGrid1->currentIndex().row(), 1) << "the grid follows the query";
}

TEST_F(WindowTest, GridEditConflictShowsTheStoredValueAndWritesNothing)
{
    auto w = makeWindow();
    QAbstractItemModel* m = w->DBGrid1->model();
    const QModelIndex unit = m->index(0, 3); // CMUNIT of the first purchase line
    EXPECT_TRUE(m->setData(unit, "千克", Qt::EditRole));
    EXPECT_EQ(db.scalar("select CMUNIT from sb_tsjh where CMNAME='螺纹钢'"), "千克");
    EXPECT_EQ(boxes(), 0);

    ASSERT_TRUE(db.execute({"UPDATE sb_tsjh SET QNT=3 WHERE CMNAME='螺纹钢'"}));
    EXPECT_FALSE(m->setData(unit, "吨", Qt::EditRole));
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(unit.data().toString(), "千克") << "the cell shows what the grid last read and wrote";
    EXPECT_EQ(db.scalar("select CMUNIT from sb_tsjh where CMNAME='螺纹钢'"), "千克");
}

TEST_F(WindowTest, FlatLookOnTheButtonsListAndTotalOnly)
{
    auto w = makeWindow();
    ASSERT_NE(w->xmPer, nullptr);
    EXPECT_TRUE(w->xmPer->isActive());
    const XPMenuSettings& s = w->xmPer->settings();
    EXPECT_FALSE(s.AutoDetect);
    EXPECT_EQ(s.DimLevel, 30);
    EXPECT_EQ(s.GrayLevel, 10);
    EXPECT_EQ(s.IconWidth, 24);
    EXPECT_TRUE(s.DrawSelect && s.UseSystemColors);
    EXPECT_FALSE(s.UseDimColor || s.OverrideOwnerDraw || s.Gradient || s.FlatMenu || s.DrawMenuBar);
    EXPECT_EQ(s.Font.pixelSize(), 11);
    EXPECT_TRUE(s.Color == XPColorSetting(SystemColor::BtnFace));
    EXPECT_TRUE(s.DisabledColor == XPColorSetting(SystemColor::InactiveCaption));
    for (QWidget* painted : std::initializer_list<QWidget*>{w->Button1, w->BitBtn21, w->ComboBox1, w->Edit1})
        EXPECT_NE(w->xmPer->subclassOf(painted), nullptr) << painted->metaObject()->className();
    EXPECT_EQ(w->xmPer->subclassOf(w->BitBtn21)->kind(), xcBitBtn);
    for (QWidget* plain :
        std::initializer_list<QWidget*>{w->Label2, w->Label3, w->Label4, w->DBGrid1, w->DBGrid2})
        EXPECT_EQ(w->xmPer->subclassOf(plain), nullptr) << plain->metaObject()->className();
    EXPECT_EQ(w->xmPer->paintedControls(), 4);

    // Grid 2's title row has the colour of active window borders; grid 1's does not.
    const QColor border = XPSystemColors::fromPalette(QApplication::palette()).activeBorder;
    EXPECT_EQ(w->DBGrid2->titleColor(), border);
    w->show();
    QHeaderView* header = w->DBGrid2->horizontalHeader();
    const QImage title = header->grab().toImage();
    EXPECT_EQ(title.pixelColor(10, header->height() / 2).rgb(), border.rgb());
    EXPECT_NE(w->DBGrid1->horizontalHeader()->grab().toImage().pixelColor(10, header->height() / 2).rgb(),
        border.rgb());
}

TEST_F(WindowTest, DemoDatabaseAsDataSourceDbaseFiles)
{
    QTemporaryDir dir;
    DemoDatabase::prepare(dir.path());
    auto w = std::make_unique<TForm1>(
        DatabaseConnection::odbcFromProviderString(DatabaseConnection::kLegacyConnectionString));
    EXPECT_GE(w->ComboBox1->count(), 40);
    EXPECT_GT(w->DBGrid1->model()->rowCount(), 40);
    w->ComboBox1->setEditText("HT23'017");
    w->Button1->click();
    EXPECT_GT(w->DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(boxes(), 0);
}

} // namespace
} // namespace vaskel
