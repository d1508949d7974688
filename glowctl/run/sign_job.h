// One sign on one port, served by its own sign session: the verb's
// exchanges one after the other, and a result a script can read.
#pragma once

#include "glowctl/app/command_line.h"
#include "glowctl/run/settings_file.h"
#include "glowset/core/platform/clock.h"
#include "glowset/core/session/headless_view.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/core/session/sign_session.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace glowctl {

// A port as the user named it, and the number and device the session opens.
struct PortChoice {
    std::string name;
    int number = 0;
    ports::PortEnvironment environment;
};
// "COM1" to "COM12", or a device path or a server's URL (either served as
// number 1); nullopt otherwise.
std::optional<PortChoice> choosePort(const std::string& name, const ports::PortEnvironment& system);

// Exit codes, shared with romwright's console.
enum ExitCode {
    kDone = 0,
    kDifferent = 1,  // diff, write --dry-run: differences found
    kPortFailed = 2,
    kFileFailed = 3,
    kSignSilent = 5,
    kReadBackDiffers = 6,
    kBadCommandLine = 64
};

// An item that differs: its file line's name, and its value in the file and on the sign.
struct Difference {
    std::string item, file, sign;
};

struct JobResult {
    std::string port;
    int exitCode = kDone;
    bool found = false;  // a sign answered
    std::string model, build;
    std::string file;                     // read: the settings file written
    std::vector<Difference> differences;  // diff, write: before anything was sent
    std::vector<std::string> sent;        // write, message: the lines sent (--dry-run: planned)
    std::optional<bool> idleTimeOn;       // idle-time: the state the sign reports
    // default-message get: the message as a message box shows it (line
    // breaks as CR LF, time placeholders), and its codes in the file's order
    // (font, colour, style, alignment, speed, pause).
    std::optional<std::string> defaultMessage;
    std::array<int, 6> defaultCodes{};
    // default-message set: the part of the text the sign's record cannot carry,
    // which was therefore not checked.
    std::string unchecked;
    std::string error;  // in words, when the exit code is not 0 or 1
};

// What a job needs to know beyond the verb.
struct JobOptions {
    Verb verb = Verb::Find;
    std::string file;
    bool dryRun = false, force = false, anyModel = false;
    std::string clockLine;  // clock set: the command, terminated
    // default-message set: the message (line breaks as LF) and its codes in
    // the file's order.
    std::string text;
    std::array<int, 6> codes{};
    // message: the id, the priority whose settings it takes, and the beep and
    // time-out when given (-1 or nullopt: the priority's own).
    int id = 0, priority = 0, beep = -1;
    std::optional<std::string> timeout;
};

class SignJob : private glowset::HeadlessView, private glowset::MessageListener {
  public:
    SignJob(glowset::Clock& clock, PortChoice port,
            std::function<std::unique_ptr<glowset::SerialPort>(const ports::PortEnvironment&)>
                makeDevice,
            JobOptions options);
    ~SignJob() override;

    // Starts the verb; `progress` hears what it does, `finished` its end.
    void start(std::function<void(const std::string&)> progress, std::function<void()> finished);
    // A signal to stop: an upload ends once the item on its way is out, and
    // the result says what was sent and what was not (exit 128 + signal).
    void interrupt(int signalNumber);
    bool done() const { return done_; }
    const JobResult& result() const { return result_; }

  private:
    // The session's view: the steps that move the job on.
    void exchangeStep(glowset::ExchangeStep step) override;
    void portUnavailable(int portNumber, const std::string& why) override;
    void showStatusText(const std::string& text) override;
    void signRefused() override { refused_ = true; }
    // Each tick of the upload: which item goes, and the time left.
    void setUploadValue(int value) override;
    // The default message's exchange.
    void messageReply(const glowset::MessageReply& reply) override;
    void messageLinesSent() override;
    void messageExchangeEnded() override;
    void messagePortFault(const std::string& what) override { finish(kPortFailed, what); }

    // The message, then 100 ms later the idle display state.
    void readDefaultMessage(const std::string& progress);
    // The message windows' verbs: the clock, the idle display.
    void startMessageVerb();
    // default-message set, after the set-up and the default message are read.
    void sendDefaultMessage();
    void checkDefaultMessage();
    std::optional<std::string> textForSign(bool crLf);
    // message, after the set-up is read: its priority's settings with the options over them.
    void sendTestMessage();
    void writeSettingsFile();
    // default-message get FILE.led for a file that exists: its default message lines replaced.
    std::optional<std::string> mergeIntoSettingsFile(const std::string& fresh);
    bool loadSettingsFile();
    // Nothing goes to a sign of a model other than the file's, unless asked.
    bool fileFitsTheSign();
    // diff and write: the file against what was just read.
    void compare();
    void readBack();
    std::string sentAndUnsent() const;
    std::vector<Difference> differences() const;
    void finish(int exitCode, const std::string& error = {});
    // Words that name the port as the user named it.
    std::string inWords(std::string text) const;

    enum class Phase { Reading, Sending, ReadingBack };
    PortChoice port_;
    JobOptions options_;
    std::optional<SettingsFile> settings_;
    Phase phase_ = Phase::Reading;
    glowset::SignLink link_;
    glowset::SignSession session_;
    std::function<void(const std::string&)> progress_;
    std::function<void()> finished_;
    std::optional<glowset::DefaultMessageRecord> record_;
    std::string lastStatus_;
    JobResult result_;
    int interruptedBy_ = 0;
    bool refused_ = false;           // the sign answered "error" to a line sent
    bool acknowledged_ = false;      // the sign answered "done"
    bool idleSwitched_ = false;      // idle-time on/off: the switch is out
    bool readingIdleState_ = false;  // and its read-back has started
    // default-message set: its steps, and what the record should hold.
    enum class MessageStep { Opening, Sending, ReadingBack };
    MessageStep messageStep_ = MessageStep::Opening;
    std::string expectedStored_;
    size_t itemsToSend_ = 0;
    bool done_ = false;
};

}  // namespace glowctl
