#include "features/OptionalFeatures.h"

#include <algorithm>

#include "channels/ChannelLayout.h"
#include "features/KeyAssignment.h"
#include "forms/FieldRules.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::forms {

using namespace options;

namespace {

// Common settings bytes the rules read.
constexpr std::uint16_t kChannelTextSizeAt = layout::kCsChannelNameLength;
constexpr std::uint16_t kGroupTextSizeAt = layout::kCsGroupNameLength;
constexpr std::uint16_t kLogicSignalAt = 0x39;
constexpr std::uint16_t kExtPttQtAt = 0x3F;
constexpr std::uint16_t kIdFormatAt = layout::kCsOptionBoardMode;
constexpr std::uint16_t kPttIdAt = 0x36;
constexpr std::uint16_t kDialIdAt = 0x37;
constexpr std::uint16_t kInhibitIdAt = 0x3A22;

constexpr int kSmallTextSize = 8, kLargeTextSize = 14; // display characters of the two head types
constexpr Byte kLogicPulse = 0;
constexpr int kTextContinuous = 263, kTextUnlimited = 296, kTextOff = 278;
constexpr int kTextYes = 279, kTextNo = 280;
constexpr NumericRange kLogicTime{1, 30, 1};
constexpr NumericRange kToneRange{0, 31, 1};
constexpr SpecialValue kToneOff{kTextContinuous, 0xFF};

// ID format: 1 Dravix, 2 the data board; PTT ID: 1 connect, 2 disconnect, 3 both.
constexpr Byte kIdDravix = 1, kIdDataBoard = 2;
constexpr Byte kPttConnectOnly = 1, kPttDisconnectOnly = 2;
constexpr std::size_t kIdTextSize = 32;
constexpr int kIdMaxLength = 16;

constexpr ValueItem kRollOverList[] = {{292, 0}, {293, 1}};
constexpr ValueItem kSmallDigitList[] = {{278, 0}, {345, 1}, {344, 2}};
constexpr ValueItem kTxMonitorList[] = {{282, 0}, {305, 1}, {306, 2}};
constexpr ValueItem kLogicSignalList[] = {{kTextContinuous, 0xFF}, {295, kLogicPulse}};
constexpr ValueItem kIdFormatList[] = {{247, 0}, {287, kIdDravix}, {288, kIdDataBoard}};
constexpr ValueItem kPttIdList[] = {{278, 0}, {289, 1}, {290, 2}, {291, 3}};

constexpr FieldStorage tone(std::uint16_t offset) {
    return numberAt(offset, kToneRange, kToneOff, StepRule::Special, 0xFF);
}

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kGeneralFields[kGeneralCount] = {
    {0, 1182, 1209, 398, FieldKind::EditSpin, 100, CharClass::Digits, 1, false,
     numberAt(kChannelTextSizeAt, {0, kSmallTextSize, 1}, {kTextSizeOff, 0})},
    {0, 1185, 1210, 399, FieldKind::EditSpin, 101, CharClass::Digits, 1, false,
     numberAt(kGroupTextSizeAt, {0, kSmallTextSize, 1}, {kTextSizeOff, 0})},
    {0, 1187, 1211, 400, FieldKind::EditSpin, 102, CharClass::Digits, 2, false, numberAt(0x16, {0, 31, 1})},
    {0, 1329, 1089, 401, FieldKind::EditSpin, 103, CharClass::Digits, 2, false,
     numberAt(0x18, {0, 15, 1}, {}, StepRule::Wrap, 1)},
    {0, 1193, 0, 402, FieldKind::Edit, 104, CharClass::Name, kSmallTextSize, true},
    {0, 1014, 0, 403, FieldKind::List, 106, CharClass::Any, 0, false, listAt(0x2C, kRollOverList)},
    {0, 1016, 0, 404, FieldKind::List, 107, CharClass::Any, 0, false, listAt(0x23, kSmallDigitList)},
    {0, 1332, 1091, 405, FieldKind::EditSpin, 108, CharClass::Digits, 1, false,
     numberAt(0x3A, {0, 8, 1}, {kTextOff, 0})},
    {0, 1018, 0, 406, FieldKind::List, 109, CharClass::Any, 0, false, listAt(0x3C, kTxMonitorList)},
    {0, 1387, 0, 407, FieldKind::Edit, 119, CharClass::Digits, 3},
    {0, 1388, 0, 0, FieldKind::Edit, 119, CharClass::Digits, 3},
    {1333, 1333, 0, 408, FieldKind::Check, 120, CharClass::Any, 0, false,
     checkAt(layout::kCsNoiseBlanker, {277, 278}, 0, 1)},
    {1331, 1331, 0, 409, FieldKind::Check, 110, CharClass::Any, 0, false, checkAt(0x17, {278, 277})},
    {1102, 1102, 0, 410, FieldKind::Check, 111, CharClass::Any, 0, false, checkAt(0x2D, {282, 281})},
    {1103, 1103, 0, 411, FieldKind::Check, 112, CharClass::Any, 0, false,
     checkAt(0x38, {281, 282}, 0, 0xFF, true)},
    {1095, 1095, 0, 412, FieldKind::Check, 113, CharClass::Any, 0, false, checkAt(0x2E, {282, 281})},
    {1097, 1097, 0, 413, FieldKind::Check, 114, CharClass::Any, 0, false, checkAt(0x3B, {kTextNo, kTextYes})},
    {1096, 1096, 0, 414, FieldKind::Check, 115, CharClass::Any, 0, false, checkAt(0x1B, {kTextNo, kTextYes})},
    {1094, 1094, 0, 415, FieldKind::Check, 116, CharClass::Any, 0, false, checkAt(0x3E, {kTextNo, kTextYes})},
    {1099, 1099, 0, 416, FieldKind::Check, 117, CharClass::Any, 0, false,
     checkAt(kExtPttQtAt, {kTextNo, kTextYes})},
    {1100, 1100, 0, 417, FieldKind::Check, 118, CharClass::Any, 0, false, checkAt(0x3D, {kTextNo, kTextYes})},
    {1023, 0, 0, 418, FieldKind::Frame, 105},
    {0, 1012, 0, 419, FieldKind::List, 105, CharClass::Any, 0, false,
     listAt(kLogicSignalAt, kLogicSignalList)},
    {0, 1330, 1090, 420, FieldKind::EditSpin, 105, CharClass::Digits, 2, false,
     numberAt(kLogicSignalAt, kLogicTime, {kTextUnlimited, 0xFF}, StepRule::Special, 0xFF)},
    {1223, 0, 0, 0, FieldKind::None, 32},
};

constexpr FieldDescriptor kToneFields[kToneCount] = {
    {1208, 0, 0, 421, FieldKind::Frame, 32},
    {0, 1058, 1241, 422, FieldKind::EditSpin, 121, CharClass::DigitsOrC, 2, false, tone(0x12)},
    {0, 1066, 1261, 423, FieldKind::EditSpin, 122, CharClass::DigitsOrC, 2, false, tone(0x13)},
    {0, 1067, 1262, 424, FieldKind::EditSpin, 123, CharClass::DigitsOrC, 2, false, tone(0x14)},
    {0, 1068, 1263, 425, FieldKind::EditSpin, 124, CharClass::DigitsOrC, 2, false, tone(0x15)},
    {1222, 0, 0, 426, FieldKind::Frame, 32},
    {1177, 1177, 0, 427, FieldKind::Check, 131, CharClass::Any, 0, false, checkAt(0x31, {282, 281})},
    {1180, 1180, 0, 428, FieldKind::Check, 132, CharClass::Any, 0, false, checkAt(0x32, {282, 281})},
    {1179, 1179, 0, 429, FieldKind::Check, 133, CharClass::Any, 0, false, checkAt(0x33, {282, 281})},
    {1217, 0, 0, 353, FieldKind::Frame, 32},
    {0, 1172, 0, 430, FieldKind::List, 141, CharClass::Any, 0, false, listAt(kIdFormatAt, kIdFormatList)},
    {0, 1173, 0, 353, FieldKind::List, 142, CharClass::Any, 0, false, listAt(kPttIdAt, kPttIdList)},
    {0, 1174, 0, 431, FieldKind::Edit, 143, CharClass::Dtmf, kIdMaxLength, true},
    {0, 1175, 0, 432, FieldKind::Edit, 144, CharClass::Dtmf, kIdMaxLength, true},
    {1194, 1194, 0, 433, FieldKind::Check, 146, CharClass::Any, 0, false, checkAt(kDialIdAt, {282, 281})},
    {1176, 1176, 0, 434, FieldKind::Check, 145, CharClass::Any, 0, false,
     checkAt(kInhibitIdAt, {kTextNo, kTextYes}, 1, 0xFF)},
};

constexpr FieldPage kPages[] = {{396, kGeneralFields}, {397, kToneFields}};

// Frames and the separator have no key: they hold no value.
constexpr std::string_view kGeneralKeys[kGeneralCount] = {
    "channel_text_size",
    "group_text_size",
    "minimum_volume",
    "squelch_level",
    "power_on_text",
    "roll_over_dead_end",
    "small_digit_lcd_display",
    "timed_power_off",
    "tx_audio_monitor",
    "home_group",
    "home_channel",
    "noise_blanker",
    "busy_channel_lock_override",
    "off_hook_decode",
    "horn_alert_backup",
    "off_hook_horn_alert",
    "channel_tracking",
    "clear_to_transpond",
    "ext_ptt_mic_mute",
    "ext_ptt_qt_dqt",
    "ext_ptt_ste",
    "",
    "logic_signal",
    "logic_signal_time",
    "",
};
constexpr std::string_view kToneKeys[kToneCount] = {
    "",
    "power_on_tone",
    "control_tone",
    "warning_tone",
    "alert_tone",
    "",
    "panel_test",
    "clone",
    "main_programming",
    "",
    "id_format",
    "ptt_id",
    "connect_id",
    "disconnect_id",
    "dial_id",
    "inhibit_id_in_ta",
};

bool isTextSize(int page, int field) {
    return page == kGeneral && (field == kChannelTextSize || field == kGroupTextSize);
}
bool isTone(int page, int field) {
    return page == kTones && field >= kPowerOnTone && field <= kAlertTone;
}
bool isIdText(int page, int field) {
    return page == kTones && (field == kConnectId || field == kDisconnectId);
}

// Where a Connect or Disconnect ID keeps its length byte and its 32 text bytes.
std::size_t idLengthAt(int field) {
    return layout::kPttIdLengths + (field == kDisconnectId ? 1 : 0);
}
std::size_t idTextAt(int field) {
    return field == kDisconnectId ? layout::kDisconnectId : layout::kConnectId;
}

bool lowBandCode(int code) {
    return code >= 1 && code <= 3;
}

// The home pair applies while a key of a fitted head or a head pin of the function port calls it.
bool homeApplies(const Document& doc) {
    return keys::homeFunctionAssigned(doc.image().main(), keys::headSetupOf(identificationOf(doc.image())));
}

} // namespace

OptionalFeaturesArea::OptionalFeaturesArea(ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), store_(store) {}

std::span<const FieldPage> OptionalFeaturesArea::pages() const {
    return kPages;
}

std::string_view OptionalFeaturesArea::fieldKey(int page, int field) {
    if (page == kGeneral && field >= 0 && field < kGeneralCount) return kGeneralKeys[field];
    if (page == kTones && field >= 0 && field < kToneCount) return kToneKeys[field];
    return {};
}

Byte OptionalFeaturesArea::at(std::size_t offset) const {
    return byteAt(document().image().main(), offset);
}

bool OptionalFeaturesArea::largeHead() const {
    return identificationOf(document().image()).secondTypeHeadInUse();
}

bool OptionalFeaturesArea::lowBandUnit() const {
    ModelIdentification id = identificationOf(document().image());
    return lowBandCode(id.bandCode(kModel1) & 0x0F) ||
           (id.isDualBand() && lowBandCode(id.bandCode(kModel2) & 0x0F));
}

int OptionalFeaturesArea::textSizeMax() const {
    return largeHead() ? kLargeTextSize : kSmallTextSize;
}

NumericRange OptionalFeaturesArea::range(int page, int field) const {
    if (isTextSize(page, field)) return {0, textSizeMax(), 1};
    return FeatureArea::range(page, field);
}

EditFormat OptionalFeaturesArea::editFormat(int page, int field) const {
    EditFormat f = FeatureArea::editFormat(page, field);
    if (isTextSize(page, field)) f.maxLength = largeHead() ? 2 : 1;
    if (page == kGeneral && field == kPowerOnText) f.maxLength = textSizeMax();
    return f;
}

FieldText OptionalFeaturesArea::fieldText(int page, int field) const {
    const Document& doc = document();
    if (page == kGeneral) {
        switch (field) {
        case kPowerOnText: {
            // Read with the field's own length, trailing blanks dropped, cut to what the head shows.
            std::string t = fixedText(doc.image().main(), layout::kPowerOnText, layout::kPowerOnTextSize);
            t.erase(t.find_last_not_of(' ') + 1);
            if (t.size() > std::size_t(textSizeMax())) t.resize(std::size_t(textSizeMax()));
            return {t, -1};
        }
        case kHomeGroup:
            return {home_.groupText(doc), home_.group(doc)};
        case kHomeChannel:
            return {home_.channelText(doc), home_.channel(doc)};
        case kLogicSignal: {
            // A time of 1 to 30 s is a continuous signal of that length.
            int b = at(kLogicSignalAt);
            if (b >= kLogicTime.min && b <= kLogicTime.max) return {text(kTextContinuous), b};
            break;
        }
        default:
            break;
        }
    } else if (page == kTones && field == kInhibitIdInTa) {
        int b = at(kInhibitIdAt);
        return {b == 1 ? text(kTextYes) : b == 0xFF ? text(kTextNo) : std::string{}, b == 1 ? 1 : 0};
    } else if (isIdText(page, field)) {
        auto main = doc.image().main();
        const std::size_t n = std::min<std::size_t>(at(idLengthAt(field)), kIdMaxLength);
        std::string t = fixedText(main, idTextAt(field), n);
        // A blank ends the ID as a NUL would.
        t.resize(std::min(t.size(), t.find(' ')));
        return {t, int(n)};
    }
    return FeatureArea::fieldText(page, field);
}

bool OptionalFeaturesArea::isFieldEnabled(int page, int field) const {
    if (page == kGeneral) {
        switch (field) {
        case kTxAudioMonitor:
            return identificationOf(document().image()).isDualHead();
        case kHomeGroup:
            return homeApplies(document());
        case kHomeChannel:
            return homeApplies(document()) && home_.hasGroup(document());
        case kNoiseBlanker:
            return lowBandUnit();
        case kExtPttSte:
            return at(kExtPttQtAt) != 0;
        case kLogicSignalTime:
            return at(kLogicSignalAt) != kLogicPulse;
        default:
            return true;
        }
    }
    const Byte format = at(kIdFormatAt);
    switch (field) {
    case kPttId:
    case kInhibitIdInTa:
        return format != kIdDataBoard;
    case kDialId:
        return format != kIdDravix && format != kIdDataBoard;
    case kConnectId:
    case kDisconnectId: {
        if (format == kIdDravix || format == kIdDataBoard) return false;
        if (at(kDialIdAt) == 1) return true;
        const Byte ptt = at(kPttIdAt);
        if (ptt == 0) return false;
        return field == kConnectId ? ptt != kPttDisconnectOnly : ptt != kPttConnectOnly;
    }
    default:
        return true;
    }
}

void OptionalFeaturesArea::coupleTextSizes(int field) {
    auto main = document().image().main();
    const int max = textSizeMax();
    if (field == kChannelTextSize)
        setByte(main, kGroupTextSizeAt, Byte(std::max(0, max - at(kChannelTextSizeAt))));
    else
        setByte(main, kChannelTextSizeAt, Byte(std::max(0, max - at(kGroupTextSizeAt))));
}

FieldEffects OptionalFeaturesArea::commitTextSize(int field, std::string_view t) {
    const FieldStorage& s = *storage(kGeneral, field);
    std::string typed(t);
    Byte v;
    if (typed == text(kTextSizeOff))
        v = 0;
    else if (isBlankText(typed))
        // An empty channel size gives the channel name the whole display.
        v = field == kChannelTextSize ? Byte(textSizeMax()) : Byte(0);
    else
        v = Byte(clampNumberText(typed, range(kGeneral, field)));
    storeByte(s, v);
    coupleTextSizes(field);
    FieldEffects fx;
    fx.showFields = {{kGeneral, kChannelTextSize}, {kGeneral, kGroupTextSize}};
    fx.otherViews = views::kChannelEdit | views::kChannelInfo | views::kGroupEdit;
    return fx;
}

FieldEffects OptionalFeaturesArea::commitGeneral(int field, std::string_view t) {
    FieldEffects fx;
    switch (field) {
    case kChannelTextSize:
    case kGroupTextSize:
        return commitTextSize(field, t);
    case kPowerOnText: {
        std::array<Byte, layout::kPowerOnTextSize> buf{};
        t = t.substr(0, std::size_t(textSizeMax()));
        std::copy(t.begin(), t.end(), buf.begin());
        replaceBytes(buf, buf.size(), 0, ' ');
        blankToFill(buf, buf.size());
        auto main = document().image().main();
        for (std::size_t i = 0; i < buf.size(); ++i)
            setByte(main, layout::kPowerOnText + i, buf[i]);
        fx.showFields.push_back({kGeneral, field});
        return fx;
    }
    case kHomeGroup:
        home_.commitGroup(t, store_, boxes());
        fx.showFields = {{kGeneral, kHomeGroup}, {kGeneral, kHomeChannel}};
        fx.refreshEnables = true;
        fx.otherViews = views::kChannelInfo;
        return fx;
    case kHomeChannel:
        home_.commitChannel(t, store_, boxes());
        fx.showFields.push_back({kGeneral, kHomeChannel});
        fx.otherViews = views::kChannelInfo | views::kChannelEdit;
        return fx;
    case kLogicSignalTime: {
        // "Unlimited", nothing or 0 all mean a signal without end.
        std::string typed(t);
        Byte v = 0xFF;
        if (typed != text(kTextUnlimited) && !isBlankText(typed)) {
            int n = clampNumberText(typed, {0, kLogicTime.max, 1});
            if (n != 0) v = Byte(std::max(n, kLogicTime.min));
        }
        storeByte(*storage(kGeneral, field), v);
        fx.showFields.push_back({kGeneral, field});
        return fx;
    }
    default:
        fx = FeatureArea::commitField(kGeneral, field, t);
        fx.showFields.push_back({kGeneral, field});
        return fx;
    }
}

FieldEffects OptionalFeaturesArea::commitTones(int field, std::string_view t) {
    FieldEffects fx;
    if (isTone(kTones, field)) {
        const std::string special = text(kTextContinuous);
        std::string typed(t);
        // "C" stands for the whole word: the edit takes a single C.
        const bool continuous = typed == special || isBlankText(typed) ||
                                (!special.empty() && !typed.empty() && typed[0] == special[0]);
        storeByte(*storage(kTones, field),
                  continuous ? kToneOff.stored : Byte(clampNumberText(typed, kToneRange)));
    } else if (isIdText(kTones, field)) {
        t = t.substr(0, std::min<std::size_t>(t.size(), kIdMaxLength));
        auto main = document().image().main();
        std::array<Byte, kIdTextSize> buf;
        buf.fill(0xFF);
        if (!t.empty()) {
            buf.fill(0);
            std::copy(t.begin(), t.end(), buf.begin());
            replaceBytes(buf, buf.size(), 0, 0xFF);
            blankToFill(buf, buf.size());
        }
        setByte(main, idLengthAt(field), Byte(t.size()));
        for (std::size_t i = 0; i < buf.size(); ++i)
            setByte(main, idTextAt(field) + i, buf[i]);
    } else {
        return FeatureArea::commitField(kTones, field, t);
    }
    fx.showFields.push_back({kTones, field});
    return fx;
}

FieldEffects OptionalFeaturesArea::commitField(int page, int field, std::string_view input) {
    std::string_view t = input.substr(0, kMaxCommitText);
    return page == kGeneral ? commitGeneral(field, t) : commitTones(field, t);
}

FieldEffects OptionalFeaturesArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    const FieldStorage* s = storage(page, field);
    if (!s || value < 0) return fx;
    if (s->kind == Storage::List && !listOffers(valueList(page, field), value)) return fx;
    if (page == kGeneral && field == kNoiseBlanker) {
        // The noise blanker exists on low-band units only; their channels carry a copy of it.
        if (!lowBandUnit()) return fx;
        FeatureArea::commitChoice(page, field, value);
        store_.applyNoiseBlanker(at(layout::kCsNoiseBlanker));
        fx.showFields.push_back({page, field});
        return fx;
    }
    if (page == kGeneral && field == kLogicSignal && value == 0xFF) {
        const int b = at(kLogicSignalAt);
        // Already a continuous signal with a time: choosing the shown item changes nothing.
        if (b >= kLogicTime.min && b <= kLogicTime.max) return fx;
    }
    FeatureArea::commitChoice(page, field, value);
    fx.showFields.push_back({page, field});
    if (page == kGeneral) {
        if (field == kLogicSignal) {
            fx.showFields.push_back({kGeneral, kLogicSignalTime});
            fx.refreshEnables = true;
        } else if (field == kExtPttQt) {
            fx.refreshEnables = true;
        }
    } else if (field == kIdFormat) {
        fx.refreshEnables = true;
        fx.otherViews = views::kChannelInfo;
    } else if (field == kPttId || field == kDialId) {
        fx.refreshEnables = true;
    }
    return fx;
}

FieldEffects OptionalFeaturesArea::stepField(int page, int field, std::string_view text, int direction) {
    FieldEffects fx = FeatureArea::stepField(page, field, text, direction);
    fx.showFields.push_back({page, field});
    if (isTextSize(page, field)) {
        coupleTextSizes(field);
        // A spin step only shows both sizes again.
        fx.showFields = {{kGeneral, kChannelTextSize}, {kGeneral, kGroupTextSize}};
        fx.otherViews = 0;
    }
    return fx;
}

FieldEffects OptionalFeaturesArea::leaveField(int page, int field) {
    FieldEffects fx;
    if (page == kTones && field == kIdFormat) {
        // The data board format needs the board: channels on a unit without one lose PTT ID.
        store_.clearPttIdWithoutOption();
        fx.otherViews = views::kChannelInfo;
    }
    return fx;
}

std::vector<ValueItem> OptionalFeaturesArea::valueList(int page, int field) const {
    if (page == kTones && field == kIdFormat) {
        const bool board = identificationOf(document().image()).hasOptionBoard(2);
        std::vector<ValueItem> out;
        for (const ValueItem& i : kIdFormatList)
            if (i.stored != kIdDataBoard || board) out.push_back(i);
        return out;
    }
    return FeatureArea::valueList(page, field);
}

} // namespace velora::forms
