#pragma once
// The function ports: which function each input pin serves (tab 0, a byte per pin) and to which
// output pin each output function is switched (tab 1, a byte per function). Each tab is a grid of
// the pins the radio has; a function sits on at most one pin. The view may not close while the
// remote-select inputs are assigned out of order.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "forms/FeatureArea.h"
#include "forms/GridArea.h"
#include "model/FunctionPins.h"
#include "model/ModelCatalogue.h"

namespace velora::port {

enum Tab { kInputTab = 0, kOutputTab = 1, kTabCount = 2 };

inline constexpr Byte kNone = 0xFF;
inline constexpr int kInputPins = pins::kInputPins;
inline constexpr int kOutputFunctions = 5; // functions 0-4, pin byte at layout::kFunctionPortPins + function
// Input function 9 switches between the radio units.
inline constexpr Byte kInputFunctionSecondUnit = 9;

struct PortFunction {
    int text;
    Byte code;
    int help;
};

inline constexpr std::array<PortFunction, 12> kInputFunctionList{{
    {530, kNone, 911},
    {531, 0, 912},
    {532, 1, 913},
    {533, 2, 914},
    {534, 3, 915},
    {535, 4, 916},
    {536, 5, 917},
    {537, 6, 918},
    {538, 7, 919},
    {539, 8, 929},
    {540, 9, 930},
    {541, 10, 931},
}};
inline constexpr std::array<PortFunction, 6> kOutputFunctionList{{
    {530, kNone, 941},
    {542, 0, 942},
    {543, 1, 943},
    {544, 2, 944},
    {545, 3, 945},
    {546, 4, 946},
}};

inline constexpr int kControlList = 1472;
inline constexpr int kTextFunctionColumn = 461;
inline constexpr int kTextInconsistent = 237;

// The pin values a tab lists, in row order, for the units and heads the radio has.
std::vector<int> pinRows(int tab, const ModelIdentification& id);
// The pin name message, and the group prefix message on the first pin of a group.
int pinNameMessage(int tab, int pin);
std::optional<int> pinPrefixMessage(int tab, int pin);

class FunctionPortArea : public forms::FeatureArea, public forms::GridArea {
  public:
    FunctionPortArea(Document& doc, MessageBoxes& boxes) : FeatureArea(doc, boxes) {}

    int titleText() const override { return 253; }
    int defaultHelp() const override { return 41; }
    // Two tabs without form fields; each tab's grid is the GridArea page of the same number.
    std::span<const forms::FieldPage> pages() const override;

    // Row texts for the grid and printing: the prefix is empty except on a group's first pin.
    std::string pinPrefixText(int tab, int row) const;
    std::string pinNameText(int tab, int row) const;

    int gridColumnTitleAt(int, int) const override { return kTextFunctionColumn; }
    int gridRowCount(int page) const override;
    int gridRowId(int page, int row) const override; // the pin value
    // Prefix, a blank and the pin name; the name alone without a prefix.
    std::string gridRowTitle(int page, int row) const override;
    // The assigned function, "none" when no known function is assigned.
    forms::FieldText gridCellTextAt(int page, int row, int col) const override;
    // None, the row's own function and every function no pin of the tab holds yet.
    std::vector<forms::ValueItem> gridChoicesAt(int page, int row, int col) const override;
    forms::FieldEffects commitGridChoice(int page, int row, int col, int value) override;
    // Clears the home and emergency group/channel when nothing uses them any more.
    forms::FieldEffects gridEditEnded(int page) override;
    int gridCellHelpAt(int page, int row, int col) const override;

    // Whether the view may close. While the remote-select inputs 0-3 on the radio's pins are not one
    // of {}, {0}, {0,1}, {0,1,2}, {0,1,2,3}, message 237 is shown and the view stays. Closing all
    // views at once skips the check; a close asked for while the message is up is refused silently.
    bool mayClose(bool closingAll = false);

  private:
    int pin(int tab, int row) const;
    int rowFunction(int tab, int pinValue) const; // function code on the pin, kNone for none
    bool functionHeldElsewhere(int tab, Byte code, int pinValue) const;
    ModelIdentification id() const;

    bool closeMessageUp_ = false;
};

} // namespace velora::port
