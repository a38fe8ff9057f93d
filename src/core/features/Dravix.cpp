#include "features/Dravix.h"

#include "features/DravixFrames.h"
#include "forms/FieldRules.h"

namespace velora::forms {

using namespace dravixview;

namespace {

constexpr NumericRange kDelayRange{0, 6000, 10};
constexpr int kDelayBias = 90; // stored delay = milliseconds + 90
constexpr int kDefaultDelay = 400;

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kFields[kFieldCount] = {
    {0, 1174, 0, 479, FieldKind::Edit, 602, CharClass::Digits, 3},
    {0, 1175, 0, 480, FieldKind::Edit, 603, CharClass::Digits, 4},
    {0, 1178, 1000, 481, FieldKind::EditSpin, 604, CharClass::Digits, 4},
    {1176, 1176, 0, 482, FieldKind::Check, 605, CharClass::Any, 0, false,
     checkAt(std::uint16_t(dravix::kSideTone), {280, 279})},
};
constexpr FieldPage kPages[] = {{0, kFields}};
constexpr std::string_view kKeys[kFieldCount] = {"fleet", "id", "tx_modulation_delay", "side_tone"};

std::string inRange(int value, NumericRange r) {
    return value >= r.min && value <= r.max ? std::to_string(value) : std::string{};
}

} // namespace

std::string fleetText(int stored) {
    return inRange(stored + kFleetBias, kFleetRange);
}
std::string idText(int stored) {
    return inRange(stored + kIdBias, kIdRange);
}
Byte storedFleet(std::string_view typed) {
    std::string t(typed);
    return Byte(clampNumberText(t, kFleetRange) - kFleetBias);
}
std::uint16_t storedId(std::string_view typed) {
    std::string t(typed);
    return std::uint16_t(clampNumberText(t, kIdRange) - kIdBias);
}

std::span<const FieldPage> DravixArea::pages() const {
    return kPages;
}

std::string_view DravixArea::fieldKey(int page, int field) {
    return page == 0 && field >= 0 && field < kFieldCount ? kKeys[field] : std::string_view{};
}

FieldText DravixArea::fieldText(int page, int field) const {
    auto main = document().image().main();
    switch (field) {
    case kFleet:
        return {fleetText(byteAt(main, dravix::kOwnFleet)), byteAt(main, dravix::kOwnFleet)};
    case kId:
        return {idText(le16(main, dravix::kOwnId)), le16(main, dravix::kOwnId)};
    case kTxDelay: {
        const int ms = le16(main, dravix::kTxDelay) - kDelayBias;
        return {inRange(ms, kDelayRange), ms};
    }
    default:
        return FeatureArea::fieldText(page, field);
    }
}

FieldEffects DravixArea::commitField(int, int field, std::string_view input) {
    FieldEffects fx;
    std::string_view t = input.substr(0, kMaxCommitText);
    auto main = document().image().main();
    switch (field) {
    case kFleet:
    case kId:
        if (field == kFleet)
            setByte(main, dravix::kOwnFleet, storedFleet(t));
        else
            setLe16(main, dravix::kOwnId, storedId(t));
        // Every prepared frame carries the own fleet and ID.
        dravix::buildOwnFrames(main);
        dravix::buildEmergencyFrame(main);
        break;
    case kTxDelay: {
        std::string s(t);
        const int ms = isBlankText(s) ? kDefaultDelay : clampNumberText(s, kDelayRange);
        setLe16(main, dravix::kTxDelay, std::uint16_t(ms + kDelayBias));
        break;
    }
    default:
        return fx;
    }
    fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects DravixArea::stepField(int page, int field, std::string_view input, int direction) {
    FieldEffects fx = commitField(page, field, input);
    if (field != kTxDelay) return fx;
    auto main = document().image().main();
    const int ms = stepWithWrap(le16(main, dravix::kTxDelay) - kDelayBias, kDelayRange, direction);
    setLe16(main, dravix::kTxDelay, std::uint16_t(ms + kDelayBias));
    return fx;
}

} // namespace velora::forms
