// Window tests run in a QApplication, offscreen unless a display platform is asked for.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Settings the programs remember go to a folder of this process's own,
    // empty at the start, never to the user's and never shared with a test
    // running beside it (programs a test starts inherit it).
    char folder[] = "/tmp/marquelle-settings-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string home(folder);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        QCoreApplication::setOrganizationName("Marquelle");
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
