// Ports for window tests, on the virtual clock: each leads to an in-process sign, to
// nothing or to a missing device; every write is logged with its time.
#pragma once

#include "glowset/core/platform/serial_port.h"
#include "glowset/core/platform/virtual_clock.h"
#include "sim/signsim/sign.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace glowset::testing {

struct WireWrite {
    long long time;
    int port;
    std::string bytes;
};

// The machine's serial ports as the tests arrange them.
class SimulatedBench {
  public:
    explicit SimulatedBench(VirtualClock& clock) : clock(clock) {}

    // A sign answering on port n.
    signsim::Sign& attachSign(int port, signsim::SignOptions options);
    // Port n has no device at all.
    void removePort(int port) { missing[port] = true; }
    // Port n is held by another program.
    void holdPort(int port) { busy[port] = true; }
    // Writes to port n fail from now on (the adapter's driver refuses them).
    void failWrites(int port) { failing[port] = true; }
    // The adapter of port n is pulled `delayMs` from now: an open port
    // reports the fault, and the device is gone.
    void pull(int port, long long delayMs = 0);

    std::unique_ptr<SerialPort> makePort();

    // Everything written to any port, and just the ports written to in order.
    std::vector<WireWrite> writes;
    std::vector<int> portsWritten() const;

    VirtualClock& clock;
    std::map<int, std::unique_ptr<signsim::Sign>> signs;
    std::map<int, bool> missing, busy, failing;
    long long replyDelayMs = 20;  // from the end of a command to its reply
    // Replies take their line time, a character at a time, at this rate
    // (0: a reply arrives whole).
    int paceBaud = 0;
    std::vector<class SimulatedSerialPort*> ports;  // every port object alive
};

class SimulatedSerialPort : public SerialPort {
  public:
    explicit SimulatedSerialPort(SimulatedBench& bench) : bench_(bench) {
        bench_.ports.push_back(this);
    }
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    std::optional<OpenError> open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool write(const std::string& bytes) override;
    int inputCount() const override { return static_cast<int>(input_.size()); }
    std::string read() override;

    // Bytes arriving from the line `delayMs` from now (for receive-path tests).
    void arrive(const std::string& bytes, long long delayMs = 0);
    // The device went away under the open port.
    void fault(const std::string& what);

  private:
    SimulatedBench& bench_;
    int number_ = 1;
    bool open_ = false;
    long long generation_ = 0;  // replies to an earlier opening are lost
    std::string input_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  public:
    ~SimulatedSerialPort() override {
        *alive_ = false;
        std::erase(bench_.ports, this);
    }
};

}  // namespace glowset::testing
