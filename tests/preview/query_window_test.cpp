// The clerk's road end to end on the demo database: choose a bill, Query, Print preview; the
// preview window opens on the bill's pages.
#include "preview_Fixture.h"

#include "app/DemoDatabase.h"
#include "app/TForm1.h"
#include "platform/RecordingDevice.h"
#include "report/preview/TfrTBButton.h"
#include "support/DemoFolder.h"
#include "support/LookTemplate.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>

namespace vaskel {
namespace {

using test::PreviewTest;

TEST_F(PreviewTest, PrintPreviewOpensThePreviewWindowOnTheBill)
{
    const test::ScopedDemoFolder demo{dir.filePath("demo")};
    DemoDatabase::prepare(dir.filePath("demo"));
    test::writeLookTemplate(dir.filePath("look.frf"));
    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));

    TForm1 window(QStringLiteral("DSN=dBASE Files"));
    const int bill = window.ComboBox1->findText("HT23002");
    ASSERT_GE(bill, 0);
    window.ComboBox1->setCurrentIndex(bill);
    window.Button1->click();

    QString counter;
    QStringList firstPageText;
    host.onWindowCreated = [&](TfrPreviewForm& f) {
        f.Settings = &settings;
        // The window is modal: look at it once it shows, then close it as the clerk would.
        QTimer::singleShot(0, &f, [&] {
            counter = f.Label1->text();
            RecordingDevice device(QSize(800, 1100));
            QPainter painter(&device);
            f.HeldPages->PageAt(0).InUse = true;
            f.HeldPages->DrawPage(0, painter, QRect(0, 0, 800, 1100));
            painter.end();
            for (const RecordedOperation& run : device.textRuns())
                firstPageText << run.text;
            QTest::mouseClick(f.ExitBtn, Qt::LeftButton);
        });
    };
    window.BitBtn21->click();
    QDir::setCurrent(previousDir);

    EXPECT_EQ(window.Edit1->text(), "213011.58 元");
    EXPECT_TRUE(counter.startsWith("Page 1/")) << counter.toStdString();
    EXPECT_TRUE(firstPageText.contains("单据号：HT23002")) << firstPageText.join(" | ").toStdString();
    EXPECT_TRUE(firstPageText.contains("冷轧薄板 1.0mm"));
    EXPECT_EQ(messageBoxes(), 0);
    EXPECT_EQ(window.frReport1->PreparedPages().Count(), 0) << "the closed window discarded the pages";
}

} // namespace
} // namespace vaskel
