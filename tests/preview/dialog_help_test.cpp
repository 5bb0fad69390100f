// Context help of the print and find dialogs: "?" then a click on a control, or F1 on the control
// with the focus, shows that control's topic from the preview's help file; every context number
// the dialogs use has a topic.
#include "support/TestGlobals.h"

#include "report/preview/TfrPreviewSearchForm.h"
#include "report/preview/TfrPrintForm.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace vaskel::test {
namespace {

using DialogHelpTest = GlobalsTest;

// Sends the help event a click in "What's this?" mode sends to the control under the pointer.
void whatsThisClick(QWidget* control)
{
    const QPoint at = control->rect().center();
    QHelpEvent event(QEvent::WhatsThis, at, control->mapToGlobal(at));
    QApplication::sendEvent(control, &event);
}

TEST_F(DialogHelpTest, EveryControlWithAContextShowsItsTopic)
{
    TfrPrintForm print;
    TfrPreviewSearchForm find;
    for (QDialog* dialog : {static_cast<QDialog*>(&print), static_cast<QDialog*>(&find)}) {
        dialog->show();
        int controls = 0;
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            const int context = control->property("helpContext").toInt();
            if (context == 0 || !control->isVisible())
                continue;
            SCOPED_TRACE(control->metaObject()->className() + std::string(" ") + std::to_string(context));
            ++controls;
            const qsizetype before = scriptedUi->interactionsOf(Interaction::Kind::Help).size();
            whatsThisClick(control);
            const auto help = scriptedUi->interactionsOf(Interaction::Kind::Help);
            ASSERT_EQ(help.size(), before + 1);
            EXPECT_EQ(help.back().flags, context);
            EXPECT_FALSE(help.back().text.isEmpty()) << "no topic in the help file";
        }
        EXPECT_GE(controls, 6);
        dialog->hide();
    }
}

TEST_F(DialogHelpTest, F1ShowsTheTopicOfTheFocusedControl)
{
    TfrPrintForm print;
    print.show();
    QApplication::setActiveWindow(&print);
    struct Case {
        QWidget* control;
        int context;
    } cases[] = {{print.E1, 99}, {print.E2, 133}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.context);
        c.control->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        const auto help = scriptedUi->interactionsOf(Interaction::Kind::Help);
        ASSERT_FALSE(help.isEmpty());
        EXPECT_EQ(help.back().flags, c.context);
    }
    EXPECT_EQ(scriptedUi->interactionsOf(Interaction::Kind::Help).size(), 2);
}

} // namespace
} // namespace vaskel::test
