#pragma once
// Which pins of the function port a radio has. Input pins carry a function byte each (at
// layout::kFunctionPort + pin); output pins are named by the pin byte of each output function. The
// first head and unit have their pins always, the second head's and second unit's pins exist only
// with that head or unit.
#include <vector>

#include "model/ModelCatalogue.h"

namespace velora::pins {

inline constexpr int kInputPins = 14;  // 0-4 unit 1, 5-9 unit 2, 10-11 head 1, 12-13 head 2
inline constexpr int kOutputPins = 12; // 0-1 head 1, 2-5 unit 1, 6-7 head 2, 8-11 unit 2

struct PortSetup {
    bool dualHead = false;
    bool dualBand = false;
};
PortSetup portSetupOf(const ModelIdentification& id);

// A pin beyond the port's numbers counts as one of the second unit (input: second head), so a
// stray pin byte goes with that hardware.
bool inputPinExists(int pin, PortSetup setup);
bool outputPinExists(int pin, PortSetup setup);

// The pins a radio has, in the order the function-port view lists them: the heads' pins first on
// the input side, the first head's output pins before the first unit's.
std::vector<int> inputPinRows(PortSetup setup);
std::vector<int> outputPinRows(PortSetup setup);

} // namespace velora::pins
