#pragma once
// The line settings string in mode-command form, "9600,N,8,2": rate, parity, data bits, stop bits.
#include <optional>
#include <string>
#include <string_view>

namespace velora::comm {

enum class Parity { None, Even, Odd };

struct LineSettings {
    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 2;
    bool operator==(const LineSettings&) const = default;
};

inline constexpr std::string_view kDefaultLineSettings = "9600,N,8,2";

// The string with every blank removed, as it is stored.
std::string withoutBlanks(std::string_view s);

// Parses "rate[,parity[,data[,stop]]]" (blanks ignored, parity letter in either case). Missing fields
// keep the application's defaults (N, 8, 2). Rates are the standard ones from 110 to 115200; parity
// N, E or O; 5 to 8 data bits; 1 or 2 stop bits. Anything else gives nothing.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// The part from the first comma on (",N,8,2"), which the baud search keeps while it changes the rate.
std::string_view settingsTail(std::string_view settings);

} // namespace velora::comm
