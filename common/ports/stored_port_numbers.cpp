#include "common/ports/stored_port_numbers.h"

#include "common/ports/port_url.h"

#include <QSettings>

namespace ports {
// One file for both programs, whichever of them runs: the organisation's
// "ports" settings.
PortNumbers loadStoredPortNumbers() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Marquelle", "ports");
    PortNumbers numbers;
    const int count = settings.beginReadArray("devices");
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const std::string identity = settings.value("identity").toString().toStdString();
        bool ok = false;
        const int number = settings.value("number").toInt(&ok);
        // A damaged entry is dropped; its device gets a number again when seen.
        if (identity.empty() || !ok || number < 1) continue;
        bool taken = false;
        for (const auto& entry : numbers) taken = taken || entry.second == number;
        if (!taken) numbers.emplace(identity, number);
    }
    settings.endArray();
    return numbers;
}

PortUrls loadStoredPortUrls() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Marquelle", "ports");
    PortUrls urls;
    for (const QString& key : settings.childKeys()) {
        bool ok = false;
        const int number = key.toInt(&ok);
        const std::string value = settings.value(key).toString().toStdString();
        if (ok && number >= 1 && looksLikeUrl(value)) urls[number] = value;
    }
    return urls;
}

void storePortNumbers(const PortNumbers& numbers) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Marquelle", "ports");
    settings.remove("devices");
    settings.beginWriteArray("devices", static_cast<int>(numbers.size()));
    int i = 0;
    for (const auto& [identity, number] : numbers) {
        settings.setArrayIndex(i++);
        settings.setValue("identity", QString::fromStdString(identity));
        settings.setValue("number", number);
    }
    settings.endArray();
    settings.sync();
}

}  // namespace ports
