#include "features/Dtmf.h"

#include <algorithm>
#include <cctype>

#include "features/TwoTone.h"
#include "forms/FieldRules.h"

namespace velora::forms {

using namespace dtmf;

namespace {

constexpr std::uint16_t kSpeedAt = 0x40;
constexpr std::uint16_t kFirstDigitTimeAt = 0x41;
constexpr std::uint16_t kFirstDigitDelayAt = 0x42;
constexpr std::uint16_t kStarHashTimeAt = 0x43;
constexpr std::uint16_t kKeypadAutoPttAt = 0x46;
constexpr std::uint16_t kManualDialAt = 0x47;
constexpr std::uint16_t kAutoDialAt = 0x48;
constexpr std::uint16_t kAutoDialProgrammingAt = 0x49;
constexpr std::uint16_t kPAt = 0x4A;
constexpr std::uint16_t kQAt = 0x5C;
constexpr std::uint16_t kCodeAt[] = {0x60, 0x68, 0x70};
constexpr std::uint16_t kDirectOstAt = 0x1A;

struct Speed {
    int digits;
    int offset;
};
constexpr Speed kSpeeds[] = {{6, 8}, {8, 6}, {10, 5}, {15, 3}};
constexpr int kOutsideOffset = 8;
constexpr NumericRange kSpeedIndex{0, 3, 1};
// Digit times in milliseconds and the stored units (10 ms) they stand for.
constexpr int kTimes[] = {0, 100, 500, 1000};
constexpr NumericRange kTimeIndex{0, 3, 1};
constexpr NumericRange kDelayMs{100, 1000, 50};
constexpr NumericRange kDelayUnits{10, 100, 5};

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kTimingFields[kTimingCount] = {
    {0, 1116, 1117, 497, FieldKind::EditSpin, 501, CharClass::Digits, 2},
    {0, 1054, 1123, 498, FieldKind::EditSpin, 502, CharClass::Digits, 4},
    {0, 1052, 1119, 499, FieldKind::EditSpin, 503, CharClass::Digits, 4},
    {0, 1053, 1121, 500, FieldKind::EditSpin, 504, CharClass::Digits, 4},
    {1094, 1094, 0, 501, FieldKind::Check, 505, CharClass::Any, 0, false, checkAt(0x44, {280, 279})},
    {1331, 1331, 0, 502, FieldKind::Check, 506, CharClass::Any, 0, false, checkAt(kManualDialAt, {280, 279})},
    {1332, 1332, 0, 503, FieldKind::Check, 507, CharClass::Any, 0, false, checkAt(0x45, {278, 277})},
    {1403, 1403, 0, 504, FieldKind::Check, 508, CharClass::Any, 0, false,
     checkAt(kKeypadAutoPttAt, {280, 279})},
    {1404, 1404, 0, 505, FieldKind::Check, 509, CharClass::Any, 0, false, checkAt(kAutoDialAt, {280, 279})},
    {1405, 1405, 0, 506, FieldKind::Check, 510, CharClass::Any, 0, false,
     checkAt(kAutoDialProgrammingAt, {280, 279})},
};
constexpr FieldDescriptor kDecodeFields[kDecodeCount] = {
    {0, 1005, 0, 508, FieldKind::List, 521},
    {0, 1100, 0, 509, FieldKind::Edit, 522, CharClass::Dtmf, int(kCodeSize), true},
    {0, 1102, 0, 510, FieldKind::Edit, 523, CharClass::Dtmf, int(kCodeSize), true},
    {0, 1104, 0, 511, FieldKind::Edit, 524, CharClass::Dtmf, int(kCodeSize), true},
    {1002, 1002, 0, 512, FieldKind::Check, 525},
    {1003, 1003, 0, 513, FieldKind::Check, 526, CharClass::Any, 0, false, checkAt(0x4C, {278, 277})},
};
constexpr FieldPage kPages[] = {{495, kTimingFields}, {496, kDecodeFields}, {514, {}}};

constexpr std::string_view kTimingKeys[kTimingCount] = {
    "speed",
    "first_digit_delay_time",
    "first_digit_time",
    "star_hash_digit_time",
    "side_tone",
    "manual_dial",
    "hold_time",
    "keypad_auto_ptt",
    "auto_dial",
    "auto_dial_programming",
};
constexpr std::string_view kDecodeKeys[kDecodeCount] = {
    "call_alert", "primary_code", "secondary_code", "dead_beat_disable", "transpond", "auto_reset",
};

bool isDigitTime(int page, int field) {
    return page == kTiming && (field == kFirstDigitTime || field == kStarHashDigitTime);
}
std::uint16_t digitTimeAt(int field) {
    return field == kFirstDigitTime ? kFirstDigitTimeAt : kStarHashTimeAt;
}
bool isCode(int page, int field) {
    return page == kDecode && field >= kPrimaryCode && field <= kDeadBeatCode;
}
// Index 0..3 of a digit time in milliseconds, -1 when it is none of them.
int timeIndex(int ms) {
    auto it = std::find(std::begin(kTimes), std::end(kTimes), ms);
    return it == std::end(kTimes) ? -1 : int(it - std::begin(kTimes));
}
// Index of the stored time with `offset` removed, -1 when the byte holds none of the times.
int storedTimeIndex(Byte b, int offset) {
    return timeIndex((int(b) - offset) * 10);
}
std::size_t autoDialAt(int row) {
    return kAutoDialSize * std::size_t(row);
}
bool validRow(int row) {
    return row >= 0 && row < kAutoDialCodes;
}

} // namespace

namespace dtmf {
int speedDigits(int index) {
    return index >= 0 && index < int(std::size(kSpeeds)) ? kSpeeds[index].digits : -1;
}
int speedOffset(int index) {
    return index >= 0 && index < int(std::size(kSpeeds)) ? kSpeeds[index].offset : kOutsideOffset;
}
} // namespace dtmf

std::span<const FieldPage> DtmfArea::pages() const {
    return kPages;
}

bool DtmfArea::pageAvailable(int page) const {
    if (page == kAutoDialPage) return on(kAutoDialAt);
    return page >= 0 && page < pageCount();
}

std::string_view DtmfArea::fieldKey(int page, int field) {
    if (page == kTiming && field >= 0 && field < kTimingCount) return kTimingKeys[field];
    if (page == kDecode && field >= 0 && field < kDecodeCount) return kDecodeKeys[field];
    return {};
}

Byte DtmfArea::at(std::size_t offset) const {
    return byteAt(document().image().main(), offset);
}

int DtmfArea::offset() const {
    return speedOffset(at(kSpeedAt));
}

FieldText DtmfArea::fieldText(int page, int field) const {
    if (page == kTiming && field == kSpeed) {
        const int digits = speedDigits(at(kSpeedAt));
        return {digits < 0 ? std::string{} : std::to_string(digits), at(kSpeedAt)};
    }
    if (page == kTiming && field == kFirstDigitDelay) {
        const int b = at(kFirstDigitDelayAt);
        return {b >= kDelayUnits.min && b <= kDelayUnits.max ? std::to_string(b * 10) : std::string{}, b};
    }
    if (isDigitTime(page, field)) {
        const Byte stored = at(digitTimeAt(field));
        const int i = storedTimeIndex(stored, offset());
        return {i < 0 ? std::string{} : std::to_string(kTimes[i]), stored};
    }
    if (isCode(page, field)) {
        // Read with the code's own length; a blank or 0xFF ends it.
        std::string t = fixedText(document().image().main(), kCodeAt[field - kPrimaryCode], kCodeSize);
        t.resize(std::min(t.size(), t.find(' ')));
        return {t, -1};
    }
    const auto pair = twotone::readAlertPair(at(kPAt), at(kQAt));
    if (page == kDecode && field == kCallAlert) {
        auto t = valueListText(twotone::callAlertList(), pair.alert);
        return {t ? text(*t) : std::string{}, pair.alert};
    }
    if (page == kDecode && field == kTranspond)
        return {text(pair.transpond ? 279 : 280), pair.transpond ? 1 : 0};
    return FeatureArea::fieldText(page, field);
}

bool DtmfArea::isFieldEnabled(int page, int field) const {
    if (page != kTiming) return pageAvailable(page);
    const bool directOst = on(kDirectOstAt);
    switch (field) {
    case kKeypadAutoPtt:
        return !directOst && on(kManualDialAt);
    case kAutoDial:
        return !directOst;
    case kAutoDialProgramming:
        return on(kAutoDialAt);
    default:
        return true;
    }
}

void DtmfArea::setSpeedIndex(int index) {
    auto main = document().image().main();
    const int from = offset(), to = speedOffset(index);
    setByte(main, kSpeedAt, Byte(index));
    // Only bytes that hold one of the times move; unset or foreign bytes are kept as they are.
    for (std::uint16_t at : {kFirstDigitTimeAt, kStarHashTimeAt}) {
        const int i = storedTimeIndex(byteAt(main, at), from);
        if (i >= 0) setByte(main, at, Byte(kTimes[i] / 10 + to));
    }
}

FieldEffects DtmfArea::commitTiming(int field, std::string_view t) {
    FieldEffects fx;
    fx.showFields.push_back({kTiming, field});
    auto main = document().image().main();
    const int typed = leadingInt(t);
    switch (field) {
    case kSpeed: {
        int index = 0;
        for (int i = 0; i < int(std::size(kSpeeds)); ++i)
            if (kSpeeds[i].digits <= typed) index = i;
        setSpeedIndex(index);
        fx.showFields.push_back({kTiming, kFirstDigitTime});
        fx.showFields.push_back({kTiming, kStarHashDigitTime});
        break;
    }
    case kFirstDigitDelay: {
        std::string s(t);
        setByte(main, kFirstDigitDelayAt, Byte(clampNumberText(s, kDelayMs) / 10));
        break;
    }
    case kFirstDigitTime:
    case kStarHashDigitTime: {
        int index = 0;
        for (int i = 0; i < int(std::size(kTimes)); ++i)
            if (kTimes[i] <= typed) index = i;
        setByte(main, digitTimeAt(field), Byte(kTimes[index] / 10 + offset()));
        break;
    }
    default:
        break;
    }
    return fx;
}

FieldEffects DtmfArea::commitField(int page, int field, std::string_view input) {
    std::string_view t = input.substr(0, kMaxCommitText);
    if (page == kTiming) return commitTiming(field, t);
    FieldEffects fx;
    if (!isCode(page, field)) return fx;
    // Positions after the code hold 0xFF; an all-blank code is no code.
    std::array<Byte, kCodeSize> buf;
    buf.fill(' ');
    t = t.substr(0, kCodeSize);
    std::copy(t.begin(), t.end(), buf.begin());
    replaceBytes(buf, kCodeSize, 0, ' ');
    blankToFill(buf, kCodeSize);
    std::fill(buf.begin() + std::ptrdiff_t(t.size()), buf.end(), Byte{0xFF});
    auto main = document().image().main();
    for (std::size_t i = 0; i < kCodeSize; ++i)
        setByte(main, kCodeAt[field - kPrimaryCode] + i, buf[i]);
    fx.showFields.push_back({page, field});
    return fx;
}

FieldEffects DtmfArea::stepField(int page, int field, std::string_view input, int direction) {
    FieldEffects fx = commitField(page, field, input);
    if (page != kTiming) return fx;
    auto main = document().image().main();
    switch (field) {
    case kSpeed:
        setSpeedIndex(stepWithWrap(at(kSpeedAt), kSpeedIndex, direction));
        break;
    case kFirstDigitDelay:
        setByte(main, kFirstDigitDelayAt, Byte(stepWithWrap(at(kFirstDigitDelayAt), kDelayUnits, direction)));
        break;
    case kFirstDigitTime:
    case kStarHashDigitTime: {
        // A byte holding none of the times steps up to the first and down to the last.
        const int i = storedTimeIndex(at(digitTimeAt(field)), offset());
        const int next = stepWithWrap(i < 0 ? -1 : i, kTimeIndex, direction);
        setByte(main, digitTimeAt(field), Byte(kTimes[next] / 10 + offset()));
        break;
    }
    default:
        break;
    }
    return fx;
}

FieldEffects DtmfArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    if (value < 0 || !isFieldEnabled(page, field)) return fx;
    auto main = document().image().main();
    fx.showFields.push_back({page, field});
    if (page == kDecode && (field == kCallAlert || field == kTranspond)) {
        auto pair = twotone::readAlertPair(at(kPAt), at(kQAt));
        if (field == kCallAlert) {
            if (!listOffers(twotone::callAlertList(), value)) return {};
            pair.alert = value;
            fx.refreshEnables = true;
        } else {
            pair.transpond = value != 0;
        }
        const auto [p, q] = twotone::alertPairBytes(pair);
        setByte(main, kPAt, p);
        setByte(main, kQAt, q);
        return fx;
    }
    FeatureArea::commitChoice(page, field, value);
    if (page != kTiming) return fx;
    switch (field) {
    case kManualDial:
        if (!value) setByte(main, kKeypadAutoPttAt, 0);
        fx.showFields.push_back({kTiming, kKeypadAutoPtt});
        fx.refreshEnables = true;
        fx.otherViews = views::kOperatorTone;
        break;
    case kKeypadAutoPtt:
        fx.otherViews = views::kOperatorTone;
        break;
    case kAutoDial:
        if (!value) setByte(main, kAutoDialProgrammingAt, 0);
        fx.showFields.push_back({kTiming, kAutoDialProgramming});
        fx.refreshEnables = true;
        fx.pagesChanged = true;
        fx.otherViews = views::kOperatorTone;
        break;
    default:
        break;
    }
    return fx;
}

std::vector<ValueItem> DtmfArea::valueList(int page, int field) const {
    if (page == kDecode && field == kCallAlert) {
        auto items = twotone::callAlertList();
        return {items.begin(), items.end()};
    }
    return FeatureArea::valueList(page, field);
}

FieldText DtmfArea::gridCellTextAt(int page, int row, int) const {
    if (page != kAutoDialPage || !validRow(row)) return {};
    std::string t = fixedText(document().image().dtmf(), autoDialAt(row), kAutoDialSize);
    for (char& c : t)
        c = c == 'E' ? '*' : c == 'F' ? '#' : c;
    return {t, -1};
}

EditFormat DtmfArea::gridEditFormat(int, int, int) const {
    return {CharClass::Dtmf, int(kAutoDialSize), true};
}

FieldEffects DtmfArea::commitGridText(int page, int row, int, std::string_view t) {
    if (page != kAutoDialPage || !validRow(row) || t.find(' ') != std::string_view::npos) return {};
    AutoDialRecord rec;
    rec.fill(0xFF);
    if (!t.empty()) {
        for (std::size_t i = 0; i < kAutoDialSize; ++i) {
            const char c = i < t.size() ? char(std::toupper(static_cast<unsigned char>(t[i]))) : '\0';
            rec[i] = c == '#'                                           ? Byte('F')
                     : c == '*'                                         ? Byte('E')
                     : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') ? Byte(c)
                                                                        : Byte(0);
        }
    }
    pasteAutoDial(row, {rec});
    return {};
}

std::vector<AutoDialRecord> DtmfArea::copyAutoDial(const std::vector<int>& rows) const {
    std::vector<AutoDialRecord> out;
    auto area = document().image().dtmf();
    for (int row : rows) {
        if (!validRow(row)) continue;
        AutoDialRecord rec;
        for (std::size_t i = 0; i < kAutoDialSize; ++i)
            rec[i] = byteAt(area, autoDialAt(row) + i);
        out.push_back(rec);
    }
    return out;
}

void DtmfArea::pasteAutoDial(int first, const std::vector<AutoDialRecord>& records) {
    auto area = document().image().dtmf();
    // The tenth record of the area is not an auto-dial code: nothing is written past row 9.
    if (first < 0) return;
    for (std::size_t k = 0; k < records.size() && validRow(first + int(k)); ++k) {
        for (std::size_t i = 0; i < kAutoDialSize; ++i)
            setByte(area, autoDialAt(first + int(k)) + i, records[k][i]);
    }
}

void DtmfArea::clearAutoDial(const std::vector<int>& rows) {
    AutoDialRecord none;
    none.fill(0xFF);
    for (int row : rows)
        pasteAutoDial(row, {none});
}

} // namespace velora::forms
