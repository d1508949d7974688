#include "glowset/ui/platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace glowset {

QString qtFileFilter(const QString& filter) {
    const int bar = filter.indexOf('|');
    if (bar < 0) return filter.trimmed();
    QString description = filter.left(bar).trimmed();
    const QString pattern = filter.mid(bar + 1).trimmed();
    if (!description.contains('(')) description += " (" + pattern + ")";
    return description;
}

void QtDialogs::message(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon,
                    title.isEmpty() ? QApplication::applicationDisplayName() : title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

namespace {

// Both dialogs open in the folder a file was last chosen in.
const char* const kFolderKey = "dialogs/folder";

QString rememberFolder(const QString& path) {
    if (!path.isEmpty()) QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    return rememberFolder(QFileDialog::getOpenFileName(
        parent, {}, QSettings().value(kFolderKey).toString(), qtFileFilter(filter)));
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent, {}, QSettings().value(kFolderKey).toString(), qtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("led");  // a name typed without extension gets .led
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return rememberFolder(dialog.selectedFiles().first());
}

}  // namespace glowset
