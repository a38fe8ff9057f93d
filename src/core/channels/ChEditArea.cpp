#include "channels/ChEditArea.h"

#include <algorithm>
#include <array>

#include "channels/ChInfoLogic.h"
#include "channels/ChannelLayout.h"
#include "channels/ChannelListPlacement.h"
#include "forms/FieldRules.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::channels {

using namespace chedit;
using forms::CharClass;
using forms::FieldEffects;
using forms::FieldKind;
namespace views = forms::views;

namespace {

constexpr int kTextOff = 278;
constexpr std::array<forms::ValueItem, 2> kPowerList{{{203, 0}, {199, 1}}};
constexpr std::array<forms::ValueItem, 2> kBandwidthList{{{387, 0}, {386, 1}}};
constexpr std::array<forms::ValueItem, 5> kSignallingList{{{278, 0}, {247, 1}, {356, 2}, {357, 3}, {358, 4}}};

constexpr forms::NumericRange kScramblerRange{0, 15, 1}; // stored codes, shown 1..16
constexpr int kScramblerShownMax = 16;
// The scrambler's edit shows "Off" for the unset code, so it is as wide as that word.
constexpr forms::FieldStorage kScramblerOff{.special = {kTextOff, 0xFF}};

// label, value, spin, label text, kind, help, class, length, fixed pitch
constexpr std::array<forms::FieldDescriptor, kFieldCount> kFields{{
    {1286, 1282, 1026, 345, FieldKind::EditSpin, 2019, CharClass::Digits, 3},
    {1292, 1291, 1027, 344, FieldKind::EditSpin, 2020, CharClass::Digits, 3},
    {1279, 1281, 0, 370, FieldKind::Edit, 2001, CharClass::Decimal, 9},
    {1280, 1044, 0, 371, FieldKind::Edit, 2002, CharClass::Decimal, 9},
    {1039, 1283, 0, 372, FieldKind::Combo, 2003, CharClass::Tone, 5},
    {1040, 1284, 0, 373, FieldKind::Combo, 2004, CharClass::Tone, 5},
    {1041, 1049, 0, 350, FieldKind::Edit, 2005, CharClass::Name, 16, true},
    {1056, 1055, 0, 374, FieldKind::List, 2006},
    {1057, 1058, 0, 375, FieldKind::List, 2007},
    {1053, 1054, 0, 376, FieldKind::List, 2008},
    {1043, 1051, 1023, 265, FieldKind::EditSpin, 2021, CharClass::Digits, 2, false, kScramblerOff},
    // The list positions have spin buttons of their own that step to the next free position.
    {1042, 1050, 1022, 377, FieldKind::EditSpin, 2018, CharClass::Digits, 2},
    {1045, 1052, 1024, 385, FieldKind::EditSpin, 2022, CharClass::Digits, 1},
    {1068, 1068, 0, 378, FieldKind::Check, 2009},
    {1069, 1069, 0, 353, FieldKind::Check, 2010},
    {1067, 1067, 0, 351, FieldKind::Check, 2011},
    {1285, 1285, 0, 379, FieldKind::Check, 2012},
    {1287, 1287, 0, 380, FieldKind::Check, 2013},
    {1288, 1288, 0, 381, FieldKind::Check, 2014},
    {1289, 1289, 0, 382, FieldKind::Check, 2015},
    {1290, 1290, 0, 383, FieldKind::Check, 2016},
    {1293, 1293, 0, 384, FieldKind::Check, 2017},
}};
constexpr std::array<forms::FieldPage, 1> kPages{{{0, kFields}}};

ReferenceKind referenceOf(int field) {
    return ReferenceKind(field - kPriority1);
}

ChannelField channelFieldOf(int field) {
    return ChannelField(field - kRx);
}

} // namespace

ChEditArea::ChEditArea(ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), store_(store) {}

void ChEditArea::setChannel(int g, int c) {
    group_ = std::clamp(g, 0, kGroupCount - 1);
    channel_ = std::clamp(c, 0, store_.perGroupLimit() - 1);
}

std::span<const forms::FieldPage> ChEditArea::pages() const {
    return kPages;
}

std::uint16_t ChEditArea::flags(std::size_t at) const {
    auto rec = store_.channelRecord(group_, channel_);
    return rec.size() >= chlayout::kRecordSize ? le16(rec, at) : 0;
}

void ChEditArea::setFlags(std::size_t at, std::uint16_t v) {
    auto rec = store_.channelRecord(group_, channel_);
    if (rec.size() >= chlayout::kRecordSize) setLe16(rec, at, v);
}

int ChEditArea::unit() const {
    ModelIdentification id = identificationOf(document().image());
    return id.isDualBand() && (flags(chlayout::kRecFlagsB) & chlayout::kBModel2) ? kModel2 : kModel1;
}

bool ChEditArea::hasBandwidthChoice() const {
    auto group = identificationOf(document().image()).bandGroup(unit());
    return group && *group != BandGroup::Low;
}

void ChEditArea::applyShowRules() {
    restricted_ = channelExists() && store_.checkNarrowband(group_, channel_, nullptr) == 1;
}

forms::FieldText ChEditArea::fieldText(int, int field) const {
    const bool exists = channelExists();
    const std::uint16_t a = flags(chlayout::kRecFlagsA), b = flags(chlayout::kRecFlagsB);
    auto listText = [&](std::span<const forms::ValueItem> list, int value) -> forms::FieldText {
        auto t = forms::valueListText(list, value);
        return {t ? text(*t) : std::string{}, value};
    };
    switch (field) {
    case kGroup:
        return {std::to_string(group_ + 1), group_};
    case kChannel:
        return {std::to_string(channel_ + 1), channel_};
    default:
        break;
    }
    if (!exists) return {};
    switch (field) {
    case kRx:
    case kTx:
    case kDecode:
    case kEncode:
    case kName: {
        ChannelFieldText t = store_.channelFieldText(group_, channel_, channelFieldOf(field));
        return {t.text, t.raw};
    }
    case kPower:
        return listText(kPowerList, (a & chlayout::kAPower) >> chlayout::kAPowerShift);
    case kBandwidth:
        if (!hasBandwidthChoice()) return {};
        return listText(kBandwidthList, (a & chlayout::kAWide) ? 1 : 0);
    case kSignalling:
        return listText(kSignallingList, a & chlayout::kASignalling);
    case kScrambler: {
        int code = b & chlayout::kBScrambler;
        if (code == chlayout::kUnset) return {text(kTextOff), code};
        return {code <= kScramblerRange.max ? std::to_string(code + 1) : std::string{}, code};
    }
    case kRemote: {
        if (remoteListSize(document()) <= 0) return {};
        int p = listPosition(store_, ListKind::Remote, group_, channel_);
        return {p ? std::to_string(p) : std::string{}, p};
    }
    case kRepeater: {
        if (!identificationOf(document().image()).isDualBand()) return {};
        int p = listPosition(store_, ListKind::Repeater, group_, channel_);
        return {p ? std::to_string(p) : std::string{}, p};
    }
    case kBusyLockout:
        return {{}, (a & chlayout::kABusyLockout) ? 1 : 0};
    case kPttId:
        return {{}, (a & chlayout::kAPttId) ? 1 : 0};
    case kScanAdd:
        return {{}, (a & chlayout::kAScanAdd) ? 1 : 0};
    case kBeatShift:
        return {{}, (a & chlayout::kABeatShift) ? 1 : 0};
    case kCompander:
        return {{}, (b & chlayout::kBCompanderOff) ? 0 : 1};
    case kPriority1:
    case kPriority2:
    case kHome:
    case kEmergency:
        return {{}, store_.referenceMatches(group_, channel_, referenceOf(field), false) ? 1 : 0};
    default:
        return {};
    }
}

bool ChEditArea::isFieldEnabled(int, int field) const {
    if (!channelExists()) return field == kGroup || field == kChannel || field == kRx;
    ModelIdentification id = identificationOf(document().image());
    switch (field) {
    case kEncode:
        return !fieldText(0, kTx).text.empty();
    case kName:
        return store_.channelNameLength() != 0;
    case kBandwidth:
        return hasBandwidthChoice();
    case kCompander:
        return hasBandwidthChoice() && !(flags(chlayout::kRecFlagsA) & chlayout::kAWide);
    case kScrambler:
        return id.optionBoard(unit()) == 1;
    case kRemote:
        return remoteListSize(document()) > 0;
    case kRepeater:
        return id.isDualBand();
    case kPttId: {
        Byte mode = byteAt(document().image().main(), layout::kCsOptionBoardMode);
        return mode == 0 || mode == 1 || id.optionBoard(unit()) == 2;
    }
    case kPriority1:
    case kPriority2:
    case kHome:
    case kEmergency:
        return store_.referenceApplies(referenceOf(field));
    default:
        return true;
    }
}

FieldEffects ChEditArea::channelChanged(int field) const {
    FieldEffects fx;
    fx.refreshAll = true;
    fx.otherViews = views::kChannelInfo;
    if (field == kRx || field == kTx) fx.otherViews |= kChannelDependents;
    return fx;
}

FieldEffects ChEditArea::commitField(int, int field, std::string_view input) {
    std::string t(input.substr(0, kMaxCommitText));
    FieldEffects fx;
    switch (field) {
    case kGroup:
    case kChannel: {
        const int max = field == kGroup ? kGroupCount : store_.perGroupLimit();
        int v = forms::clampNumberText(t, {1, max, 1}) - 1;
        if (field == kGroup)
            group_ = v;
        else
            channel_ = v;
        fx.refreshAll = true;
        fx.otherViews = views::kChannelInfo; // the grid follows
        return fx;
    }
    case kRx:
    case kTx:
    case kDecode:
    case kEncode:
    case kName:
        store_.setChannelFieldText(t, group_, channel_, channelFieldOf(field), &boxes());
        return channelChanged(field);
    case kScrambler: {
        if (!channelExists()) return fx;
        int n = forms::clampNumberText(t, {0, kScramblerShownMax, 1});
        std::uint16_t b = flags(chlayout::kRecFlagsB) & ~chlayout::kBScrambler;
        setFlags(chlayout::kRecFlagsB, std::uint16_t(b | (n == 0 ? chlayout::kUnset : n - 1)));
        fx.showFields.push_back({0, kScrambler});
        return fx;
    }
    case kRemote:
    case kRepeater: {
        if (!channelExists()) return fx;
        const bool remote = field == kRemote;
        placeInList(store_, remote ? ListKind::Remote : ListKind::Repeater, group_, channel_,
                    forms::leadingInt(t), &boxes());
        fx.showFields.push_back({0, field});
        fx.otherViews = remote ? views::kRemoteList : views::kRepeaterList;
        return fx;
    }
    default:
        return fx;
    }
}

FieldEffects ChEditArea::commitChoice(int, int field, int value) {
    FieldEffects fx;
    if (!channelExists() || value < 0) return fx;
    std::uint16_t a = flags(chlayout::kRecFlagsA), b = flags(chlayout::kRecFlagsB);
    auto setBit = [](std::uint16_t w, std::uint16_t bit, bool on) {
        return std::uint16_t(on ? (w | bit) : (w & ~bit));
    };
    switch (field) {
    case kDecode:
    case kEncode:
        store_.setChannelChoice(group_, channel_, channelFieldOf(field), value);
        return channelChanged(field);
    case kPower:
        if (value > 1) return fx;
        setFlags(chlayout::kRecFlagsA,
                 std::uint16_t((a & ~chlayout::kAPower) | (value << chlayout::kAPowerShift)));
        break;
    case kBandwidth:
        if (value > 1 || (value == 1 && restricted_)) return fx;
        setFlags(chlayout::kRecFlagsA, setBit(a, chlayout::kAWide, value == 1));
        fx.showFields.push_back({0, kCompander});
        fx.refreshEnables = true;
        break;
    case kSignalling:
        if (value >= int(kSignallingList.size())) return fx;
        setFlags(chlayout::kRecFlagsA, std::uint16_t((a & ~chlayout::kASignalling) | value));
        fx.otherViews = views::kChannelInfo;
        break;
    case kBusyLockout:
        setFlags(chlayout::kRecFlagsA, setBit(a, chlayout::kABusyLockout, value));
        break;
    case kPttId:
        setFlags(chlayout::kRecFlagsA, setBit(a, chlayout::kAPttId, value));
        break;
    case kBeatShift:
        setFlags(chlayout::kRecFlagsA, setBit(a, chlayout::kABeatShift, value));
        break;
    case kScanAdd:
        setFlags(chlayout::kRecFlagsA, setBit(a, chlayout::kAScanAdd, value));
        fx.otherViews = views::kChannelInfo;
        break;
    case kCompander:
        setFlags(chlayout::kRecFlagsB, setBit(b, chlayout::kBCompanderOff, !value));
        break;
    case kPriority1:
    case kPriority2:
    case kHome:
    case kEmergency: {
        auto kind = referenceOf(field);
        if (store_.referenceApplies(kind)) store_.toggleReference(group_, channel_, kind, false);
        fx.otherViews = kind == ReferenceKind::Home        ? views::kOptionalFeatures
                        : kind == ReferenceKind::Emergency ? views::kEmergency
                                                           : views::kScanInfo;
        break;
    }
    default:
        return fx;
    }
    fx.showFields.push_back({0, field});
    return fx;
}

FieldEffects ChEditArea::stepField(int, int field, std::string_view text, int direction) {
    FieldEffects fx = commitField(0, field, text);
    switch (field) {
    case kGroup:
        group_ = forms::stepWithWrap(group_ + 1, {1, kGroupCount, 1}, direction) - 1;
        break;
    case kChannel:
        channel_ = forms::stepWithWrap(channel_ + 1, {1, store_.perGroupLimit(), 1}, direction) - 1;
        break;
    case kScrambler: {
        if (!channelExists()) return fx;
        std::uint16_t b = flags(chlayout::kRecFlagsB);
        int code =
            forms::stepWithSpecial(b & chlayout::kBScrambler, kScramblerRange, chlayout::kUnset, direction);
        setFlags(chlayout::kRecFlagsB, std::uint16_t((b & ~chlayout::kBScrambler) | (code & 0xFF)));
        break;
    }
    case kRemote:
    case kRepeater:
        if (!channelExists()) return fx;
        stepInList(store_, field == kRemote ? ListKind::Remote : ListKind::Repeater, group_, channel_,
                   direction, &boxes());
        break;
    default:
        break;
    }
    fx.showFields.push_back({0, field});
    return fx;
}

std::vector<forms::ValueItem> ChEditArea::valueList(int, int field) const {
    switch (field) {
    case kPower:
        return {kPowerList.begin(), kPowerList.end()};
    case kBandwidth:
        if (restricted_) return {kBandwidthList.front()};
        return {kBandwidthList.begin(), kBandwidthList.end()};
    case kSignalling:
        return {kSignallingList.begin(), kSignallingList.end()};
    default:
        return {};
    }
}

forms::EditFormat ChEditArea::editFormat(int page, int field) const {
    forms::EditFormat f = FeatureArea::editFormat(page, field);
    if (field == kName) f.maxLength = store_.channelNameLength();
    return f;
}

FieldEffects ChEditArea::leaveField(int, int field) {
    FieldEffects fx;
    if (field != kBandwidth || !channelExists() || !hasBandwidthChoice()) return fx;
    const std::uint16_t a = flags(chlayout::kRecFlagsA), b = flags(chlayout::kRecFlagsB);
    if ((a & chlayout::kAWide) && !(b & chlayout::kBCompanderOff)) {
        boxes().warning(kMsgCompanderOff, MessageBoxes::kCaptionQuestion);
        setFlags(chlayout::kRecFlagsB, std::uint16_t(b | chlayout::kBCompanderOff));
        fx.showFields.push_back({0, kCompander});
        fx.refreshEnables = true;
    }
    return fx;
}

} // namespace velora::channels
