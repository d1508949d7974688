// The flasher window, its worker thread and its command line, against the simulated unit.
#include "romwright/app/flasher_window.h"

#include "romwright/app/command_line.h"
#include "romwright/serial/serial_port.h"
#include "tests/romwright/support/fake_device.h"
#include "tests/support/wait_for.h"
#include "tests/support/window_layout.h"
#include "tests/support/window_snapshot.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace romwright::testing {
namespace {

using testsupport::waitFor;

class Flasher : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<FlasherWindow>(state, quietProgrammers());
        window->showError = [this](const QString& text) { errors.push_back(text); };
    }
    void TearDown() override {
        window.reset();
        useRealPorts();
    }
    static ProgrammerFactory quietProgrammers() {
        return default_programmers([](const std::string&) {});
    }
    std::string image(int pages, const std::string& name, const std::string& caption = "Sign") {
        return writeRom(RomFile{.caption1 = caption}.addPages(0x80000, pages), tempPath(name));
    }
    // Presses Flash and waits until the run has ended.
    void runOnce() {
        const size_t before = window->statusLog.size();
        QTest::mouseClick(window->findChild<QPushButton*>("1004"), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] {
            return window->statusLog.size() > before && window->flash->isEnabled() &&
                   !window->cancel->isEnabled();
        }));
    }

    // The window against its recorded copy, scratch paths written as <scratch>/.
    ::testing::AssertionResult showsAsRecorded(const std::string& name) const {
        const QString scratch = QString::fromStdString(tempPath(""));
        return testsupport::showsAsRecorded(*window, name, {.replace = {{scratch, "<scratch>/"}}});
    }

    std::shared_ptr<Wire> wire = freshWire();
    std::shared_ptr<unitsim::Unit> unit = unitOn(*wire, unitsim::Protocol::Native);
    FlasherState state;
    std::unique_ptr<FlasherWindow> window;
    std::vector<QString> errors;
};

TEST_F(Flasher, CommandLinesApplied) {
    const std::string good = image(1, "cmd.rom");
    const struct {
        std::vector<std::string> tokens;
        std::string port, path;
        int listIndex;
        unsigned flags;
        uint32_t start, end;
        bool autoClose, noBreakTicked;
    } cases[] = {
        // clang-format off
        {{}, "COM1", "", 0, 0, 0, 0, false, false},
        {{"-f" + good}, "COM1", good, 0, kNoBreak, 0, 0, false, true},
        {{"-c3"}, "COM3", "", 2, 0, 0, 0, false, false},
        {{"-c3", "-c12"}, "COM3", "", -1, 0, 0, 0, false, false},  // no entry, port unchanged
        {{"-c3", "-c1"}, "COM1", "", 0, 0, 0, 0, false, false},
        {{"-r80000-90000"}, "COM1", "", 0, kReadMode, 0x80000, 0x90000, false, false},
        {{"-fa.rom", "-fb.rom"}, "COM1", "b.rom", 0, kNoBreak, 0, 0, false, true},
        {{"-g"}, "COM1", "", 0, 0, 0, 0, true, false},  // closes after a run it starts at once
        {{"-go", "-r1000-", "app", "", "-x5", "-"}, "COM1", "", 0, 0, 0, 0, false, false},  // none applies
        {{"-c"}, "COM1", "", -1, 0, 0, 0, false, false},  // port 0: no entry
        {{"-c4x"}, "COM4", "", 3, 0, 0, 0, false, false},
        {{"-c10"}, "COM1", "", -1, 0, 0, 0, false, false},  // past the list too
        {{"-w100-500"}, "COM1", "", 0, kRawWriteMode, 0x100, 0x500, false, false},
        {{"-rXYZ-100"}, "COM1", "", 0, 0, 0, 0x100, false, false},  // a start of 0 sets no mode
        {{"-w100-XYZ"}, "COM1", "", 0, 0, 0x100, 0, false, false},  // an end of 0 sets no mode
        {{"-r0XaB-12g4"}, "COM1", "", 0, kReadMode, 0xAB, 0x12, false, false},  // hex up to a non-digit
        {{"-w0x1F-123456789"}, "COM1", "", 0, kRawWriteMode, 0x1F, 0xFFFFFFFF, false, false},  // no wrap
        // clang-format on
    };
    for (const auto& c : cases) {
        FlasherState fresh;
        FlasherWindow w(fresh);
        w.apply_options(parse_command_line(c.tokens));
        EXPECT_EQ(std::tuple(fresh.port_name, fresh.rom_path, w.portList->currentIndex(),
                             fresh.flags.load(), fresh.range_start, fresh.range_end),
                  std::tuple(c.port, c.path, c.listIndex, c.flags, c.start, c.end));
        EXPECT_EQ(
            std::tuple(fresh.auto_close, fresh.start_event.is_set(), w.dontUseBreak->isChecked()),
            std::tuple(c.autoClose, c.autoClose, c.noBreakTicked));
    }
}

// At a desktop's 11-point font no caption is cut off and no control covers another.
TEST_F(Flasher, FitsAtADesktopFont) {
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(testsupport::kDesktopFontFamily, testsupport::kDesktopFontPoints));
    FlasherWindow atDesktopFont(state, quietProgrammers());
    atDesktopFont.select_rom_file(image(1, "good.rom", "Model X"));
    atDesktopFont.show();
    EXPECT_EQ(testsupport::layoutFaults(atDesktopFont), std::vector<std::string>{});
    QApplication::setFont(before);
}

TEST_F(Flasher, FileChoicesAndTheCaption) {
    window->select_rom_file(image(1, "good.rom", "Model X"));
    EXPECT_TRUE(showsAsRecorded("flasher-with-a-good-file"));  // its captions in the title
    window->select_rom_file(writeRom({.magic = "wrong"}, tempPath("bad.rom")));
    EXPECT_EQ(window->status->text(), "Invalid file");
    window->select_rom_file(tempPath("missing.rom"));
    EXPECT_EQ(window->status->text(), "Invalid filename");
    EXPECT_EQ(window->windowTitle(), "KVTL (Model X firmware)");  // kept from the good file
    window->chooseFile = [](QWidget*, const QString&) { return QString(); };  // cancelled
    window->browse_clicked();
    EXPECT_EQ(window->status->text(), "Invalid filename");
}

// The port and ROM folder chosen by hand come back; a port on the command line still wins.
TEST_F(Flasher, RemembersThePortAndRomFolderChosenByHand) {
    const std::string rom = image(1, "remembered.rom", "Model R");
    const QString folder = QFileInfo(QString::fromStdString(rom)).absolutePath();
    QString openedIn = "not asked";
    window->chooseFile = [&](QWidget*, const QString& start) {
        openedIn = start;
        return QString::fromStdString(rom);
    };
    QTest::mouseClick(window->findChild<QPushButton*>("1002"), Qt::LeftButton);
    EXPECT_EQ(window->status->text(), "Model R firmware");
    QTest::keyClick(window->findChild<QComboBox*>("1000"), Qt::Key_Down);
    QTest::keyClick(window->findChild<QComboBox*>("1000"), Qt::Key_Down);
    EXPECT_EQ(window->portList->currentText(), "COM3");

    window = std::make_unique<FlasherWindow>(state, quietProgrammers());
    EXPECT_EQ(window->portList->currentText(), "COM3");
    window->chooseFile = [&](QWidget*, const QString& start) {
        openedIn = start;
        return QString();
    };
    QTest::mouseClick(window->findChild<QPushButton*>("1002"), Qt::LeftButton);
    EXPECT_EQ(openedIn, folder);

    // The remembered port is the one a run uses, unless the command line names another.
    window->apply_program_options(parse_program_options({"romwright", "-c2"}));
    EXPECT_EQ(window->portList->currentText(), "COM2");
    QSettings().clear();
}

// A path typed into the file box, and Enter there flashes it; Escape does not close.
TEST_F(Flasher, ATypedPathRunsWithRoundedUpPercentagesAndItsResult) {
    window->show();
    auto* fileBox = window->findChild<QLineEdit*>("1001");
    QTest::keyClicks(fileBox, QString::fromStdString(image(3, "three.rom")));
    state.flags = kNoBreak;
    window->start_worker();
    QTest::keyClick(fileBox, Qt::Key_Escape);
    QTest::keyClick(fileBox, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] {
        return window->flash->isEnabled() && !window->statusLog.empty() &&
               !window->cancel->isEnabled();
    }));
    const std::vector<QString> expected = {"Please reset unit", "Flashing unit (%34)",
                                           "Flashing unit (%67)", "Flashing unit (%100)",
                                           "Successfully programmed unit"};
    EXPECT_EQ(window->statusLog, expected);
    EXPECT_EQ(unit->pagesWritten(), 3);
    EXPECT_TRUE(showsAsRecorded("flasher-after-a-run"));
    EXPECT_EQ(state.exit_code(), 0);
}

// A unit that never gives a page write's second answer, with time standing still.
class HeldUpRun : public Flasher {
  protected:
    void SetUp() override {
        Flasher::SetUp();
        unit = unitOn(*wire, unitsim::Protocol::Native, {.dropSecondWriteReply = true});
        wire->onEmptyRead = [this] {
            wire->nowMs -= wire->timeoutMs;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        window->select_rom_file(image(3, "held-up.rom"));
        state.flags = kNoBreak;
        window->start_worker();
        window->flash_clicked();
        // Connected, the first block erased: the bar has the run's length.
        ASSERT_TRUE(waitFor([&] { return window->progress->maximum() == 3; }));
    }
};

TEST_F(HeldUpRun, CancelShowsTheLastPercentageAndTheNextRunStartsAtZero) {
    window->cancel_clicked();
    ASSERT_TRUE(waitFor([&] { return window->flash->isEnabled(); }));
    EXPECT_TRUE(showsAsRecorded("flasher-cancelled"));  // "Programming cancelled (%0)"

    // A unit that answers again: a fresh run, percentages from the start.
    unit = unitOn(*wire, unitsim::Protocol::Native);
    window->statusLog.clear();
    std::vector<int> bar;
    QObject::connect(window->progress, &QProgressBar::valueChanged,
                     [&bar](int value) { bar.push_back(value); });
    runOnce();
    EXPECT_EQ(bar, (std::vector<int>{1, 2, 3}));  // from 0, one page at a time
    EXPECT_EQ(window->statusLog.at(1), "Flashing unit (%34)");
    EXPECT_EQ(window->statusLog.back(), "Successfully programmed unit");
}

// Closing the window tells the worker, which sends the finish frame and ends the run.
TEST_F(HeldUpRun, ClosingTheWindowEndsIt) {
    window->close();
    EXPECT_EQ(wire->writes.back(), (Bytes{'t', 0, 0, 0, 0, 0}));
    EXPECT_FALSE(serial_port_open());
}

// A window closed before the worker's error could be shown still ends the run.
TEST_F(Flasher, ClosingBeforeAnErrorIsShownEndsTheRun) {
    window->select_rom_file(
        writeRom({.pages = {{0x80000, 1, 0, 9}, {0x80100, 2}}}, tempPath("bad-first.rom")));
    std::atomic<bool> connected = false;
    wire->respond = [&connected, answer = wire->respond](const Bytes& bytes) {
        connected = true;
        return answer(bytes);
    };
    state.flags = kNoBreak;
    window->start_worker();
    window->flash_clicked();
    // No events are handled from here on, so the error stays queued.
    while (!connected) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // into the wait
    window->close();
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(serial_port_open());
}

TEST_F(Flasher, BadRecordsBringUpWarningsAndTheExitCodeRemembersAnySuccess) {
    // Kind 9 is a bad record; kind 3 is skipped without a word.
    window->select_rom_file(
        writeRom({.pages = {{0x80000, 1}, {0x80100, 2, 0, 9}, {0x80200, 3, 0, 3}}},
                 tempPath("badrecord.rom")));
    state.flags = kNoBreak;
    window->showError = [this](const QString& text) {  // the run waits while it is shown
        errors.push_back(text + (wire->writes.back()[0] == 't' ? " after the run" : ""));
    };
    window->start_worker();
    runOnce();
    EXPECT_EQ(errors, (std::vector<QString>{"\nBad record, skipping\n"}));
    runOnce();
    window->select_rom_file(tempPath("missing.rom"));
    runOnce();
    EXPECT_TRUE(window->status->text().startsWith("Invalid filename: "))
        << window->status->text().toStdString();
    // Not left full from the run before.
    EXPECT_EQ(std::pair(window->progress->value(), window->progress->maximum()), std::pair(0, 100));
    EXPECT_EQ(state.exit_code(), 0);  // two good runs and a failed one
}

}  // namespace
}  // namespace romwright::testing
