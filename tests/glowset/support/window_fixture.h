// A main window on the virtual clock with simulated ports and scripted dialogs.
#pragma once

#include "glowset/core/session/sign_link.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "tests/glowset/support/scripted_dialogs.h"
#include "tests/glowset/support/simulated_serial_port.h"
#include "tests/support/named.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace glowset::testing {

// A key pressed and let go, as the keyboard sends it (any character, unlike QTest's).
inline void key(QWidget* to, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QCoreApplication::sendEvent(to, &release);
}
inline void typeKeys(QWidget* to, const QString& text) {
    for (QChar c : text) key(to, Qt::Key_unknown, Qt::NoModifier, QString(c));
}

class WindowTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    SimulatedBench bench{clock};
    ScriptedDialogs dialogs;
    SignLink link{bench.makePort()};
    Platform platform{
        clock, dialogs, [this] { return link.makeView(); },
        PortEnvironment{.variable = [](const std::string&) { return std::optional<std::string>(); },
                        .serialDevices =
                            [] {
                                std::vector<std::string> devices;
                                for (int n = 1; n <= 12; ++n)
                                    devices.push_back("/dev/ttySIM" + std::to_string(n));
                                return devices;
                            }}};
    // What the main windows made here are handed (set before making one).
    MainWindowHooks hooks;
    std::unique_ptr<GlowsetMain> window;

    // Opens the window and lets its port search run to the end.
    GlowsetMain& startAndSearch() {
        window = std::make_unique<GlowsetMain>(platform, hooks);
        runSearch();
        return *window;
    }
    // Lets the search of the window just made run to its end.
    void runSearch() {
        clock.runUntil([this] { return !window->session().searching(); }, 60000);
    }
    // A sign of this model on COM1, set up by `arrange`, and a new main
    // window once its search has read the sign.
    GlowsetMain& withSign(const char* model = "XY12",
                          const std::function<void(signsim::Sign&)>& arrange = {}) {
        window.reset();
        bench.signs.clear();
        signsim::Sign& sign = bench.attachSign(1, {model, "4"});
        if (arrange) arrange(sign);
        startAndSearch();
        clock.advance(1000);
        return *window;
    }
    // The main window's controls, found by object name as the operator
    // finds them by caption.
    template <class T = QWidget>
    T* control(const QString& name) const {
        return testsupport::named<T>(*window, name);
    }
    // What a label, a field or a button shows.
    QString textOf(const QString& name) const {
        if (auto* label = window->findChild<QLabel*>(name)) return label->text();
        if (auto* field = window->findChild<QLineEdit*>(name)) return field->text();
        return control<QAbstractButton>(name)->text();
    }
    int indexOf(const QString& name) const { return control<QComboBox>(name)->currentIndex(); }
    void choose(const QString& name, int index) {
        control<QComboBox>(name)->setCurrentIndex(index);
    }
    void click(const QString& name) { testsupport::press(*window, name); }
    // Acts on the next modal window once its own event loop runs; a window
    // that never comes up leaves nothing pending past the test.
    void whenModal(std::function<void(QWidget&)> act) {
        QTimer::singleShot(0, &modalGuard_, [act] {
            if (QWidget* modal = QApplication::activeModalWidget()) act(*modal);
        });
    }
    // The device behind every window's port.
    SimulatedSerialPort& port() { return static_cast<SimulatedSerialPort&>(link.device()); }
    // Writes made from now on.
    size_t mark() const { return bench.writes.size(); }
    std::vector<WireWrite> writesSince(size_t mark) const {
        return std::vector<WireWrite>(bench.writes.begin() + static_cast<long>(mark),
                                      bench.writes.end());
    }
    // The bytes of each write made since `mark`.
    std::vector<std::string> linesSince(size_t mark) const {
        std::vector<std::string> lines;
        for (const auto& write : writesSince(mark)) lines.push_back(write.bytes);
        return lines;
    }
    // Presses a button of window `w` and returns the bytes of each write it made.
    std::vector<std::string> sentBy(QWidget& w, const char* button) {
        const size_t start = mark();
        testsupport::press(w, button);
        return linesSince(start);
    }

  private:
    QObject modalGuard_;
};

}  // namespace glowset::testing
