#include "features/ScanInfo.h"

#include <algorithm>
#include <cmath>

#include "channels/ChannelLayout.h"
#include "forms/FieldRules.h"
#include "model/FrequencyCodec.h"

namespace velora::forms {

using namespace scan;

namespace {

constexpr std::uint16_t kRevertAt = 0x04;
// Revert bytes that name a priority channel: 4/5 priority 1, 6/7 priority 2.
constexpr Byte kRevertSelected = 1;
constexpr Byte kRevertPriority1 = 4, kRevertPriority1Talkback = 5;
constexpr Byte kRevertPriority2 = 6, kRevertPriority2Talkback = 7;
constexpr int kTextPriority1 = 435, kTextPriority2 = 436;
constexpr int kTextSelectedTalkback = 272, kTextPriority1Talkback = 273, kTextPriority2Talkback = 274;
constexpr int kTextSelected = 268;

constexpr ValueItem kPriorityList[] = {
    {262, kModeOff}, {267, kModeFixed}, {268, kModeSelected}, {269, kModeOperator}};
// In the order offered; items 5 to 8 only while the priority they name is in use.
constexpr ValueItem kRevertList[] = {{270, 1},
                                     {271, 2},
                                     {kTextSelectedTalkback, 3},
                                     {kTextSelected, 0},
                                     {kTextPriority1Talkback, kRevertPriority1Talkback},
                                     {kTextPriority1, kRevertPriority1},
                                     {kTextPriority2Talkback, kRevertPriority2Talkback},
                                     {kTextPriority2, kRevertPriority2}};
constexpr ValueItem kGroupScanList[] = {{275, 0}, {276, 1}};
constexpr ValueItem kQuickScanList[] = {{278, 0}, {283, 1}, {284, 2}};

// Times are stored in tenths of a second.
constexpr NumericRange kTimeFine{5, 50, 1};
constexpr NumericRange kTimeCoarse{5, 50, 5};
constexpr int kTimeDecimals = 1;

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kFields[kFieldCount] = {
    {0, 1446, 0, 435, FieldKind::List, 300, CharClass::Any, 0, false, listAt(0x00, kPriorityList)},
    {0, 1228, 0, 436, FieldKind::List, 301, CharClass::Any, 0, false, listAt(0x01, kPriorityList)},
    {0, 1385, 0, 437, FieldKind::Edit, 313, CharClass::Digits, 3},
    {0, 1386, 0, 437, FieldKind::Edit, 313, CharClass::Digits, 3},
    {0, 1388, 0, 438, FieldKind::Edit, 314, CharClass::Digits, 3},
    {0, 1389, 0, 438, FieldKind::Edit, 314, CharClass::Digits, 3},
    {0, 1240, 1099, 439, FieldKind::EditSpin, 302, CharClass::Decimal, 3, false, numberAt(0x02, kTimeFine)},
    {0, 1050, 1100, 440, FieldKind::EditSpin, 303, CharClass::Decimal, 3, false,
     numberAt(0x03, kTimeCoarse, {}, StepRule::Wrap, 20)},
    {0, 1236, 0, 441, FieldKind::List, 304, CharClass::Any, 0, false, listAt(kRevertAt, kRevertList)},
    {0, 1047, 1097, 442, FieldKind::EditSpin, 305, CharClass::Decimal, 3, false,
     numberAt(0x05, kTimeCoarse, {}, StepRule::Wrap, 30)},
    {0, 1048, 1098, 443, FieldKind::EditSpin, 306, CharClass::Decimal, 3, false,
     numberAt(0x06, kTimeCoarse, {}, StepRule::Wrap, 30)},
    {0, 1235, 0, 444, FieldKind::List, 307, CharClass::Any, 0, false, listAt(0x07, kGroupScanList)},
    {0, 1243, 0, 445, FieldKind::List, 308, CharClass::Any, 0, false, listAt(0x08, kQuickScanList)},
    {1103, 1103, 0, 446, FieldKind::Check, 309, CharClass::Any, 0, false, checkAt(0x09, {280, 279})},
    {1104, 1104, 0, 447, FieldKind::Check, 310, CharClass::Any, 0, false, checkAt(0x0A, {282, 281})},
    {1105, 1105, 0, 448, FieldKind::Check, 311, CharClass::Any, 0, false, checkAt(0x0C, {282, 281})},
    {1101, 1101, 0, 449, FieldKind::Check, 312, CharClass::Any, 0, false, checkAt(0x0E, {282, 281})},
};
constexpr FieldPage kPages[] = {{0, kFields}};

constexpr std::string_view kKeys[kFieldCount] = {
    "priority_1",          "priority_2",         "priority_1_group",   "priority_1_channel",
    "priority_2_group",    "priority_2_channel", "look_back_time_a",   "look_back_time_b",
    "revert_channel",      "dropout_delay_time", "dwell_time",         "group_scan",
    "priority_quick_scan", "priority_1_temp_da", "priority_2_temp_da", "off_hook_scan",
    "revert_ch_display",
};

bool isTime(int field) {
    return field == kLookBackA || field == kLookBackB || field == kDropoutDelay || field == kDwell;
}
bool isPairField(int field) {
    return field >= kPriority1Group && field <= kPriority2Channel;
}
bool isGroupField(int field) {
    return field == kPriority1Group || field == kPriority2Group;
}
// 0 for the priority 1 pair, 1 for priority 2.
int pairIndex(int field) {
    return field <= kPriority1Channel ? 0 : 1;
}

} // namespace

ScanInfoArea::ScanInfoArea(ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), store_(store) {}

std::span<const FieldPage> ScanInfoArea::pages() const {
    return kPages;
}

std::string_view ScanInfoArea::fieldKey(int page, int field) {
    return page == 0 && field >= 0 && field < kFieldCount ? kKeys[field] : std::string_view{};
}

int ScanInfoArea::mode(int priority) const {
    return byteAt(document().image().main(), priority == 0 ? 0x00 : 0x01);
}

GroupChannelPair& ScanInfoArea::pairOf(int field) {
    return pairs_[std::size_t(pairIndex(field))];
}

char ScanInfoArea::decimalPoint() const {
    return document().codec().decimalSeparator();
}

FieldText ScanInfoArea::fieldText(int page, int field) const {
    if (isPairField(field)) {
        const GroupChannelPair& pair = pairs_[std::size_t(pairIndex(field))];
        const Document& doc = document();
        int stored = isGroupField(field) ? pair.group(doc) : pair.channel(doc);
        // A pair that does not apply shows empty, whatever it still holds.
        if (!priorityPairInUse(mode(pairIndex(field)))) return {{}, stored};
        return {isGroupField(field) ? pair.groupText(doc) : pair.channelText(doc), stored};
    }
    if (isTime(field)) {
        int b = storedByte(*storage(page, field));
        if (b < kTimeFine.min || b > kTimeFine.max) return {{}, b};
        return {formatNumber(b / 10.0, kTimeDecimals, decimalPoint()), b};
    }
    return FeatureArea::fieldText(page, field);
}

bool ScanInfoArea::isFieldEnabled(int, int field) const {
    const int p1 = mode(0), p2 = mode(1);
    switch (field) {
    case kPriority1Group:
    case kPriority2Group:
        return priorityPairInUse(mode(pairIndex(field)));
    case kPriority1Channel:
    case kPriority2Channel: {
        const GroupChannelPair& pair = pairs_[std::size_t(pairIndex(field))];
        return priorityPairInUse(mode(pairIndex(field))) && pair.hasGroup(document());
    }
    case kLookBackA:
    case kLookBackB:
    case kQuickScan:
        return p1 != kModeOff || p2 != kModeOff;
    case kPriority1TempDa:
        return p1 != kModeOff;
    case kPriority2TempDa:
        return p2 != kModeOff;
    default:
        return true;
    }
}

FieldEffects ScanInfoArea::commitPair(int field, std::string_view text) {
    FieldEffects fx;
    GroupChannelPair& pair = pairOf(field);
    if (isGroupField(field)) {
        pair.commitGroup(text, store_, boxes());
        fx.showFields = {{0, field}, {0, field + 1}};
        fx.refreshEnables = true;
        fx.otherViews = views::kChannelInfo;
    } else {
        pair.commitChannel(text, store_, boxes());
        fx.showFields = {{0, field}};
        fx.otherViews = views::kChannelInfo | views::kChannelEdit;
    }
    return fx;
}

FieldEffects ScanInfoArea::commitField(int page, int field, std::string_view input) {
    if (isPairField(field)) return commitPair(field, input.substr(0, kMaxCommitText));
    if (!isTime(field)) return {};
    const FieldStorage& s = *storage(page, field);
    std::string t(input.substr(0, kMaxCommitText));
    if (isBlankText(t) && s.emptyValue >= 0) {
        storeByte(s, Byte(s.emptyValue));
    } else {
        const DecimalRange r{s.range.min / 10.0, s.range.max / 10.0, s.range.step / 10.0};
        storeByte(s, Byte(std::lround(clampDecimalText(t, r, decimalPoint()) * 10)));
    }
    FieldEffects fx;
    fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects ScanInfoArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    const FieldStorage* s = storage(page, field);
    if (!s || value < 0) return fx;
    if (s->kind == Storage::List && !listOffers(valueList(page, field), value)) return fx;
    FeatureArea::commitChoice(page, field, value);
    fx.showFields.push_back({0, field});
    switch (field) {
    case kPriority1:
    case kPriority2: {
        // A revert channel naming a priority that is no longer a fixed channel falls back.
        auto main = document().image().main();
        const Byte revert = byteAt(main, kRevertAt);
        const bool p1 = field == kPriority1;
        const bool names = p1 ? (revert == kRevertPriority1 || revert == kRevertPriority1Talkback)
                              : (revert == kRevertPriority2 || revert == kRevertPriority2Talkback);
        if (value != kModeFixed && names) setByte(main, kRevertAt, kRevertSelected);
        fx.refreshEnables = true;
        fx.showFields.push_back({0, p1 ? kPriority2 : kPriority1});
        fx.showFields.push_back({0, kRevert});
        fx.otherViews = views::kChannelInfo;
        break;
    }
    case kGroupScan:
        fx.otherViews = views::kGroupEdit;
        break;
    case kPriority1TempDa:
    case kPriority2TempDa:
    case kOffHookScan:
    case kRevertDisplay:
    default:
        break;
    }
    return fx;
}

FieldEffects ScanInfoArea::stepField(int page, int field, std::string_view text, int direction) {
    FieldEffects fx = FeatureArea::stepField(page, field, text, direction);
    if (isTime(field)) fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects ScanInfoArea::leaveField(int, int field) {
    FieldEffects fx;
    if (field != kPriority1 && field != kPriority2) return fx;
    const int p = field == kPriority1 ? 0 : 1;
    if (!priorityPairInUse(mode(p))) {
        const std::size_t at = referenceOffset(p == 0 ? ReferenceKind::Priority1 : ReferenceKind::Priority2);
        fill(document().image().main(), at, chlayout::kEntrySize, chlayout::kUnset);
        const int group = p == 0 ? kPriority1Group : kPriority2Group;
        fx.showFields = {{0, group}, {0, group + 1}};
    }
    fx.otherViews = views::kChannelInfo;
    return fx;
}

std::vector<ValueItem> ScanInfoArea::valueList(int page, int field) const {
    const int p1 = mode(0), p2 = mode(1);
    std::vector<ValueItem> out;
    switch (field) {
    case kPriority1:
    case kPriority2: {
        // Only one priority can follow the selected channel.
        const int other = field == kPriority1 ? p2 : p1;
        for (const ValueItem& i : kPriorityList)
            if (!(i.stored == kModeSelected && other == kModeSelected)) out.push_back(i);
        return out;
    }
    case kRevert:
        for (ValueItem i : kRevertList) {
            if (i.stored == 3)
                i.text = p1 == kModeSelected   ? kTextPriority1Talkback
                         : p2 == kModeSelected ? kTextPriority2Talkback
                                               : kTextSelectedTalkback;
            else if (i.stored == 0)
                i.text = p1 == kModeSelected   ? kTextPriority1
                         : p2 == kModeSelected ? kTextPriority2
                                               : kTextSelected;
            else if (i.stored == kRevertPriority1 || i.stored == kRevertPriority1Talkback) {
                if (!priorityPairInUse(p1)) continue;
            } else if (i.stored == kRevertPriority2 || i.stored == kRevertPriority2Talkback) {
                if (!priorityPairInUse(p2)) continue;
            }
            out.push_back(i);
        }
        return out;
    default:
        return FeatureArea::valueList(page, field);
    }
}

} // namespace velora::forms
