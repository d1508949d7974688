// Every control that takes input in every window has a name a screen reader
// can speak.
#include "glowset/update/new_version_window.h"
#include "glowset/windows/default_message_window.h"
#include "glowset/windows/factory_defaults_window.h"
#include "glowset/windows/test_message_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/accessible_names.h"

namespace glowset::testing {
namespace {

class Accessibility : public WindowTest {};

TEST_F(Accessibility, EveryInputControlHasAName) {
    startAndSearch();
    const std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> windows = [&] {
        std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> made;
        made.emplace_back("default message",
                          std::make_unique<GlowsetDefaultMessage>(platform, *window));
        made.emplace_back("test message", std::make_unique<LEDTestMessage>(platform, *window));
        made.emplace_back("factory defaults", std::make_unique<Warning>(*window));
        made.emplace_back("new version", std::make_unique<LEDNewVersionDownload>(platform, *window));
        made.emplace_back("about", std::make_unique<LEDSignHelp>(kMainCaption));
        return made;
    }();
    EXPECT_EQ(testsupport::unnamedControls(window.get()), std::vector<std::string>{}) << "main";
    for (const auto& [name, w] : windows) {
        EXPECT_EQ(testsupport::unnamedControls(w.get()), std::vector<std::string>{}) << name;
    }
}

}  // namespace
}  // namespace glowset::testing
