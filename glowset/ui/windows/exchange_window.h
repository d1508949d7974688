// What the default-message and test-message windows share: their own serial
// port opened on the main window's selected port for each exchange, the
// reply line assembly, the status line (Ack) cleared after 5 s, the progress
// bar of an exchange and the PC clock display.
#pragma once

#include "glowset/core/protocol/line_assembler.h"
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

class ExchangeWindow : public QDialog {
  public:
    ExchangeWindow(Platform& platform, GlowsetMain& main, QWidget* parent);
    ~ExchangeWindow() override;

    // Shows a status text and restarts the 5 s until it is cleared.
    void showAck(const QString& text);
    // The sign answered "error": it did not take what was sent.
    void showSignRefused();
    // The lines the sign sends, without their LF.
    virtual void HandleReply(const std::string& line) = 0;

    std::unique_ptr<SerialPort> MSComm1;
    std::unique_ptr<Timer> ClockUpdate, RemoveAck, ProgressTimer, ComClose;
    QLabel *Ack, *DateTime;
    QProgressBar* Progress;
    // The PC's local time; tests set a fixed one.
    std::function<QDateTime()> currentTime;

  protected:
    // Opens the window's port on the main window's selected port. When that
    // fails the reason goes to Ack and false comes back: nothing is sent.
    bool openPort();
    // Sends bytes on the open port.
    void send(const std::string& bytes);
    // The progress bar of an exchange: from 0, 25 every 10 ms, hidden at 500.
    void startProgress();
    // The clock command for this moment, terminated.
    std::string clockCommandNow() const;
    // Closes the window's port, if open, and drops what it had received.
    void closePort();
    // Controls of both windows: a named caption, and a named button that
    // Enter does not press.
    QLabel* makeLabel(const char* name, const char* caption);
    QPushButton* makeButton(const char* name, const char* caption);

    Platform& platform_;
    GlowsetMain& main_;

  private:
    void receive();
    void updateDateTime();
    LineAssembler lines_;
};

}  // namespace glowset
