#include "glowset/ui/windows/parameter_panel.h"

#include "common/widgets/screen_reader_names.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

namespace glowset {
namespace {

struct Column {
    Parameter parameter;
    const char* caption;
    const char* captionName;
    const char* listName;
};

// The windows' column order; the object names are the ones both windows
// have always had, so what a test or a screen reader finds stays put.
constexpr std::array<Column, 7> kColumns = {{
    {Parameter::Font, "Font", "Label2", "fontList"},
    {Parameter::Colour, "Color", "Label4", "ColorList"},
    {Parameter::Style, "Style", "Label5", "StyleList"},
    {Parameter::Alignment, "Alignment", "Label6", "AlignmentList"},
    {Parameter::Speed, "Speed", "Label3", "SpeedList"},
    {Parameter::Pause, "Pause", "Label7", "PauseList"},
    {Parameter::Beep, "Beep", "Label11", "BeepList"},
}};

int indexOf(Parameter p) {
    return static_cast<int>(p);
}

}  // namespace

ParameterPanel::ParameterPanel(QWidget* window, int listHeight, WithBeep beep) {
    for (const Column& column : kColumns) {
        if (column.parameter == Parameter::Beep && beep == WithBeep::No) continue;
        auto* caption = new QLabel(column.caption, window);
        caption->setObjectName(column.captionName);
        auto* list = new QListWidget(window);
        list->setObjectName(column.listName);
        list->setMinimumHeight(listHeight);
        widgets::labelFor(caption, list);
        const Parameter parameter = column.parameter;
        QObject::connect(list, &QListWidget::currentRowChanged, list, [this, parameter] {
            if (chosen) chosen(parameter);
        });
        captions_[indexOf(parameter)] = caption;
        lists_[indexOf(parameter)] = list;
    }
}

void ParameterPanel::placeIn(QGridLayout& grid, int row) const {
    int gridColumn = 0;
    for (const Column& column : kColumns) {
        if (!lists_[indexOf(column.parameter)]) continue;
        grid.addWidget(caption(column.parameter), row, gridColumn);
        grid.addWidget(list(column.parameter), row + 1, gridColumn);
        ++gridColumn;
    }
}

void ParameterPanel::fill(Parameter p, const OptionList& entries) {
    QListWidget* l = list(p);
    const QSignalBlocker block(l);
    l->clear();
    for (const auto& entry : entries) l->addItem(QString::fromLatin1(entry.c_str()));
}

void ParameterPanel::setSpeedAndAlignmentEnabled(bool enabled) {
    list(Parameter::Speed)->setEnabled(enabled);
    list(Parameter::Alignment)->setEnabled(enabled);
}

QListWidget* ParameterPanel::list(Parameter p) const {
    return lists_[indexOf(p)];
}

QLabel* ParameterPanel::caption(Parameter p) const {
    return captions_[indexOf(p)];
}

int ParameterPanel::row(Parameter p) const {
    return list(p)->currentRow();
}

void ParameterPanel::select(Parameter p, int row) {
    if (row >= -1 && row < list(p)->count()) list(p)->setCurrentRow(row);
}

void ParameterPanel::selectQuietly(Parameter p, int row) {
    const QSignalBlocker block(list(p));
    select(p, row);
}

void ParameterPanel::selectInRecordOrder(const std::array<int16_t, 6>& rows, bool quietly) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (quietly) {
            selectQuietly(kRecordOrder[i], rows[i]);
        } else {
            select(kRecordOrder[i], rows[i]);
        }
    }
}

Qt::Alignment ParameterPanel::textAlignment() const {
    switch (row(Parameter::Alignment)) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

QStringList ParameterPanel::unchosen() const {
    QStringList captions;
    for (const Column& column : kColumns) {
        if (column.parameter != Parameter::Beep && row(column.parameter) < 0) {
            captions << caption(column.parameter)->text();
        }
    }
    return captions;
}

bool ParameterPanel::hasEntries() const {
    return list(Parameter::Font)->count() > 0;
}

}  // namespace glowset
