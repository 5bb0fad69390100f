// What the flat look paints, read back from grabbed widgets (offscreen platform): the query
// button's face, border and edge line, the bill list's drop-down button and arrow, the total's
// edit border, in each state a person can put them in; Tag 999 and switching the look off leave
// pixels exactly as a control the look never touched.
#include "XPLookWindow.h"

#include "ui/xplook/XPControlKinds.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QStyle>
#include <QTableView>

#include <functional>

namespace vaskel {
namespace {

using namespace XPColor;
using test::XPLookWindow;

struct Expect {
    QPoint at; // negative coordinates count from the right or bottom edge
    std::function<QColor(const XPPalette&, const XPSystemColors&, const QWidget*)> color;
    const char* what;
};

struct PixelCase {
    const char* name;
    std::function<QWidget*(XPLookWindow&)> act;
    std::vector<Expect> expect;
};

QColor btnShadowBorder(const XPPalette&, const XPSystemColors& s, const QWidget*)
{
    return Lighten(s.btnShadow, 30);
}
QColor selectBorder(const XPPalette& p, const XPSystemColors&, const QWidget*)
{
    return Lighten(Lighten(p.SelectBorder, 60), 30);
}
QColor iconFill(const XPPalette& p, const XPSystemColors&, const QWidget*)
{
    return p.IconFill;
}
QColor hotFace(const XPPalette&, const XPSystemColors& s, const QWidget*)
{
    return Lighten(s.btnFace, XPPalette::HotTint);
}
QColor normalEdge(const XPPalette&, const XPSystemColors& s, const QWidget*)
{
    return Shade(s.btnShadow, 50);
}
QColor selectEdge(const XPPalette& p, const XPSystemColors&, const QWidget*)
{
    return Shade(Lighten(p.SelectBorder, 60), 50);
}
QColor parentOf(const QWidget* w)
{
    return w->parentWidget()->palette().color(QPalette::Window);
}

QColor parentTint(const XPPalette&, const XPSystemColors&, const QWidget* w)
{
    return Lighten(parentOf(w), XPPalette::ParentTint);
}

// Points on the 75 × 25 query button: left border, left edge line, face, right edge line.
constexpr QPoint kBorder(0, 12), kLeftEdge(1, 12), kFace(4, 12), kRightEdge(73, 12);
// Points on the 145 × 21 bill list: its drop-down button, the arrow's 5- and 1-pixel lines, and
// the left border line.
constexpr QPoint kComboButton(139, 5), kArrowTop(137, 10), kArrowTip(137, 12), kComboBorder(2, 10);

std::vector<PixelCase> cases()
{
    return {
        {"button, not hot", [](XPLookWindow& w) { return w.button; },
            {{kBorder, btnShadowBorder, "border"}, {kFace, iconFill, "face"},
                {kLeftEdge, iconFill, "no left edge"}, {kRightEdge, normalEdge, "edge on the right"}}},
        {"button, hot (mouse over)",
            [](XPLookWindow& w) {
                test::enter(w.button);
                return w.button;
            },
            {{kBorder, selectBorder, "border"}, {kFace, hotFace, "face"}, {kRightEdge, selectEdge, "edge"}}},
        {"button, mouse gone again",
            [](XPLookWindow& w) {
                test::enter(w.button);
                test::leave(w.button);
                return w.button;
            },
            {{kBorder, btnShadowBorder, "border"}, {kFace, iconFill, "face"}}},
        {"button, focused, mouse elsewhere",
            [](XPLookWindow& w) {
                test::focus(w.button);
                test::leave(w.button);
                return w.button;
            },
            {{kBorder, selectBorder, "border"}, {kFace, iconFill, "face"}, {kRightEdge, selectEdge, "edge"}}},
        {"button, Space held: edge on the left and top",
            [](XPLookWindow& w) {
                test::focus(w.button);
                test::key(w.button, QEvent::KeyPress, Qt::Key_Space);
                test::key(w.button, QEvent::KeyPress, Qt::Key_Space, true); // auto-repeat
                return w.button;
            },
            {{kLeftEdge, selectEdge, "left edge"}, {QPoint(12, 1), selectEdge, "top edge"},
                {kRightEdge, hotFace, "no right edge"}, {kFace, hotFace, "face"}}},
        {"button, Space released",
            [](XPLookWindow& w) {
                test::focus(w.button);
                test::key(w.button, QEvent::KeyPress, Qt::Key_Space);
                test::key(w.button, QEvent::KeyRelease, Qt::Key_Space);
                return w.button;
            },
            {{kLeftEdge, hotFace, "no left edge"}, {kRightEdge, selectEdge, "right edge"}}},
        {"button, Tag 1000: face in a tint of the parent's colour",
            [](XPLookWindow& w) {
                w.button->setProperty("tag", 1000);
                return w.button;
            },
            {{kFace, parentTint, "face"}}},
        {"bitmap button, Tag 1001 (its bits hold 1000's): parent-tinted face as border, no edge line",
            [](XPLookWindow& w) {
                w.bitBtn->setProperty("tag", 1001);
                return w.bitBtn;
            },
            {{QPoint(0, 14), parentTint, "border"}, {QPoint(98, 14), parentTint, "no edge"},
                {QPoint(4, 14), parentTint, "face"}}},
        {"combo box, normal", [](XPLookWindow& w) { return w.combo; },
            {{kComboButton, [](auto&, const XPSystemColors& s, auto) { return s.btnFace; }, "button"},
                {kArrowTop, [](auto&, auto&, auto) { return QColor(Qt::black); }, "arrow"},
                {kArrowTip, [](auto&, auto&, auto) { return QColor(Qt::black); }, "arrow tip"},
                {QPoint(141, 12), [](auto&, const XPSystemColors& s, auto) { return s.btnFace; },
                    "beside the tip"},
                {kComboBorder,
                    [](auto&, auto&, const QWidget* c) { return c->palette().color(QPalette::Base); },
                    "border"},
                {QPoint(0, 10), [](auto&, auto&, const QWidget* c) { return parentOf(c); }, "outer edge"}}},
        {"combo box, hot",
            [](XPLookWindow& w) {
                test::enter(w.combo);
                return w.combo;
            },
            {{kComboButton, [](const XPPalette& p, auto&, auto) { return p.SelectFill; }, "button"},
                {kArrowTop, [](auto&, auto&, auto) { return QColor(Qt::black); }, "arrow"},
                {kComboBorder, [](const XPPalette& p, auto&, auto) { return p.SelectBorder; }, "border"}}},
        {"combo box, focused",
            [](XPLookWindow& w) {
                test::focus(w.combo);
                test::leave(w.combo);
                return w.combo;
            },
            {{kComboButton, [](const XPPalette& p, auto&, auto) { return p.FocusFill; }, "button"},
                {kComboBorder, [](const XPPalette& p, auto&, auto) { return Lighten(p.SelectBorder, 60); },
                    "border"}}},
        {"combo box, dropped down",
            [](XPLookWindow& w) {
                w.combo->showPopup();
                return w.combo;
            },
            {{kComboButton, [](const XPPalette& p, auto&, auto) { return p.PressedFill; }, "button"},
                {kArrowTop, [](auto&, auto&, auto) { return QColor(Qt::white); }, "white arrow"},
                {kArrowTip, [](auto&, auto&, auto) { return QColor(Qt::white); }, "white arrow tip"},
                {kComboBorder, [](const XPPalette& p, auto&, auto) { return p.SelectBorder; }, "border"}}},
        {"edit box, neither hot nor focused", [](XPLookWindow& w) { return w.edit; },
            {{QPoint(0, 10), [](auto&, auto&, const QWidget* e) { return Shade(parentOf(e), 60); }, "left"},
                {QPoint(80, 20), [](auto&, auto&, const QWidget* e) { return Shade(parentOf(e), 60); },
                    "bottom"}}},
        {"edit box, hot",
            [](XPLookWindow& w) {
                test::enter(w.edit);
                return w.edit;
            },
            {{QPoint(0, 10), [](const XPPalette& p, auto&, auto) { return Lighten(p.SelectBorder, 60); },
                 "left"},
                {QPoint(160, 10), [](const XPPalette& p, auto&, auto) { return Lighten(p.SelectBorder, 60); },
                    "right"}}},
        {"edit box, focused",
            [](XPLookWindow& w) {
                test::focus(w.edit);
                test::leave(w.edit);
                return w.edit;
            },
            {{QPoint(80, 0), [](const XPPalette& p, auto&, auto) { return Lighten(p.SelectBorder, 60); },
                 "top"},
                {QPoint(1, 10),
                    [](auto&, auto&, const QWidget* e) { return e->palette().color(QPalette::Base); },
                    "inside: no 3-D frame"}}},
    };
}

std::string rgb(const QColor& c)
{
    return QStringLiteral("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()).toStdString();
}

TEST(XPLookPainting, ControlStatesPaintTheirColours)
{
    for (const PixelCase& c : cases()) {
        SCOPED_TRACE(c.name);
        XPLookWindow w;
        w.show();
        QWidget* target = c.act(w);
        const QImage image = test::grabbed(target);
        const XPPalette& palette = w.look->palette();
        const XPSystemColors colors = w.look->systemColors();
        for (const Expect& e : c.expect) {
            const QPoint at(e.at.x() < 0 ? image.width() + e.at.x() : e.at.x(),
                e.at.y() < 0 ? image.height() + e.at.y() : e.at.y());
            EXPECT_EQ(rgb(image.pixelColor(at)), rgb(e.color(palette, colors, target)))
                << e.what << " at " << at.x() << "," << at.y();
        }
        if (w.combo->view()->isVisible())
            w.combo->hidePopup();
    }
}

TEST(XPLookPainting, AutoRepeatedSpaceIsOnePress)
{
    XPLookWindow w;
    w.show();
    test::focus(w.button);
    TControlSubClass* record = w.look->subclassOf(w.button);
    ASSERT_NE(record, nullptr);
    test::key(w.button, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(record->SpaceDown);
    test::key(w.button, QEvent::KeyRelease, Qt::Key_Space, true); // an auto-repeat's release
    EXPECT_TRUE(record->SpaceDown) << "auto-repeat keeps the key down";
    test::key(w.button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_FALSE(record->SpaceDown);
    w.button->setEnabled(false);
    test::enter(w.button);
    EXPECT_FALSE(record->Hot) << "a disabled control never gets hot";
}

// Every control of the window grabbed one by one.
QList<QImage> grabAll(XPLookWindow& w)
{
    return {test::grabbed(w.button), test::grabbed(w.bitBtn), test::grabbed(w.combo), test::grabbed(w.edit)};
}

TEST(XPLookPainting, UntouchedControlsEqualANeverPaintedTwin)
{
    XPLookWindow twin(false);
    twin.show();
    const QList<QImage> plain = grabAll(twin);
    ASSERT_EQ(twin.look->paintedControls(), 0);

    struct Case {
        const char* name;
        std::function<void(XPLookWindow&)> before; // before the look is switched on
        std::function<void(XPLookWindow&)> after; // after it was on and painted
        QList<int> untouched; // indexes into grabAll
    } cases[] = {
        {"Tag 999 on the edit box", [](XPLookWindow& w) { w.edit->setProperty("tag", 999); }, {}, {3}},
        {"Tag 999 on the parent", [](XPLookWindow& w) { w.window->setProperty("tag", 999); }, {},
            {0, 1, 2, 3}},
        {"Active switched off again", {}, [](XPLookWindow& w) { w.look->setActive(false); }, {0, 1, 2, 3}},
        {"the component destroyed", {}, [](XPLookWindow& w) { delete w.look; }, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XPLookWindow w(false);
        if (c.before)
            c.before(w);
        w.look->setActive(true);
        w.show();
        const QList<QImage> painted = grabAll(w);
        if (c.after) {
            EXPECT_NE(painted[3], plain[3]) << "the look paints while on";
        }
        if (c.after)
            c.after(w);
        const QList<QImage> now = grabAll(w);
        for (int i : c.untouched)
            EXPECT_TRUE(now[i] == plain[i]) << "control " << i << " differs from its twin";
    }
}

TEST(XPLookPainting, EditFrameIsGivenBackAsItWas)
{
    XPLookWindow w;
    w.show();
    test::grabbed(w.edit);
    EXPECT_FALSE(w.edit->hasFrame()) << "the 3-D frame goes on the first repaint";
    w.look->setActive(false);
    EXPECT_TRUE(w.edit->hasFrame());

    QLineEdit* flat = new QLineEdit(w.window.get());
    flat->setFrame(false);
    w.look->setActive(true);
    test::grabbed(flat);
    w.look->setActive(false);
    EXPECT_FALSE(flat->hasFrame()) << "a frameless edit stays frameless";
}

TEST(XPLookPainting, LabelsAndGridsAreNotPainted)
{
    XPLookWindow w;
    auto* label = new QLabel("进货：", w.window.get());
    auto* grid = new QTableView(w.window.get());
    w.look->setActive(false);
    w.look->setActive(true);
    EXPECT_EQ(w.look->subclassOf(label), nullptr);
    EXPECT_EQ(w.look->subclassOf(grid), nullptr);
    EXPECT_NE(w.look->subclassOf(w.button), nullptr);
    EXPECT_NE(w.look->subclassOf(w.combo), nullptr);
    EXPECT_EQ(w.look->paintedControls(), 4);
}

} // namespace
} // namespace vaskel
