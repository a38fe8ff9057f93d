#pragma once
// The command-line switches. Each argument after the program name is compared without regard to
// case; anything else is ignored, and no argument ever names a file to open.
#include <span>
#include <string_view>

#include "model/RunOptions.h"

namespace velora {

struct CommandLine {
    RunOptions run;        // "wqwq": extended capacity; "step": 1.25 kHz step in VHF
    bool noSplash = false; // "/nosplash" or "-nosplash"
};

// The arguments after the program name.
CommandLine parseCommandLine(std::span<const std::string_view> args);

// argv as main() receives it; argv[0] is the program and is skipped.
CommandLine parseCommandLine(int argc, const char* const* argv);

} // namespace velora
