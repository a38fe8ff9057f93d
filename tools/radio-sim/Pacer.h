#pragma once
// Wire-time pacing of a UART: each byte occupies bitsPerByte / baud seconds on the line, and a byte
// queued while the line is still busy starts exactly when the one before it ends. Times are absolute,
// so a late wake-up of the sender never stretches the rest of a frame.
#include <chrono>

namespace velora::sim {

class Pacer {
  public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::nanoseconds;

    // Time one byte takes on the wire (start bit, data, parity and stop bits).
    static Duration byteTime(unsigned baud, unsigned bitsPerByte);

    // Schedules one byte handed to the line at `queued`; returns the time its last bit ends.
    Clock::time_point schedule(Clock::time_point queued, Duration byteTime);

    // Forgets the line's schedule (the line went idle for good, e.g. it was dropped).
    void reset() { busyUntil_ = {}; }

  private:
    Clock::time_point busyUntil_{};
};

} // namespace velora::sim
