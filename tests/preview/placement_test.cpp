// The preview window's placement in the settings store: written on close, read on show, and
// values that are missing, not numbers or out of sight replaced by sane ones.
#include "preview_Fixture.h"

#include <QScreen>

namespace vaskel {
namespace {

using test::PreviewTest;

class PlacementTest : public PreviewTest {
protected:
    TfrPreviewForm& show()
    {
        addPages(report.PreparedPages(), 1);
        report.ModalPreview = false;
        host.onWindowCreated = [this](TfrPreviewForm& f) { f.Settings = &settings; };
        report.ShowPrepared();
        return *host.openWindows().value(0);
    }
    QString key(const char* name) { return TfrPreviewForm::settingsSection() + name; }
    QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(PlacementTest, WrittenOnCloseAndReadOnShow)
{
    settings.writeBool(key("Maximized"), false);
    settings.writeInteger(key("XPosition"), 30);
    settings.writeInteger(key("YPosition"), 40);
    settings.writeInteger(key("Width"), 500);
    settings.writeInteger(key("Height"), 400);
    TfrPreviewForm& f = show();
    EXPECT_FALSE(f.isMaximized());
    EXPECT_EQ(f.geometry(), QRect(30, 40, 500, 400));
    f.setGeometry(60, 70, 520, 410);
    f.close();
    EXPECT_EQ(settings.value(key("XPosition")).toString(), "60");
    EXPECT_EQ(settings.value(key("YPosition")).toString(), "70");
    EXPECT_EQ(settings.value(key("Width")).toString(), "520");
    EXPECT_EQ(settings.value(key("Height")).toString(), "410");
    EXPECT_EQ(settings.value(key("Maximized")).toString(), "0");
}

TEST_F(PlacementTest, MissingValuesOpenMaximisedAndClosingKeepsThat)
{
    TfrPreviewForm& f = show();
    EXPECT_TRUE(f.isMaximized());
    // Un-maximised (or where nothing maximises it) the window is large and centred, not the
    // small size it is laid out at.
    const QRect normal = f.normalGeometry().isValid() ? f.normalGeometry() : f.geometry();
    EXPECT_EQ(normal.size(), QSize(screen().width() * 4 / 5, screen().height() * 4 / 5));
    EXPECT_EQ(normal.center(), screen().center());
    f.close();
    EXPECT_EQ(settings.value(key("Maximized")).toString(), "1");
    QApplication::processEvents();

    // The maximised window stored the screen's bounds; opened again from them, un-maximising
    // still gives the large centred size, not the whole screen.
    TfrPreviewForm& again = show();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry().isValid() ? again.normalGeometry() : again.geometry(), normal);
    again.close();
}

TEST_F(PlacementTest, GarbageAndOutOfSightValuesFallBackOrAreClamped)
{
    struct Case {
        const char* name;
        QString x, y, w, h;
    } cases[] = {
        {"not numbers", "left", "", "wide", "1e3"},
        {"far off every screen", "50000", "-40000", "500", "400"},
        {"negative and huge sizes", "0", "0", "-20", "999999"},
        // Built into a rectangle as they are, these overflow its right edge and centre.
        {"near 2^31", "2147483000", "-2147483600", "2147483647", "2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.setValue(key("Maximized"), "no");
        settings.setValue(key("XPosition"), c.x);
        settings.setValue(key("YPosition"), c.y);
        settings.setValue(key("Width"), c.w);
        settings.setValue(key("Height"), c.h);
        TfrPreviewForm& f = show();
        EXPECT_TRUE(f.isMaximized()) << "\"no\" is no boolean: the default";
        if (QString(c.name) == "not numbers") {
            const QRect normal = f.normalGeometry().isValid() ? f.normalGeometry() : f.geometry();
            EXPECT_EQ(normal, TfrPreviewForm::defaultPlacement(QSize(459, 293)))
                << "the large centred default";
        }
        f.showNormal();
        const QRect g = f.normalGeometry().isValid() ? f.normalGeometry() : f.geometry();
        EXPECT_TRUE(screen().contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_GT(g.width(), 0);
        EXPECT_GT(g.height(), 0);
        f.close();
        QApplication::processEvents();
    }
}

} // namespace
} // namespace vaskel
