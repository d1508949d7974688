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
    QPushButton *TimeOnIdle, *InsertTime, *Exit;
    QLabel *MessageLabel, *TimeDisplayStatus, *TimeFormatLabel, *OrLabel;

    void done(int result) override;

  protected:
    void messageReply(const MessageReply& reply) override;
    void messageLinesSent() override;
    void messageExchangeEnded() override;

  private:
    // What the window shows once an exchange's lines are out.
    enum class Finish { Nothing, Reading, Writing, WritingWithReset };
    void build();
    void loadFromMainWindow();
    DefaultMessageParams chosenParams() const;
    void setMessageText(const std::string& crlfText);
    void alignMessageText();
    // Why an upload that needs the six settings cannot be sent.
    QString missingSettingsText() const;

    std::unique_ptr<ParameterPanel> parameters_;
    // A list or the time format was chosen since the window opened.
    bool parametersChanged_ = false;
    Finish finish_ = Finish::Nothing;
    // The read at opening: what it chooses in the lists is no change.
    bool startUpRead_ = false;
    bool closed_ = false;
};

}  // namespace glowset
