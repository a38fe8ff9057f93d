#pragma once
// Stored frequencies (4 bytes packed BCD in 10 Hz units, least significant byte first; FF FF FF FF
// means none), their text forms, channel-step rules and band checks.
//
// Numbers are read and written without the C locale: the codec holds the user's decimal separator
// and accepts exactly that character as the decimal point. A text that does not start with a number
// counts as the value 0, and the value 0 means "no frequency" just like an empty text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/Bytes.h"
#include "model/ModelCatalogue.h"

namespace velora {

using FrequencyBytes = std::array<Byte, 4>;
inline constexpr std::size_t kFrequencySize = 4;
inline constexpr FrequencyBytes kNoFrequency{0xFF, 0xFF, 0xFF, 0xFF};

// Step codes the encoder returns and channel records keep.
inline constexpr char kStep1250 = '/';
inline constexpr char kStep2500 = '0';
inline constexpr char kStep7500 = '3';
inline constexpr char kStep5000 = '1';
inline constexpr char kStep6250 = '2';

struct StoredFrequency {
    FrequencyBytes bytes;
    char stepCode;
    bool operator==(const StoredFrequency&) const = default;
};

struct BandLimits {
    BandGroup group;
    double lower; // MHz
    double upper;
};

// Range of a band group inside which a typed value is kept as typed even outside the band.
struct WideLimits {
    double lower;
    double upper;
};
WideLimits wideLimits(BandGroup group);

struct ChannelFrequencyCheck {
    bool valid = true;   // value unchanged and inside the chosen band
    bool model2 = false; // the frequency belongs to model 2 (radio unit 2)
    bool none = false;   // empty text or value 0: no frequency; the text has been made empty
};

// Decimals of a frequency text in MHz (10 Hz resolution).
inline constexpr int kFrequencyDecimals = 5;

// Locale-free number helpers with an explicit decimal separator.
// Reads the longest leading number (blanks, sign, digits, separator, digits, exponent), as the C
// library's atof would in a locale with that separator; anything else, or a non-finite value, is 0.
double parseNumber(std::string_view text, char decimalSeparator);
// Fixed notation with `decimals` places, padded on the left with blanks to `width`.
std::string formatNumber(double value, int decimals, char decimalSeparator, int width = 0);

// Bounds-checked access to a stored frequency inside an area; outside the area reads FF.
FrequencyBytes readFrequency(std::span<const Byte> area, std::size_t offset);
void writeFrequency(std::span<Byte> area, std::size_t offset, const FrequencyBytes& f);
inline bool isFrequencySet(const FrequencyBytes& f) {
    return f != kNoFrequency;
}

class FrequencyCodec {
  public:
    // Until loadBandLimits() runs: model 1 VHF 148-174 MHz, model 2 UHF 450-490 MHz (the default
    // identification), no fine step, '.' as separator.
    FrequencyCodec() = default;

    void setBandLimits(int model, BandGroup group, double lower, double upper);
    BandLimits bandLimits(int model) const;
    // Model 1's, and when dual band model 2's, band group and edges from the catalogue. A band code
    // outside the table gives the VHF group with 148-174 MHz (the catalogue's edge fallback).
    void loadBandLimits(const ModelIdentification& id);

    // The "step" run option: 1.25 kHz accepted in the VHF group.
    void setFineStep(bool on) { fineStep_ = on; }
    bool fineStep() const { return fineStep_; }
    void setDecimalSeparator(char c) { separator_ = c; }
    char decimalSeparator() const { return separator_; }

    double parse(std::string_view text) const { return parseNumber(text, separator_); }
    // Empty text or value 0 (including text that is not a number).
    bool isNoFrequencyText(std::string_view text) const;

    // "148.01250"; no leading zeros before the separator (one digit is kept). Nothing for
    // FF FF FF FF and for bytes that are not decimal BCD.
    std::optional<std::string> frequencyToText(const FrequencyBytes& f) const;
    // Stored form and step code: the first candidate step of the group that divides the value,
    // else the value rounded down to the group's fallback step. Nothing for no frequency (empty, 0)
    // and for values that cannot be stored (negative, 1000 MHz or more).
    std::optional<StoredFrequency> textToFrequency(std::string_view text, BandGroup group) const;

    // Channel-frequency check against the band of the model the frequency belongs to (chosen from
    // the identification, the channel's radio unit and the direction). Rewrites the text "%9.5f"
    // style. Empty text or value 0: result.none, valid, text made empty.
    ChannelFrequencyCheck checkChannelFrequency(std::string& text, const ModelIdentification& id,
                                                bool channelIsUnit2, bool transmit) const;

  private:
    std::array<BandLimits, 2> limits_{{{BandGroup::Vhf, 148.0, 174.0}, {BandGroup::Uhf, 450.0, 490.0}}};
    bool fineStep_ = false;
    char separator_ = '.';
};

} // namespace velora
