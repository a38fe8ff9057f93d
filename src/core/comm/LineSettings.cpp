#include "comm/LineSettings.h"

#include <array>
#include <charconv>

namespace velora::comm {

namespace {

constexpr std::array kStandardRates{110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::optional<int> number(std::string_view s) {
    int v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

} // namespace

std::string withoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t') out.push_back(c);
    return out;
}

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    const std::string s = withoutBlanks(text);
    std::array<std::string_view, 4> fields{};
    std::size_t count = 0, start = 0;
    const std::string_view all(s);
    while (true) {
        const auto comma = all.find(',', start);
        if (count == fields.size()) return std::nullopt; // more than four fields
        fields[count++] =
            all.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }

    LineSettings ls;
    const auto rate = number(fields[0]);
    if (!rate) return std::nullopt;
    bool known = false;
    for (int r : kStandardRates)
        known = known || r == *rate;
    if (!known) return std::nullopt;
    ls.baud = *rate;

    if (count > 1 && !fields[1].empty()) {
        if (fields[1].size() != 1) return std::nullopt;
        switch (fields[1][0]) {
        case 'N':
        case 'n':
            ls.parity = Parity::None;
            break;
        case 'E':
        case 'e':
            ls.parity = Parity::Even;
            break;
        case 'O':
        case 'o':
            ls.parity = Parity::Odd;
            break;
        default:
            return std::nullopt; // mark and space parity have no portable termios form
        }
    }
    if (count > 2 && !fields[2].empty()) {
        const auto d = number(fields[2]);
        if (!d || *d < 5 || *d > 8) return std::nullopt;
        ls.dataBits = *d;
    }
    if (count > 3 && !fields[3].empty()) {
        const auto st = number(fields[3]);
        if (!st || (*st != 1 && *st != 2)) return std::nullopt;
        ls.stopBits = *st;
    }
    return ls;
}

std::string_view settingsTail(std::string_view settings) {
    const auto comma = settings.find(',');
    return comma == std::string_view::npos ? std::string_view{} : settings.substr(comma);
}

} // namespace velora::comm
