#include "model/TestFrequency.h"

#include <array>

#include "model/FrequencyCodec.h"
#include "model/MemoryImage.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {

using D = TestFrequencyDefault;

// Per band code 1..9. The low band has 6 entries, VHF 7 and UHF 12; an empty pair stays unset.
constexpr std::array<D, 6> kBand1{{{"33.40000", "33.30000"},
                                   {"29.80000", "29.70000"},
                                   {"36.90000", "37.00000"},
                                   {"33.30000", "33.30000"},
                                   {"33.50000", "33.50000"},
                                   {"33.70000", "33.70000"}}};
constexpr std::array<D, 6> kBand2{{{"39.10000", "39.00000"},
                                   {"35.10000", "35.00000"},
                                   {"42.90000", "43.00000"},
                                   {"39.00000", "39.00000"},
                                   {"39.20000", "39.20000"},
                                   {"39.40000", "39.40000"}}};
constexpr std::array<D, 6> kBand3{{{"45.10000", "45.00000"},
                                   {"40.10000", "40.00000"},
                                   {"49.90000", "50.00000"},
                                   {"45.00000", "45.00000"},
                                   {"45.20000", "45.20000"},
                                   {"45.40000", "45.40000"}}};
constexpr std::array<D, 7> kBand4{{{"161.10000", "161.00000"},
                                   {"148.10000", "148.00000"},
                                   {"173.90000", "174.00000"},
                                   {"161.00000", "161.00000"},
                                   {"161.20000", "161.20000"},
                                   {"161.40000", "161.40000"},
                                   {"", ""}}};
constexpr std::array<D, 7> kBand5{{{"146.10000", "146.00000"},
                                   {"136.10000", "136.00000"},
                                   {"155.90000", "156.00000"},
                                   {"146.00000", "146.00000"},
                                   {"146.20000", "146.20000"},
                                   {"146.40000", "146.40000"},
                                   {"161.90000", "162.00000"}}};
constexpr std::array<D, 12> kBand6{{{"460.10000", "470.00000"},
                                    {"450.10000", "450.00000"},
                                    {"469.90000", "490.00000"},
                                    {"460.00000", "460.00000"},
                                    {"460.20000", "460.20000"},
                                    {"460.40000", "460.40000"},
                                    {"470.10000", "470.00000"},
                                    {"480.10000", "480.00000"},
                                    {"489.90000", "490.00000"},
                                    {"", ""},
                                    {"", ""},
                                    {"", ""}}};
constexpr std::array<D, 12> kBand7{{{"490.10000", "496.00000"},
                                    {"480.10000", "480.00000"},
                                    {"499.90000", "512.00000"},
                                    {"490.00000", "490.00000"},
                                    {"490.20000", "490.20000"},
                                    {"490.40000", "490.40000"},
                                    {"492.10000", "492.00000"},
                                    {"502.10000", "502.00000"},
                                    {"511.90000", "512.00000"},
                                    {"489.90000", "490.00000"},
                                    {"470.10000", "470.00000"},
                                    {"", ""}}};
constexpr std::array<D, 12> kBand8{{{"420.10000", "416.50000"},
                                    {"410.10000", "403.00000"},
                                    {"429.90000", "430.00000"},
                                    {"420.00000", "420.00000"},
                                    {"420.20000", "420.20000"},
                                    {"420.40000", "420.40000"},
                                    {"403.10000", "403.00000"},
                                    {"413.10000", "413.00000"},
                                    {"422.90000", "423.00000"},
                                    {"419.90000", "420.00000"},
                                    {"439.90000", "440.00000"},
                                    {"", ""}}};
constexpr std::array<D, 12> kBand9{{{"460.10000", "465.00000"},
                                    {"450.10000", "450.00000"},
                                    {"469.90000", "480.00000"},
                                    {"460.10000", "460.00000"},
                                    {"475.10000", "475.00000"},
                                    {"460.00000", "460.00000"},
                                    {"460.20000", "460.20000"},
                                    {"460.40000", "460.40000"},
                                    {"469.95000", "469.95000"},
                                    {"470.05000", "470.05000"},
                                    {"479.90000", "479.90000"},
                                    {"489.90000", "490.00000"}}};

bool isTestChannel(int model, int channel) {
    return (model == kModel1 || model == kModel2) && channel >= 1 && channel <= kTestChannels;
}

} // namespace

std::size_t testFrequencyTableOffset(int model) {
    return model == kModel2 ? layout::kTestFreqModel2 : layout::kTestFreqModel1;
}

std::span<const TestFrequencyDefault> testFrequencyDefaults(std::uint8_t bandCode) {
    switch (bandCode) {
    case 1:
        return kBand1;
    case 2:
        return kBand2;
    case 3:
        return kBand3;
    case 4:
        return kBand4;
    case 5:
        return kBand5;
    case 6:
        return kBand6;
    case 7:
        return kBand7;
    case 8:
        return kBand8;
    case 9:
        return kBand9;
    default:
        return {};
    }
}

void buildTestFrequencyTable(std::span<Byte> mainArea, int model, const FrequencyCodec& codec) {
    const std::size_t table = testFrequencyTableOffset(model);
    fill(mainArea, table, layout::kTestFreqTableSize, 0xFF);
    const ModelIdentification id = identificationOf(mainArea);
    const auto group = id.bandGroup(model);
    if (!group) return;
    // The defaults are written with '.', whatever separator the user's locale gives the codec.
    FrequencyCodec encoder = codec;
    encoder.setDecimalSeparator('.');
    const auto defaults = testFrequencyDefaults(id.bandCode(model));
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        const int channel = static_cast<int>(i) + 1;
        if (auto rx = encoder.textToFrequency(defaults[i].rx, *group))
            writeFrequency(mainArea, testFrequencyOffset(model, channel, false), rx->bytes);
        if (auto tx = encoder.textToFrequency(defaults[i].tx, *group))
            writeFrequency(mainArea, testFrequencyOffset(model, channel, true), tx->bytes);
    }
}

void buildTestFrequencyTable(MemoryImage& image, int model, const FrequencyCodec& codec) {
    buildTestFrequencyTable(image.main(), model, codec);
}

bool checkTestFrequency(std::string& text, int model, const FrequencyCodec& codec) {
    if (codec.isNoFrequencyText(text)) {
        text.clear();
        return true;
    }
    const BandLimits lim = codec.bandLimits(model);
    const WideLimits wide = wideLimits(lim.group);
    const char sep = codec.decimalSeparator();
    const double v = codec.parse(text);
    if (v > wide.upper) {
        text = formatNumber(lim.upper, kFrequencyDecimals, sep);
        return false;
    }
    if (v < wide.lower) {
        text = formatNumber(lim.lower, kFrequencyDecimals, sep);
        return false;
    }
    text = formatNumber(v, kFrequencyDecimals, sep);
    return lim.lower <= v && v <= lim.upper;
}

TestFrequencyResult setTestFrequency(MemoryImage& image, int model, int channel, bool transmit,
                                     std::string& text, const FrequencyCodec& codec) {
    if (!isTestChannel(model, channel)) return TestFrequencyResult::BadChannel;
    const bool valid = checkTestFrequency(text, model, codec);
    auto f = codec.textToFrequency(text, codec.bandLimits(model).group);
    if (!f) {
        writeFrequency(image.main(), testFrequencyOffset(model, channel, false), kNoFrequency);
        writeFrequency(image.main(), testFrequencyOffset(model, channel, true), kNoFrequency);
        return TestFrequencyResult::Cleared;
    }
    writeFrequency(image.main(), testFrequencyOffset(model, channel, transmit), f->bytes);
    return valid ? TestFrequencyResult::Stored : TestFrequencyResult::OutOfBand;
}

std::string testFrequencyText(const MemoryImage& image, int model, int channel, bool transmit,
                              const FrequencyCodec& codec) {
    if (!hasTestFrequency(image, model, channel, transmit)) return {};
    return codec.frequencyToText(readFrequency(image.main(), testFrequencyOffset(model, channel, transmit)))
        .value_or(std::string{});
}

bool hasTestFrequency(const MemoryImage& image, int model, int channel, bool transmit) {
    if (!isTestChannel(model, channel)) return false;
    return isFrequencySet(readFrequency(image.main(), testFrequencyOffset(model, channel, transmit)));
}

bool ensureTestFrequencies(MemoryImage& image, int model, const FrequencyCodec& codec) {
    if (model != kModel1 && model != kModel2) return false;
    for (int ch = 1; ch <= kTestChannels; ++ch)
        if (hasTestFrequency(image, model, ch, false)) return false;
    buildTestFrequencyTable(image, model, codec);
    return true;
}

} // namespace velora
