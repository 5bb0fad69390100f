// The one main of every test executable: pins the environment that makes tests repeatable
// (offscreen windows, the shipped font aliases, a private runtime folder), then creates the Qt
// application object that fonts, images and windows need, then runs GoogleTest.
#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

#ifdef VASKEL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include "platform/FontAliases.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + "/vaskel-test-runtime";
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    // Tests must never touch the user's real settings.
    QStandardPaths::setTestModeEnabled(true);
    vaskel::FontAliases::installBeforeApplication();

    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
