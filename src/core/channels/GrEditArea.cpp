#include "channels/GrEditArea.h"

#include <algorithm>
#include <array>

#include "channels/ChInfoLogic.h"
#include "channels/ChannelLayout.h"
#include "forms/FieldRules.h"
#include "model/Layout.h"

namespace velora::channels {

using namespace gredit;
using forms::CharClass;
using forms::FieldEffects;
using forms::FieldKind;

namespace {

constexpr int kTextOff = 278;
constexpr std::size_t kCsGroupScan = 0x07;
constexpr Byte kScanAddBit = 0x01, kSignallingBit = 0x02;
constexpr int kRecSignalling = 4;
// Time-out timer in 10 s units: off, then 30 s to 300 s in 30 s steps.
constexpr int kTimerDefault = 6, kTimerMin = 3, kTimerMax = 30, kTimerStep = 3;
constexpr std::array<forms::ValueItem, 2> kSignallingList{{{367, 0}, {368, 1}}};

constexpr std::array<forms::FieldDescriptor, kFieldCount> kFields{{
    {1272, 1273, 0, 360, FieldKind::Edit, 2101, CharClass::Name, 16, true},
    {1199, 1053, 1200, 361, FieldKind::EditSpin, 2102, CharClass::Digits, 3},
    {1201, 1054, 1202, 362, FieldKind::EditSpin, 2103, CharClass::Digits, 2},
    {1203, 1055, 1204, 363, FieldKind::EditSpin, 2104, CharClass::Digits, 2},
    {1205, 1056, 1206, 364, FieldKind::EditSpin, 2105, CharClass::Digits, 2},
    {1194, 1195, 0, 365, FieldKind::List, 2106},
    {1418, 1418, 0, 351, FieldKind::Check, 2107},
}};
constexpr std::array<forms::FieldPage, 1> kPages{{{0, kFields}}};

// Pre-alert, rekey and reset: seconds, 0 = off; record bytes 1..3.
int secondsMax(int field) {
    return field == kPreAlert ? 10 : field == kRekey ? 60 : 15;
}

} // namespace

GrEditArea::GrEditArea(ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), store_(store) {}

void GrEditArea::setGroup(int g) {
    group_ = std::clamp(g, 0, kGroupCount - 1);
}

std::string GrEditArea::windowTitle() const {
    return formatText("%s [ %s - %d ]", {text(359), text(345), std::to_string(group_ + 1)});
}

std::span<const forms::FieldPage> GrEditArea::pages() const {
    return kPages;
}

Byte GrEditArea::recordByte(int i) const {
    auto rec = const_cast<ChannelStore&>(store_).groupRecord(group_);
    return std::size_t(i) < rec.size() ? rec[std::size_t(i)] : chlayout::kUnset;
}

void GrEditArea::setRecordByte(int i, Byte v) {
    auto rec = store_.groupRecord(group_);
    if (std::size_t(i) < rec.size()) rec[std::size_t(i)] = v;
}

forms::FieldText GrEditArea::fieldText(int, int field) const {
    switch (field) {
    case kName:
        return {store_.groupNameText(group_), -1};
    case kTimer: {
        int v = recordByte(0);
        if (v == 0) return {text(kTextOff), v};
        return {(v >= kTimerMin && v <= kTimerMax) ? std::to_string(v * 10) : std::string{}, v};
    }
    case kPreAlert:
    case kRekey:
    case kReset: {
        int v = recordByte(field - kPreAlert + 1);
        return {forms::numberText(v, {1, secondsMax(field), 1}, {kTextOff, 0}, text(kTextOff)), v};
    }
    case kSignalling: {
        int v = (recordByte(kRecSignalling) & kSignallingBit) ? 1 : 0;
        return {text(kSignallingList[std::size_t(v)].text), v};
    }
    case kScanAdd:
        return {{}, (recordByte(kRecSignalling) & kScanAddBit) ? 1 : 0};
    default:
        return {};
    }
}

bool GrEditArea::isFieldEnabled(int, int field) const {
    auto m = store_.document().image().main();
    switch (field) {
    case kName:
        return byteAt(m, layout::kCsGroupNameLength) != 0;
    case kPreAlert:
    case kRekey:
    case kReset:
        return recordByte(0) != 0;
    case kScanAdd:
        return byteAt(m, kCsGroupScan) != 0;
    default:
        return true;
    }
}

FieldEffects GrEditArea::commitField(int, int field, std::string_view input) {
    std::string t(input.substr(0, kMaxCommitText));
    FieldEffects fx;
    switch (field) {
    case kName: {
        auto name = store_.groupName(group_);
        // Only the name length counts; what the edit could not limit is cut here.
        t.resize(std::min<std::size_t>(t.size(), std::size_t(store_.groupNameLength())));
        if (t.empty()) {
            std::fill(name.begin(), name.end(), chlayout::kUnset);
        } else {
            std::fill(name.begin(), name.end(), Byte(' '));
            std::copy_n(t.begin(), std::min(t.size(), name.size()), name.begin());
        }
        fx.otherViews = forms::views::kChannelInfo;
        break;
    }
    case kTimer: {
        // An empty edit means the default minute, not off.
        if (forms::isBlankText(t)) {
            setRecordByte(0, kTimerDefault);
        } else {
            int seconds = forms::clampNumberText(t, {0, kTimerMax * 10, kTimerStep * 10});
            setRecordByte(0, Byte(seconds / 10));
        }
        fx.refreshEnables = true;
        break;
    }
    case kPreAlert:
    case kRekey:
    case kReset:
        // The shown "off" text committed unchanged stays off.
        setRecordByte(field - kPreAlert + 1,
                      Byte(t == text(kTextOff) ? 0 : forms::clampNumberText(t, {0, secondsMax(field), 1})));
        break;
    default:
        return fx;
    }
    fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects GrEditArea::commitChoice(int, int field, int value) {
    FieldEffects fx;
    if (value < 0) return fx;
    Byte b = recordByte(kRecSignalling);
    if (field == kSignalling && value <= 1)
        setRecordByte(kRecSignalling, Byte(value ? (b | kSignallingBit) : (b & ~kSignallingBit)));
    else if (field == kScanAdd)
        setRecordByte(kRecSignalling, Byte(value ? (b | kScanAddBit) : (b & ~kScanAddBit)));
    else
        return fx;
    fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects GrEditArea::stepField(int, int field, std::string_view text, int direction) {
    FieldEffects fx = commitField(0, field, text);
    if (field == kTimer) {
        // off sits between 300 s and 30 s in the cycle.
        int v = recordByte(0);
        v = forms::stepWithSpecial(v, {kTimerMin, kTimerMax, kTimerStep}, 0, direction);
        setRecordByte(0, Byte(v));
        fx.refreshEnables = true;
    } else if (field >= kPreAlert && field <= kReset) {
        int i = field - kPreAlert + 1;
        setRecordByte(i, Byte(forms::stepWithWrap(recordByte(i), {0, secondsMax(field), 1}, direction)));
    } else {
        return fx;
    }
    fx.showFields.push_back({0, field});
    return fx;
}

std::vector<forms::ValueItem> GrEditArea::valueList(int, int field) const {
    if (field == kSignalling) return {kSignallingList.begin(), kSignallingList.end()};
    return {};
}

forms::EditFormat GrEditArea::editFormat(int page, int field) const {
    forms::EditFormat f = FeatureArea::editFormat(page, field);
    if (field == kName) f.maxLength = store_.groupNameLength();
    // The timers show "Off" for zero.
    if (field >= kTimer && field <= kReset) f.specialText = kTextOff;
    return f;
}

} // namespace velora::channels
