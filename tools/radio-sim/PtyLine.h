#pragma once
// The radio's end of the serial line: the master side of a pseudo-terminal. The client opens the slave
// device like a serial port; the line settings it applies there are read back from the master.
#include <span>
#include <string>
#include <vector>

#include "RadioSim.h"

namespace velora::sim {

class PtyLine {
  public:
    PtyLine() = default;
    ~PtyLine() { hangUp(); }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Opens the master and leaves the slave raw at 9600 baud, 8 data bits, no parity, 2 stop bits.
    bool open(std::string& error);
    const std::string& devicePath() const { return devicePath_; }
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    // The settings the client last applied to the slave.
    LineSettings settings() const;

    enum class ReadStatus { Data, Nothing, Dropped };
    // Appends what the client has sent; Dropped when no one holds the slave open any more.
    ReadStatus read(std::vector<Byte>& out);
    bool write(std::span<const Byte> bytes);

    // Closes the master, which the client sees as a hang-up.
    void hangUp();

  private:
    int fd_ = -1;
    std::string devicePath_;
};

// A symbolic link to the slave device, removed again when the simulator ends.
class DeviceLink {
  public:
    DeviceLink() = default;
    ~DeviceLink() { remove(); }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Replaces an existing symbolic link at `path`, but never a regular file.
    bool create(const std::string& target, const std::string& path, std::string& error);
    void remove();

  private:
    std::string path_;
};

unsigned baudOfSpeed(unsigned long speed); // termios speed constant -> bits per second, 0 if unknown

} // namespace velora::sim
