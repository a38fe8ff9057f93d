#pragma once
// The command-line switches. Each argument after the program name is compared without regard to
// case. The first other argument that does not start with '-' names the data file to open (as a
// desktop entry passes it); the rest are ignored. The export switch names the files it reads and
// writes.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/RunOptions.h"

namespace velora {

// "--export-pdf DATAFILE OUT.pdf [--sections LIST]": the report written without a window.
struct PdfExport {
    std::string dataFile;
    std::string pdfFile;
    std::string sections; // empty: every section
};

struct CommandLine {
    RunOptions run;        // "wqwq": extended capacity; "step": 1.25 kHz step in VHF
    bool noSplash = false; // "/nosplash" or "-nosplash"
    std::optional<PdfExport> exportPdf;
    std::string dataFile; // empty: start with the default data set
    std::string error; // a switch missing its values
};

// The arguments after the program name.
CommandLine parseCommandLine(std::span<const std::string_view> args);

// argv as main() receives it; argv[0] is the program and is skipped.
CommandLine parseCommandLine(int argc, const char* const* argv);

} // namespace velora
