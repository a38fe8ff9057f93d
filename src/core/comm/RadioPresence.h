#pragma once
// Whether a radio answers on a line right now, for a production run that waits for the next radio
// to be connected and for the last one to be taken away.
#include <cstdint>
#include <string>
#include <string_view>

#include "comm/RadioProtocol.h"

namespace velora::comm {

// The entry with the baud search, then the identification. A radio that took the entry but whose
// identification was lost is told to leave the run again: entered is entered.
bool enterAndIdentify(RadioProtocol& protocol, Identification& id);

// Opens the link and looks for a radio: the entry with the baud search, then the identification.
// True: the link stays open in the programming run, for the write to go on in it. False: the link is
// closed, and a radio that took the entry was told to leave the run again.
bool openRadioSession(RadioProtocol& protocol, Identification& id);

// A radio awake at a known rate answers the entry within the wait the baud search gives every rate
// after its first; only the first contact of a search waits longer.
inline constexpr std::uint32_t kGoneAnswerTimeoutMs = 100;

// Whether the radio just written (at `rate`, "9600") may still be at the line: the entry at that
// rate only, left again at once when it answers. A link that does not open shows nothing gone, so
// it counts as the radio still there. The link is closed afterwards.
bool radioStillAnswers(RadioProtocol& protocol, std::string_view rate);

// The identification as hexadecimal bytes ("52 4D 34 ..."), for logs.
std::string identificationText(const Identification& id);

} // namespace velora::comm
