// One sign on one serial port: the port search, the download of the whole
// set-up, the replies, the paced upload of what changed, the id switch and
// the factory reset. The session owns the port (one exchange at a time),
// keeps the copy of what the sign holds, and reports through a SessionView;
// a window or a console shows it and calls it.
//
// Multi-step exchanges run as timer steps on the clock, never as waits
// nested in each other, so that several sessions in one process each keep
// their own timing.
#pragma once

#include "glowset/core/platform/clock.h"
#include "glowset/core/platform/serial_port.h"
#include "glowset/core/protocol/line_assembler.h"
#include "glowset/core/protocol/message_replies.h"
#include "glowset/core/protocol/settings_line.h"
#include "glowset/core/session/session_view.h"
#include "glowset/core/session/sign_copy.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace glowset {

// A settings line can take this long on the line at 9600 baud (about 960
// characters, twice the longest a sign sends): the search and the close
// after a download wait this long at most for a line already arriving.
inline constexpr int kLongestLineMs = 1000;

// What the status line says when the search found no sign.
std::string noSignAnsweredText();

// A message window's exchange: its lines, each sent a time after the one
// before, and how long the port then waits for replies before it closes.
struct MessageExchange {
    MessageWindow window;
    std::vector<std::pair<int, std::string>> lines;  // milliseconds after the line before, bytes
    // 0: the port closes as soon as the last line is out, and nothing more
    // is heard.
    int holdMs = 0;
};

// What a message window hears of its exchange.
class MessageListener {
  public:
    virtual ~MessageListener() = default;
    virtual void messageReply(const MessageReply& reply) = 0;
    // The last line is out; the port waits for replies.
    virtual void messageLinesSent() = 0;
    // The wait is over and the port closed.
    virtual void messageExchangeEnded() = 0;
    // The port failed during the exchange (a server gone, a device pulled);
    // the exchange ends right after.
    virtual void messagePortFault(const std::string& what) { (void)what; }
};

class SignSession {
  public:
    // The session's ports come from `makePort`: one for the main window's
    // exchanges, one for the message windows'.
    SignSession(Clock& clock, const std::function<std::unique_ptr<SerialPort>()>& makePort,
                SessionView& view);
    ~SignSession();
    SignSession(const SignSession&) = delete;
    SignSession& operator=(const SignSession&) = delete;

    // ---- exchanges; each says on the status line why it does not start ----
    // Starts the port search 400 ms from now.
    void searchSoon();
    // Asks the selected port for the sign's whole set-up.
    void download();
    // Sends what differs from the copy, paced: a record, the id mode, the
    // user command or a link every 500 ms.
    void upload();
    // Marks everything for the next upload (Force Upload).
    void markAllChanged();
    // Ends a running upload once the item on its way is out (a link's set
    // line included); what was not sent stays marked.
    void stopUploadAfterItem();
    // What the running (or last) upload has sent.
    const ChangeFlags& sentThisUpload() const { return sentThisUpload_; }
    // Switches between automatic and user ids at once.
    void switchIdMode();
    // Sends the factory reset and reads the sign back 500 ms later; the
    // reason when it cannot (nothing is sent then).
    std::optional<std::string> startFactoryReset();
    // Ends a download whose close is still pending: a message window opens
    // the port itself.
    void handOverPort();
    // True, after saying so on the status line, when an exchange holds the
    // port: a control that would start another does nothing then.
    bool refuseWhileBusy();
    // The program is closing: every exchange and timer stops, the port closes.
    void stop();

    // ---- what the sign said, and what is marked for the next upload ----
    void HandleSignReply(const std::string& line);
    // Compares the wanted set-up with the copy and marks each difference;
    // 0 exactly when an upload has nothing to send.
    int getChangedRows();
    void markPriorityChanged(int priority);
    // What is marked for the next upload.
    const ChangeFlags& marked() const { return flags_; }
    // The model the last settings line named ("" before one, or for an old sign).
    const std::string& model() const { return model_; }
    // The port search is due or running.
    bool searching() const { return SearchPort->enabled() || searchStep_.timer->enabled(); }

    // ---- the message windows' exchanges, on a port of their own ----
    // Opens the selected port and sends the lines; the reason, in words,
    // when it cannot be opened (nothing is sent then).
    std::optional<std::string> startMessageExchange(MessageExchange exchange,
                                                    MessageListener& listener);
    bool messageExchangeRunning() const { return MSComm1->isOpen(); }
    // Ends it now (its window closes): the port closes, nothing more is heard.
    void endMessageExchange();

    // The ports and timers, for a test that switches the search off or
    // looks at the line.
    std::unique_ptr<SerialPort> MSComm2, MSComm1;
    std::unique_ptr<Timer> SearchPort, DataTimeout, FactoryDef, UploadTimer, ComClose;

  private:
    enum class Exchange { None, Search, Download, Upload, IdSwitch, FactoryReset };

    std::optional<OpenError> openSelectedPort();
    void send(const std::string& line);
    void startDownload();
    void endExchange();
    void portFault(const std::string& what);
    void reportOpenFailure(const OpenError& error);
    void MSComm2_OnComm();
    void DataTimeout_Timer();
    void ComClose_Timer();
    void UploadTimer_Timer();
    void FactoryDef_Timer();
    void applySettingsLine(const std::string& line);
    // The search, one port after the other, each step a timer tick.
    void searchPort(int index);
    void awaitLineEnd(int index, int waited);
    void leavePort(int index);
    void endSearch();
    // A step of an exchange that runs once, on its own timer.
    struct Step {
        std::unique_ptr<Timer> timer;
        std::function<void()> next;
    };
    void makeStep(Clock& clock, Step& step);
    // Runs `next` once, `milliseconds` from now, instead of what was due.
    static void after(Step& step, int milliseconds, std::function<void()> next);
    void sendLink(int id);
    void endUpload();
    void sendMessageLine(size_t index);
    void receiveMessageReply();

    SessionView& view_;
    Step searchStep_, linkGap_, idSwitchEnd_, messageStep_;
    int16_t lineTimeoutCount_ = 0;
    SignCopy signCopy_;
    ChangeFlags flags_;
    std::array<std::string, 7> uploadCommands_;
    LinkEntries linkEntries_;
    LineAssembler lines_;
    Exchange exchange_ = Exchange::None;
    ChangeFlags sentThisUpload_;  // what the running upload has sent so far
    bool stopAfterLink_ = false;  // the upload ends once the link on its way is out
    int closeDelays_ = 0;         // ComClose ticks spent waiting for a line's end
    // The port of a download still waiting for its settings line (0: none):
    // its close says when no answer came.
    int awaitedAnswerPort_ = 0;
    std::string model_;
    bool stopped_ = false;
    // The running message exchange.
    MessageExchange message_;
    MessageListener* messageListener_ = nullptr;
    LineAssembler messageLines_;
};

}  // namespace glowset
