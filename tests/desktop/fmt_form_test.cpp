// The display-format editor: what it shows for a given format, how the lists and fields follow the
// selection, and the code it composes on OK.
#include "support/TestGlobals.h"

#include "ui/desktop/TfrFmtForm.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace vaskel {
namespace {

class FmtFormTest : public test::GlobalsTest {
protected:
    // The editor opened on a format, as a designer would open it.
    void open(qint32 code, const QString& text = {})
    {
        form.FormatCode = code;
        form.FormatText = text;
        form.hide(); // each opening fills the window afresh
        form.show();
        QApplication::processEvents();
    }

    static QStringList items(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    TfrFmtForm form;
};

TEST_F(FmtFormTest, LayoutAndTexts)
{
    EXPECT_EQ(form.size(), QSize(276, 217));
    EXPECT_EQ(form.CatLB->geometry(), QRect(8, 16, 121, 97));
    EXPECT_EQ(form.TypeLB->geometry(), QRect(136, 16, 121, 97));
    EXPECT_EQ(form.Button1->geometry(), QRect(117, 188, 75, 25));
    EXPECT_EQ(form.Button2->geometry(), QRect(197, 188, 75, 25));
    EXPECT_TRUE(form.Button1->isDefault());
    EXPECT_EQ(form.SplEdit->maxLength(), 1);
    // The string table has no texts for the caption and labels: the window keeps its own.
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Variable formatting"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Decimal digits"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Frac delimiter"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Format"));
    EXPECT_EQ(form.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Cancel"));
}

TEST_F(FmtFormTest, OpensOnTheGivenFormat)
{
    open(0x0101022C);
    EXPECT_EQ(items(form.CatLB), (QStringList{"Text", "Number", "Date", "Time", "Boolean"}));
    EXPECT_EQ(form.CatLB->currentRow(), 1);
    EXPECT_EQ(items(form.TypeLB), (QStringList{"1234,5", "1234,50", "1 234,5", "1 234,50", "Custom"}));
    EXPECT_EQ(form.TypeLB->currentRow(), 1);
    EXPECT_TRUE(form.DecEdit->isEnabled());
    EXPECT_EQ(form.DecEdit->text(), QStringLiteral("2"));
    EXPECT_EQ(form.SplEdit->text(), QStringLiteral(","));
    EXPECT_FALSE(form.FormatEdit->isEnabled());
    EXPECT_EQ(form.FormatEdit->text(), QString());

    open(0x02040000, QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(form.CatLB->currentRow(), 2);
    EXPECT_EQ(form.TypeLB->currentRow(), 4);
    EXPECT_FALSE(form.DecEdit->isEnabled());
    EXPECT_EQ(form.DecEdit->text(), QString());
    EXPECT_TRUE(form.FormatEdit->isEnabled());
    EXPECT_EQ(form.FormatEdit->text(), QStringLiteral("dd.mm.yyyy"));
}

TEST_F(FmtFormTest, SelectingACategoryListsItsKinds)
{
    open(0x0101022C);
    form.CatLB->setCurrentRow(0);
    EXPECT_EQ(items(form.TypeLB), QStringList{"[None]"}) << "the text category has one kind";
    EXPECT_EQ(form.TypeLB->currentRow(), 0);
    EXPECT_FALSE(form.SplEdit->isEnabled());
    form.CatLB->setCurrentRow(4);
    EXPECT_EQ(items(form.TypeLB), (QStringList{"0;1", "No;Yes", "_;x", "False;True", "Custom"}));
    EXPECT_EQ(form.TypeLB->currentRow(), 0);
    form.TypeLB->setCurrentRow(4);
    EXPECT_TRUE(form.FormatEdit->isEnabled());
}

TEST_F(FmtFormTest, OkComposesTheCode)
{
    struct Case {
        const char* name;
        int category;
        int kind;
        const char* decimals;
        const char* separator;
        const char* pattern;
        qint32 code;
        const char* text;
    };
    const Case cases[] = {
        {"fixed number, 3 decimals, '.'", 1, 1, "3", ".", nullptr, 0x0101032E, "kept"},
        {"an empty separator is ','", 1, 0, "2", "", nullptr, 0x0100022C, "kept"},
        {"decimals that are no number are 0", 1, 0, "x", ".", nullptr, 0x0100002E, "kept"},
        {"decimals beyond the field are its most", 1, 0, "300", ".", nullptr, 0x0100FF2E, "kept"},
        {"custom number pattern", 1, 4, "0", ",", "#,##0.00", 0x0104002C, "#,##0.00"},
        {"custom date pattern", 2, 4, nullptr, nullptr, "yyyy", 0x0204002C, "yyyy"},
        {"time kind 2", 3, 2, nullptr, nullptr, nullptr, 0x0302002C, "kept"},
        {"boolean pair", 4, 1, nullptr, nullptr, nullptr, 0x0401002C, "kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(0x0101022C, QStringLiteral("kept"));
        form.CatLB->setCurrentRow(c.category);
        form.TypeLB->setCurrentRow(c.kind);
        if (c.decimals)
            form.DecEdit->setText(QString::fromUtf8(c.decimals));
        if (c.separator)
            form.SplEdit->setText(QString::fromUtf8(c.separator));
        if (c.pattern)
            form.FormatEdit->setText(QString::fromUtf8(c.pattern));
        form.Button1->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.FormatCode, c.code) << std::hex << form.FormatCode;
        EXPECT_EQ(form.FormatText, QString::fromUtf8(c.text));
    }
}

TEST_F(FmtFormTest, CancelKeepsTheFormat)
{
    open(0x0101022C, QStringLiteral("kept"));
    form.CatLB->setCurrentRow(2);
    form.Button2->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.FormatCode, 0x0101022C);
    EXPECT_EQ(form.FormatText, QStringLiteral("kept"));
}

TEST_F(FmtFormTest, EnteringTheSeparatorSelectsIt)
{
    open(0x0101022C);
    form.SplEdit->deselect();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(form.SplEdit, &focusIn);
    QApplication::processEvents();
    EXPECT_EQ(form.SplEdit->selectedText(), QStringLiteral(","));
}

} // namespace
} // namespace vaskel
