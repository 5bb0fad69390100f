// The property inspector on look.frf: its entries come from the view kind's property table in
// order, accepted values change the template through the undo stack, refused values (the limits
// every template reader applies, names that are taken, text where a number belongs) change
// nothing and are named; the page's own settings work the same way.
#include "designer_Fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

namespace vaskel::test {
namespace {

using DesignerInspector = DesignerTest;

TEST_F(DesignerInspector, ListsTheMemosPropertyTableEntriesInOrder)
{
    canvas->setSelection(views({"BillNo"}));
    PropertyInspector& inspector = *window->inspector();
    const QStringList names = inspector.entryNames();
    ASSERT_GE(names.size(), 10);
    EXPECT_EQ(names.mid(0, 5), (QStringList{"Name", "Left", "Top", "Width", "Height"}));
    // Entries the table marks as reachable by name only ("Flags", "Memo.Count") are not listed.
    EXPECT_FALSE(names.contains("Flags"));
    EXPECT_FALSE(names.contains("Memo.Count"));
    for (const char* editor : {"Font", "DisplayFormat", "Memo", "Restrictions", "FrameStyle", "Visible"})
        EXPECT_TRUE(names.contains(editor)) << editor;
    EXPECT_NE(qobject_cast<QComboBox*>(inspector.editorOf("FrameStyle")), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(inspector.editorOf("Visible")), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(inspector.editorOf("WordWrap")), nullptr);

    // A band lists its own entries.
    canvas->setSelection(views({"PurchaseData"}));
    EXPECT_TRUE(window->inspector()->entryNames().contains("OnBeforePrint"));
    EXPECT_FALSE(window->inspector()->entryNames().contains("FrameWidth"));
}

TEST_F(DesignerInspector, AcceptsValuesWithinTheReadersLimitsAndRefusesOthers)
{
    canvas->setSelection(views({"BillNo"}));
    PropertyInspector& inspector = *window->inspector();
    struct Case {
        const char* name;
        const char* entry;
        const char* text;
        bool accepted;
        const char* message; // part of the refusal
    };
    const Case cases[] = {
        {"a left within the page", "Left", "40", true, ""},
        {"a frame width as a fraction", "FrameWidth", "2.5", true, ""},
        {"a width beyond the object geometry limit", "Width", "2000000", false, "object geometry"},
        {"a font size beyond the limit", "Font.Size", "20000", false, "font size"},
        {"text where a number belongs", "Top", "ten", false, "number"},
        {"a frame style outside its 16 bits", "FrameStyle", "70000", false, "65535"},
        {"a name another view has", "Name", "BillDate", false, "BillDate"},
        {"an empty name", "Name", "  ", false, "name"},
        {"a new name", "Name", "BillNumber", true, ""},
    };
    int commands = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int countBefore = doc().undoStack().count();
        EXPECT_EQ(inspector.setText(c.entry, c.text), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(inspector.message().isEmpty());
            EXPECT_EQ(doc().undoStack().count(), ++commands);
        } else {
            EXPECT_TRUE(inspector.message().contains(c.message, Qt::CaseInsensitive))
                << inspector.message().toStdString();
            EXPECT_EQ(doc().undoStack().count(), countBefore);
        }
    }
    TfrView* v = canvas->selection().front();
    EXPECT_EQ(v->Name, "BillNumber");
    EXPECT_EQ(v->Left, 40);
    EXPECT_FLOAT_EQ(v->FrameWidth, 2.5f);
    EXPECT_EQ(v->Width, 340);
    doc().undoStack().undo();
    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_EQ(v->Name, "BillNo");
    EXPECT_EQ(v->Left, 20);
    EXPECT_FLOAT_EQ(v->FrameWidth, 1.0f);
}

TEST_F(DesignerInspector, AnEntryChangesEverySelectedViewAsOneUndoStep)
{
    canvas->setSelection(views({"BillNo", "BillDate"}));
    ASSERT_TRUE(window->inspector()->setText("Top", "80"));
    EXPECT_EQ(view("BillNo")->Top, 80);
    EXPECT_EQ(view("BillDate")->Top, 80);
    EXPECT_EQ(doc().undoStack().count(), 1);
    doc().undoStack().undo();
    EXPECT_EQ(view("BillNo")->Top, 76);
    EXPECT_EQ(view("BillDate")->Top, 76);
}

TEST_F(DesignerInspector, FollowsMovesInPlace)
{
    canvas->setSelection(views({"BillNo"}));
    auto* left = qobject_cast<QLineEdit*>(window->inspector()->editorOf("Left"));
    ASSERT_NE(left, nullptr);
    QTest::keyClick(canvas, Qt::Key_Right);
    QCoreApplication::processEvents();
    // The same field shows the new value: a move does not rebuild the list.
    EXPECT_EQ(window->inspector()->editorOf("Left"), left);
    EXPECT_EQ(left->text(), "21");
    doc().undoStack().undo();
    QCoreApplication::processEvents();
    EXPECT_EQ(left->text(), "20");
}

TEST_F(DesignerInspector, ListsAndCheckboxesChangeTheirFields)
{
    canvas->setSelection(views({"Heading"}));
    auto* style = qobject_cast<QComboBox*>(window->inspector()->editorOf("FrameStyle"));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->currentText(), "psSolid");
    style->setCurrentIndex(5);
    emit style->activated(5);
    EXPECT_EQ(view("Heading")->FrameStyle, psDouble);

    QCoreApplication::processEvents(); // the inspector re-reads its values
    auto* visible = qobject_cast<QCheckBox*>(window->inspector()->editorOf("Visible"));
    ASSERT_NE(visible, nullptr);
    visible->setChecked(false);
    EXPECT_FALSE(view("Heading")->Visible);

    // Frame sides are a menu of checkable sides.
    QCoreApplication::processEvents();
    auto* sides = qobject_cast<QToolButton*>(window->inspector()->editorOf("FrameTyp"));
    ASSERT_NE(sides, nullptr);
    sides->menu()->actions().at(0)->setChecked(true); // Left
    EXPECT_EQ(view("Heading")->FrameTyp, FrameSides::Left);

    doc().undoStack().undo();
    EXPECT_EQ(view("Heading")->FrameTyp, 0);
    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_TRUE(view("Heading")->Visible);
    EXPECT_EQ(view("Heading")->FrameStyle, psSolid);
}

TEST_F(DesignerInspector, AMemosTextOpensInTheTextEditorUnlessRestricted)
{
    // The editor opens modally; the person types two lines and presses OK.
    QTimer::singleShot(0, [] {
        QDialog* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPlainTextEdit*>("text")->setPlainText("Bill\n[BillNo]");
        dialog->accept();
    });
    window->editLines(view("Heading"), "Memo");
    EXPECT_EQ(view("Heading")->Memo, (QStringList{"Bill", "[BillNo]"}));
    EXPECT_EQ(doc().undoStack().count(), 1);

    // A memo whose text may not be edited opens nothing.
    view("Company")->Restrictions = DesignRestrictions::NoMemoEdit;
    const QStringList before = view("Company")->Memo;
    window->editLines(view("Company"), "Memo");
    EXPECT_EQ(view("Company")->Memo, before);
    EXPECT_EQ(doc().undoStack().count(), 1);
}

TEST_F(DesignerInspector, ThePageShowsWhenNothingIsSelected)
{
    canvas->setSelection({});
    PropertyInspector& inspector = *window->inspector();
    const QStringList names = inspector.entryNames();
    for (const char* entry : {"Size", "Orientation", "LeftMargin", "Columns", "PrintToPrevPage"})
        EXPECT_TRUE(names.contains(entry)) << entry;
    ASSERT_TRUE(inspector.setText("LeftMargin", "40"));
    EXPECT_EQ(page()->Margins[0], 40);
    EXPECT_FALSE(inspector.setText("Columns", "5000"));
    EXPECT_TRUE(inspector.message().contains("column", Qt::CaseInsensitive))
        << inspector.message().toStdString();
    EXPECT_EQ(page()->Columns, 1);

    auto* orientation = qobject_cast<QComboBox*>(inspector.editorOf("Orientation"));
    ASSERT_NE(orientation, nullptr);
    orientation->setCurrentIndex(1);
    emit orientation->activated(1);
    EXPECT_EQ(page()->PaperOrientation, 1);
    EXPECT_GT(canvas->paperUnits().width(), canvas->paperUnits().height());
    doc().undoStack().undo();
    doc().undoStack().undo();
    EXPECT_EQ(page()->PaperOrientation, 0);
    EXPECT_EQ(page()->Margins[0], 0);
}

} // namespace
} // namespace vaskel::test
