#pragma once
// A bench of radios served one after another on one line. After a complete write session and a
// linger the radio at the line is unplugged; the line stays silent for a gap and until the client has
// probed it in vain at least once (so a client that waits for the disconnect always sees one), then
// the next radio is plugged in with its own memory.
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "RadioMemory.h"

namespace velora::sim {

struct FleetRadio {
    RadioMemory memory;
    std::optional<int> stopAfter; // write frames answered before the radio falls silent mid-write
    // Another model or version: the client refuses it, so it is unplugged after its second session
    // without writes (the session that found and refused it, then the client's look for its going).
    bool refused = false;
};

class FleetBench {
  public:
    using Clock = std::chrono::steady_clock;
    enum class State { On, Lingering, Off, Done };
    // The line goes quiet this long after a vain probe before the next radio is plugged in, so that
    // it never takes in the tail of a frame meant for the one before.
    static constexpr std::chrono::milliseconds kQuiet{50};
    static constexpr int kRefusedSessions = 2;

    FleetBench(std::vector<FleetRadio> radios, std::chrono::milliseconds linger,
               std::chrono::milliseconds gap, Clock::time_point now);

    State state() const { return state_; }
    bool answering() const { return state_ == State::On || state_ == State::Lingering; }
    int current() const { return current_; } // 0-based index of the radio at (or last at) the line
    int size() const { return static_cast<int>(radios_.size()); }
    FleetRadio& radio(int i) { return radios_[static_cast<std::size_t>(i)]; }
    const FleetRadio& radio(int i) const { return radios_[static_cast<std::size_t>(i)]; }

    // The radio at the line ended a session, `wrote` when it took write frames in it.
    void sessionEnded(bool wrote, Clock::time_point now);
    // The radio at the line has taken `frames` write frames so far; true when a stop fault unplugs
    // it now, before it answers the last one.
    bool writeFrames(int frames, Clock::time_point now);
    // Bytes arrived while no radio answers.
    void probedInVain(Clock::time_point now);
    // Moves on with time; true when the next radio has just been plugged in.
    bool advance(Clock::time_point now);
    // True once when the radio at the line has just been unplugged.
    bool takeUnplugged() { return std::exchange(unplugged_, false); }

  private:
    void unplug(Clock::time_point now);

    std::vector<FleetRadio> radios_;
    std::chrono::milliseconds linger_, gap_;
    State state_ = State::On;
    int current_ = 0;
    Clock::time_point since_;                    // of the linger or the silence
    std::optional<Clock::time_point> lastProbe_; // the last byte taken in while silent
    int sessions_ = 0;                           // ended by the radio at the line
    bool unplugged_ = false;
};

} // namespace velora::sim
