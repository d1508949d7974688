// The main window: start-up, its controls' handlers, the status line, and
// the operations the other windows use.
#include "glowset/ui/main_window/glowset_main.h"

#include "common/widgets/port_list_box.h"
#include "glowset/core/options/option_sets.h"
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
    TextClear = platform_.clock.createTimer(5000);
    SessionView& view = *this;
    session_ = std::make_unique<SignSession>(platform_.clock, platform_.makeSerialPort, view);
    wireHandlers();

    // Start-up: the generic lists, then the search 400 ms after loading.
    fillStartUpLists();
    saveSettingsTick = 1;
    configFileName.clear();
    session_->searchSoon();
}

GlowsetMain::~GlowsetMain() {
    session_->stop();
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
    TextClear->onTick = [this] { TextClear_Timer(); };

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
                session_->markPriorityChanged(p);
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
    session_->stop();
    QMainWindow::closeEvent(event);
}

// ---- status, window size ----

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

// A message window opens the port itself: a pending download's close is
// not waited for.
void GlowsetMain::SetupDefaultMsg_Click() {
    if (session_->refuseWhileBusy()) return;
    session_->handOverPort();
    if (hooks_.openDefaultMessageWindow) hooks_.openDefaultMessageWindow();
}

void GlowsetMain::SendTestMsg_Click() {
    if (session_->refuseWhileBusy()) return;
    session_->handOverPort();
    if (hooks_.openTestMessageWindow) hooks_.openTestMessageWindow();
}

void GlowsetMain::DownloadAll_Click() {
    session_->download();
}

void GlowsetMain::UploadAll_Click() {
    if (session_->refuseWhileBusy()) return;
    if (!textBoxesFitTheSign()) return;  // nothing sent, every change still marked
    session_->upload();
}

void GlowsetMain::ForceUpload_Click() {
    if (session_->refuseWhileBusy()) return;
    session_->markAllChanged();
    UploadAll_Click();
}

void GlowsetMain::AutoID_MouseDown() {
    session_->switchIdMode();
}

void GlowsetMain::UploadFactoryDef_Click() {
    if (session_->refuseWhileBusy()) return;
    if (hooks_.openFactoryDefaultsWindow) hooks_.openFactoryDefaultsWindow();
}

std::optional<std::string> GlowsetMain::startFactoryReset() {
    return session_->startFactoryReset();
}

void GlowsetMain::HandleSignReply(const std::string& line) {
    session_->HandleSignReply(line);
}

int GlowsetMain::getChangedRows() {
    return session_->getChangedRows();
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

}  // namespace glowset
