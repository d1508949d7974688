// Both programmers' bytes, refusals, odd answers and cancel, against scripts and the unit.
#include "romwright/programmers/m16c_programmer.h"
#include "romwright/programmers/native_programmer.h"
#include "tests/romwright/support/fake_device.h"

#include <gtest/gtest.h>

namespace romwright::testing {
namespace {

class ProgrammerTest : public ::testing::Test {
  protected:
    void SetUp() override { cancel_requested = false; }
    void TearDown() override {
        close_serial_port();
        useRealPorts();
        cancel_requested = false;
    }
    Printer printer() {
        return [this](const std::string& text) { printed += text; };
    }
    std::shared_ptr<Wire> wire = freshWire();
    std::string printed;
};

const Bytes kPage(256, 0x5A);

TEST_F(ProgrammerTest, M16cConnectsWithTheBytesOfTheBootProtocol) {
    auto unit = unitOn(*wire, unitsim::Protocol::M16c);
    M16cProgrammer programmer(printer());
    ASSERT_EQ(programmer.connect("COM2"), kSuccess);
    const std::vector<Bytes> expected = {
        {0xB0}, {0xB0}, {0xB3}, {0x70}, {0xF5, 0xDF, 0xFF, 0x0F, 0x07, 0, 0, 0, 0, 0, 0, 0},
        {0x70}};
    EXPECT_EQ(wire->writes, expected);
    EXPECT_EQ(wire->events, (std::vector<std::string>{"open COM2 9600", "baud 57600"}));

    wire->writes.clear();
    EXPECT_TRUE(programmer.erase_block(0x8FFFE));
    EXPECT_TRUE(programmer.write_page(0x80100, kPage.data(), 0x1234));
    // Each command goes out with its status request in one write.
    Bytes program = {0x41, 0x01, 0x08};
    program.insert(program.end(), kPage.begin(), kPage.end());
    program.push_back(0x70);
    const std::vector<Bytes> operations = {{0x20, 0xFF, 0x08, 0xD0, 0x70}, program};
    EXPECT_EQ(wire->writes, operations);
    EXPECT_EQ(unit->flash()[0x80100], 0x5A);
    EXPECT_EQ(unit->eraseLog(), (std::vector<uint32_t>{0x80000}));

    uint8_t page[256];
    EXPECT_FALSE(programmer.read_page(0x80100, page));
    EXPECT_TRUE(programmer.finish());
    EXPECT_EQ(printed,
              "page reads not currently supported by this programmer\n"
              "\nRemove the jumper beside the microprocessor, and reset the pager for normal "
              "operation.\n");
}

TEST_F(ProgrammerTest, M16cStatusPairs) {
    const struct {
        Bytes answer;
        bool good;
        std::string message;
    } cases[] = {
        {{0x80, 0x01}, true, ""},
        {{0x00, 0x00}, true, ""},
        {{0x00, 0x01}, false, "Incorrect response from M16C (0x00,0x01)\n"},
        {{0x7F, 0xFF}, false, "Incorrect response from M16C (0x7f,0xff)\n"},
        {{0x80}, false, "M16C is not responding\n"},
        {{}, false, "M16C is not responding\n"},
    };
    for (const auto& c : cases) {
        printed.clear();
        ASSERT_TRUE(open_serial_port("COM1", 57600));
        wire->pending.clear();
        wire->respond = [&](const Bytes& written) {
            return written == Bytes{0x70} ? c.answer : Bytes{};
        };
        M16cProgrammer programmer(printer());
        EXPECT_EQ(programmer.m16c_check_status(), c.good);
        EXPECT_EQ(printed, c.message);
    }
}

TEST_F(ProgrammerTest, M16cConnectFailures) {
    // Never answers: pairs of 0xB0 until the user cancels.
    cancelAfterEmptyReads(*wire, 5);
    EXPECT_EQ(M16cProgrammer(printer()).connect("COM1"), kCancelled);
    EXPECT_EQ(wire->writes.size(), 10u);
    EXPECT_EQ(wire->writes.back(), Bytes{0xB0});

    // Answers the sync but not the speed change.
    wire = freshWire();
    wire->respond = [](const Bytes& written) {
        return written == Bytes{0xB0} ? Bytes{0xB0} : Bytes{0x00};
    };
    cancel_requested = false;
    EXPECT_EQ(M16cProgrammer(printer()).connect("COM1"), kInvalidResponse);
    EXPECT_EQ(wire->events, (std::vector<std::string>{"open COM1 9600"}));  // no speed change

    // A refused page and an erase that fails.
    wire = freshWire();
    auto unit = unitOn(*wire, unitsim::Protocol::M16c,
                       unitsim::Faults{.refusePage = 1, .refuseErase = true});
    M16cProgrammer programmer(printer());
    ASSERT_EQ(programmer.connect("COM1"), kSuccess);
    printed.clear();
    EXPECT_FALSE(programmer.write_page(0x80000, kPage.data(), 0));
    EXPECT_EQ(printed, "Incorrect response from M16C (0x00,0x01)\nerror programming block\n");
    printed.clear();
    EXPECT_FALSE(programmer.erase_block(0x8FFFE));
    EXPECT_EQ(printed, "Incorrect response from M16C (0x00,0x01)\nerror erasing block\n");
}

TEST_F(ProgrammerTest, NativeEntryModes) {
    const std::vector<std::string> entered = {"open COM1 57600", "break on", "purge", "break off"};
    std::vector<std::string> handshake = entered;
    handshake.insert(handshake.end(), {"timeout 100", "timeout 1000"});
    const struct {
        bool chainLoad, noBreak;
        std::vector<Bytes> writes;
        std::vector<std::string> events;
        std::string printed;
    } cases[] = {
        {false, false, {}, entered, "Please reset pager\n"},
        {false, true, {{0x0A}}, handshake, "Please reset pager\nUnit in programming mode\n"},
        {true, false, {{0x0B}, {0x0A}}, handshake, "Please reset pager\n"},
        {true, true, {{0x0B}, {0x0A}}, handshake, "Please reset pager\n"},  // chain load wins
    };
    for (const auto& c : cases) {
        wire = freshWire();
        auto unit = unitOn(*wire, unitsim::Protocol::Native);
        printed.clear();
        NativeProgrammer programmer(c.chainLoad, c.noBreak, printer());
        EXPECT_EQ(programmer.connect("COM1"), kSuccess);
        EXPECT_EQ(wire->writes, c.writes);
        EXPECT_EQ(wire->events, c.events);
        EXPECT_EQ(printed, c.printed);
        EXPECT_TRUE(unit->inLoader());
    }
    wire = freshWire();  // a unit that never answers: Cancel ends the entry and closes the port
    cancelAfterEmptyReads(*wire, 3);
    EXPECT_EQ(NativeProgrammer(false, false, printer()).connect("COM1"), kCancelled);
    EXPECT_FALSE(serial_port_open());
}

TEST_F(ProgrammerTest, NativeFrames) {
    auto unit = unitOn(*wire, unitsim::Protocol::Native);
    NativeProgrammer programmer(false, true, printer());
    ASSERT_EQ(programmer.connect("COM1"), kSuccess);
    wire->writes.clear();
    EXPECT_TRUE(programmer.erase_block(0x8FFFE));
    EXPECT_TRUE(programmer.write_page(0x80100, kPage.data(), 0x1234));
    uint8_t page[256] = {};
    EXPECT_TRUE(programmer.read_page(0x80100, page));
    EXPECT_EQ(page[17], 0x5A);
    EXPECT_TRUE(programmer.finish());
    const std::vector<Bytes> expected = {{'e', 0x08, 0xFF, 0xFE, 0, 0},
                                         {'w', 0x08, 0x01, 0x00, 0x12, 0x34},
                                         kPage,
                                         {'r', 0x08, 0x01, 0x00, 0x01, 0x00},
                                         {'t', 0, 0, 0, 0, 0}};
    EXPECT_EQ(wire->writes, expected);
    EXPECT_EQ(printed, "Please reset pager\nUnit in programming mode\n");
}

TEST_F(ProgrammerTest, NativeRefusalsAndOddAnswers) {
    using Operation = std::function<bool(NativeProgrammer&)>;
    const Operation erase = [](NativeProgrammer& p) { return p.erase_block(0x8FFFE); };
    const Operation write = [](NativeProgrammer& p) {
        return p.write_page(0x80000, kPage.data(), 0);
    };
    const Operation read = [](NativeProgrammer& p) {
        uint8_t d[256];
        return p.read_page(0x80000, d);
    };
    const struct {
        const char* name;
        Operation operation;
        std::vector<Bytes> answers;  // one per write, in order
        std::string message;
        size_t writes;
    } cases[] = {
        // clang-format off
        {"erase refused", erase, {{0x15}}, "Error erasing block\n", 1},
        {"erase odd", erase, {{0x99}}, "Undefined response\n", 1},
        {"write frame refused: no data follows", write, {{0x15}}, "error in write command\n", 1},
        {"write frame odd", write, {{0x00}}, "undefined response to write command\n", 1},
        {"data refused", write, {{0x06}, {0x15}}, "error in writing ROM\n", 2},
        {"data odd", write, {{0x06}, {0x42}}, "undefined response to write command\n", 2},
        {"read refused", read, {{0x15}}, "error in read command\n", 1},
        {"read odd", read, {{0x07}}, "undefined response to read command\n", 1},
        {"read short by one", read, {Bytes(259, 0x06)}, "", 1},
        {"no answer: cancel ends the wait", erase, {{}}, "", 1},
        {"no answer to a write frame: cancel ends the wait", write, {{}}, "", 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(open_serial_port("COM1", 57600));
        wire->writes.clear();
        wire->pending.clear();
        wire->emptyReads = 0;
        cancel_requested = false;
        cancelAfterEmptyReads(*wire, 3);
        size_t answer = 0;
        wire->respond = [&](const Bytes&) {
            return answer < c.answers.size() ? c.answers[answer++] : Bytes{};
        };
        printed.clear();
        NativeProgrammer programmer(false, false, printer());
        EXPECT_FALSE(c.operation(programmer)) << c.name;
        EXPECT_EQ(printed, c.message) << c.name;
        EXPECT_EQ(wire->writes.size(), c.writes) << c.name;
    }
}

}  // namespace
}  // namespace romwright::testing
