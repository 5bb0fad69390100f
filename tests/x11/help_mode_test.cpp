// Help mode on a desktop: in the preview (the Help button and a click, or F1), the find dialog
// and the print dialog (F1), the yellow topic shows and holds the pointer and the keyboard as a
// popup does; the next click or Escape closes it, no grab of the program's is left on the X
// server, and the next key reaches the window at once. Run with the program as it ships, on a
// bill saved from look.frf, in English and in Chinese. The preview's Export menu, a popup as well,
// is driven the same way.
#include "support/CupsQueue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace vaskel::test {
namespace {

const QString kProgram = QStringLiteral(VASKEL_TEST_PROGRAM);
const QString kLookFrf = QStringLiteral(VASKEL_TEST_LOOK_FRF);

// An X server of its own (the first free display, chosen by Xvfb) with openbox on it.
class Desktop {
public:
    ~Desktop()
    {
        for (QProcess* p : {&m_wm, &m_server}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000))
                    p->kill();
                p->waitForFinished(1000);
            }
        }
    }

    // Empty text when the desktop runs, otherwise why not.
    QString start()
    {
        for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
        }
        const QString displayFile = m_dir.filePath(QStringLiteral("display"));
        m_log = m_dir.filePath(QStringLiteral("xvfb.log"));
        // Xvfb picks a free display number itself and writes it to descriptor 3.
        m_server.start(QStringLiteral("bash"),
            {QStringLiteral("-c"),
                QStringLiteral(
                    "exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>\"$1\" 2>\"$2\""),
                QStringLiteral("bash"), displayFile, m_log});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000) {
            QFile f(displayFile);
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray number = f.readAll().trimmed();
                if (!number.isEmpty()) {
                    m_display = QStringLiteral(":") + QString::fromLatin1(number);
                    break;
                }
            }
            QThread::msleep(50);
        }
        if (m_display.isEmpty())
            return QStringLiteral("Xvfb did not start");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        m_wm.setProcessEnvironment(env);
        m_wm.setStandardOutputFile(QProcess::nullDevice());
        m_wm.setStandardErrorFile(QProcess::nullDevice());
        m_wm.start(QStringLiteral("openbox"), {});
        // The window manager is up once it names itself on the root window.
        t.restart();
        while (t.elapsed() < 15000) {
            if (run(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id")))
                return {};
            QThread::msleep(100);
        }
        return QStringLiteral("openbox did not start");
    }

    QString display() const { return m_display; }

    // Runs an X client on this display; its standard output, trimmed.
    QString run(const QString& program, const QStringList& args, int timeoutMs = 10000) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(1000);
        }
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }
    QString xdotool(const QStringList& args, int timeoutMs = 10000) const
    {
        return run(QStringLiteral("xdotool"), args, timeoutMs);
    }

    // The processes that hold an active pointer or keyboard grab, as the server logs them.
    QList<qint64> activeGrabs() const
    {
        const qint64 from = QFileInfo(m_log).size();
        xdotool({QStringLiteral("key"), QStringLiteral("XF86LogGrabInfo")});
        QThread::msleep(300);
        QFile f(m_log);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(from))
            return {};
        const QString text = QString::fromLocal8Bit(f.readAll()).remove(QChar(0));
        static const QRegularExpression grab(QStringLiteral("Active grab [^\\n]*\\n\\s*client pid (\\d+)"));
        QList<qint64> pids;
        for (auto it = grab.globalMatch(text); it.hasNext();)
            pids << it.next().captured(1).toLongLong();
        return pids;
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
    QString m_display;
    QProcess m_server;
    QProcess m_wm;
};

class HelpModeOnADesktop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        desktop = new Desktop;
        skipReason = desktop->start();
        if (!skipReason.isEmpty())
            return;
        work = new QTemporaryDir;
        // The bill as a clerk saves it from the preview: look.frf over the demo database.
        QProcess render;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VASKEL_DEMO_DIR"), work->filePath(QStringLiteral("demo")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        render.setProcessEnvironment(env);
        render.start(kProgram,
            {QStringLiteral("render"), kLookFrf, QStringLiteral("--demo"), QStringLiteral("--bill"),
                QStringLiteral("HT23002"), QStringLiteral("--save"), billFile()});
        render.waitForFinished(120000);
        if (render.exitCode() != 0 || !QFile::exists(billFile()))
            skipReason = QStringLiteral("the bill could not be rendered: ")
                + QString::fromLocal8Bit(render.readAllStandardError());
        queue = new CupsQueue;
    }
    static void TearDownTestSuite()
    {
        delete queue;
        delete work;
        delete desktop;
        queue = nullptr;
        work = nullptr;
        desktop = nullptr;
    }
    void SetUp() override
    {
        if (!skipReason.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
    }
    void TearDown() override
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished(3000);
        }
    }

    static QString billFile() { return work->filePath(QStringLiteral("bill.frp")); }

    // Starts `vaskel preview` on the bill in `language` and waits for its window; its X id.
    QString openPreview(const QString& language)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), desktop->display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("VASKEL_LANG"), language);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), m_home.path());
        if (queue->available())
            env.insert(QStringLiteral("PRINTER"), CupsQueue::queueName());
        m_program.setProcessEnvironment(env);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(kProgram, {QStringLiteral("preview"), billFile()});
        EXPECT_TRUE(m_program.waitForStarted(10000));
        return waitForWindow(QStringLiteral("bill\\.frp"));
    }

    QString waitForWindow(const QString& name) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            const QString id = desktop
                                   ->xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--pid"), QString::number(m_program.processId()),
                                       QStringLiteral("--name"), name})
                                   .section(u'\n', 0, 0);
            if (!id.isEmpty()) {
                QThread::msleep(500); // mapped; let it paint and take the focus
                return id;
            }
            QThread::msleep(100);
        }
        return {};
    }
    void key(const QString& id, const QString& keys) const
    {
        desktop->xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
        desktop->xdotool({QStringLiteral("key"), keys});
        QThread::msleep(400);
    }
    // A key while a popup holds the keyboard: it goes wherever the grab sends it.
    void keyAnywhere(const QString& keys) const
    {
        desktop->xdotool({QStringLiteral("key"), keys});
        QThread::msleep(400);
    }
    void clickAt(const QString& id, int x, int y) const
    {
        desktop->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), id, QString::number(x),
            QString::number(y), QStringLiteral("click"), QStringLiteral("1")});
        QThread::msleep(400);
    }

    // With VASKEL_TEST_SCREENSHOTS naming a folder, the screen as it is now goes there as NAME.png
    // (the pictures in docs/ are made so).
    void screenshot(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("VASKEL_TEST_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        desktop->run(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"),
                QDir(folder).filePath(name + QStringLiteral(".png"))});
    }

    bool programGrabs() const { return desktop->activeGrabs().contains(m_program.processId()); }

    // The topic is up (its popup holds the keyboard); `close` closes it; then nothing of the
    // program's holds the pointer or the keyboard.
    void expectTopicThatCloses(const std::function<void()>& close)
    {
        EXPECT_TRUE(programGrabs()) << "no topic popup is shown";
        close();
        EXPECT_FALSE(programGrabs()) << "a grab outlived the topic";
    }

    // Escape reaches the preview: it closes, and the program ends well.
    void expectPreviewClosesOnEscape(const QString& preview)
    {
        key(preview, QStringLiteral("Escape"));
        EXPECT_TRUE(m_program.waitForFinished(10000)) << "the preview does not answer the keyboard";
        EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_program.exitCode(), 0);
    }

    static inline Desktop* desktop = nullptr;
    static inline QTemporaryDir* work = nullptr;
    static inline CupsQueue* queue = nullptr;
    static inline QString skipReason;
    QTemporaryDir m_home;
    QProcess m_program;
};

// The toolbar's fixed layout, in pixels of the window's client area: the Help button is the
// ninth control from the left (zoom 53 wide, separators 8, buttons 24; Page setup hidden).
constexpr int kHelpButtonX = 4 + 53 + 8 + 4 * 24 + 8 + 24 + 12;
constexpr int kToolbarY = 6 + 12;

TEST_F(HelpModeOnADesktop, PreviewHelpButtonThenAClickShowsATopicThatEscapeCloses)
{
    for (const QString language : {"en", "zh_CN"}) {
        SCOPED_TRACE(language.toStdString());
        const QString preview = openPreview(language);
        ASSERT_FALSE(preview.isEmpty());
        clickAt(preview, kHelpButtonX, kToolbarY);
        clickAt(preview, 400, 300); // the page area
        screenshot(QStringLiteral("help-topic-") + language);
        expectTopicThatCloses([&] { keyAnywhere(QStringLiteral("Escape")); });
        expectPreviewClosesOnEscape(preview);
    }
}

TEST_F(HelpModeOnADesktop, PreviewF1ShowsATopicThatTheNextClickCloses)
{
    const QString preview = openPreview(QStringLiteral("zh_CN"));
    ASSERT_FALSE(preview.isEmpty());
    desktop->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), preview, QStringLiteral("400"),
        QStringLiteral("300")});
    key(preview, QStringLiteral("F1"));
    expectTopicThatCloses([&] { clickAt(preview, 600, 500); });
    expectPreviewClosesOnEscape(preview);
}

TEST_F(HelpModeOnADesktop, FindDialogF1ShowsATopicAndTheDialogStillAnswers)
{
    const QString preview = openPreview(QStringLiteral("zh_CN"));
    ASSERT_FALSE(preview.isEmpty());
    key(preview, QStringLiteral("ctrl+f"));
    const QString find = waitForWindow(QStringLiteral("查找文本"));
    ASSERT_FALSE(find.isEmpty());
    screenshot(QStringLiteral("find-dialog-zh_CN"));
    key(find, QStringLiteral("F1"));
    expectTopicThatCloses([&] { keyAnywhere(QStringLiteral("Escape")); });
    // The next key reaches the dialog: Escape cancels it, and only then can the preview, which the
    // modal dialog blocks, close on the next Escape.
    key(find, QStringLiteral("Escape"));
    expectPreviewClosesOnEscape(preview);
}

TEST_F(HelpModeOnADesktop, PrintDialogF1ShowsATopicAndTheDialogStillAnswers)
{
    if (!queue->available())
        GTEST_SKIP() << queue->skipReason().toStdString();
    const QString preview = openPreview(QStringLiteral("zh_CN"));
    ASSERT_FALSE(preview.isEmpty());
    screenshot(QStringLiteral("preview-zh_CN"));
    key(preview, QStringLiteral("ctrl+p"));
    const QString print = waitForWindow(QStringLiteral("^打印$"));
    ASSERT_FALSE(print.isEmpty());
    screenshot(QStringLiteral("print-dialog-zh_CN"));
    key(print, QStringLiteral("F1"));
    screenshot(QStringLiteral("print-dialog-help-zh_CN"));
    expectTopicThatCloses([&] { clickAt(print, 20, 200); });
    key(print, QStringLiteral("Escape"));
    expectPreviewClosesOnEscape(preview);
}

// The Export button (after Open and Save) opens its menu of formats under the pointer's grab;
// the keyboard picks CSV, the save dialog takes a name, and the file is written.
constexpr int kExportButtonX = 4 + 53 + 8 + 2 * 24 + 12;

TEST_F(HelpModeOnADesktop, ExportMenuWritesTheChosenFormatThroughItsSaveDialog)
{
    const QString preview = openPreview(QStringLiteral("en"));
    ASSERT_FALSE(preview.isEmpty());
    clickAt(preview, kExportButtonX, kToolbarY);
    EXPECT_TRUE(programGrabs()) << "the Export menu is not shown";
    screenshot(QStringLiteral("export-menu"));
    for (int i = 0; i < 4; ++i) // PDF, Excel, HTML, CSV
        keyAnywhere(QStringLiteral("Down"));
    keyAnywhere(QStringLiteral("Return"));
    const QString dialog = waitForWindow(QStringLiteral("^Export to CSV$"));
    ASSERT_FALSE(dialog.isEmpty()) << "no save dialog for the CSV";
    const QString target = m_home.filePath(QStringLiteral("bill-export.csv"));
    key(dialog, QStringLiteral("ctrl+a"));
    desktop->xdotool({QStringLiteral("type"), target});
    screenshot(QStringLiteral("export-save-dialog"));
    key(dialog, QStringLiteral("Return"));
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(target) && t.elapsed() < 20000)
        QThread::msleep(200);
    QFile csv(target);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << "the CSV was not written";
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("0002,2023-01-10,"))) << text.toStdString();
    expectPreviewClosesOnEscape(preview);
}

} // namespace
} // namespace vaskel::test
