// Every input control in every window has a name a screen reader can speak.

#include "glowset/update/new_version_window.h"
#include "glowset/windows/default_message_window.h"
#include "glowset/windows/factory_defaults_window.h"
#include "glowset/windows/test_message_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/accessible_names.h"
#include "tests/support/clipped_captions.h"

namespace glowset::testing {
namespace {

class Accessibility : public WindowTest {};

TEST_F(Accessibility, EveryInputControlHasANameAndEveryCaptionFits) {
    // A stock desktop's font is larger than Qt's own default.
    const QFont before = QApplication::font();
    QApplication::setFont(QFont("DejaVu Sans", 11));
    bench.attachSign(3, {"XY12", "4"});  // its set-up fills the lists
    startAndSearch();
    const std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> windows = [&] {
        std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> made;
        made.emplace_back("default message",
                          std::make_unique<GlowsetDefaultMessage>(platform, *window));
        made.emplace_back("test message", std::make_unique<LEDTestMessage>(platform, *window));
        made.emplace_back("factory defaults", std::make_unique<Warning>(*window));
        made.emplace_back("new version",
                          std::make_unique<LEDNewVersionDownload>(platform, *window));
        made.emplace_back("about", std::make_unique<LEDSignHelp>(kMainCaption));
        return made;
    }();
    window->show();
    EXPECT_EQ(testsupport::unnamedControls(window.get()), std::vector<std::string>{}) << "main";
    EXPECT_EQ(testsupport::clippedCaptions(window.get()), std::vector<std::string>{}) << "main";
    for (const auto& [name, w] : windows) {
        w->show();
        EXPECT_EQ(testsupport::unnamedControls(w.get()), std::vector<std::string>{}) << name;
        EXPECT_EQ(testsupport::clippedCaptions(w.get()), std::vector<std::string>{}) << name;
    }
    QApplication::setFont(before);
}

}  // namespace
}  // namespace glowset::testing
