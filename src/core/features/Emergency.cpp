#include "features/Emergency.h"

#include <algorithm>

#include "features/Dravix.h"
#include "features/DravixFrames.h"
#include "features/KeyAssignment.h"
#include "forms/FieldRules.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::forms {

using namespace emergency;

namespace {

constexpr std::uint16_t kE = std::uint16_t(layout::kEmergency);
constexpr std::uint16_t kTypeAt = kE + 0x00;
constexpr std::uint16_t kLocator1At = kE + 0x06;
constexpr std::uint16_t kActiveAt = kE + 0x07;
constexpr std::uint16_t kLocator2At = kE + 0x08;
constexpr std::uint16_t kIntervalAt = kE + 0x09;
constexpr std::uint16_t kModeTypeAt = kE + 0x0C;
constexpr std::uint16_t kDtmfIdLengthAt = kE + 0x0D;
constexpr std::uint16_t kDtmfIdAt = kE + 0x1F;
constexpr std::uint16_t kModeTypeCopyAt = 0x5E;
constexpr std::uint16_t kChannelDisplayAt = 0x0D;
constexpr Byte kModeLocatorOff = 1; // mode type without locator tones

constexpr ValueItem kModeTypeList[] = {{285, 0}, {286, 1}};
constexpr ValueItem kTypeList[] = {
    {262, kTypeNone}, {247, kTypeDtmf}, {287, kTypeDravix}, {288, kTypeDataBoard}};
constexpr int kTextOff = 278;

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kFields[kFieldCount] = {
    {0, 1261, 0, 450, FieldKind::Edit, 711, CharClass::Digits, 3},
    {0, 1044, 0, 450, FieldKind::Edit, 711, CharClass::Digits, 3},
    {0, 1241, 1090, 451, FieldKind::EditSpin, 701, CharClass::Digits, 3, false,
     numberAt(kActiveAt, {1, 60, 1}, {}, StepRule::Wrap, 3)},
    {0, 1257, 1093, 452, FieldKind::EditSpin, 702, CharClass::Digits, 3, false,
     numberAt(kIntervalAt, {1, 180, 1}, {}, StepRule::Wrap, 10)},
    {0, 1243, 1091, 453, FieldKind::EditSpin, 703, CharClass::Digits, 3, false,
     numberAt(kLocator1At, {0, 250, 1}, {kTextOff, 0})},
    {0, 1245, 1092, 454, FieldKind::EditSpin, 704, CharClass::Digits, 3, false,
     numberAt(kLocator2At, {0, 250, 1}, {kTextOff, 0})},
    {0, 1251, 0, 455, FieldKind::List, 705, CharClass::Any, 0, false, listAt(kModeTypeAt, kModeTypeList)},
    {0, 1253, 0, 456, FieldKind::List, 706, CharClass::Any, 0, false, listAt(kTypeAt, kTypeList)},
    {0, 1249, 0, 457, FieldKind::Edit, 707, CharClass::Dtmf, int(kDtmfIdSize), true},
    {0, 1050, 0, 458, FieldKind::Edit, 708, CharClass::Digits, 3},
    {0, 1051, 0, 459, FieldKind::Edit, 709, CharClass::Digits, 4},
    {1331, 1331, 0, 460, FieldKind::Check, 710, CharClass::Any, 0, false,
     checkAt(kChannelDisplayAt, {278, 277})},
};
constexpr FieldPage kPages[] = {{0, kFields}};
constexpr std::string_view kKeys[kFieldCount] = {
    "group",     "channel", "active_time", "interval_time", "locator_tone_1", "locator_tone_2",
    "mode_type", "type",    "dtmf_id",     "call_fleet",    "call_id",        "channel_display",
};

// The ID is kept as characters or as 4-bit digit codes; both show as DTMF text.
char dtmfIdChar(Byte b) {
    if (b <= 9) return char('0' + b);
    if (b <= 13) return char('A' + (b - 10));
    if (b == 14) return '*';
    if (b == 15) return '#';
    return char(b);
}

} // namespace

EmergencyArea::EmergencyArea(ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), store_(store) {}

std::span<const FieldPage> EmergencyArea::pages() const {
    return kPages;
}

std::string_view EmergencyArea::fieldKey(int page, int field) {
    return page == 0 && field >= 0 && field < kFieldCount ? kKeys[field] : std::string_view{};
}

Byte EmergencyArea::at(std::size_t offset) const {
    return byteAt(document().image().main(), offset);
}

int EmergencyArea::openingMessage() const {
    return keys::emergencyFunctionAssigned(document().image().main()) ? 0 : kMsgNoEmergencyKey;
}

FieldText EmergencyArea::fieldText(int page, int field) const {
    const Document& doc = document();
    auto main = doc.image().main();
    switch (field) {
    case kGroup:
        return {pair_.groupText(doc), pair_.group(doc)};
    case kChannel:
        return {pair_.channelText(doc), pair_.channel(doc)};
    case kDtmfId: {
        // Read with the ID's own length; 0xFF ends it (0 is the digit code of "0").
        std::string t;
        for (std::size_t i = 0; i < kDtmfIdSize; ++i) {
            const Byte b = byteAt(main, kDtmfIdAt + i);
            if (b == 0xFF) break;
            t.push_back(dtmfIdChar(b));
        }
        return {t, at(kDtmfIdLengthAt)};
    }
    case kCallFleet:
        return {fleetText(byteAt(main, dravix::kEmergencyFleet)), byteAt(main, dravix::kEmergencyFleet)};
    case kCallId:
        return {idText(le16(main, dravix::kEmergencyId)), le16(main, dravix::kEmergencyId)};
    default:
        return FeatureArea::fieldText(page, field);
    }
}

bool EmergencyArea::isFieldEnabled(int, int field) const {
    const Byte type = at(kTypeAt);
    switch (field) {
    case kGroup:
        return keys::emergencyFunctionAssigned(document().image().main());
    case kChannel:
        return keys::emergencyFunctionAssigned(document().image().main()) && pair_.hasGroup(document());
    case kActiveTime:
    case kIntervalTime:
        return type != kTypeDataBoard;
    case kLocatorTone1:
    case kLocatorTone2:
        return type != kTypeDataBoard && at(kModeTypeAt) != kModeLocatorOff;
    case kDtmfId:
        return type == kTypeDtmf;
    case kCallFleet:
    case kCallId:
        return type == kTypeDravix;
    default:
        return true;
    }
}

FieldEffects EmergencyArea::commitField(int page, int field, std::string_view input) {
    FieldEffects fx;
    std::string_view t = input.substr(0, kMaxCommitText);
    auto main = document().image().main();
    switch (field) {
    case kGroup:
        pair_.commitGroup(t, store_, boxes());
        fx.showFields = {{0, kGroup}, {0, kChannel}};
        fx.refreshEnables = true;
        fx.otherViews = views::kChannelInfo;
        return fx;
    case kChannel:
        pair_.commitChannel(t, store_, boxes());
        fx.showFields = {{0, kChannel}};
        fx.otherViews = views::kChannelInfo | views::kChannelEdit;
        return fx;
    case kDtmfId: {
        t = t.substr(0, kDtmfIdSize);
        std::array<Byte, kDtmfIdSize> buf;
        buf.fill(0xFF);
        if (!t.empty()) {
            buf.fill(0);
            std::copy(t.begin(), t.end(), buf.begin());
            replaceBytes(buf, kDtmfIdSize, 0, 0xFF);
            blankToFill(buf, kDtmfIdSize);
        }
        setByte(main, kDtmfIdLengthAt, Byte(t.size()));
        for (std::size_t i = 0; i < kDtmfIdSize; ++i)
            setByte(main, kDtmfIdAt + i, buf[i]);
        break;
    }
    case kCallFleet:
    case kCallId:
        if (field == kCallFleet)
            setByte(main, dravix::kEmergencyFleet, storedFleet(t));
        else
            setLe16(main, dravix::kEmergencyId, storedId(t));
        // The frame's destination and its length follow the call values.
        dravix::buildEmergencyFrame(main);
        break;
    default:
        FeatureArea::commitField(page, field, t);
        break;
    }
    fx.showFields.push_back({page, field});
    return fx;
}

FieldEffects EmergencyArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    const FieldStorage* s = storage(page, field);
    if (!s || value < 0) return fx;
    if (s->kind == Storage::List && !listOffers(valueList(page, field), value)) return fx;
    FeatureArea::commitChoice(page, field, value);
    fx.showFields.push_back({page, field});
    if (field == kModeType) setByte(document().image().main(), kModeTypeCopyAt, Byte(value));
    if (field == kModeType || field == kType) fx.refreshEnables = true;
    return fx;
}

std::vector<ValueItem> EmergencyArea::valueList(int page, int field) const {
    if (field != kType) return FeatureArea::valueList(page, field);
    const bool board = identificationOf(document().image()).hasOptionBoard(2);
    std::vector<ValueItem> out;
    for (const ValueItem& i : kTypeList)
        if (i.stored != kTypeDataBoard || board) out.push_back(i);
    return out;
}

} // namespace velora::forms
