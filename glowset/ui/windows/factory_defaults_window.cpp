#include "glowset/ui/windows/factory_defaults_window.h"

#include "glowset/core/protocol/commands.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/default_message_window.h"
#include "glowset/ui/windows/test_message_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace glowset {

Warning::Warning(GlowsetMain& main, QWidget* parent) : QDialog(parent), main_(main) {
    setWindowTitle("Setup Factory Defaults");
    setModal(true);
    Label1 = new QLabel(
        "Loading Factory Defaults will delete all the settings currently stored. Do you wish to "
        "continue ?",
        this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Yes = new QPushButton("Yes", this);
    Yes->setObjectName("Yes");
    No = new QPushButton("No", this);
    No->setObjectName("No");
    No->setDefault(true);  // the harmless answer
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Yes);
    buttons->addWidget(No);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    connect(Yes, &QPushButton::clicked, this, [this] { Yes_Click(); });
    connect(No, &QPushButton::clicked, this, [this] { No_Click(); });
}

void Warning::Yes_Click() {
    if (const auto why = main_.startFactoryReset()) {
        // Nothing was sent: say why in the main window and leave the sign alone.
        main_.showStatus(QString::fromStdString("Factory defaults not sent: " + *why));
        reject();
        return;
    }
    accept();
}

void Warning::No_Click() {
    reject();
}

void addSecondaryWindows(MainWindowHooks& hooks, Platform& platform, GlowsetMain* const& main) {
    hooks.openDefaultMessageWindow = [&main, &platform] {
        GlowsetDefaultMessage window(platform, *main, main);
        window.exec();
    };
    hooks.openTestMessageWindow = [&main, &platform] {
        LEDTestMessage window(platform, *main, main);
        window.exec();
    };
    hooks.openFactoryDefaultsWindow = [&main] {
        Warning window(*main, main);
        window.exec();
    };
}

}  // namespace glowset
