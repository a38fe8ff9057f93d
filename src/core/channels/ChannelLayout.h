#pragma once
// Offsets and bit positions of the channel and group tables and of the settings bytes that name
// channels. Area offsets shared with other subsystems live in model/Layout.h.
#include <cstddef>
#include <cstdint>

#include "model/Layout.h"

namespace velora::chlayout {

inline constexpr int kGroups = 160;
inline constexpr int kListPositions = 256;
inline constexpr int kRecords = 256;
inline constexpr std::size_t kEntrySize = 2;   // group table and channel list entries
inline constexpr std::size_t kRecordSize = 16; // channel record, channel name, group name
inline constexpr std::size_t kGroupRecordSize = 8;
inline constexpr std::uint8_t kUnset = 0xFF;

// Capacity limits: the larger pair is what a data set marked as extended may hold.
inline constexpr int kNormalTotal = 160;
inline constexpr int kNormalPerGroup = 160;
inline constexpr int kExtendedTotal = 255;
inline constexpr int kExtendedPerGroup = 254;

// Channel record fields (offsets inside the 16-byte record).
inline constexpr std::size_t kRecRx = 0;
inline constexpr std::size_t kRecTx = 4;
inline constexpr std::size_t kRecDecode = 8;
inline constexpr std::size_t kRecEncode = 10;
inline constexpr std::size_t kRecFlagsA = 12;
inline constexpr std::size_t kRecFlagsB = 14;
inline constexpr std::size_t kFreqSize = 4;

// Main-area offset of channel record r.
constexpr std::size_t recordOffset(int r) {
    return layout::kChannelRecords + kRecordSize * std::size_t(r);
}

// Flag word A.
inline constexpr std::uint16_t kASignalling = 0x0007;
inline constexpr std::uint16_t kAPttId = 1u << 3;
inline constexpr std::uint16_t kABusyLockout = 1u << 4;
inline constexpr std::uint16_t kABeatShift = 1u << 5;
inline constexpr std::uint16_t kAPower = 0x00C0;
inline constexpr unsigned kAPowerShift = 6;
inline constexpr std::uint16_t kARxStepX = 1u << 8;
inline constexpr std::uint16_t kATxStepX = 1u << 9;
inline constexpr std::uint16_t kAWide = 1u << 10; // noise blanker copy on a low-band channel
inline constexpr std::uint16_t kAScanAdd = 1u << 11;
inline constexpr std::uint16_t kARxStepE = 1u << 12;
inline constexpr std::uint16_t kATxStepE = 1u << 13;
inline constexpr unsigned kARxStepRShift = 14;
inline constexpr std::uint16_t kARxStepR = 0xC000;
// Flag word B.
inline constexpr std::uint16_t kBScrambler = 0x00FF;
inline constexpr std::uint16_t kBModel2 = 1u << 8;
inline constexpr std::uint16_t kBCompanderOff = 1u << 9;
inline constexpr unsigned kBTxStepRShift = 10;
inline constexpr std::uint16_t kBTxStepR = 0x0C00;

// Common settings block bytes that decide whether a special reference applies.
inline constexpr std::size_t kCsPriority1Mode = 0x00;
inline constexpr std::size_t kCsPriority2Mode = 0x01;
inline constexpr std::size_t kCsReferences = 0x50;   // four (group, channel) pairs
inline constexpr std::size_t kCsRepeaterList = 0x58; // two (group + 1, channel + 1) pairs
inline constexpr int kReferenceCount = 4;
inline constexpr int kRepeaterEntries = 2;
inline constexpr int kRemoteEntries = 15;
inline constexpr int kRemotePositions = 16; // the 16th is cleared when a group empties

// Key tables of both heads (15 bytes each) and the head bytes of the function port.
inline constexpr std::size_t kKeyTableBytes = 30;
inline constexpr std::size_t kPortHeadBytes = 0x032A;
inline constexpr std::size_t kPortHeadByteCount = 4;
inline constexpr std::uint8_t kKeyHome1 = 17;
inline constexpr std::uint8_t kKeyHome2 = 18;
inline constexpr std::uint8_t kKeyEmergency = 14;
inline constexpr std::uint8_t kPortHome = 7;

// Model identification bytes read here.
inline constexpr std::size_t kBandCodeModel1 = layout::kModelId + 5;
inline constexpr std::size_t kBandCodeModel2 = layout::kModelId + 8;
inline constexpr std::uint16_t kConfigDualBand = 1u << 14;
inline constexpr std::uint16_t kConfigBoardKind2 = 1u << 1; // model 1
inline constexpr std::uint16_t kModel2BoardKind2 = 1u << 9; // model 2 word

inline constexpr std::uint8_t kCapacityExtended = 1;
inline constexpr std::uint8_t kPttIdWithBoard = 2;
inline constexpr int kDefaultNameLength = 7; // a name length byte of 0xFF when blank-filling

} // namespace velora::chlayout
