
#include "glowset/windows/factory_defaults_window.h"
#include "tests/glowset/support/window_fixture.h"

namespace glowset::testing {
namespace {

using FactoryDefaults = WindowTest;

TEST_F(FactoryDefaults, YesSendsTheResetAndTheMainWindowReadsTheSignBack) {
    hooks.openFactoryDefaultsWindow = [this] {
        Warning warning(*window);
        EXPECT_EQ(warning.windowTitle(), "Setup Factory Defaults");
        warning.Yes_Click();
    };
    bench.attachSign(1, {"XY12", "4"}).state().links = {{2, "55", 1}};
    startAndSearch();
    clock.advance(1000);
    ASSERT_EQ(textOf("Capcode0_2"), "55");
    const size_t start = mark();
    click("UploadFactoryDef");
    EXPECT_EQ(linesSince(start), std::vector<std::string>{"<FD>\r"});
    EXPECT_FALSE(control<QPushButton>("UploadAll")->isEnabled());
    clock.advance(600);
    EXPECT_EQ(bench.writes.back().bytes, "DOWNLOAD_ALL\r");
    EXPECT_EQ(textOf("Capcode0_2"), "");
    clock.advance(400);
    EXPECT_TRUE(control<QPushButton>("UploadAll")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("UploadFactoryDef")->isEnabled());
}

TEST_F(FactoryDefaults, NoSendsNothingAndAMissingPortIsReported) {
    bench.attachSign(1, {"XY12", "4"}).state().links = {{2, "55", 1}};
    startAndSearch();
    clock.advance(1000);
    const size_t start = mark();
    Warning(*window).No_Click();
    clock.advance(1000);
    EXPECT_EQ(mark(), start);
    EXPECT_EQ(textOf("Capcode0_2"), "55");

    bench.removePort(1);
    Warning(*window).Yes_Click();
    EXPECT_EQ(mark(), start);
    EXPECT_TRUE(textOf("Textout").startsWith("Factory defaults not sent: COM1:"));
    EXPECT_TRUE(control<QPushButton>("UploadAll")->isEnabled());
}

}  // namespace
}  // namespace glowset::testing
