// The data grids over real ODBC drivers (SQLite, and PostgreSQL when a server is reachable):
// Ctrl+Delete with its confirmation and optimistic locking, refused and cancelled edits that leave
// the stored value in the cell, dates typed in every form a cell accepts, right-aligned numbers,
// and cell texts that are the report's texts for the same values.
#include "support/AppTestDatabase.h"

#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "app/QueryGrid.h"
#include "app/TForm1.h"
#include "platform/DateTimeValue.h"
#include "platform/PlatformGlobals.h"
#include "report/model/DisplayFormat.h"
#include "support/TestGlobals.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vaskel {
namespace {

using test::Backend;
using test::TestDatabase;

constexpr int kKpDate = 1, kQnt = 4, kAmt = 5; // grid columns: LDLP_NO KPDATE CMNAME CMUNIT QNT AMT

class GridTest : public test::GlobalsTest, public ::testing::WithParamInterface<Backend> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(GetParam());
        if (db->connection().isEmpty())
            GTEST_SKIP() << backendName(GetParam()) << ": " << db->skipReason().toStdString();
        connection = std::make_unique<DatabaseConnection>(db->connection());
        purchase = std::make_unique<OdbcQuery>("ADOQuery1", connection.get(), TForm1::purchaseFields());
        purchase->setSql("select * from sb_tsjh order by AMT");
        purchase->setUpdateTable("sb_tsjh");
        purchase->open();
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        grid = new QueryGrid(purchase.get(),
            {{"LDLP_NO"}, {"KPDATE"}, {"CMNAME"}, {"CMUNIT"}, {"QNT"}, {"AMT"}}, window.get());
        elsewhere = new QLineEdit(window.get());
        layout->addWidget(grid);
        layout->addWidget(elsewhere);
        window->resize(500, 300);
        window->show();
        window->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset(); // the grid goes before its query
    }

    QString cell(int row, int column) const { return grid->model()->index(row, column).data().toString(); }
    int boxes() const
    {
        return static_cast<int>(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size());
    }
    QString lastBox() const { return scriptedUi->interactionsOf(Interaction::Kind::MessageBox).last().text; }
    void ctrlDelete(int row)
    {
        grid->setCurrentIndex(grid->model()->index(row, 2));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
        QApplication::sendEvent(grid, &press);
    }
    // Opens the cell's editor and types `text` into it.
    QLineEdit* typeInto(int row, int column, const QString& text)
    {
        const QModelIndex index = grid->model()->index(row, column);
        grid->setFocus();
        grid->setCurrentIndex(index);
        grid->edit(index);
        QApplication::processEvents();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor)
            editor->setText(text);
        return editor;
    }
    void keyTo(QWidget* w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::processEvents();
    }
    QString amtOf(const QString& name)
    {
        return db->scalar("select AMT from sb_tsjh where CMNAME='" + name + "'");
    }

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<DatabaseConnection> connection;
    std::unique_ptr<OdbcQuery> purchase;
    std::unique_ptr<QWidget> window;
    QueryGrid* grid = nullptr;
    QLineEdit* elsewhere = nullptr;
};

TEST_P(GridTest, CtrlDeleteAsksAndDeletesWithOptimisticLocking)
{
    ASSERT_EQ(cell(0, 2), "水泥"); // AMT 0.1, the smallest
    const QString rows = db->scalar("select count(*) from sb_tsjh");

    scriptedUi->queueModalResult(ModalResult::Cancel);
    ctrlDelete(0);
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(lastBox(), "Delete record?");
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::MessageBox).last().flags,
        int(MessageIcon::Question) | int(MessageButtons::OkCancel));
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh"), rows) << "refused: nothing deleted";
    EXPECT_EQ(grid->model()->rowCount(), 6);

    scriptedUi->queueModalResult(ModalResult::Ok);
    ctrlDelete(0); // row 0 has nulls: found by IS NULL
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh where CMNAME='水泥'"), "0");
    EXPECT_EQ(grid->model()->rowCount(), 5);
    EXPECT_EQ(cell(0, 2), "铜线") << "the next row moves up";
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(boxes(), 2) << "only the question";

    // Someone else changes the row meanwhile: it stays, and the user is told.
    ASSERT_TRUE(db->execute({"UPDATE sb_tsjh SET QNT=42 WHERE CMNAME='铜线'"}));
    scriptedUi->queueModalResult(ModalResult::Ok);
    ctrlDelete(0);
    EXPECT_EQ(boxes(), 4);
    EXPECT_TRUE(lastBox().startsWith("The row was changed or deleted by someone else"))
        << lastBox().toStdString();
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh where CMNAME='铜线'"), "1");
    EXPECT_EQ(grid->model()->rowCount(), 5);

    // Two rows with the same values cannot be told apart: neither is deleted.
    ASSERT_TRUE(db->execute({"INSERT INTO sb_tsjh VALUES ('D', NULL, 'twin', NULL, NULL, 0.01, NULL)",
        "INSERT INTO sb_tsjh VALUES ('D', NULL, 'twin', NULL, NULL, 0.01, NULL)"}));
    purchase->close();
    purchase->open();
    ASSERT_EQ(cell(0, 2), "twin");
    scriptedUi->queueModalResult(ModalResult::Ok);
    ctrlDelete(0);
    EXPECT_TRUE(lastBox().startsWith("The row cannot be deleted: 2 rows of sb_tsjh"))
        << lastBox().toStdString();
    EXPECT_EQ(db->scalar("select count(*) from sb_tsjh where CMNAME='twin'"), "2");

    // The last row deleted: the cursor goes to the new last row.
    const int last = grid->model()->rowCount() - 1;
    scriptedUi->queueModalResult(ModalResult::Ok);
    ctrlDelete(last);
    EXPECT_EQ(grid->model()->rowCount(), last);
    EXPECT_EQ(purchase->currentRow(), last - 1);
}

TEST_P(GridTest, RefusedAndCancelledEditsShowTheStoredValue)
{
    const int row = 3; // 角钢, AMT 2750.25
    ASSERT_EQ(cell(row, 2), "角钢");
    QAbstractItemModel* m = grid->model();
    m->setData(m->index(row, kAmt), "abc", Qt::EditRole);
    EXPECT_EQ(lastBox(), "'abc' is not a valid floating point value.");
    EXPECT_EQ(cell(row, kAmt), "2750.25") << "a refused value leaves the cell";

    ASSERT_TRUE(db->execute({"UPDATE sb_tsjh SET QNT=11 WHERE CMNAME='角钢'"}));
    m->setData(m->index(row, kAmt), "1", Qt::EditRole);
    EXPECT_EQ(cell(row, kAmt), "2750.25") << "a conflicting edit leaves the cell";
    EXPECT_EQ(amtOf("角钢").toDouble(), 2750.25);
    purchase->close();
    purchase->open();

    QLineEdit* editor = typeInto(row, kAmt, "7");
    ASSERT_NE(editor, nullptr);
    keyTo(editor, Qt::Key_Escape);
    EXPECT_EQ(cell(row, kAmt), "2750.25");
    EXPECT_EQ(amtOf("角钢").toDouble(), 2750.25) << "Escape writes nothing";

    editor = typeInto(row, kAmt, "8");
    ASSERT_NE(editor, nullptr);
    elsewhere->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(amtOf("角钢").toDouble(), 2750.25) << "leaving the grid cancels the edit";
    EXPECT_EQ(cell(row, kAmt), "2750.25");

    editor = typeInto(row, kAmt, "9.5");
    ASSERT_NE(editor, nullptr);
    keyTo(editor, Qt::Key_Return);
    EXPECT_EQ(amtOf("角钢").toDouble(), 9.5) << "Enter writes";
    EXPECT_EQ(cell(row, kAmt), "9.5");
}

TEST_P(GridTest, DateCellsAcceptWhatTheyShowAndIsoDates)
{
    struct Case {
        const char* name;
        QString shortDateFormat;
        QString typed;
    } cases[] = {
        {"the locale's short form", "m/d/yyyy", "3/18/2023"},
        {"ISO", "m/d/yyyy", "2023-03-18"},
        {"year first with slashes", "m/d/yyyy", "2023/3/18"},
        {"what a month-name locale shows", "d mmm yyyy", "18 Mar 2023"},
        {"a long month name, any case", "mmmm d, yyyy", "march 18, 2023"},
        {"day first with dots", "dd.mm.yyyy", "18.03.2023"},
    };
    LocaleSettings& locale = PlatformGlobals::get().locale;
    const LocaleSettings pinned = locale;
    const int row = 4; // 铝锭, 2023-04-02
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        locale = pinned;
        locale.shortDateFormat = c.shortDateFormat;
        if (c.shortDateFormat.contains('.'))
            locale.dateSeparator = '.';
        ASSERT_TRUE(db->execute({"UPDATE sb_tsjh SET KPDATE='2023-04-02' WHERE CMNAME='铝锭'"}));
        purchase->close();
        purchase->open();
        ASSERT_EQ(cell(row, 2), "铝锭");
        const int before = boxes();
        grid->model()->setData(grid->model()->index(row, kKpDate), c.typed, Qt::EditRole);
        EXPECT_EQ(boxes(), before) << lastBox().toStdString();
        EXPECT_EQ(db->scalar("select KPDATE from sb_tsjh where CMNAME='铝锭'").left(10), "2023-03-18");
        // The cell's own text reads back as the same date.
        const QString shown = cell(row, kKpDate);
        grid->model()->setData(grid->model()->index(row, kKpDate), shown, Qt::EditRole);
        EXPECT_EQ(boxes(), before) << shown.toStdString();
    }
    locale = pinned;
    grid->model()->setData(grid->model()->index(row, kKpDate), "2023-02-30", Qt::EditRole);
    EXPECT_EQ(lastBox(), "'2023-02-30' is not a valid date.");
}

TEST_P(GridTest, NumbersRightAlignedAndTextsAsTheReportShowsThem)
{
    QAbstractItemModel* m = grid->model();
    for (int column : {kQnt, kAmt})
        EXPECT_TRUE(m->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    for (int column : {0, kKpDate, 2})
        EXPECT_TRUE(m->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);

    // A locale with a decimal comma and day-first dates: grid and report agree on every text.
    LocaleSettings& locale = PlatformGlobals::get().locale;
    const LocaleSettings pinned = locale;
    locale.decimalSeparator = ',';
    locale.dateSeparator = '.';
    locale.shortDateFormat = "dd.mm.yyyy";
    for (int row = 0; row < m->rowCount(); ++row) {
        const QVariant amt = purchase->valueAt(row, kAmt);
        EXPECT_EQ(cell(row, kAmt), FormatForDisplay(Value::number(amt.toDouble()), 0, QString()));
        const QVariant date = purchase->valueAt(row, kKpDate);
        if (!date.isNull()) {
            EXPECT_EQ(cell(row, kKpDate),
                FormatForDisplay(Value::dateTime(DateTimeValue::fromDate(date.toDate())), 0, QString()));
        }
    }
    EXPECT_EQ(cell(3, kAmt), "2750,25");
    EXPECT_EQ(cell(3, kKpDate), "06.03.2023");
    locale = pinned;
}

INSTANTIATE_TEST_SUITE_P(Odbc, GridTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
    [](const auto& info) { return std::string(backendName(info.param)); });

} // namespace
} // namespace vaskel
