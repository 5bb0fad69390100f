// Saving from the designer: a template opened and saved unchanged comes back byte for byte but for
// its last-change date (look.frf and every example template); an edit changes only what was
// edited; "Save as" writes the JSON form; a save that fails says so and leaves the old file as
// it was. Closing with unsaved changes asks. Delete, copy and paste, within a window and between
// two, with names no view has.
#include "designer_Fixture.h"

#include "platform/DataPaths.h"
#include "report/model/TemplateWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QUndoStack>

namespace vaskel::test {
namespace {

using DesignerSave = DesignerTest;

// Where two saves of the same template differ: only the 8 bytes of the last-change date.
void expectSameButTheDate(const QByteArray& a, const QByteArray& b)
{
    ASSERT_EQ(a.size(), b.size());
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first >= 0) {
        EXPECT_LT(last - first, 8) << "bytes differ from " << first << " to " << last;
    }
}

TEST_F(DesignerSave, AnUnchangedTemplateSavesAsItWasRead)
{
    // look.frf, and every example template built as `vaskel template build` builds it.
    QStringList files{look};
    for (const QString& json : QDir(DataPaths::dataFile("examples")).entryList({"*.json"})) {
        QFile in(DataPaths::dataFile("examples/" + json));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        TemplateHolder holder;
        TemplateJson::fromJson(QJsonDocument::fromJson(in.readAll()), holder);
        const QString frf = dir.filePath(QString(json).replace(".json", ".frf"));
        QFile out(frf);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(TemplateWriter::SaveTemplateToStream(holder));
        files << frf;
    }
    ASSERT_GE(files.size(), 3);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        DesignerWindow w;
        ASSERT_TRUE(w.openFile(file));
        const QString copy = file + ".saved.frf";
        QString error;
        ASSERT_TRUE(w.document().save(copy, &error)) << error.toStdString();
        expectSameButTheDate(fileBytes(file), fileBytes(copy));
        EXPECT_EQ(templateJson(file), templateJson(copy));
    }
}

TEST_F(DesignerSave, AnEditChangesOnlyWhatWasEditedAndReloads)
{
    canvas->setSelection(views({"PurchaseField2"}));
    QTest::keyClick(canvas, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(window->inspector()->setText("Font.Size", "12"));
    EXPECT_TRUE(window->isWindowModified());
    ASSERT_TRUE(window->save());
    EXPECT_FALSE(window->isWindowModified());

    writeLookTemplate(dir.filePath("orig.frf"));
    const QMap<QString, QJsonObject> before = viewsByName(templateJson(dir.filePath("orig.frf")));
    const QMap<QString, QJsonObject> after = viewsByName(templateJson(look));
    ASSERT_EQ(before.keys(), after.keys());
    for (const QString& name : before.keys()) {
        if (name == "PurchaseField2")
            continue;
        EXPECT_EQ(before.value(name), after.value(name)) << name.toStdString();
    }
    QJsonObject edited = before.value("PurchaseField2");
    edited.insert("left", 288);
    QJsonObject font = edited.value("font").toObject();
    font.insert("size", 12);
    edited.insert("font", font);
    EXPECT_EQ(after.value("PurchaseField2"), edited);

    // Reopened, the designer shows the edit.
    DesignerWindow again;
    ASSERT_TRUE(again.openFile(look));
    EXPECT_EQ(again.currentCanvas()->page()->ObjectList.size(), page()->ObjectList.size());
}

TEST_F(DesignerSave, SaveAsWritesTheJsonFormThatReadsBack)
{
    const QString json = dir.filePath("look.json");
    scriptedUi->queueFileName(json);
    ASSERT_TRUE(window->saveAs());
    EXPECT_EQ(doc().fileName(), json);
    EXPECT_EQ(window->windowTitle().remove("[*]"), "Designer - look.json");
    DesignerWindow again;
    ASSERT_TRUE(again.openFile(json));
    const QString frf = dir.filePath("from-json.frf");
    ASSERT_TRUE(again.document().save(frf));
    EXPECT_EQ(templateJson(frf), templateJson(look));
}

TEST_F(DesignerSave, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    const QByteArray old = fileBytes(look);
    // A character the template's code page (GBK) cannot hold: the writer refuses the template.
    canvas->setSelection(views({"Company"}));
    ASSERT_TRUE(window->inspector()->setText("Memo", QString::fromUtf8("Qeltrin \xF0\x9F\x98\x80")));
    scriptedUi->clear();
    EXPECT_FALSE(window->save());
    const auto boxes = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.front().text.contains("look.frf")) << boxes.front().text.toStdString();
    EXPECT_EQ(fileBytes(look), old);
    EXPECT_TRUE(window->isWindowModified());

    // A folder that does not exist: nothing is written.
    const QString nowhere = dir.filePath("missing/look.frf");
    QString error;
    EXPECT_FALSE(doc().save(nowhere, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_EQ(doc().fileName(), look);
}

TEST_F(DesignerSave, ClosingWithUnsavedChangesAsks)
{
    canvas->setSelection(views({"Company"}));
    QTest::keyClick(canvas, Qt::Key_Down);
    const QByteArray old = fileBytes(look);
    struct Case {
        const char* name;
        ModalResult answer;
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {"Cancel keeps the window", ModalResult::Cancel, false, false},
        {"No closes without saving", ModalResult::No, true, false},
        {"Yes saves and closes", ModalResult::Yes, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        scriptedUi->queueModalResult(c.answer);
        window->show();
        EXPECT_EQ(window->close(), c.closes);
        EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size(), 1);
        EXPECT_EQ(fileBytes(look) != old, c.saved);
    }
    // Nothing to ask once saved.
    scriptedUi->clear();
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).isEmpty());
}

TEST_F(DesignerSave, DeleteCopyAndPasteWithinAndBetweenWindows)
{
    const size_t count = page()->ObjectList.size();
    canvas->setSelection(views({"BillNo", "BillDate"}));
    window->copySelection();
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(DesignerWindow::kViewsMimeType));

    window->paste();
    ASSERT_EQ(page()->ObjectList.size(), count + 2);
    QStringList pasted = selectedNames();
    // New names: the kind's prefix with the smallest free numbers; a grid step from the originals.
    EXPECT_EQ(pasted, (QStringList{"Memo1", "Memo2"}));
    EXPECT_EQ(rectOf("Memo1"), rectOf("BillNo").translated(8, 8));
    EXPECT_EQ(view("Memo2")->Memo, view("BillDate")->Memo);
    window->paste();
    EXPECT_EQ(selectedNames(), (QStringList{"Memo3", "Memo4"}));

    // Into a second window on a new template.
    DesignerWindow other;
    other.paste();
    TfrPage* otherPage = other.currentCanvas()->page();
    ASSERT_EQ(otherPage->ObjectList.size(), 2u);
    EXPECT_EQ(otherPage->ObjectList[0]->Name, "Memo1");

    // Delete, then undo puts the views back where they were in the stored order.
    canvas->setSelection(views({"BillNo", "NoPurchases"}));
    const auto indexOf = [this](const QString& name) {
        for (size_t i = 0; i < page()->ObjectList.size(); ++i)
            if (page()->ObjectList[i]->Name == name)
                return int(i);
        return -1;
    };
    const int billNoAt = indexOf("BillNo"), noPurchasesAt = indexOf("NoPurchases");
    window->deleteSelection();
    EXPECT_EQ(indexOf("BillNo"), -1);
    EXPECT_TRUE(canvas->selection().empty());
    doc().undoStack().undo();
    EXPECT_EQ(indexOf("BillNo"), billNoAt);
    EXPECT_EQ(indexOf("NoPurchases"), noPurchasesAt);
    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_EQ(page()->ObjectList.size(), count);
}

} // namespace
} // namespace vaskel::test
