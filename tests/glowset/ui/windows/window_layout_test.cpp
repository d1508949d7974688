// Every window at an 11-point desktop font, for each sign model: no layout faults.

#include "tests/support/window_layout.h"

#include "glowset/ui/update/new_version_window.h"
#include "glowset/ui/windows/default_message_window.h"
#include "glowset/ui/windows/factory_defaults_window.h"
#include "glowset/ui/windows/test_message_window.h"
#include "tests/glowset/support/window_fixture.h"

namespace glowset::testing {
namespace {

using Strings = std::vector<std::string>;

class WindowLayout : public WindowTest {
  protected:
    void SetUp() override {
        before_ = QApplication::font();
        QApplication::setFont(
            QFont(testsupport::kDesktopFontFamily, testsupport::kDesktopFontPoints));
        ASSERT_EQ(QFontInfo(QApplication::font()).family(), testsupport::kDesktopFontFamily)
            << "the layout is checked at this font: scripts/setup installs it";
    }
    void TearDown() override { QApplication::setFont(before_); }

    static Strings faults(QWidget& w, const std::vector<QString>& mayLieOutside = {}) {
        w.show();
        return testsupport::layoutFaults(w, mayLieOutside);
    }

  private:
    QFont before_;
};

// The short main window hides the priority table below its edge on purpose:
// a click on ShowPriority makes the window tall enough for it.
std::vector<QString> priorityTable() {
    std::vector<QString> names = {"FontHeader",  "StyleHeader", "ColorHeader", "SpeedHeader",
                                  "AlignHeader", "PauseHeader", "BeepHeader",  "TimeoutHeader"};
    for (int p = 0; p < kPriorityCount; ++p) {
        for (const char* column : {"Label", "FontP", "StyleP", "ColorP", "SpeedP", "AlignmentP",
                                   "PauseP", "BeepP", "TimeoutP"}) {
            names.push_back(column + QString::number(p));
        }
    }
    return names;
}

// The models differ in their lists' widths and in the controls they hide.
TEST_F(WindowLayout, EveryWindowOfEveryModelFitsAtADesktopFont) {
    for (const char* model : {"XY12", "KL404", "RV2210", "TB330"}) {
        SCOPED_TRACE(model);
        GlowsetMain& main = withSign(model);
        ASSERT_FALSE(control("HidePriority")->isHidden()) << "a read sign shows its priorities";
        EXPECT_EQ(faults(main), Strings{}) << "tall";
        click("HidePriority");
        EXPECT_EQ(faults(main, priorityTable()), Strings{}) << "short";
        GlowsetDefaultMessage defaultMessage(platform, main);
        EXPECT_EQ(faults(defaultMessage), Strings{}) << "default message";
        LEDTestMessage testMessage(platform, main);
        EXPECT_EQ(faults(testMessage), Strings{}) << "test message";
    }
    EXPECT_EQ(faults(*std::make_unique<Warning>(*window)), Strings{}) << "factory defaults";
    EXPECT_EQ(faults(*std::make_unique<LEDNewVersionDownload>(platform, *window)), Strings{});
    EXPECT_EQ(faults(*std::make_unique<LEDSignHelp>(kMainCaption)), Strings{}) << "about";
}

}  // namespace
}  // namespace glowset::testing
