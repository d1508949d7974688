// A sign session's view without a window, for a console: the wanted set-up
// is held in memory and follows what the sign reports as the main window's
// controls do (a code no entry of the model's list stands for is left as it
// was), and what the session says is kept for the caller to print.
#pragma once

#include "glowset/core/session/session_view.h"

#include <string>
#include <vector>

namespace glowset {

class HeadlessView : public SessionView {
  public:
    explicit HeadlessView(int portNumber = 1) : port_(portNumber) {}

    // The set-up an upload sends; a caller changes it between exchanges.
    WindowSettings wanted;
    // Every status text, in order.
    std::vector<std::string> statuses;
    // The last settings line read, and the type it showed ("" before one).
    std::optional<SignReading> lastReading;
    // Each exchange step as it came.
    std::vector<ExchangeStep> steps;
    // Set when the search ended: whether a sign answered.
    std::optional<bool> searchFound;
    // Ports the session could not open, with their reasons.
    std::vector<std::pair<int, std::string>> unavailable;

    int selectedPort() const override { return port_; }
    WindowSettings wantedSettings() const override { return wanted; }
    LinkBoxes linkBoxes(int id) const override;
    UploadProgress uploadProgress() const override { return progress_; }
    bool showsASign() const override { return !typeText_.empty(); }

    void exchangeStep(ExchangeStep step) override { steps.push_back(step); }
    void showStatusText(const std::string& text) override { statuses.push_back(text); }
    void repeatStatus() override;
    void searchStarted() override {}
    void searching(int) override {}
    void selectPort(int portNumber) override { port_ = portNumber; }
    void searchEnded(bool found) override { searchFound = found; }
    void portUnavailable(int portNumber, const std::string& why) override;
    void invalidPort(int portNumber) override;
    void forgetSettingsFile() override {}
    void settingsRead(const SignReading& reading) override;
    void clearLink(int id) override;
    void setLinkPriority(int id, int position) override;
    void showAutomaticIds(bool automatic) override { wanted.autoId = automatic ? 1 : 0; }
    // A bar's range and value: a value outside the range is none.
    void setUploadMaximum(int maximum) override;
    void setUploadValue(int value) override;
    void showUploadProgress(bool) override {}

  private:
    int port_;
    std::string typeText_;
    UploadProgress progress_;
};

}  // namespace glowset
