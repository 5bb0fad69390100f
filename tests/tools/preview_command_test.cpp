// `vaskel preview FILE.frp` and `vaskel FILE.frp` in process, with the desktop's own UI services:
// the window shows the file's pages, and a file that is missing or not a prepared report gives
// the platform's message in the error box and status 1.
#include "preview/preview_Fixture.h"

#include "tools/CommandLine.h"
#include "tools/PreviewCommand.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace vaskel {
namespace {

using test::PreviewTest;

// What the command's windows showed: the preview's page counter and caption, and the texts of
// the message boxes, each closed as soon as it is seen.
struct SeenWindows {
    QString pageCounter;
    QString caption;
    QStringList messages;
};

class PreviewCommandTest : public PreviewTest {
protected:
    void SetUp() override
    {
        addPages(report.PreparedPages(), 3);
        good = dir.filePath("bill.frp");
        report.SavePrepared(good);
        damaged = dir.filePath("damaged.frp");
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a prepared report, only text");
    }

    // Runs `command` while a timer closes every window it opens, noting what they showed.
    static SeenWindows watch(const std::function<void()>& command)
    {
        SeenWindows seen;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&seen] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.messages << box->text();
                box->done(QMessageBox::Ok);
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<TfrPreviewForm*>(w);
                if (form && form->isVisible()) {
                    seen.pageCounter = form->Label1->text();
                    seen.caption = form->windowTitle();
                    form->close();
                }
            }
        });
        timer.start();
        command();
        return seen;
    }

    QString good, damaged;
};

TEST_F(PreviewCommandTest, OpensTheFilesPagesInThePreviewWindow)
{
    const std::vector<QStringList> commandLines{
        {"vaskel", "preview", good},
        {"vaskel", good},
    };
    for (const QStringList& line : commandLines) {
        SCOPED_TRACE(line.join(' ').toStdString());
        std::optional<int> code;
        const SeenWindows seen = watch([&] { code = runCommandLine(line); });
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0);
        EXPECT_EQ(seen.pageCounter, "Page 1/3");
        EXPECT_EQ(seen.caption, "Preview - bill.frp");
        EXPECT_TRUE(seen.messages.isEmpty()) << seen.messages.join('|').toStdString();
    }
}

TEST_F(PreviewCommandTest, MissingOrDamagedFilesSayWhyAndEndWithStatusOne)
{
    // A file without pages would open no window and end without a word.
    const QString empty = dir.filePath("empty.frp");
    TfrEMFPages(nullptr).SaveToFile(empty);
    const std::vector<std::pair<QString, QString>> cases{
        {dir.filePath("missing.frp"), "missing.frp"},
        {damaged, ""},
        {empty, "The report has no pages"},
    };
    for (const auto& [file, named] : cases) {
        SCOPED_TRACE(file.toStdString());
        int code = -1;
        const SeenWindows seen = watch([&] { code = runPreviewCommand({file}); });
        EXPECT_EQ(code, 1);
        EXPECT_TRUE(seen.pageCounter.isEmpty()) << "no preview window opened";
        ASSERT_EQ(seen.messages.size(), 1);
        EXPECT_FALSE(seen.messages[0].isEmpty());
        EXPECT_TRUE(seen.messages[0].contains(named)) << seen.messages[0].toStdString();
    }
    EXPECT_EQ(runPreviewCommand({}), 2) << "no file named";
    EXPECT_EQ(runPreviewCommand({good, damaged}), 2) << "two files named";
}

} // namespace
} // namespace vaskel
