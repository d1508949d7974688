#include "glowset/ui/windows/default_message_window.h"

#include "common/widgets/screen_reader_names.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/default_message_record.h"
#include "glowset/core/protocol/numbers.h"
#include "glowset/core/text/latin1.h"
#include "glowset/core/text/message_text.h"
#include "glowset/core/text/sign_clock.h"
#include "glowset/core/text/typed_text.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/text_guard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

namespace glowset {
namespace {

const QString kRemoveMessage = "Remove message and Click \"Upload to Sign\" to display Time";

}  // namespace

GlowsetDefaultMessage::GlowsetDefaultMessage(Platform& platform, GlowsetMain& main, QWidget* parent)
    : ExchangeWindow(platform, main, MessageWindow::DefaultMessage, parent) {
    setWindowTitle("Setup Default Message");
    build();

    // Start-up.
    FillListsForModel(main_.LEDSignModelNumber);
    const int formats = timeFormatCountForModel(main_.signTypeText().toStdString());
    for (int code = 0; code < formats; ++code) {
        TimeFormat->addItem(
            QString::fromLatin1(timeFormats()[code].listText.data(),
                                static_cast<int>(timeFormats()[code].listText.size())));
    }
    Test->clear();
    TimeFormat->setCurrentIndex(0);  // puts "<hh:mm:ss>" into the message box
    if (!main_.IsDefMsgEmpty()) {
        loadFromMainWindow();
    } else {
        // A port that could not be opened has said so in Ack already.
        Download_Click();
        startUpRead_ = exchangeRunning();
    }
    parametersChanged_ = false;
}

void GlowsetDefaultMessage::build() {
    MessageLabel = makeLabel("Label1", "Default Message");
    TimeFormatLabel = makeLabel("Label8", "Time Format");
    OrLabel = makeLabel("Label9", "OR");
    defaultMessage = new QTextEdit(this);
    defaultMessage->setObjectName("defaultMessage");
    defaultMessage->setAcceptRichText(false);
    defaultMessage->setMinimumHeight(90);
    guardTypedText(defaultMessage, [this](const QString& text) { showAck(text); });
    Test = new QLineEdit(this);
    Test->setObjectName("Test");
    Test->setReadOnly(true);
    parameters_ = std::make_unique<ParameterPanel>(this, 130, ParameterPanel::WithBeep::No);
    TimeFormat = new QComboBox(this);
    TimeFormat->setObjectName("TimeFormat");
    Upload = makeButton("Upload", "Upload to Sign");
    Download = makeButton("Download", "Download from Sign");
    SetTime = makeButton("SetTime", "Set LED Sign Time");
    TimeOnIdle = makeButton("TimeOnIdle", "Time Display on Idle");
    InsertTime = makeButton("InsertTime", "Insert Time");
    Exit = makeButton("Exit", "Exit");
    TimeDisplayStatus = new QLabel(QString::fromLatin1(kIdleOffCaption.data()), this);
    TimeDisplayStatus->setObjectName("TimeDisplayStatus");

    auto* grid = new QGridLayout(this);
    grid->addWidget(MessageLabel, 0, 0, 1, 6);
    grid->addWidget(defaultMessage, 1, 0, 1, 6);
    parameters_->placeIn(*grid, 2);
    widgets::labelFor(MessageLabel, defaultMessage);
    widgets::labelFor(TimeFormatLabel, TimeFormat);
    widgets::nameForScreenReaders(Test, "Command sent");
    grid->addWidget(TimeFormatLabel, 4, 0);
    grid->addWidget(TimeFormat, 4, 1);
    grid->addWidget(InsertTime, 4, 2);
    grid->addWidget(OrLabel, 4, 3, Qt::AlignCenter);
    grid->addWidget(TimeOnIdle, 4, 4);
    grid->addWidget(TimeDisplayStatus, 4, 5);
    grid->addWidget(Test, 5, 0, 1, 6);
    grid->addWidget(Upload, 6, 0, 1, 2);
    grid->addWidget(Download, 6, 2, 1, 2);
    grid->addWidget(SetTime, 6, 4);
    grid->addWidget(Exit, 6, 5);
    grid->addWidget(Ack, 7, 0, 1, 4);
    grid->addWidget(Progress, 7, 4, 1, 2);
    grid->addWidget(DateTime, 8, 0, 1, 6);

    parameters_->chosen = [this](Parameter p) {
        parametersChanged_ = true;
        if (p == Parameter::Alignment) {
            QTextCursor cursor = defaultMessage->textCursor();
            alignMessageText();
            defaultMessage->setTextCursor(cursor);
        }
    };
    connect(TimeFormat, &QComboBox::currentIndexChanged, this, [this](int index) {
        parametersChanged_ = true;
        if (index >= 0) setMessageText(placeholderFor(index));
    });
    connect(Upload, &QPushButton::clicked, this, [this] { Upload_Click(); });
    connect(Download, &QPushButton::clicked, this, [this] { Download_Click(); });
    connect(SetTime, &QPushButton::clicked, this, [this] { SetTime_Click(); });
    connect(TimeOnIdle, &QPushButton::clicked, this, [this] { TimeOnIdle_Click(); });
    connect(InsertTime, &QPushButton::clicked, this, [this] { InsertTime_Click(); });
    connect(Exit, &QPushButton::clicked, this, [this] { Exit_Click(); });
}

void GlowsetDefaultMessage::FillListsForModel(const std::string& model) {
    const DefaultMessageLists lists = defaultMessageListsForModel(model);
    parameters_->fill(Parameter::Font, lists.font);
    parameters_->fill(Parameter::Colour, lists.colour);
    parameters_->fill(Parameter::Style, lists.style);
    parameters_->fill(Parameter::Alignment, lists.alignment);
    parameters_->fill(Parameter::Speed, lists.speed);
    parameters_->fill(Parameter::Pause, lists.pause);
    parameters_->setSpeedAndAlignmentEnabled(lists.speedAndAlignmentEnabled);
    // KL404's four fonts need a narrow list only.
    QListWidget* fontList = parameters_->list(Parameter::Font);
    fontList->setMinimumWidth(model == kModelKL404 ? 0 : 180);
    fontList->setMaximumWidth(model == kModelKL404 ? 90 : QWIDGETSIZE_MAX);

    const bool kl404 = model == kModelKL404, rv = model == kModelRV2210, tb = model == kModelTB330;
    TimeFormat->setVisible(!tb);
    TimeFormatLabel->setVisible(!tb);
    InsertTime->setVisible(!kl404 && !tb);
    for (QWidget* w : std::initializer_list<QWidget*>{OrLabel, TimeOnIdle, TimeDisplayStatus}) {
        w->setVisible(!rv && !tb);
    }
}

void GlowsetDefaultMessage::loadFromMainWindow() {
    const std::string record = main_.getDefaultMsg();
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = record.find(',', start);
        fields.push_back(record.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (fields.size() != 8) return;  // a message holding "," cannot be told apart
    setMessageText(storedToDisplay(fields[1]));
    // The stored order: font, colour, style, alignment, speed, pause.
    constexpr std::array<Parameter, 6> kStoredOrder = {Parameter::Font,  Parameter::Colour,
                                                       Parameter::Style, Parameter::Alignment,
                                                       Parameter::Speed, Parameter::Pause};
    for (size_t i = 0; i < kStoredOrder.size(); ++i) {
        if (const auto n = wholeNumber(fields[2 + i])) {
            parameters_->select(kStoredOrder[i], static_cast<int>(*n));
        }
    }
    showAck("Getting data from File " + QString::fromLocal8Bit(fields[0].c_str()));
}

std::string GlowsetDefaultMessage::messageText() const {
    QString text = defaultMessage->toPlainText();
    text.replace('\n', "\r\n");
    return text.toLatin1().toStdString();
}

void GlowsetDefaultMessage::setMessageText(const std::string& crlfText) {
    QString text = latin1(crlfText);
    text.replace("\r\n", "\n");
    setTextUnchecked(defaultMessage, text);
    alignMessageText();
    defaultMessage->moveCursor(QTextCursor::End);
}

// The whole message takes the chosen alignment; the caret is left selecting it.
void GlowsetDefaultMessage::alignMessageText() {
    defaultMessage->selectAll();
    defaultMessage->setAlignment(parameters_->textAlignment());
}

bool GlowsetDefaultMessage::idleDisplayOn() const {
    return TimeDisplayStatus->text() == QString::fromLatin1(kIdleOnCaption.data());
}

DefaultMessageParams GlowsetDefaultMessage::chosenParams() const {
    const auto row = [this](Parameter p) { return static_cast<int16_t>(parameters_->row(p)); };
    return {.font = row(Parameter::Font),
            .colour = row(Parameter::Colour),
            .style = row(Parameter::Style),
            .alignment = row(Parameter::Alignment),
            .speed = row(Parameter::Speed),
            .pause = row(Parameter::Pause)};
}

// After an exchange's last line the port waits 550 ms for replies.
constexpr int kReplyWaitMs = 550;

void GlowsetDefaultMessage::messageLinesSent() {
    const Finish finish = std::exchange(finish_, Finish::Nothing);
    if (finish == Finish::WritingWithReset) Test->setText(Test->text() + " , RESET");
    if (finish != Finish::Nothing) showExchangeRunning(finish != Finish::Reading);
    if (std::exchange(startUpRead_, false)) {
        showAck("Data downloaded successfully from LED Sign");
        parametersChanged_ = false;  // what the sign's record chose is no change
    }
}

void GlowsetDefaultMessage::Upload_Click() {
    if (exchangeRunning()) return;
    if (!acceptForSign(defaultMessage->toPlainText(), "sent to the sign", this,
                       platform_.dialogs)) {
        return;
    }
    const std::string text = messageText();
    const bool anyChange = parametersChanged_;
    // The message command and the idle display command carry the six
    // settings; without them the sign refuses the line, so nothing is sent.
    const bool settingsSent = (!text.empty() && !idleDisplayOn()) || (idleDisplayOn() && anyChange);
    if (settingsSent && !parameters_->unchosen().isEmpty()) {
        showAck(missingSettingsText());
        return;
    }
    Test->clear();
    const DefaultMessageParams params = chosenParams();
    std::string command;
    if (text.empty()) {
        command = displayToWire(deleteDefaultMessageCommand());
    } else if (!idleDisplayOn()) {
        command = defaultMessageCommand(params, text);
    }
    Test->setText(latin1(command));
    // With the idle display on and a setting changed, the idle display
    // command and a reset follow, 200 and 500 ms apart.
    std::vector<std::pair<int, std::string>> lines = {{0, command + kCommandEnd}};
    const bool idleUpdate = idleDisplayOn() && anyChange;
    std::string idle;
    if (idleUpdate) {
        idle = idleTimeDisplayCommand(params, static_cast<int16_t>(TimeFormat->currentIndex()));
        lines.emplace_back(200, idle + kCommandEnd);
        lines.emplace_back(500, resetCommand() + kCommandEnd);
    }
    finish_ = idleUpdate ? Finish::WritingWithReset : Finish::Writing;
    if (!startExchange(lines, kReplyWaitMs)) {
        finish_ = Finish::Nothing;
        return;
    }
    // The command box shows the idle display command while it goes out.
    if (idleUpdate) Test->setText(latin1(idle));
}

QString GlowsetDefaultMessage::missingSettingsText() const {
    if (!parameters_->hasEntries()) {
        const QString model = QString::fromStdString(main_.LEDSignModelNumber);
        return (model.isEmpty() ? QString("No sign has been read, so its default message settings")
                                : "The default message settings of sign model " + model) +
               " are not known to this program: nothing was sent";
    }
    return "Choose the message's " + parameters_->unchosen().join(", ") +
           " first: nothing was sent";
}

void GlowsetDefaultMessage::Download_Click() {
    if (exchangeRunning()) return;
    main_.DeleteConfigFileName();
    // The idle display state is asked 100 ms after the message.
    finish_ = Finish::Reading;
    if (!startExchange({{0, downloadDefaultMessageCommand() + kCommandEnd},
                        {100, timeStatusCommand() + kCommandEnd}},
                       kReplyWaitMs)) {
        finish_ = Finish::Nothing;
        return;
    }
    Download->setEnabled(false);
    Upload->setEnabled(false);
    Download->setText("Reading...");
}

void GlowsetDefaultMessage::SetTime_Click() {
    if (exchangeRunning()) return;
    finish_ = Finish::Writing;
    if (!startExchange({{0, clockCommandNow()}}, kReplyWaitMs)) {
        finish_ = Finish::Nothing;
        return;
    }
    SetTime->setEnabled(false);
}

void GlowsetDefaultMessage::TimeOnIdle_Click() {
    if (exchangeRunning()) return;
    const bool switchOn = !idleDisplayOn();
    // The switch goes out alone and the port closes at once; the state is
    // then read back with TIME_STATUS.
    if (!startExchange({{0, idleSwitchCommand(switchOn)}}, 0)) return;
    parameters_->list(Parameter::Font)->setEnabled(!switchOn);
    if (switchOn && !messageText().empty()) showAck(kRemoveMessage);
    Download_Click();
}

void GlowsetDefaultMessage::InsertTime_Click() {
    setMessageText(messageText() + placeholderFor(TimeFormat->currentIndex()));
}

void GlowsetDefaultMessage::messageExchangeEnded() {
    showExchangeEnded("Upload to Sign");
    const bool idleOff = !idleDisplayOn();
    for (const Parameter p : {Parameter::Font, Parameter::Style, Parameter::Pause}) {
        parameters_->list(p)->setEnabled(idleOff);
    }
}

void GlowsetDefaultMessage::messageReply(const MessageReply& reply) {
    switch (reply.kind) {
        case MessageReply::Kind::None:
            break;
        case MessageReply::Kind::Done:
            showAck(!messageText().empty() && idleDisplayOn() ? kRemoveMessage
                                                              : QString("Upload Successfull"));
            break;
        case MessageReply::Kind::Refused:
            showSignRefused();
            break;
        case MessageReply::Kind::IdleDisplay:
            TimeDisplayStatus->setText(
                QString::fromLatin1((reply.idleOn ? kIdleOnCaption : kIdleOffCaption).data()));
            break;
        case MessageReply::Kind::DefaultStored:
            showAck("Default message uploaded successfully");
            break;
        case MessageReply::Kind::Record:
            parameters_->selectInRecordOrder(recordPositions(*reply.record), false);
            setMessageText(storedToDisplay(reply.record->storedText));
            break;
    }
}

void GlowsetDefaultMessage::Exit_Click() {
    reject();
}

// Every way of closing (Exit, the close box, Escape) ends here.
void GlowsetDefaultMessage::done(int result) {
    if (!closed_) {
        closed_ = true;
        // The message is kept for the settings file: characters that cannot
        // be stored there are left out, and the operator is told which.
        const QString refused = refusedCharacters(defaultMessage->toPlainText());
        if (!refused.isEmpty()) {
            platform_.dialogs.message(this,
                                      "These characters cannot be kept in the default message "
                                      "and were left out: " +
                                          refused,
                                      "Characters the sign cannot show");
            QString kept;
            for (const char32_t c : defaultMessage->toPlainText().toStdU32String()) {
                if (c == U'\n' || !refusedForSign(c)) kept += QString::fromUcs4(&c, 1);
            }
            defaultMessage->setPlainText(kept);
        }
        const DefaultMessageParams p = chosenParams();
        main_.SaveDefaultMsg(messageText(), p.font, p.colour, p.style, p.alignment, p.speed,
                             p.pause);
        main_.showDefaultMessageToolTip();
        closePort();
    }
    QDialog::done(result);
}

}  // namespace glowset
