#pragma once
// Default test frequencies of each band and the building of a model's 16-channel test frequency
// table (16 entries of receive then transmit frequency, 4 bytes each).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/Bytes.h"
#include "model/Layout.h"

namespace velora {

class FrequencyCodec;
class MemoryImage;

// Receive and transmit frequency as text with five decimals and '.' as separator; an empty text
// marks a test channel that stays unset.
struct TestFrequencyDefault {
    std::string_view rx;
    std::string_view tx;
};

inline constexpr std::size_t kTestFrequencyEntrySize = 8;

// Start of a model's table in the main area: model 0 at layout::kTestFreqModel1, model 1 at
// layout::kTestFreqModel2.
std::size_t testFrequencyTableOffset(int model);
// Offset of test channel 1..16's receive (or transmit) frequency in the main area; the caller
// checks the channel range.
inline std::size_t testFrequencyOffset(int model, int channel, bool transmit) {
    return testFrequencyTableOffset(model) + kTestFrequencyEntrySize * static_cast<std::size_t>(channel - 1) +
           (transmit ? 4u : 0u);
}

// Default test channels of a band code, from test channel 1 (6 for the low band, 7 for VHF, 12 for
// UHF); empty for a code outside the band table.
std::span<const TestFrequencyDefault> testFrequencyDefaults(std::uint8_t bandCode);

// Fills the model's 128-byte table with 0xFF and stores each default of the model's band (taken from
// the identification in the same main area), encoded for that band's group. Entries the encoder
// refuses stay unset; a band code outside the table leaves the whole table unset.
void buildTestFrequencyTable(std::span<Byte> mainArea, int model, const FrequencyCodec& codec);
void buildTestFrequencyTable(MemoryImage& image, int model, const FrequencyCodec& codec);

} // namespace velora
