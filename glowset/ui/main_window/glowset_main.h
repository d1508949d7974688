// The main window: finds the sign, shows and edits its whole set-up,
// uploads changes, keeps set-ups in settings files.
#pragma once

#include "common/widgets/port_list_box.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/line_assembler.h"
#include "glowset/core/protocol/settings_line.h"
#include "glowset/core/session/sign_copy.h"
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
// A settings line can take this long on the line at 9600 baud (about 960
// characters, twice the longest a sign sends): the search and the close
// after a download wait this long at most for a line already arriving.
inline constexpr int kLongestLineMs = 1000;

class GlowsetMain : public QMainWindow {
  public:
    explicit GlowsetMain(Platform& platform, MainWindowHooks hooks = {}, QWidget* parent = nullptr);
    ~GlowsetMain() override;

    // ---- operations other windows use ----
    void Sleep(int count);
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
    void MSComm2_OnComm();

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

    // The port search's timer: a window made for other work switches it off.
    std::unique_ptr<Timer> SearchPort;

    // Converts twips (1/1440 inch) to pixels of this screen.
    int tw(int twips) const;
    // Priority p's seven lists in settings-line order (PriorityField).
    std::array<QComboBox*, kPriorityListCount> priorityLists(int p) const;
    // Reads the controls as the change detection sees them.
    WindowSettings readControls() const;
    // The window is closing: every wait ends.
    bool isClosing() const { return closing_; }
    // Sends the factory reset on the selected port and leaves the read-back
    // to FactoryDef; the reason when it cannot (nothing is sent then).
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
    std::optional<OpenError> openSelectedPort();
    void send(const std::string& line);
    bool selectPosition(QComboBox* list, int position);
    void SearchPort_Timer();
    void DataTimeout_Timer();
    void ComClose_Timer();
    void UploadTimer_Timer();
    void FactoryDef_Timer();
    void TextClear_Timer();
    void applySettingsLine(const std::string& line);
    void reportOpenFailure(const OpenError& error);
    // The exchanges of this window. A download is over once its request is
    // sent (its close only waits for the reply); the others hold the port
    // until they end.
    enum class Exchange { None, Search, Download, Upload, IdSwitch, FactoryReset };
    // True, after saying so on the status line, when an exchange holds the
    // port: a control that would start another does nothing then.
    bool refuseWhileBusy();
    // Ends a download whose close is still pending and gives its button
    // back: a message window opens the port itself.
    void handPortToMessageWindow();
    void startDownload();
    void endExchange();
    // The port failed during an exchange (a write, the device removed).
    void portFault(const std::string& what);
    // False, after a message naming them, when a text box holds characters
    // the sign cannot show.
    bool textBoxesFitTheSign();

    Platform& platform_;
    const MainWindowHooks hooks_;
    // The link and its state: reached only through the operations above.
    std::unique_ptr<SerialPort> MSComm2;
    std::unique_ptr<Timer> DataTimeout, FactoryDef, TextClear, UploadTimer, ComClose;
    int16_t lineTimeoutCount = 0;
    SignCopy signCopy;
    ChangeFlags flags;
    std::array<std::string, 7> uploadCommands;
    std::string linkClearCommand, linkSetCommand;
    LinkEntries linkEntries;
    LineAssembler lines_;
    Exchange exchange_ = Exchange::None;
    ChangeFlags sentThisUpload_;  // what the running upload has sent so far
    int closeDelays_ = 0;         // ComClose ticks spent waiting for a line's end
    // The port of a Download from Sign still waiting for its settings line
    // (0: none): its close says when no answer came.
    int awaitedAnswerPort_ = 0;
    bool closing_ = false;
    double pixelsPerTwip_ = 1.0 / 15;
};

}  // namespace glowset
