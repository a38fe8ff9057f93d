// The serial port against a real pseudo-terminal: line settings the far end can see, raw bytes,
// input discarded before each write, bounded time-outs, and distinct errors for unusable devices.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "comm/LineSettings.h"
#include "comm/SerialPort.h"

using namespace velora;
using namespace velora::comm;
using namespace std::chrono_literals;
using Bytes = std::vector<Byte>;

namespace {

// The far end of a pseudo-terminal, playing the radio.
class Pty {
  public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) slave_ = ::ptsname(master_);
    }
    ~Pty() {
        if (master_ >= 0) ::close(master_);
    }
    bool ok() const { return !slave_.empty(); }
    const std::string& slave() const { return slave_; }
    int fd() const { return master_; }
    void closeMaster() {
        ::close(master_);
        master_ = -1;
    }

    void put(const Bytes& b) {
        ASSERT_EQ(::write(master_, b.data(), b.size()), static_cast<ssize_t>(b.size()));
    }
    // Everything that arrives within the wait.
    Bytes take(std::chrono::milliseconds wait = 200ms) {
        Bytes out;
        const auto until = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                Byte buf[256];
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0) out.insert(out.end(), buf, buf + n);
            }
        }
        return out;
    }
    termios attributes() const {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }

  private:
    int master_ = -1;
    std::string slave_;
};

struct SerialPortTest : ::testing::Test {
    Pty pty;
    SerialPort port;
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        port.setDevicePath(3, pty.slave());
        port.setPortNumber(3);
    }
};

} // namespace

TEST(SerialPortNames, PortNumbersMapToDevicePathsUnlessOverridden) {
    EXPECT_EQ(SerialPort::defaultDevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::defaultDevicePath(10), "/dev/ttyUSB9");
    EXPECT_EQ(SerialPort::defaultDevicePath(11), "/dev/ttyS0");
    EXPECT_EQ(SerialPort::defaultDevicePath(20), "/dev/ttyS9");
    EXPECT_EQ(SerialPort::defaultDevicePath(0), "");
    EXPECT_EQ(SerialPort::defaultDevicePath(21), "");
    SerialPort port;
    port.setDevicePaths({{4, "/dev/serial/by-id/cable"}});
    EXPECT_EQ(port.devicePath(4), "/dev/serial/by-id/cable");
    EXPECT_EQ(port.devicePath(5), "/dev/ttyUSB4");
    port.setDevicePath(4, "");
    EXPECT_EQ(port.devicePath(4), "/dev/ttyUSB3") << "an empty mapping falls back to the fixed path";
}

TEST(SerialPortNames, LineSettingsParsing) {
    EXPECT_EQ(parseLineSettings("9600,N,8,2"), (LineSettings{9600, Parity::None, 8, 2}));
    EXPECT_EQ(parseLineSettings(" 4800 , e , 7 , 1 "), (LineSettings{4800, Parity::Even, 7, 1}));
    EXPECT_EQ(parseLineSettings("19200"), (LineSettings{19200, Parity::None, 8, 2}));
    EXPECT_EQ(parseLineSettings("1200,O"), (LineSettings{1200, Parity::Odd, 8, 2}));
    EXPECT_EQ(parseLineSettings("9600,N,,1"), (LineSettings{9600, Parity::None, 8, 1})) << "empty: default";
    EXPECT_EQ(parseLineSettings("9600,N,7,"), (LineSettings{9600, Parity::None, 7, 2}));
    for (const char* bad :
         {"", "9601,N,8,2", "9600,M,8,2", "9600,N,9,2", "9600,N,8,3", "9600,N,8,2,1", "fast"})
        EXPECT_FALSE(parseLineSettings(bad).has_value()) << bad;
    EXPECT_EQ(settingsTail("9600,N,8,2"), ",N,8,2");
    EXPECT_EQ(settingsTail("9600"), "");
}

TEST(SerialPortNames, AReasonToldAfterTheLineDropsTheDeviceItNamesAlready) {
    struct Case {
        const char *message, *where, *told;
    } cases[] = {
        {"/dev/ttyUSB0: the device is gone", "COM1 (/dev/ttyUSB0)", "the device is gone"},
        {"/dev/ttyUSB0: the device is gone", "COM2 (/dev/ttyUSB1)", "/dev/ttyUSB0: the device is gone"},
        {"no such port", "COM1 (/dev/ttyS0)", "no such port"},
        {": odd", "COM1", ": odd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(comm::portReason(c.message, c.where), c.told) << c.message << " at " << c.where;
}

TEST_F(SerialPortTest, LineSettingsReachTheLineAndAreStoredWithoutBlanks) {
    ASSERT_TRUE(port.open().ok()) << port.lastError().message;
    termios t = pty.attributes();
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO)) << "raw mode";

    // A pseudo-terminal always keeps 8 data bits without parity, so only rate and stop bits show.
    EXPECT_TRUE(port.setLineSettings("19200, E, 7, 1"));
    EXPECT_EQ(port.lineSettings(), "19200,E,7,1");
    t = pty.attributes();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(cfgetispeed(&t), B19200);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_EQ(port.currentSpeed(), 19200);

    EXPECT_FALSE(port.setLineSettings("9600,X,8,2"));
    EXPECT_EQ(port.lastError().error, PortError::BadSettings);
}

TEST_F(SerialPortTest, BinaryBytesPassUnchangedBothWays) {
    ASSERT_TRUE(port.open().ok());
    const Bytes frame{0x0D, 0x0A, 0x11, 0x13, 0x03, 0x04, 0x1A, 0x7F, 0x00, 0xFF, 'Z'};
    ASSERT_TRUE(port.write(frame));
    EXPECT_EQ(pty.take(), frame);
    pty.put(frame);
    Bytes got(frame.size());
    ASSERT_TRUE(port.read(got));
    EXPECT_EQ(got, frame);
}

TEST_F(SerialPortTest, WriteDiscardsInputThatArrivedBefore) {
    ASSERT_TRUE(port.open().ok());
    pty.put({0x55, 0x66, 0x77}); // a stale answer
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(port.writeByte('E'));
    EXPECT_EQ(pty.take(100ms), Bytes{'E'});
    pty.put({0x06});
    Byte answer = 0;
    ASSERT_TRUE(port.read(std::span<Byte>(&answer, 1)));
    EXPECT_EQ(answer, 0x06) << "the stale bytes must not be taken for the answer";
}

TEST_F(SerialPortTest, ShortReadFailsWithinTheTimeout) {
    ASSERT_TRUE(port.open().ok());
    port.setReadTimeout(200);
    pty.put(Bytes(127, 0x41));
    Bytes block(128);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.read(block)) << "127 of 128 bytes is a failure";
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 190ms);
    EXPECT_LT(took, 700ms);

    port.setReadTimeoutPerByte(20);
    Bytes four(4);
    const auto start2 = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.read(four));
    EXPECT_GE(std::chrono::steady_clock::now() - start2, 270ms) << "200 ms plus 4 x 20 ms";
}

TEST_F(SerialPortTest, FarEndGoneEndsAReadEarly) {
    ASSERT_TRUE(port.open().ok());
    port.setReadTimeout(3000);
    pty.closeMaster();
    Bytes b(1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.read(b));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST_F(SerialPortTest, SecondOpenerIsToldThePortIsBusy) {
    ASSERT_TRUE(port.open().ok());
    SerialPort other;
    other.setDevicePath(1, pty.slave());
    PortResult r = other.open();
    EXPECT_EQ(r.error, PortError::Busy) << r.message;
    EXPECT_FALSE(other.isOpen());
    port.close();
    EXPECT_TRUE(other.open().ok()) << "free again once closed";
}

TEST_F(SerialPortTest, ChangingThePortNumberReopensUnderTheNewNumber) {
    EXPECT_TRUE(port.setPortNumber(7));
    EXPECT_EQ(port.portNumber(), 7);
    EXPECT_FALSE(port.isOpen()) << "a closed port only stores the number";
    port.setDevicePath(7, pty.slave());
    ASSERT_TRUE(port.open().ok());
    EXPECT_FALSE(port.setPortNumber(20)) << "COM20's device is not there";
    EXPECT_FALSE(port.isOpen());
}

// A device that opens but cannot take the line settings must not stay held: the next opener,
// this program or another, gets it.
TEST_F(SerialPortTest, PortWhoseConfigurationFailsIsClosedAgain) {
    EXPECT_FALSE(port.setLineSettings("9600,X,8,2")) << "stored, although it cannot be parsed";
    PortResult r = port.open();
    EXPECT_EQ(r.error, PortError::BadSettings) << r.message;
    EXPECT_FALSE(port.isOpen());
    SerialPort other;
    other.setDevicePath(1, pty.slave());
    EXPECT_TRUE(other.open().ok()) << "the failed open released the device: " << other.lastError().message;
    other.close();
    ASSERT_TRUE(port.setLineSettings("9600,N,8,2"));
    EXPECT_TRUE(port.open().ok());
}

TEST_F(SerialPortTest, PseudoTerminalCountsAsSerialLine) {
    ASSERT_TRUE(port.open().ok());
    EXPECT_TRUE(port.isRs232());
    EXPECT_TRUE(SerialPort::probe(pty.slave()).ok());
}

TEST(SerialPortErrors, UnusableDevicesGiveDistinctErrors) {
    SerialPort port;
    port.setDevicePath(1, "/dev/velora-no-such-device");
    PortResult r = port.open();
    EXPECT_EQ(r.error, PortError::NotFound);
    EXPECT_NE(r.message.find("/dev/velora-no-such-device"), std::string::npos);
    EXPECT_FALSE(port.isOpen());

    port.setDevicePath(1, "/dev/null");
    r = port.open();
    EXPECT_EQ(r.error, PortError::NotSerial) << r.message;
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(SerialPort::probe("/dev/null").error, PortError::NotSerial);

    velora::test::TempDir dir;
    const std::string file = dir.file("plain");
    std::ofstream(file) << "x";
    port.setDevicePath(1, file);
    EXPECT_EQ(port.open().error, PortError::NotSerial);

    Byte b = 0;
    EXPECT_FALSE(port.write(std::span<const Byte>(&b, 1))) << "nothing is open";
    EXPECT_FALSE(port.read(std::span<Byte>(&b, 1)));
}

TEST(SerialPortErrors, PermissionDeniedNamesTheOwningGroup) {
    if (::geteuid() == 0) GTEST_SKIP() << "root is never refused";
    velora::test::TempDir dir;
    const std::string file = dir.file("locked");
    std::ofstream(file) << "x";
    ::chmod(file.c_str(), 0);
    SerialPort port;
    port.setDevicePath(1, file);
    PortResult r = port.open();
    EXPECT_EQ(r.error, PortError::PermissionDenied);
    EXPECT_NE(r.message.find("group"), std::string::npos) << r.message;
}
