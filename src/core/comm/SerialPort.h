#pragma once
// The application's one serial port, over POSIX termios. Ports are numbered COM1 to COM20 as the
// user knows them; each number names a device path (COM1-COM10 = /dev/ttyUSB0-9, COM11-COM20 =
// /dev/ttyS0-9) unless the user mapped it elsewhere. The port is opened exclusively, in raw mode,
// with DTR on and RTS off; reads have a total time-out measured on the steady clock.
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "comm/ByteLink.h"
#include "comm/LineSettings.h"

namespace velora::comm {

class SerialPort final : public ByteLink {
  public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 20;
    static constexpr std::uint32_t kDefaultReadTimeoutMs = 1000;
    static constexpr std::uint16_t kDefaultQueueSize = 512;
    // How long the callers wait before closing the port when the close delay is on.
    static constexpr std::chrono::milliseconds kCloseDelay{3000};

    SerialPort() = default;
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // --- Device naming ---------------------------------------------------------------------------
    // The fixed path of a port number; empty outside 1..20.
    static std::string defaultDevicePath(int port);
    // The path used for a port number: the user's mapping if there is one, else the fixed path.
    std::string devicePath(int port) const;
    void setDevicePath(int port, std::string path); // empty path removes the mapping
    void setDevicePaths(std::map<int, std::string> paths);
    const std::map<int, std::string>& devicePaths() const { return overrides_; }

    // --- Open and close --------------------------------------------------------------------------
    // Opens the current port number's device. Already open: success. On failure nothing stays open.
    PortResult open();
    // Already closed: true. Otherwise true when the device closed cleanly.
    bool close();
    bool isOpen() const override { return fd_ >= 0; }
    // The port number (1..20); 0 keeps the current one. An open port is closed and opened again under
    // the new number; false when either step fails.
    bool setPortNumber(int port);
    int portNumber() const { return port_; }
    const PortResult& lastError() const { return lastError_; }

    // --- Settings --------------------------------------------------------------------------------
    // Stored without blanks; applied at once when open. False when the open port refused it (the
    // string is stored all the same) or the string cannot be parsed.
    bool setLineSettings(std::string_view settings) override;
    std::string lineSettings() const override { return settings_; }
    bool setReadTimeout(std::uint32_t ms) override;
    std::uint32_t readTimeout() const override { return readTimeoutMs_; }
    void setReadTimeoutPerByte(std::uint32_t ms) { perByteMs_ = ms; }
    std::uint32_t readTimeoutPerByte() const { return perByteMs_; }
    // The driver's queues are fixed on Linux; the sizes are kept for the settings only.
    bool setInputQueueSize(std::uint16_t bytes);
    bool setOutputQueueSize(std::uint16_t bytes);
    std::uint16_t inputQueueSize() const { return inQueue_; }
    std::uint16_t outputQueueSize() const { return outQueue_; }
    bool closeDelay() const override { return closeDelay_; }
    void setCloseDelay(bool on) { closeDelay_ = on; }
    // The output speed the open line runs at now, in baud; nothing when closed or not standard.
    std::optional<int> currentSpeed() const;

    // --- Transfer --------------------------------------------------------------------------------
    // Each write first discards the receive queue, then writes every byte and waits until they left.
    bool write(std::span<const Byte> bytes);
    bool writeByte(Byte b) { return write(std::span<const Byte>(&b, 1)); }
    bool writeString(std::string_view s);
    // Exactly bytes.size() bytes within the read time-out plus the per-byte allowance.
    bool read(std::span<Byte> bytes);

    // ByteLink.
    PortResult openLink() override { return open(); }
    bool closeLink() override { return close(); }
    bool send(std::span<const Byte> bytes) override { return write(bytes); }
    bool receive(std::span<Byte> bytes) override { return read(bytes); }
    std::size_t pendingInput() override;
    void settle(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) override;

    // --- Tests of a device ----------------------------------------------------------------------
    // The open port is a serial line (answers the terminal attributes request and, for a
    // legacy UART, has a UART behind it).
    bool isRs232() const;
    // Opens a device on its own, checks it as isRs232() does and closes it again; the port dialog
    // uses it to tell usable ports. Never waits for the device.
    static PortResult probe(const std::string& path);

    // Waits without letting any window message run.
    static void busyWait(std::chrono::milliseconds ms);

  private:
    PortResult applyLineSettings();
    bool setControlLines();
    void fail(PortError e, std::string message);

    int fd_ = -1;
    int port_ = 1;
    bool closeDelay_ = false;
    std::uint16_t inQueue_ = kDefaultQueueSize;
    std::uint16_t outQueue_ = kDefaultQueueSize;
    std::string settings_{kDefaultLineSettings};
    std::uint32_t readTimeoutMs_ = kDefaultReadTimeoutMs;
    std::uint32_t perByteMs_ = 0;
    int baud_ = 9600; // rate of the settings last applied, for the write time-out
    std::map<int, std::string> overrides_;
    PortResult lastError_;
};

// A port's message names its device ("/dev/x: the device is gone ..."); told after `where`, which
// names the line already, only the reason is left.
std::string portReason(const std::string& message, const std::string& where);

} // namespace velora::comm
