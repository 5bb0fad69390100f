// The report's function handler: libraries first, then the report's own functions and object
// methods, then OnUserFunction; run-time arrays.
#include "lookup_ScopeFixture.h"

#include "report/model/TfrMemoView.h"

namespace vaskel::test {
namespace {

class ReportFunctionsTest : public ScopeTest { };

TEST_F(ReportFunctionsTest, UnknownFunctionsYieldZeroAndReachOnUserFunction)
{
    EXPECT_EQ(eval("NOSUCHFUNCTION(1)"), "string 0");

    QStringList seen;
    scope.OnUserFunction
        = [&](const QString& name, const Value& p1, const Value&, const Value&, Value& value) {
              seen << name + "(" + p1.stringValue() + ")=" + value.toText();
              if (name == "TWICE")
                  value = Value(globals.parser.Evaluate(p1.stringValue()).toNumber() * 2);
          };
    globals.runtimeVariables.SetValue("n", Value::integer(1));
    check({
        {"the event computes its own function", "TWICE(1 + 2)", "float 6"},
        {"called after INC did its work", "INC(n)", "string 0"},
        {"and after SETARRAY", "SETARRAY(A, 1, 'x')", "string 0"},
        {"not for library functions", "UPPERCASE('a')", "string A"},
    });
    EXPECT_EQ(seen, QStringList({"TWICE(1 + 2)=0", "INC(n)=0", "SETARRAY(A)=0"}));
    EXPECT_EQ(eval("n"), "integer 2");
}

TEST_F(ReportFunctionsTest, IncAndDec)
{
    globals.runtimeVariables.SetValue("Counter", Value(5.0));
    eval("INC(Counter)");
    eval("INC( Counter )");
    eval("DEC(Counter)");
    EXPECT_EQ(eval("Counter"), "float 6");
    EXPECT_EQ(eval("INC(Unknown)"), "error: Undefined symbol \"UNKNOWN\"")
        << "a name nothing knows goes through the whole chain";

    QStringList assigned;
    scope.AssignValue
        = [&](const QString& name, const Value& value) { assigned << name + "=" + value.toText(); };
    eval("INC(Counter)");
    EXPECT_EQ(assigned, QStringList{"Counter=7"}) << "the interpreter's assignment does the writing";
}

TEST_F(ReportFunctionsTest, RunTimeArrays)
{
    check({
        {"an integer index", "SETARRAY(Sizes, 2, 'big')", "string 0"},
        {"read back with 2.0", "GETARRAY(Sizes, 2.0)", "string big"},
        {"index syntax", "Sizes[1 + 1]", "string big"},
        {"a text index", "SETARRAY(Sizes, 'x', 10)", "string 0"},
        {"read with the text", "Sizes['x']", "float 10"},
        {"never set", "GETARRAY(Sizes, 3)", "null "},
    });
    EXPECT_EQ(globals.runtimeVariables.GetValue("Arr_Sizes_2").toText(), "big");
    EXPECT_TRUE(globals.runtimeVariables.contains("Arr_Sizes_x"));
}

TEST_F(ReportFunctionsTest, ObjectMethodsAndIndexedProperties)
{
    TfrPage* page = holder.Pages.Add();
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = "Memo1";
    memo->Memo = QStringList{"first"};
    TfrView* view = page->Add(std::move(memo));
    check({
        {"a method of a named object", "Memo1.Memo.Add('second')", "null "},
        {"an indexed property through the object", "Memo1.Memo[1]", "string second"},
        {"writing one", "SETARRAY(Memo1.Memo, 0, 'changed')", "string 0"},
    });
    EXPECT_EQ(view->Memo, QStringList({"changed", "second"}));
}

TEST_F(ReportFunctionsTest, PrintRequests)
{
    HandPage page;
    TfrBand* band = page.add(MasterData, "MasterData1");
    page.add(GroupFooter, "Totals");
    scope.PageState = &page;
    globals.run.CurrentBand = band;
    eval("NEWPAGE()");
    eval("NEWPAGE()");
    eval("NEWCOLUMN()");
    eval("SHOWBAND(totals)");
    eval("SHOWBAND(NoSuchBand)");
    EXPECT_EQ(band->NewPageRequests, 2);
    EXPECT_EQ(band->NewColumnRequests, 1);
    EXPECT_EQ(page.shown, QStringList{"Totals"});
    EXPECT_FALSE(scope.StopRequested);
    eval("STOPREPORT()");
    EXPECT_TRUE(scope.StopRequested);

    globals.run.CurrentBand = nullptr;
    EXPECT_EQ(eval("NEWPAGE()"), "string 0") << "no band: nothing to ask";
}

TEST_F(ReportFunctionsTest, DatabaseLibraryIsRegisteredOnceAfterTheStandardOne)
{
    ReportScope other;
    other.install(globals.parser);
    scope.install(globals.parser);
    ASSERT_EQ(globals.libraries.Count(), 2);
    EXPECT_EQ(globals.libraries.Library(0)->ClassName(), "TfrStdFunctionLibrary");
    EXPECT_EQ(globals.libraries.Library(1)->ClassName(), "TDatabaseFunctionLibrary");
    ASSERT_TRUE(globals.installedFunctions.Find("FIELDISNULL"));
    EXPECT_EQ(globals.installedFunctions.Find("FIELDISNULL")->category, "Database");
}

TEST_F(ReportFunctionsTest, UninstallLeavesALaterScopeInPlace)
{
    {
        ReportScope later;
        later.install(globals.parser);
        scope.uninstall(); // no longer the installed one: nothing happens
        EXPECT_EQ(eval("clRed"), "integer 255");
    }
    // The later scope removed itself: names and calls yield empty again.
    EXPECT_EQ(eval("clRed"), "empty ");
    EXPECT_EQ(eval("UPPERCASE('a')"), "empty ");
}

} // namespace
} // namespace vaskel::test
