#pragma once
// The test frequency tables: a model's 16 test channels of receive then transmit frequency (4 bytes
// each), their default frequencies per band, and checking, storing and reading one entry.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
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

inline constexpr int kTestChannels = 16;
inline constexpr std::size_t kTestFrequencyEntrySize = 8;

// Result of storing one test frequency. The numeric values are the design's status codes.
enum class TestFrequencyResult : std::uint8_t {
    Cleared = 0,      // no frequency: both frequencies of the test channel cleared
    Stored = 1,       // stored and inside the band
    BadChannel = 2,   // test channel outside 1..16 or model number not 0/1: nothing written
    OutOfBand = 0xFF, // corrected to a band edge (or kept in the wide range) and stored
};

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

// Test-frequency check with the codec's limits of `model`. Rewrites the text: above the wide range
// to the upper edge, below it to the lower edge (both invalid), else the value with five decimals
// (valid inside the band). Empty text or value 0: valid and the text becomes empty.
bool checkTestFrequency(std::string& text, int model, const FrequencyCodec& codec);

// Entries of the working copy's tables: test channel 1..16, receive or transmit. The text is
// rewritten by the check.
TestFrequencyResult setTestFrequency(MemoryImage& image, int model, int channel, bool transmit,
                                     std::string& text, const FrequencyCodec& codec);
// Empty when unset (or the channel is out of range).
std::string testFrequencyText(const MemoryImage& image, int model, int channel, bool transmit,
                              const FrequencyCodec& codec);
bool hasTestFrequency(const MemoryImage& image, int model, int channel, bool transmit);
// When no test channel of the model has a receive frequency, rebuilds the model's table from the
// catalogue defaults of its band; returns whether it did.
bool ensureTestFrequencies(MemoryImage& image, int model, const FrequencyCodec& codec);

} // namespace velora
