// Whole programming runs against the simulated unit.
#include "romwright/run/program_unit.h"

#include "romwright/rom/rom_image.h"
#include "romwright/serial/serial_port.h"
#include "tests/romwright/support/fake_device.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace romwright::testing {
namespace {

class Run : public ::testing::Test {
  protected:
    void SetUp() override {
        callbacks.error = [this](const std::string& text) { errors.push_back(text); };
        callbacks.progress = [this](uint32_t total, uint32_t done) {
            progress.push_back({total, done});
        };
        callbacks.info = [this](const std::string& text) { info.push_back(text); };
    }
    void TearDown() override { useRealPorts(); }

    // Programmers that print nowhere: the run's callbacks carry what counts.
    RunResult run(const std::string& path, unsigned flags = kNoBreak, uint32_t start = 0,
                  uint32_t end = 0) {
        return program_unit("COM1", path, flags, start, end, callbacks,
                            default_programmers([](const std::string&) {}));
    }
    static Bytes readFile(const std::string& path) {
        const std::string text = testsupport::fileText(path);
        return Bytes(text.begin(), text.end());
    }

    std::shared_ptr<Wire> wire = freshWire();
    std::shared_ptr<unitsim::Unit> unit = unitOn(*wire, unitsim::Protocol::Native);
    RunCallbacks callbacks;
    std::vector<std::string> errors, info;
    std::vector<std::pair<uint32_t, uint32_t>> progress;
};

TEST_F(Run, BlocksAreErasedLazilyOnceEachPerRun) {
    unit->flash()[0x500] = 0x0F;  // 0x500 lies in no block: ANDed into, never erased
    const std::string path = writeRom(
        {.pages = {{0xF0000, 0x01}, {0xF0100, 0x02, 0xBEEF}, {0x0F000, 0x03}, {0x500, 0xF3}}},
        tempPath("lazy.rom"));
    ASSERT_EQ(run(path), kSuccess);
    EXPECT_EQ(unit->eraseLog(), (std::vector<uint32_t>{0xF0000, 0x0F000}));
    // Erase progress calls keep done as it was.
    EXPECT_EQ(progress, (std::vector<std::pair<uint32_t, uint32_t>>{
                            {4, 0}, {4, 1}, {4, 2}, {4, 2}, {4, 3}, {4, 4}}));
    EXPECT_EQ(unit->flash()[0xF0100], 0x02);
    const Bytes writeFrame = {'w', 0x0F, 0x01, 0x00, 0xBE, 0xEF};  // with the record's write word
    EXPECT_NE(std::find(wire->writes.begin(), wire->writes.end(), writeFrame), wire->writes.end());
    EXPECT_EQ(unit->flash()[0x500], 0x03);
    EXPECT_EQ(info,
              (std::vector<std::string>{"Using Orvantis Signals Company KV programmer...\n"}));
    ASSERT_EQ(run(path), kSuccess);  // a second run erases again
    EXPECT_EQ(unit->eraseLog().size(), 4u);
}

// Read mode wins over raw write; a range of part pages reads one page past its total.
TEST_F(Run, ReadModeCopiesTheRangeIntoAPageFile) {
    for (uint32_t i = 0; i < 0x200; ++i) unit->flash()[0x100 + i] = static_cast<uint8_t>(i * 7);
    const std::string path = tempPath("read.bin");
    ASSERT_EQ(run(path, kNoBreak | kReadMode | kRawWriteMode, 0x100, 0x300), kSuccess);
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), 512u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), unit->flash().begin() + 0x100));
    EXPECT_EQ(progress, (std::vector<std::pair<uint32_t, uint32_t>>{{2, 1}, {2, 2}}));

    ASSERT_EQ(run(path, kNoBreak | kReadMode, 0x100, 0x280), kSuccess);
    EXPECT_EQ(progress.back(), (std::pair<uint32_t, uint32_t>{1, 2}));
    EXPECT_EQ(readFile(path).size(), 512u);
}

TEST_F(Run, RawWriteOfAShortFileFillsWithZeros) {
    const std::string path = tempPath("raw.bin");
    Bytes data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(testsupport::writeFile(path, data));
    ASSERT_EQ(run(path, kNoBreak | kRawWriteMode, 0x100, 0x500), kSuccess);
    const auto& flash = unit->flash();
    EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin() + 0x100));
    EXPECT_TRUE(std::all_of(flash.begin() + 0x100 + 300, flash.begin() + 0x500,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(unit->eraseLog().empty());  // this mode erases nothing
}

TEST_F(Run, ReadModeRetriesAFailingPageUntilCancel) {
    unit = unitOn(*wire, unitsim::Protocol::Native, unitsim::Faults{.shortRead = true});
    cancelAfterWrites(*wire, 40);  // short answers never leave a read empty
    EXPECT_EQ(run(tempPath("retry.bin"), kNoBreak | kReadMode, 0x100, 0x300), kCancelled);
    EXPECT_TRUE(progress.empty());
    // Each retry purges first: a late byte of the failed answer cannot pass for the next.
    const auto retries =
        std::count(wire->writes.begin(), wire->writes.end(), Bytes{'r', 0, 1, 0, 1, 0}) - 1;
    EXPECT_GE(std::count(wire->events.begin(), wire->events.end(), "purge"), retries);
}

// Each end has its result and words, sends the finish frame if connected, closes the
// port and never waits without end.
TEST_F(Run, EachEndHasItsOwnResultAndWords) {
    const std::string image = writeRom(RomFile().addPages(0x80000, 3), tempPath("faults.rom"));
    const std::string m16cImage =
        writeRom(RomFile{.loader = 0}.addPages(0x80000, 3), tempPath("faults-m16c.rom"));
    const std::string badImage = writeRom({.magic = "not a rom"}, tempPath("bad.rom"));
    const std::string unknownImage = writeRom({.loader = 2}, tempPath("unknown.rom"));
    const auto headerCutAt = [](size_t size) {
        Bytes bytes = RomFile().bytes();
        bytes.resize(size);
        const std::string path = tempPath("cut-" + std::to_string(size) + ".rom");
        return testsupport::writeFile(path, bytes) ? path : "";
    };
    constexpr auto Native = unitsim::Protocol::Native, M16c = unitsim::Protocol::M16c;
    constexpr int kCableStays = -1;
    const struct {
        const char* name;
        unitsim::Protocol protocol;
        unitsim::Faults faults;
        std::string path;
        unsigned flags;
        int vanishAfterPages;  // or kCableStays
        RunResult result;
        std::string status;  // the start of the status line
        int pagesWritten;
        int entryLimitMs = 0;  // a script's limit on the wait for the unit; 0: none
    } cases[] = {
        // clang-format off
        {"bad header", Native, {}, badImage, kNoBreak, kCableStays, kInvalidFile, "Invalid file", 0},
        {"file ends in the second caption", Native, {}, headerCutAt(45), kNoBreak, kCableStays, kInvalidFile, "Invalid file", 0},
        {"no programmer byte", Native, {}, headerCutAt(38 + 5 + 9), kNoBreak, kCableStays, kInvalidFile, "Invalid file", 0},
        {"unknown programmer", Native, {}, unknownImage, kNoBreak, kCableStays, kPortError, "Unable to open COM port", 0},
        {"M16C unit answers garbage", M16c, {.garbage = true}, m16cImage, 0, kCableStays, kCancelled, "Programming cancelled (%0)", 0},
        {"cable pulled while reading", Native, {}, tempPath("pulled.bin"), kNoBreak | kReadMode, 0, kPortError,
         "The port was disconnected", 0},
        {"silent after connect", Native, {.silentAfterConnect = true}, image, kNoBreak, kCableStays,
         kInvalidResponse, "Invalid response from unit: the unit sent nothing for 10 seconds", 0},
        {"silent while reading", Native, {.silentAfterConnect = true}, tempPath("silent.bin"),
         kNoBreak | kReadMode, kCableStays, kInvalidResponse, "Invalid response from unit", 0},
        {"verify finds a wrong byte", Native, {.corruptPage = 2}, image, kNoBreak | kVerify, kCableStays,
         kProgrammingError, "Error programming unit: verification failed: the page at 80100", 3},
        {"a refused page is not verified", Native, {.refusePage = 2}, image, kNoBreak | kVerify, kCableStays,
         kProgrammingError, "Error programming unit", 1},
        {"verify refused for the M16C loader", M16c, {}, m16cImage, kVerify, kCableStays, kProgrammingError,
         "Error programming unit: this image is for the M16C", 0},
        {"M16C unit never enters its loader", M16c, {.silent = true}, m16cImage, 0, kCableStays, kInvalidResponse,
         "Invalid response from unit: the unit did not enter its loader within 3 seconds", 0, 3000},
        {"native unit never answers the handshake", Native, {.silent = true}, image, kNoBreak, kCableStays,
         kInvalidResponse, "Invalid response from unit: the unit did not enter its loader within 3", 0, 3000},
        {"native unit never answers the break", Native, {.silent = true}, image, 0, kCableStays,
         kInvalidResponse, "Invalid response from unit: the unit did not enter its loader within 3", 0, 3000},
        {"a unit in its loader at once meets no limit", Native, {}, image, kNoBreak, kCableStays, kSuccess,
         "Successfully programmed unit", 3, 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        wire = freshWire();
        unit = unitOn(*wire, c.protocol, c.faults);
        if (c.vanishAfterPages >= 0) {
            const auto answer = wire->respond;
            wire->respond = [this, answer, pages = c.vanishAfterPages](const Bytes& bytes) {
                const Bytes reply = answer(bytes);
                if (unit->pagesWritten() >= pages && unit->inLoader()) wire->vanished = true;
                return reply;
            };
        }
        // A wait without end shows up as a cancel.
        cancelAfterEmptyReads(*wire, 100);
        cancelAfterWrites(*wire, 200);
        std::string problem;
        callbacks.problem = [&](const std::string& text) { problem = text; };
        set_entry_limit(std::chrono::milliseconds(c.entryLimitMs));
        const RunResult result = run(c.path, c.flags, 0x80000, 0x80300);
        set_entry_limit(std::chrono::milliseconds(0));
        EXPECT_EQ(result, c.result) << c.name;
        const std::string status = status_after_run(result, 0, problem);
        EXPECT_EQ(status.substr(0, c.status.size()), c.status) << c.name << ": " << status;
        EXPECT_EQ(unit->pagesWritten(), c.pagesWritten) << c.name;
        EXPECT_FALSE(serial_port_open()) << c.name;
        if (c.protocol == Native && c.vanishAfterPages == kCableStays && !c.faults.silent &&
            !wire->writes.empty()) {
            // The unit was connected: it is told the run is over.
            EXPECT_EQ(wire->writes.back(), (Bytes{'t', 0, 0, 0, 0, 0})) << c.name;
        }
        if (c.name == std::string("silent after connect")) {
            EXPECT_LT(wire->nowMs, 12000);  // given its ten seconds, not much more
        }
        if (c.result == kInvalidResponse && c.entryLimitMs > 0) {
            EXPECT_LT(wire->nowMs, c.entryLimitMs + 1500) << c.name;  // its limit, not much more
        }
    }
    EXPECT_NE(std::find(info.begin(), info.end(),
                        "Unknown programmer required. Please contact Orvantis Signals Company for "
                        "a newer programmer\n"),
              info.end());
    EXPECT_EQ(std::count_if(info.begin(), info.end(),  // only where every page went
                            [](const std::string& s) { return s.starts_with("Verifying"); }),
              1);
}

TEST(FlashBlocks, LookupAndEraseAddresses) {
    const std::pair<uint32_t, std::optional<size_t>> cases[] = {
        {0x0F000, 0}, {0x0FFFF, 0}, {0x0EFFF, {}}, {0x10000, {}},  {0x80000, 1},
        {0xF7FFF, 8}, {0xF8000, 9}, {0xFFFFF, 13}, {0x100000, {}}, {0x1080000, {}}};
    for (const auto& [address, block] : cases)
        EXPECT_EQ(flash_block_index(address), block) << std::hex << address;
    for (const auto& block : flash_blocks()) EXPECT_EQ(block.erase_address, block.last - 1);
}

TEST(ReadRomHeader, ALongCaptionIsCutAt255AndReadToItsEnd) {
    RomHeader header;
    const std::string path = writeRom({.caption1 = std::string(300, 'y')}, tempPath("long.rom"));
    ASSERT_EQ(read_rom_header(path, header), kSuccess);
    EXPECT_EQ(std::pair(header.caption1, header.caption2),
              std::pair(std::string(255, 'y'), std::string("firmware")));
}

}  // namespace
}  // namespace romwright::testing
