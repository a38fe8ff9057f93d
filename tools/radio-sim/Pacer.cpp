#include "Pacer.h"

#include <algorithm>

namespace velora::sim {

Pacer::Duration Pacer::byteTime(unsigned baud, unsigned bitsPerByte) {
    if (baud == 0) return Duration::zero();
    return Duration(std::chrono::seconds(1)) * bitsPerByte / baud;
}

Pacer::Clock::time_point Pacer::schedule(Clock::time_point queued, Duration byteTime) {
    busyUntil_ = std::max(queued, busyUntil_) + byteTime;
    return busyUntil_;
}

} // namespace velora::sim
