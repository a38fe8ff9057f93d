#pragma once
// Fixed places inside the three areas of the memory image. Every offset the code uses is named here
// (or, for a feature area's own fields, in that area's table), never written inline.
#include <cstddef>
#include <string_view>

namespace velora::layout {

// Area sizes.
inline constexpr std::size_t kMainSize = 16384; // 128 blocks of 128 bytes
inline constexpr std::size_t kDtmfSize = 160;   // 10 DTMF code entries of 16 bytes
inline constexpr std::size_t kExtSize = 8192;   // 16-byte name and tone records
inline constexpr std::size_t kBlockSize = 128;
inline constexpr std::size_t kMainBlocks = kMainSize / kBlockSize;
inline constexpr std::size_t kExtBlocks = kExtSize / kBlockSize;

// Main-area regions.
inline constexpr std::size_t kCommon = 0x0000; // common settings block (block 0), 128 bytes
inline constexpr std::size_t kCommonSize = 0x80;
inline constexpr std::size_t kTwoTone = 0x0080; // 2-tone data, 0x1A0 bytes
inline constexpr std::size_t kTwoToneSize = 0x1A0;
inline constexpr std::size_t kOstTable = 0x0220;     // operator-selectable tones, 16 x 4 bytes
inline constexpr std::size_t kPttIdLengths = 0x02BE; // Connect ID length, Disconnect ID length
inline constexpr std::size_t kConnectId = 0x02C0;    // 32 bytes
inline constexpr std::size_t kDisconnectId = 0x02E0; // 32 bytes
inline constexpr std::size_t kKeyTables = 0x0300;    // two heads, 15 bytes each
inline constexpr std::size_t kKeyTableHead2 = 0x030F;
inline constexpr std::size_t kKnobModeHead1 = 0x031E;
inline constexpr std::size_t kKnobModeHead2 = 0x031F;
inline constexpr std::size_t kFunctionPort = 0x0320;     // function per pin (14 pins)
inline constexpr std::size_t kFunctionPortPins = 0x0330; // pin per function (5 functions)
inline constexpr std::size_t kDravix = 0x0340;           // 64 bytes
inline constexpr std::size_t kDravixSize = 0x40;
inline constexpr std::size_t kRemoteList = 0x0380;     // 15 entries of (group + 1, channel + 1)
inline constexpr std::size_t kGroupRecords = 0x0400;   // 8 bytes per group
inline constexpr std::size_t kGroupTable = 0x1480;     // 2 bytes per group
inline constexpr std::size_t kChannelList = 0x1600;    // 256 positions of 2 bytes
inline constexpr std::size_t kChannelRecords = 0x1800; // 256 records of 16 bytes
inline constexpr std::size_t kEmergency = 0x3A81;      // 157 bytes
inline constexpr std::size_t kEmergencySize = 157;
inline constexpr std::size_t kDravixEmergencyFrame = 0x3B1E; // 22 bytes + length byte
inline constexpr std::size_t kPowerOnText = 0x3DF0;          // 14 characters, blank-padded
inline constexpr std::size_t kPowerOnTextSize = 14;
inline constexpr std::size_t kTestFreqModel2 = 0x3E00;  // 16 x (rx, tx) 4-byte frequencies
inline constexpr std::size_t kEmbeddedMessage = 0x3E80; // two 32-byte lines
inline constexpr std::size_t kAppTag = 0x3EDA;          // "VELORA", no terminator
inline constexpr std::size_t kModelId = 0x3EE0;         // 10-byte model identification
inline constexpr std::size_t kModelIdSize = 10;
inline constexpr std::size_t kConfigWord = 0x3EE6;    // model identification bytes 6, 7
inline constexpr std::size_t kModel2Word = 0x3EE8;    // model identification bytes 8, 9
inline constexpr std::size_t kFormatVersion = 0x3EFB; // "V2.10"
inline constexpr std::size_t kTestFreqModel1 = 0x3F00;
inline constexpr std::size_t kTestFreqTableSize = 128;

// Extension-area regions.
inline constexpr std::size_t kGroupNames = 0x0000;   // 16 bytes per group
inline constexpr std::size_t kChannelNames = 0x0A00; // 16 bytes per channel record
inline constexpr std::size_t kOstNames = 0x1A00;     // 16 operator-selectable-tone entries
inline constexpr std::size_t kNameRecordSize = 16;

// Common settings block bytes shared by several subsystems.
inline constexpr std::size_t kCsNoiseBlanker = 0x0F;
inline constexpr std::size_t kCsChannelNameLength = 0x10;
inline constexpr std::size_t kCsGroupNameLength = 0x11;
inline constexpr std::size_t kCsCapacityMarker = 0x1F;
inline constexpr std::size_t kCsOptionBoardMode = 0x34;

inline constexpr std::string_view kAppTagText = "VELORA";
inline constexpr std::string_view kVersionText = "V2.10";
inline constexpr std::string_view kDefaultFileName = "velora.dat";

} // namespace velora::layout
