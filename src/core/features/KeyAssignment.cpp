#include "features/KeyAssignment.h"

#include <algorithm>

#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "forms/FieldRules.h"

namespace velora::keys {

namespace {

constexpr std::array<int, 13> kSecondTypeKeys{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
constexpr std::array<int, 7> kFirstTypeKeys{0, 1, 4, 5, 6, 7, 8};
constexpr int kUnknownHelp = 1;

using forms::FieldKind;
constexpr std::array<forms::FieldDescriptor, KeyAssignmentArea::kFieldCount> kHead1Fields{{
    {1020, 0, 0, 465, FieldKind::Frame},
    {1411, 1047, 0, 464, FieldKind::List, 0, forms::CharClass::Any, 0, false,
     forms::listAt(std::uint16_t(knobOffset(kHead1)), kKnobModes)},
}};
constexpr std::array<forms::FieldDescriptor, KeyAssignmentArea::kFieldCount> kHead2Fields{{
    {1020, 0, 0, 465, FieldKind::Frame},
    {1411, 1047, 0, 464, FieldKind::List, 0, forms::CharClass::Any, 0, false,
     forms::listAt(std::uint16_t(knobOffset(kHead2)), kKnobModes)},
}};
constexpr std::array<forms::FieldPage, kHeadCount> kPages{{{462, kHead1Fields}, {463, kHead2Fields}}};

bool offered(Offer offer, const ModelIdentification& id, bool extended, int head) {
    switch (offer) {
    case Offer::Always:
        return true;
    case Offer::SecondHead:
        return id.isDualHead();
    case Offer::SecondUnit:
        return id.isDualBand();
    case Offer::Extended:
        return extended;
    case Offer::Kind1Board:
        // Head 2 reaches unit 2's board even on a single-unit radio.
        return id.optionBoard(kModel1) == 1 ||
               (id.optionBoard(kModel2) == 1 && (id.isDualBand() || head == kHead2));
    }
    return false;
}

} // namespace

// ---- Functions ------------------------------------------------------------------------------------

const KeyFunction* keyFunction(Byte code) {
    auto it = std::find_if(kKeyFunctions.begin(), kKeyFunctions.end(),
                           [code](const KeyFunction& f) { return f.code == code; });
    return it == kKeyFunctions.end() ? nullptr : &*it;
}

std::optional<int> keyFunctionMessage(int code) {
    if (code < 0 || code > 0xFF) return std::nullopt;
    const KeyFunction* f = keyFunction(Byte(code));
    return f ? std::optional<int>(f->text) : std::nullopt;
}

int keyFunctionHelp(int code) {
    const KeyFunction* f = (code >= 0 && code <= 0xFF) ? keyFunction(Byte(code)) : nullptr;
    return f ? f->help : kUnknownHelp;
}

std::vector<forms::ValueItem> offeredKeyFunctions(const ModelIdentification& id, bool extended, int head) {
    std::vector<forms::ValueItem> items;
    for (const KeyFunction& f : kKeyFunctions)
        if (offered(f.offer, id, extended, head)) items.push_back({f.text, f.code});
    return items;
}

// ---- Keys and picture ---------------------------------------------------------------------------

std::span<const int> keyPositions(bool secondHeadType) {
    if (secondHeadType) return kSecondTypeKeys;
    return kFirstTypeKeys;
}

std::optional<int> knobModeMessage(int mode) {
    return forms::valueListText(kKnobModes, mode);
}

int knobModeHelp(int mode) {
    constexpr int kKnobHelp[] = {210, 211};
    return (mode == 0 || mode == 1) ? kKnobHelp[mode] : kUnknownHelp;
}

std::optional<KeyRect> keyRect(int position) {
    if (position < 0 || position >= int(kKeyRects.size())) return std::nullopt;
    return kKeyRects[std::size_t(position)];
}

// ---- Searches -----------------------------------------------------------------------------------

int resetKeysWithFunction(std::span<Byte> main, Byte code, const HeadSetup& heads, KeyScope scope) {
    int first = -1;
    int lastHead = (scope == KeyScope::BothTables || heads.dualHead) ? kHeadCount : 1;
    for (int h = 0; h < lastHead; ++h) {
        for (int p = 0; p < kKeysPerHead; ++p) {
            if (byteAt(main, keyOffset(h, p)) != code) continue;
            setByte(main, keyOffset(h, p), defaultFunction(p, heads.secondType[h]));
            if (first < 0) first = p;
        }
    }
    return first;
}

bool clearUnassignedReferences(std::span<Byte> main, const HeadSetup& heads) {
    bool changed = false;
    auto clearPair = [&](std::size_t at) {
        for (std::size_t i = at; i < at + 2; ++i) {
            if (byteAt(main, i) == chlayout::kUnset) continue;
            setByte(main, i, chlayout::kUnset);
            changed = true;
        }
    };
    if (!homeFunctionAssigned(main, heads)) clearPair(referenceOffset(ReferenceKind::Home));
    if (!emergencyFunctionAssigned(main)) clearPair(referenceOffset(ReferenceKind::Emergency));
    return changed;
}

// ---- The key view -------------------------------------------------------------------------------

std::span<const forms::FieldPage> KeyAssignmentArea::pages() const {
    return kPages;
}

bool KeyAssignmentArea::pageAvailable(int page) const {
    return page >= 0 && page < headCount();
}

ModelIdentification KeyAssignmentArea::id() const {
    return identificationOf(document().image());
}

int KeyAssignmentArea::headCount() const {
    return id().isDualHead() ? kHeadCount : 1;
}

bool KeyAssignmentArea::secondHeadType(int head) const {
    return id().headType(head) == 1;
}

Byte KeyAssignmentArea::knobByte(int head) const {
    return byteAt(document().image().main(), knobOffset(std::clamp(head, 0, kHeadCount - 1)));
}

std::string KeyAssignmentArea::keyFunctionText(int head, int position) const {
    if (head < 0 || head >= kHeadCount || position < 0 || position >= kKeysPerHead) return {};
    auto t = keyFunctionMessage(byteAt(document().image().main(), keyOffset(head, position)));
    return t ? text(*t) : std::string{};
}

std::string KeyAssignmentArea::knobText(int head) const {
    auto t = knobModeMessage(knobByte(head));
    return t ? text(*t) : std::string{};
}

int KeyAssignmentArea::rowPosition(int head, int row) const {
    if (head < 0 || head >= kHeadCount) return -1;
    auto keys = keyPositions(secondHeadType(head));
    return (row >= 0 && row < int(keys.size())) ? keys[std::size_t(row)] : -1;
}

std::vector<forms::ValueItem> KeyAssignmentArea::offeredFunctions(int head) const {
    return offeredKeyFunctions(id(), document().options().extended, head);
}

int KeyAssignmentArea::gridRowCount(int page) const {
    return pageAvailable(page) ? int(keyPositions(secondHeadType(page)).size()) : 0;
}

std::string KeyAssignmentArea::gridRowTitle(int page, int row) const {
    int p = rowPosition(page, row);
    return p < 0 ? std::string{} : keyNameText(p);
}

forms::FieldText KeyAssignmentArea::gridCellTextAt(int page, int row, int) const {
    int p = rowPosition(page, row);
    if (p < 0) return {};
    return {keyFunctionText(page, p), byteAt(document().image().main(), keyOffset(page, p))};
}

forms::FieldEffects KeyAssignmentArea::commitGridChoice(int page, int row, int, int value) {
    int p = rowPosition(page, row);
    auto items = offeredFunctions(page);
    bool isOffered = std::any_of(items.begin(), items.end(),
                                 [value](const forms::ValueItem& i) { return i.stored == value; });
    if (p < 0 || !pageAvailable(page) || !isOffered) return {};
    setByte(document().image().main(), keyOffset(page, p), Byte(value));
    forms::FieldEffects fx;
    fx.otherViews = forms::views::kOptionalFeatures | forms::views::kEmergency | forms::views::kChannelInfo;
    return fx;
}

forms::FieldEffects KeyAssignmentArea::gridEditEnded(int) {
    clearUnassignedReferences(document().image().main(), headSetupOf(id()));
    forms::FieldEffects fx;
    fx.refreshAll = true;
    fx.otherViews = forms::views::kOptionalFeatures | forms::views::kEmergency | forms::views::kChannelInfo;
    return fx;
}

int KeyAssignmentArea::gridCellHelpAt(int page, int row, int) const {
    int p = rowPosition(page, row);
    if (p < 0) return kUnknownHelp;
    return keyFunctionHelp(byteAt(document().image().main(), keyOffset(page, p)));
}

} // namespace velora::keys
