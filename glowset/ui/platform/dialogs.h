// Message boxes and file dialogs, behind an interface so tests can script
// the operator's answers.
#pragma once

#include <QString>

class QWidget;

namespace glowset {

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A modal message with an OK button. An empty title shows the program's name.
    virtual void message(QWidget* parent, const QString& text, const QString& title = {}) = 0;
    // The file chosen in an open or save dialog; "" when cancelled. The
    // filter is written "Description | *.ext".
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
};

// "Text (*.led) | *.led" as Qt writes a file filter: "Text (*.led)".
QString qtFileFilter(const QString& filter);

class QtDialogs : public Dialogs {
  public:
    void message(QWidget* parent, const QString& text, const QString& title) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
};

}  // namespace glowset
