#include "comm/SerialPort.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include "comm/TtyProbe.h"

namespace velora::comm {

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

constexpr int kUsbPorts = 10;            // COM1..COM10 -> /dev/ttyUSB0..9
constexpr int kWriteSlackMs = 2000;      // allowance on top of the bytes' time on the line
constexpr int kBitsPerCharacterMax = 12; // start, 8 data, parity, 2 stop bits

struct RateEntry {
    int baud;
    speed_t code;
};
constexpr std::array<RateEntry, 11> kRates{{{110, B110},
                                            {300, B300},
                                            {600, B600},
                                            {1200, B1200},
                                            {2400, B2400},
                                            {4800, B4800},
                                            {9600, B9600},
                                            {19200, B19200},
                                            {38400, B38400},
                                            {57600, B57600},
                                            {115200, B115200}}};

std::optional<speed_t> speedCode(int baud) {
    for (const auto& r : kRates)
        if (r.baud == baud) return r.code;
    return std::nullopt;
}

std::string sysText(int err) {
    return std::strerror(err);
}

// The group that owns a device, so a user refused access knows which group to join.
std::string owningGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
    return std::to_string(st.st_gid);
}

// The user can close or quit the program that holds the line only when told which one it is.
PortResult busy(const std::string& path, int err) {
    std::string msg = path + ": the port is in use by another program";
    const auto who = TtyProbe().holders(path);
    for (std::size_t i = 0; i < who.size(); ++i)
        msg += (i == 0 ? ", " : " and ") + who[i];
    return {PortError::Busy, msg + " (" + sysText(err) + ")"};
}

PortResult openError(const std::string& path, int err) {
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return {PortError::NotFound,
                path + ": the device is gone (is the cable unplugged?) (" + sysText(err) + ")"};
    case EACCES:
    case EPERM: {
        std::string msg = path + ": " + sysText(err) + ".";
        const std::string grp = owningGroup(path);
        if (!grp.empty())
            msg += " The device belongs to the group \"" + grp +
                   "\"; add your user to that group "
                   "(for example: sudo usermod -aG " +
                   grp + " $USER) and log in again.";
        return {PortError::PermissionDenied, msg};
    }
    case EBUSY:
        return busy(path, err);
    default:
        return {PortError::System, path + ": " + sysText(err)};
    }
}

PortResult notSerial(const std::string& path, int err) {
    return {PortError::NotSerial, path + " is not a serial line (" + sysText(err) + ")"};
}

// A legacy UART device node exists for every possible port; only those with a UART behind them count.
bool hasUart(int fd, const std::string& path) {
    if (path.rfind("/dev/ttyS", 0) != 0) return true;
    serial_struct ss{};
    if (::ioctl(fd, TIOCGSERIAL, &ss) != 0) return true; // the driver cannot tell; accept it
    return ss.type != PORT_UNKNOWN;
}

// Opens without waiting for carrier and without becoming our controlling terminal, and checks that
// the device answers as a terminal. The descriptor stays non-blocking: every wait goes through poll.
std::pair<int, PortResult> openDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {-1, openError(path, errno)};
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        const int err = errno;
        ::close(fd);
        return {-1, notSerial(path, err)};
    }
    return {fd, {}};
}

int remainingMs(SteadyTime deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

void SteadyClock::wait(std::chrono::milliseconds ms) {
    SerialPort::busyWait(ms);
}

SteadyClock& SteadyClock::instance() {
    static SteadyClock clock;
    return clock;
}

SerialPort::~SerialPort() {
    close();
}

std::string SerialPort::defaultDevicePath(int port) {
    if (port < kFirstPort || port > kLastPort) return {};
    if (port <= kUsbPorts) return "/dev/ttyUSB" + std::to_string(port - 1);
    return "/dev/ttyS" + std::to_string(port - kUsbPorts - 1);
}

std::string SerialPort::devicePath(int port) const {
    if (auto it = overrides_.find(port); it != overrides_.end()) return it->second;
    return defaultDevicePath(port);
}

void SerialPort::setDevicePath(int port, std::string path) {
    if (path.empty())
        overrides_.erase(port);
    else
        overrides_[port] = std::move(path);
}

void SerialPort::setDevicePaths(std::map<int, std::string> paths) {
    overrides_.clear();
    for (auto& [port, path] : paths)
        setDevicePath(port, std::move(path));
}

void SerialPort::fail(PortError e, std::string message) {
    lastError_ = {e, std::move(message)};
}

PortResult SerialPort::open() {
    if (isOpen()) return {};
    const std::string path = devicePath(port_);
    if (path.empty()) {
        fail(PortError::NotFound, "COM" + std::to_string(port_) + " has no device");
        return lastError_;
    }
    auto [fd, result] = openDevice(path);
    if (!result.ok()) {
        lastError_ = result;
        return lastError_;
    }
    // Exclusive use: the kernel refuses further opens by other users of the terminal, and the lock
    // also catches another instance of this program running with the same rights.
    ::ioctl(fd, TIOCEXCL);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        lastError_ = busy(path, err);
        return lastError_;
    }
    fd_ = fd;
    // The queue sizes need nothing on Linux. A port that cannot take the settings is closed again at
    // once, so a failed open never keeps the device locked away from the user.
    if (PortResult r = applyLineSettings(); !r.ok()) {
        close();
        lastError_ = r;
        return lastError_;
    }
    lastError_ = {};
    return {};
}

bool SerialPort::close() {
    if (!isOpen()) return true;
    ::ioctl(fd_, TIOCNXCL);
    const int rc = ::close(fd_);
    fd_ = -1;
    // Linux releases the descriptor even when close reports EINTR.
    return rc == 0 || errno == EINTR;
}

bool SerialPort::setPortNumber(int port) {
    if (port != 0) port_ = port;
    if (!isOpen()) return true;
    const bool closed = close();
    return open().ok() && closed;
}

bool SerialPort::setLineSettings(std::string_view settings) {
    settings_ = withoutBlanks(settings);
    if (!isOpen()) return parseLineSettings(settings_).has_value();
    PortResult r = applyLineSettings();
    if (!r.ok()) lastError_ = r;
    return r.ok();
}

bool SerialPort::setReadTimeout(std::uint32_t ms) {
    readTimeoutMs_ = ms; // applied by every read
    return true;
}

bool SerialPort::setInputQueueSize(std::uint16_t bytes) {
    inQueue_ = bytes;
    return true;
}

bool SerialPort::setOutputQueueSize(std::uint16_t bytes) {
    outQueue_ = bytes;
    return true;
}

PortResult SerialPort::applyLineSettings() {
    const auto ls = parseLineSettings(settings_);
    if (!ls) return {PortError::BadSettings, "invalid line settings \"" + settings_ + "\""};
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return notSerial(devicePath(port_), errno);
    // Binary frames need raw mode: a freshly opened tty may echo, translate CR/LF or buffer lines.
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    static constexpr std::array<tcflag_t, 4> kSizes{CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[static_cast<std::size_t>(ls->dataBits - 5)];
    if (ls->parity != Parity::None) t.c_cflag |= PARENB;
    if (ls->parity == Parity::Odd) t.c_cflag |= PARODD;
    if (ls->stopBits == 2) t.c_cflag |= CSTOPB;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t code = *speedCode(ls->baud);
    if (::cfsetispeed(&t, code) != 0 || ::cfsetospeed(&t, code) != 0 || ::tcsetattr(fd_, TCSANOW, &t) != 0)
        return {PortError::BadSettings,
                devicePath(port_) + ": cannot apply \"" + settings_ + "\" (" + sysText(errno) + ")"};
    baud_ = ls->baud;
    if (!setControlLines())
        return {PortError::System,
                devicePath(port_) + ": cannot set the control lines (" + sysText(errno) + ")"};
    return {};
}

// DTR on, RTS off. Devices without modem lines (pseudo-terminals) refuse the request; that is fine.
bool SerialPort::setControlLines() {
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    auto ignorable = [](int err) { return err == ENOTTY || err == EINVAL; };
    if (::ioctl(fd_, TIOCMBIS, &dtr) != 0 && !ignorable(errno)) return false;
    if (::ioctl(fd_, TIOCMBIC, &rts) != 0 && !ignorable(errno)) return false;
    return true;
}

std::optional<int> SerialPort::currentSpeed() const {
    if (!isOpen()) return std::nullopt;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return std::nullopt;
    const speed_t code = ::cfgetospeed(&t);
    for (const auto& r : kRates)
        if (r.code == code) return r.baud;
    return std::nullopt;
}

bool SerialPort::write(std::span<const Byte> bytes) {
    if (!isOpen()) {
        fail(PortError::NotOpen, "the port is not open");
        return false;
    }
    // Whatever arrived before this frame cannot be its answer.
    ::tcflush(fd_, TCIFLUSH);
    const int lineMs =
        static_cast<int>(bytes.size() * kBitsPerCharacterMax * 1000 / static_cast<std::size_t>(baud_));
    const SteadyTime deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteSlackMs + 2 * lineMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            fail(PortError::System, "write: " + sysText(errno));
            return false;
        }
        const int left = remainingMs(deadline);
        if (left == 0) {
            fail(PortError::System, "write: timed out");
            return false;
        }
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, left);
    }
    // The protocol's waits and read time-outs count from the moment the bytes have left. tcdrain
    // alone could wait forever on a device that stopped taking bytes, so first watch the driver's
    // queue empty within the deadline; tcdrain then only waits out the last character.
    while (true) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        const int left = remainingMs(deadline);
        if (left == 0) {
            ::tcflush(fd_, TCOFLUSH);
            fail(PortError::System, "write: timed out");
            return false;
        }
        // The queue's line time: one wake-up per frame in the usual case, and the read time-out
        // starts at most one character late.
        const int queueMs = static_cast<int>(static_cast<std::size_t>(queued) * kBitsPerCharacterMax * 1000 /
                                             static_cast<std::size_t>(baud_));
        std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp(queueMs, 1, left)));
    }
    while (::tcdrain(fd_) != 0) {
        if (errno != EINTR) {
            fail(PortError::System, "write: " + sysText(errno));
            return false;
        }
    }
    return true;
}

bool SerialPort::writeString(std::string_view s) {
    return write(std::span<const Byte>(reinterpret_cast<const Byte*>(s.data()), s.size()));
}

bool SerialPort::read(std::span<Byte> bytes) {
    if (!isOpen()) {
        fail(PortError::NotOpen, "the port is not open");
        return false;
    }
    const auto total = std::chrono::milliseconds(readTimeoutMs_) +
                       std::chrono::milliseconds(static_cast<std::uint64_t>(perByteMs_) * bytes.size());
    const SteadyTime deadline = std::chrono::steady_clock::now() + total;
    std::size_t got = 0;
    bool hungUp = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd_, bytes.data() + got, bytes.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        // The other end went away and nothing is left to read: don't sit out the time-out.
        if (hungUp) return false;
        const int left = remainingMs(deadline);
        if (left == 0) return false;
        pollfd p{fd_, POLLIN, 0};
        const int rc = ::poll(&p, 1, left);
        if (rc < 0 && errno != EINTR) return false;
        hungUp = rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
    }
    return true;
}

std::size_t SerialPort::pendingInput() {
    int n = 0;
    if (!isOpen() || ::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
    return static_cast<std::size_t>(n);
}

void SerialPort::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
    if (!isOpen()) return;
    const SteadyTime deadline = std::chrono::steady_clock::now() + limit;
    std::array<Byte, 256> scrap{};
    while (true) {
        // Whatever is queued now is no answer to anything still to come.
        ::tcflush(fd_, TCIFLUSH);
        const int left = remainingMs(deadline);
        if (left == 0) return;
        pollfd p{fd_, POLLIN, 0};
        const int rc = ::poll(&p, 1, std::min(left, static_cast<int>(quiet.count())));
        if (rc == 0) return; // quiet long enough
        if (rc < 0 && errno != EINTR) return;
        if (rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return;
        // Drain rather than rely on the flush alone, so a line that keeps talking cannot spin.
        while (::read(fd_, scrap.data(), scrap.size()) > 0) {
        }
    }
}

bool SerialPort::isRs232() const {
    if (!isOpen()) return false;
    busyWait(std::chrono::milliseconds(10));
    termios t{};
    const bool ok = ::tcgetattr(fd_, &t) == 0 && hasUart(fd_, devicePath(port_));
    busyWait(std::chrono::milliseconds(10));
    return ok;
}

PortResult SerialPort::probe(const std::string& path) {
    auto [fd, result] = openDevice(path);
    if (!result.ok()) return result;
    const bool uart = hasUart(fd, path);
    ::close(fd);
    if (!uart) return {PortError::NotFound, path + ": no serial port hardware behind this device"};
    return {};
}

void SerialPort::busyWait(std::chrono::milliseconds ms) {
    const auto until = std::chrono::steady_clock::now() + ms;
    while (std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_until(until);
}

std::string portReason(const std::string& message, const std::string& where) {
    const auto colon = message.find(": ");
    if (colon == std::string::npos || colon == 0 || where.find(message.substr(0, colon)) == std::string::npos)
        return message;
    return message.substr(colon + 2);
}

} // namespace velora::comm
