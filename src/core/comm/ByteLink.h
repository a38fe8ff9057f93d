#pragma once
// What the programming protocol needs from the serial line, as an interface, so the protocol and
// the transfer procedures run unchanged against the real port and against in-memory fakes.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/Bytes.h"

namespace velora::comm {

// Why a port could not be opened or used. Each kind needs a different remedy from the user.
enum class PortError {
    None = 0,
    NotFound,         // no such device
    PermissionDenied, // the user may not open it (not in the owning group)
    Busy,             // held by another program
    NotSerial,        // opens, but is not a serial line
    BadSettings,      // the line settings string cannot be applied
    NotOpen,          // an operation that needs the open port ran while it was closed
    System,           // any other operating-system failure
};

struct PortResult {
    PortError error = PortError::None;
    std::string message; // for the user: device path and reason, with the system's own error text
    bool ok() const { return error == PortError::None; }
};

// A synchronous byte link. Every send first discards whatever the receive side holds, so a late or
// stray byte from the radio can never be taken for the answer to the next frame.
class ByteLink {
  public:
    virtual ~ByteLink() = default;

    virtual PortResult openLink() = 0;
    virtual bool closeLink() = 0; // true when the link is closed afterwards
    virtual bool isOpen() const = 0;

    // Discards pending input, then sends every byte.
    virtual bool send(std::span<const Byte> bytes) = 0;
    // Receives exactly bytes.size() bytes within the read time-out; fewer is a failure.
    virtual bool receive(std::span<Byte> bytes) = 0;
    // Bytes that have arrived and not been read. Costs no waiting.
    virtual std::size_t pendingInput() = 0;
    // After a failed reception: waits until nothing has arrived for `quiet` (but no longer than
    // `limit` in all), then discards the input, so the rest of a late or stalled answer cannot be
    // taken for the answer to the next frame.
    virtual void settle(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) = 0;

    virtual std::uint32_t readTimeout() const = 0; // milliseconds
    virtual bool setReadTimeout(std::uint32_t ms) = 0;
    virtual std::string lineSettings() const = 0; // "9600,N,8,2"
    virtual bool setLineSettings(std::string_view settings) = 0;

    // The user's "close delay" choice: wait before closing the port after a transfer.
    virtual bool closeDelay() const = 0;
};

// Fixed waits of the protocol go through a clock, so tests can record them instead of sleeping.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual void wait(std::chrono::milliseconds ms) = 0;
};

// Real waits on the steady clock.
class SteadyClock final : public Clock {
  public:
    void wait(std::chrono::milliseconds ms) override;
    static SteadyClock& instance();
};

} // namespace velora::comm
