#pragma once
#include <cstddef>

namespace velora {

// Options fixed for the whole run by the command line.
struct RunOptions {
    bool extended = false; // 255 channel records, channel numbers up to 254
    bool fineStep = false; // 1.25 kHz channel step accepted in the VHF band group

    std::size_t totalLimit() const { return extended ? 255 : 160; }
    std::size_t perGroupLimit() const { return extended ? 254 : 160; }
};

} // namespace velora
