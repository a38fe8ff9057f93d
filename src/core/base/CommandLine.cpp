#include "base/CommandLine.h"

#include <algorithm>
#include <vector>

namespace velora {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The export switch takes the arguments after it; returns how many it used.
std::size_t takeExport(CommandLine& cl, std::span<const std::string_view> rest) {
    if (rest.size() < 2) {
        cl.error = "--export-pdf needs a data file and a PDF file";
        return rest.size();
    }
    cl.exportPdf = PdfExport{std::string(rest[0]), std::string(rest[1]), {}};
    return 2;
}

void take(CommandLine& cl, std::string_view arg) {
    if (sameIgnoringCase(arg, "wqwq"))
        cl.run.extended = true;
    else if (sameIgnoringCase(arg, "step"))
        cl.run.fineStep = true;
    else if (sameIgnoringCase(arg, "/nosplash") || sameIgnoringCase(arg, "-nosplash"))
        cl.noSplash = true;
    else if (cl.dataFile.empty() && !arg.empty() && arg.front() != '-')
        cl.dataFile = std::string(arg);
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> args) {
    CommandLine cl;
    std::optional<std::string> sections;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (sameIgnoringCase(args[i], "--export-pdf")) {
            i += takeExport(cl, args.subspan(i + 1));
        } else if (sameIgnoringCase(args[i], "--sections")) {
            if (i + 1 < args.size())
                sections = std::string(args[++i]);
            else
                cl.error = "--sections needs a list of sections";
        } else {
            take(cl, args[i]);
        }
    }
    if (sections) {
        if (cl.exportPdf)
            cl.exportPdf->sections = *sections;
        else
            cl.error = "--sections goes with --export-pdf";
    }
    return cl;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string_view> args;
    for (int i = 1; i < argc && argv; ++i)
        if (argv[i]) args.emplace_back(argv[i]);
    return parseCommandLine(args);
}

} // namespace velora
