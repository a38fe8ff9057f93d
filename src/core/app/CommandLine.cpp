#include "app/CommandLine.h"

#include <algorithm>

namespace velora {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

void take(CommandLine& cl, std::string_view arg) {
    if (sameIgnoringCase(arg, "wqwq"))
        cl.run.extended = true;
    else if (sameIgnoringCase(arg, "step"))
        cl.run.fineStep = true;
    else if (sameIgnoringCase(arg, "/nosplash") || sameIgnoringCase(arg, "-nosplash"))
        cl.noSplash = true;
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> args) {
    CommandLine cl;
    for (std::string_view arg : args)
        take(cl, arg);
    return cl;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine cl;
    for (int i = 1; i < argc && argv; ++i)
        if (argv[i]) take(cl, argv[i]);
    return cl;
}

} // namespace velora
