// Test entry for window tests: a QApplication on the offscreen platform
// (unless a display platform is asked for), then every test.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Settings the programs remember go to a test folder, empty at the start
    // of every run, never to the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Marquelle");
    QSettings().clear();
    return RUN_ALL_TESTS();
}
