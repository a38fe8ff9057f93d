#pragma once
// Tells a serial line from other devices without opening it. Opening a terminal raises its modem
// control lines, which a device on the other end may take as a signal, so a list of ports is drawn
// from what the kernel publishes under /sys/class/tty: a terminal is a serial line when it has a
// device behind it, and a legacy UART port only when a UART was found there (its "type" is not 0,
// as the kernel reports for the ttyS nodes it creates for every possible port). Pseudo-terminals
// have no control lines and no sysfs entry; they count as serial lines, so the simulated radio can
// serve as a port.
#include <filesystem>
#include <string>
#include <string_view>

#include "comm/ByteLink.h"

namespace velora::comm {

class TtyProbe {
  public:
    explicit TtyProbe(std::filesystem::path sysRoot = "/sys") : sysRoot_(std::move(sysRoot)) {}

    // Whether the terminal of that kernel name ("ttyUSB0", "ttyS3") is a serial line.
    bool isSerialLine(std::string_view ttyName) const;

    // The same for a device path (links such as /dev/serial/by-id/... are followed). Never opens
    // the device. Not ok: the message says why.
    PortResult check(const std::string& path) const;

  private:
    std::filesystem::path sysRoot_;
};

} // namespace velora::comm
