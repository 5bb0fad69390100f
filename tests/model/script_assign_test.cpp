// Where the report's script assignments go: run-time variables, the dictionary, MODALRESULT, CURY,
// PROGRESS, object properties, and otherwise a new run-time variable, in that order. Scripts run
// through the engine globals' interpreter over a real page with real memo views; the report
// component's parts (lookup chain, dialog window, page position, progress window) are the small
// stand-ins the interpreter's hooks take.
#include "support/TestGlobals.h"

#include "platform/PlatformError.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrDataDictionary.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPages.h"

namespace vaskel {
namespace {

class ScriptAssignTest : public test::GlobalsTest {
protected:
    ScriptAssignTest()
    {
        pages.Add();
        memo = addMemo(QStringLiteral("Memo1"));
        other = addMemo(QStringLiteral("Memo2"));
        interpreter().Pages = &pages;
        interpreter().Dictionary = &dictionary;
        interpreter().SetModalResult = [this](qint32 r) { modalResults += r; };
        interpreter().SetCurY = [this](qint32 y) { curYs += y; };
        interpreter().ShowProgress = [this](const QString& text) { progress += text; };
        // The report's lookup chain, as far as these scripts read names: run-time variables, then
        // the dictionary's variables.
        globals.parser.LookupName = [this](const QString& name, Value& value) {
            if (const Value* v = globals.runtimeVariables.find(name))
                value = *v;
            else if (const Value* d = dictionary.Variables.find(name))
                value = *d;
        };
        frRun().CurrentPage = pages.Page(0);
    }

    TInterpretator& interpreter() { return globals.interpreter; }

    TfrMemoView* addMemo(const QString& name)
    {
        auto view = std::make_unique<TfrMemoView>();
        view->Name = name;
        return static_cast<TfrMemoView*>(pages.Page(0)->Add(std::move(view)));
    }

    // Compiles and runs; fails the test on a compile error.
    void run(const QString& script)
    {
        QStringList compiled, errors;
        interpreter().CompileScript(script.split(QLatin1Char('\n')), compiled, errors);
        ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
        interpreter().RunScript(compiled);
    }

    QString runtime(const char* name) const
    {
        const Value* v = globals.runtimeVariables.find(QString::fromUtf8(name));
        return v ? v->kindName() + QLatin1Char(' ') + v->toText() : QStringLiteral("absent");
    }

    TfrPages pages;
    TfrDataDictionary dictionary;
    TfrMemoView* memo = nullptr;
    TfrMemoView* other = nullptr;
    QList<qint32> modalResults;
    QList<qint32> curYs;
    QStringList progress;
};

TEST_F(ScriptAssignTest, ObjectPropertiesAreWrittenThroughWriteProp)
{
    frRun().CurrentView = other;
    run(QStringLiteral("begin Memo1.Visible := False; memo1.left := 40 + 2; Width := 77 end"));
    EXPECT_FALSE(memo->Visible);
    EXPECT_EQ(memo->Left, 42);
    EXPECT_EQ(other->Width, 77); // a plain property name is the current view's
    EXPECT_EQ(globals.runtimeVariables.Count(), 0);
}

TEST_F(ScriptAssignTest, NamesNothingElseTakesBecomeRunTimeVariables)
{
    run(QStringLiteral(
        "begin Total := 5; Shown := Total + 1; Memo1.NoSuchProperty := 'x'; Memo9.Left := 3 end"));
    EXPECT_EQ(runtime("Total"), QStringLiteral("float 5"));
    EXPECT_EQ(runtime("Shown"), QStringLiteral("float 6"));
    EXPECT_EQ(runtime("Memo1.NoSuchProperty"), QStringLiteral("string x"));
    EXPECT_EQ(runtime("Memo9.Left"), QStringLiteral("float 3"));
    EXPECT_EQ(memo->Left, 0);
}

TEST_F(ScriptAssignTest, OrderOfTheTargets)
{
    // A run-time variable wins over the dictionary and over an object property of the same name.
    globals.runtimeVariables.SetValue(QStringLiteral("Rate"), Value(1.0));
    globals.runtimeVariables.SetValue(QStringLiteral("Memo1.Left"), Value(0.0));
    dictionary.Variables.SetValue(QStringLiteral("Rate"), Value(QStringLiteral("Qty * 2")));
    dictionary.Variables.SetValue(QStringLiteral("Discount"), Value(QStringLiteral("0")));
    // The dictionary knows field names too, through the report's IsKnown.
    interpreter().DictionaryKnows = [this](const QString& name) {
        return name.compare(QLatin1String("Q1.AMT"), Qt::CaseInsensitive) == 0
            || dictionary.Variables.contains(name);
    };
    run(QStringLiteral(
        "begin Rate := 2; Memo1.Left := 9; discount := 'Price / 10'; Q1.AMT := 4; Progress := 'Page ' + "
        "'3'; MODALRESULT := 1; cury := 120.4 end"));
    EXPECT_EQ(runtime("Rate"), QStringLiteral("float 2"));
    EXPECT_EQ(dictionary.Variables.GetValue(QStringLiteral("Rate")).toText(), QStringLiteral("Qty * 2"));
    EXPECT_EQ(runtime("Memo1.Left"), QStringLiteral("float 9"));
    EXPECT_EQ(memo->Left, 0);
    EXPECT_EQ(
        dictionary.Variables.GetValue(QStringLiteral("Discount")).toText(), QStringLiteral("Price / 10"));
    EXPECT_EQ(runtime("Discount"), QStringLiteral("absent"));
    EXPECT_EQ(dictionary.Variables.GetValue(QStringLiteral("Q1.AMT")), Value(4.0));
    EXPECT_EQ(progress, QStringList{QStringLiteral("Page 3")});
    EXPECT_TRUE(modalResults.isEmpty()); // the current page is a report page
    EXPECT_EQ(curYs, QList<qint32>{120});
    for (const char* special : {"Progress", "MODALRESULT", "cury"})
        EXPECT_EQ(runtime(special), QStringLiteral("absent")) << special;
}

TEST_F(ScriptAssignTest, ModalResultGoesToTheDialogPage)
{
    pages.Page(0)->PageKind = ptDialog;
    run(QStringLiteral("ModalResult := 2"));
    EXPECT_EQ(modalResults, QList<qint32>{2});
    // Without a current page there is no position to move and nothing to close.
    frRun().CurrentPage = nullptr;
    run(QStringLiteral("begin ModalResult := 1; CurY := 5 end"));
    EXPECT_EQ(modalResults, QList<qint32>{2});
    EXPECT_TRUE(curYs.isEmpty());
}

TEST_F(ScriptAssignTest, ReadsAndCallsGoThroughTheGlobalParser)
{
    QStringList called;
    globals.parser.CallFunction
        = [&](const QString& name, const Value& a, const Value&, const Value&, Value& value) {
              called += name + QLatin1Char(':') + a.stringValue();
              value = Value(qint32(7));
          };
    run(QStringLiteral("begin NewPage; x := Twice(3) end"));
    EXPECT_EQ(called, (QStringList{QStringLiteral("NEWPAGE:0"), QStringLiteral("TWICE:3")}));
    EXPECT_EQ(runtime("x"), QStringLiteral("integer 7"));

    // INC and DEC of the function library assign as scripts do.
    interpreter().AssignValue(QStringLiteral("Memo2.Top"), Value(qint32(15)));
    EXPECT_EQ(other->Top, 15);
}

TEST_F(ScriptAssignTest, GeometryBeyondWhatATemplateHoldsIsRefusedNamingTheProperty)
{
    auto band = std::make_unique<TfrBandView>();
    band->Name = QStringLiteral("Band1");
    pages.Page(0)->Add(std::move(band));
    pages.Page(0)->Name = QStringLiteral("Sheet");
    struct Case {
        const char* script;
        const char* message; // what the refusal says
    } cases[] = {
        {"Memo1.Height := 2147483648", "Property Height of Memo1 cannot be set: object geometry 2147483647"},
        {"Memo1.Left := -2147483648", "Property Left of Memo1 cannot be set: object geometry -2147483648"},
        {"Memo1.Top := 1000000 * 1000000 * 1000000", "Property Top of Memo1"},
        {"Band1.Height := 2147483647", "Property Height of Band1"},
        {"Page1.LeftMargin := 2147483647", "Property LeftMargin of Sheet cannot be set: margin 2147483647"},
        {"Page1.BottomMargin := -2147483648", "Property BottomMargin of Sheet"},
        {"Page1.Columns := -1", "Property Columns of Sheet cannot be set: column count -1"},
        {"Page1.ColumnWidth := 2147483647", "Property ColumnWidth of Sheet"},
        {"Page1.ColumnGap := -2000000", "Property ColumnGap of Sheet"},
        {"Page1.Width := 1000000 * 1000000", "Property Width of Sheet cannot be set: paper size"},
    };
    const TfrPage& page = *pages.Page(0);
    const qint32 margin = page.Margins[0], columns = page.Columns, paper = page.PaperSizeX;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        try {
            run(QString::fromLatin1(c.script));
            ADD_FAILURE() << "accepted";
        } catch (const VaskelError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.message))) << e.message().toStdString();
        }
    }
    EXPECT_EQ(memo->Left, 0) << "a refused value leaves the property as it was";
    EXPECT_EQ(memo->Height, 0);
    EXPECT_EQ(page.Margins[0], margin);
    EXPECT_EQ(page.Columns, columns);
    EXPECT_EQ(page.PaperSizeX, paper);
    // Values a template may hold still go through.
    run(QStringLiteral("begin Memo1.Height := 1000000; Page1.LeftMargin := -5; Band1.Height := 30 end"));
    EXPECT_EQ(memo->Height, 1000000);
    EXPECT_EQ(page.Margins[0], -5);
}

} // namespace
} // namespace vaskel
