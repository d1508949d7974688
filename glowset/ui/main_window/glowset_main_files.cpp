// Settings files: File > Save and File > Open, and the text-file writer.
#include "glowset/core/settings/led_file.h"
#include "glowset/core/text/latin1.h"
#include "glowset/ui/main_window/glowset_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

namespace glowset {
namespace {

constexpr const char* kLedFilter = "Text (*.led) | *.led";

std::string bytes(const QString& text) {
    return text.toLatin1().toStdString();
}
// The reasons a control refuses a value from a file.
constexpr int kErrorNotAccepted = 380;
constexpr int kErrorFileMissing = 53;
constexpr int kErrorFileUnreadable = 75;

}  // namespace

bool GlowsetMain::SaveTextToFile(const QString& path, const std::string& text, bool overwrite) {
    const QByteArray data = QByteArray::fromStdString(text) + "\r\n";
    if (overwrite) {
        // The old file stays until the new one is completely on disk.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return false;
        if (file.write(data) != data.size()) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const bool written = file.write(data) == data.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void GlowsetMain::signSaveAs_Click() {
    const QString path = platform_.dialogs.saveFileName(this, kLedFilter);
    if (path.isEmpty()) return;
    LedSettings s;
    s.model = bytes(LEDSignModel->text());
    s.com = static_cast<int16_t>(ComportsList->currentIndex() + 1);
    const WindowSettings window = readControls();
    for (int p = 0; p < 5; ++p) {
        s.priorities[p].codes = window.priorities[p].codes;
        s.priorities[p].timeout = window.priorities[p].timeoutText;
    }
    for (int i = 0; i < 8; ++i) s.links[i] = {window.capcodes[i], window.linkPriorities[i]};
    s.defaultMessage = DefMsg;
    s.defaultCodes = {DefFont, DefColor, DefStyle, DefAlign, DefSpeed, DefPause};
    s.autoId = window.autoId;
    std::string text = writeLedFile(s);
    text.resize(text.size() - 2);  // the writer below ends the text with CR LF itself
    if (!SaveTextToFile(path, text, true)) platform_.dialogs.message(this, "Error Saving File");
}

void GlowsetMain::signOpenFile_Click() {
    const QString path = platform_.dialogs.openFileName(this, kLedFilter);
    if (!path.isEmpty()) {
        LoadSettingsFile(path);
        configFileName = path;
    }
    platform_.dialogs.message(this,
                              "It is Better to use Force Upload after opening up a file\r\n"
                              "It will make sure that all the settings are written to the Sign",
                              "Suggestion");
}

bool GlowsetMain::LoadSettingsFile(const QString& path) {
    const auto fail = [&](int number, const QString& description) {
        platform_.dialogs.message(
            this,
            QString("Error %1 opening file.\r\n%2").arg(QString::number(number), description));
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(file.exists() ? kErrorFileUnreadable : kErrorFileMissing,
                    path + ": " + file.errorString());
    }
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fail(kErrorFileUnreadable, path + ": " + file.errorString());
    }
    const LedReadResult result =
        readLedFile(std::string_view(contents.constData(), contents.size()));

    // Applies the lines in order; a value a control does not accept stops
    // here like a value that is not a number.
    std::optional<QString> refused;
    const auto select = [&](QComboBox* list, int position, const QString& what) {
        if (refused) return;
        if (!selectPosition(list, position)) {
            refused = QString("%1 has no position %2.").arg(what).arg(position);
        }
    };
    for (const LedApplication& application : result.applications) {
        if (const auto* a = std::get_if<led::ModelCaption>(&application)) {
            LEDSignModel->setText(latin1(a->text));
        } else if (const auto* a = std::get_if<led::PortPosition>(&application)) {
            select(ComportsList, a->position, "The port list");
        } else if (const auto* a = std::get_if<led::PriorityValues>(&application)) {
            const int p = a->priority;
            const auto lists = priorityLists(p);
            for (int v = 0; v < kPriorityListCount; ++v) {
                select(lists[v], a->values.codes[v], lists[v]->objectName());
            }
            if (!refused) TimeoutP[p]->setText(latin1(a->values.timeout));
        } else if (const auto* a = std::get_if<led::LinkCapcodes>(&application)) {
            Capcode0[a->link]->setText(latin1(a->text));
        } else if (const auto* a = std::get_if<led::LinkPriority>(&application)) {
            select(Pri0[a->link], a->position, QString("The priority list of ID %1").arg(a->link));
        } else if (const auto* a = std::get_if<led::LinkCleared>(&application)) {
            Capcode0[a->link]->clear();
            Pri0[a->link]->setCurrentIndex(-1);
            Pri0[a->link]->setEditText("");
        } else if (const auto* a = std::get_if<led::DefaultMessage>(&application)) {
            DefMsg = a->stored;
        } else if (const auto* a = std::get_if<led::DefaultCodeValue>(&application)) {
            int16_t* codes[] = {&DefFont, &DefColor, &DefStyle, &DefAlign, &DefSpeed, &DefPause};
            *codes[a->code] = a->value;
        } else if (const auto* a = std::get_if<led::AutoIdValue>(&application)) {
            if (a->value < 0 || a->value > 2) {
                refused = QString("\"AutoID:\" must be 0, 1 or 2, not %1.").arg(a->value);
            } else {
                AutoID->setTristate(a->value == 2 || AutoID->isTristate());
                AutoID->setCheckState(a->value == 2   ? Qt::PartiallyChecked
                                      : a->value == 1 ? Qt::Checked
                                                      : Qt::Unchecked);
            }
        }
        if (refused) return fail(kErrorNotAccepted, *refused);
    }
    if (result.error) return fail(result.error->number, latin1(result.error->description));

    showDefaultMessageToolTip();
    return true;
}

}  // namespace glowset
