// The main of every test program that makes widgets.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Settings such as the recent documents go to a test location, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    // So do the copies of unsaved work kept for recovery after a crash.
    QTemporaryDir stateHome;
    qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
    // Windows are made without a display, also when the build lists the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Each test program keeps settings of its own, under its own name (Qt's default), and each
    // run of it in a folder of its own: tests run side by side never see each other's choices.
    QApplication::setOrganizationName("PathwicksTests");
    QTemporaryDir settingsHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsHome.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
