// What an upload reads from the window: the controls as the change
// detection sees them, and whether their texts fit the sign.
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/windows/text_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

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

bool GlowsetMain::textBoxesFitTheSign() {
    QString all = usercmd1->text();
    for (QLineEdit* box : Capcode0) all += box->text();
    for (QLineEdit* box : TimeoutP) all += box->text();
    return acceptForSign(all, "sent to the sign", this, platform_.dialogs);
}

}  // namespace glowset
