#pragma once
// Stored tones (16-bit QT/DQT words) and their texts, and the tone choices every tone selector offers.
//   0xFFFF          off (shown as language text 262)
//   bit 13 clear    CTCSS, tenths of a hertz (670 = "67.0")
//   bit 13 set      DCS, bits 8..0 three octal digits, bit 15 inverted ("D023I"); the encoder also
//                   sets bit 11, the decoder ignores bits 9 to 12 and 14
// The "off" text and the user's decimal separator are parameters, so the core stays free of the
// language file and of the C locale.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velora {

inline constexpr std::uint16_t kToneOff = 0xFFFF;
inline constexpr int kTextToneOff = 262;
inline constexpr std::size_t kToneChoiceCount = 206; // 0 off, 1..39 CTCSS, 40..122 DCS N, 123..205 DCS I
inline constexpr std::uint16_t kCtcssMin = 670;      // 67.0 Hz
inline constexpr std::uint16_t kCtcssMax = 2541;     // 254.1 Hz

std::string toneToText(std::uint16_t word, std::string_view offText, char decimalSeparator = '.');

// Off (0xFFFF) for the off text or an empty text; otherwise the text is normalised first, so any
// text gives a valid word.
std::uint16_t textToTone(std::string_view text, std::string_view offText, char decimalSeparator = '.');

// Puts a typed tone text into stored form, in place:
//  - starting with 'D': padded to 5 characters, the three digits clamped into '0'..'7', the fifth
//    character 'N' unless it is 'I', cut after five characters ("D089X9" -> "D077N", "D2" -> "D200N");
//  - otherwise a CTCSS value: tenths truncated, clamped to 67.0..254.1, one decimal ("300" -> "254.1");
//    a text that is not a number counts as 0 and so becomes "67.0".
// Leaves the off text and an empty text alone.
void normaliseToneText(std::string& text, std::string_view offText = {}, char decimalSeparator = '.');

// Stored word and text of tone choice 0..205; positions past the end give off.
std::uint16_t toneChoiceWord(std::size_t position);
std::string toneChoiceText(std::size_t position, std::string_view offText, char decimalSeparator = '.');
// The choice position showing this word (bits the decoder ignores are ignored), or none for a word
// that is not one of the choices (such as a CTCSS tone typed off the list).
std::optional<std::size_t> toneChoiceIndex(std::uint16_t word);

} // namespace velora
