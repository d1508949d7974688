#include "tests/support/window_snapshot.h"

#include "tests/support/accessible_names.h"
#include "tests/support/window_layout.h"

#include <QtWidgets>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {
namespace {

QString oneLine(QString text) {
    return text.replace("\r", "\\r").replace("\n", "\\n");
}

// A rich editor's text: each block's alignment, each run's colour, font and marks.
QString previewOf(const QTextDocument& document) {
    QString out = "\"" + document.toPlainText() + "\"";
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += "\n  |";
        const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignRight) out += "right|";
        if (align & Qt::AlignHCenter) out += "centre|";
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextFragment f = run.fragment();
            const QTextCharFormat c = f.charFormat();
            out +=
                QString("{%1 %2 %3%4%5}%6")
                    .arg(c.foreground().color().name(), c.fontFamilies().toStringList().join(','))
                    .arg(c.fontPointSize())
                    .arg(c.fontUnderline() ? " underline" : "", c.fontItalic() ? " italic" : "",
                         f.text());
        }
    }
    return out;
}

QString valueOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        return "\"" + label->text() + "\"" + (label->wordWrap() ? " wraps" : "");
    }
    if (auto* field = qobject_cast<const QLineEdit*>(w)) {
        return "\"" + field->text() + "\"" + (field->isReadOnly() ? " read-only" : "");
    }
    if (auto* box = qobject_cast<const QCheckBox*>(w)) {
        return "\"" + box->text() + "\" " + QString::number(box->checkState()) +
               (box->isTristate() ? " of 3" : "");
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return "\"" + button->text() + "\"" +
               (button->isCheckable() ? (button->isChecked() ? " on" : " off") : "");
    }
    if (auto* list = qobject_cast<const QComboBox*>(w)) {
        // A chosen entry longer than the box must show its start.
        const bool end = list->currentIndex() >= 0 && list->lineEdit() &&
                         list->lineEdit()->cursorPosition() != 0;
        return QString("#%1 \"%2\" of %3%4")
            .arg(list->currentIndex())
            .arg(list->currentText())
            .arg(list->count())
            .arg(end ? " shows its end" : "");
    }
    if (auto* list = qobject_cast<const QListWidget*>(w)) {
        return QString("#%1 of %2").arg(list->currentRow()).arg(list->count());
    }
    if (auto* bar = qobject_cast<const QProgressBar*>(w)) {
        return QString("%1 of %2..%3%4")
            .arg(bar->value())
            .arg(bar->minimum())
            .arg(bar->maximum())
            .arg(bar->isTextVisible() ? " with text" : "");
    }
    if (auto* text = qobject_cast<const QTextEdit*>(w)) {
        const QTextCursor cursor = text->textCursor();
        return previewOf(*text->document()) +
               (cursor.hasSelection() ? "\n  selected \"" + cursor.selectedText() + "\"" : "");
    }
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w)) {
        return "\"" + text->toPlainText() + "\"";
    }
    return {};
}

}  // namespace

std::string describeControls(const QWidget& window, const Unstable& unstable) {
    QStringList lines;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") ||
            w->window() != &window ||
            std::find(unstable.leaveOut.begin(), unstable.leaveOut.end(), w->objectName()) !=
                unstable.leaveOut.end())
            continue;
        QString line = w->objectName() + " " + w->metaObject()->className();
        if (w->isHidden()) line += " hidden";
        if (!w->isEnabled()) line += " disabled";
        const QString value = valueOf(w);
        if (!value.isEmpty()) line += " " + value;
        if (!w->toolTip().isEmpty()) line += " tip \"" + w->toolTip() + "\"";
        // What a screen reader calls a list, a field or a button without a caption.
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        if (takesInput(const_cast<QWidget*>(w)) && (!button || button->text().isEmpty())) {
            line += " named \"" + spokenName(const_cast<QWidget*>(w)) + "\"";
        }
        if (const QFont f = w->font(), base = QApplication::font(w); f != base) {
            line += QString(" font %1%2pt%3")
                        .arg(f.pointSize() > base.pointSize() ? "+" : "")
                        .arg(f.pointSize() - base.pointSize())
                        .arg(f.bold() ? " bold" : "");
        }
        lines << oneLine(line);
    }
    lines.sort();
    lines.prepend("title \"" + oneLine(window.windowTitle()) + "\"");
    QString text = lines.join("\n") + "\n";
    for (const auto& [from, to] : unstable.replace) text.replace(from, to);
    return text.toStdString();
}

::testing::AssertionResult showsAsRecorded(const QWidget& window, const std::string& name,
                                           const Unstable& unstable) {
    // A control a screen reader cannot name, or one left out of the record
    // for want of an object name, is a fault: it is never written down.
    if (const auto unnamed = unnamedInputControls(window); !unnamed.empty()) {
        auto failure = ::testing::AssertionFailure() << name << " has controls without a name:";
        for (const auto& line : unnamed) failure << "\n  " << line;
        return failure;
    }
    const std::string text = describeControls(window, unstable);
    const std::string path = std::string(GOLDEN_DIR) + "/" + name + ".txt";
    if (std::getenv("MARQUELLE_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << text;
        return ::testing::AssertionSuccess();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ::testing::AssertionFailure()
               << path << " is missing; MARQUELLE_UPDATE_GOLDEN=1 writes it";
    }
    std::stringstream recorded;
    recorded << in.rdbuf();
    if (recorded.str() == text) return ::testing::AssertionSuccess();
    // The lines that differ, recorded first.
    std::istringstream was(recorded.str()), now(text);
    std::vector<std::string> before, after;
    for (std::string l; std::getline(was, l);) before.push_back(l);
    for (std::string l; std::getline(now, l);) after.push_back(l);
    auto failure = ::testing::AssertionFailure() << name << " shows otherwise:";
    for (const auto& l : before)
        if (std::find(after.begin(), after.end(), l) == after.end()) failure << "\n- " << l;
    for (const auto& l : after)
        if (std::find(before.begin(), before.end(), l) == before.end()) failure << "\n+ " << l;
    return failure;
}

}  // namespace testsupport
