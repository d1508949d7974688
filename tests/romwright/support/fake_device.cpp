#include "tests/romwright/support/fake_device.h"

#include "tests/support/files.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace romwright::testing {

namespace {

void useFakePorts(std::shared_ptr<Wire> wire) {
    set_device_opener(
        [wire](const std::string& port, int baud, std::string&) -> std::unique_ptr<SerialDevice> {
            wire->events.push_back("open " + port + " " + std::to_string(baud));
            if (wire->onBaud) wire->onBaud(baud);
            wire->timeoutMs = 1000;
            return std::make_unique<FakeDevice>(wire);
        });
    set_serial_clock([wire] { return std::chrono::milliseconds(wire->nowMs); });
}

void attachUnit(Wire& wire, std::shared_ptr<unitsim::Unit> unit) {
    wire.respond = [unit](const Bytes& bytes) { return unit->receive(bytes); };
    wire.onBreak = [unit](bool on) { return unit->lineBreak(on); };
    wire.onBaud = [unit](int baud) { unit->hostBaud(baud); };
}

}  // namespace

bool FakeDevice::set_baud(int baud) {
    wire_->events.push_back("baud " + std::to_string(baud));
    if (wire_->onBaud) wire_->onBaud(baud);
    return true;
}

bool FakeDevice::set_timeout(int milliseconds) {
    wire_->events.push_back("timeout " + std::to_string(milliseconds));
    wire_->timeoutMs = milliseconds;
    return true;
}

void FakeDevice::set_break(bool on) {
    wire_->events.push_back(on ? "break on" : "break off");
    if (wire_->onBreak) {
        const Bytes answer = wire_->onBreak(on);
        wire_->pending.insert(wire_->pending.end(), answer.begin(), answer.end());
    }
}

void FakeDevice::purge_receive() {
    wire_->events.push_back("purge");
    wire_->pending.clear();
}

size_t FakeDevice::write(const uint8_t* bytes, size_t count) {
    if (wire_->vanished) return 0;
    const Bytes written(bytes, bytes + count);
    wire_->writes.push_back(written);
    if (wire_->respond) {
        const Bytes answer = wire_->respond(written);
        wire_->pending.insert(wire_->pending.end(), answer.begin(), answer.end());
    }
    return count;
}

size_t FakeDevice::read(uint8_t* buffer, size_t count) {
    if (wire_->vanished) return 0;
    size_t n = 0;
    while (n < count && !wire_->pending.empty()) {
        buffer[n++] = wire_->pending.front();
        wire_->pending.pop_front();
    }
    if (n == 0) {
        wire_->nowMs += wire_->timeoutMs;
        ++wire_->emptyReads;
        if (wire_->onEmptyRead) wire_->onEmptyRead();
    }
    return n;
}

std::shared_ptr<Wire> freshWire() {
    auto wire = std::make_shared<Wire>();
    useFakePorts(wire);
    return wire;
}

void useRealPorts() {
    set_device_opener(nullptr);
    set_serial_clock(nullptr);
}

std::shared_ptr<unitsim::Unit> unitOn(Wire& wire, unitsim::Protocol protocol,
                                      unitsim::Faults faults) {
    auto unit = std::make_shared<unitsim::Unit>(protocol, faults);
    attachUnit(wire, unit);
    return unit;
}

void cancelAfterEmptyReads(Wire& wire, int count) {
    wire.onEmptyRead = [&wire, count] {
        if (wire.emptyReads >= count) cancel_requested = true;
    };
}

void cancelAfterWrites(Wire& wire, size_t count) {
    const auto answer = wire.respond;
    wire.respond = [&wire, count, answer](const Bytes& bytes) {
        if (wire.writes.size() >= count) cancel_requested = true;
        return answer ? answer(bytes) : Bytes{};
    };
}

std::string writeRom(const RomFile& rom, const std::string& path) {
    testsupport::writeFile(path, rom.bytes());
    return path;
}

std::string tempPath(const std::string& name) {
    static const std::string dir = testsupport::scratchFolder("romwright-test");
    return (std::filesystem::path(dir) / name).string();
}

}  // namespace romwright::testing

namespace romwright::testing {

void UnitProgram::start(const std::vector<std::string>& extra) {
    link = tempPath("unit-" + std::to_string(counter_++));
    dump = link + ".dump";
    std::filesystem::remove(dump);
    std::vector<std::string> args = {UNITSIM_PROGRAM, "--link", link, "--dump", dump, "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    process_.start(args);
    testsupport::waitForPath(link);
}

Bytes UnitProgram::stop() {
    process_.stop(SIGINT);
    const std::string flash = testsupport::fileText(dump);
    return Bytes(flash.begin(), flash.end());
}

}  // namespace romwright::testing
