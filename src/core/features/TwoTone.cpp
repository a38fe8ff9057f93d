#include "features/TwoTone.h"

#include <cmath>

#include "forms/FieldRules.h"
#include "model/FrequencyCodec.h"
#include "model/Layout.h"

namespace velora::forms {

using namespace twotone;

namespace {

// Per code k: a 32-byte record of three coefficient blocks and three frequencies, six decoder
// bytes, and the Q byte of the alert/transpond pair.
constexpr std::size_t kCodeRecordSize = 32;
constexpr std::size_t kCoefficientSize = 7;
constexpr std::size_t kFrequencyAt = 21;
constexpr std::size_t kFrequencySize = 3;
constexpr std::uint16_t kDecoderBytes = 0xE0;
constexpr std::uint16_t kDecoderBytesSize = 6;
constexpr std::uint16_t kQBytes = 0xF2;

constexpr std::uint16_t decoderByte(int code, int i) {
    return std::uint16_t(kDecoderBytes + kDecoderBytesSize * code + i);
}
constexpr std::size_t kFormat1At = 0, kType1At = 1, kFormat2At = 2, kType2At = 3, kPAt = 4, kResetAt = 5;

constexpr ValueItem kFormat1List[] = {{297, 4}, {298, 5}, {299, 6}, {300, 1}, {301, 2}, {302, 3}};
constexpr ValueItem kFormat2List[] = {{262, 0}, {297, 4}, {298, 5}, {299, 6}, {300, 1}, {301, 2}, {302, 3}};
constexpr ValueItem kTypeList[] = {{303, 0}, {345, 1}};
constexpr ValueItem kAlertList[] = {{294, 1}, {263, 2}, {280, 0}};
constexpr NumericRange kToneTenths{kToneMin, kToneMax, 1};
constexpr DecimalRange kToneHertz{kToneMin / 10.0, kToneMax / 10.0, 0.1};

// The tones an empty edit writes, with their coefficient bytes exactly as the radio expects them
// (B and C are not what the coefficient formula gives for their frequencies).
struct DefaultTone {
    int tenths;
    std::array<Byte, kCoefficientSize> coefficients;
};
constexpr DefaultTone kDefaultTones[3] = {
    {3217, {0x15, 0xF1, 0x39, 0xFD, 0xB3, 0x00, 0xC0}},
    {9281, {0xB2, 0x93, 0x10, 0xF8, 0x00, 0x05, 0x43}},
    {6009, {0x79, 0xCF, 0xD5, 0xFA, 0x5A, 0x02, 0x67}},
};

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage, frame holds
constexpr std::array<FieldDescriptor, kFieldCount> codeFields(int k) {
    // Each decoder's frame holds its call format and call type; the tones, call alert, transpond
    // and auto reset below are outside both frames.
    return {{
        {1486, 0, 0, 486, FieldKind::Frame, 36, CharClass::Any, 0, false, {}, 2},
        {0, 1071, 0, 488, FieldKind::List, 401, CharClass::Any, 0, false,
         listAt(decoderByte(k, kFormat1At), kFormat1List)},
        {0, 1070, 0, 489, FieldKind::List, 402, CharClass::Any, 0, false,
         listAt(decoderByte(k, kType1At), kTypeList)},
        {1487, 0, 0, 487, FieldKind::Frame, 36, CharClass::Any, 0, false, {}, 2},
        {0, 1072, 0, 490, FieldKind::List, 403, CharClass::Any, 0, false,
         listAt(decoderByte(k, kFormat2At), kFormat2List)},
        {0, 1075, 0, 491, FieldKind::List, 404, CharClass::Any, 0, false,
         listAt(decoderByte(k, kType2At), kTypeList)},
        {0, 1080, 1079, 492, FieldKind::EditSpin, 405, CharClass::Decimal, 6},
        {0, 1081, 1082, 493, FieldKind::EditSpin, 406, CharClass::Decimal, 6},
        {0, 1083, 1084, 494, FieldKind::EditSpin, 407, CharClass::Decimal, 6},
        {0, 1050, 0, 508, FieldKind::List, 408},
        {1497, 1497, 0, 512, FieldKind::Check, 409},
        {1498, 1498, 0, 513, FieldKind::Check, 410, CharClass::Any, 0, false,
         checkAt(decoderByte(k, kResetAt), {278, 277})},
    }};
}
constexpr auto kCode1 = codeFields(0);
constexpr auto kCode2 = codeFields(1);
constexpr auto kCode3 = codeFields(2);
constexpr FieldPage kPages[kCodes] = {{483, kCode1}, {484, kCode2}, {485, kCode3}};

constexpr std::string_view kKeys[kFieldCount] = {
    "",       "decoder_1_format", "decoder_1_type", "",           "decoder_2_format", "decoder_2_type",
    "a_tone", "b_tone",           "c_tone",         "call_alert", "transpond",        "auto_reset",
};

bool isTone(int field) {
    return field >= kToneA && field <= kToneC;
}
int toneIndex(int field) {
    return field - kToneA;
}
std::size_t recordAt(int code) {
    return layout::kTwoTone + kCodeRecordSize * std::size_t(code);
}
std::size_t frequencyAt(int code, int field) {
    return recordAt(code) + kFrequencyAt + kFrequencySize * std::size_t(toneIndex(field));
}
std::size_t coefficientsAt(int code, int field) {
    return recordAt(code) + kCoefficientSize * std::size_t(toneIndex(field));
}
bool validCode(int page) {
    return page >= 0 && page < kCodes;
}

// The formats that use each tone: A for 1, 4, 5; B for 2, 4, 6; C for 3, 5, 6.
bool formatUsesTone(int format, int field) {
    switch (field) {
    case kToneA:
        return format == 1 || format == 4 || format == 5;
    case kToneB:
        return format == 2 || format == 4 || format == 6;
    default:
        return format == 3 || format == 5 || format == 6;
    }
}

} // namespace

namespace twotone {

std::array<Byte, 3> encodeToneFrequency(int tenths) {
    auto digit = [&](int weight) { return Byte((tenths / weight) % 10); };
    return {Byte(digit(10) << 4 | digit(1)), Byte(digit(1000) << 4 | digit(100)), digit(10000)};
}

int decodeToneFrequency(std::span<const Byte> area, std::size_t offset) {
    const Byte b0 = byteAt(area, offset), b1 = byteAt(area, offset + 1), b2 = byteAt(area, offset + 2);
    return (b0 & 0x0F) + 10 * (b0 >> 4) + 100 * (b1 & 0x0F) + 1000 * (b1 >> 4) + 10000 * (b2 & 0x0F);
}

std::array<Byte, 7> toneCoefficients(int tenths) {
    // The radio's decoder was tuned with these very constants and this precision.
    using Real = long double;
    const Real f = static_cast<float>(tenths / 10.0f);
    const Real T = 0.0001620001L, pi = 3.1415926L;
    const Real w = 2 * pi * f, alpha = w / 60;
    const Real n = std::floor(10 / (f * T) + 0.5L);
    const Real b1 = 2 * std::exp(-alpha * T) * std::cos(T * std::sqrt(w * w - alpha * alpha));
    const Real b2 = -std::exp(-2 * alpha * T);
    const Real c1 = std::trunc(std::fabs(std::floor(65536 * b1 + 0.5L)) * 0.5L);
    const Real c2 = std::fabs(std::floor(65536 * b2 + 0.5L));
    const Real g = (pi / 4) * (1 + b2) * std::sqrt(1 + b1 * b1 / (4 * b2));
    const Real gain = b1 >= 0 ? std::floor(std::fabs(65536 * g)) : std::floor(std::fabs(2 * g + 1) * 32768);
    // Stored truncated to the field widths.
    auto word = [](Real v) { return std::uint16_t(static_cast<long long>(v) & 0xFFFF); };
    const std::uint16_t w1 = word(c1), w2 = word(c2), wg = word(gain);
    return {Byte(w1 & 0xFF),
            Byte(w1 >> 8),
            Byte(w2 & 0xFF),
            Byte(w2 >> 8),
            Byte(wg & 0xFF),
            Byte(wg >> 8),
            Byte(static_cast<long long>(n) & 0xFF)};
}

AlertTranspond readAlertPair(Byte p, Byte q) {
    AlertTranspond v;
    if (p == 1 && (q == 1 || q == 3)) v.alert = 1;
    if (p == 1 && (q == 2 || q == 4)) v.alert = 2;
    v.transpond = p == 1 ? (q != 1 && q != 2) : (p != 0 || q != 0);
    return v;
}

std::pair<Byte, Byte> alertPairBytes(AlertTranspond v) {
    switch (v.alert) {
    case 1:
        return {1, Byte(v.transpond ? 3 : 1)};
    case 2:
        return {1, Byte(v.transpond ? 4 : 2)};
    default:
        return {Byte(v.transpond ? 2 : 0), 0};
    }
}

std::span<const ValueItem> callAlertList() {
    return kAlertList;
}

} // namespace twotone

std::span<const FieldPage> TwoToneArea::pages() const {
    return kPages;
}

std::string TwoToneArea::fieldKey(int page, int field) {
    if (!validCode(page) || field < 0 || field >= kFieldCount || kKeys[field].empty()) return {};
    return "code_" + std::to_string(page + 1) + "." + std::string(kKeys[field]);
}

Byte TwoToneArea::at(std::size_t offset) const {
    return byteAt(document().image().main(), offset);
}

FieldText TwoToneArea::fieldText(int page, int field) const {
    if (!validCode(page)) return {};
    if (isTone(field)) {
        const int tenths = decodeToneFrequency(document().image().main(), frequencyAt(page, field));
        if (tenths < kToneMin || tenths > kToneMax) return {{}, tenths};
        return {formatNumber(tenths / 10.0, 1, document().codec().decimalSeparator()), tenths};
    }
    const AlertTranspond pair = readAlertPair(at(decoderByte(page, kPAt)), at(kQBytes + std::size_t(page)));
    if (field == kCallAlert) {
        auto t = valueListText(kAlertList, pair.alert);
        return {t ? text(*t) : std::string{}, pair.alert};
    }
    if (field == kTranspond) return {text(pair.transpond ? 279 : 280), pair.transpond ? 1 : 0};
    return FeatureArea::fieldText(page, field);
}

bool TwoToneArea::isFieldEnabled(int page, int field) const {
    if (!validCode(page)) return false;
    const int f1 = at(decoderByte(page, kFormat1At)), f2 = at(decoderByte(page, kFormat2At));
    if (field == kType2) return f2 != 0;
    if (isTone(field)) return formatUsesTone(f1, field) || formatUsesTone(f2, field);
    return true;
}

void TwoToneArea::storeTone(int code, int field, int tenths) {
    auto main = document().image().main();
    const auto bytes = encodeToneFrequency(tenths);
    const auto coefficients = toneCoefficients(tenths);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        setByte(main, frequencyAt(code, field) + i, bytes[i]);
    for (std::size_t i = 0; i < coefficients.size(); ++i)
        setByte(main, coefficientsAt(code, field) + i, coefficients[i]);
}

FieldEffects TwoToneArea::commitField(int page, int field, std::string_view input) {
    FieldEffects fx;
    if (!validCode(page) || !isTone(field)) return fx;
    std::string t(input.substr(0, kMaxCommitText));
    if (isBlankText(t)) {
        // The default tone goes in with its own coefficient bytes, as they stand.
        const DefaultTone& d = kDefaultTones[toneIndex(field)];
        auto main = document().image().main();
        const auto bytes = encodeToneFrequency(d.tenths);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            setByte(main, frequencyAt(page, field) + i, bytes[i]);
        for (std::size_t i = 0; i < d.coefficients.size(); ++i)
            setByte(main, coefficientsAt(page, field) + i, d.coefficients[i]);
    } else {
        const double hz = clampDecimalText(t, kToneHertz, document().codec().decimalSeparator());
        storeTone(page, field, int(std::lround(hz * 10)));
    }
    fx.showFields.push_back({page, field});
    return fx;
}

FieldEffects TwoToneArea::stepField(int page, int field, std::string_view input, int direction) {
    FieldEffects fx = commitField(page, field, input);
    if (!validCode(page) || !isTone(field)) return fx;
    const int tenths = decodeToneFrequency(document().image().main(), frequencyAt(page, field));
    storeTone(page, field, stepWithWrap(tenths, kToneTenths, direction));
    return fx;
}

void TwoToneArea::storeAlertPair(int code, AlertTranspond v) {
    auto main = document().image().main();
    const auto [p, q] = alertPairBytes(v);
    setByte(main, decoderByte(code, kPAt), p);
    setByte(main, kQBytes + std::size_t(code), q);
}

FieldEffects TwoToneArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    if (!validCode(page) || value < 0) return fx;
    AlertTranspond pair = readAlertPair(at(decoderByte(page, kPAt)), at(kQBytes + std::size_t(page)));
    switch (field) {
    case kCallAlert:
        if (!listOffers(kAlertList, value)) return fx;
        pair.alert = value;
        storeAlertPair(page, pair);
        break;
    case kTranspond:
        pair.transpond = value != 0;
        storeAlertPair(page, pair);
        break;
    case kFormat1:
    case kFormat2:
        if (!listOffers(valueList(page, field), value)) return fx;
        FeatureArea::commitChoice(page, field, value);
        // The other decoder's list leaves this format out; the tones follow the formats.
        fx.showFields = {{page, field == kFormat1 ? kFormat2 : kFormat1}, {page, kType2}};
        fx.refreshEnables = true;
        break;
    default:
        if (storage(page, field)->kind == Storage::List && !listOffers(valueList(page, field), value))
            return fx;
        FeatureArea::commitChoice(page, field, value);
        break;
    }
    fx.showFields.push_back({page, field});
    return fx;
}

std::vector<ValueItem> TwoToneArea::valueList(int page, int field) const {
    if (!validCode(page)) return {};
    if (field == kCallAlert) return {std::begin(kAlertList), std::end(kAlertList)};
    if (field != kFormat1 && field != kFormat2) return FeatureArea::valueList(page, field);
    const int other = at(decoderByte(page, field == kFormat1 ? kFormat2At : kFormat1At));
    std::vector<ValueItem> out;
    for (const ValueItem& i : field == kFormat1 ? std::span<const ValueItem>(kFormat1List)
                                                : std::span<const ValueItem>(kFormat2List))
        if (i.stored != other) out.push_back(i);
    return out;
}

bool TwoToneArea::resolveEqualFormats() {
    bool changed = false;
    auto main = document().image().main();
    for (int k = 0; k < kCodes; ++k) {
        const Byte f2 = at(decoderByte(k, kFormat2At));
        if (f2 == 0 || at(decoderByte(k, kFormat1At)) != f2) continue;
        setByte(main, decoderByte(k, kFormat2At), 0);
        changed = true;
    }
    return changed;
}

} // namespace velora::forms
