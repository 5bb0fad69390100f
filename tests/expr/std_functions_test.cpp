// The standard function library and the library mechanism, with the libraries as the only
// function handler: one line per call.
#include "ExprTestSupport.h"

#include "platform/ScriptedUi.h"
#include "report/expr/TfrStdFunctionLibrary.h"

namespace vaskel::test {
namespace {

class StdFunctionsTest : public ExprTest {
protected:
    StdFunctionsTest()
    {
        auto ui = std::make_unique<ScriptedUi>();
        scriptedUi = ui.get();
        globals.setUi(std::move(ui));
        // What the report's handler does first: "0", then the libraries in order.
        parser().CallFunction
            = [this](const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value) {
                  value = Value("0");
                  globals.libraries.HandleCall(name, p1, p2, p3, value);
              };
        parser().LookupName = [this](const QString& name, Value& value) {
            if (const Value* c = globals.constants.find(name))
                value = *c;
        };
    }

    void check(std::initializer_list<ExprCase> cases)
    {
        for (const ExprCase& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(eval(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
        }
    }

    ScriptedUi* scriptedUi = nullptr;
};

TEST_F(StdFunctionsTest, TextFunctions)
{
    check({
        {"length", "LENGTH('abc')", "integer 3"},
        {"length of empty text", "LENGTH('')", "integer 0"},
        {"length counts characters, not bytes", "LENGTH('中文')", "integer 2"},
        {"length of a number's text", "LENGTH(12.5)", "integer 4"},
        {"upper case", "UPPERCASE('abc Äö')", "string ABC ÄÖ"},
        {"lower case", "LOWERCASE('AbC')", "string abc"},
        {"name case", "NAMECASE('hELLO wORLD')", "string Hello world"},
        {"name case of empty text", "NAMECASE('')", "string "},
        {"trim blanks and control characters", "TRIM('  a b ' + CRLF)", "string a b"},
        {"position is 1-based", "POS('b', 'abcb')", "integer 2"},
        {"absent part", "POS('x', 'abc')", "integer 0"},
        {"case-sensitive", "POS('B', 'abc')", "integer 0"},
        {"empty part is not found", "POS('', 'abc')", "integer 0"},
        {"position counts characters", "POS('c', '中文c')", "integer 3"},
        {"a null argument fails", "UPPERCASE(Null)",
            "error: Could not convert variant of type (Null) into type (String)"},
        {"function names ignore case", "uppercase('x')", "string X"},
    });
}

TEST_F(StdFunctionsTest, NumberAndDateFunctions)
{
    check({
        {"pattern with thousands", "FORMATFLOAT('#,##0.00', 1234.5)", "string 1,234.50"},
        {"negative section", "FORMATFLOAT('0.0;(0.0)', -2)", "string (2.0)"},
        {"number from text", "FORMATFLOAT('0', '7')", "string 7"},
        {"date pattern", "FORMATDATETIME('yyyy-mm-dd', STRTODATE('11/15/1998'))", "string 1998-11-15"},
        {"day of a date", "DAYOF(STRTODATE('11/15/1998'))", "integer 15"},
        {"month", "MONTHOF(STRTODATE('11/15/1998'))", "integer 11"},
        {"year", "YEAROF(STRTODATE('1/2/2003'))", "integer 2003"},
        {"day of a date text", "DAYOF('3/9/2001')", "integer 9"},
        {"not a date", "DAYOF('soon')", "error: Could not convert variant of type (String) into type (Date)"},
        {"edit mask", "FORMATTEXT('000-0000', '5551234')", "string 555-1234"},
        {"unfilled places are blanks", "FORMATTEXT('(000) 000', '12')", "string (12 )    "},
        {"greater", "MAXNUM(1, 2)", "float 2"},
        {"smaller", "MINNUM(1, 2)", "float 1"},
        {"texts compare as texts", "MAXNUM('b', 'a')", "string b"},
        {"equal: the second", "MAXNUM(1, 1.0)", "float 1"},
    });
}

TEST_F(StdFunctionsTest, TextsOrderAsTheirBytesInTheFileCodePage)
{
    // GBK: 国 B9FA, 中 D6D0, 祖 D7E6; 😀 and ᐁ have no GBK form and come after all that has one.
    check({
        {"level-1 characters in GBK order", "'中' < '国'", "smallint 0"},
        {"the other way round", "'国' < '中'", "smallint 1"},
        {"ASCII before double-byte characters", "'z' < '中'", "smallint 1"},
        {"upper case before lower case", "'Z' < 'a'", "smallint 1"},
        {"a prefix comes first", "'中' < '中国'", "smallint 1"},
        {"the first difference decides", "'中国' < '祖'", "smallint 1"},
        {"outside the code page after everything", "'ᐁ' > '齄'", "smallint 1"},
        {"outside among themselves by code point", "'ᐁ' < '😀'", "smallint 1"},
        {"equal texts", "'中国' = '中国'", "smallint 1"},
        {"MAXNUM", "MAXNUM('中', '国')", "string 中"},
        {"MINNUM", "MINNUM('祖', '国')", "string 国"},
    });
    globals.codePage = CodePage(QStringLiteral("UTF-8"));
    check({
        {"UTF-8 files order by code point", "'中' < '国'", "smallint 1"},
        {"UTF-8 beyond the plane after the plane's end", "'！' < '😀'", "smallint 1"},
    });
}

TEST_F(StdFunctionsTest, QuestionsGoThroughTheUiServices)
{
    scriptedUi->queueText(QString("typed"));
    scriptedUi->queueText(std::nullopt);
    scriptedUi->queueModalResult(ModalResult::No);
    check({
        {"input box answer", "INPUT('Name?', 'def')", "string typed"},
        {"cancelled: the default", "INPUT('Name?', 'def')", "string def"},
        {"message box result", "MESSAGEBOX('Go on?', 'Question', mb_YesNo + mb_IconQuestion)", "integer 7"},
        {"flags must be a number", "MESSAGEBOX('a', 'b', 'c')",
            "error: Could not convert variant of type (String) into type (Integer)"},
    });
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].caption, "Question");
    EXPECT_EQ(boxes[0].text, "Go on?");
    EXPECT_EQ(boxes[0].flags, 4 + 32);
    const auto inputs = scriptedUi->interactionsOf(Interaction::Kind::InputBox);
    ASSERT_EQ(inputs.size(), 2);
    EXPECT_EQ(inputs[0].caption, "");
}

TEST_F(StdFunctionsTest, AggregatesWithoutAReportYieldZero)
{
    check({
        {"sum", "SUM([Amount])", "string 0"},
        {"count", "COUNT(MasterData1)", "string 0"},
    });
}

// A library an application adds: its names come after the standard library's.
class ExtraLibrary : public TfrFunctionLibrary {
public:
    static constexpr auto kClassName = "ExtraLibrary";
    ExtraLibrary()
    {
        FunctionNames = QStringList{"TRIM", "DOUBLE"};
        AddDescription("DOUBLE", "Extra", "DOUBLE(<X>)/Twice X");
        AddDescription("LOWER", "", "no category: not recorded");
    }
    QString ClassName() const override { return kClassName; }
    void Compute(int index, const Value& p1, const Value&, const Value&, Value& value) override
    {
        value = index == 0 ? Value("extra trim") : Value(p1.stringValue() + p1.stringValue());
    }
};

TEST_F(StdFunctionsTest, LibraryList)
{
    FunctionLibraryList& libraries = globals.libraries;
    ASSERT_EQ(libraries.Count(), 1);
    EXPECT_EQ(globals.installedFunctions.Find("REPORTNAME")->category, "Report info");
    EXPECT_EQ(globals.installedFunctions.Find("VBUILD")->description.section('/', 0, 0), "VBUILD");
    EXPECT_EQ(globals.installedFunctions.Find("SUM"), nullptr) << "no texts for the other functions";

    EXPECT_TRUE(libraries.RegisterLibrary<ExtraLibrary>());
    EXPECT_FALSE(libraries.RegisterLibrary<ExtraLibrary>()) << "one instance per class";
    check({
        {"the first library that knows a name computes it", "TRIM(' a ')", "string a"},
        {"the added library's own name", "DOUBLE(ab)", "string abab"},
    });
    EXPECT_EQ(globals.installedFunctions.Find("DOUBLE")->category, "Extra");
    EXPECT_EQ(globals.installedFunctions.Find("LOWER"), nullptr);

    libraries.UnregisterLibrary("ExtraLibrary");
    EXPECT_EQ(libraries.Count(), 1);
    EXPECT_EQ(globals.installedFunctions.Find("DOUBLE"), nullptr) << "its descriptions go with it";
    EXPECT_EQ(eval("DOUBLE(ab)"), "string 0");

    struct Numbered : TfrFunctionLibrary {
        explicit Numbered(QString name) : m_name(std::move(name)) { }
        QString ClassName() const override { return m_name; }
        void Compute(int, const Value&, const Value&, const Value&, Value&) override { }
        QString m_name;
    };
    int added = 0;
    for (int i = 0; i < 70; ++i) {
        const QString name = QString("Lib%1").arg(i);
        added += libraries.RegisterLibrary(name, [name] { return std::make_unique<Numbered>(name); }) ? 1 : 0;
    }
    EXPECT_EQ(libraries.Count(), FunctionLibraryList::kMaxLibraries);
    EXPECT_EQ(added, FunctionLibraryList::kMaxLibraries - 1);
}

TEST_F(StdFunctionsTest, Constants)
{
    check({
        {"colour", "clNavy", "integer 8388608"},
        {"no colour", "clTransparent", "integer 536870911"},
        {"system colour", "clScrollBar", "integer -16777216"},
        {"last system colour", "clInfoBk", "integer -16777192"},
        {"dialog result", "mrNo", "smallint 7"},
        {"font style", "fsBold + fsItalic", "integer 3"},
        {"band alignment", "baRest", "smallint 7"},
        {"line style", "psDouble", "smallint 5"},
        {"message box icon", "mb_IconWarning", "smallint 48"},
        {"text alignment", "frtaDown", "smallint 16"},
    });
    EXPECT_TRUE(globals.constants.Sorted());
}

} // namespace
} // namespace vaskel::test
