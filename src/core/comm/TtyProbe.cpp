#include "comm/TtyProbe.h"

#include <algorithm>
#include <fstream>
#include <optional>

namespace velora::comm {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDevFolder = "/dev/";
constexpr std::string_view kPtsFolder = "/dev/pts/";
// The driver of the legacy UART ports the kernel creates whether or not hardware is there.
constexpr std::string_view kLegacyUartDriver = "serial8250";

std::optional<long> readNumber(const fs::path& file) {
    std::ifstream in(file);
    long v = 0;
    if (in >> v) return v;
    return std::nullopt;
}

bool isDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool TtyProbe::isSerialLine(std::string_view ttyName) const {
    if (ttyName.empty() || ttyName.find('/') != std::string_view::npos || ttyName == "." || ttyName == "..")
        return false;
    const fs::path entry = sysRoot_ / "class" / "tty" / std::string(ttyName);
    std::error_code ec;
    // Virtual consoles and other software terminals have no device behind them.
    if (!fs::exists(entry / "device", ec)) return false;
    // Ports of the serial core publish the UART type they found; 0 means none.
    if (auto type = readNumber(entry / "type")) return *type != 0;
    const fs::path driver = fs::read_symlink(entry / "device" / "driver", ec);
    return ec || driver.filename() != kLegacyUartDriver;
}

PortResult TtyProbe::check(const std::string& path) const {
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return {PortError::NotFound, path + ": the device does not exist"};
    const std::string name = real.string();
    bool serial = false;
    if (fs::is_character_file(real, ec)) {
        if (name.rfind(kPtsFolder, 0) == 0)
            serial = isDigits(std::string_view(name).substr(kPtsFolder.size()));
        else if (name.rfind(kDevFolder, 0) == 0)
            serial = isSerialLine(std::string_view(name).substr(kDevFolder.size()));
    }
    if (!serial) return {PortError::NotSerial, path + ": no serial port hardware behind this device"};
    return {};
}

} // namespace velora::comm
