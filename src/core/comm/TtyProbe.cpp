#include "comm/TtyProbe.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "base/TextSource.h"

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

// The first line of a sysfs attribute, without the trailing blanks the kernel may leave.
std::string readLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

fs::path realPath(const std::string& path) {
    std::error_code ec;
    fs::path real = fs::canonical(path, ec);
    return ec ? fs::path(path) : real;
}

// How far up from a terminal's device the USB device with the adapter's strings may sit: the
// interface for a modem-class port, the converter port and its interface for a serial converter.
constexpr int kUsbDeviceDepth = 4;

} // namespace

std::string portLabel(const PortDescription& d, std::string_view serialFormat) {
    std::string label = d.product;
    if (!d.manufacturer.empty() && label.rfind(d.manufacturer, 0) != 0)
        label = label.empty() ? d.manufacturer : d.manufacturer + " " + label;
    if (label.empty()) return d.ttyName;
    if (!d.serial.empty()) label += formatText(serialFormat, {d.serial});
    return label + " (" + d.ttyName + ")";
}

std::optional<PortDescription> TtyProbe::describe(const std::string& path) const {
    const fs::path real = realPath(path);
    PortDescription d;
    d.ttyName = real.filename().string();
    if (d.ttyName.empty()) return std::nullopt;
    std::error_code ec;
    const fs::path entry = roots_.sys / "class" / "tty" / d.ttyName;
    if (!fs::exists(entry, ec)) return std::nullopt;
    fs::path dir = fs::canonical(entry / "device", ec);
    for (int up = 0; !ec && up < kUsbDeviceDepth && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor", ec)) continue;
        d.manufacturer = readLine(dir / "manufacturer");
        d.product = readLine(dir / "product");
        d.serial = readLine(dir / "serial");
        break;
    }
    return d;
}

std::string TtyProbe::stablePath(const std::string& path) const {
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return {};
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(roots_.byId, ec))
        names.push_back(e.path());
    std::sort(names.begin(), names.end()); // the same choice every time when an adapter has several
    for (const auto& name : names) {
        std::error_code linkEc;
        if (fs::canonical(name, linkEc) == real && !linkEc) return name.string();
    }
    return {};
}

std::vector<std::string> TtyProbe::holders(const std::string& path) const {
    std::vector<std::string> found;
    const fs::path real = realPath(path);
    const std::string self = std::to_string(::getpid());
    std::error_code ec;
    for (const auto& proc : fs::directory_iterator(roots_.proc, ec)) {
        const std::string pid = proc.path().filename().string();
        if (!isDigits(pid) || pid == self) continue;
        std::error_code fdEc;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdEc)) {
            std::error_code linkEc;
            if (fs::read_symlink(fd.path(), linkEc) != real || linkEc) continue;
            found.push_back(readLine(proc.path() / "comm") + " (pid " + pid + ")");
            break;
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool TtyProbe::isSerialLine(std::string_view ttyName) const {
    if (ttyName.empty() || ttyName.find('/') != std::string_view::npos || ttyName == "." || ttyName == "..")
        return false;
    const fs::path entry = roots_.sys / "class" / "tty" / std::string(ttyName);
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
    if (ec) return {PortError::NotFound, path + ": the device is gone (is the cable unplugged?)"};
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
