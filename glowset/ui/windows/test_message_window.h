// "Send Test Message": a one-off message with its id, display parameters,
// beep and time-out, typed in an editor that previews each sign font and
// colour so both can change inside the text.
#pragma once

#include "glowset/core/text/inline_codes.h"
#include "glowset/ui/windows/exchange_window.h"
#include "glowset/ui/windows/parameter_panel.h"

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextCharFormat;
class QTextEdit;

namespace glowset {

class LEDTestMessage : public ExchangeWindow {
  public:
    LEDTestMessage(Platform& platform, GlowsetMain& main, QWidget* parent = nullptr);

    void FillListsForModel(const std::string& model);
    // Builds the command from the editor and the lists, shows it in Test and
    // returns it (without terminator).
    std::string BuildTestCommand();

    void Upload_Click();
    void Download_Click();
    void SetTime_Click();
    void Test_DblClick();
    void InsertTime_Click();
    void ColorLabel_DblClick();  // toggles whole-text and selection mode
    void MsgPri_Click();
    void SaveSettings_Click();

    // The editor's characters with their formats, in order; a paragraph
    // break is a '\n' in the format of the character before it.
    std::vector<FormattedChar> formattedText() const;
    // The editor attribute used for each mark: underline shows the shade
    // mark, italic the colour-shade mark.
    static void applyFontPreview(QTextCharFormat& format, int fontPosition);

    QTextEdit* ColorTextBox;
    QLineEdit *Test, *Timeout;
    QPlainTextEdit* defaultMessage;
    QComboBox *MsgID, *MsgPri, *TimeFormat;
    QCheckBox* SaveSettings;
    QPushButton *InsertTime, *Exit;
    QLabel *TimeFormatLabel, *CommandLabel;
    bool selectionMode = false;  // false: a font or colour applies to the whole text

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void messageReply(const MessageReply& reply) override;
    void messageLinesSent() override {}
    void messageExchangeEnded() override;

  private:
    void build();
    void parameterChosen(Parameter);
    // With "Save changes to Priority" ticked, what the operator chooses
    // becomes the chosen priority's setting in the main window.
    void copyToMainWindow(Parameter);
    void copyTimeoutToMainWindow();
    void applyToEditor(const std::function<void(QTextCharFormat&)>& change);
    // Sends one command; the port waits 500 ms for replies.
    void sendCommand(const std::string& bytes, bool reading);
    // False, after a message saying which, when the editor holds characters
    // the sign cannot show.
    bool textFitsTheSign();
    std::unique_ptr<ParameterPanel> parameters_;
    bool building_ = false;
    bool closed_ = false;
};

}  // namespace glowset
