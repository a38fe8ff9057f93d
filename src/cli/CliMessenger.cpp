#include "CliMessenger.h"

#include <iostream>

namespace velora::cli {

namespace {
std::string oneLine(std::string s) {
    for (auto& c : s)
        if (c == '\n' || c == '\t') c = ' ';
    return s;
}
} // namespace

MsgAnswer CliMessenger::show(const Message& m) {
    const char* kind = "note";
    if (m.icon == MsgIcon::Error) {
        kind = "error";
        ++errors;
    } else if (m.icon == MsgIcon::Warning || m.icon == MsgIcon::Question) {
        kind = "warning";
        ++warnings;
    }
    std::cerr << "velora-cli: " << kind << ": ";
    if (!context.empty()) std::cerr << context << ": ";
    std::cerr << oneLine(m.text) << '\n';
    return firstButtonAnswer(m.buttons);
}

} // namespace velora::cli
