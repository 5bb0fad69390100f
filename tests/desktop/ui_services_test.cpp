// The desktop's UI services under the offscreen platform: the progress window runs its work inside
// its own modal loop and keeps Cancel live, an exception from the work reaches the caller only after
// the window closed, and message boxes answer with the button pressed.
#include "platform/InterfaceLanguage.h"
#include "ui/desktop/ProgressDialog.h"
#include "ui/desktop/QtUiServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <stdexcept>

namespace vaskel {
namespace {

// Calls `act` with the modal window as soon as one shows. A repeating timer, because the window
// opens only after the call under test has started; it stops itself after acting.
class WhenModalShows {
public:
    explicit WhenModalShows(std::function<void(QWidget*)> act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act = std::move(act)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible()) {
                m_timer.stop();
                act(modal);
            }
        });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

// Runs the loop of a work item until Cancel or, as a guard against a hanging test, a generous
// deadline; returns whether it saw Cancel.
bool loopUntilCancelled(ProgressControl& p)
{
    QDeadlineTimer guard(10000);
    while (!guard.hasExpired()) {
        if (p.cancelRequested())
            return true;
    }
    return false;
}

TEST(QtUiServices, ProgressRunsTheWorkInsideItsModalWindow)
{
    QtUiServices ui;
    QString titleDuringWork;
    QString lineDuringWork;
    const ModalResult r
        = ui.runWithProgress("Preparing report", "Processing page:  1", [&](ProgressControl& p) {
              auto* window = qobject_cast<ProgressDialog*>(QApplication::activeModalWidget());
              ASSERT_NE(window, nullptr);
              ASSERT_TRUE(window->isVisible());
              p.setText("Processing page:  2");
              titleDuringWork = window->windowTitle();
              lineDuringWork = window->text();
              EXPECT_FALSE(p.cancelRequested());
          });
    EXPECT_EQ(r, ModalResult::Ok);
    EXPECT_EQ(titleDuringWork, "Preparing report");
    EXPECT_EQ(lineDuringWork, "Processing page:  2");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUiServices, ProgressAnswersWhatTheWorkClosedWith)
{
    QtUiServices ui;
    const ModalResult r = ui.runWithProgress("Printing", "Printing page:", [](ProgressControl& p) {
        p.close(ModalResult::Cancel);
        p.close(ModalResult::Ok); // the first result stands
    });
    EXPECT_EQ(r, ModalResult::Cancel);
}

TEST(QtUiServices, CancelStaysLiveWhileTheWorkRuns)
{
    struct Case {
        const char* name;
        std::function<void(QWidget*)> press;
    };
    const Case cases[] = {
        {"Cancel button clicked",
            [](QWidget* w) { qobject_cast<ProgressDialog*>(w)->cancelButton()->click(); }},
        {"Escape pressed",
            [](QWidget* w) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(w, &escape);
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtUiServices ui;
        WhenModalShows press(c.press);
        bool sawCancel = false;
        const ModalResult r = ui.runWithProgress(
            "Preparing report", "", [&](ProgressControl& p) { sawCancel = loopUntilCancelled(p); });
        EXPECT_TRUE(sawCancel);
        EXPECT_EQ(r, ModalResult::Cancel);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(QtUiServices, ExceptionOfTheWorkReachesTheCallerAfterTheWindowClosed)
{
    QtUiServices ui;
    bool windowWasUp = false;
    try {
        ui.runWithProgress("Preparing report", "", [&](ProgressControl&) {
            windowWasUp = QApplication::activeModalWidget() != nullptr;
            throw std::runtime_error("Undefined symbol \"X\"");
        });
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Undefined symbol \"X\"");
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_TRUE(windowWasUp);
}

TEST(QtUiServices, MessageBoxAnswersWithThePressedButton)
{
    struct Case {
        const char* name;
        MessageButtons buttons;
        QMessageBox::StandardButton press;
        ModalResult expected;
    };
    const Case cases[] = {
        {"OK box", MessageButtons::Ok, QMessageBox::Ok, ModalResult::Ok},
        {"OK of OK/Cancel", MessageButtons::OkCancel, QMessageBox::Ok, ModalResult::Ok},
        {"Cancel of OK/Cancel", MessageButtons::OkCancel, QMessageBox::Cancel, ModalResult::Cancel},
        {"No of Yes/No", MessageButtons::YesNo, QMessageBox::No, ModalResult::No},
        {"Yes of Yes/No/Cancel", MessageButtons::YesNoCancel, QMessageBox::Yes, ModalResult::Yes},
        {"Cancel of Yes/No/Cancel", MessageButtons::YesNoCancel, QMessageBox::Cancel, ModalResult::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtUiServices ui;
        QString shownText;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        WhenModalShows press([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            shownText = box->text();
            shownIcon = box->icon();
            box->button(c.press)->click();
        });
        EXPECT_EQ(ui.messageBox("Vaskel", "Save changes?", MessageIcon::Question, c.buttons), c.expected);
        EXPECT_EQ(shownText, "Save changes?");
        EXPECT_EQ(shownIcon, QMessageBox::Question);
    }
}

TEST(QtUiServices, ErrorBoxShowsTheMessageWithItsFullStop)
{
    QtUiServices ui;
    QString shownText;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    WhenModalShows press([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownIcon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    ui.showError("Unsupported FRF format");
    EXPECT_EQ(shownText, "Unsupported FRF format.");
    EXPECT_EQ(shownIcon, QMessageBox::Critical);
}

TEST(QtUiServices, ErrorBoxSpeaksTheInterfaceLanguage)
{
    // The report core raises its messages in English; the box shows them translated, keeping
    // what filled the message's places.
    ASSERT_TRUE(InterfaceLanguage::install(QStringLiteral("zh_CN")));
    QtUiServices ui;
    QString shownText;
    WhenModalShows press([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    ui.showError("Stream read error.\n/tmp/bill.frp: read of 5336 bytes past the end at byte offset 60");
    InterfaceLanguage::uninstall();
    EXPECT_EQ(shownText, "流读取错误。\n/tmp/bill.frp: read of 5336 bytes past the end at byte offset 60.");
}

void press(QWidget* w, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void click(QWidget* w, QPoint at)
{
    QMouseEvent event(
        QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// The topic holds the pointer and the keyboard while it shows, as every popup does; the next
// click, wherever it lands, or the next key must close it, or the whole desktop stays grabbed.
TEST(QtUiServices, HelpTopicClosesOnTheNextClickOrKey)
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    QApplication::setActiveWindow(&window);
    QtUiServices ui;
    struct Case {
        const char* name;
        std::function<void(QWidget*)> act;
    } cases[] = {
        {"Escape", [](QWidget* p) { press(p, Qt::Key_Escape); }},
        {"another key", [](QWidget* p) { press(p, Qt::Key_A); }},
        {"a click outside", [](QWidget* p) { click(p, QPoint(-20, -20)); }},
        {"a click on the topic", [](QWidget* p) { click(p, QPoint(5, 5)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.showHelp(207, "The pages of the report.");
        QPointer<QFrame> popup = ui.helpPopup();
        ASSERT_TRUE(popup);
        EXPECT_TRUE(popup->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), popup.data());
        c.act(popup);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(popup) << "the topic is still up";
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST(QtUiServices, InputAndPasswordAnswerTheTextOrNothingWhenCancelled)
{
    QtUiServices ui;
    {
        WhenModalShows type([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            dialog->setTextValue("12");
            dialog->accept();
        });
        EXPECT_EQ(ui.inputBox("Copies", "Number of copies:", "1"), std::optional<QString>("12"));
    }
    {
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        WhenModalShows cancel([&](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            echo = dialog->textEchoMode();
            dialog->reject();
        });
        EXPECT_EQ(ui.password("Password", "Enter password for opening report"), std::nullopt);
        EXPECT_EQ(echo, QLineEdit::Password);
    }
}

} // namespace
} // namespace vaskel
