#include "model/FrequencyCodec.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace velora {

namespace {

constexpr double kHzPerMHz = 1'000'000.0;
constexpr std::int64_t kHzPerUnit = 10;        // stored unit: 10 Hz
constexpr std::int64_t kMaxUnits = 99'999'999; // 8 BCD digits
constexpr int kFrequencyDigits = 8;
constexpr int kIntegerDigits = 3; // digits before the decimal separator
constexpr int kChannelTextWidth = 9;

struct Step {
    std::int64_t hz;
    char code;
};
constexpr Step k6250{6250, kStep6250};
constexpr Step k5000{5000, kStep5000};
constexpr Step k7500{7500, kStep7500};
constexpr Step k2500{2500, kStep2500};
constexpr Step k1250{1250, kStep1250};

// Band edges and wide limits used by the channel check, per band code.
struct CheckRow {
    double lower, upper;
    WideLimits wide;
};

// The channel check reads band codes outside the table as low band when choosing the radio unit.
BandGroup checkGroupOfCode(std::uint8_t code) {
    return bandGroupOfCode(code).value_or(BandGroup::Low);
}

CheckRow checkRowOfCode(std::uint8_t code) {
    if (auto i = bandEntryIndexOfCode(code)) {
        const BandEntry& b = kBands[*i];
        return {b.lower, b.upper, wideLimits(b.group)};
    }
    return {100.0, 550.0, {100.0, 550.0}};
}

bool within(double v, WideLimits w) {
    return w.lower <= v && v <= w.upper;
}

std::size_t modelSlot(int model) {
    return model == kModel2 ? 1 : 0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

WideLimits wideLimits(BandGroup group) {
    switch (group) {
    case BandGroup::Low:
        return {29.7, 50.0};
    case BandGroup::Vhf:
        return {100.0, 280.0};
    case BandGroup::Uhf:
        return {327.0, 550.0};
    }
    return {29.7, 50.0};
}

double parseNumber(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    std::string number; // the recognised prefix, rewritten with '.' for from_chars
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number.push_back('-');
        ++i;
    }
    bool digits = false;
    while (i < text.size() && isDigit(text[i]))
        number.push_back(text[i++]), digits = true;
    if (i < text.size() && text[i] == decimalSeparator) {
        number.push_back('.');
        ++i;
        while (i < text.size() && isDigit(text[i]))
            number.push_back(text[i++]), digits = true;
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent.push_back(text[j++]);
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                exponent.push_back(text[j++]);
            number += exponent;
        }
    }
    double value = 0.0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc{} || !std::isfinite(value)) return 0.0;
    return value;
}

std::string formatNumber(double value, int decimals, char decimalSeparator, int width) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string text = ec == std::errc{} ? std::string(buf, end) : std::string("0");
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

FrequencyBytes readFrequency(std::span<const Byte> area, std::size_t offset) {
    FrequencyBytes f;
    for (std::size_t i = 0; i < f.size(); ++i)
        f[i] = byteAt(area, offset + i);
    return f;
}

void writeFrequency(std::span<Byte> area, std::size_t offset, const FrequencyBytes& f) {
    for (std::size_t i = 0; i < f.size(); ++i)
        setByte(area, offset + i, f[i]);
}

// --- FrequencyCodec ------------------------------------------------------------------------------

void FrequencyCodec::setBandLimits(int model, BandGroup group, double lower, double upper) {
    limits_[modelSlot(model)] = {group, lower, upper};
}

BandLimits FrequencyCodec::bandLimits(int model) const {
    return limits_[modelSlot(model)];
}

void FrequencyCodec::loadBandLimits(const ModelIdentification& id) {
    auto load = [&](int model) {
        const BandEdges e = id.bandEdges(model);
        setBandLimits(model, id.bandGroup(model).value_or(BandGroup::Vhf), e.lower, e.upper);
    };
    load(kModel1);
    if (id.isDualBand()) load(kModel2);
}

bool FrequencyCodec::isNoFrequencyText(std::string_view text) const {
    return text.empty() || parse(text) == 0.0;
}

std::optional<std::string> FrequencyCodec::frequencyToText(const FrequencyBytes& f) const {
    if (!isFrequencySet(f)) return std::nullopt;
    std::string digits;
    for (int i = static_cast<int>(f.size()) - 1; i >= 0; --i) {
        const int hi = f[static_cast<std::size_t>(i)] >> 4, lo = f[static_cast<std::size_t>(i)] & 0x0F;
        if (hi > 9 || lo > 9) return std::nullopt;
        digits.push_back(static_cast<char>('0' + hi));
        digits.push_back(static_cast<char>('0' + lo));
    }
    std::size_t start = 0;
    while (start + 1 < kIntegerDigits && digits[start] == '0')
        ++start;
    return digits.substr(start, kIntegerDigits - start) + separator_ + digits.substr(kIntegerDigits);
}

std::optional<StoredFrequency> FrequencyCodec::textToFrequency(std::string_view text, BandGroup group) const {
    if (text.empty()) return std::nullopt;
    const double v = parse(text);
    const double scaled = v * kHzPerMHz + 0.5;
    // Negative values and 1000 MHz or more have no stored form.
    if (!(v > 0.0) || scaled >= static_cast<double>((kMaxUnits + 1) * kHzPerUnit)) return std::nullopt;
    std::int64_t hz = static_cast<std::int64_t>(std::floor(scaled));

    Step candidates[5];
    std::size_t count = 0;
    if (group == BandGroup::Vhf) {
        for (Step s : {k6250, k5000, k7500, k2500})
            candidates[count++] = s;
        if (fineStep_) candidates[count++] = k1250;
    } else if (group == BandGroup::Uhf) {
        for (Step s : {k6250, k5000})
            candidates[count++] = s;
    }
    char code = 0;
    for (std::size_t i = 0; i < count && code == 0; ++i)
        if (hz % candidates[i].hz == 0) code = candidates[i].code;
    if (code == 0) {
        const Step fallback = group == BandGroup::Uhf ? k6250 : k5000;
        hz -= hz % fallback.hz;
        code = fallback.code;
    }
    std::int64_t units = hz / kHzPerUnit;
    // A value that rounds down to nothing is no frequency, like the text "0".
    if (units == 0) return std::nullopt;

    StoredFrequency out{{}, code};
    for (std::size_t i = 0; i < out.bytes.size(); ++i) {
        const int lo = static_cast<int>(units % 10);
        units /= 10;
        const int hi = static_cast<int>(units % 10);
        units /= 10;
        out.bytes[i] = static_cast<Byte>((hi << 4) | lo);
    }
    return out;
}

ChannelFrequencyCheck FrequencyCodec::checkChannelFrequency(std::string& text, const ModelIdentification& id,
                                                            bool channelIsUnit2, bool transmit) const {
    ChannelFrequencyCheck result;
    if (isNoFrequencyText(text)) {
        text.clear();
        result.none = true;
        return result;
    }
    const double v = parse(text);
    const std::uint8_t code1 = id.bandCode(kModel1), code2 = id.bandCode(kModel2);
    if (id.isDualBand()) {
        if (transmit)
            result.model2 = channelIsUnit2;
        else if (within(v, wideLimits(checkGroupOfCode(code1))))
            result.model2 = false;
        else if (within(v, wideLimits(checkGroupOfCode(code2))))
            result.model2 = true;
        else
            result.model2 = code2 < code1;
    }
    const CheckRow row = checkRowOfCode(result.model2 ? code2 : code1);
    double value = v;
    if (v < row.wide.lower)
        value = row.lower;
    else if (v > row.wide.upper)
        value = row.upper;
    result.valid = value == v && row.lower <= v && v <= row.upper;
    text = formatNumber(value, kFrequencyDecimals, separator_, kChannelTextWidth);
    return result;
}

} // namespace velora
