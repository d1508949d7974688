// The sign session with no window at all: its exchanges on the wire and in the set-up
// it decodes, and two sessions in one process each keeping a lone session's timing.
#include "glowset/core/session/sign_session.h"

#include "glowset/core/session/headless_view.h"
#include "tests/glowset/support/simulated_serial_port.h"

#include <gtest/gtest.h>

#include <set>

namespace glowset::testing {
namespace {

// What a session wrote on its ports, each line with its time from `start`.
using Timeline = std::vector<std::pair<long long, std::string>>;
Timeline timeline(const SimulatedBench& bench, const std::set<int>& ports, long long start) {
    Timeline lines;
    for (const auto& w : bench.writes) {
        if (ports.count(w.port)) lines.emplace_back(w.time - start, w.bytes);
    }
    return lines;
}

class Session : public ::testing::Test {
  protected:
    VirtualClock clock;
    SimulatedBench bench{clock};
};

TEST_F(Session, SearchDownloadUploadAndResetWithoutAWindow) {
    signsim::Sign& sign = bench.attachSign(3, {"XY12", "4"});
    sign.state().priorities[1] = {.font = 2, .style = 1, .colour = 4, .timeoutSeconds = 30};
    sign.state().links = {{2, "1234", 1}};
    HeadlessView view;
    SignSession session(
        clock, [&] { return bench.makePort(); }, view);
    session.searchSoon();
    ASSERT_TRUE(clock.runUntil([&] { return !session.searching(); }, 60000));
    EXPECT_EQ(bench.portsWritten(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(std::pair(view.searchFound, view.selectedPort()), std::pair(std::optional(true), 3));
    EXPECT_EQ(session.model(), "XY12");
    const auto& codes = view.wanted.priorities[1].codes;  // font, style, colour, ...
    EXPECT_EQ(std::vector<int>(codes.begin(), codes.begin() + 3), (std::vector<int>{2, 1, 4}));
    EXPECT_EQ(view.wanted.priorities[1].timeoutText, "30");
    EXPECT_EQ(std::pair(view.wanted.capcodes[2], view.wanted.linkPriorities[2]),
              std::pair(std::string("1234"), int16_t{1}));
    EXPECT_EQ(session.getChangedRows(), 0);  // what was read is what the sign holds

    // One changed colour: one record, 500 ms after the start, and the sign takes it.
    clock.advance(2000);
    view.wanted.priorities[1].codes[kColour] = 6;
    const long long t0 = clock.nowMilliseconds();
    const size_t before = bench.writes.size();
    session.upload();
    clock.advance(3000);
    ASSERT_EQ(bench.writes.size(), before + 1);
    EXPECT_EQ(bench.writes.back().time - t0, 500);
    EXPECT_EQ(sign.state().priorities[1].colour, 6);

    // A factory reset, read back 500 ms later into the set-up.
    ASSERT_EQ(session.startFactoryReset(), std::nullopt);
    const long long reset = clock.nowMilliseconds();
    clock.advance(2000);
    const Timeline sent = timeline(bench, {3}, reset);
    EXPECT_EQ(Timeline(sent.end() - 2, sent.end()),
              (Timeline{{0, "<FD>\r"}, {500, "DOWNLOAD_ALL\r"}}));
    EXPECT_EQ(view.wanted.priorities[1].codes[kColour], sign.state().priorities[1].colour);
    EXPECT_EQ(view.wanted.capcodes[2], "");  // the reset sign links nothing
    EXPECT_EQ(session.getChangedRows(), 0);
}

// A session searching COM1 to COM3 and uploading a link, and one reading and uploading
// on COM5, started 130 ms apart on one clock: each sends what it sends alone, when alone.
TEST_F(Session, TwoSessionsAtOnceEachKeepALoneSessionsTiming) {
    struct Run {
        int signPort;
        bool search;
        long long startAt;
    };
    const Run runs[] = {{3, true, 0}, {5, false, 130}};
    const auto play = [](const std::vector<Run>& together) {
        VirtualClock clock;
        SimulatedBench bench{clock};
        std::vector<std::unique_ptr<HeadlessView>> views;
        std::vector<std::unique_ptr<SignSession>> sessions;
        for (const Run& run : together) {
            bench.attachSign(run.signPort, {"XY12", "4"});
            views.push_back(std::make_unique<HeadlessView>(run.signPort));
            sessions.push_back(std::make_unique<SignSession>(
                clock, [&] { return bench.makePort(); }, *views.back()));
            HeadlessView& view = *views.back();
            SignSession& session = *sessions.back();
            clock.post(run.startAt, [&, search = run.search] {
                if (search) {
                    view.selectPort(1);
                    session.searchSoon();
                } else {
                    session.download();
                }
            });
            clock.post(run.startAt + 2500, [&view, &session] {
                view.wanted.capcodes[4] = "4711";  // a link: two lines 150 ms apart
                view.wanted.priorities[0].codes[kFont] = 1;
                session.upload();
            });
        }
        clock.advance(6000);
        std::vector<Timeline> lines;
        for (const Run& run : together) {
            const std::set<int> ports = run.search ? std::set{1, 2, 3} : std::set{run.signPort};
            lines.push_back(timeline(bench, ports, run.startAt));
        }
        return lines;
    };
    const std::vector<Timeline> together = play({runs[0], runs[1]});
    for (int i = 0; i < 2; ++i) {
        const Timeline alone = play({runs[i]})[0];
        ASSERT_GE(alone.size(), 4u) << i;  // the reads, the record and both link lines
        EXPECT_EQ(alone.end()[-1].first - alone.end()[-2].first, 150) << i;
        EXPECT_EQ(together[i], alone) << i;
    }
}

}  // namespace
}  // namespace glowset::testing
