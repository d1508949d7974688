// glowset with its real clock and port against the signsim program as COM3.
#include "glowset/core/platform/qt_clock.h"
#include "glowset/core/platform/qt_serial_port.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/test_message_window.h"
#include "tests/glowset/support/scripted_dialogs.h"
#include "tests/support/child_process.h"
#include "tests/support/named.h"
#include "tests/support/ser2net.h"
#include "tests/support/wait_for.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtWidgets>

#include <fstream>

namespace glowset::testing {
namespace {

using testsupport::named;
using testsupport::waitFor;

class GlowsetWithSignsim : public ::testing::Test {
  protected:
    // Starts the signsim program as COM3; `draw` lets it draw its display into the log.
    void startSign(bool draw, const std::vector<std::string>& extra = {}) {
        ASSERT_TRUE(dir.isValid());
        link = dir.filePath("sign").toStdString();
        log = dir.filePath("signsim.log").toStdString();
        std::vector<std::string> args = {SIGNSIM_PROGRAM, "--model", "XY12", "--firmware",
                                         "4.2",           "--link",  link};
        if (!draw) args.push_back("--quiet");
        args.insert(args.end(), extra.begin(), extra.end());
        sign.start(args, {}, log);
        ASSERT_TRUE(testsupport::waitForPath(link));
        for (int n = 1; n <= 12; ++n) {
            const std::string value = n == 3 ? link : dir.filePath("absent").toStdString();
            ::setenv(("COM" + std::to_string(n)).c_str(), value.c_str(), 1);
        }
    }
    void TearDown() override {
        sign.stop();
        for (int n = 1; n <= 12; ++n) ::unsetenv(("COM" + std::to_string(n)).c_str());
    }
    std::string signLog() const { return testsupport::fileText(log); }

    // Opens the window and waits until it has found the sign and read it.
    GlowsetMain& openAndFind() {
        window = std::make_unique<GlowsetMain>(platform);
        EXPECT_TRUE(
            waitFor([&] { return named<QLabel>(*window, "LEDSignModel")->text() == "XY12"; }));
        EXPECT_TRUE(
            waitFor([&] { return named<QPushButton>(*window, "DownloadAll")->isEnabled(); }));
        return *window;
    }
    // Priority 2's colour changed and uploaded (the record on the sign's log), then read back.
    void uploadAColourAndReadItBack() {
        control<QComboBox>("ColorP2")->setCurrentIndex(4);
        control<QAbstractButton>("UploadAll")->click();
        ASSERT_TRUE(waitFor([&] { return control("UploadAll")->isEnabled(); }));
        EXPECT_NE(signLog().find("<- <DF pr=2 f=5 c=4 s=0 a=0 sp=2 p=2 b=0 t=10>"),
                  std::string::npos)
            << signLog();
        control<QComboBox>("ColorP2")->setCurrentIndex(0);
        control<QAbstractButton>("DownloadAll")->click();
        ASSERT_TRUE(waitFor([&] { return control("DownloadAll")->isEnabled(); }));
        EXPECT_EQ(control<QComboBox>("ColorP2")->currentIndex(), 4);
    }
    template <class T = QWidget>
    T* control(const QString& name) const {
        return named<T>(*window, name);
    }

    QTemporaryDir dir;
    std::string link, log;
    testsupport::ChildProcess sign;
    QtClock clock;
    ScriptedDialogs dialogs;
    SignLink signLink{std::make_unique<QtSerialPort>()};
    Platform platform{clock, dialogs, [this] { return signLink.makeView(); },
                      systemPortEnvironment()};
    std::unique_ptr<GlowsetMain> window;
};

// COM1 to COM12 are ports, missing or not; other numbers are refused as such.
TEST(QtSerialPortOpen, OnlyCom1ToCom12AreValidNumbers) {
    const PortEnvironment absent{
        .variable =
            [](const std::string&) { return std::optional<std::string>("/nonexistent/tty"); },
        .serialDevices = [] { return std::vector<std::string>(); }};
    for (const int number : {-1, 0, 1, 12, 13}) {
        QtSerialPort port(absent);
        port.setPortNumber(number);
        const auto error = port.open();
        ASSERT_TRUE(error) << number;
        const bool valid = number >= 1 && number <= 12;
        EXPECT_EQ(error->number == kErrorInvalidPortNumber, !valid) << number;
        if (valid) {
            EXPECT_NE(error->description.find("/nonexistent/tty"), std::string::npos);
        }
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(GlowsetWithSignsim, FindsTheSignShowsItsSetUpAndUploadsAChange) {
    startSign(false);
    openAndFind();
    QComboBox* ports = control<QComboBox>("ComportsList");
    EXPECT_EQ(ports->currentIndex(), 2);
    EXPECT_EQ(ports->itemData(2, Qt::ToolTipRole).toString().toStdString(), link);
    EXPECT_TRUE(ports->itemText(0).startsWith("1-"));  // no device behind COM1
    EXPECT_EQ(control<QLabel>("FCount")->text(), "4.2");
    EXPECT_EQ(control<QComboBox>("FontP0")->currentIndex(), 5);  // the sign's factory set-up
    EXPECT_EQ(control<QCheckBox>("AutoID")->checkState(), Qt::Checked);

    uploadAColourAndReadItBack();
}

TEST_F(GlowsetWithSignsim, ATestMessageInTwoColoursAppearsOnTheSignInThoseColours) {
    startSign(true);
    LEDTestMessage message(platform, openAndFind());
    testsupport::named<QListWidget>(message, "ColorList")
        ->setCurrentRow(4);  // Green for all that is typed
    message.ColorTextBox->insertPlainText("Go");
    message.ColorLabel_DblClick();  // selection mode
    QTextCursor cursor = message.ColorTextBox->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    message.ColorTextBox->setTextCursor(cursor);
    testsupport::named<QListWidget>(message, "ColorList")->setCurrentRow(3);  // "o" in Red
    named<QAbstractButton>(message, "Upload")->click();
    ASSERT_TRUE(waitFor([&] { return message.Upload->isEnabled(); }));

    const std::string log = signLog();
    EXPECT_NE(log.find("<- <id=0 f=5 s=0 c=4 a=0 b=0 p=2 sp=2 t=10>G$CDo"), std::string::npos)
        << log;
    // The display draws "G" in the sign's green and "o" in its red.
    EXPECT_NE(log.find("\x1b[38;2;0;200;0mG\x1b[38;2;230;0;0mo"), std::string::npos) << log;
}

// The cable pulled mid-upload at the real line rate: the upload stops, the changes stay
// marked, and the adapter is given up instead of polled.
TEST_F(GlowsetWithSignsim, ACablePulledMidUploadKeepsTheChanges) {
    startSign(false, {"--pace", "--vanish-after", "2"});
    GlowsetMain& w = openAndFind();
    for (int p : {1, 2, 3}) control<QComboBox>(QString("ColorP%1").arg(p))->setCurrentIndex(6);
    control<QAbstractButton>("UploadAll")->click();
    QLabel* status = control<QLabel>("Textout");
    ASSERT_TRUE(waitFor([&] { return status->text().startsWith("Upload stopped"); }))
        << status->text().toStdString();
    EXPECT_TRUE(control("UploadAll")->isEnabled());
    EXPECT_FALSE(signLink.busy());
    EXPECT_EQ(w.getChangedRows(), 3);  // every record marked again
}

// A sign behind ser2net, reached through the COM number a line of ports.conf gives the
// server's URL: found, shown with the URL, changed, and read back.
TEST_F(GlowsetWithSignsim, FindsASignBehindAServerByTheNumberGivenToItsUrl) {
    startSign(false);
    testsupport::Ser2net server({link}, dir.path().toStdString(), "9600n81");
    const std::string absent = dir.filePath("absent").toStdString();
    ::setenv("COM3", absent.c_str(), 1);  // only the server reaches the sign
    ::unsetenv("COM7");
    QDir(dir.path()).mkpath("Marquelle");
    std::ofstream(dir.filePath("Marquelle/ports.conf").toStdString())
        << "7=" << server.rfc2217() << "\n";
    ::setenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData(), 1);
    openAndFind();
    QComboBox* ports = control<QComboBox>("ComportsList");
    EXPECT_EQ(ports->currentIndex(), 6);
    EXPECT_EQ(ports->itemData(6, Qt::ToolTipRole).toString().toStdString(), server.rfc2217());

    uploadAColourAndReadItBack();

    // The server stopped: the port stays listed and fails in words, as a pulled adapter does.
    server.stop();
    control<QAbstractButton>("DownloadAll")->click();
    QLabel* status = control<QLabel>("Textout");
    const QString words = QString::fromStdString("COM7 (" + server.rfc2217() + "): the server");
    EXPECT_TRUE(waitFor([&] { return status->text().startsWith(words); }))
        << status->text().toStdString();
    EXPECT_TRUE(waitFor([&] { return control("DownloadAll")->isEnabled(); }));
    EXPECT_EQ(ports->count(), 12);
    ::unsetenv("XDG_CONFIG_HOME");
}

// The idle display switch is written and the port closed at once, before the connection to
// the server is even made: it still reaches the sign, and the read-back that opens the port
// again at once takes the same connection up and hears the answer.
TEST_F(GlowsetWithSignsim, ALineWrittenAsThePortClosesStillReachesASignBehindAServer) {
    startSign(false);
    testsupport::Ser2net server({link}, dir.path().toStdString(), "9600n81");
    ::setenv("COM5", server.rfc2217().c_str(), 1);
    QtSerialPort port;
    port.setPortNumber(5);
    std::string heard;
    port.onReceive = [&] {
        while (port.inputCount() > 0) heard += port.read();
    };
    ASSERT_FALSE(port.open());
    EXPECT_TRUE(port.write("<TIME>IDLE ON"));
    port.close();
    ASSERT_FALSE(port.open());
    port.write("TIME_STATUS\r");
    EXPECT_TRUE(waitFor([&] { return heard.find("TIME:STATUS:1") != std::string::npos; }))
        << heard << signLog();
    port.close();
}

// A raw server that says it is busy to its first two clients, as ser2net does for a moment
// after its last client hung up: the open asks again, and the third is served. (One that
// stays busy is named in its words: the glowctl tests hold a ser2net port.)
TEST(NetworkPort, ABusyServerIsAskedAgainForAMoment) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int clients = 0;
    std::string received;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* client = server.nextPendingConnection();
        if (++clients <= 2) {
            client->write("Port already in use\r\n");
            client->disconnectFromHost();
        }
        QObject::connect(client, &QTcpSocket::readyRead,
                         [&, client] { received += client->readAll().toStdString(); });
    });
    const std::string url = "socket://127.0.0.1:" + std::to_string(server.serverPort());
    QtSerialPort port(PortEnvironment{
        .variable = [&](const std::string&) { return std::optional<std::string>(url); }});
    ASSERT_FALSE(port.open());
    port.write("DOWNLOAD_ALL\r");
    EXPECT_TRUE(waitFor([&] { return !received.empty(); }, 5000));
    EXPECT_EQ(std::pair(received, clients), std::pair(std::string("DOWNLOAD_ALL\r"), 3));
}

// Servers that refuse, stay silent or cannot be reached hold the search up no longer than
// ports without an adapter: the search is the same twelve probes either way. (Two runs on
// this machine compared, with room for a busy machine; a blocking connect would add its whole
// three-second time-out per dead server.)
TEST_F(GlowsetWithSignsim, DeadServersHoldTheSearchUpNoLongerThanAbsentAdapters) {
    startSign(false);
    const std::string absent = dir.filePath("absent").toStdString();
    ::setenv("COM3", absent.c_str(), 1);
    ::setenv("COM12", link.c_str(), 1);
    const auto timedSearch = [&] {
        QElapsedTimer timer;
        timer.start();
        openAndFind();
        EXPECT_EQ(control<QComboBox>("ComportsList")->currentIndex(), 11);
        window.reset();
        return timer.elapsed();
    };
    const qint64 local = timedSearch();
    int silentFd = -1, refusedFd = -1;
    const int silent = testsupport::loopbackPort(silentFd, true);
    const int refused = testsupport::loopbackPort(refusedFd, false);
    ::setenv("COM1", ("rfc2217://127.0.0.1:" + std::to_string(refused)).c_str(), 1);
    ::setenv("COM2", ("rfc2217://127.0.0.1:" + std::to_string(silent)).c_str(), 1);
    ::setenv("COM3", "socket://10.255.255.1:4001", 1);  // no route, or no answer
    const qint64 network = timedSearch();
    EXPECT_LE(network, local + 2000) << "local " << local << " ms, with dead servers " << network;
    ::close(silentFd);
}

// The program finds the sign; SIGTERM closes it with 0, even while the downloads page waits.
TEST_F(GlowsetWithSignsim, TheProgramEndsCleanlyOnSigterm) {
    startSign(true);
    const std::string output = dir.filePath("glowset.log").toStdString();
    // The COM variables are inherited; the downloads page never answers.
    testsupport::ChildProcess glowset;
    glowset.start({GLOWSET_PROGRAM},
                  {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir.path().toStdString(),
                   "GLOWSET_DOWNLOADS_URL=http://127.0.0.1:9/Downloads"},
                  output);
    EXPECT_TRUE(testsupport::waitForText(log, "<- DOWNLOAD_ALL")) << signLog();
    EXPECT_EQ(glowset.stop(SIGTERM), 0) << testsupport::fileText(output);
}

// --help and --version answer and end, also with no display to open a window on.
TEST(GlowsetProgram, HelpAndVersionPrintAndEnd) {
    QTemporaryDir dir;
    const std::string output = dir.filePath("out.log").toStdString();
    for (const auto& [option, printed] :
         {std::pair<std::string, std::string>{"--help", "Usage: glowset\n"},
          {"--version", "glowset 4.72\n"}}) {
        testsupport::ChildProcess glowset;
        glowset.start({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                       "QT_QPA_PLATFORM", GLOWSET_PROGRAM, option},
                      {}, output);
        EXPECT_EQ(glowset.wait(std::chrono::seconds(30)), 0) << option;
        EXPECT_EQ(testsupport::fileText(output).substr(0, printed.size()), printed);
    }
}

}  // namespace
}  // namespace glowset::testing
