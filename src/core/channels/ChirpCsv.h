#pragma once
// The generic CHIRP-style channel list (Location, Name, Frequency, Duplex, Offset, Tone, rToneFreq,
// cToneFreq, DtcsCode, DtcsPolarity, Mode, TStep, Skip, Comment, ...): columns are matched by name.
// One list fills one group. Rows the radio cannot hold (out of band, AM, more than a group takes)
// are reported with their line and reason; either nothing is imported or, when asked, the rest.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "channels/ChannelCsvImport.h"

namespace velora {

// The column names written on export, in CHIRP's order.
const std::vector<std::string>& chirpCsvColumns();

// The rows after the header (`columns` lower-cased); `line` is the header's last line.
ChannelCsvResult importChirpRows(std::istream& in, int& line, const std::vector<std::string>& columns,
                                 const std::string& source, ChannelStore& store, MessageBoxes& boxes,
                                 const ChannelCsvOptions& options);

// One group (0-based) as a CHIRP list, Location = channel number.
void writeChirpCsv(std::ostream& out, ChannelStore& store, MessageBoxes& boxes, int group);

} // namespace velora
