#include "glowset/core/session/sign_session.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/numbers.h"
#include "glowset/core/protocol/replies.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/core/session/upload_plan.h"
#include "glowset/core/text/latin1.h"

#include <algorithm>
#include <utility>

namespace glowset {

std::string noSignAnsweredText() {
    return "No sign answered on COM 1 to COM " + std::to_string(kPortCount) +
           ": is it on, its cable in, its port free?";
}

SignSession::SignSession(Clock& clock, const std::function<std::unique_ptr<SerialPort>()>& makePort,
                         SessionView& view)
    : MSComm2(makePort()), MSComm1(makePort()), view_(view) {
    DataTimeout = clock.createTimer(10);
    SearchPort = clock.createTimer(400);
    FactoryDef = clock.createTimer(500);
    UploadTimer = clock.createTimer(500);
    ComClose = clock.createTimer(400);
    for (Step* step : {&searchStep_, &linkGap_, &idSwitchEnd_, &messageStep_}) {
        makeStep(clock, *step);
    }
    DataTimeout->onTick = [this] { DataTimeout_Timer(); };
    SearchPort->onTick = [this] {
        SearchPort->setEnabled(false);  // one pass only
        view_.searchStarted();
        searchPort(0);
    };
    FactoryDef->onTick = [this] { FactoryDef_Timer(); };
    UploadTimer->onTick = [this] { UploadTimer_Timer(); };
    ComClose->onTick = [this] { ComClose_Timer(); };
    MSComm2->onReceive = [this] { MSComm2_OnComm(); };
    MSComm2->onFault = [this](const std::string& what) { portFault(what); };
    MSComm1->onReceive = [this] { receiveMessageReply(); };
    MSComm1->onFault = [this](const std::string& what) {
        MessageListener* listener = messageListener_;
        endMessageExchange();
        if (!listener) return;
        listener->messagePortFault(what);
        listener->messageExchangeEnded();
    };
}

SignSession::~SignSession() {
    stop();
}

void SignSession::stop() {
    stopped_ = true;
    for (Timer* timer : {SearchPort.get(), UploadTimer.get(), searchStep_.timer.get(),
                         linkGap_.timer.get(), idSwitchEnd_.timer.get()}) {
        timer->setEnabled(false);
    }
    if (MSComm2->isOpen()) MSComm2->close();
    endMessageExchange();
}

void SignSession::makeStep(Clock& clock, Step& step) {
    step.timer = clock.createTimer(10);
    step.timer->onTick = [&step] {
        step.timer->setEnabled(false);
        // Taken out first: the step may arrange the next one on this timer.
        const std::function<void()> next = std::exchange(step.next, nullptr);
        if (next) next();
    };
}

void SignSession::after(Step& step, int milliseconds, std::function<void()> next) {
    step.timer->setEnabled(false);
    step.timer->setInterval(milliseconds);
    step.next = std::move(next);
    step.timer->setEnabled(true);
}

// ---- the port ----

std::optional<OpenError> SignSession::openSelectedPort() {
    // A download whose close is still pending is over: close it rather than
    // fail on a port that is still open. Only this session's own port is
    // closed; another window's exchange makes the open fail as busy.
    if (MSComm2->isOpen()) MSComm2->close();
    ComClose->setEnabled(false);
    lines_.reset();  // every opening starts without a line begun
    MSComm2->setPortNumber(view_.selectedPort());
    return MSComm2->open();
}

void SignSession::send(const std::string& line) {
    MSComm2->write(line);  // a failed write reports itself through portFault
}

bool SignSession::refuseWhileBusy() {
    if (exchange_ == Exchange::None || exchange_ == Exchange::Download) return false;
    view_.showStatusText(portBusyText(view_.selectedPort()));
    return true;
}

void SignSession::handOverPort() {
    if (MSComm2->isOpen()) MSComm2->close();
    ComClose->setEnabled(false);
    exchange_ = Exchange::None;
    view_.exchangeStep(ExchangeStep::PortHandedOver);
}

void SignSession::endExchange() {
    exchange_ = Exchange::None;
    view_.exchangeStep(ExchangeStep::Stopped);
    view_.showUploadProgress(false);
}

void SignSession::portFault(const std::string& what) {
    const Exchange was = exchange_;
    awaitedAnswerPort_ = 0;  // the fault is what the status line says
    UploadTimer->setEnabled(false);
    linkGap_.timer->setEnabled(false);
    ComClose->setEnabled(false);
    FactoryDef->setEnabled(false);
    if (MSComm2->isOpen()) MSComm2->close();
    if (was == Exchange::Upload) {
        // What was sent may not have left the adapter: all of it stays
        // marked for the next upload, with what was not sent yet.
        flags_.add(sentThisUpload_);
        view_.showStatusText("Upload stopped: " + what +
                             "; the changes stay marked for the next upload");
    } else {
        view_.showStatusText(what);
    }
    if (was != Exchange::Search) endExchange();
}

void SignSession::reportOpenFailure(const OpenError& error) {
    if (error.number == kErrorPortBusy) {
        // Another window's exchange holds the port: nothing was sent.
        view_.showStatusText(error.description);
        return;
    }
    if (error.number == kErrorInvalidPortNumber) view_.invalidPort(MSComm2->portNumber());
}

// ---- port search ----

void SignSession::searchSoon() {
    SearchPort->setEnabled(true);
}

void SignSession::searchPort(int index) {
    view_.searching(index + 1);
    view_.selectPort(index + 1);
    startDownload();
    exchange_ = Exchange::Search;
    after(searchStep_, 300, [this, index] { awaitLineEnd(index, 0); });
}

// A long settings line still arriving at 9600 baud is this port's answer:
// its end is waited for, 10 ms at a time, before the search moves on.
void SignSession::awaitLineEnd(int index, int waited) {
    if (waited < kLongestLineMs / 10 && MSComm2->isOpen() && lines_.inLine() &&
        !view_.showsASign()) {
        after(searchStep_, 10, [this, index, waited] { awaitLineEnd(index, waited + 1); });
        return;
    }
    if (view_.showsASign()) {
        endSearch();
        return;
    }
    leavePort(index);
}

void SignSession::leavePort(int index) {
    const bool last = index == kPortCount - 1;
    if (last) view_.selectPort(1);
    view_.searching(0);
    after(searchStep_, 100, [this, index, last] {
        if (last) {
            endSearch();
        } else {
            searchPort(index + 1);
        }
    });
}

void SignSession::endSearch() {
    exchange_ = MSComm2->isOpen() ? Exchange::Download : Exchange::None;
    view_.searchEnded(view_.showsASign());
}

// ---- receive path ----

void SignSession::MSComm2_OnComm() {
    while (MSComm2->inputCount() > 0) {
        const std::string c = MSComm2->read();
        if (c.empty()) break;
        lineTimeoutCount_ = 10;
        DataTimeout->setEnabled(true);
        if (auto line = lines_.add(c[0])) {
            DataTimeout->setEnabled(false);
            HandleSignReply(*line);
        }
    }
}

void SignSession::DataTimeout_Timer() {
    if (lineTimeoutCount_ < 1) {
        DataTimeout->setEnabled(false);
        lines_.reset();
    } else {
        --lineTimeoutCount_;
    }
}

// ---- download ----

void SignSession::download() {
    if (refuseWhileBusy()) return;
    startDownload();
    if (exchange_ == Exchange::Download) awaitedAnswerPort_ = MSComm2->portNumber();
}

void SignSession::startDownload() {
    view_.forgetSettingsFile();
    awaitedAnswerPort_ = 0;
    const int number = view_.selectedPort();
    if (const auto error = openSelectedPort()) {
        view_.portUnavailable(number, error->description);
        return;
    }
    exchange_ = Exchange::Download;
    view_.exchangeStep(ExchangeStep::DownloadStarted);
    closeDelays_ = 0;
    send(downloadAllCommand() + kCommandEnd);
    if (MSComm2->isOpen()) ComClose->setEnabled(true);
}

void SignSession::ComClose_Timer() {
    // A reply line still arriving is let in, up to the longest line's time.
    if (MSComm2->isOpen() && lines_.inLine() && closeDelays_ * 400 < kLongestLineMs) {
        ++closeDelays_;
        return;
    }
    ComClose->setEnabled(false);
    if (!MSComm2->isOpen()) return;
    MSComm2->close();
    if (exchange_ == Exchange::Download) exchange_ = Exchange::None;
    if (awaitedAnswerPort_ != 0) {
        view_.showStatusText("No answer from the sign on COM " +
                             std::to_string(awaitedAnswerPort_));
        awaitedAnswerPort_ = 0;
    }
    view_.exchangeStep(ExchangeStep::DownloadClosed);
}

// ---- replies ----

void SignSession::HandleSignReply(const std::string& line) {
    // A settings line is one whatever words its user command holds; the
    // acknowledgement words count only on other lines, and a line with ":"
    // that is no settings line (a console or modem on another port) changes
    // nothing.
    if (isSettingsLine(line)) {
        applySettingsLine(line);
        return;
    }
    const Reply reply = classifyReply(line);
    if (reply.kind == ReplyKind::Settings) return;
    if (reply.kind == ReplyKind::Error) view_.signRefused();
    if (const auto status = statusTextForReply(reply, view_.uploadProgress().value)) {
        view_.showStatusText(latin1(*status).toStdString());
    } else if (reply.secondWord == std::nullopt &&
               (reply.kind == ReplyKind::Default || reply.kind == ReplyKind::Linked)) {
        view_.repeatStatus();  // no second word: the previous text again
    }
}

void SignSession::applySettingsLine(const std::string& text) {
    awaitedAnswerPort_ = 0;
    const SettingsLine line = parseSettingsLine(text);
    SignReading reading;
    const bool oldSign = !line.firmwareCount.has_value();
    reading.typeText = oldSign ? line.header : line.model;
    reading.firmwareCount = line.firmwareCount;
    reading.model = line.model;
    model_ = line.model;
    for (int p = 0; p < 5; ++p) reading.priorities[p] = decodePriority(line, p);
    // Links: the entries of each id joined, the later priority winning.
    mergeLinkEntries(linkEntries_, line);
    const auto boxes = linkBoxesFrom(linkEntries_);
    for (int n = 0; n < 8; ++n) {
        reading.capcodes[n] = boxes[n].capcodes;
        const auto& index = boxes[n].priorityIndex;
        if (index && *index >= -1 && *index < kPriorityCount) reading.linkPriorities[n] = *index;
    }
    reading.automaticIds = idModeOf(line);
    reading.userCommand = userCommandOf(line);
    view_.settingsRead(reading);

    // The copy keeps every value the sign reported, shown or not, and
    // follows the link boxes for every id, so that an id the sign no longer
    // links is not taken for a change on the next upload.
    for (int p = 0; p < 5; ++p) {
        for (int v = 0; v < kPriorityFieldCount; ++v) {
            if (reading.priorities[p][v]) signCopy_.priorities[p][v] = *reading.priorities[p][v];
        }
    }
    for (int n = 0; n < 8; ++n) {
        signCopy_.capcodes[n] = boxes[n].capcodes;
        if (reading.linkPriorities[n]) signCopy_.linkPriorities[n] = boxes[n].priorityText;
    }
    if (reading.automaticIds) signCopy_.idMode = *reading.automaticIds ? 1 : 0;
    if (reading.userCommand) signCopy_.userCommand = *reading.userCommand;
    // Whatever the controls did while they were filled is no change.
    flags_.priorityChanged.fill(false);
    std::fill(flags_.linkChanged.begin(), flags_.linkChanged.begin() + 8, false);
}

// ---- upload ----

int SignSession::getChangedRows() {
    return glowset::getChangedRows(view_.wantedSettings(), signCopy_, flags_);
}

void SignSession::markPriorityChanged(int priority) {
    if (priority >= 0 && priority < 5) flags_.priorityChanged[priority] = true;
}

void SignSession::markAllChanged() {
    flags_.setAll();
}

void SignSession::upload() {
    if (refuseWhileBusy()) return;
    uploadCommands_ = uploadCommands(view_.wantedSettings());

    if (getChangedRows() == 0) view_.showStatusText("Nothing to Upload");
    view_.setUploadMaximum(1 + 20 * flags_.setCount());

    if (const auto error = openSelectedPort()) {
        reportOpenFailure(*error);
        return;
    }
    exchange_ = Exchange::Upload;
    sentThisUpload_ = {};
    stopAfterLink_ = false;
    UploadTimer->setEnabled(true);
    view_.exchangeStep(ExchangeStep::UploadStarted);
    view_.setUploadValue(0);
    view_.showUploadProgress(true);
}

void SignSession::UploadTimer_Timer() {
    const UploadProgress progress = view_.uploadProgress();
    if (progress.maximum > 1 && progress.maximum > progress.value) {
        view_.setUploadValue(std::min(progress.value + 20, progress.maximum));
    } else if (progress.maximum > 1) {
        view_.showUploadProgress(false);
    }

    // One record, the id mode or the user command, in this order.
    for (int p = 0; p < 5; ++p) {
        if (flags_.priorityChanged[p]) {
            flags_.priorityChanged[p] = false;
            sentThisUpload_.priorityChanged[p] = true;
            send(uploadCommands_[p]);
            return;
        }
    }
    if (flags_.idModeChanged) {
        flags_.idModeChanged = false;
        sentThisUpload_.idModeChanged = true;
        send(uploadCommands_[5]);
        return;
    }
    if (flags_.userCommandChanged) {
        flags_.userCommandChanged = false;
        sentThisUpload_.userCommandChanged = true;
        send(uploadCommands_[6]);
        return;
    }
    // Otherwise one link.
    for (int n = 0; n < 8; ++n) {
        if (!flags_.linkChanged[n]) continue;
        flags_.linkChanged[n] = false;
        sentThisUpload_.linkChanged[n] = true;
        sendLink(n);
        return;
    }
    endUpload();
}

// A link is an optional clear line and a set line 150 ms apart, from its
// boxes as they are at this tick.
void SignSession::sendLink(int id) {
    const std::string capcodes = view_.linkBoxes(id).capcodes;
    if (leadingNumber(capcodes) == 0) {
        view_.clearLink(id);
    } else if (view_.linkBoxes(id).priority == -1) {
        view_.setLinkPriority(id, 0);
    }
    const std::vector<std::string> lines = linkLines(id, capcodes, view_.linkBoxes(id).priority);
    // A clear alone goes out as the second line, 150 ms on.
    const std::string clearLine = lines.size() == 2 ? lines[0] : std::string();
    const std::string setLine = lines.back();
    if (!clearLine.empty()) send(clearLine);
    after(linkGap_, 150, [this, setLine] {
        // The port may have failed meanwhile.
        if (exchange_ == Exchange::Upload) send(setLine);
        if (stopAfterLink_ && exchange_ == Exchange::Upload) endUpload();
    });
}

void SignSession::stopUploadAfterItem() {
    if (exchange_ != Exchange::Upload) return;
    UploadTimer->setEnabled(false);
    // A link's set line still to go: the upload ends right after it.
    if (linkGap_.timer->enabled()) {
        stopAfterLink_ = true;
    } else {
        endUpload();
    }
}

void SignSession::endUpload() {
    if (MSComm2->isOpen()) MSComm2->close();
    exchange_ = Exchange::None;
    UploadTimer->setEnabled(false);
    view_.exchangeStep(ExchangeStep::UploadEnded);
    view_.showUploadProgress(false);
}

// ---- id switch ----

void SignSession::switchIdMode() {
    if (refuseWhileBusy()) return;
    if (const auto error = openSelectedPort()) {
        reportOpenFailure(*error);
        return;
    }
    exchange_ = Exchange::IdSwitch;
    const bool automatic = view_.wantedSettings().autoId != 1;
    view_.showAutomaticIds(automatic);
    send(idModeCommand(automatic) + kCommandEnd);
    view_.exchangeStep(ExchangeStep::IdSwitchStarted);
    after(idSwitchEnd_, 200, [this] {
        if (MSComm2->isOpen()) MSComm2->close();
        exchange_ = Exchange::None;
        view_.exchangeStep(ExchangeStep::IdSwitchEnded);
    });
}

// ---- factory reset ----

std::optional<std::string> SignSession::startFactoryReset() {
    if (exchange_ != Exchange::None && exchange_ != Exchange::Download) {
        return portBusyText(view_.selectedPort());
    }
    if (const auto error = openSelectedPort()) {
        return "COM" + std::to_string(MSComm2->portNumber()) + ": " + error->description;
    }
    exchange_ = Exchange::FactoryReset;
    view_.exchangeStep(ExchangeStep::FactoryResetStarted);
    send(factoryDefaultsCommand() + kCommandEnd);
    if (MSComm2->isOpen()) FactoryDef->setEnabled(true);
    return std::nullopt;
}

void SignSession::FactoryDef_Timer() {
    FactoryDef->setEnabled(false);
    if (MSComm2->isOpen()) MSComm2->close();
    exchange_ = Exchange::None;
    view_.exchangeStep(ExchangeStep::FactoryReadBack);
    startDownload();
    // The read-back could not open the port: the buttons come back instead
    // of staying disabled for good.
    if (!MSComm2->isOpen()) view_.exchangeStep(ExchangeStep::FactoryReadBackFailed);
}

// ---- the message windows' exchanges ----

std::optional<std::string> SignSession::startMessageExchange(MessageExchange exchange,
                                                             MessageListener& listener) {
    endMessageExchange();
    MSComm1->setPortNumber(view_.selectedPort());
    if (const auto error = MSComm1->open()) {
        return "Cannot open COM" + std::to_string(MSComm1->portNumber()) + ": " +
               error->description;
    }
    message_ = std::move(exchange);
    messageListener_ = &listener;
    sendMessageLine(0);
    return std::nullopt;
}

// Sends line `index` and arranges the next, or the wait for replies.
void SignSession::sendMessageLine(size_t index) {
    if (index < message_.lines.size()) {
        MSComm1->write(message_.lines[index].second);
        if (index + 1 < message_.lines.size()) {
            after(messageStep_, message_.lines[index + 1].first,
                  [this, index] { sendMessageLine(index + 1); });
            return;
        }
    }
    MessageListener* listener = messageListener_;
    if (message_.holdMs <= 0) {
        endMessageExchange();
        if (listener) listener->messageLinesSent();
        return;
    }
    after(messageStep_, message_.holdMs, [this] {
        MessageListener* listener = messageListener_;
        endMessageExchange();
        if (listener) listener->messageExchangeEnded();
    });
    if (listener) listener->messageLinesSent();
}

void SignSession::endMessageExchange() {
    messageStep_.timer->setEnabled(false);
    messageStep_.next = nullptr;
    messageListener_ = nullptr;
    if (MSComm1->isOpen()) MSComm1->close();
    messageLines_.reset();
}

void SignSession::receiveMessageReply() {
    while (MSComm1->inputCount() > 0) {
        const std::string c = MSComm1->read();
        if (c.empty()) break;
        const auto line = messageLines_.add(c[0]);
        if (line && messageListener_) {
            messageListener_->messageReply(decodeMessageReply(message_.window, *line));
        }
    }
}

}  // namespace glowset
