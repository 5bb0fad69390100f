// The data tree over the bill data module on the demo database, a field dragged from it onto
// look.frf's bands, the code editor's highlighting, checking and completion, the band's group
// condition in the inspector, and the dictionary editor.
#include "designer_Fixture.h"

#include "app/DatabaseConnection.h"
#include "app/DemoDatabase.h"
#include "designer/CodeEditor.h"
#include "designer/DataTree.h"
#include "designer/DesignCommands.h"
#include "designer/DictionaryEditor.h"
#include "designer/ViewInsertion.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrBandView.h"
#include "support/CommandRun.h"
#include "support/DemoFolder.h"
#include "tools/RenderCommand.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

namespace vaskel::test {
namespace {

class DesignerData : public DesignerTest {
protected:
    void SetUp() override
    {
        DesignerTest::SetUp();
        DemoDatabase::prepare(dir.filePath("demo"));
        window->dataTree()->setDatasets(DataTree::datasetsOf(
            DatabaseConnection::odbcFromProviderString(DatabaseConnection::kLegacyConnectionString)));
    }

    QTreeWidgetItem* item(const QString& section, const QStringList& path) const
    {
        QTreeWidgetItem* at = window->dataTree()->section(section);
        for (const QString& step : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; at && i < at->childCount(); ++i)
                if (at->child(i)->text(0) == step || at->child(i)->text(0).startsWith(step + " : "))
                    next = at->child(i);
            at = next;
        }
        return at;
    }

    // Drops what a drag of `field` carries at `units` on the canvas, as a drag would end.
    void dropField(QTreeWidgetItem* field, QPointF units)
    {
        std::unique_ptr<QMimeData> data(DataTree::mimeDataOf(*field));
        ASSERT_TRUE(data);
        const QPoint at = canvas->toPixels(units).toPoint();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(canvas, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(canvas, &drop);
    }

    void setMemo(TfrView* memo, const QString& text)
    {
        const ViewField* f = valueFieldOf(*memo, "Memo");
        doc().undoStack().push(new FieldCommand(doc(), memo, f, f->valueOf(*memo), QStringList{text}));
    }

    const ScopedDemoFolder demo{dir.filePath("demo")};
};

TEST_F(DesignerData, TreeListsDatasetsFieldsVariablesSystemVariablesAndFunctions)
{
    QTreeWidgetItem* cmname = item("Datasets", {"ADOQuery1", "CMNAME"});
    ASSERT_NE(cmname, nullptr);
    EXPECT_TRUE(cmname->text(0).startsWith("CMNAME : String(")) << cmname->text(0).toStdString();
    ASSERT_NE(item("Datasets", {"ADOQuery1", "AMT"}), nullptr);
    EXPECT_EQ(item("Datasets", {"ADOQuery1", "AMT"})->text(0), "AMT : Float");
    EXPECT_NE(item("Datasets", {"ADOQuery2", "LJ_DATE"}), nullptr);
    EXPECT_NE(item("Report datasets", {"frDBDataSet1 (ADOQuery1)"}), nullptr);
    EXPECT_NE(item("Variables", {"BillNumber"}), nullptr);
    EXPECT_NE(item("System variables", {"TOTALPAGES"}), nullptr);
    QTreeWidgetItem* sum = item("Functions", {"TfrStdFunctionLibrary", "SUM"});
    ASSERT_NE(sum, nullptr);
    window->dataTree()->tree()->setCurrentItem(sum);
    EXPECT_TRUE(window->dataTree()
                    ->findChild<QLabel*>("description")
                    ->text()
                    .startsWith("SUM(expression, data band)"));

    const QStringList names = window->dataTree()->completions();
    for (const char* n : {"ADOQuery1.\"CMNAME\"", "frDBDataSet2", "BillNumber", "PAGE#", "IF", "FORMATFLOAT"})
        EXPECT_TRUE(names.contains(n)) << n;
    // A variable added to the dictionary shows at once.
    DictionaryEditor editor(doc(), names);
    editor.addCategory("Totals");
    editor.addVariable("Net", "ADOQuery1.\"AMT\" * 0.87");
    editor.apply();
    EXPECT_NE(item("Variables", {"Totals", "Net"}), nullptr);
}

TEST_F(DesignerData, FieldDroppedOnABandBecomesAMemoAndOnADataHeaderAlsoItsCaption)
{
    // On the purchase data band: one memo at the drop point holding the field, as wide as its
    // characters need.
    dropField(item("Datasets", {"ADOQuery1", "CMUNIT"}), QPointF(600, 210));
    ASSERT_EQ(selectedNames(), QStringList{"Memo1"});
    TfrView* field = view("Memo1");
    EXPECT_EQ(field->Memo, QStringList{"[ADOQuery1.\"CMUNIT\"]"});
    EXPECT_EQ(field->Left, 600);
    EXPECT_EQ(field->Top, 206 + 22 - 19) << "kept on the 22-unit strip";
    EXPECT_GT(field->Width, 30);
    EXPECT_LT(field->Width, 300);

    // On the purchase header: the caption there and the field on the data band below, one undo.
    dropField(item("Datasets", {"ADOQuery1", "AMT"}), QPointF(40, 150));
    ASSERT_EQ(selectedNames(), (QStringList{"Memo2", "Memo3"}));
    EXPECT_EQ(view("Memo2")->Memo, QStringList{"AMT"});
    EXPECT_EQ(view("Memo2")->Top, 150);
    EXPECT_EQ(view("Memo3")->Memo, QStringList{"[ADOQuery1.\"AMT\"]"});
    EXPECT_EQ(view("Memo3")->Top, 206);
    EXPECT_EQ(view("Memo3")->Left, 40);
    EXPECT_EQ(view("Memo3")->Width, 80);
    doc().undoStack().undo();
    EXPECT_TRUE(std::none_of(page()->ObjectList.begin(), page()->ObjectList.end(),
        [](const auto& v) { return v->Name == "Memo2" || v->Name == "Memo3"; }));

    // Off every band nothing is made.
    const size_t count = page()->ObjectList.size();
    dropField(item("Datasets", {"ADOQuery1", "AMT"}), QPointF(300, 700));
    EXPECT_EQ(page()->ObjectList.size(), count);
}

TEST_F(DesignerData, EditorsUnderlineErrorsWithTheCompilersMessageAndRunNothing)
{
    struct Case {
        const char* name;
        CodeCheck::Mode mode;
        const char* text;
        const char* message; // empty: sound
        const char* underlined;
    };
    const Case cases[] = {
        {"memo with fields and formats", CodeCheck::Mode::Memo,
            "Total: [SUM([ADOQuery1.\"AMT\"], Band1) #N#,##0.00] of [TOTALPAGES]", "", ""},
        {"memo with a name in Chinese", CodeCheck::Mode::Memo, "[单据号]", "", ""},
        {"memo missing a parenthesis", CodeCheck::Mode::Memo, "Sum: [ADOQuery1.\"AMT\" * (2 + 3]",
            "Line 1/31: Need \")\" here", "]"},
        {"memo bracket never closed", CodeCheck::Mode::Memo, "a\n[PAGE#", "Line 2/7: Need \"]\" here", "#"},
        {"expression with two operands in a row", CodeCheck::Mode::Expression, "ADOQuery1.\"KPDATE\" 5",
            "Line 1/20: Need an operator here", "5"},
        {"expression missing an operand", CodeCheck::Mode::Expression, "1 +", "Line 1/4: Invalid expression",
            "+"},
        {"script without then", CodeCheck::Mode::Script,
            "begin\n  if [PAGE#] > 1\n    Memo1.Visible := False\nend", "Line 3/5: Need \"then\" here",
            "Memo1.Visible"},
        {"sound script", CodeCheck::Mode::Script,
            "begin\n  if [PAGE#] > 1 then\n    Memo1.Visible := False\nend", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CodeEditor editor(c.mode);
        QString message = "not checked";
        QObject::connect(&editor, &CodeEditor::checked, [&](const QString& m) { message = m; });
        editor.setPlainText(c.text);
        editor.checkNow();
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(editor.lastCheck().ok, QString(c.message).isEmpty());
        EXPECT_EQ(editor.errorRange().selectedText(), c.underlined);
        // The underline is what the editor shows: a red wavy line over that range.
        if (!QString(c.message).isEmpty()) {
            ASSERT_EQ(editor.extraSelections().size(), 1);
            EXPECT_EQ(
                editor.extraSelections().first().format.underlineStyle(), QTextCharFormat::WaveUnderline);
        } else {
            EXPECT_TRUE(editor.extraSelections().isEmpty());
        }
    }
    // Checking ran nothing: a script that would stop the report or ask the person did neither.
    CodeEditor script(CodeCheck::Mode::Script);
    script.setPlainText("begin MESSAGEBOX('x', 'y', 0); STOPREPORT end");
    script.checkNow();
    EXPECT_TRUE(script.lastCheck().ok);
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).empty());
}

TEST_F(DesignerData, CtrlSpaceOffersFieldsOfTheTree)
{
    CodeEditor editor(CodeCheck::Mode::Memo);
    editor.setCompletions(window->dataTree()->completions());
    editor.show();
    QTest::keyClicks(&editor, "Unit: ADOQuery1.\"CMU");
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
    QCompleter* completer = editor.completer();
    EXPECT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), "ADOQuery1.\"CMUNIT\"");
    // Taken into a memo's plain text, the name becomes an expression.
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(editor.toPlainText(), "Unit: [ADOQuery1.\"CMUNIT\"]");

    // Inside brackets it stays a name; a prefix of several offers each.
    editor.setPlainText("[ADOQuery2.\"C");
    editor.moveCursor(QTextCursor::End);
    editor.complete();
    QStringList offered;
    for (int i = 0; completer->setCurrentRow(i); ++i)
        offered << completer->currentCompletion();
    EXPECT_TRUE(offered.contains("ADOQuery2.\"CMNAME\"")) << offered.join(' ').toStdString();
    EXPECT_TRUE(offered.contains("ADOQuery2.\"CMUNIT\""));
}

TEST_F(DesignerData, GroupConditionAndDictionaryAreCheckedAsTyped)
{
    // A group header's condition in the inspector: red with the message while it does not read.
    TfrView* group = ViewInsertion::insertView(
        doc(), page(), ViewInsertion::Kind::Band, QRect(0, 500, 0, 0), GroupHeader);
    ASSERT_NE(group, nullptr);
    canvas->setSelection({group});
    auto* condition = qobject_cast<QLineEdit*>(window->inspector()->editorOf("Condition"));
    ASSERT_NE(condition, nullptr);
    ASSERT_NE(condition->completer(), nullptr);
    condition->setText("");
    QTest::keyClicks(condition, "ADOQuery1.\"KPDATE\" +");
    EXPECT_EQ(condition->toolTip(), "Line 1/21: Invalid expression");
    EXPECT_FALSE(condition->styleSheet().isEmpty());
    QTest::keyClicks(condition, " 1");
    EXPECT_TRUE(condition->toolTip().isEmpty());
    EXPECT_TRUE(condition->styleSheet().isEmpty());

    // A data band's data source: a dataset the tree knows, or a number of records.
    TfrView* data = ViewInsertion::insertView(
        doc(), page(), ViewInsertion::Kind::Band, QRect(0, 560, 0, 0), MasterData);
    ASSERT_NE(data, nullptr);
    canvas->setSelection({data});
    auto* source = qobject_cast<QLineEdit*>(window->inspector()->editorOf("DataSource"));
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(window->dataTree()->datasetNames().contains("frDBDataSet1"));
    const struct {
        const char* typed;
        const char* message;
    } sources[] = {{"frDBDataSet9", "No dataset named \"frDBDataSet9\" is known"}, {"frdbdataset1", ""},
        {"12", ""}, {"", ""}};
    for (const auto& c : sources) {
        source->selectAll();
        QTest::keyClick(source, Qt::Key_Backspace);
        QTest::keyClicks(source, c.typed);
        EXPECT_EQ(source->toolTip(), c.message) << c.typed;
        EXPECT_EQ(source->styleSheet().isEmpty(), *c.message == 0) << c.typed;
    }

    // The dictionary editor: categories and variables, the chosen variable's expression checked,
    // one command for the whole edit.
    DictionaryEditor editor(doc(), window->dataTree()->completions());
    editor.addCategory("Totals");
    editor.addVariable("Net", "");
    QTest::keyClicks(editor.expressionEditor(), "ADOQuery1.\"AMT\" * (1 - 0.13");
    editor.expressionEditor()->checkNow();
    EXPECT_EQ(editor.messageLabel()->text(), "Line 1/28: Need \")\" here");
    EXPECT_EQ(editor.firstError(), "Net: Line 1/28: Need \")\" here");
    QTest::keyClicks(editor.expressionEditor(), ")");
    editor.expressionEditor()->checkNow();
    EXPECT_TRUE(editor.messageLabel()->text().isEmpty());
    EXPECT_TRUE(editor.firstError().isEmpty());
    const int steps = doc().undoStack().count();
    EXPECT_TRUE(editor.apply());
    EXPECT_EQ(doc().undoStack().count(), steps + 1);
    const TfrVariables& vars = doc().holder().Dictionary.Variables;
    ASSERT_EQ(vars.Count(), 3);
    EXPECT_EQ(vars.Names(0), "BillNumber");
    EXPECT_EQ(vars.Names(1), " Totals");
    EXPECT_EQ(vars.Names(2), "Net");
    EXPECT_EQ(vars.Values(2).toText(), "ADOQuery1.\"AMT\" * (1 - 0.13)");
    doc().undoStack().undo();
    EXPECT_EQ(doc().holder().Dictionary.Variables.Count(), 1);
}

// The user guide's walkthrough: a list of the purchase lines built from an empty page through the
// designer's commands (the band menu and clicks, fields dragged from the tree, the inspector, the
// memo text command, two passes), compared with the same report written as JSON
// (docs/guide/walkthrough.json), and both rendered alike by `vaskel render` on the demo data.
TEST_F(DesignerData, WalkthroughBuildsTheListReportOfTheUserGuide)
{
    doc().newTemplate();
    canvas = window->currentCanvas();
    canvas->resize(canvas->sizeHint());
    auto placeBand = [this](const QString& kind, int y) {
        window->bandMenu()->aboutToShow();
        for (QAction* a : window->bandMenu()->actions())
            if (a->text() == kind)
                a->trigger();
        QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->toPixels(QPointF(100, y)).toPoint());
        return canvas->selection().front();
    };
    auto placeMemo = [this](const QRect& r, const QString& text) {
        window->findChild<QAction*>("insertMemo")->trigger();
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->toPixels(QPointF(r.topLeft())).toPoint());
        QTest::mouseMove(canvas, canvas->toPixels(QPointF(r.bottomRight())).toPoint());
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->toPixels(QPointF(r.bottomRight())).toPoint());
        TfrView* memo = canvas->selection().front();
        setMemo(memo, text);
        return memo;
    };

    TfrView* header = placeBand("Page header", 40);
    TfrView* data = placeBand("Master data", 96);
    TfrView* summary = placeBand("Report summary", 152);
    TfrView* footer = placeBand("Page footer", 1000);
    EXPECT_EQ(header->Name, "Band1");
    EXPECT_EQ(data->Top, 96);
    canvas->setSelection({data});
    ASSERT_TRUE(window->inspector()->setText("DataSource", "frDBDataSet1"));
    ASSERT_TRUE(window->inspector()->setText("Height", "24"));

    placeMemo(QRect(16, 40, 400, 20), "Purchase lines");
    placeMemo(QRect(16, 64, 280, 16), "Name");
    placeMemo(QRect(304, 64, 104, 16), "Quantity");
    placeMemo(QRect(416, 64, 120, 16), "Amount");
    dropField(item("Datasets", {"ADOQuery1", "CMNAME"}), QPointF(16, 98));
    dropField(item("Datasets", {"ADOQuery1", "QNT"}), QPointF(304, 98));
    dropField(item("Datasets", {"ADOQuery1", "AMT"}), QPointF(416, 98));
    placeMemo(QRect(304, 152, 232, 20), "Total: [SUM([ADOQuery1.\"AMT\"], Band2) #N#,##0.00]");
    placeMemo(QRect(416, 1000, 120, 20), "Page [PAGE#] of [TOTALPAGES]");
    window->findChild<QAction*>("twoPass")->trigger();
    EXPECT_EQ(summary->Name, "Band3");
    EXPECT_EQ(footer->Top, 1000);

    const QString built = dir.filePath("walkthrough.frf");
    ASSERT_TRUE(doc().save(built));
    auto comparable = [](QJsonObject json) {
        // The dates of the information block and the printer are the machine's, not the report's.
        QJsonObject info = json.value("info").toObject();
        info.remove("created");
        info.remove("lastChanged");
        json.insert("info", info);
        json.remove("printerName");
        return json;
    };
    const QString source = QStringLiteral(VASKEL_TEST_SOURCE_DIR) + "/docs/guide/walkthrough.json";
    const QJsonObject designed = comparable(templateJson(built));
    if (qEnvironmentVariableIsSet("VASKEL_UPDATE_WALKTHROUGH")) {
        QFile out(source);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(designed).toJson());
    }
    QFile written(source);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << source.toStdString();
    TemplateHolder holder;
    TemplateJson::fromJson(QJsonDocument::fromJson(written.readAll()), holder);
    const QString fromJson = dir.filePath("written.frf");
    QFile frf(fromJson);
    ASSERT_TRUE(frf.open(QIODevice::WriteOnly));
    frf.write(TemplateWriter::SaveTemplateToStream(holder));
    frf.close();
    EXPECT_EQ(designed, comparable(templateJson(fromJson)));

    // Both render alike: the same pages, with the list, the total and "Page N of M".
    QStringList rendered;
    for (const QString& t : {built, fromJson}) {
        const QString out = t + ".pages.json";
        const CommandRun run = runCommand(&runRenderCommand, {t, "--demo", "--json", out});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        rendered << QString::fromUtf8(fileBytes(out));
    }
    EXPECT_EQ(rendered.at(0), rendered.at(1));
    EXPECT_TRUE(rendered.at(0).contains("Page 1 of ")) << rendered.at(0).left(2000).toStdString();
    EXPECT_TRUE(rendered.at(0).contains("Total: "));
    EXPECT_TRUE(rendered.at(0).contains("Purchase lines"));
}

} // namespace
} // namespace vaskel::test
