// The main window: finds the sign, shows and edits its whole set-up,
// uploads changes, keeps set-ups in settings files.
#pragma once

#include "common/widgets/port_list_box.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/session/session_view.h"
#include "glowset/core/session/sign_session.h"
#include "glowset/ui/main_window/main_window_hooks.h"
#include "glowset/ui/platform/platform.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace glowset {

inline constexpr const char* kMainCaption = "Marquelle ver 4.72";
inline constexpr int kTallHeightTwips = 9700;
inline constexpr int kShortHeightTwips = 5750;

// The window shows one sign session and calls it: every exchange with the
// sign is the session's; the window is its view.
class GlowsetMain : public QMainWindow, private SessionView {
  public:
    explicit GlowsetMain(Platform& platform, MainWindowHooks hooks = {}, QWidget* parent = nullptr);
    ~GlowsetMain() override;

    // ---- operations other windows use ----
    void SaveDefaultMsg(const std::string& message, int16_t font, int16_t colour, int16_t style,
                        int16_t alignment, int16_t speed, int16_t pause);
    bool IsDefMsgEmpty() const { return configFileName.isEmpty(); }
    std::string getDefaultMsg() const;
    void DeleteConfigFileName() { configFileName.clear(); }
    int16_t getSaveSettingsTick() const { return saveSettingsTick; }
    void setSaveSettingsTick(int16_t tick) { saveSettingsTick = tick; }
    // Writes text + CR LF. With overwrite the old file is replaced only once
    // the new one is completely written; otherwise the text is appended.
    bool SaveTextToFile(const QString& path, const std::string& text, bool overwrite);

    // ---- what other windows see of this one ----
    // The port number chosen in the port list (position + 1).
    int selectedPortNumber() const;
    // Priority p's list positions in settings-line order (PriorityField) and
    // its time-out text; setting a position selects it, -1 selects nothing.
    int priorityCode(int p, int field) const;
    void setPriorityCode(int p, int field, int position);
    QString priorityTimeout(int p) const;
    void setPriorityTimeout(int p, const QString& text);
    // The tool tip of the default-message button, which shows the message.
    // The Setup Default Message button's tip: the stored message and its codes.
    void showDefaultMessageToolTip();
    // The sign's type and build number as the window shows them.
    QString signTypeText() const;
    QString buildNumberText() const;
    // The Help menu's switch for the version check at start-up.
    bool checksVersionAtStartUp() const;

    // ---- handlers ----
    void DownloadAll_Click();
    void UploadAll_Click();
    void ForceUpload_Click();
    void UploadFactoryDef_Click();
    void AutoID_MouseDown();
    void SetupDefaultMsg_Click();
    void SendTestMsg_Click();
    void ShowPriority_Click();
    void HidePriority_Click();
    void ForceOnID0_Click();
    void signSaveAs_Click();
    void signOpenFile_Click();
    void HandleSignReply(const std::string& line);
    bool LoadSettingsFile(const QString& path);
    void LoadModelOptions(const std::string& model);
    int getChangedRows();

    // ---- version check ----
    std::string WebSite;
    std::string WebFileName;
    double WebVersion = 0;
    double CurrentVersion = 0;
    bool webPageBusy = false;

    // ---- state ----
    QString configFileName;
    std::string DefMsg;
    int16_t DefFont = 0, DefColor = 0, DefStyle = 0, DefAlign = 0, DefSpeed = 0, DefPause = 0;
    int16_t saveSettingsTick = 1;
    std::string LEDSignModelNumber;

    // The session this window shows; a window made for other work switches
    // its port search off.
    SignSession& session() { return *session_; }

    // Converts twips (1/1440 inch) to pixels of this screen.
    int tw(int twips) const;
    // Priority p's seven lists in settings-line order (PriorityField).
    std::array<QComboBox*, kPriorityListCount> priorityLists(int p) const;
    // Reads the controls as the change detection sees them.
    WindowSettings readControls() const;
    // The window is closing: every wait ends.
    bool isClosing() const { return closing_; }
    // Sends the factory reset on the selected port and leaves the read-back
    // to the session; the reason when it cannot (nothing is sent then).
    std::optional<std::string> startFactoryReset();
    // Shows a status message, cleared 5 s later.
    void showStatus(const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // ---- controls ----
    QGroupBox* C;
    widgets::PortListBox* ComportsList;
    QPushButton *DownloadAll, *UploadAll, *ForceUpload, *UploadFactoryDef, *SetupDefaultMsg,
        *SendTestMsg;
    QCheckBox *AutoID, *ForceOnID0;
    QLineEdit* usercmd1;
    QLabel *Label24, *Label23, *LEDSignModel, *FCountLabel, *FCount, *Textout, *TestLabel,
        *VersionCheckLabel, *Image1;
    std::array<QComboBox*, 5> FontP, StyleP, ColorP, SpeedP, AlignmentP, PauseP, BeepP;
    std::array<QLineEdit*, 5> TimeoutP;
    std::array<QLabel*, 5> PriorityLabels;
    std::array<QLineEdit*, 8> Capcode0;
    std::array<QComboBox*, 8> Pri0;
    std::array<QLabel*, 8> LabelID;
    QLabel *FontHeader, *StyleHeader, *ColorHeader, *SpeedHeader, *AlignHeader, *PauseHeader,
        *BeepHeader, *TimeoutHeader, *CapcodeHeader, *LinkPriorityHeader;
    QProgressBar* ProgressUploadAll;
    QToolButton *ShowPriority, *HidePriority;
    QAction *signOpenFile, *signSaveAs, *signExit, *signUpgrade, *signAbout, *checkAtStartUp;

    void buildControls();
    void drawMakerPicture();
    void buildMenus();
    void nameControlsForScreenReaders();
    void fitColumns();
    void fillStartUpLists();
    void fillOptionLists(const struct OptionSet& set);
    void layoutOptionLists(const struct OptionSet& set);
    void wireHandlers();
    bool selectPosition(QComboBox* list, int position);
    void TextClear_Timer();
    // False, after a message naming them, when a text box holds characters
    // the sign cannot show.
    bool textBoxesFitTheSign();

    // ---- the session's view of this window ----
    int selectedPort() const override;
    WindowSettings wantedSettings() const override { return readControls(); }
    LinkBoxes linkBoxes(int id) const override;
    UploadProgress uploadProgress() const override;
    bool showsASign() const override;
    void exchangeStep(ExchangeStep step) override;
    void showStatusText(const std::string& text) override;
    void repeatStatus() override;
    void searchStarted() override;
    void searching(int portNumber) override;
    void selectPort(int portNumber) override;
    void searchEnded(bool found) override;
    void portUnavailable(int portNumber, const std::string& why) override;
    void invalidPort(int portNumber) override;
    void forgetSettingsFile() override { configFileName.clear(); }
    void settingsRead(const SignReading& reading) override;
    void clearLink(int id) override;
    void setLinkPriority(int id, int position) override;
    void showAutomaticIds(bool automatic) override;
    void setUploadMaximum(int maximum) override;
    void setUploadValue(int value) override;
    void showUploadProgress(bool shown) override;

    Platform& platform_;
    const MainWindowHooks hooks_;
    std::unique_ptr<Timer> TextClear;
    std::unique_ptr<SignSession> session_;
    bool closing_ = false;
    double pixelsPerTwip_ = 1.0 / 15;
};

}  // namespace glowset
