#include "model/FunctionPins.h"

#include <array>

namespace velora::pins {

namespace {

constexpr std::array<int, kInputPins> kInputRowOrder{10, 11, 12, 13, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr std::array<int, kOutputPins> kOutputRowOrder{0, 1, 6, 7, 2, 3, 4, 5, 8, 9, 10, 11};

template <typename Exists> std::vector<int> rowsOf(const auto& order, Exists exists) {
    std::vector<int> rows;
    for (int pin : order)
        if (exists(pin)) rows.push_back(pin);
    return rows;
}

} // namespace

PortSetup portSetupOf(const ModelIdentification& id) {
    return {id.isDualHead(), id.isDualBand()};
}

bool inputPinExists(int pin, PortSetup setup) {
    if (pin < 0) return false;
    if (pin < 5 || pin == 10 || pin == 11) return true;
    return pin < 10 ? setup.dualBand : setup.dualHead;
}

bool outputPinExists(int pin, PortSetup setup) {
    if (pin < 0) return false;
    if (pin < 6) return true;
    return pin < 8 ? setup.dualHead : setup.dualBand;
}

std::vector<int> inputPinRows(PortSetup setup) {
    return rowsOf(kInputRowOrder, [setup](int pin) { return inputPinExists(pin, setup); });
}

std::vector<int> outputPinRows(PortSetup setup) {
    return rowsOf(kOutputRowOrder, [setup](int pin) { return outputPinExists(pin, setup); });
}

} // namespace velora::pins
