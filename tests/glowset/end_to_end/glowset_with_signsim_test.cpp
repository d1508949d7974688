// glowset with its real clock and QSerialPort against the signsim program on
// a pseudo-terminal standing in as COM3.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "glowset/link/glowset_main.h"
#include "glowset/platform/qt_clock.h"
#include "glowset/platform/qt_serial_port.h"
#include "tests/glowset/support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace glowset::testing {
namespace {

// Processes events until the condition holds; the limit only keeps a broken
// build from hanging the suite.
bool waitFor(const std::function<bool()>& condition, int limitMs = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ::usleep(2000);
    }
    return true;
}

class GlowsetWithSignsim : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        link = dir.filePath("sign").toStdString();
        log = dir.filePath("signsim.log").toStdString();
        pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::execl(SIGNSIM_PROGRAM, SIGNSIM_PROGRAM, "--model", "XY12", "--firmware", "4.2",
                    "--link", link.c_str(), "--quiet", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_TRUE(waitFor([&] { return ::access(link.c_str(), F_OK) == 0; }, 5000));
        for (int n = 1; n <= 12; ++n) {
            const std::string value = n == 3 ? link : dir.filePath("absent").toStdString();
            ::setenv(("COM" + std::to_string(n)).c_str(), value.c_str(), 1);
        }
    }
    void TearDown() override {
        if (pid > 0) {
            ::kill(pid, SIGINT);
            ::waitpid(pid, nullptr, 0);
        }
        for (int n = 1; n <= 12; ++n) ::unsetenv(("COM" + std::to_string(n)).c_str());
    }
    std::string signLog() const {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    QTemporaryDir dir;
    std::string link, log;
    pid_t pid = -1;
};

TEST_F(GlowsetWithSignsim, FindsTheSignShowsItsSetUpAndUploadsAChange) {
    QtClock clock;
    ScriptedDialogs dialogs;
    Platform platform{clock, dialogs, [] { return std::make_unique<QtSerialPort>(); },
                      systemPortEnvironment()};
    GlowsetMain window(platform);
    window.show();

    ASSERT_TRUE(waitFor([&] { return window.LEDSignModel->text() == "XY12"; }));
    EXPECT_EQ(window.ComportsList->currentIndex(), 2);
    EXPECT_EQ(window.ComportsList->itemData(2, Qt::ToolTipRole).toString().toStdString(), link);
    EXPECT_TRUE(window.ComportsList->itemText(0).startsWith("1-"));  // no device behind COM1
    EXPECT_EQ(window.FCount->text(), "4.2");
    EXPECT_EQ(window.FontP[0]->currentIndex(), 5);  // the sign's factory set-up
    EXPECT_EQ(window.AutoID->checkState(), Qt::Checked);
    ASSERT_TRUE(waitFor([&] { return window.DownloadAll->isEnabled(); }));

    window.ColorP[2]->setCurrentIndex(4);
    window.UploadAll_Click();
    ASSERT_TRUE(waitFor([&] { return window.UploadAll->isEnabled(); }));
    EXPECT_NE(signLog().find("<- <DF pr=2 f=5 c=4 s=0 a=0 sp=2 p=2 b=0 t=10>"), std::string::npos)
        << signLog();

    // Read back: the sign holds the new colour.
    window.ColorP[2]->setCurrentIndex(0);
    window.DownloadAll_Click();
    ASSERT_TRUE(waitFor([&] { return window.DownloadAll->isEnabled(); }));
    EXPECT_EQ(window.ColorP[2]->currentIndex(), 4);
}

}  // namespace
}  // namespace glowset::testing
