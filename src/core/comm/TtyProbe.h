#pragma once
// Tells a serial line from other devices without opening it. Opening a terminal raises its modem
// control lines, which a device on the other end may take as a signal, so a list of ports is drawn
// from what the kernel publishes under /sys/class/tty: a terminal is a serial line when it has a
// device behind it, and a legacy UART port only when a UART was found there (its "type" is not 0,
// as the kernel reports for the ttyS nodes it creates for every possible port). Pseudo-terminals
// have no control lines and no sysfs entry; they count as serial lines, so the simulated radio can
// serve as a port.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/ByteLink.h"

namespace velora::comm {

// What the kernel tells of the adapter behind a serial line, read from sysfs without opening it.
struct PortDescription {
    std::string ttyName;      // "ttyUSB0"
    std::string manufacturer; // empty when the device names none (a UART on the board)
    std::string product;
    std::string serial;
};

// "FTDI FT232R USB UART, serial A50285BI (ttyUSB0)". `serialFormat` is the language text that
// frames the serial number (", serial %s"). A product that already starts with the manufacturer's
// name is not given it twice; a line without a named adapter is its path alone.
std::string portLabel(const PortDescription& d, std::string_view serialFormat);

class TtyProbe {
  public:
    // Where the kernel and udev publish what this class reads; tests give a fake tree.
    struct Roots {
        std::filesystem::path sys = "/sys";
        std::filesystem::path byId = "/dev/serial/by-id";
        std::filesystem::path proc = "/proc";
    };
    explicit TtyProbe(std::filesystem::path sysRoot = "/sys") { roots_.sys = std::move(sysRoot); }
    explicit TtyProbe(Roots roots) : roots_(std::move(roots)) {}

    // Whether the terminal of that kernel name ("ttyUSB0", "ttyS3") is a serial line.
    bool isSerialLine(std::string_view ttyName) const;

    // The same for a device path (links such as /dev/serial/by-id/... are followed). Never opens
    // the device. Not ok: the message says why.
    PortResult check(const std::string& path) const;

    // The adapter behind a device path; nothing when the path does not lead to a terminal.
    std::optional<PortDescription> describe(const std::string& path) const;

    // The name udev gives the adapter itself (/dev/serial/by-id/...), which stays with the cable
    // across replugs and reboots while ttyUSBn goes to whichever adapter enumerated first. Empty
    // when the device has none (a UART on the board, a pseudo-terminal).
    std::string stablePath(const std::string& path) const;

    // The processes that hold the device open, as "name (pid N)"; those whose open files this user
    // may not see are missing.
    std::vector<std::string> holders(const std::string& path) const;

  private:
    Roots roots_;
};

} // namespace velora::comm
