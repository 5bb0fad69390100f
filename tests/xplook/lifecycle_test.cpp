// The component's life beside the controls it paints: controls and component destroyed in either
// order, deactivation while a control is being destroyed, the manager of the process's components
// with the component in charge, controls inserted later, and menus drawn by the component.
// Meant to run under AddressSanitizer as well: a dangling filter or record shows up there.
#include "XPLookWindow.h"

#include "ui/xplook/TXPMenuManager.h"

#include <QMenu>
#include <QMenuBar>

namespace vaskel {
namespace {

using test::XPLookWindow;

// After the component is gone, events to its former controls reach no filter of it.
void exercise(QWidget* w)
{
    test::enter(w);
    test::leave(w);
    test::grabbed(w);
}

TEST(XPLookLifecycle, ComponentAndControlsDestroyedInEitherOrder)
{
    {
        SCOPED_TRACE("the component first, then the window");
        XPLookWindow w;
        w.show();
        test::grabbed(w.window.get());
        delete w.look;
        EXPECT_EQ(TXPMenuManager::instance(), nullptr) << "the manager goes with the last component";
        for (QWidget* c :
            {static_cast<QWidget*>(w.button), static_cast<QWidget*>(w.combo), static_cast<QWidget*>(w.edit)})
            exercise(c);
        EXPECT_TRUE(w.edit->hasFrame());
    }
    {
        SCOPED_TRACE("the window with controls and component inside");
        XPLookWindow w;
        w.show();
        test::grabbed(w.window.get());
        w.window.reset();
    }
    {
        SCOPED_TRACE("a component made before the controls it paints");
        auto window = std::make_unique<QWidget>();
        auto* look = new TXPMenu(window.get());
        auto* edit = new QLineEdit(window.get());
        look->setActive(false);
        look->setActive(true);
        ASSERT_NE(look->subclassOf(edit), nullptr);
        window.reset(); // the component goes first here, the edit after it
    }
    {
        SCOPED_TRACE("controls destroyed while painted, then deactivation");
        XPLookWindow w;
        w.show();
        delete w.edit;
        delete w.combo;
        EXPECT_EQ(w.look->paintedControls(), 2);
        w.look->setActive(false);
        EXPECT_EQ(w.look->paintedControls(), 0);
    }
}

TEST(XPLookLifecycle, DeactivatingWhileAControlIsBeingDestroyed)
{
    {
        SCOPED_TRACE("from the control's destroyed signal, before the record hears of it");
        XPLookWindow w(false);
        TXPMenu* look = w.look;
        QObject::connect(w.edit, &QObject::destroyed, [look] { look->setActive(false); });
        look->setActive(true);
        w.show();
        delete w.edit;
        EXPECT_EQ(look->paintedControls(), 0);
        exercise(w.button);
    }
    {
        SCOPED_TRACE("from inside the control's destructor, its own class already gone");
        XPLookWindow w;
        w.show();
        TXPMenu* look = w.look;
        auto* inner = new QObject(w.edit);
        QObject::connect(inner, &QObject::destroyed, [look] { look->setActive(false); });
        delete w.edit;
        EXPECT_EQ(look->paintedControls(), 0);
    }
    {
        SCOPED_TRACE("destroying the component from inside a control's destructor");
        XPLookWindow w;
        w.show();
        TXPMenu* look = w.look;
        auto* inner = new QObject(w.combo);
        QObject::connect(inner, &QObject::destroyed, [look] { delete look; });
        delete w.combo;
        exercise(w.button);
        exercise(w.edit);
    }
}

TEST(XPLookLifecycle, ManagerHandsThePaintedWindowsOn)
{
    XPLookWindow a;
    XPLookWindow b;
    TXPMenuManager* manager = TXPMenuManager::instance();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->menus().size(), 2);
    EXPECT_EQ(manager->inCharge(), a.look);

    XPMenuSettings noSubclassing = a.look->settings();
    noSubclassing.DisableSubclassing = true;
    a.look->setSettings(noSubclassing);
    EXPECT_EQ(manager->inCharge(), b.look) << "a component that may not take over controls is not in charge";
    a.look->setSettings(XPMenuSettings());

    delete a.look;
    EXPECT_EQ(manager->inCharge(), b.look);
    EXPECT_NE(b.look->subclassOf(a.button), nullptr) << "the next active component took over";
    b.look->setActive(false);
    EXPECT_EQ(b.look->subclassOf(a.button), nullptr);
    EXPECT_TRUE(a.edit->hasFrame());
    EXPECT_EQ(manager->inCharge(), nullptr);
}

TEST(XPLookLifecycle, ControlsInsertedLaterAreTakenOver)
{
    XPLookWindow w;
    w.show();
    auto* later = new QLineEdit(w.window.get());
    EXPECT_EQ(w.look->subclassOf(later), nullptr) << "queued until the event loop turns";
    QApplication::processEvents();
    EXPECT_NE(w.look->subclassOf(later), nullptr);

    XPMenuSettings autoDetect = w.look->settings();
    autoDetect.AutoDetect = true;
    w.look->setSettings(autoDetect);
    auto* button = new QPushButton("OK", w.window.get());
    QApplication::sendPostedEvents(w.window.get(), QEvent::ChildPolished);
    button->ensurePolished();
    QApplication::processEvents();
    EXPECT_NE(w.look->subclassOf(button), nullptr);
}

TEST(XPLookLifecycle, MenusAreDrawnWithTheIconColumnAndGivenBack)
{
    XPLookWindow w(false);
    auto* bar = new QMenuBar(w.window.get());
    QMenu* menu = bar->addMenu("&File");
    QAction* open = menu->addAction("&Open\tCtrl+O");
    menu->addSeparator();
    QAction* check = menu->addAction("Wrap");
    check->setCheckable(true);
    check->setChecked(true);
    menu->addAction("Gone")->setEnabled(false);
    auto* own = new QMenu(w.window.get());
    own->setProperty("tag", 999);
    own->addAction("Kept");

    w.look->setActive(true);
    EXPECT_TRUE(w.look->drawsMenu(menu));
    EXPECT_FALSE(w.look->drawsMenu(own)) << "Tag 999";

    menu->adjustSize();
    const XPPalette& p = w.look->palette();
    const QFontMetrics fm(w.look->settings().Font);
    const QRect item = menu->actionGeometry(open);
    EXPECT_EQ(item.height(), std::max(fm.height() + fm.height() * 3 / 4, 6));
    QImage image = menu->grab().toImage();
    const int mid = item.center().y();
    EXPECT_EQ(image.pixelColor(3, mid), p.IconFill) << "icon column";
    EXPECT_EQ(image.pixelColor(item.right() - 2, mid), p.MenuFill);
    const QRect separator = menu->actionGeometry(menu->actions().at(1));
    EXPECT_EQ(separator.height(), 4);
    EXPECT_EQ(image.pixelColor(separator.right() - 4, separator.center().y()), p.SeparatorLine);
    const QRect checked = menu->actionGeometry(check);
    EXPECT_EQ(image.pixelColor(checked.left() + 3, checked.top() + 3), p.CheckedFill);

    menu->setActiveAction(open);
    image = menu->grab().toImage();
    EXPECT_EQ(image.pixelColor(item.right() - 3, mid), p.SelectFill) << "selected item";
    EXPECT_EQ(image.pixelColor(item.right(), mid), p.SelectBorder) << "its frame";

    w.look->setActive(false);
    EXPECT_FALSE(w.look->drawsMenu(menu));
    EXPECT_EQ(menu->style(), QApplication::style());
}

} // namespace
} // namespace vaskel
