// What the default-message and test-message windows share: their exchanges,
// which the sign session runs on the main window's selected port and whose
// decoded replies it hands back, the status line (Ack) cleared after 5 s,
// the progress bar of an exchange and the PC clock display.
#pragma once

#include "glowset/core/session/sign_session.h"
#include "glowset/ui/platform/platform.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace glowset {

class GlowsetMain;

class ExchangeWindow : public QDialog, protected MessageListener {
  public:
    ExchangeWindow(Platform& platform, GlowsetMain& main, MessageWindow kind, QWidget* parent);
    ~ExchangeWindow() override;

    // Shows a status text and restarts the 5 s until it is cleared.
    void showAck(const QString& text);
    // The sign answered "error": it did not take what was sent.
    void showSignRefused();
    // A line the sign sends, without its LF, as this window reads it.
    void HandleReply(const std::string& line);

    std::unique_ptr<Timer> ClockUpdate, RemoveAck, ProgressTimer;
    // The buttons both windows have; each window makes them.
    QPushButton *Upload = nullptr, *Download = nullptr, *SetTime = nullptr;
    QLabel *Ack, *DateTime;
    QProgressBar* Progress;
    // The PC's local time; tests set a fixed one.
    std::function<QDateTime()> currentTime;

  protected:
    // Starts an exchange on the main window's selected port. When the port
    // cannot be opened the reason goes to Ack and false comes back: nothing
    // is sent.
    bool startExchange(std::vector<std::pair<int, std::string>> lines, int holdMs);
    // An exchange of this window holds the port.
    bool exchangeRunning() const;
    // The progress bar of an exchange: from 0, 25 every 10 ms, hidden at 500.
    void startProgress();
    // While an exchange's replies are awaited: both buttons held, the one that
    // started it saying "Reading..." or "Writing...", the bar running.
    void showExchangeRunning(bool writing);
    // After it: captions back (Upload's is the window's own), buttons given back.
    void showExchangeEnded(const QString& uploadCaption);
    // The clock command for this moment, terminated.
    std::string clockCommandNow() const;
    // Ends a running exchange at once: the port closes, replies are dropped.
    void closePort();
    // Controls of both windows: a named caption, and a named button that
    // Enter does not press.
    QLabel* makeLabel(const char* name, const char* caption);
    QPushButton* makeButton(const char* name, const char* caption);

    Platform& platform_;
    GlowsetMain& main_;

  private:
    void updateDateTime();
    SignSession& session_;
    const MessageWindow kind_;
};

}  // namespace glowset
