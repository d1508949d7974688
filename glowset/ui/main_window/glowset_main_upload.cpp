// Upload to the sign: change detection, the queue of command lines paced by
// UploadTimer, Force Upload, the id-mode switch and the end of a
// factory-defaults upload.
#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/numbers.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/text_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace glowset {

WindowSettings GlowsetMain::readControls() const {
    WindowSettings w;
    for (int p = 0; p < 5; ++p) {
        const auto lists = priorityLists(p);
        for (int v = 0; v < kPriorityListCount; ++v)
            w.priorities[p].codes[v] = static_cast<int16_t>(lists[v]->currentIndex());
        w.priorities[p].timeoutText = TimeoutP[p]->text().toLatin1().toStdString();
    }
    for (int n = 0; n < 8; ++n) {
        w.capcodes[n] = Capcode0[n]->text().toLatin1().toStdString();
        w.linkPriorities[n] = static_cast<int16_t>(Pri0[n]->currentIndex());
    }
    w.userCommand = usercmd1->text().toLatin1().toStdString();
    w.autoId = static_cast<int16_t>(AutoID->checkState() == Qt::Checked            ? 1
                                    : AutoID->checkState() == Qt::PartiallyChecked ? 2
                                                                                   : 0);
    return w;
}

int GlowsetMain::getChangedRows() {
    const WindowSettings window = readControls();
    return glowset::getChangedRows(window, signCopy, flags);
}

bool GlowsetMain::textBoxesFitTheSign() {
    QString all = usercmd1->text();
    for (QLineEdit* box : Capcode0) all += box->text();
    for (QLineEdit* box : TimeoutP) all += box->text();
    return acceptForSign(all, "sent to the sign", this, platform_.dialogs);
}

void GlowsetMain::UploadAll_Click() {
    if (refuseWhileBusy()) return;
    if (!textBoxesFitTheSign()) return;  // nothing sent, every change still marked
    const WindowSettings window = readControls();
    for (int p = 0; p < 5; ++p) {
        const auto& c = window.priorities[p].codes;
        PriorityRecord record;
        record.font = c[0], record.style = c[1], record.colour = c[2], record.speed = c[3],
        record.alignment = c[4], record.pause = c[5], record.beep = c[6];
        record.timeout = window.priorities[p].timeoutText;
        uploadCommands[p] = priorityRecordCommand(p, record) + kCommandEnd;
    }
    uploadCommands[5] = idModeCommand(window.autoId == 1) + kCommandEnd;
    uploadCommands[6] = userCommandCommand(window.userCommand) + kCommandEnd;

    if (getChangedRows() == 0) showStatus("Nothing to Upload");
    ProgressUploadAll->setMaximum(1 + 20 * flags.setCount());

    if (const auto error = openSelectedPort()) {
        reportOpenFailure(*error);
        return;
    }
    exchange_ = Exchange::Upload;
    sentThisUpload_ = {};
    UploadTimer->setEnabled(true);
    DownloadAll->setEnabled(false);
    UploadAll->setEnabled(false);
    UploadAll->setText("Writing...");
    ProgressUploadAll->setValue(0);
    ProgressUploadAll->show();
}

void GlowsetMain::ForceUpload_Click() {
    if (refuseWhileBusy()) return;
    flags.setAll();
    UploadAll_Click();
}

void GlowsetMain::UploadTimer_Timer() {
    const int maximum = ProgressUploadAll->maximum();
    const int value = ProgressUploadAll->value();
    if (maximum > 1 && maximum > value) {
        ProgressUploadAll->setValue(std::min(value + 20, maximum));
    } else if (maximum > 1) {
        ProgressUploadAll->hide();
    }

    // One record, the id mode or the user command, in this order.
    for (int p = 0; p < 5; ++p) {
        if (flags.priorityChanged[p]) {
            flags.priorityChanged[p] = false;
            sentThisUpload_.priorityChanged[p] = true;
            send(uploadCommands[p]);
            return;
        }
    }
    if (flags.idModeChanged) {
        flags.idModeChanged = false;
        sentThisUpload_.idModeChanged = true;
        send(uploadCommands[5]);
        return;
    }
    if (flags.userCommandChanged) {
        flags.userCommandChanged = false;
        sentThisUpload_.userCommandChanged = true;
        send(uploadCommands[6]);
        return;
    }

    // Otherwise one link: an optional clear line and a set line 150 ms apart.
    linkClearCommand.clear();
    linkSetCommand.clear();
    for (int n = 0; n < 8; ++n) {
        if (!flags.linkChanged[n]) continue;
        flags.linkChanged[n] = false;
        sentThisUpload_.linkChanged[n] = true;
        const std::string capcodes = Capcode0[n]->text().toLatin1().toStdString();
        if (leadingNumber(capcodes) == 0) {
            Capcode0[n]->clear();
            Pri0[n]->setCurrentIndex(-1);
            Pri0[n]->setEditText("");
            linkSetCommand = glowset::linkClearCommand(n) + kCommandEnd;
        } else {
            linkClearCommand = glowset::linkClearCommand(n) + kCommandEnd;
            if (Pri0[n]->currentIndex() == -1) Pri0[n]->setCurrentIndex(0);
            linkSetCommand =
                glowset::linkSetCommand(n, capcodes, Pri0[n]->currentIndex()) + kCommandEnd;
        }
        if (!linkClearCommand.empty()) send(linkClearCommand);
        Sleep(15);
        // The port may have failed meanwhile, or the window closed.
        if (exchange_ == Exchange::Upload && !linkSetCommand.empty()) send(linkSetCommand);
        return;
    }

    // Nothing left: the upload ends.
    if (MSComm2->isOpen()) MSComm2->close();
    exchange_ = Exchange::None;
    UploadTimer->setEnabled(false);
    UploadFactoryDef->setEnabled(true);
    DownloadAll->setEnabled(true);
    UploadAll->setEnabled(true);
    UploadAll->setText("Upload to Sign");
    ProgressUploadAll->hide();
}

void GlowsetMain::AutoID_MouseDown() {
    if (refuseWhileBusy()) return;
    if (const auto error = openSelectedPort()) {
        reportOpenFailure(*error);
        return;
    }
    exchange_ = Exchange::IdSwitch;
    if (AutoID->checkState() == Qt::Checked) {
        AutoID->setCheckState(Qt::Unchecked);
        send(idModeCommand(false) + kCommandEnd);
    } else {
        AutoID->setCheckState(Qt::Checked);
        send(idModeCommand(true) + kCommandEnd);
    }
    AutoID->setEnabled(false);
    DownloadAll->setEnabled(false);
    UploadAll->setEnabled(false);
    Sleep(20);
    if (MSComm2->isOpen()) MSComm2->close();
    exchange_ = Exchange::None;
    AutoID->setEnabled(true);
    DownloadAll->setEnabled(true);
    UploadAll->setEnabled(true);
}

void GlowsetMain::UploadFactoryDef_Click() {
    if (refuseWhileBusy()) return;
    if (hooks_.openFactoryDefaultsWindow) hooks_.openFactoryDefaultsWindow();
}

std::optional<std::string> GlowsetMain::startFactoryReset() {
    if (exchange_ != Exchange::None && exchange_ != Exchange::Download) {
        return portBusyText(ComportsList->currentIndex() + 1);
    }
    if (const auto error = openSelectedPort()) {
        return "COM" + std::to_string(MSComm2->portNumber()) + ": " + error->description;
    }
    exchange_ = Exchange::FactoryReset;
    UploadFactoryDef->setEnabled(false);
    DownloadAll->setEnabled(false);
    UploadAll->setEnabled(false);
    send(factoryDefaultsCommand() + kCommandEnd);
    if (MSComm2->isOpen()) FactoryDef->setEnabled(true);
    return std::nullopt;
}

void GlowsetMain::FactoryDef_Timer() {
    FactoryDef->setEnabled(false);
    if (MSComm2->isOpen()) MSComm2->close();
    exchange_ = Exchange::None;
    UploadFactoryDef->setEnabled(false);
    DownloadAll->setEnabled(false);
    UploadAll->setEnabled(false);
    startDownload();
    if (!MSComm2->isOpen()) {
        // The read-back could not open the port: give the buttons back
        // instead of leaving them disabled for good.
        UploadFactoryDef->setEnabled(true);
        DownloadAll->setEnabled(true);
        UploadAll->setEnabled(true);
    }
}

}  // namespace glowset
