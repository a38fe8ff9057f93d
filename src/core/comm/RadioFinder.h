#pragma once
// "Find radio": whether a radio answers on a line, and which model it is. Probing sends the
// programming-mode entry, so it runs only when the user asks for it, and a radio that answered is
// taken out of programming mode again before the line closes: it is left as it was found.
#include <string>

#include "base/TextSource.h"
#include "comm/ByteLink.h"

namespace velora::comm {

inline constexpr int kTextSerialNumber = 632; // ", serial %s" after an adapter's name
inline constexpr int kTextFindRadio = 633;
inline constexpr int kTextRadioFound = 634; // "%s: %s radio at %s baud"
inline constexpr int kTextNoRadio = 635;    // "%s: no radio answered"

struct RadioFound {
    PortResult port;    // not ok: the line could not be opened, and nothing was sent
    bool radio = false; // a radio answered the entry and sent its identification
    std::string model;  // "RM-420", or the model code when the catalogue does not know it
    std::string rate;   // the rate the radio answered at, "9600"
};

// Opens the link, tries the entry at each of the radio's rates and asks for the identification,
// then closes the link with its line settings and read time-out as they were.
RadioFound findRadio(ByteLink& link, Clock& clock = SteadyClock::instance());

// One line of the answer for the line named `where`: the radio, no radio, or why the line did not open.
std::string foundText(const TextSource& texts, const std::string& where, const RadioFound& found);

} // namespace velora::comm
