// The display parameter lists both message windows show under their editor,
// each under its caption: font, colour, style, alignment, speed, pause and,
// in the test message window, beep. A list's row is the code sent to the
// sign; no row (-1) means nothing was chosen.
#pragma once

#include "glowset/core/options/option_sets.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class QGridLayout;
class QLabel;
class QListWidget;
class QWidget;

namespace glowset {

enum class Parameter { Font, Colour, Style, Alignment, Speed, Pause, Beep };

// The six parameters a default message record carries, in its order.
inline constexpr std::array<Parameter, 6> kRecordOrder = {Parameter::Font,      Parameter::Style,
                                                          Parameter::Colour,    Parameter::Speed,
                                                          Parameter::Alignment, Parameter::Pause};

class ParameterPanel {
  public:
    enum class WithBeep { No, Yes };
    // Makes the captions and lists as children of `window`, each list at
    // least `listHeight` high.
    ParameterPanel(QWidget* window, int listHeight, WithBeep beep);

    // Captions in grid row `row`, lists in the row below, one column each.
    void placeIn(QGridLayout& grid, int row) const;
    // Replaces a list's entries without reporting a choice.
    void fill(Parameter, const OptionList& entries);
    // The lists a model cannot set stay visible but take no choice.
    void setSpeedAndAlignmentEnabled(bool enabled);

    QListWidget* list(Parameter) const;
    QLabel* caption(Parameter) const;
    int row(Parameter) const;
    // Chooses a row; one the list does not have leaves the choice as it is.
    void select(Parameter, int row);
    // The same, without telling `chosen`.
    void selectQuietly(Parameter, int row);
    // Rows given in a default message record's order (kRecordOrder).
    void selectInRecordOrder(const std::array<int16_t, 6>& rows, bool quietly);

    // How a message's text is aligned in the editor for the chosen alignment.
    Qt::Alignment textAlignment() const;
    // Captions of the lists (not beep) with no choice, in the window's order.
    QStringList unchosen() const;
    bool hasEntries() const;

    // Called when the operator (or a program) chooses a row.
    std::function<void(Parameter)> chosen;

  private:
    static constexpr int kCount = 7;
    std::array<QLabel*, kCount> captions_{};
    std::array<QListWidget*, kCount> lists_{};
};

}  // namespace glowset
