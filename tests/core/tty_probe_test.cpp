#include "comm/TtyProbe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <optional>

#include "TestSupport.h"

namespace velora::comm {
namespace {

namespace fs = std::filesystem;

// One terminal as the kernel publishes it under class/tty.
struct TtyEntry {
    const char* name;
    const char* driver;          // nullptr: no device behind the terminal
    std::optional<int> uartType; // the serial core's "type" attribute, when present
    bool serial;
};

class FakeSysfs {
  public:
    void add(const TtyEntry& t) {
        const fs::path entry = dir.path() / "class" / "tty" / t.name;
        fs::create_directories(entry);
        if (t.uartType) std::ofstream(entry / "type") << *t.uartType << '\n';
        if (!t.driver) return;
        const fs::path device = dir.path() / "devices" / (std::string("port-") + t.name);
        const fs::path driver = dir.path() / "bus" / "drivers" / t.driver;
        fs::create_directories(device);
        fs::create_directories(driver);
        fs::create_directory_symlink(device, entry / "device");
        fs::create_directory_symlink(driver, device / "driver");
    }
    test::TempDir dir;
};

TEST(TtyProbe, SerialLinesAreToldFromSysfs) {
    const TtyEntry cases[] = {
        {"ttyUSB0", "ftdi_sio", std::nullopt, true},
        {"ttyACM0", "cdc_acm", std::nullopt, true},
        {"ttyS0", "serial8250", 4, true},  // a 16550A found
        {"ttyS1", "serial8250", 0, false}, // placeholder without a UART
        {"ttyS2", "serial8250", std::nullopt, false},
        {"ttyS3", "serial", 4, true},           // a port described by the firmware
        {"ttyAMA0", "uart-pl011", 0, false},    // serial core port whose UART is unknown
        {"tty1", nullptr, std::nullopt, false}, // virtual console
    };
    FakeSysfs sys;
    for (const auto& t : cases)
        sys.add(t);
    const TtyProbe probe(sys.dir.path());
    for (const auto& t : cases)
        EXPECT_EQ(probe.isSerialLine(t.name), t.serial) << t.name;
    for (const char* odd : {"ttyUSB9", "", "..", "../class/tty/ttyUSB0"})
        EXPECT_FALSE(probe.isSerialLine(odd)) << odd;
}

TEST(TtyProbe, PathsAreFollowedToTheirDevice) {
    FakeSysfs sys;
    const TtyProbe probe(sys.dir.path());
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string pts = ::ptsname(master);
    const fs::path link = sys.dir.path() / "by-id-link";
    fs::create_symlink(pts, link);
    EXPECT_TRUE(probe.check(pts).ok()) << "a pseudo-terminal has no lines to disturb";
    EXPECT_TRUE(probe.check(link.string()).ok());
    EXPECT_EQ(probe.check("/dev/null").error, PortError::NotSerial);
    EXPECT_EQ(probe.check(sys.dir.file("missing")).error, PortError::NotFound);
    std::ofstream(sys.dir.file("plain")) << "x";
    EXPECT_EQ(probe.check(sys.dir.file("plain")).error, PortError::NotSerial);
    ::close(master);
}

} // namespace
} // namespace velora::comm
