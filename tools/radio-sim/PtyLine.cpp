#include "PtyLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace velora::sim {

namespace {
struct SpeedEntry {
    speed_t speed;
    unsigned baud;
};
constexpr SpeedEntry kSpeeds[] = {
    {B50, 50},     {B75, 75},       {B110, 110},     {B134, 134},     {B150, 150},       {B200, 200},
    {B300, 300},   {B600, 600},     {B1200, 1200},   {B1800, 1800},   {B2400, 2400},     {B4800, 4800},
    {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
};

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}
} // namespace

unsigned baudOfSpeed(unsigned long speed) {
    for (const auto& e : kSpeeds)
        if (e.speed == speed) return e.baud;
    return 0;
}

bool PtyLine::open(std::string& error) {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0 || (name = ::ptsname(fd_)) == nullptr) {
        error = systemError("pseudo-terminal");
        hangUp();
        return false;
    }
    devicePath_ = name;
    // A serial port the client has not configured yet should already pass bytes unchanged.
    termios t{};
    if (::tcgetattr(fd_, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD | CSTOPB;
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    return true;
}

LineSettings PtyLine::settings() const {
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0) return {0, 10};
    unsigned data = 8;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        data = 5;
        break;
    case CS6:
        data = 6;
        break;
    case CS7:
        data = 7;
        break;
    default:
        data = 8;
        break;
    }
    unsigned bits = 1 + data + ((t.c_cflag & PARENB) ? 1 : 0) + ((t.c_cflag & CSTOPB) ? 2 : 1);
    return {baudOfSpeed(::cfgetospeed(&t)), bits};
}

PtyLine::ReadStatus PtyLine::read(std::vector<Byte>& out) {
    Byte buf[512];
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
        out.insert(out.end(), buf, buf + n);
        return ReadStatus::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadStatus::Nothing;
    return ReadStatus::Dropped; // EIO: the last holder of the slave closed it
}

bool PtyLine::write(std::span<const Byte> bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

void PtyLine::hangUp() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool DeviceLink::create(const std::string& target, const std::string& path, std::string& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + ": exists and is not a symbolic link";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        error = systemError(path.c_str());
        return false;
    }
    path_ = path;
    return true;
}

void DeviceLink::remove() {
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
}

} // namespace velora::sim
