#include "glowset/windows/default_message_window.h"

#include "common/widgets/screen_reader_names.h"
#include "glowset/link/glowset_main.h"
#include "glowset/options/option_sets.h"
#include "glowset/platform/latin1.h"
#include "glowset/protocol/commands.h"
#include "glowset/protocol/default_message_record.h"
#include "glowset/protocol/numbers.h"
#include "glowset/windows/message_text.h"
#include "glowset/windows/sign_clock.h"
#include "glowset/windows/text_guard.h"
#include "glowset/windows/typed_text.h"

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

void fill(QListWidget* list, const OptionList& entries) {
    const QSignalBlocker block(list);
    list->clear();
    for (const auto& entry : entries) list->addItem(QString::fromLatin1(entry.c_str()));
}

void selectRow(QListWidget* list, int row) {
    if (row >= -1 && row < list->count()) list->setCurrentRow(row);
}

}  // namespace

GlowsetDefaultMessage::GlowsetDefaultMessage(Platform& platform, GlowsetMain& main, QWidget* parent)
    : ExchangeWindow(platform, main, parent) {
    setWindowTitle("Setup Default Message");
    ComClose = platform_.clock.createTimer(50);
    ComClose->onTick = [this] { ComClose_Timer(); };
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
        Download_Click();
        // A port that could not be opened has said so in Ack already.
        if (MSComm1->isOpen()) showAck("Data downloaded successfully from LED Sign");
    }
    changed.fill(false);
}

void GlowsetDefaultMessage::build() {
    const char* captions[] = {"Default Message", "Font",  "Speed",       "Color", "Style",
                              "Alignment",       "Pause", "Time Format", "OR"};
    for (int i = 0; i < 9; ++i) {
        Labels[i] = new QLabel(captions[i], this);
        Labels[i]->setObjectName(QString("Label%1").arg(i + 1));
    }
    TimeFormatLabel = Labels[7];
    OrLabel = Labels[8];
    defaultMessage = new QTextEdit(this);
    defaultMessage->setObjectName("defaultMessage");
    defaultMessage->setAcceptRichText(false);
    defaultMessage->setMinimumHeight(90);
    guardTypedText(defaultMessage, [this](const QString& text) { showAck(text); });
    Test = new QLineEdit(this);
    Test->setObjectName("Test");
    Test->setReadOnly(true);
    fontList = makeList("fontList", 130);
    ColorList = makeList("ColorList", 130);
    StyleList = makeList("StyleList", 130);
    AlignmentList = makeList("AlignmentList", 130);
    SpeedList = makeList("SpeedList", 130);
    PauseList = makeList("PauseList", 130);
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
    grid->addWidget(Labels[0], 0, 0, 1, 6);
    grid->addWidget(defaultMessage, 1, 0, 1, 6);
    const auto columns = labelledLists();
    for (int c = 0; c < 6; ++c) {
        grid->addWidget(columns[c].first, 2, c);
        grid->addWidget(columns[c].second, 3, c);
        widgets::labelFor(columns[c].first, columns[c].second);
    }
    widgets::labelFor(Labels[0], defaultMessage);
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

    const std::array<QListWidget*, 6> lists = {fontList,      ColorList, StyleList,
                                               AlignmentList, SpeedList, PauseList};
    for (int i = 0; i < 6; ++i) {
        connect(lists[i], &QListWidget::currentRowChanged, this, [this, i] { changed[i] = true; });
    }
    connect(AlignmentList, &QListWidget::currentRowChanged, this, [this](int row) {
        const Qt::Alignment align = row == 1   ? Qt::AlignRight
                                    : row == 2 ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
        QTextCursor cursor = defaultMessage->textCursor();
        defaultMessage->selectAll();
        defaultMessage->setAlignment(align);
        defaultMessage->setTextCursor(cursor);
    });
    connect(TimeFormat, &QComboBox::currentIndexChanged, this, [this](int index) {
        changed[6] = true;
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
    fill(fontList, lists.font);
    fill(ColorList, lists.colour);
    fill(StyleList, lists.style);
    fill(AlignmentList, lists.alignment);
    fill(SpeedList, lists.speed);
    fill(PauseList, lists.pause);
    SpeedList->setEnabled(lists.speedAndAlignmentEnabled);
    AlignmentList->setEnabled(lists.speedAndAlignmentEnabled);
    // KL404's four fonts need a narrow list only.
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
    const std::array<QListWidget*, 6> lists = {fontList,      ColorList, StyleList,
                                               AlignmentList, SpeedList, PauseList};
    for (int i = 0; i < 6; ++i) {
        if (const auto n = wholeNumber(fields[2 + i])) selectRow(lists[i], static_cast<int>(*n));
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
    const int row = AlignmentList->currentRow();
    defaultMessage->selectAll();
    defaultMessage->setAlignment(row == 1   ? Qt::AlignRight
                                 : row == 2 ? Qt::AlignHCenter
                                            : Qt::AlignLeft);
    defaultMessage->moveCursor(QTextCursor::End);
}

bool GlowsetDefaultMessage::idleDisplayOn() const {
    return TimeDisplayStatus->text() == QString::fromLatin1(kIdleOnCaption.data());
}

bool GlowsetDefaultMessage::exchangeRunning() const {
    return MSComm1->isOpen();
}

std::array<int16_t, 6> GlowsetDefaultMessage::positions() const {
    return {static_cast<int16_t>(fontList->currentRow()),
            static_cast<int16_t>(ColorList->currentRow()),
            static_cast<int16_t>(StyleList->currentRow()),
            static_cast<int16_t>(AlignmentList->currentRow()),
            static_cast<int16_t>(SpeedList->currentRow()),
            static_cast<int16_t>(PauseList->currentRow())};
}

void GlowsetDefaultMessage::Sleep(int count) {
    sleepTicks(platform_.clock, count, [this] { return closed_; });
}

void GlowsetDefaultMessage::finishExchange(bool writing) {
    Download->setEnabled(false);
    Upload->setEnabled(false);
    if (writing) {
        Upload->setText("Writing...");
        RemoveAck->setEnabled(false);
    } else {
        Download->setText("Reading...");
    }
    closeCountdown = 10;
    ComClose->setEnabled(true);
    startProgress();
}

void GlowsetDefaultMessage::Upload_Click() {
    if (exchangeRunning()) return;
    if (!acceptForSign(defaultMessage->toPlainText(), "sent to the sign", this,
                       platform_.dialogs)) {
        return;
    }
    const std::string text = messageText();
    const auto p = positions();
    const bool anyChange = std::find(changed.begin(), changed.end(), true) != changed.end();
    // The message command and the idle display command carry the six
    // settings; without them the sign refuses the line, so nothing is sent.
    const bool settingsSent = (!text.empty() && !idleDisplayOn()) || (idleDisplayOn() && anyChange);
    if (settingsSent && std::find(p.begin(), p.end(), -1) != p.end()) {
        showAck(missingSettingsText());
        return;
    }
    Test->clear();
    const DefaultMessageParams params{p[0], p[1], p[2], p[3], p[4], p[5]};
    std::string command;
    if (text.empty()) {
        command = displayToWire(deleteDefaultMessageCommand());
    } else if (!idleDisplayOn()) {
        command = defaultMessageCommand(params, text);
    }
    Test->setText(latin1(command));
    if (!openPort()) return;
    send(command + kCommandEnd);
    if (idleDisplayOn() && anyChange) {
        const std::string idle =
            idleTimeDisplayCommand(params, static_cast<int16_t>(TimeFormat->currentIndex()));
        Test->setText(latin1(idle));
        Sleep(20);
        send(idle + kCommandEnd);
        Sleep(50);
        send(resetCommand() + kCommandEnd);
        Test->setText(Test->text() + " , RESET");
    }
    finishExchange(true);
}

std::array<std::pair<QLabel*, QListWidget*>, 6> GlowsetDefaultMessage::labelledLists() const {
    // The window's order: font, colour, style, alignment, speed, pause.
    return {{{Labels[1], fontList},
             {Labels[3], ColorList},
             {Labels[4], StyleList},
             {Labels[5], AlignmentList},
             {Labels[2], SpeedList},
             {Labels[6], PauseList}}};
}

QString GlowsetDefaultMessage::missingSettingsText() const {
    if (fontList->count() == 0) {
        const QString model = QString::fromStdString(main_.LEDSignModelNumber);
        return (model.isEmpty() ? QString("No sign has been read, so its default message settings")
                                : "The default message settings of sign model " + model) +
               " are not known to this program: nothing was sent";
    }
    // The lists with no entry chosen, by their captions.
    QStringList unchosen;
    for (const auto& [label, list] : labelledLists()) {
        if (list->currentRow() < 0) unchosen << label->text();
    }
    return "Choose the message's " + unchosen.join(", ") + " first: nothing was sent";
}

void GlowsetDefaultMessage::Download_Click() {
    if (exchangeRunning()) return;
    main_.DeleteConfigFileName();
    if (!openPort()) return;
    send(downloadDefaultMessageCommand() + kCommandEnd);
    Download->setEnabled(false);
    Upload->setEnabled(false);
    Download->setText("Reading...");
    Sleep(10);
    send(timeStatusCommand() + kCommandEnd);
    finishExchange(false);
}

void GlowsetDefaultMessage::SetTime_Click() {
    if (exchangeRunning()) return;
    if (!openPort()) return;
    send(clockCommandNow());
    SetTime->setEnabled(false);
    finishExchange(true);
}

void GlowsetDefaultMessage::TimeOnIdle_Click() {
    if (exchangeRunning()) return;
    if (!openPort()) return;
    if (!idleDisplayOn()) {
        fontList->setEnabled(false);
        send(idleSwitchCommand(true));
        closePort();
        if (!messageText().empty()) showAck(kRemoveMessage);
    } else {
        fontList->setEnabled(true);
        send(idleSwitchCommand(false));
        closePort();
    }
    Download_Click();  // reads the state back with TIME_STATUS
}

void GlowsetDefaultMessage::InsertTime_Click() {
    setMessageText(messageText() + placeholderFor(TimeFormat->currentIndex()));
}

void GlowsetDefaultMessage::ComClose_Timer() {
    if (closeCountdown >= 1) {
        --closeCountdown;
        return;
    }
    ComClose->setEnabled(false);
    if (MSComm1->isOpen()) {
        closePort();
        Download->setText("Download from Sign");
        Upload->setText("Upload to Sign");
        Download->setEnabled(true);
        Upload->setEnabled(true);
        SetTime->setEnabled(true);
    }
    const bool idleOff = !idleDisplayOn();
    fontList->setEnabled(idleOff);
    StyleList->setEnabled(idleOff);
    PauseList->setEnabled(idleOff);
}

void GlowsetDefaultMessage::HandleReply(const std::string& line) {
    if (line.empty()) return;
    if (containsIgnoreCase(line, "done")) {
        showAck(!messageText().empty() && idleDisplayOn() ? kRemoveMessage
                                                          : QString("Upload Successfull"));
        return;
    }
    if (equalsIgnoreCase(line, "error")) {
        showSignRefused();
        return;
    }
    if (line.rfind("TIME", 0) == 0) {
        if (const auto on = idleDisplayFromReply(line)) {
            TimeDisplayStatus->setText(
                QString::fromLatin1((*on ? kIdleOnCaption : kIdleOffCaption).data()));
        }
        return;
    }
    if (line.rfind("default", 0) == 0) {
        showAck("Default message uploaded successfully");
        return;
    }
    const auto record = parseDefaultMessageRecord(line);
    if (!record) return;
    const auto p = recordPositions(*record);
    // The record's order: font, style, colour, speed, alignment, pause.
    const std::array<QListWidget*, 6> lists = {fontList,  StyleList,     ColorList,
                                               SpeedList, AlignmentList, PauseList};
    for (int i = 0; i < 6; ++i) selectRow(lists[i], p[i]);
    setMessageText(storedToDisplay(record->storedText));
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
        const auto p = positions();
        main_.SaveDefaultMsg(messageText(), p[0], p[1], p[2], p[3], p[4], p[5]);
        main_.showDefaultMessageToolTip();
        ComClose->setEnabled(false);
        closePort();
    }
    QDialog::done(result);
}

}  // namespace glowset
