#include "glowset/ui/windows/exchange_window.h"

#include "glowset/core/platform/local_time.h"
#include "glowset/core/protocol/commands.h"
#include "glowset/core/text/sign_clock.h"
#include "glowset/ui/main_window/glowset_main.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

namespace glowset {

ExchangeWindow::ExchangeWindow(Platform& platform, GlowsetMain& main, MessageWindow kind,
                               QWidget* parent)
    : QDialog(parent), platform_(platform), main_(main), session_(main.session()), kind_(kind) {
    setModal(true);
    currentTime = [] { return QDateTime::currentDateTime(); };
    Clock& clock = platform_.clock;
    ClockUpdate = clock.createTimer(1000);
    RemoveAck = clock.createTimer(5000);
    ProgressTimer = clock.createTimer(10);
    ClockUpdate->onTick = [this] { updateDateTime(); };
    RemoveAck->onTick = [this] {
        Ack->setText("");
        RemoveAck->setEnabled(false);
    };
    ProgressTimer->onTick = [this] {
        if (Progress->value() < 500) {
            Progress->setValue(Progress->value() + 25);
        } else {
            Progress->hide();
        }
    };
    Ack = new QLabel(this);
    Ack->setObjectName("Ack");
    Ack->setWordWrap(true);
    DateTime = new QLabel(this);
    DateTime->setObjectName("DateTime");
    DateTime->setToolTip("Set Computer Clock to change time");
    Progress = new QProgressBar(this);
    Progress->setObjectName("Progress");
    Progress->setRange(0, 500);
    Progress->setTextVisible(false);
    Progress->hide();
    updateDateTime();
    ClockUpdate->setEnabled(true);
}

ExchangeWindow::~ExchangeWindow() {
    closePort();
}

void ExchangeWindow::showAck(const QString& text) {
    Ack->setText(text);
    RemoveAck->setEnabled(false);
    RemoveAck->setEnabled(true);
}

void ExchangeWindow::showSignRefused() {
    showAck("The sign answered \"error\": it did not take the command");
}

void ExchangeWindow::HandleReply(const std::string& line) {
    messageReply(decodeMessageReply(kind_, line));
}

bool ExchangeWindow::startExchange(std::vector<std::pair<int, std::string>> lines, int holdMs) {
    const auto why = session_.startMessageExchange({kind_, std::move(lines), holdMs}, *this);
    if (why) showAck(QString::fromStdString(*why));
    return !why;
}

bool ExchangeWindow::exchangeRunning() const {
    return session_.messageExchangeRunning();
}

void ExchangeWindow::closePort() {
    session_.endMessageExchange();
}

QLabel* ExchangeWindow::makeLabel(const char* name, const char* caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    return label;
}

QPushButton* ExchangeWindow::makeButton(const char* name, const char* caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void ExchangeWindow::startProgress() {
    Progress->setValue(0);
    Progress->show();
    ProgressTimer->setEnabled(true);
}

void ExchangeWindow::showExchangeRunning(bool writing) {
    Download->setEnabled(false);
    Upload->setEnabled(false);
    if (writing) {
        Upload->setText("Writing...");
        RemoveAck->setEnabled(false);
    } else {
        Download->setText("Reading...");
    }
    startProgress();
}

void ExchangeWindow::showExchangeEnded(const QString& uploadCaption) {
    Download->setText("Download from Sign");
    Upload->setText(uploadCaption);
    Download->setEnabled(true);
    Upload->setEnabled(true);
    SetTime->setEnabled(true);
}

std::string ExchangeWindow::clockCommandNow() const {
    return clockCommand(localTimeOf(currentTime())) + kCommandEnd;
}

void ExchangeWindow::updateDateTime() {
    DateTime->setText(QLocale().toString(currentTime(), QLocale::LongFormat));
}

}  // namespace glowset
