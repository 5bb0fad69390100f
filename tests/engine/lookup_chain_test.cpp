// The lookup chain of a running report: which store answers a name, in which order, and what a
// name that nothing knows does.
#include "lookup_ScopeFixture.h"

#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/model/TfrMemoView.h"

#include <QDate>

namespace vaskel::test {
namespace {

class LookupChainTest : public ScopeTest { };

TEST_F(LookupChainTest, SystemVariablesAndReportInformation)
{
    globals.run.PageNumber = 4;
    globals.run.TotalPages = 9;
    globals.run.RunDate = 36114; // 11/15/1998
    globals.run.RunTime = 0.5;
    holder.Info.Name = "Bill";
    holder.Info.Author = "Clerk";
    holder.Info.VersionMajor = "2";
    holder.Info.Created = 36114;
    HandPage page;
    page.curY = 120;
    page.bottomY = 1000;
    page.column = 3;
    page.record = 7;
    scope.PageState = &page;
    scope.FinalPass = true;
    TfrBand* master = page.add(MasterData, "MasterData1", &reportSet);
    TfrBand* second = page.add(MasterData, "MasterData2");
    master->LineNumber = 5;
    master->LineThrough = 8;
    second->LineNumber = 99;
    globals.run.CurrentBand = second;
    check({
        {"page number counts from 1", "[PAGE#]", "integer 5"},
        {"total pages", "TOTALPAGES", "integer 9"},
        {"run date", "DATE", "datetime 11/15/1998"},
        {"run time", "TIME", "datetime 12:00:00 PM"},
        {"a band without dataset counts with the band before it", "[LINE#]", "integer 5"},
        {"line through", "[LINETHROUGH#]", "integer 8"},
        {"column of the page", "[COLUMN#]", "integer 3"},
        {"current record", "[CURRENT#]", "integer 7"},
        {"report name", "REPORTNAME", "string Bill"},
        {"report author", "REPORTAUTOR", "string Clerk"},
        {"major version", "VMAJOR", "string 2"},
        {"creation date", "REPORTDATE", "datetime 11/15/1998"},
        {"vertical position", "CURY", "integer 120"},
        {"free space below it", "FREESPACE", "integer 880"},
        {"page height is the bottom limit", "PAGEHEIGHT", "integer 1000"},
        {"final pass", "FINALPASS", "boolean True"},
        {"memo value", "VALUE", "smallint 0"},
        {"no current view: no width", "CALCWIDTH", "integer 0"},
    });
}

TEST_F(LookupChainTest, OrderOfTheStores)
{
    globals.run.PageNumber = 1;
    holder.Dictionary.Variables.SetValue("Total", Value("Units * Cost"));
    holder.Dictionary.Variables.SetValue("Shared", Value("'dictionary'"));
    holder.Dictionary.Variables.SetValue("DATE", Value("'a variable named DATE'"));
    holder.Dictionary.Variables.SetValue("Empty", Value(""));
    globals.runtimeVariables.SetValue("Units", Value(3.0));
    globals.runtimeVariables.SetValue("Cost", Value(2.5));
    globals.runtimeVariables.SetValue("Shared", Value("run-time"));
    check({
        {"a variable is an expression", "Total", "float 7.5"},
        {"run-time variable wins over the dictionary's", "Shared", "string run-time"},
        {"a dictionary variable hides a system variable", "DATE", "string a variable named DATE"},
        {"a variable with empty text is empty text", "Empty", "string "},
        {"page# in lower case through the expression fallback", "[page#]", "integer 2"},
        {"a bracket holding an expression", "[Cost * 2]", "float 5"},
        {"constants", "clRed", "integer 255"},
        {"constants ignore case", "CLBTNFACE", "integer -16777201"},
        {"CRLF", "LENGTH(CRLF)", "integer 2"},
        {"Null", "Null", "null "},
        {"unknown name", "Nothing", "error: Undefined symbol \"NOTHING\""},
        {"unknown name as written in a bracket", "[Nothing here]", "error: Undefined symbol \"NOTHING\""},
    });
    // Evaluated on every read: the variable follows its operands.
    globals.runtimeVariables.SetValue("Units", Value(4.0));
    EXPECT_EQ(eval("Total"), "float 10");
}

TEST_F(LookupChainTest, OnGetValueComesFirst)
{
    scope.OnGetValue = [](const QString& name, Value& value) {
        if (name == "PAGE#")
            value = Value("from the event");
        else if (name == "NOTHING")
            value = Value::null(); // null counts as an answer
    };
    check({
        {"overrides a system variable", "PAGE#", "string from the event"},
        {"null is an answer", "Nothing", "null "},
        {"left empty: the chain goes on", "TOTALPAGES", "integer 0"},
    });
}

TEST_F(LookupChainTest, UndefinedSymbolAndTheRegistrationMode)
{
    try {
        globals.run.RecursionGuard.clear();
        globals.parser.Evaluate("Amount + 1");
        FAIL() << "no error";
    } catch (const EParserError& e) {
        EXPECT_EQ(e.message(), "Undefined symbol \"AMOUNT\"");
    }
    EXPECT_EQ(globals.run.RecursionGuard, "AMOUNT") << "the guard names the culprit afterwards";

    globals.run.RegisteringAggregates = true;
    EXPECT_EQ(eval("Amount"), "empty ");
    globals.run.RegisteringAggregates = false;
    // A name that refers to itself fails instead of recursing.
    holder.Dictionary.Variables.SetValue("Loop", Value("[Loop]"));
    EXPECT_TRUE(eval("Loop").startsWith("error: ")) << eval("Loop").toStdString();
}

TEST_F(LookupChainTest, DatasetFieldsAndNullSubstitutes)
{
    holder.Dictionary.Variables.SetValue("Article", Value("Q1.\"NAME\""));
    check({
        {"qualified field", "Q1.\"NAME\"", "string bolt"},
        {"field of the default dataset", "QTY", "integer 3"},
        {"dataset and field without quotes", "[Q1.PAID]", "boolean True"},
        {"a variable naming a field", "Article", "string bolt"},
    });
    const int cached = scope.dictionary().CacheCount();
    EXPECT_EQ(cached, 4) << "every name resolved to a field is remembered";
    EXPECT_EQ(eval("QTY"), "integer 3");
    EXPECT_EQ(scope.dictionary().CacheCount(), cached);

    query.next(); // the row of nulls
    check({
        {"null text field reads as empty text", "[Q1.NAME]", "string "},
        {"null number reads as 0", "QTY", "integer 0"},
        {"null float reads as 0", "PRICE", "integer 0"},
        {"null boolean reads as false", "PAID", "boolean False"},
    });

    // A new run forgets the cache: the datasets may have changed in between.
    scope.install(globals.parser);
    EXPECT_EQ(scope.dictionary().CacheCount(), 0);
}

TEST_F(LookupChainTest, AFieldOfTheDefaultDatasetHidesASystemVariable)
{
    MemoryDataset dated("Q2", {{"DATE", DatabaseFieldKind::String}}, {{"from the field"}});
    TfrDBDataSet datedSet("frDBDataSet2");
    datedSet.setDataSet(&dated);
    scope.Dataset = &datedSet;
    globals.run.RunDate = 36114;
    globals.run.RunTime = 0.5;
    EXPECT_EQ(eval("DATE"), "string from the field");
    EXPECT_EQ(eval("TIME"), "datetime 12:00:00 PM") << "names the dataset lacks stay system variables";
    scope.Dataset = &reportSet;
    scope.install(globals.parser); // a new run: the cached field is forgotten
    EXPECT_EQ(eval("DATE"), "datetime 11/15/1998");
}

TEST_F(LookupChainTest, AliasesOfDatasetsAndFields)
{
    holder.Dictionary.AliasList.SetValue("Q1", Value("Sales"));
    holder.Dictionary.AliasList.SetValue("Q1.\"PRICE\"", Value("Unit price"));
    EXPECT_EQ(scope.dictionary().DatasetOfAlias("sales"), "Q1");
    EXPECT_EQ(scope.dictionary().DatasetOfAlias("Other"), "Other");
    EXPECT_EQ(scope.dictionary().FieldOfAlias("Q1", "UNIT PRICE"), "PRICE");
    EXPECT_EQ(scope.dictionary().FieldOfAlias("Q2", "Unit price"), "Unit price");
    check({
        {"dataset alias and field alias", "[Sales.\"Unit price\"]", "float 2.5"},
        {"dataset alias and a real field", "[Sales.QTY]", "integer 3"},
    });
}

TEST_F(LookupChainTest, ObjectProperties)
{
    TfrPage* page = holder.Pages.Add();
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = "Memo1";
    memo->Left = 40;
    memo->Width = 150;
    memo->Font.Name = "Arial";
    TfrView* view = page->Add(std::move(memo));
    holder.Pages.Add()->PaperOrientation = 1;
    check({
        {"object and property", "Memo1.Left", "integer 40"},
        {"template page by its 1-based number", "[Page2.Orientation]", "integer 1"},
        {"the first page", "[PAGE1.Orientation]", "integer 0"},
        {"no such object and no current view", "Memo2.Left", "error: Undefined symbol \"MEMO2.LEFT\""},
    });
    globals.run.CurrentView = view;
    scope.CalcWidth = nullptr;
    check({
        {"a property group of the current view", "[Font.Name]", "string Arial"},
        {"a bare property of the current view", "WIDTH", "integer 150"},
        {"CALCWIDTH of a memo without the measuring hook: its width", "CALCWIDTH", "integer 150"},
    });
    scope.CalcWidth = [](TfrView&) { return 77; };
    EXPECT_EQ(eval("CALCWIDTH"), "integer 77");
}

TEST_F(LookupChainTest, FieldIsNull)
{
    query.open();
    scope.UseDefaultDataSetName = true;
    check({
        {"value present", "FIELDISNULL('Q1.NAME')", "boolean False"},
        {"default dataset", "FIELDISNULL('QTY')", "boolean False"},
        {"no dataset found", "FIELDISNULL('Nowhere.NAME')", "boolean True"},
        {"missing field: the dataset's error", "FIELDISNULL('Q1.COLOUR')",
            "error: Q1: Field 'COLOUR' not found"},
    });
    scope.UseDefaultDataSetName = false;
    EXPECT_EQ(eval("FIELDISNULL('QTY')"), "boolean True") << "without a default dataset the name finds none";
    query.next();
    EXPECT_EQ(eval("FIELDISNULL('Q1.\"NAME\"')"), "boolean True");
}

} // namespace
} // namespace vaskel::test
