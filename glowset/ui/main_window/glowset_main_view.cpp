// What the sign session reads from the main window and shows in it: the
// port list, the set-up controls, the buttons of each exchange step, the
// status line and the upload's progress bar.
#include "common/widgets/port_list_box.h"
#include "glowset/core/text/latin1.h"
#include "glowset/ui/main_window/glowset_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace glowset {

int GlowsetMain::selectedPort() const {
    return ComportsList->currentIndex() + 1;
}

void GlowsetMain::selectPort(int portNumber) {
    ComportsList->setCurrentIndex(portNumber - 1);
}

LinkBoxes GlowsetMain::linkBoxes(int id) const {
    return {Capcode0[id]->text().toLatin1().toStdString(), Pri0[id]->currentIndex()};
}

UploadProgress GlowsetMain::uploadProgress() const {
    return {ProgressUploadAll->value(), ProgressUploadAll->maximum()};
}

bool GlowsetMain::showsASign() const {
    return !LEDSignModel->text().isEmpty();
}

// The buttons of each exchange step, in one place.
void GlowsetMain::exchangeStep(ExchangeStep step) {
    const auto enable = [](std::initializer_list<QWidget*> controls, bool on) {
        for (QWidget* c : controls) c->setEnabled(on);
    };
    switch (step) {
        case ExchangeStep::DownloadStarted:
            DownloadAll->setEnabled(false);
            DownloadAll->setText("Reading...");
            break;
        case ExchangeStep::DownloadClosed:
            DownloadAll->setText("Download from Sign");
            enable({DownloadAll, UploadAll, UploadFactoryDef}, true);
            break;
        case ExchangeStep::PortHandedOver:
            DownloadAll->setText("Download from Sign");
            DownloadAll->setEnabled(true);
            break;
        case ExchangeStep::Stopped:
            DownloadAll->setText("Download from Sign");
            UploadAll->setText("Upload to Sign");
            enable({DownloadAll, UploadAll, UploadFactoryDef, AutoID}, true);
            break;
        case ExchangeStep::UploadStarted:
            enable({DownloadAll, UploadAll}, false);
            UploadAll->setText("Writing...");
            break;
        case ExchangeStep::UploadEnded:
            enable({UploadFactoryDef, DownloadAll, UploadAll}, true);
            UploadAll->setText("Upload to Sign");
            break;
        case ExchangeStep::IdSwitchStarted:
            enable({AutoID, DownloadAll, UploadAll}, false);
            break;
        case ExchangeStep::IdSwitchEnded:
            enable({AutoID, DownloadAll, UploadAll}, true);
            break;
        case ExchangeStep::FactoryResetStarted:
        case ExchangeStep::FactoryReadBack:
            enable({UploadFactoryDef, DownloadAll, UploadAll}, false);
            break;
        case ExchangeStep::FactoryReadBackFailed:
            enable({UploadFactoryDef, DownloadAll, UploadAll}, true);
            break;
    }
}

void GlowsetMain::showStatusText(const std::string& text) {
    showStatus(QString::fromStdString(text));
}

void GlowsetMain::repeatStatus() {
    showStatus(Textout->text());
}

void GlowsetMain::searchStarted() {
    Textout->show();
    if (hooks_.startPageLoad) hooks_.startPageLoad();
}

void GlowsetMain::searching(int portNumber) {
    Textout->setText(portNumber > 0 ? "Searching..." : "");
}

void GlowsetMain::searchEnded(bool) {
    Textout->setText("");
    if (hooks_.CheckWebVersion) hooks_.CheckWebVersion();
    if (closing_) return;
    if (hooks_.OfferNewVersion) hooks_.OfferNewVersion();
    Textout->hide();
    VersionCheckLabel->hide();
    if (!showsASign()) showStatusText(noSignAnsweredText());
}

void GlowsetMain::portUnavailable(int portNumber, const std::string& why) {
    const int index = portNumber - 1;
    if (index >= 0) {
        ComportsList->setItemText(
            index, QString("%1-%2").arg(portNumber).arg(QString::fromStdString(why)));
    }
}

void GlowsetMain::invalidPort(int portNumber) {
    platform_.dialogs.message(
        this, QString("Cannot Open Port:%1\r\nPlease Change Comport").arg(portNumber), " ");
}

void GlowsetMain::settingsRead(const SignReading& reading) {
    // Model and firmware count.
    LEDSignModel->setText(latin1(reading.typeText));
    const bool oldSign = !reading.firmwareCount.has_value();
    const QString count = oldSign ? QString("Not Available") : latin1(*reading.firmwareCount);
    const QString tip = oldSign ? QString("Firmware Count is available in version 3.9 and above")
                                : QString("Firmware Count");
    FCount->setToolTip(tip);
    FCountLabel->setToolTip(tip);
    if (FCount->text() != count) {
        FCount->setText(count);
        if (hooks_.FCount_Change) hooks_.FCount_Change();
    }
    if (!LEDSignModel->text().isEmpty()) ShowPriority_Click();
    LEDSignModelNumber = reading.model;
    LoadModelOptions(LEDSignModelNumber);

    // The five priorities: a value no entry stands for leaves its list as it is.
    for (int p = 0; p < 5; ++p) {
        const DecodedPriority& values = reading.priorities[p];
        const auto lists = priorityLists(p);
        for (int v = 0; v < kPriorityListCount; ++v) {
            if (values[v]) selectPosition(lists[v], *values[v]);
        }
        if (values[kTimeout]) TimeoutP[p]->setText(QString::number(*values[kTimeout]));
    }

    // Links.
    for (int n = 0; n < 8; ++n) {
        Pri0[n]->setCurrentIndex(-1);
        Pri0[n]->setEditText("");
    }
    for (int n = 0; n < 8; ++n) {
        Capcode0[n]->setText(latin1(reading.capcodes[n]));
        if (reading.linkPriorities[n]) selectPosition(Pri0[n], *reading.linkPriorities[n]);
    }

    // Id mode and user command.
    if (reading.automaticIds) {
        AutoID->setCheckState(*reading.automaticIds ? Qt::Checked : Qt::Unchecked);
        TestLabel->setText(*reading.automaticIds ? "Auto ID True" : "Auto ID False");
    }
    if (reading.userCommand) usercmd1->setText(latin1(*reading.userCommand));
}

void GlowsetMain::clearLink(int id) {
    Capcode0[id]->clear();
    Pri0[id]->setCurrentIndex(-1);
    Pri0[id]->setEditText("");
}

void GlowsetMain::setLinkPriority(int id, int position) {
    Pri0[id]->setCurrentIndex(position);
}

void GlowsetMain::showAutomaticIds(bool automatic) {
    AutoID->setCheckState(automatic ? Qt::Checked : Qt::Unchecked);
}

void GlowsetMain::setUploadMaximum(int maximum) {
    ProgressUploadAll->setMaximum(maximum);
}

void GlowsetMain::setUploadValue(int value) {
    ProgressUploadAll->setValue(value);
}

void GlowsetMain::showUploadProgress(bool shown) {
    ProgressUploadAll->setVisible(shown);
}

}  // namespace glowset
