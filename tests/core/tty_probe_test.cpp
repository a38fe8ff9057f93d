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

// A USB adapter as the kernel publishes it: the terminal's device sits `depth` levels below the USB
// device whose attributes name the adapter. nullptr attributes are absent.
struct AdapterCase {
    const char* tty;
    int depth; // 0: a UART on the board, no USB device above it
    const char* manufacturer;
    const char* product;
    const char* serial;
    const char* label;
};

void addAdapter(const fs::path& root, const AdapterCase& a) {
    const fs::path usb = root / "devices" / "usb1" / (std::string("1-") + a.tty);
    fs::path dev = a.depth == 0 ? root / "devices" / "platform" / a.tty : usb;
    for (int i = 0; i < a.depth; ++i)
        dev /= "level" + std::to_string(i);
    fs::create_directories(dev);
    fs::create_directories(root / "class" / "tty" / a.tty);
    fs::create_directory_symlink(dev, root / "class" / "tty" / a.tty / "device");
    if (a.depth == 0) return;
    std::ofstream(usb / "idVendor") << "0403\n";
    if (a.manufacturer) std::ofstream(usb / "manufacturer") << a.manufacturer << '\n';
    if (a.product) std::ofstream(usb / "product") << a.product << '\n';
    if (a.serial) std::ofstream(usb / "serial") << a.serial << '\n';
}

TEST(TtyProbe, AdaptersAreDescribedWithoutOpeningThem) {
    const AdapterCase cases[] = {
        {"ttyUSB0", 2, "FTDI", "FT232R USB UART", "A50285BI",
         "FTDI FT232R USB UART, serial A50285BI (ttyUSB0)"},
        {"ttyUSB1", 2, "Prolific", "USB-Serial Controller", nullptr,
         "Prolific USB-Serial Controller (ttyUSB1)"},
        {"ttyACM0", 1, "Silicon Labs", "Silicon Labs CP2102N", "0001",
         "Silicon Labs CP2102N, serial 0001 (ttyACM0)"},
        {"ttyUSB2", 2, nullptr, "USB Serial", nullptr, "USB Serial (ttyUSB2)"},
        {"ttyUSB3", 5, "Far", "Too deep", nullptr, "ttyUSB3"}, // attributes of an unrelated hub above
        {"ttyS0", 0, nullptr, nullptr, nullptr, "ttyS0"},
    };
    test::TempDir dir;
    for (const auto& a : cases)
        addAdapter(dir.path(), a);
    const TtyProbe probe(dir.path());
    for (const auto& a : cases) {
        const auto d = probe.describe(std::string("/dev/") + a.tty);
        ASSERT_TRUE(d) << a.tty;
        EXPECT_EQ(portLabel(*d, ", serial %s"), a.label);
    }
    EXPECT_FALSE(probe.describe("/dev/ttyUSB9")) << "no terminal of that name";
}

TEST(TtyProbe, AdapterNamesAndHoldersAreFound) {
    test::TempDir dir;
    const fs::path dev = dir.path() / "dev", byId = dev / "serial" / "by-id", proc = dir.path() / "proc";
    fs::create_directories(byId);
    for (const char* tty : {"ttyUSB0", "ttyUSB1", "ttyS0"})
        std::ofstream(dev / tty) << "";
    const fs::path ftdi = byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    fs::create_symlink("../../ttyUSB0", ftdi);
    fs::create_symlink("../../ttyUSB1", byId / "usb-Prolific_USB-Serial_Controller-if00-port0");
    const auto holder = [&](const char* pid, const char* name, const fs::path& device) {
        fs::create_directories(proc / pid / "fd");
        std::ofstream(proc / pid / "comm") << name << '\n';
        fs::create_symlink("/dev/null", proc / pid / "fd" / "0");
        fs::create_symlink(device, proc / pid / "fd" / "5");
    };
    holder("812", "ModemManager", dev / "ttyUSB0");
    holder("90", "minicom", dev / "ttyUSB0");
    holder("77", "screen", dev / "ttyUSB1");
    const TtyProbe probe({dir.path(), byId, proc});

    const struct {
        fs::path path;
        std::string stable;
        std::vector<std::string> holders;
    } cases[] = {
        {dev / "ttyUSB0", ftdi.string(), {"ModemManager (pid 812)", "minicom (pid 90)"}},
        {ftdi, ftdi.string(), {"ModemManager (pid 812)", "minicom (pid 90)"}},
        {dev / "ttyS0", "", {}},
        {dev / "ttyUSB7", "", {}}, // unplugged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(probe.stablePath(c.path.string()), c.stable) << c.path;
        EXPECT_EQ(probe.holders(c.path.string()), c.holders) << c.path;
    }
}

} // namespace
} // namespace velora::comm
