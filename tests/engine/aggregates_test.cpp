// Aggregates on hand-built bands: registration of the calls found in footers, accumulation per
// record, reset, and reading while a footer prints.
#include "lookup_ScopeFixture.h"

#include "report/model/TfrMemoView.h"

namespace vaskel::test {
namespace {

class AggregatesTest : public ScopeTest {
protected:
    AggregatesTest()
    {
        master = page.add(MasterData, "MasterData1", &reportSet);
        scope.PageState = &page;
    }

    // A memo view with that text in `band`.
    TfrMemoView* addMemo(TfrBand* band, const QString& text)
    {
        auto memo = std::make_unique<TfrMemoView>();
        memo->Memo = QStringList{text};
        memo->OwnerBand = band;
        band->Views.push_back(memo.get());
        m_views.push_back(std::move(memo));
        return static_cast<TfrMemoView*>(m_views.back().get());
    }

    // One record of the master band with that amount, visible or not.
    void record(double amount, bool visible = true)
    {
        globals.runtimeVariables.SetValue("Amount", Value(amount));
        master->Visible = visible;
        scope.aggregates().AccumulateAggregates(*master);
    }

    // The call read while `band` prints.
    QString read(TfrBand* band, const QString& call)
    {
        globals.run.CurrentBand = band;
        return eval(call);
    }

    HandPage page;
    TfrBand* master = nullptr;
    std::vector<std::unique_ptr<TfrView>> m_views;
};

TEST_F(AggregatesTest, FootersWithoutBandNameUseTheirTypesDataBand)
{
    TfrBand* group = page.add(GroupFooter, "GroupFooter1");
    TfrBand* column = page.add(ColumnFooter, "ColumnFooter1");
    TfrBand* named = page.add(ColumnFooter, "ColumnFooter2");
    addMemo(group, "Total: [SUM([Amount])]");
    addMemo(column, "[SUM([Amount])]");
    addMemo(named, "[SUM([Amount], MasterData1)]");
    scope.aggregates().RegisterAggregates(page);
    EXPECT_FALSE(globals.run.RegisteringAggregates);
    EXPECT_EQ(group->AggregateBand, master);
    EXPECT_EQ(column->AggregateBand, nullptr) << "a column footer names no data band by its type";
    EXPECT_EQ(named->AggregateBand, master);

    record(10);
    record(20);
    record(5);
    EXPECT_EQ(read(group, "SUM([Amount])"), "float 35");
    EXPECT_EQ(read(column, "SUM([Amount])"), "string 0");
    EXPECT_EQ(read(named, "SUM([Amount], MasterData1)"), "float 35");
    EXPECT_EQ(read(group, "SUM([Price])"), "null ") << "a call that was never registered";
    globals.run.CurrentBand = nullptr;
    EXPECT_EQ(eval("SUM([Amount])"), "string 0") << "no band prints";
}

TEST_F(AggregatesTest, MinAndMaxOfTextsFollowTheFileCodePage)
{
    // GBK orders level-1 Chinese characters by their codes: 国 (B9FA) before 中 (D6D0) before
    // 祖 (D7E6), though Unicode has 中 (4E2D) first.
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    addMemo(footer, "[MIN([Grade])] [MAX([Grade])]");
    scope.aggregates().RegisterAggregates(page);
    for (const char* name : {"中", "祖", "国"}) {
        globals.runtimeVariables.SetValue("Grade", Value(QString::fromUtf8(name)));
        scope.aggregates().AccumulateAggregates(*master);
    }
    EXPECT_EQ(read(footer, "MIN([Grade])"), "string 国");
    EXPECT_EQ(read(footer, "MAX([Grade])"), "string 祖");
}

TEST_F(AggregatesTest, InvisibleRecordsAndTheFlag)
{
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    addMemo(
        footer, "[AVG([Amount])] [AVG([Amount], , 1)] [SUM([Amount], MasterData1, 1)] [COUNT(MasterData1)]");
    addMemo(footer, "[COUNT(, 1)] [MAX([Amount])] [MIN([Amount])]");
    scope.aggregates().RegisterAggregates(page);
    record(10);
    record(20, false);
    record(30);
    struct {
        const char* call;
        const char* expected;
    } cases[] = {
        {"AVG([Amount])", "float 13.3333333333333"}, // 40 over all 3 records
        {"AVG([Amount], , 1)", "float 20"},
        {"SUM([Amount], MasterData1, 1)", "float 60"},
        {"COUNT(MasterData1)", "integer 2"},
        {"COUNT(, 1)", "integer 3"},
        {"MAX([Amount])", "float 30"},
        {"MIN([Amount])", "float 10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(read(footer, c.call), c.expected);
    }
}

TEST_F(AggregatesTest, StartValuesAndReset)
{
    TfrBand* group = page.add(GroupFooter, "GroupFooter1");
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    addMemo(
        group, "[SUM([Amount])] [SUM([Amount])] [MIN([Amount])] [MAX([Amount])] [COUNT()] [AVG([Amount])]");
    addMemo(footer, "[SUM([Amount])] [AVG([Amount])]");
    scope.aggregates().RegisterAggregates(page);
    EXPECT_EQ(master->AggregateValues.Count(), 7)
        << "the same call twice in one footer shares a key; two footers keep separate keys";
    struct {
        const char* call;
        const char* expected;
    } nothing[] = {
        {"SUM([Amount])", "smallint 0"},
        {"MIN([Amount])", "float 1E300"},
        {"MAX([Amount])", "smallint 0"},
        {"COUNT()", "smallint 0"},
        {"AVG([Amount])", "smallint 0"},
    };
    for (const auto& c : nothing) {
        SCOPED_TRACE(std::string("no records: ") + c.call);
        EXPECT_EQ(read(group, c.call), c.expected);
    }

    record(4);
    record(6);
    scope.aggregates().ResetAggregates(*group);
    EXPECT_EQ(read(group, "SUM([Amount])"), "smallint 0");
    EXPECT_EQ(read(group, "MIN([Amount])"), "float 1E300");
    EXPECT_EQ(read(footer, "SUM([Amount])"), "float 10") << "the other footer keeps its values";
    EXPECT_EQ(read(footer, "AVG([Amount])"), "smallint 0") << "but the record count is shared and now 0";
    record(8);
    EXPECT_EQ(read(footer, "AVG([Amount])"), "float 18");
    EXPECT_EQ(read(group, "AVG([Amount])"), "float 8");
}

TEST_F(AggregatesTest, ExpressionEvaluatedOncePerRecordForNeighbouringKeys)
{
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    addMemo(footer, "[SUM(INC(Calls))] [AVG(INC(Calls))] [MAX([Amount])]");
    scope.aggregates().RegisterAggregates(page);
    globals.runtimeVariables.SetValue("Calls", Value::integer(0));
    record(1);
    record(1, false); // evaluated also when the record is invisible
    EXPECT_EQ(eval("Calls"), "integer 2");
}

TEST_F(AggregatesTest, RegistrationScansScriptsChildBandsAndDetailLevels)
{
    TfrBand* detail = page.add(DetailData, "DetailData1", &reportSet);
    TfrBand* detailFooter = page.add(DetailFooter, "DetailFooter1");
    TfrBand* summary = page.add(ReportSummary, "ReportSummary1");
    TfrBand* child = page.add(Child, "Child1");
    summary->ChildLink = child;
    child->ChildLink = summary; // a loop of child links is scanned once
    detailFooter->BeforePrintScript = QStringList{"Total := SUM([Amount]);"};
    addMemo(child, "[COUNT(DetailData1)]");
    QStringList collected;
    scope.CollectScriptFunctions
        = [&](const QStringList& script, const QStringList& names, const TfrVariables*, QStringList& output) {
              collected << script;
              EXPECT_EQ(names, QStringList({"AVG", "COUNT", "MAX", "MIN", "SUM"}));
              output << "SUM([Amount])";
          };
    globals.run.CurrentBand = master;
    scope.aggregates().RegisterAggregates(page);
    EXPECT_EQ(collected, QStringList{"Total := SUM([Amount]);"});
    EXPECT_EQ(detailFooter->AggregateBand, detail);
    EXPECT_EQ(child->AggregateBand, detail) << "the summary's child band names the detail band";
    EXPECT_EQ(globals.run.CurrentBand, master) << "the current band is restored";
}

TEST_F(AggregatesTest, AnErrorEndsTheRegistration)
{
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    // A variable whose text names itself: following it never ends.
    holder.Dictionary.Variables.SetValue("Loop", Value("[Loop]"));
    addMemo(footer, "[SUM([Loop])]");
    globals.run.CurrentBand = master;
    EXPECT_THROW(scope.aggregates().RegisterAggregates(page), EParserError);
    EXPECT_FALSE(globals.run.RegisteringAggregates);
    EXPECT_EQ(globals.run.CurrentBand, master);
}

TEST_F(AggregatesTest, GroupHeaderTakesItsGroupValues)
{
    TfrBand* first = page.add(GroupHeader, "GroupHeader1");
    TfrBand* second = page.add(GroupHeader, "GroupHeader2");
    first->CompiledCondition = globals.parser.Compile("Amount");
    second->CompiledCondition = globals.parser.Compile("Amount * 2");
    globals.runtimeVariables.SetValue("Amount", Value(3.0));
    scope.aggregates().ResetAggregates(*first);
    EXPECT_EQ(first->HeldGroupValue, Value(3.0));
    EXPECT_EQ(second->HeldGroupValue, Value(6.0));
}

TEST_F(AggregatesTest, CrossColumnsKeepTheirOwnCopies)
{
    TfrBand* cross = page.add(CrossData, "CrossData1");
    TfrBand* footer = page.add(MasterFooter, "MasterFooter1");
    // Both the data band and the footer print cells of the cross band.
    addMemo(master, "[Amount]")->OwnerBand = cross;
    addMemo(footer, "[SUM([Amount])] [MIN([Amount])]")->OwnerBand = cross;
    scope.aggregates().RegisterAggregates(page);
    const QChar sep = ReportAggregates::kSeparator;
    EXPECT_TRUE(master->AggregateValues.contains(
        "0" + QString(sep) + ReportAggregates::makeKey("MasterFooter1", AggregateOp::Sum, "[Amount]", "")))
        << QString(master->AggregateValues.Names(0)).replace(sep, '|').toStdString();

    page.column = 2;
    record(5);
    page.column = 3;
    record(7);
    page.column = 2;
    record(1);
    // A cross cell reads its column's copy through the footer it belongs to.
    cross->AggregateBand = footer;
    page.column = 2;
    EXPECT_EQ(read(cross, "SUM([Amount])"), "float 6");
    EXPECT_EQ(read(cross, "MIN([Amount])"), "float 1");
    page.column = 3;
    EXPECT_EQ(read(cross, "MIN([Amount])"), "float 7") << "a new column's MIN starts above every value";
    EXPECT_EQ(read(footer, "SUM([Amount])"), "smallint 0")
        << "the template copy (column 0) is never accumulated";
}

} // namespace
} // namespace vaskel::test
