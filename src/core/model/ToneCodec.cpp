#include "model/ToneCodec.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/FrequencyCodec.h"

namespace velora {

namespace {

constexpr std::uint16_t kDcsFlag = 0x2000;     // bit 13: DCS code
constexpr std::uint16_t kDcsInverted = 0x8000; // bit 15
constexpr std::uint16_t kDcsEncoderBit = 0x0800;
constexpr std::uint16_t kDcsCodeMask = 0x01FF;
constexpr std::size_t kDcsTextLength = 5; // "D023N"

constexpr std::array<std::uint16_t, 39> kCtcss{670,  693,  719,  744,  770,  797,  825,  854,  885,  915,
                                               948,  974,  1000, 1035, 1072, 1109, 1148, 1188, 1230, 1273,
                                               1318, 1365, 1413, 1462, 1514, 1567, 1622, 1679, 1738, 1799,
                                               1862, 1928, 2035, 2107, 2181, 2257, 2336, 2418, 2503};

// DCS codes as octal numbers, ascending.
constexpr std::array<std::uint16_t, 83> kDcs{
    0023, 0025, 0026, 0031, 0032, 0043, 0047, 0051, 0054, 0065, 0071, 0072, 0073, 0074, 0114, 0115, 0116,
    0125, 0131, 0132, 0134, 0143, 0152, 0155, 0156, 0162, 0165, 0172, 0174, 0205, 0223, 0226, 0243, 0244,
    0245, 0251, 0261, 0263, 0265, 0271, 0306, 0311, 0315, 0331, 0343, 0346, 0351, 0364, 0365, 0371, 0411,
    0412, 0413, 0423, 0431, 0432, 0445, 0464, 0465, 0466, 0503, 0506, 0516, 0532, 0546, 0565, 0606, 0612,
    0624, 0627, 0631, 0632, 0654, 0662, 0664, 0703, 0712, 0723, 0731, 0732, 0734, 0743, 0754};

constexpr std::size_t kFirstCtcss = 1;
constexpr std::size_t kFirstDcsNormal = kFirstCtcss + kCtcss.size();
constexpr std::size_t kFirstDcsInverted = kFirstDcsNormal + kDcs.size();
static_assert(kFirstDcsInverted + kDcs.size() == kToneChoiceCount);

bool isOff(std::string_view text, std::string_view offText) {
    return text.empty() || text == offText;
}

} // namespace

std::string toneToText(std::uint16_t word, std::string_view offText, char decimalSeparator) {
    if (word == kToneOff) return std::string(offText);
    if ((word & kDcsFlag) == 0) return formatNumber(word / 10.0, 1, decimalSeparator);
    std::string text = "D";
    for (int shift : {6, 3, 0})
        text.push_back(static_cast<char>('0' + ((word >> shift) & 7)));
    text.push_back((word & kDcsInverted) != 0 ? 'I' : 'N');
    return text;
}

void normaliseToneText(std::string& text, std::string_view offText, char decimalSeparator) {
    if (isOff(text, offText)) return;
    if (text[0] == 'D') {
        if (text.size() < kDcsTextLength - 1) text.resize(kDcsTextLength - 1, '0');
        if (text.size() < kDcsTextLength) text.push_back('N');
        text.resize(kDcsTextLength);
        for (std::size_t i = 1; i <= 3; ++i)
            text[i] = std::clamp(text[i], '0', '7');
        if (text[4] != 'I') text[4] = 'N';
        return;
    }
    // Clamp while still a double, so that a huge value cannot overflow the conversion.
    const double tenths = std::trunc(parseNumber(text, decimalSeparator) * 10.0);
    const double t = std::clamp(tenths, static_cast<double>(kCtcssMin), static_cast<double>(kCtcssMax));
    text = formatNumber(t / 10.0, 1, decimalSeparator);
}

std::uint16_t textToTone(std::string_view text, std::string_view offText, char decimalSeparator) {
    if (isOff(text, offText)) return kToneOff;
    std::string s(text);
    normaliseToneText(s, offText, decimalSeparator);
    if (s[0] == 'D') {
        const auto code = static_cast<std::uint16_t>((s[1] - '0') * 64 + (s[2] - '0') * 8 + (s[3] - '0'));
        return static_cast<std::uint16_t>(kDcsEncoderBit + code +
                                          (s[4] == 'I' ? kDcsInverted | kDcsFlag : kDcsFlag));
    }
    return static_cast<std::uint16_t>(parseNumber(s, decimalSeparator) * 10.0 + 0.5);
}

std::uint16_t toneChoiceWord(std::size_t position) {
    if (position >= kFirstCtcss && position < kFirstDcsNormal) return kCtcss[position - kFirstCtcss];
    if (position >= kFirstDcsNormal && position < kFirstDcsInverted)
        return kDcsEncoderBit | kDcsFlag | kDcs[position - kFirstDcsNormal];
    if (position >= kFirstDcsInverted && position < kToneChoiceCount)
        return kDcsEncoderBit | kDcsFlag | kDcsInverted | kDcs[position - kFirstDcsInverted];
    return kToneOff;
}

std::string toneChoiceText(std::size_t position, std::string_view offText, char decimalSeparator) {
    return toneToText(toneChoiceWord(position), offText, decimalSeparator);
}

std::optional<std::size_t> toneChoiceIndex(std::uint16_t word) {
    if (word == kToneOff) return 0;
    if ((word & kDcsFlag) == 0) {
        auto it = std::find(kCtcss.begin(), kCtcss.end(), word);
        if (it == kCtcss.end()) return std::nullopt;
        return kFirstCtcss + static_cast<std::size_t>(it - kCtcss.begin());
    }
    auto it = std::find(kDcs.begin(), kDcs.end(), static_cast<std::uint16_t>(word & kDcsCodeMask));
    if (it == kDcs.end()) return std::nullopt;
    const std::size_t base = (word & kDcsInverted) != 0 ? kFirstDcsInverted : kFirstDcsNormal;
    return base + static_cast<std::size_t>(it - kDcs.begin());
}

} // namespace velora
