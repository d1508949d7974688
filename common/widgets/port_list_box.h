// A port list whose entries' tool tips are brought up to date each time it
// opens: adapters come and go while a program runs.
#pragma once

#include <QComboBox>

#include <functional>

namespace widgets {

class PortListBox : public QComboBox {
  public:
    using QComboBox::QComboBox;
    // Sets the tool tip of every entry; called now and before each opening.
    void setDescriber(std::function<QString(const QString& entry)> describe) {
        describe_ = std::move(describe);
        refreshToolTips();
    }
    void refreshToolTips() {
        if (!describe_) return;
        for (int i = 0; i < count(); ++i) setItemData(i, describe_(itemText(i)), Qt::ToolTipRole);
    }
    void showPopup() override {
        refreshToolTips();
        QComboBox::showPopup();
    }

  private:
    std::function<QString(const QString&)> describe_;
};

}  // namespace widgets
