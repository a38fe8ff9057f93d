#pragma once
// The Dravix data frames the radio sends (its ID on PTT, an emergency call) are kept ready-made in
// the memory image: two own frames inside the Dravix block and one emergency frame. They are derived
// from the stored fleet and ID values and must be rebuilt whenever those change.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/Bytes.h"
#include "model/Layout.h"

namespace velora::dravix {

// Dravix block fields (main-area offsets).
inline constexpr std::size_t kSideTone = layout::kDravix + 0x00;    // 0/1
inline constexpr std::size_t kUnnamedWord = layout::kDravix + 0x01; // 16-bit, not edited anywhere
inline constexpr std::size_t kOwnFleet = layout::kDravix + 0x03;    // fleet - 99
inline constexpr std::size_t kOwnId = layout::kDravix + 0x04;       // ID - 999, 16-bit
inline constexpr std::size_t kTxDelay = layout::kDravix + 0x06;     // delay in ms + 90, 16-bit
inline constexpr std::size_t kOwnFrame0 = layout::kDravix + 0x08;
inline constexpr std::size_t kOwnFrame1 = layout::kDravix + 0x16;

// Emergency call values and the emergency frame (main-area offsets).
inline constexpr std::size_t kEmergencyFleet = 0x3A8F; // fleet - 99
inline constexpr std::size_t kEmergencyId = 0x3A90;    // ID - 999, 16-bit
inline constexpr std::size_t kEmergencyFrame = layout::kDravixEmergencyFrame;
inline constexpr std::size_t kEmergencyFrameSize = 22;
inline constexpr std::size_t kEmergencyFrameLength = kEmergencyFrame + kEmergencyFrameSize;

inline constexpr std::size_t kFrameSize = 14;
inline constexpr Byte kCommandOwn0 = 0xFE;
inline constexpr Byte kCommandOwn1 = 0xFC;
inline constexpr Byte kCommandEmergency = 0xB4;

// Stored defaults (the values the user sees are stored value + offset).
inline constexpr Byte kDefaultSideTone = 1;
inline constexpr std::uint16_t kDefaultUnnamedWord = 10;
inline constexpr Byte kDefaultFleet = 1;              // fleet 100
inline constexpr std::uint16_t kDefaultId = 1;        // ID 1000
inline constexpr std::uint16_t kDefaultTxDelay = 490; // 400 ms

// 16-bit check word over six frame bytes: a 15-bit cyclic code plus a parity bit chosen so that the
// 48 data bits and the 16 check bits together hold an even number of one bits.
std::uint16_t frameCheck(std::span<const Byte, 6> data);

// Rewrites bytes 8 to 13 of both own frames from the stored own fleet and ID; bytes 0 to 7 stay.
void buildOwnFrames(std::span<Byte> main);

// Rewrites the 22-byte emergency frame and its length byte (14 or 22) from the own fleet and ID and
// the emergency call fleet and ID.
void buildEmergencyFrame(std::span<Byte> main);

// Writes the default Dravix block, the fixed frame heads included, and builds the own frames.
void writeDefaultBlock(std::span<Byte> main);

// Gives every unset block field its default and every unset fixed frame byte its fixed value, then
// builds the own frames. Set fields are kept.
void repairBlock(std::span<Byte> main);

} // namespace velora::dravix
