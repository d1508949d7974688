// The main window's serial link: start-up, port search, receive path,
// download request, reply handling and the status line.
#include "glowset/ui/main_window/glowset_main.h"

#include "common/widgets/port_list_box.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/replies.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/core/text/latin1.h"
#include "glowset/ui/windows/text_guard.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace glowset {
namespace {

void fillList(QComboBox* list, const OptionList& entries) {
    for (const auto& entry : entries) list->addItem(QString::fromLatin1(entry.c_str()));
    list->setCurrentIndex(-1);
}

}  // namespace

GlowsetMain::GlowsetMain(Platform& platform, MainWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent), platform_(platform), hooks_(std::move(hooks)) {
    setWindowTitle(kMainCaption);
    buildControls();
    buildMenus();
    MSComm2 = platform_.makeSerialPort();
    Clock& clock = platform_.clock;
    DataTimeout = clock.createTimer(10);
    SearchPort = clock.createTimer(400);
    FactoryDef = clock.createTimer(500);
    TextClear = clock.createTimer(5000);
    UploadTimer = clock.createTimer(500);
    ComClose = clock.createTimer(400);
    wireHandlers();

    // Start-up: the generic lists, then the search 400 ms after loading.
    fillStartUpLists();
    saveSettingsTick = 1;
    configFileName.clear();
    SearchPort->setEnabled(true);
}

GlowsetMain::~GlowsetMain() {
    SearchPort->setEnabled(false);
    if (MSComm2 && MSComm2->isOpen()) MSComm2->close();
}

std::array<QComboBox*, kPriorityListCount> GlowsetMain::priorityLists(int p) const {
    return {FontP[p], StyleP[p], ColorP[p], SpeedP[p], AlignmentP[p], PauseP[p], BeepP[p]};
}

void GlowsetMain::fillOptionLists(const OptionSet& set) {
    const auto entries = listsInRowOrder(set);
    for (int p = 0; p < kPriorityCount; ++p) {
        const auto lists = priorityLists(p);
        for (int v = 0; v < kPriorityListCount; ++v) fillList(lists[v], *entries[v]);
    }
}

int GlowsetMain::selectedPortNumber() const {
    return ComportsList->currentIndex() + 1;
}

int GlowsetMain::priorityCode(int p, int field) const {
    if (p < 0 || p >= kPriorityCount || field < 0 || field >= kPriorityListCount) return -1;
    return priorityLists(p)[field]->currentIndex();
}

void GlowsetMain::setPriorityCode(int p, int field, int position) {
    if (p < 0 || p >= kPriorityCount || field < 0 || field >= kPriorityListCount) return;
    selectPosition(priorityLists(p)[field], position);
}

QString GlowsetMain::priorityTimeout(int p) const {
    return p >= 0 && p < kPriorityCount ? TimeoutP[p]->text() : QString();
}

void GlowsetMain::setPriorityTimeout(int p, const QString& text) {
    if (p >= 0 && p < kPriorityCount) TimeoutP[p]->setText(text);
}

void GlowsetMain::showDefaultMessageToolTip() {
    SetupDefaultMsg->setToolTip(
        QString("Message:%1, Font:%2, Color:%3, Style:%4, Align:%5, Speed:%6, Pause:%7")
            .arg(latin1(DefMsg), QString::number(DefFont), QString::number(DefColor),
                 QString::number(DefStyle), QString::number(DefAlign), QString::number(DefSpeed),
                 QString::number(DefPause)));
}

QString GlowsetMain::signTypeText() const {
    return LEDSignModel->text();
}

QString GlowsetMain::buildNumberText() const {
    return FCount->text();
}

bool GlowsetMain::checksVersionAtStartUp() const {
    return checkAtStartUp->isChecked();
}

void GlowsetMain::fillStartUpLists() {
    fillOptionLists(genericOptionSet());
    const OptionList ports = portList();
    for (const auto& port : ports) ComportsList->addItem(QString::fromStdString(port));
    ComportsList->setDescriber([this](const QString& entry) {
        const int number = ComportsList->findText(entry) + 1;
        return QString::fromStdString(
            ports::describeSlot(ports::portSlot(number, platform_.ports)));
    });
    ComportsList->setCurrentIndex(0);
    for (int i = 0; i < 8; ++i) fillList(Pri0[i], priorityList());
}

void GlowsetMain::wireHandlers() {
    DataTimeout->onTick = [this] { DataTimeout_Timer(); };
    SearchPort->onTick = [this] { SearchPort_Timer(); };
    FactoryDef->onTick = [this] { FactoryDef_Timer(); };
    TextClear->onTick = [this] { TextClear_Timer(); };
    UploadTimer->onTick = [this] { UploadTimer_Timer(); };
    ComClose->onTick = [this] { ComClose_Timer(); };
    MSComm2->onReceive = [this] { MSComm2_OnComm(); };
    MSComm2->onFault = [this](const std::string& what) { portFault(what); };

    connect(DownloadAll, &QPushButton::clicked, this, [this] { DownloadAll_Click(); });
    connect(UploadAll, &QPushButton::clicked, this, [this] { UploadAll_Click(); });
    connect(ForceUpload, &QPushButton::clicked, this, [this] { ForceUpload_Click(); });
    connect(UploadFactoryDef, &QPushButton::clicked, this, [this] { UploadFactoryDef_Click(); });
    connect(SetupDefaultMsg, &QPushButton::clicked, this, [this] { SetupDefaultMsg_Click(); });
    connect(SendTestMsg, &QPushButton::clicked, this, [this] { SendTestMsg_Click(); });
    connect(ShowPriority, &QToolButton::clicked, this, [this] { ShowPriority_Click(); });
    connect(HidePriority, &QToolButton::clicked, this, [this] { HidePriority_Click(); });
    connect(ForceOnID0, &QCheckBox::clicked, this, [this] { ForceOnID0_Click(); });
    connect(signOpenFile, &QAction::triggered, this, [this] { signOpenFile_Click(); });
    connect(signSaveAs, &QAction::triggered, this, [this] { signSaveAs_Click(); });
    connect(signExit, &QAction::triggered, this, [this] { close(); });
    connect(signUpgrade, &QAction::triggered, this, [this] {
        if (hooks_.signUpgrade_Click) hooks_.signUpgrade_Click();
    });
    connect(signAbout, &QAction::triggered, this, [this] {
        if (hooks_.signAbout_Click) hooks_.signAbout_Click();
    });
    // Typing into the pause lists of priorities 0 and 1 marks them at once.
    for (int p : {0, 1}) {
        connect(PauseP[p], &QComboBox::editTextChanged, this, [this, p] {
            if (PauseP[p]->lineEdit() && PauseP[p]->lineEdit()->hasFocus()) {
                flags.priorityChanged[p] = true;
            }
        });
    }
    // Typed text that is not an entry leaves the list without a selection.
    const auto watchTyping = [this](QComboBox* list) {
        connect(list->lineEdit(), &QLineEdit::textEdited, this, [list](const QString& text) {
            if (list->currentIndex() >= 0 && list->itemText(list->currentIndex()) != text) {
                const QSignalBlocker block(list);
                list->setCurrentIndex(-1);
                list->setEditText(text);
            }
        });
    };
    for (int p = 0; p < kPriorityCount; ++p) {
        for (QComboBox* list : priorityLists(p)) watchTyping(list);
    }
    for (QComboBox* list : Pri0) watchTyping(list);
    // Text for the sign: typographic characters converted as typed.
    const ConversionNotice tell = [this](const QString& text) { showStatus(text); };
    guardTypedText(usercmd1, tell);
    for (QLineEdit* box : Capcode0) guardTypedText(box, tell);
    for (QLineEdit* box : TimeoutP) guardTypedText(box, tell);
    Image1->installEventFilter(this);
    // The id-mode switch acts on the press itself, so the check box must not
    // also toggle on its own.
    AutoID->installEventFilter(this);
}

bool GlowsetMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        if (hooks_.Image1_Click) hooks_.Image1_Click();
        return true;
    }
    // From the keyboard the picture is a link: Enter or Space follows it.
    if (watched == Image1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            if (hooks_.Image1_Click) hooks_.Image1_Click();
            return true;
        }
    }
    if (watched == AutoID) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                    AutoID_MouseDown();
                return true;
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                return true;
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
                    if (event->type() == QEvent::KeyPress &&
                        !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
                        AutoID_MouseDown();
                    }
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void GlowsetMain::closeEvent(QCloseEvent* event) {
    closing_ = true;
    SearchPort->setEnabled(false);
    UploadTimer->setEnabled(false);
    if (MSComm2->isOpen()) MSComm2->close();
    QMainWindow::closeEvent(event);
}

// ---- waits, status, window size ----

void GlowsetMain::Sleep(int count) {
    sleepTicks(platform_.clock, count, [this] { return closing_; });
}

void GlowsetMain::showStatus(const QString& text) {
    Textout->setText(text);
    Textout->show();
    TextClear->setEnabled(false);
    TextClear->setEnabled(true);
}

void GlowsetMain::TextClear_Timer() {
    Textout->setText("");
    Textout->hide();
    TextClear->setEnabled(false);
}

void GlowsetMain::ShowPriority_Click() {
    resize(width(), tw(kTallHeightTwips));
    ShowPriority->hide();
    HidePriority->show();
}

void GlowsetMain::HidePriority_Click() {
    resize(width(), tw(kShortHeightTwips));
    HidePriority->hide();
    ShowPriority->show();
}

void GlowsetMain::ForceOnID0_Click() {
    for (int i = 0; i < 8; ++i) {
        LabelID[i]->setText(QString("ID   %1").arg(ForceOnID0->isChecked() ? 0 : i));
    }
}

void GlowsetMain::handPortToMessageWindow() {
    if (MSComm2->isOpen()) MSComm2->close();
    ComClose->setEnabled(false);
    exchange_ = Exchange::None;
    DownloadAll->setText("Download from Sign");
    DownloadAll->setEnabled(true);
}

void GlowsetMain::SetupDefaultMsg_Click() {
    if (refuseWhileBusy()) return;
    handPortToMessageWindow();
    if (hooks_.openDefaultMessageWindow) hooks_.openDefaultMessageWindow();
}

void GlowsetMain::SendTestMsg_Click() {
    if (refuseWhileBusy()) return;
    handPortToMessageWindow();
    if (hooks_.openTestMessageWindow) hooks_.openTestMessageWindow();
}

// ---- other windows' operations ----

void GlowsetMain::SaveDefaultMsg(const std::string& message, int16_t font, int16_t colour,
                                 int16_t style, int16_t alignment, int16_t speed, int16_t pause) {
    DefMsg = message;
    DefFont = font;
    DefColor = colour;
    DefStyle = style;
    DefAlign = alignment;
    DefSpeed = speed;
    DefPause = pause;
}

std::string GlowsetMain::getDefaultMsg() const {
    std::string record = configFileName.toLocal8Bit().toStdString() + "," + DefMsg;
    for (int16_t code : {DefFont, DefColor, DefStyle, DefAlign, DefSpeed, DefPause}) {
        record += "," + std::to_string(code);
    }
    return record;
}

// ---- the port ----

std::optional<OpenError> GlowsetMain::openSelectedPort() {
    // A download whose close is still pending is over: close it rather than
    // fail on a port that is still open. Only this window's own port is
    // closed; another window's exchange makes the open fail as busy.
    if (MSComm2->isOpen()) MSComm2->close();
    ComClose->setEnabled(false);
    lines_.reset();  // every opening starts without a line begun
    MSComm2->setPortNumber(ComportsList->currentIndex() + 1);
    return MSComm2->open();
}

void GlowsetMain::send(const std::string& line) {
    MSComm2->write(line);  // a failed write reports itself through portFault
}

bool GlowsetMain::refuseWhileBusy() {
    if (exchange_ == Exchange::None || exchange_ == Exchange::Download) return false;
    showStatus(QString::fromStdString(portBusyText(ComportsList->currentIndex() + 1)));
    return true;
}

void GlowsetMain::endExchange() {
    exchange_ = Exchange::None;
    DownloadAll->setText("Download from Sign");
    DownloadAll->setEnabled(true);
    UploadAll->setText("Upload to Sign");
    UploadAll->setEnabled(true);
    UploadFactoryDef->setEnabled(true);
    AutoID->setEnabled(true);
    ProgressUploadAll->hide();
}

void GlowsetMain::portFault(const std::string& what) {
    const Exchange was = exchange_;
    awaitedAnswerPort_ = 0;  // the fault is what the status line says
    UploadTimer->setEnabled(false);
    ComClose->setEnabled(false);
    FactoryDef->setEnabled(false);
    if (MSComm2->isOpen()) MSComm2->close();
    if (was == Exchange::Upload) {
        // What was sent may not have left the adapter: all of it stays
        // marked for the next upload, with what was not sent yet.
        flags.add(sentThisUpload_);
        showStatus(QString::fromStdString("Upload stopped: " + what +
                                          "; the changes stay marked for the next upload"));
    } else {
        showStatus(QString::fromStdString(what));
    }
    if (was != Exchange::Search) endExchange();
}

void GlowsetMain::reportOpenFailure(const OpenError& error) {
    if (error.number == kErrorPortBusy) {
        // Another window's exchange holds the port: nothing was sent.
        showStatus(QString::fromStdString(error.description));
        return;
    }
    if (error.number == kErrorInvalidPortNumber) {
        platform_.dialogs.message(
            this,
            QString("Cannot Open Port:%1\r\nPlease Change Comport").arg(MSComm2->portNumber()),
            " ");
    }
}

// ---- port search ----

void GlowsetMain::SearchPort_Timer() {
    SearchPort->setEnabled(false);  // one pass only
    Textout->show();
    if (hooks_.startPageLoad) hooks_.startPageLoad();
    for (int i = 0; i < kPortCount; ++i) {
        Textout->setText("Searching...");
        ComportsList->setCurrentIndex(i);
        startDownload();
        exchange_ = Exchange::Search;
        Sleep(30);
        // A long settings line still arriving at 9600 baud is this port's
        // answer: wait for its end before moving on.
        for (int waited = 0; waited < kLongestLineMs / 10 && MSComm2->isOpen() && lines_.inLine() &&
                             LEDSignModel->text().isEmpty() && !closing_;
             ++waited) {
            Sleep(1);
        }
        if (!LEDSignModel->text().isEmpty() || closing_) break;
        if (i == kPortCount - 1) ComportsList->setCurrentIndex(0);
        Textout->setText("");
        Sleep(10);
    }
    exchange_ = MSComm2->isOpen() ? Exchange::Download : Exchange::None;
    if (closing_) return;  // no version check for a window on its way out
    Textout->setText("");
    if (hooks_.CheckWebVersion) hooks_.CheckWebVersion();
    if (closing_) return;
    if (hooks_.OfferNewVersion) hooks_.OfferNewVersion();
    Textout->hide();
    VersionCheckLabel->hide();
    if (LEDSignModel->text().isEmpty()) {
        showStatus(QString("No sign answered on COM 1 to COM %1: is it on, its cable in, its "
                           "port free?")
                       .arg(kPortCount));
    }
}

// ---- receive path ----

void GlowsetMain::MSComm2_OnComm() {
    while (MSComm2->inputCount() > 0) {
        const std::string c = MSComm2->read();
        if (c.empty()) break;
        lineTimeoutCount = 10;
        DataTimeout->setEnabled(true);
        if (auto line = lines_.add(c[0])) {
            DataTimeout->setEnabled(false);
            HandleSignReply(*line);
        }
    }
}

void GlowsetMain::DataTimeout_Timer() {
    if (lineTimeoutCount < 1) {
        DataTimeout->setEnabled(false);
        lines_.reset();
    } else {
        --lineTimeoutCount;
    }
}

// ---- download request ----

void GlowsetMain::DownloadAll_Click() {
    if (refuseWhileBusy()) return;
    startDownload();
    if (exchange_ == Exchange::Download) awaitedAnswerPort_ = MSComm2->portNumber();
}

void GlowsetMain::startDownload() {
    configFileName.clear();
    awaitedAnswerPort_ = 0;
    const int index = ComportsList->currentIndex();
    if (const auto error = openSelectedPort()) {
        if (index >= 0) {
            ComportsList->setItemText(index, QString("%1-%2").arg(index + 1).arg(
                                                 QString::fromStdString(error->description)));
        }
        return;
    }
    exchange_ = Exchange::Download;
    DownloadAll->setEnabled(false);
    DownloadAll->setText("Reading...");
    closeDelays_ = 0;
    send(downloadAllCommand() + kCommandEnd);
    if (MSComm2->isOpen()) ComClose->setEnabled(true);
}

void GlowsetMain::ComClose_Timer() {
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
        showStatus(QString("No answer from the sign on COM %1").arg(awaitedAnswerPort_));
        awaitedAnswerPort_ = 0;
    }
    DownloadAll->setText("Download from Sign");
    DownloadAll->setEnabled(true);
    UploadAll->setEnabled(true);
    UploadFactoryDef->setEnabled(true);
}

// ---- replies ----

void GlowsetMain::HandleSignReply(const std::string& line) {
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
    if (const auto status = statusTextForReply(reply, ProgressUploadAll->value())) {
        showStatus(latin1(*status));
    } else if (reply.secondWord == std::nullopt &&
               (reply.kind == ReplyKind::Default || reply.kind == ReplyKind::Linked)) {
        showStatus(Textout->text());  // no second word: the previous text again
    }
}

bool GlowsetMain::selectPosition(QComboBox* list, int position) {
    if (position < -1 || position >= list->count()) return false;
    list->setCurrentIndex(position);
    return true;
}

void GlowsetMain::LoadModelOptions(const std::string& model) {
    for (int p = 0; p < kPriorityCount; ++p) {
        for (QComboBox* list : priorityLists(p)) list->clear();
    }
    const OptionSet& set = optionSetForModel(model);
    layoutOptionLists(set);
    fillOptionLists(set);
}

void GlowsetMain::applySettingsLine(const std::string& text) {
    awaitedAnswerPort_ = 0;
    const SettingsLine line = parseSettingsLine(text);
    // Model and firmware count.
    const bool oldSign = !line.firmwareCount.has_value();
    LEDSignModel->setText(latin1(oldSign ? line.header : line.model));
    const QString count = oldSign ? QString("Not Available") : latin1(*line.firmwareCount);
    const QString tip = oldSign ? QString("Firmware Count is available in version 3.9 and above")
                                : QString("Firmware Count");
    FCount->setToolTip(tip);
    FCountLabel->setToolTip(tip);
    if (FCount->text() != count) {
        FCount->setText(count);
        if (hooks_.FCount_Change) hooks_.FCount_Change();
    }
    if (!LEDSignModel->text().isEmpty()) ShowPriority_Click();
    LEDSignModelNumber = line.model;
    LoadModelOptions(LEDSignModelNumber);

    // The five priorities.
    for (int p = 0; p < 5; ++p) {
        const DecodedPriority values = decodePriority(line, p);
        auto& stored = signCopy.priorities[p];
        const auto lists = priorityLists(p);
        for (int v = 0; v < kPriorityListCount; ++v) {
            if (!values[v]) continue;
            stored[v] = *values[v];
            selectPosition(lists[v], *values[v]);
        }
        if (values[kTimeout]) {
            stored[7] = *values[kTimeout];
            TimeoutP[p]->setText(QString::number(*values[kTimeout]));
        }
    }

    // Links: the entries of each id joined, the later priority winning.
    for (int n = 0; n < 8; ++n) {
        Pri0[n]->setCurrentIndex(-1);
        Pri0[n]->setEditText("");
    }
    mergeLinkEntries(linkEntries, line);
    const auto boxes = linkBoxesFrom(linkEntries);
    for (int n = 0; n < 8; ++n) {
        Capcode0[n]->setText(latin1(boxes[n].capcodes));
        // The copy follows the box for every id, so an id the sign no longer
        // links is not taken for a change on the next upload.
        signCopy.capcodes[n] = boxes[n].capcodes;
        if (boxes[n].priorityIndex && selectPosition(Pri0[n], *boxes[n].priorityIndex)) {
            signCopy.linkPriorities[n] = boxes[n].priorityText;
        }
    }

    // Id mode, change flags, user command.
    if (const auto automatic = idModeOf(line)) {
        AutoID->setCheckState(*automatic ? Qt::Checked : Qt::Unchecked);
        TestLabel->setText(*automatic ? "Auto ID True" : "Auto ID False");
        signCopy.idMode = *automatic ? 1 : 0;
    }
    flags.priorityChanged.fill(false);
    std::fill(flags.linkChanged.begin(), flags.linkChanged.begin() + 8, false);
    if (const auto command = userCommandOf(line)) {
        usercmd1->setText(latin1(*command));
        signCopy.userCommand = *command;
    }
}

}  // namespace glowset
