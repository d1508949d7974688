// "Setup Default Message": reads the sign's default message, edits its text
// and display parameters, writes it back or deletes it, sets the sign's
// clock and switches its idle time display.
#pragma once

#include "glowset/windows/exchange_window.h"

#include <array>

class QComboBox;
class QListWidget;
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
    QListWidget *fontList, *ColorList, *StyleList, *AlignmentList, *SpeedList, *PauseList;
    QComboBox* TimeFormat;
    QPushButton *Upload, *Download, *SetTime, *TimeOnIdle, *InsertTime, *Exit;
    QLabel *TimeDisplayStatus, *TimeFormatLabel, *OrLabel;
    std::array<QLabel*, 9> Labels;

    // Change flags of fontList, ColorList, StyleList, AlignmentList,
    // SpeedList, PauseList and TimeFormat.
    std::array<bool, 7> changed{};
    int16_t closeCountdown = 0;

    void done(int result) override;

  private:
    void build();
    void loadFromMainWindow();
    void finishExchange(bool clockOrUpload);
    void ComClose_Timer();
    std::array<int16_t, 6> positions() const;  // font, colour, style, alignment, speed, pause
    void setMessageText(const std::string& crlfText);
    bool exchangeRunning() const;
    // The six parameter lists with their captions, in the window's order.
    std::array<std::pair<QLabel*, QListWidget*>, 6> labelledLists() const;
    // Why an upload that needs the six settings cannot be sent.
    QString missingSettingsText() const;
    bool closed_ = false;
};

}  // namespace glowset
