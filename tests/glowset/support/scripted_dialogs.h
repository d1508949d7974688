// Dialogs whose answers the test sets beforehand and whose messages it reads.
#pragma once

#include "glowset/ui/platform/dialogs.h"

#include <QString>

#include <deque>
#include <vector>

namespace glowset::testing {

class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        QString text;
        QString title;
    };
    void message(QWidget*, const QString& text, const QString& title) override {
        messages.push_back({text, title});
    }
    QString openFileName(QWidget*, const QString& filter) override { return next(filter); }
    QString saveFileName(QWidget*, const QString& filter) override { return next(filter); }

    std::deque<QString> fileAnswers;  // "" stands for a cancelled dialog
    std::vector<Shown> messages;
    std::vector<QString> filters;

  private:
    QString next(const QString& filter) {
        filters.push_back(filter);
        if (fileAnswers.empty()) return {};
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace glowset::testing
