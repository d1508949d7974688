#include "tests/glowset/support/simulated_serial_port.h"

namespace glowset::testing {

signsim::Sign& SimulatedBench::attachSign(int port, signsim::SignOptions options) {
    signs[port] =
        std::make_unique<signsim::Sign>(std::move(options), [] { return std::time_t(1700000000); });
    return *signs[port];
}

std::unique_ptr<SerialPort> SimulatedBench::makePort() {
    return std::make_unique<SimulatedSerialPort>(*this);
}

std::vector<int> SimulatedBench::portsWritten() const {
    std::vector<int> ports;
    for (const auto& w : writes) ports.push_back(w.port);
    return ports;
}

std::optional<OpenError> SimulatedSerialPort::open() {
    if (number_ < 1 || number_ > kHighestPortNumber) {
        return OpenError{kErrorInvalidPortNumber, "invalid port number"};
    }
    const std::string device = "/dev/ttySIM" + std::to_string(number_);
    if (bench_.missing[number_]) return describeOpenFailure(OpenFailure::NoDevice, number_, device);
    if (bench_.busy[number_] || open_)
        return describeOpenFailure(OpenFailure::InUse, number_, device);
    open_ = true;
    ++generation_;
    input_.clear();
    return std::nullopt;
}

void SimulatedSerialPort::close() {
    open_ = false;
    input_.clear();
}

void SimulatedBench::pull(int port, long long delayMs) {
    clock.post(delayMs, [this, port] {
        missing[port] = true;
        for (SimulatedSerialPort* p : ports) {
            if (p->isOpen() && p->portNumber() == port)
                p->fault("COM" + std::to_string(port) + "'s device was removed");
        }
    });
}

void SimulatedSerialPort::fault(const std::string& what) {
    open_ = false;
    input_.clear();
    if (onFault) onFault(what);
}

bool SimulatedSerialPort::write(const std::string& bytes) {
    if (!open_) return false;
    if (bench_.failing[number_]) {
        fault("writing to COM" + std::to_string(number_) + " failed");
        return false;
    }
    bench_.writes.push_back({bench_.clock.nowMilliseconds(), number_, bytes});
    const auto sign = bench_.signs.find(number_);
    if (sign == bench_.signs.end()) return true;  // a port with nothing on it
    const std::string reply = sign->second->receive(bytes);
    if (reply.empty()) return true;
    if (bench_.paceBaud <= 0) {
        arrive(reply, bench_.replyDelayMs);
        return true;
    }
    // 10 bits a character: at 9600 baud a 300-character line takes 312 ms.
    for (size_t i = 0; i < reply.size(); ++i) {
        arrive(reply.substr(i, 1),
               bench_.replyDelayMs + static_cast<long long>((i + 1) * 10000 / bench_.paceBaud));
    }
    return true;
}

void SimulatedSerialPort::arrive(const std::string& bytes, long long delayMs) {
    const long long generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    bench_.clock.post(delayMs, [this, bytes, generation, alive] {
        if (alive.expired() || !open_ || generation != generation_)
            return;  // lost, like a closed port
        input_ += bytes;
        if (onReceive) onReceive();
    });
}

std::string SimulatedSerialPort::read() {
    if (input_.empty()) return {};
    const std::string c(1, input_.front());
    input_.erase(0, 1);
    return c;
}

}  // namespace glowset::testing
