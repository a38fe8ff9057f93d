#include "features/FunctionPort.h"

#include <algorithm>
#include <span>

#include "channels/ChannelListPlacement.h"
#include "features/KeyAssignment.h"
#include "model/FunctionPins.h"
#include "model/Layout.h"

namespace velora::port {

namespace {

constexpr std::array<int, kInputPins> kInputPinNames{521, 522, 523, 524, 525, 521, 522,
                                                     523, 524, 525, 521, 522, 521, 522};
constexpr std::array<int, pins::kOutputPins> kOutputPinNames{526, 527, 526, 527, 528, 529,
                                                             526, 527, 526, 527, 528, 529};

struct Prefix {
    int pin;
    int text;
};
constexpr std::array<Prefix, 4> kInputPrefixes{{{0, 519}, {5, 520}, {10, 462}, {12, 463}}};
constexpr std::array<Prefix, 4> kOutputPrefixes{{{0, 462}, {2, 519}, {6, 463}, {8, 520}}};

constexpr std::array<forms::FieldPage, kTabCount> kPages{{{516, {}}, {517, {}}}};

std::span<const PortFunction> functionsOf(int tab) {
    if (tab == kInputTab) return kInputFunctionList;
    return kOutputFunctionList;
}

const PortFunction& functionOrNone(int tab, int code) {
    auto list = functionsOf(tab);
    auto it =
        std::find_if(list.begin(), list.end(), [code](const PortFunction& f) { return f.code == code; });
    return it == list.end() ? list.front() : *it;
}

} // namespace

std::vector<int> pinRows(int tab, const ModelIdentification& id) {
    if (tab == kInputTab) return pins::inputPinRows(pins::portSetupOf(id));
    if (tab == kOutputTab) return pins::outputPinRows(pins::portSetupOf(id));
    return {};
}

int pinNameMessage(int tab, int pin) {
    if (pin < 0) return 0;
    if (tab == kInputTab) return pin < kInputPins ? kInputPinNames[std::size_t(pin)] : 0;
    return pin < int(kOutputPinNames.size()) ? kOutputPinNames[std::size_t(pin)] : 0;
}

std::optional<int> pinPrefixMessage(int tab, int pin) {
    std::span<const Prefix> prefixes =
        tab == kInputTab ? std::span<const Prefix>(kInputPrefixes) : std::span<const Prefix>(kOutputPrefixes);
    for (const Prefix& p : prefixes)
        if (p.pin == pin) return p.text;
    return std::nullopt;
}

// ---- The view -----------------------------------------------------------------------------------

std::span<const forms::FieldPage> FunctionPortArea::pages() const {
    return kPages;
}

ModelIdentification FunctionPortArea::id() const {
    return identificationOf(document().image());
}

int FunctionPortArea::pin(int tab, int row) const {
    auto rows = pinRows(tab, id());
    return (row >= 0 && row < int(rows.size())) ? rows[std::size_t(row)] : -1;
}

int FunctionPortArea::rowFunction(int tab, int pinValue) const {
    auto main = document().image().main();
    if (tab == kInputTab) return byteAt(main, layout::kFunctionPort + std::size_t(pinValue));
    for (int f = 0; f < kOutputFunctions; ++f)
        if (byteAt(main, layout::kFunctionPortPins + std::size_t(f)) == pinValue) return f;
    return kNone;
}

bool FunctionPortArea::functionHeldElsewhere(int tab, Byte code, int pinValue) const {
    // Only the pins the radio has count: a leftover on a pin that is gone must not lock a function out.
    auto pins = pinRows(tab, id());
    if (tab == kOutputTab) {
        int held = byteAt(document().image().main(), layout::kFunctionPortPins + code);
        return held != pinValue && std::find(pins.begin(), pins.end(), held) != pins.end();
    }
    for (int other : pins)
        if (other != pinValue && rowFunction(tab, other) == code) return true;
    return false;
}

std::string FunctionPortArea::pinPrefixText(int tab, int row) const {
    auto t = pinPrefixMessage(tab, pin(tab, row));
    return t ? text(*t) : std::string{};
}

std::string FunctionPortArea::pinNameText(int tab, int row) const {
    int p = pin(tab, row);
    return p < 0 ? std::string{} : text(pinNameMessage(tab, p));
}

int FunctionPortArea::gridRowCount(int page) const {
    return int(pinRows(page, id()).size());
}

int FunctionPortArea::gridRowId(int page, int row) const {
    return pin(page, row);
}

std::string FunctionPortArea::gridRowTitle(int page, int row) const {
    std::string prefix = pinPrefixText(page, row);
    std::string name = pinNameText(page, row);
    return prefix.empty() ? name : prefix + " " + name;
}

forms::FieldText FunctionPortArea::gridCellTextAt(int page, int row, int) const {
    int p = pin(page, row);
    if (p < 0) return {};
    int code = rowFunction(page, p);
    return {text(functionOrNone(page, code).text), code};
}

std::vector<forms::ValueItem> FunctionPortArea::gridChoicesAt(int page, int row, int) const {
    int p = pin(page, row);
    if (p < 0) return {};
    bool secondUnit = id().isDualBand();
    std::vector<forms::ValueItem> items;
    for (const PortFunction& f : functionsOf(page)) {
        if (f.code != kNone) {
            if (page == kInputTab && f.code == kInputFunctionSecondUnit && !secondUnit) continue;
            if (functionHeldElsewhere(page, f.code, p)) continue;
        }
        items.push_back({f.text, f.code});
    }
    return items;
}

forms::FieldEffects FunctionPortArea::commitGridChoice(int page, int row, int, int value) {
    int p = pin(page, row);
    auto items = gridChoicesAt(page, row, forms::kValueColumn);
    bool offered = std::any_of(items.begin(), items.end(),
                               [value](const forms::ValueItem& i) { return i.stored == value; });
    if (p < 0 || !offered) return {};
    auto main = document().image().main();
    if (page == kInputTab) {
        setByte(main, layout::kFunctionPort + std::size_t(p), Byte(value));
    } else {
        for (int f = 0; f < kOutputFunctions; ++f)
            if (byteAt(main, layout::kFunctionPortPins + std::size_t(f)) == p)
                setByte(main, layout::kFunctionPortPins + std::size_t(f), kNone);
        if (value != kNone) setByte(main, layout::kFunctionPortPins + std::size_t(value), Byte(p));
    }
    forms::FieldEffects fx;
    fx.refreshAll = true;
    fx.otherViews = forms::views::kChannelInfo | forms::views::kOptionalFeatures;
    return fx;
}

forms::FieldEffects FunctionPortArea::gridEditEnded(int) {
    keys::clearUnassignedReferences(document().image().main(), keys::headSetupOf(id()));
    forms::FieldEffects fx;
    fx.refreshAll = true;
    fx.otherViews = forms::views::kChannelInfo | forms::views::kOptionalFeatures;
    return fx;
}

int FunctionPortArea::gridCellHelpAt(int page, int row, int) const {
    int p = pin(page, row);
    return functionOrNone(page, p < 0 ? kNone : rowFunction(page, p)).help;
}

bool FunctionPortArea::mayClose(bool closingAll) {
    if (closingAll) return true;
    if (closeMessageUp_) return false;
    // The remote-select inputs form a binary channel number, so they must be taken in order.
    if (channels::remoteListSize(document()) >= 0) return true;
    closeMessageUp_ = true;
    boxes().warning(kTextInconsistent);
    closeMessageUp_ = false;
    return false;
}

} // namespace velora::port
