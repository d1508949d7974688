#include "glowctl/run/sign_job.h"

#include "common/ports/port_url.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/session/upload_plan.h"
#include "glowset/core/settings/led_file.h"
#include "glowset/core/text/inline_codes.h"
#include "glowset/core/text/message_text.h"
#include "glowset/core/text/typed_text.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <regex>
#include <tuple>

namespace glowctl {

using namespace glowset;

std::optional<PortChoice> choosePort(const std::string& name,
                                     const ports::PortEnvironment& system) {
    static const std::regex comPort("COM([1-9]|1[0-2])");
    std::smatch match;
    if (std::regex_match(name, match, comPort)) {
        return PortChoice{name, std::stoi(match[1].str()), system};
    }
    if (ports::looksLikeUrl(name)) {
        if (!ports::parsePortUrl(name)) return std::nullopt;
    } else if (name.empty() || name[0] != '/') {
        return std::nullopt;
    }
    // A device path or URL is served as COM1 of an environment that names it.
    ports::PortEnvironment environment = system;
    environment.variable = [name](const std::string& variable) -> std::optional<std::string> {
        if (variable == "COM1") return name;
        return std::nullopt;
    };
    environment.loadNumbers = nullptr;
    environment.saveNumbers = nullptr;
    environment.identify = nullptr;
    return PortChoice{name, 1, environment};
}

SignJob::SignJob(
    Clock& clock, PortChoice port,
    std::function<std::unique_ptr<SerialPort>(const ports::PortEnvironment&)> makeDevice,
    JobOptions options)
    : HeadlessView(port.number),
      port_(std::move(port)),
      options_(std::move(options)),
      link_(makeDevice(port_.environment)),
      session_(
          clock, [this] { return link_.makeView(); }, static_cast<HeadlessView&>(*this)) {
    result_.port = port_.name;
}

SignJob::~SignJob() {
    session_.stop();
}

void SignJob::start(std::function<void(const std::string&)> progress,
                    std::function<void()> finished) {
    progress_ = std::move(progress);
    finished_ = std::move(finished);
    const bool messageFromFile = options_.verb == Verb::DefaultMessageSet && !options_.file.empty();
    if (options_.verb == Verb::Diff || options_.verb == Verb::Write || messageFromFile) {
        if (!loadSettingsFile()) return;
    }
    // The port stays this job's from the first download to the last.
    link_.keepOpen(true);
    switch (options_.verb) {
        case Verb::DefaultMessageGet:
            if (!options_.file.empty()) break;  // a file needs the set-up read first
            [[fallthrough]];
        case Verb::ClockSet:
        case Verb::IdleOn:
        case Verb::IdleOff:
        case Verb::IdleStatus:
            startMessageVerb();
            return;
        case Verb::FactoryReset:
            progress_("resetting to the factory set-up");
            if (const auto why = session_.startFactoryReset()) finish(kPortFailed, *why);
            return;
        default:
            break;
    }
    progress_("reading the set-up");
    session_.download();
}

// The file is checked whole before anything is sent; a default message to
// set is taken from its lines.
bool SignJob::loadSettingsFile() {
    QFile file(QString::fromLocal8Bit(options_.file.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        finish(kFileFailed, options_.file + ": " + file.errorString().toStdString());
        return false;
    }
    const QByteArray contents = file.readAll();
    auto checked =
        checkSettingsFile(options_.file, std::string_view(contents.constData(), contents.size()));
    if (auto* problem = std::get_if<std::string>(&checked)) {
        finish(kFileFailed, *problem);
        return false;
    }
    settings_ = std::get<SettingsFile>(std::move(checked));
    if (options_.verb != Verb::DefaultMessageSet) return true;
    const FileDefaultMessage message = fileDefaultMessage(*settings_);
    options_.text = message.text;
    options_.codes = message.codes;
    if (const auto missing = missingDefaultCode(message)) {
        finish(kFileFailed, options_.file + ": the default message has no " + *missing);
        return false;
    }
    return true;
}

bool SignJob::fileFitsTheSign() {
    if (options_.anyModel || settings_->model == lastReading->typeText) return true;
    finish(kFileFailed, options_.file + " is for a " + settings_->model + ", the sign on " +
                            port_.name + " is a " + lastReading->typeText +
                            ": its codes would mean other things there (--any-model takes it "
                            "anyway)");
    return false;
}

// What the default message window sends for the same button: the clock
// command; the idle display switch alone, then the read-back of the message
// and, 100 ms later, the idle display state.
void SignJob::startMessageVerb() {
    std::optional<std::string> why;
    if (options_.verb == Verb::ClockSet) {
        progress_("setting the clock");
        why = session_.startMessageExchange(
            {MessageWindow::DefaultMessage, {{0, options_.clockLine}}, 550}, *this);
    } else if ((options_.verb == Verb::IdleOn || options_.verb == Verb::IdleOff) &&
               !idleSwitched_) {
        progress_(options_.verb == Verb::IdleOn ? "switching the idle time display on"
                                                : "switching the idle time display off");
        idleSwitched_ = true;
        why =
            session_.startMessageExchange({MessageWindow::DefaultMessage,
                                           {{0, idleSwitchCommand(options_.verb == Verb::IdleOn)}},
                                           0},
                                          *this);
    } else {
        readDefaultMessage(options_.verb == Verb::DefaultMessageGet
                               ? "reading the default message"
                               : "reading the idle time display state");
        return;
    }
    if (why) finish(kPortFailed, *why);
}

// The message and its codes go as the default message window's Upload to
// Sign sends them: a message command with the six codes, or a delete for an
// empty text. Characters the sign cannot show refuse the text, by name.
void SignJob::sendDefaultMessage() {
    if (result_.idleTimeOn.value_or(false)) {
        finish(kFileFailed, "the idle time display of the sign on " + port_.name +
                                " is on, so it keeps a new text back: switch it off first "
                                "(idle-time off); nothing was sent");
        return;
    }
    // 8-bit, line breaks as CR LF as the message box gives them.
    const auto checked = textForSign(true);
    if (!checked) return;
    const std::string& text = *checked;
    std::string command;
    if (text.empty()) {
        command = displayToWire(deleteDefaultMessageCommand());
    } else {
        const DefaultMessageLists lists = defaultMessageListsForModel(lastReading->model);
        const std::array<const OptionList*, 6> inFileOrder = {
            &lists.font, &lists.colour, &lists.style, &lists.alignment, &lists.speed, &lists.pause};
        const char* names[] = {"font", "colour", "style", "alignment", "speed", "pause"};
        if (lists.font.empty()) {
            finish(kFileFailed, "the default message settings of sign model " + lastReading->model +
                                    " are not known to this program; nothing was sent");
            return;
        }
        for (int c = 0; c < 6; ++c) {
            if (options_.codes[c] >= static_cast<int>(inFileOrder[c]->size())) {
                finish(kFileFailed, std::string("a ") + lastReading->model + " has no " + names[c] +
                                        " " + std::to_string(options_.codes[c]) +
                                        "; nothing was sent");
                return;
            }
        }
        const auto code = [this](int c) { return static_cast<int16_t>(options_.codes[c]); };
        command =
            defaultMessageCommand({code(0), code(1), code(2), code(3), code(4), code(5)}, text);
    }
    expectedStored_ =
        text.empty() ? std::string() : wireToStored(command.substr(command.find('>') + 1));
    messageStep_ = MessageStep::Sending;
    acknowledged_ = false;
    progress_("setting the default message");
    if (const auto why = session_.startMessageExchange(
            {MessageWindow::DefaultMessage, {{0, command + kCommandEnd}}, 550}, *this)) {
        finish(kPortFailed, *why);
    }
}

// The text as the sign takes it, typographic characters converted; a
// character the sign cannot show ends the job, by name, before anything is
// sent. `crLf`: line breaks as CR LF, as a message box gives them.
std::optional<std::string> SignJob::textForSign(bool crLf) {
    const QString utf8 =
        QString::fromUtf8(options_.text.data(), static_cast<int>(options_.text.size()));
    const TypedText checked = checkTypedText(utf8.toStdU32String());
    if (!checked.refused.empty()) {
        finish(kFileFailed,
               "the sign cannot show " + describeRefused(checked.refused) + "; nothing was sent");
        return std::nullopt;
    }
    std::string text;
    for (const char32_t c : checked.text) {
        if (crLf && c == U'\n') text += '\r';
        text += static_cast<char>(c);
    }
    return text;
}

// The record carries the message only up to its first "," or ":"; what lies
// beyond cannot be checked, and the result says so.
void SignJob::checkDefaultMessage() {
    if (!record_) {
        finish(kSignSilent, "the sign on " + port_.name + " did not send its default message back");
        return;
    }
    const size_t cut = expectedStored_.find_first_of(",:");
    const std::string checkable = expectedStored_.substr(0, cut);
    const auto p = recordPositions(*record_);
    const std::array<int, 6> held = {p[kRecordFont],      p[kRecordColour], p[kRecordStyle],
                                     p[kRecordAlignment], p[kRecordSpeed],  p[kRecordPause]};
    const bool codesHeld = expectedStored_.empty() || held == options_.codes;
    if (record_->storedText != checkable || !codesHeld) {
        finish(kReadBackDiffers, "the sign on " + port_.name + " does not hold the message sent");
        return;
    }
    result_.defaultMessage = storedToDisplay(record_->storedText);
    result_.defaultCodes = held;
    if (cut != std::string::npos) result_.unchecked = storedToDisplay(expectedStored_.substr(cut));
    finish(kDone);
}

void SignJob::messageLinesSent() {
    // The idle switch goes alone and its port closes at once: the read-back follows.
    if (idleSwitched_ && !readingIdleState_ && !done_) {
        readingIdleState_ = true;
        startMessageVerb();
    }
}

std::string SignJob::inWords(std::string text) const {
    const std::string number = "COM" + std::to_string(port_.number);
    if (number == port_.name) return text;
    // "COM1 (rfc2217://…)": the URL was the port's name.
    const std::string both = number + " (" + port_.name + ")";
    for (size_t at = text.find(both); at != std::string::npos; at = text.find(both, at))
        text.replace(at, both.size(), port_.name);
    for (size_t at = text.find(number); at != std::string::npos;
         at = text.find(number, at + port_.name.size())) {
        // "COM1" inside "COM12" is another port.
        if (at + number.size() < text.size() &&
            std::isdigit(static_cast<unsigned char>(text[at + number.size()])))
            continue;
        text.replace(at, number.size(), port_.name);
    }
    return text;
}

void SignJob::showStatusText(const std::string& text) {
    HeadlessView::showStatusText(text);
    lastStatus_ = text;
}

void SignJob::portUnavailable(int portNumber, const std::string& why) {
    HeadlessView::portUnavailable(portNumber, why);
    finish(kPortFailed, why);
}

void SignJob::exchangeStep(ExchangeStep step) {
    HeadlessView::exchangeStep(step);
    if (done_) return;
    if (step == ExchangeStep::Stopped) {
        // The port failed; the status says how, and an upload what it sent.
        finish(kPortFailed,
               phase_ == Phase::Sending ? lastStatus_ + "; " + sentAndUnsent() : lastStatus_);
    } else if (step == ExchangeStep::UploadEnded) {
        if (interruptedBy_) {
            std::string sent, unsent;
            for (const auto& item : markedItems(session_.sentThisUpload())) sent += " " + item;
            for (const auto& item : markedItems(session_.marked())) unsent += " " + item;
            finish(128 + interruptedBy_,
                   "stopped; sent:" + (sent.empty() ? " nothing" : sent) +
                       "; not sent:" + (unsent.empty() ? " nothing" : unsent));
            return;
        }
        readBack();
    } else if (step == ExchangeStep::DownloadClosed) {
        if (!lastReading) {
            finish(kSignSilent, "no sign answered on " + port_.name);
            return;
        }
        result_.found = true;
        result_.model = lastReading->model.empty() ? lastReading->typeText : lastReading->model;
        result_.build = lastReading->firmwareCount.value_or("");
        switch (options_.verb) {
            case Verb::Find:
            case Verb::FactoryReset:
                finish(kDone);
                break;
            case Verb::DefaultMessageSet:
                // The window opens by reading the message and idle state.
                if (!settings_ || fileFitsTheSign()) startMessageVerb();
                break;
            case Verb::Read:
            case Verb::DefaultMessageGet:
                readDefaultMessage("reading the default message");
                break;
            case Verb::Message:
                sendTestMessage();
                break;
            case Verb::Diff:
            case Verb::Write:
                compare();
                break;
            default:
                break;
        }
    }
}

// The file applied to the set-up just read, as File > Open applies it, and
// compared by the rule Upload to Sign uses.
void SignJob::compare() {
    if (phase_ == Phase::Reading && !fileFitsTheSign()) return;
    if (const auto refused = applySettingsFile(*settings_, lastReading->model, wanted)) {
        finish(kFileFailed, options_.file + ": " + *refused);
        return;
    }
    const bool differs = session_.getChangedRows() > 0;
    if (phase_ == Phase::ReadingBack) {
        std::string items;
        for (const auto& item : markedItems(session_.marked())) items += " " + item;
        if (refused_) {
            finish(kSignSilent, "the sign on " + port_.name + " answered \"error\"" +
                                    (differs ? "; it does not hold:" + items : std::string()));
        } else if (differs) {
            finish(kReadBackDiffers, "the sign on " + port_.name + " did not take:" + items);
        } else {
            finish(kDone);
        }
        return;
    }
    result_.differences = differences();
    if (options_.verb == Verb::Diff) {
        finish(differs ? kDifferent : kDone);
        return;
    }
    if (options_.force) session_.markAllChanged();
    const std::vector<std::string> lines = plannedUpload(wanted, session_.marked());
    if (options_.dryRun) {
        result_.sent = lines;
        finish(lines.empty() ? kDone : kDifferent);
        return;
    }
    if (lines.empty()) {
        finish(kDone);  // nothing to send: the sign had only the download requests
        return;
    }
    result_.sent = lines;
    phase_ = Phase::Sending;
    itemsToSend_ = markedItems(session_.marked()).size();
    session_.upload();
}

// What the upload sent, and what stays marked because it was not sent. An
// item cut off by a fault counts as sent: it may have reached the sign.
std::string SignJob::sentAndUnsent() const {
    std::string sent, unsent;
    for (const auto& item : markedItems(session_.sentThisUpload())) sent += " " + item;
    ChangeFlags left = session_.marked();
    left.remove(session_.sentThisUpload());
    for (const auto& item : markedItems(left)) unsent += " " + item;
    return "sent:" + (sent.empty() ? std::string(" nothing") : sent) +
           "; not sent:" + (unsent.empty() ? std::string(" nothing") : unsent);
}

void SignJob::interrupt(int signalNumber) {
    if (done_) return;
    interruptedBy_ = signalNumber;
    if (phase_ == Phase::Sending) {
        session_.stopUploadAfterItem();
    } else {
        finish(128 + signalNumber, phase_ == Phase::ReadingBack
                                       ? "stopped while reading the sign back"
                                       : "stopped before anything was sent or written");
    }
}

void SignJob::setUploadValue(int value) {
    HeadlessView::setUploadValue(value);
    const size_t left = markedItems(session_.marked()).size();
    if (phase_ != Phase::Sending || left == 0 || value == 0) return;  // 0: the upload starts
    // An item goes every 500 ms.
    progress_("sending item " + std::to_string(itemsToSend_ - left + 1) + " of " +
              std::to_string(itemsToSend_) + ", about " + std::to_string((left + 1) / 2) +
              " s left");
}

void SignJob::readBack() {
    phase_ = Phase::ReadingBack;
    progress_("reading the sign back");
    lastReading.reset();
    session_.download();
}

std::vector<Difference> SignJob::differences() const {
    const auto join = [](const auto& values) {
        std::string text;
        for (const auto& v : values) text += (text.empty() ? "" : ",") + v;
        return text;
    };
    std::vector<Difference> out;
    for (const std::string& item : markedItems(session_.marked())) {
        Difference d{item, {}, {}};
        if (item.rfind("Pri", 0) == 0) {
            const int p = item[3] - '0';
            std::vector<std::string> file, sign;
            for (const int16_t code : wanted.priorities[p].codes)
                file.push_back(std::to_string(code));
            file.push_back(wanted.priorities[p].timeoutText);
            for (int v = 0; v < kPriorityFieldCount; ++v) {
                const auto& value = lastReading->priorities[p][v];
                sign.push_back(value ? std::to_string(*value) : "");
            }
            d.file = join(file);
            d.sign = join(sign);
        } else if (item.rfind("LinkID", 0) == 0) {
            const int n = item[6] - '0';
            d.file = wanted.capcodes[n] + "," + std::to_string(wanted.linkPriorities[n]);
            d.sign = lastReading->capcodes[n] + "," +
                     std::to_string(lastReading->linkPriorities[n].value_or(-1));
        } else if (item == "AutoID") {
            d.file = std::to_string(wanted.autoId);
            d.sign = lastReading->automaticIds ? (*lastReading->automaticIds ? "1" : "0") : "";
        }
        out.push_back(std::move(d));
    }
    return out;
}

// The default message is read as the default message window reads it: the
// message, then 100 ms later the idle display state; the port waits 550 ms.
void SignJob::readDefaultMessage(const std::string& progress) {
    progress_(progress);
    const auto why =
        session_.startMessageExchange({MessageWindow::DefaultMessage,
                                       {{0, downloadDefaultMessageCommand() + kCommandEnd},
                                        {100, timeStatusCommand() + kCommandEnd}},
                                       550},
                                      *this);
    if (why) finish(kPortFailed, *why);
}

void SignJob::messageReply(const MessageReply& reply) {
    if (reply.kind == MessageReply::Kind::Record) record_ = reply.record;
    if (reply.kind == MessageReply::Kind::Done) acknowledged_ = true;
    if (reply.kind == MessageReply::Kind::IdleDisplay) result_.idleTimeOn = reply.idleOn;
    if (reply.kind == MessageReply::Kind::Refused) {
        session_.endMessageExchange();
        finish(kSignSilent, "the sign on " + port_.name + " answered \"error\"");
    }
}

void SignJob::messageExchangeEnded() {
    if (done_) return;
    if (options_.verb == Verb::ClockSet || options_.verb == Verb::Message) {
        if (acknowledged_) {
            finish(kDone);
        } else {
            finish(kSignSilent, "the sign on " + port_.name + " did not answer the " +
                                    (options_.verb == Verb::ClockSet ? "clock" : "message"));
        }
        return;
    }
    if (options_.verb == Verb::DefaultMessageSet) {
        if (messageStep_ == MessageStep::Opening) {
            sendDefaultMessage();
        } else if (messageStep_ == MessageStep::Sending) {
            messageStep_ = MessageStep::ReadingBack;
            record_.reset();
            startMessageVerb();
        } else {
            checkDefaultMessage();
        }
        return;
    }
    if (options_.verb == Verb::DefaultMessageGet) {
        if (!record_) {
            finish(kSignSilent, "the sign on " + port_.name + " did not send its default message");
            return;
        }
        result_.defaultMessage = storedToDisplay(record_->storedText);
        // The record's order is font, style, colour, speed, alignment, pause.
        const auto p = recordPositions(*record_);
        result_.defaultCodes = {p[kRecordFont],      p[kRecordColour], p[kRecordStyle],
                                p[kRecordAlignment], p[kRecordSpeed],  p[kRecordPause]};
        if (options_.file.empty()) {
            finish(kDone);
        } else {
            writeSettingsFile();
        }
        return;
    }

    if (options_.verb == Verb::IdleOn || options_.verb == Verb::IdleOff ||
        options_.verb == Verb::IdleStatus) {
        if (!result_.idleTimeOn) {
            finish(kSignSilent, "the sign on " + port_.name + " did not report its idle display");
        } else if (options_.verb != Verb::IdleStatus &&
                   *result_.idleTimeOn != (options_.verb == Verb::IdleOn)) {
            finish(kReadBackDiffers,
                   "the sign on " + port_.name + " did not switch its idle display");
        } else {
            finish(kDone);
        }
        return;
    }
    if (!record_) {
        finish(kSignSilent, "the sign on " + port_.name + " did not send its default message");
        return;
    }
    writeSettingsFile();
}

// What the main window would save after reading the sign and its default
// message: the set-up as read, the message with the codes its window's
// lists take (a code no entry stands for is none).
void SignJob::writeSettingsFile() {
    LedSettings s;
    s.model = lastReading->typeText;
    s.com = static_cast<int16_t>(port_.name.rfind("COM", 0) == 0 ? port_.number : 0);
    for (int p = 0; p < 5; ++p) {
        s.priorities[p].codes = wanted.priorities[p].codes;
        s.priorities[p].timeout = wanted.priorities[p].timeoutText;
    }
    for (int i = 0; i < 8; ++i) s.links[i] = {wanted.capcodes[i], wanted.linkPriorities[i]};
    s.autoId = wanted.autoId;
    s.defaultMessage = storedToDisplay(record_->storedText);
    const DefaultMessageLists lists = defaultMessageListsForModel(lastReading->model);
    const std::array<const OptionList*, 6> inFileOrder = {
        &lists.font, &lists.colour, &lists.style, &lists.alignment, &lists.speed, &lists.pause};
    // The record's order: font, style, colour, speed, alignment, pause.
    constexpr std::array<int, 6> fileToRecord = {kRecordFont,      kRecordColour, kRecordStyle,
                                                 kRecordAlignment, kRecordSpeed,  kRecordPause};
    const auto positions = recordPositions(*record_);
    for (int c = 0; c < kDefaultCodeCount; ++c) {
        const int row = positions[fileToRecord[c]];
        s.defaultCodes[c] = static_cast<int16_t>(
            row >= -1 && row < static_cast<int>(inFileOrder[c]->size()) ? row : -1);
    }
    std::string text = writeLedFile(s);
    if (options_.verb == Verb::DefaultMessageGet &&
        QFile::exists(QString::fromLocal8Bit(options_.file.c_str()))) {
        const auto merged = mergeIntoSettingsFile(text);
        if (!merged) return;
        text = *merged;
    }
    QSaveFile file(QString::fromLocal8Bit(options_.file.c_str()));
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(text.data(), static_cast<qint64>(text.size())) ==
                             static_cast<qint64>(text.size()) &&
                         file.commit();
    if (!written) {
        finish(kFileFailed, options_.file + ": " + file.errorString().toStdString());
        return;
    }
    result_.file = options_.file;
    finish(kDone);
}

// The file is taken only whole and for this model, as write takes it, so
// that its other lines stay what they meant.
std::optional<std::string> SignJob::mergeIntoSettingsFile(const std::string& fresh) {
    QFile file(QString::fromLocal8Bit(options_.file.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        finish(kFileFailed, options_.file + ": " + file.errorString().toStdString());
        return std::nullopt;
    }
    const QByteArray contents = file.readAll();
    const std::string_view existing(contents.constData(), static_cast<size_t>(contents.size()));
    auto checked = checkSettingsFile(options_.file, existing);
    if (auto* problem = std::get_if<std::string>(&checked)) {
        finish(kFileFailed, *problem + "; it was left as it is");
        return std::nullopt;
    }
    settings_ = std::get<SettingsFile>(std::move(checked));
    if (!fileFitsTheSign()) return std::nullopt;
    return withDefaultMessageOf(existing, fresh);
}

// The test message window's Send Message to Sign: the header carries the id
// and the display settings, the text its inline codes. A font or colour code
// that opens the text goes into the header, as the window moves the first
// font and colour into its lists.
void SignJob::sendTestMessage() {
    auto checked = textForSign(false);
    if (!checked) return;
    std::string text = std::move(*checked);
    const auto& priority = wanted.priorities[options_.priority];
    // The priority's codes: font, style, colour, speed, alignment, pause, beep.
    std::array<int, 7> rowCodes{};
    for (int v = 0; v < 7; ++v) rowCodes[v] = priority.codes[v];
    constexpr std::array<int, 6> fileToRow = {0, 2, 1, 4, 3, 5};
    for (int c = 0; c < 6; ++c) {
        if (options_.codes[c] >= 0) rowCodes[fileToRow[c]] = options_.codes[c];
    }
    if (options_.beep >= 0) rowCodes[6] = options_.beep;
    for (const auto& [letter, row, count] :
         {std::tuple{'F', 0, kInlineFontCount}, std::tuple{'C', 2, kInlineColourCount}}) {
        if (text.size() >= 3 && text[0] == '$' && text[1] == letter && text[2] >= 'A' &&
            text[2] < 'A' + count) {
            rowCodes[row] = text[2] - 'A';
            text.erase(0, 3);
        }
    }
    const auto lists = listsInRowOrder(optionSetForModel(lastReading->model));
    const char* names[] = {"font", "style", "colour", "speed", "alignment", "pause", "beep"};
    for (int v = 0; v < 7; ++v) {
        if (rowCodes[v] >= static_cast<int>(lists[v]->size())) {
            finish(kFileFailed, std::string("a ") + lastReading->typeText + " has no " + names[v] +
                                    " " + std::to_string(rowCodes[v]) + "; nothing was sent");
            return;
        }
    }
    const auto code = [&rowCodes](int v) { return static_cast<int16_t>(rowCodes[v]); };
    TestMessageParams p;
    p.id = static_cast<int16_t>(options_.id);
    p.font = code(0);
    p.style = code(1);
    p.colour = code(2);
    p.speed = code(3);
    p.alignment = code(4);
    p.pause = code(5);
    p.beep = code(6);
    p.timeout = options_.timeout.value_or(priority.timeoutText);
    const std::string command = testMessageCommand(p, text);
    result_.sent = {command};
    progress_("sending the message");
    if (const auto why = session_.startMessageExchange(
            {MessageWindow::TestMessage, {{0, command + kCommandEnd}}, 500}, *this)) {
        finish(kPortFailed, *why);
    }
}

void SignJob::finish(int exitCode, const std::string& error) {
    if (done_) return;
    done_ = true;
    result_.exitCode = exitCode;
    result_.error = inWords(error);
    session_.stop();
    link_.keepOpen(false);
    if (finished_) finished_();
}

}  // namespace glowctl
