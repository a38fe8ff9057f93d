#pragma once
// The channel grid as CSV columns: the column names and one channel's texts in them. The CLI's
// export prints them and the data-set comparison names a channel's changes by them, so a script
// and a user see the same words for the same stored values.
#include <cstdint>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "channels/ChannelStore.h"

namespace velora {

// group, channel, rx, tx, decode, encode, name, scan_add, signalling, then the further record fields
// (power, bandwidth, busy_lockout, beat_shift, ptt_id, scrambler, compander, radio_unit).
const std::vector<std::string>& channelCsvColumns();
// How many of them an import needs.
inline constexpr std::size_t kChannelCsvRequired = 9;

// A tone word as a CSV cell: "Off", a CTCSS value or a DCS code.
std::string toneCsvText(std::uint16_t word);

// Whether the channel's model offers a bandwidth choice; on a low-band channel the bit that holds the
// bandwidth elsewhere is the noise blanker's copy, which belongs to the radio-wide setting.
bool channelHasBandwidthChoice(ChannelStore& store, MessageBoxes& boxes, int g, int c);

// One channel's cells (unquoted), in column order; empty when the channel does not exist.
// Groups and channels are 0-based here and 1-based in the cells.
std::vector<std::string> channelCsvRow(ChannelStore& store, MessageBoxes& boxes, int g, int c);

} // namespace velora
