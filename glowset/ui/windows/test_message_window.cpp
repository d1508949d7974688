#include "glowset/ui/windows/test_message_window.h"

#include "common/widgets/screen_reader_names.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/default_message_record.h"
#include "glowset/core/protocol/numbers.h"
#include "glowset/core/protocol/settings_line.h"
#include "glowset/core/text/message_text.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/text_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace glowset {
namespace {

// The seven lists in the order the main window keeps a priority's fields.
constexpr std::array<std::pair<Parameter, int>, kPriorityListCount> kPriorityFields = {{
    {Parameter::Font, kFont},
    {Parameter::Colour, kColour},
    {Parameter::Style, kStyle},
    {Parameter::Alignment, kAlignment},
    {Parameter::Speed, kSpeed},
    {Parameter::Pause, kPause},
    {Parameter::Beep, kBeep},
}};

int priorityField(Parameter p) {
    for (const auto& [parameter, field] : kPriorityFields) {
        if (parameter == p) return field;
    }
    return -1;
}

QColor previewColour(int position) {
    if (position < 0 || position >= kInlineColourCount) return Qt::black;
    const Rgb& c = colourPreviewTable()[position];
    return QColor(c.red, c.green, c.blue);
}

}  // namespace

LEDTestMessage::LEDTestMessage(Platform& platform, GlowsetMain& main, QWidget* parent)
    : ExchangeWindow(platform, main, MessageWindow::TestMessage, parent) {
    setWindowTitle("Send Test Message");
    build();

    FillListsForModel(main_.LEDSignModelNumber);
    for (int id = 0; id < 8; ++id) MsgID->addItem(QString::number(id));  // the first is current
    for (const auto& entry : priorityList()) MsgPri->addItem(QString::fromStdString(entry));
    selectionMode = false;
    SaveSettings->setChecked(main_.getSaveSettingsTick() != 0);
    MsgPri->setCurrentIndex(0);
    MsgPri_Click();  // loads priority 0's settings
}

void LEDTestMessage::build() {
    QLabel* messageLabel = makeLabel("Label1", "Test Message");
    TimeFormatLabel = makeLabel("Label8", "Time Format");
    QLabel* idLabel = makeLabel("Label9", "ID");
    QLabel* priorityLabel = makeLabel("Label10", "Priority");
    QLabel* timeoutLabel = makeLabel("Label12", "Timeout");
    CommandLabel = makeLabel("Label13", "Command");
    ColorTextBox = new QTextEdit(this);
    ColorTextBox->setObjectName("ColorTextBox");
    ColorTextBox->setMinimumHeight(90);
    ColorTextBox->installEventFilter(this);
    Test = new QLineEdit(this);
    Test->setObjectName("Test");
    Test->setReadOnly(true);
    Test->setToolTip("Double-click to send this command again");
    Test->installEventFilter(this);
    defaultMessage = new QPlainTextEdit(this);
    defaultMessage->setObjectName("defaultMessage");
    defaultMessage->setMaximumHeight(50);
    parameters_ = std::make_unique<ParameterPanel>(this, 120, ParameterPanel::WithBeep::Yes);
    parameters_->list(Parameter::Font)->setMinimumWidth(180);
    QLabel* colourLabel = parameters_->caption(Parameter::Colour);
    colourLabel->setToolTip(
        "Double-click to switch between colouring the whole text and the selection");
    colourLabel->installEventFilter(this);
    MsgID = new QComboBox(this);
    MsgID->setObjectName("MsgID");
    MsgPri = new QComboBox(this);
    MsgPri->setObjectName("MsgPri");
    TimeFormat = new QComboBox(this);
    TimeFormat->setObjectName("TimeFormat");
    Timeout = new QLineEdit(this);
    Timeout->setObjectName("Timeout");
    SaveSettings = new QCheckBox("Save changes to Priority", this);
    SaveSettings->setObjectName("SaveSettings");
    InsertTime = makeButton("InsertTime", "Insert Time");
    SetTime = makeButton("SetTime", "Set LED Sign Time");
    Upload = makeButton("Upload", "Send Message to Sign");
    Download = makeButton("Download", "Download from Pager");
    Exit = makeButton("Exit", "Exit");

    auto* grid = new QGridLayout(this);
    grid->addWidget(messageLabel, 0, 0, 1, 7);
    grid->addWidget(ColorTextBox, 1, 0, 1, 7);
    parameters_->placeIn(*grid, 2);
    widgets::labelFor(messageLabel, ColorTextBox);
    widgets::labelFor(idLabel, MsgID);
    widgets::labelFor(priorityLabel, MsgPri);
    widgets::labelFor(timeoutLabel, Timeout);
    widgets::labelFor(TimeFormatLabel, TimeFormat);
    widgets::labelFor(CommandLabel, Test);
    widgets::nameForScreenReaders(defaultMessage, "Default message on the sign");
    grid->addWidget(idLabel, 4, 0);
    grid->addWidget(MsgID, 4, 1);
    grid->addWidget(priorityLabel, 4, 2);
    grid->addWidget(MsgPri, 4, 3);
    grid->addWidget(timeoutLabel, 4, 4);
    grid->addWidget(Timeout, 4, 5);
    grid->addWidget(SaveSettings, 4, 6);
    grid->addWidget(TimeFormatLabel, 5, 0);
    grid->addWidget(TimeFormat, 5, 1, 1, 2);
    grid->addWidget(InsertTime, 5, 3);
    grid->addWidget(SetTime, 5, 4, 1, 2);
    grid->addWidget(CommandLabel, 6, 0);
    grid->addWidget(Test, 6, 1, 1, 6);
    grid->addWidget(defaultMessage, 7, 0, 1, 7);
    grid->addWidget(Upload, 8, 0, 1, 2);
    grid->addWidget(Download, 8, 2, 1, 2);
    grid->addWidget(Exit, 8, 6);
    grid->addWidget(Ack, 9, 0, 1, 4);
    grid->addWidget(Progress, 9, 4, 1, 3);
    grid->addWidget(DateTime, 10, 0, 1, 7);

    parameters_->chosen = [this](Parameter p) { parameterChosen(p); };
    connect(Timeout, &QLineEdit::textChanged, this, [this] {
        if (SaveSettings->isChecked()) copyTimeoutToMainWindow();
        BuildTestCommand();
    });
    // What the operator types: characters with an 8-bit equivalent are
    // converted, and the typed characters (only they: a word coloured
    // before keeps its colour) take the current entries' look.
    connect(ColorTextBox->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                if (building_ || added <= 0) return;
                building_ = true;
                const int length = convertTypedRange(
                    ColorTextBox, position, added, [this](const QString& text) { showAck(text); });
                QTextCharFormat format;
                if (!selectionMode) applyFontPreview(format, parameters_->row(Parameter::Font));
                format.setForeground(previewColour(parameters_->row(Parameter::Colour)));
                QTextCursor typed(ColorTextBox->document());
                typed.setPosition(position);
                typed.setPosition(
                    std::min(position + length, ColorTextBox->document()->characterCount() - 1),
                    QTextCursor::KeepAnchor);
                typed.mergeCharFormat(format);
                ColorTextBox->mergeCurrentCharFormat(format);
                building_ = false;
            });
    connect(ColorTextBox, &QTextEdit::textChanged, this, [this] {
        if (!building_) BuildTestCommand();
    });
    connect(MsgPri, &QComboBox::activated, this, [this] { MsgPri_Click(); });
    connect(SaveSettings, &QCheckBox::clicked, this, [this] { SaveSettings_Click(); });
    connect(Upload, &QPushButton::clicked, this, [this] { Upload_Click(); });
    connect(Download, &QPushButton::clicked, this, [this] { Download_Click(); });
    connect(SetTime, &QPushButton::clicked, this, [this] { SetTime_Click(); });
    connect(InsertTime, &QPushButton::clicked, this, [this] { InsertTime_Click(); });
    connect(Exit, &QPushButton::clicked, this, [this] { reject(); });
}

bool LEDTestMessage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ColorTextBox && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & Qt::ShiftModifier)) {
            // The editor would turn Enter in an empty first paragraph into a
            // format reset; the operator wants a new line wherever the caret is.
            QTextCursor cursor = ColorTextBox->textCursor();
            cursor.insertBlock();
            ColorTextBox->setTextCursor(cursor);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == parameters_->caption(Parameter::Colour)) ColorLabel_DblClick();
        if (watched == Test) Test_DblClick();
    }
    return ExchangeWindow::eventFilter(watched, event);
}

void LEDTestMessage::FillListsForModel(const std::string& model) {
    const bool kl404 = model == kModelKL404;
    const OptionSet& set = optionSetForModel(model);
    parameters_->fill(Parameter::Font, set.font);
    parameters_->fill(Parameter::Colour, set.colour);
    parameters_->fill(Parameter::Style, set.style);
    parameters_->fill(Parameter::Alignment, set.alignment);
    parameters_->fill(Parameter::Speed, set.speed);
    parameters_->fill(Parameter::Pause, set.pause);
    parameters_->fill(Parameter::Beep, set.beep);
    parameters_->setSpeedAndAlignmentEnabled(set.speedAndAlignmentEnabled);
    TimeFormat->clear();
    if (!kl404) {
        for (const auto& f : timeFormats()) {
            TimeFormat->addItem(
                QString::fromLatin1(f.listText.data(), static_cast<int>(f.listText.size())));
        }
        TimeFormat->setCurrentIndex(0);
    }
    TimeFormat->setVisible(!kl404);
    TimeFormatLabel->setVisible(!kl404);
    InsertTime->setVisible(!kl404);
}

void LEDTestMessage::applyFontPreview(QTextCharFormat& format, int position) {
    if (position < 0 || position >= kInlineFontCount) return;
    const FontPreview& f = fontPreviewTable()[position];
    format.setFontFamilies(
        {QString::fromLatin1(f.typeface.data(), static_cast<int>(f.typeface.size()))});
    format.setFontPointSize(f.size);
    format.setFontUnderline(f.shade);
    format.setFontItalic(f.colourShade);
}

void LEDTestMessage::applyToEditor(const std::function<void(QTextCharFormat&)>& change) {
    QTextCharFormat format;
    change(format);
    building_ = true;
    QTextCursor cursor = ColorTextBox->textCursor();
    if (!selectionMode) cursor.select(QTextCursor::Document);
    if (cursor.hasSelection()) cursor.mergeCharFormat(format);
    if (!selectionMode) cursor.movePosition(QTextCursor::Start);
    ColorTextBox->setTextCursor(cursor);
    ColorTextBox->mergeCurrentCharFormat(format);  // what is typed next
    building_ = false;
}

void LEDTestMessage::parameterChosen(Parameter chosen) {
    if (SaveSettings->isChecked()) copyToMainWindow(chosen);
    if (chosen == Parameter::Font) {
        const int position = parameters_->row(Parameter::Font);
        applyToEditor([position](QTextCharFormat& f) { applyFontPreview(f, position); });
    } else if (chosen == Parameter::Colour) {
        const QColor colour = previewColour(parameters_->row(Parameter::Colour));
        applyToEditor([colour](QTextCharFormat& f) { f.setForeground(colour); });
    } else if (chosen == Parameter::Alignment) {
        building_ = true;
        QTextCursor cursor = ColorTextBox->textCursor();
        if (!selectionMode) ColorTextBox->selectAll();
        ColorTextBox->setAlignment(parameters_->textAlignment());
        ColorTextBox->setTextCursor(cursor);
        building_ = false;
    }
    BuildTestCommand();
}

void LEDTestMessage::copyToMainWindow(Parameter chosen) {
    const int p = MsgPri->currentIndex();
    if (p < 0 || p > 4) return;
    main_.setPriorityCode(p, priorityField(chosen), parameters_->row(chosen));
}

void LEDTestMessage::copyTimeoutToMainWindow() {
    const int p = MsgPri->currentIndex();
    if (p >= 0 && p <= 4) main_.setPriorityTimeout(p, Timeout->text());
}

void LEDTestMessage::MsgPri_Click() {
    const int p = MsgPri->currentIndex();
    if (p < 0 || p > 4) return;
    for (const auto& [parameter, field] : kPriorityFields) {
        parameters_->select(parameter, main_.priorityCode(p, field));
    }
    Timeout->setText(main_.priorityTimeout(p));
}

void LEDTestMessage::SaveSettings_Click() {
    main_.setSaveSettingsTick(SaveSettings->isChecked() ? 1 : 0);
}

void LEDTestMessage::ColorLabel_DblClick() {
    selectionMode = !selectionMode;
    parameters_->caption(Parameter::Colour)->setText(selectionMode ? "Color (selection)" : "Color");
}

std::vector<FormattedChar> LEDTestMessage::formattedText() const {
    std::vector<FormattedChar> chars;
    const auto toChar = [](QChar c) {
        // Shift+Enter and the other separators are line breaks too.
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\r' ||
            c == QChar(0x85)) {
            return '\n';
        }
        // Anything else beyond the code page is refused before sending;
        // until then the preview shows it as "?".
        return c.unicode() > 0xFF ? '?' : static_cast<char>(c.unicode());
    };
    for (QTextBlock block = ColorTextBox->document()->begin(); block.isValid();
         block = block.next()) {
        if (block != ColorTextBox->document()->begin()) {
            FormattedChar lineBreak = chars.empty() ? FormattedChar{} : chars.back();
            lineBreak.ch = '\n';
            chars.push_back(lineBreak);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            const QColor colour = format.foreground().color();
            FormattedChar c;
            c.typeface =
                (families.isEmpty() ? format.font().family() : families.first()).toStdString();
            c.size = qRound(format.fontPointSize());
            c.shade = format.fontUnderline();
            c.colourShade = format.fontItalic();
            c.colour = {colour.red(), colour.green(), colour.blue()};
            for (QChar ch : fragment.text()) {
                c.ch = toChar(ch);
                chars.push_back(c);
            }
        }
    }
    return chars;
}

std::string LEDTestMessage::BuildTestCommand() {
    const InlineText text = buildInlineText(formattedText());
    // The first font and colour travel in the header; the lists show them
    // without applying them to the editor again. A move counts as the
    // operator's choice for the priority the changes are saved to.
    const auto moveTo = [this](Parameter list, int row) {
        if (parameters_->row(list) == row) return;
        parameters_->selectQuietly(list, row);
        if (SaveSettings->isChecked()) copyToMainWindow(list);
    };
    if (text.headerFont) moveTo(Parameter::Font, *text.headerFont);
    if (text.headerColour) moveTo(Parameter::Colour, *text.headerColour);
    const auto row = [this](Parameter p) { return static_cast<int16_t>(parameters_->row(p)); };
    TestMessageParams p;
    p.id = static_cast<int16_t>(MsgID->currentIndex());
    p.font = row(Parameter::Font);
    p.style = row(Parameter::Style);
    p.colour = row(Parameter::Colour);
    p.alignment = row(Parameter::Alignment);
    p.beep = row(Parameter::Beep);
    p.pause = row(Parameter::Pause);
    p.speed = row(Parameter::Speed);
    p.timeout = Timeout->text().toLatin1().toStdString();
    const std::string command = testMessageCommand(p, text.text);
    Test->setText(QString::fromLatin1(command.data(), static_cast<int>(command.size())));
    return command;
}

void LEDTestMessage::sendCommand(const std::string& bytes, bool reading) {
    if (exchangeRunning()) return;  // one exchange at a time
    if (startExchange({{0, bytes}}, 500)) showExchangeRunning(!reading);
}

void LEDTestMessage::messageExchangeEnded() {
    showExchangeEnded("Send Message to Sign");
}

bool LEDTestMessage::textFitsTheSign() {
    return acceptForSign(ColorTextBox->toPlainText(), "sent to the sign", this, platform_.dialogs);
}

void LEDTestMessage::Upload_Click() {
    if (exchangeRunning() || !textFitsTheSign()) return;
    sendCommand(BuildTestCommand() + kCommandEnd, false);
}

void LEDTestMessage::Test_DblClick() {
    if (exchangeRunning() || !textFitsTheSign()) return;
    sendCommand(Test->text().toLatin1().toStdString() + kCommandEnd, false);
}

void LEDTestMessage::Download_Click() {
    sendCommand(downloadDefaultMessageCommand() + kCommandEnd, true);
}

void LEDTestMessage::SetTime_Click() {
    if (exchangeRunning()) return;
    sendCommand(clockCommandNow(), false);
    if (exchangeRunning()) SetTime->setEnabled(false);
}

void LEDTestMessage::InsertTime_Click() {
    const QString text = ColorTextBox->toPlainText() +
                         QString::fromStdString(placeholderFor(TimeFormat->currentIndex()));
    building_ = true;
    ColorTextBox->setPlainText(text);
    building_ = false;
    // One format for all of it: the fonts and colours mixed before are gone.
    const int font = parameters_->row(Parameter::Font);
    const QColor colour = previewColour(parameters_->row(Parameter::Colour));
    const bool mode = selectionMode;
    selectionMode = false;
    applyToEditor([&](QTextCharFormat& f) {
        applyFontPreview(f, font);
        f.setForeground(colour);
    });
    selectionMode = mode;
    ColorTextBox->moveCursor(QTextCursor::End);
    BuildTestCommand();
}

void LEDTestMessage::messageReply(const MessageReply& reply) {
    if (reply.kind == MessageReply::Kind::Done) {
        showAck("Upload Successfull");
    } else if (reply.kind == MessageReply::Kind::Refused) {
        showSignRefused();
    } else if (reply.kind == MessageReply::Kind::Record) {
        // Positions as they stand, in the record's order; the editor is left alone.
        parameters_->selectInRecordOrder(reply.record->numbers, true);
        const std::string display = storedToDisplay(reply.record->storedText);
        QString text = QString::fromLatin1(display.data(), static_cast<int>(display.size()));
        defaultMessage->setPlainText(text.replace("\r\n", "\n"));
    }
}

void LEDTestMessage::done(int result) {
    if (!closed_) {
        closed_ = true;
        closePort();
    }
    QDialog::done(result);
}

}  // namespace glowset
