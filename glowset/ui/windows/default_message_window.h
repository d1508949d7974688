// "Setup Default Message": reads the sign's default message, edits its text
// and display parameters, writes it back or deletes it, sets the sign's
// clock and switches its idle time display.
#pragma once

#include "glowset/core/protocol/commands.h"
#include "glowset/ui/windows/exchange_window.h"
#include "glowset/ui/windows/parameter_panel.h"

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace glowset {

class GlowsetDefaultMessage : public ExchangeWindow {
  public:
    GlowsetDefaultMessage(Platform& platform, GlowsetMain& main, QWidget* parent = nullptr);

    void FillListsForModel(const std::string& model);
    void HandleReply(const std::string& line) override;
    void Sleep(int count);

    void Upload_Click();
    void Download_Click();
    void SetTime_Click();
    void TimeOnIdle_Click();
    void InsertTime_Click();
    void Exit_Click();

    // The message box text with CR LF line breaks, as the sign's forms expect.
    std::string messageText() const;
    bool idleDisplayOn() const;

    QTextEdit* defaultMessage;
    QLineEdit* Test;
    QComboBox* TimeFormat;
    QPushButton *Upload, *Download, *SetTime, *TimeOnIdle, *InsertTime, *Exit;
    QLabel *MessageLabel, *TimeDisplayStatus, *TimeFormatLabel, *OrLabel;

    int16_t closeCountdown = 0;

    void done(int result) override;

  private:
    void build();
    void loadFromMainWindow();
    void finishExchange(bool clockOrUpload);
    void ComClose_Timer();
    DefaultMessageParams chosenParams() const;
    void setMessageText(const std::string& crlfText);
    void alignMessageText();
    bool exchangeRunning() const;
    // Why an upload that needs the six settings cannot be sent.
    QString missingSettingsText() const;

    std::unique_ptr<ParameterPanel> parameters_;
    // A list or the time format was chosen since the window opened.
    bool parametersChanged_ = false;
    bool closed_ = false;
};

}  // namespace glowset
