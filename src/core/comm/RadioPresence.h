#pragma once
// Whether a radio answers on a line right now, for a production run that waits for the next radio
// to be connected and for the last one to be taken away.
#include "comm/RadioProtocol.h"

namespace velora::comm {

// Opens the link, enters the programming run, reads the identification and leaves the run again;
// the link is closed afterwards. False when the link does not open or nothing answers.
bool radioAnswers(RadioProtocol& protocol, Identification& id);

// The identification as hexadecimal bytes ("52 4D 34 ..."), for logs.
std::string identificationText(const Identification& id);

} // namespace velora::comm
