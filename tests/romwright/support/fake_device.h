// In-process devices: each write logged and answered at once by a script or unit; a read
// that finds nothing returns at once, its time-out added to the wire's clock.
#pragma once

#include "romwright/serial/serial_port.h"
#include "sim/unitsim/rom_file.h"
#include "sim/unitsim/unit.h"
#include "tests/support/child_process.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace romwright::testing {

using Bytes = std::vector<uint8_t>;

struct Wire {
    std::vector<Bytes> writes;  // each write as one piece
    std::vector<std::string>
        events;  // "open COM1 57600", "break on", "baud 57600", "timeout 100", "purge", ...
    std::deque<uint8_t> pending;  // answers not read yet
    std::function<Bytes(const Bytes&)> respond;
    std::function<Bytes(bool)> onBreak;
    std::function<void(int)> onBaud;  // the speed the host uses, at open and on every change
    // Runs when a read finds nothing; tests cancel from here after a while.
    std::function<void()> onEmptyRead;
    int emptyReads = 0;
    // The adapter was pulled: nothing goes in or out any more.
    bool vanished = false;
    // The time the port layer sees: a read that finds nothing has waited
    // its whole time-out.
    long long nowMs = 0;
    int timeoutMs = 1000;
};

class FakeDevice : public SerialDevice {
  public:
    explicit FakeDevice(std::shared_ptr<Wire> wire) : wire_(std::move(wire)) {}
    bool set_baud(int baud) override;
    bool set_timeout(int milliseconds) override;
    void set_break(bool on) override;
    void purge_receive() override;
    size_t write(const uint8_t* bytes, size_t count) override;
    size_t read(uint8_t* buffer, size_t count) override;
    bool lost() const override { return wire_->vanished; }

  private:
    std::shared_ptr<Wire> wire_;
};

// A new wire that every port opens onto, on the wire's clock.
std::shared_ptr<Wire> freshWire();
// Back to termios devices and the steady clock.
void useRealPorts();
// A simulated unit answering on the wire.
std::shared_ptr<unitsim::Unit> unitOn(Wire& wire, unitsim::Protocol protocol,
                                      unitsim::Faults faults = {});
// Cancels the run after `count` reads that found nothing.
void cancelAfterEmptyReads(Wire& wire, int count);
// Cancels the run after `count` writes (for units that always answer something).
void cancelAfterWrites(Wire& wire, size_t count);

using unitsim::RomFile;
// Writes the image and returns its path.
std::string writeRom(const RomFile& rom, const std::string& path);

std::string tempPath(const std::string& name);

// The unitsim program on a pseudo-terminal, with its flash dumped at the end.
class UnitProgram {
  public:
    // Starts it with extra options; `link` names its device.
    void start(const std::vector<std::string>& extra);
    // Stops it and returns its flash.
    Bytes stop();
    std::string link, dump;

  private:
    testsupport::ChildProcess process_;
    static inline int counter_ = 0;
};

}  // namespace romwright::testing
