#include "FleetBench.h"

#include <utility>

namespace velora::sim {

FleetBench::FleetBench(std::vector<FleetRadio> radios, std::chrono::milliseconds linger,
                       std::chrono::milliseconds gap, Clock::time_point now)
    : radios_(std::move(radios)), linger_(linger), gap_(gap), since_(now) {
    if (radios_.empty()) state_ = State::Done;
}

void FleetBench::sessionEnded(bool wrote, Clock::time_point now) {
    if (state_ != State::On) return;
    ++sessions_;
    if (!wrote && !(radio(current_).refused && sessions_ >= kRefusedSessions)) return;
    state_ = State::Lingering;
    since_ = now;
    advance(now);
}

bool FleetBench::writeFrames(int frames, Clock::time_point now) {
    if (!answering()) return false;
    const auto& stop = radio(current_).stopAfter;
    if (!stop || frames <= *stop) return false;
    unplug(now);
    return true;
}

void FleetBench::probedInVain(Clock::time_point now) {
    if (state_ == State::Off) lastProbe_ = now;
}

bool FleetBench::advance(Clock::time_point now) {
    if (state_ == State::Lingering && now - since_ >= linger_) unplug(now);
    if (state_ != State::Off || now - since_ < gap_ || !lastProbe_ || now - *lastProbe_ < kQuiet)
        return false;
    ++current_;
    sessions_ = 0;
    state_ = State::On;
    return true;
}

void FleetBench::unplug(Clock::time_point now) {
    unplugged_ = true;
    since_ = now;
    lastProbe_.reset();
    state_ = current_ + 1 < size() ? State::Off : State::Done;
}

} // namespace velora::sim
