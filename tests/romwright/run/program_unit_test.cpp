// Whole programming runs against the simulated unit.
#include "romwright/run/program_unit.h"

#include <gtest/gtest.h>

#include <fstream>

#include "romwright/programmers/m16c_programmer.h"
#include "romwright/programmers/native_programmer.h"
#include "romwright/serial/serial_port.h"
#include "tests/romwright/support/fake_device.h"

namespace romwright::testing {
namespace {

class Run : public ::testing::Test {
  protected:
    void SetUp() override {
        useFakePorts(wire);
        attachUnit(*wire, unit);
        callbacks.error = [this](const std::string& text) { errors.push_back(text); };
        callbacks.progress = [this](uint32_t total, uint32_t done) {
            progress.push_back({total, done});
        };
        callbacks.info = [this](const std::string& text) { info.push_back(text); };
    }
    void TearDown() override { useRealPorts(); }

    // Programmers that print into `printed` instead of standard output.
    ProgrammerFactory programmers() {
        return [this](uint8_t kind, unsigned flags) -> std::unique_ptr<Programmer> {
            const Printer print = [this](const std::string& text) { printed += text; };
            if (kind == 0) return std::make_unique<M16cProgrammer>(print);
            return std::make_unique<NativeProgrammer>(flags & kChainLoad, flags & kNoBreak, print);
        };
    }
    RunResult run(const std::string& path, unsigned flags = kNoBreak, uint32_t start = 0,
                  uint32_t end = 0) {
        return program_unit("COM1", path, flags, start, end, callbacks, programmers());
    }
    static Bytes readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    std::shared_ptr<Wire> wire = std::make_shared<Wire>();
    std::shared_ptr<unitsim::Unit> unit =
        std::make_shared<unitsim::Unit>(unitsim::Protocol::Native);
    RunCallbacks callbacks;
    std::vector<std::string> errors, info;
    std::vector<std::pair<uint32_t, uint32_t>> progress;
    std::string printed;
};

TEST_F(Run, BlocksAreErasedLazilyOnceEachPerRun) {
    RomBuilder builder;
    builder.page(0xF0000, 0x01).page(0xF0100, 0x02).page(0x0F000, 0x03);
    const std::string path = builder.writeTo(tempPath("lazy.rom"));
    ASSERT_EQ(run(path), kSuccess);
    EXPECT_EQ(unit->eraseLog(), (std::vector<uint32_t>{0xF0000, 0x0F000}));
    // Erase progress calls keep done as it was.
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {3, 0}, {3, 1}, {3, 2}, {3, 2}, {3, 3}};
    EXPECT_EQ(progress, expected);
    EXPECT_EQ(unit->flash()[0xF0100], 0x02);
    EXPECT_EQ(info,
              (std::vector<std::string>{"Using Orvantis Signals Company KV programmer...\n"}));

    // A second run erases again.
    progress.clear();
    ASSERT_EQ(run(path), kSuccess);
    EXPECT_EQ(unit->eraseLog().size(), 4u);
}

TEST_F(Run, WithoutAnEraseAPageIsAndedIntoTheFlash) {
    unit->flash()[0x500] = 0x0F;  // address 0x500 lies in no block
    RomBuilder builder;
    builder.page(0x500, 0xF3);
    ASSERT_EQ(run(builder.writeTo(tempPath("noerase.rom"))), kSuccess);
    EXPECT_TRUE(unit->eraseLog().empty());
    EXPECT_EQ(unit->flash()[0x500], 0x03);
}

TEST_F(Run, RecordKindsAndATrailingPart) {
    RomBuilder builder;
    builder.page(0x80000, 0x10)
        .page(0x80100, 0x20, 0, 3)
        .page(0x80200, 0x30, 0, 7)
        .page(0x80300, 0x40);
    Bytes bytes = builder.bytes();
    bytes.insert(bytes.end(), 200, 0x00);
    const std::string path = tempPath("kinds.rom");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    ASSERT_EQ(run(path), kSuccess);
    EXPECT_EQ(errors, (std::vector<std::string>{"\nBad record, skipping\n"}));
    EXPECT_EQ(unit->pagesWritten(), 2);
    EXPECT_EQ(progress.back(), (std::pair<uint32_t, uint32_t>{4, 2}));  // ends below 100 %
    EXPECT_EQ(unit->flash()[0x80100], 0xFF);
}

TEST_F(Run, RefusedSecondPageStopsTheRunAfterFinishing) {
    unitsim::Faults faults;
    faults.refusePage = 2;
    unit = std::make_shared<unitsim::Unit>(unitsim::Protocol::Native, faults);
    attachUnit(*wire, unit);
    RomBuilder builder;
    builder.page(0x80000, 0x10).page(0x80100, 0x20).page(0x80200, 0x30);
    EXPECT_EQ(run(builder.writeTo(tempPath("refuse.rom"))), kProgrammingError);
    EXPECT_EQ(unit->pagesWritten(), 1);
    EXPECT_EQ(wire->writes.back(), (Bytes{'t', 0, 0, 0, 0, 0}));  // finish was still sent
    EXPECT_EQ(printed, "Please reset pager\nUnit in programming mode\nerror in write command\n");
    EXPECT_EQ(status_after_run(kProgrammingError, 34), "Error programming unit");
    EXPECT_FALSE(serial_port_open());
}

TEST_F(Run, ReadModeCopiesTheRangeIntoAPageFile) {
    for (uint32_t i = 0; i < 0x200; ++i) unit->flash()[0x100 + i] = static_cast<uint8_t>(i * 7);
    const std::string path = tempPath("read.bin");
    ASSERT_EQ(run(path, kNoBreak | kReadMode | kRawWriteMode, 0x100, 0x300),
              kSuccess);  // read mode wins
    const Bytes file = readFile(path);
    ASSERT_EQ(file.size(), 512u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), unit->flash().begin() + 0x100));
    EXPECT_EQ(progress, (std::vector<std::pair<uint32_t, uint32_t>>{{2, 1}, {2, 2}}));
}

TEST_F(Run, RangeThatIsNotWholePagesReportsOneMoreThanTheTotal) {
    ASSERT_EQ(run(tempPath("odd.bin"), kNoBreak | kReadMode, 0x100, 0x280), kSuccess);
    EXPECT_EQ(progress.back(), (std::pair<uint32_t, uint32_t>{1, 2}));
    EXPECT_EQ(readFile(tempPath("odd.bin")).size(), 512u);
    EXPECT_EQ(progress_percent(1, 2), 200);
    EXPECT_EQ(progress_percent(0, 1), 100);  // a range under one page: no division by zero
}

TEST_F(Run, RawWriteOfAShortFileFillsWithZeros) {
    const std::string path = tempPath("raw.bin");
    Bytes data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), 300);
    ASSERT_EQ(run(path, kNoBreak | kRawWriteMode, 0x100, 0x500), kSuccess);
    const auto& flash = unit->flash();
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 256, flash.begin() + 0x100));
    EXPECT_TRUE(std::equal(data.begin() + 256, data.end(), flash.begin() + 0x200));
    EXPECT_TRUE(std::all_of(flash.begin() + 0x200 + 44, flash.begin() + 0x500,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(unit->eraseLog().empty());  // this mode erases nothing
}

TEST_F(Run, ReadModeRetriesAFailingPageUntilCancel) {
    unitsim::Faults faults;
    faults.shortRead = true;
    unit = std::make_shared<unitsim::Unit>(unitsim::Protocol::Native, faults);
    attachUnit(*wire, unit);
    cancelAfterWrites(*wire, 40);  // short answers never leave a read empty
    EXPECT_EQ(run(tempPath("retry.bin"), kNoBreak | kReadMode, 0x100, 0x300), kCancelled);
    EXPECT_TRUE(progress.empty());
    // Every retry starts on an empty receive queue, so a late byte of the
    // failed answer cannot pass for the next one.
    const auto retries = std::count(wire->writes.begin(), wire->writes.end(),
                                    Bytes{'r', 0, 1, 0, 1, 0}) - 1;
    EXPECT_GE(std::count(wire->events.begin(), wire->events.end(), "purge"), retries);
}

TEST_F(Run, ResultCodes) {
    RomBuilder good;
    good.page(0x80000, 1);
    const std::string goodPath = good.writeTo(tempPath("good.rom"));
    RomBuilder unknown;
    unknown.programmer = 2;
    RomBuilder bad;
    bad.magic = "not a rom";
    const struct {
        const char* name;
        std::function<void()> arrange;
        std::string path;
        RunResult result;
        std::string status;
    } cases[] = {
        {"empty path", [] {}, "", kInvalidFileName, "Invalid filename"},
        {"missing file", [] {}, tempPath("missing.rom"), kInvalidFileName, "Invalid filename"},
        {"bad header", [] {}, bad.writeTo(tempPath("bad.rom")), kInvalidFile, "Invalid file"},
        {"unknown programmer", [] {}, unknown.writeTo(tempPath("unknown.rom")), kPortError,
         "Unable to open COM port"},
        {"port cannot be opened", [this] { useFakePorts(wire, true); }, goodPath, kPortError,
         "Unable to open COM port"},
        {"unit answers garbage",
         [this] {
             unitsim::Faults faults;
             faults.garbage = true;
             unit = std::make_shared<unitsim::Unit>(unitsim::Protocol::M16c, faults);
             attachUnit(*wire, unit);
         },
         [&] {
             RomBuilder m;
             m.programmer = 0;
             return m.writeTo(tempPath("m.rom"));
         }(),
         kCancelled, "Programming cancelled (%0)"},
        {"success", [] {}, goodPath, kSuccess, "Successfully programmed unit"},
    };
    for (const auto& c : cases) {
        wire = std::make_shared<Wire>();
        useFakePorts(wire);
        unit = std::make_shared<unitsim::Unit>(unitsim::Protocol::Native);
        attachUnit(*wire, unit);
        cancelAfterEmptyReads(*wire, 50);
        c.arrange();
        cancelAfterWrites(*wire, 200);
        const RunResult result = run(c.path);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(status_after_run(result, 0), c.status) << c.name;
        EXPECT_FALSE(serial_port_open()) << c.name;
    }
    EXPECT_NE(std::find(info.begin(), info.end(),
                        "Unknown programmer required. Please contact Orvantis Signals Company for "
                        "a newer programmer\n"),
              info.end());
}

// A pulled cable, a unit that falls silent or refuses, a page that reads
// back wrong, a page file that cannot be written: each ends the run with
// its own result and words, sends the finish frame when the unit was
// connected, and never waits without end.
TEST_F(Run, FaultsEndTheRunWithTheirOwnResultAndWords) {
    RomBuilder native;
    native.page(0x80000, 0x11).page(0x80100, 0x22).page(0x80200, 0x33);
    const std::string nativeImage = native.writeTo(tempPath("faults.rom"));
    RomBuilder m16c = native;
    m16c.programmer = 0;
    const std::string m16cImage = m16c.writeTo(tempPath("faults-m16c.rom"));
    constexpr auto Native = unitsim::Protocol::Native, M16c = unitsim::Protocol::M16c;
    const auto faulty = [](auto set) {
        unitsim::Faults faults;
        set(faults);
        return faults;
    };
    const struct {
        const char* name;
        unitsim::Protocol protocol;
        unitsim::Faults faults;
        std::string path;
        unsigned flags;
        int vanishAfterPages;  // -1: the cable stays in
        RunResult result;
        std::string status;  // the start of the status line
        int pagesWritten;
    } cases[] = {
        // clang-format off
        {"cable pulled after a page", Native, {}, nativeImage, kNoBreak, 1, kPortError, "The port was disconnected", 1},
        {"cable pulled while reading", Native, {}, tempPath("pulled.bin"), kNoBreak | kReadMode, 0, kPortError,
         "The port was disconnected", 0},
        {"silent after connect", Native, faulty([](auto& f) { f.silentAfterConnect = true; }), nativeImage, kNoBreak, -1,
         kInvalidResponse, "Invalid response from unit: the unit sent nothing for 10 seconds", 0},
        {"silent while reading", Native, faulty([](auto& f) { f.silentAfterConnect = true; }), tempPath("silent.bin"),
         kNoBreak | kReadMode, -1, kInvalidResponse, "Invalid response from unit", 0},
        {"every erase refused", Native, faulty([](auto& f) { f.refuseErase = true; }), nativeImage, kNoBreak, -1,
         kProgrammingError, "Error programming unit: the unit did not erase the block at 80000", 0},
        {"every M16C erase refused", M16c, faulty([](auto& f) { f.refuseErase = true; }), m16cImage, 0, -1,
         kProgrammingError, "Error programming unit", 0},
        {"verify finds a wrong byte", Native, faulty([](auto& f) { f.corruptPage = 2; }), nativeImage,
         kNoBreak | kVerify, -1, kProgrammingError, "Error programming unit: verification failed: the page at 80100", 3},
        {"verify of a good flash", Native, {}, nativeImage, kNoBreak | kVerify, -1, kSuccess,
         "Successfully programmed unit", 3},
        {"verify refused for the M16C loader", M16c, {}, m16cImage, kVerify, -1, kProgrammingError,
         "Error programming unit: this image is for the M16C", 0},
        {"page file on a full disk", Native, {}, "/dev/full", kNoBreak | kReadMode, -1, kInvalidFile,
         "Invalid file: cannot write the page file", 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        wire = std::make_shared<Wire>();
        useFakePorts(wire);
        unit = std::make_shared<unitsim::Unit>(c.protocol, c.faults);
        attachUnit(*wire, unit);
        if (c.vanishAfterPages >= 0) {
            const auto answer = wire->respond;
            wire->respond = [this, answer, pages = c.vanishAfterPages](const Bytes& bytes) {
                const Bytes reply = answer(bytes);
                if (unit->pagesWritten() >= pages && unit->inLoader()) wire->vanished = true;
                return reply;
            };
        }
        cancelAfterEmptyReads(*wire, 100);  // a wait without end shows up as a cancel
        std::string problem;
        callbacks.problem = [&](const std::string& text) { problem = text; };
        const RunResult result = run(c.path, c.flags, 0x80000, 0x80300);
        EXPECT_EQ(result, c.result) << c.name;
        const std::string status = status_after_run(result, 0, problem);
        EXPECT_EQ(status.substr(0, c.status.size()), c.status) << c.name << ": " << status;
        EXPECT_EQ(unit->pagesWritten(), c.pagesWritten) << c.name;
        EXPECT_FALSE(serial_port_open()) << c.name;
        if (c.protocol == unitsim::Protocol::Native && c.vanishAfterPages < 0) {
            // The unit was connected: it is told the run is over.
            EXPECT_EQ(wire->writes.back(), (Bytes{'t', 0, 0, 0, 0, 0})) << c.name;
        }
    }
    // The silent unit was given its ten seconds, not much more.
    EXPECT_LT(wire->nowMs, 12000);
}

TEST(ProgressPercent, RoundsUp) {
    const struct {
        uint32_t total, done;
        int percent;
    } cases[] = {{3, 1, 34}, {3, 2, 67}, {3, 3, 100}, {4096, 1, 1}, {0, 0, 100}, {200, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(progress_percent(c.total, c.done), c.percent);
}

TEST(FlashBlocks, LookupAndEraseAddresses) {
    const struct {
        uint32_t address;
        std::optional<size_t> block;
    } cases[] = {{0x0F000, 0}, {0x0FFFF, 0}, {0x0EFFF, {}}, {0x10000, {}},  {0x80000, 1},
                 {0xF7FFF, 8}, {0xF8000, 9}, {0xFFFFF, 13}, {0x100000, {}}, {0x1080000, {}}};
    for (const auto& c : cases)
        EXPECT_EQ(flash_block_index(c.address), c.block) << std::hex << c.address;
    for (const auto& block : flash_blocks()) EXPECT_EQ(block.erase_address, block.last - 1);
}

}  // namespace
}  // namespace romwright::testing
