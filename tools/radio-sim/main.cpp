// velora-radio-sim: a simulated radio on a pseudo-terminal, for tests and demonstrations.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "FleetBench.h"
#include "Pacer.h"
#include "PtyLine.h"
#include "RadioSim.h"
#include "SimOptions.h"

using namespace velora;
using namespace velora::sim;
using Clock = Pacer::Clock;

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

void installSignals() {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no restart: a signal wakes the poll at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

struct TimedByte {
    Byte byte;
    Clock::time_point due;
};

// Answers go out through a queue so that, when pacing, each byte leaves at its wire time.
class PacedChannel : public ByteChannel {
  public:
    PacedChannel(PtyLine& line, bool pace) : line_(line), pace_(pace) {}

    void send(std::span<const Byte> bytes) override {
        // Bytes leave in order, so one held back by a pause holds back all after it.
        auto start = std::max(Clock::now(), holdUntil_);
        auto t = Pacer::byteTime(line().baud, line().bitsPerByte);
        for (Byte b : bytes)
            queue.push_back({b, pace_ ? pacer_.schedule(start, t) : start});
    }
    void pause(std::chrono::milliseconds ms) override {
        auto lineFree = queue.empty() ? Clock::now() : std::max(Clock::now(), queue.back().due);
        holdUntil_ = lineFree + ms;
    }
    LineSettings line() const override { return line_.settings(); }
    void drop() {
        queue.clear();
        pacer_.reset();
        holdUntil_ = {};
    }

    std::deque<TimedByte> queue;

  private:
    PtyLine& line_;
    bool pace_;
    Pacer pacer_;
    Clock::time_point holdUntil_{};
};

class Simulator {
  public:
    // Without a fleet the one radio serves `memory`; with one, the fleet's radios serve their own.
    Simulator(const SimOptions& options, RadioMemory& memory, PtyLine& line, FleetBench* fleet)
        : options_(options), line_(line), tx_(line, options.pace), fleet_(fleet) {
        if (fleet_) {
            if (fleet_->answering()) plug();
        } else {
            startRadio(memory);
        }
    }

    // Bytes that crossed the line over the whole run: taken in from the client, sent to it.
    unsigned long received() const { return received_; }
    unsigned long sent() const { return sent_; }

    // Runs until a signal, the end of a --once session or a --cut-after hang-up.
    void run() {
        while (!g_stop) {
            auto now = Clock::now();
            while (!rx_.empty() && rx_.front().due <= now && radio_) {
                radio_->receive(rx_.front().byte);
                rx_.pop_front();
                if (radio_->takeHangUp()) hangUpAt_ = sent_ + tx_.queue.size();
                if (fleet_) watchRadio(now);
            }
            if (fleet_) moveFleetOn(now);
            if (!transmitDue(now)) return;
            const bool over =
                fleet_ ? fleet_->state() == FleetBench::State::Done : radio_->sessionsEnded() > 0;
            if (options_.once && over && tx_.queue.empty()) {
                if (!endsAt_) endsAt_ = now + std::chrono::seconds(10);
                // Let the client read the last answer and close the line itself.
                if (dropped_ || now >= *endsAt_) return;
            }
            waitForLine(now);
        }
    }

  private:
    void startRadio(RadioMemory& memory) {
        radio_.emplace(memory, tx_, options_.config);
        if (options_.verbose)
            radio_->setLogger([](const std::string& text) { std::cerr << "sim: " << text << '\n'; });
    }

    // One line per event of the bench, with the time since the start, for tests and measurements.
    void report(const char* event) const {
        std::cout << "RADIO " << fleet_->current() + 1 << ' ' << event << ' ' << std::fixed
                  << std::setprecision(6) << std::chrono::duration<double>(Clock::now() - start_).count()
                  << std::endl;
    }

    void plug() {
        startRadio(fleet_->radio(fleet_->current()).memory);
        sessions_ = writesAtSessionEnd_ = 0;
        answered_ = writing_ = false;
        report("plugged");
    }

    // Follows the radio at the line through a write: its first write frame, a stop fault, the end of
    // a session.
    void watchRadio(Clock::time_point now) {
        const int writes = radio_->writeFrames();
        if (writes > 0 && !writing_) {
            writing_ = true;
            report("writing");
        }
        if (fleet_->writeFrames(writes, now)) {
            tx_.drop(); // the answer to the frame it stopped at never leaves
            fleet_->takeUnplugged();
            return unplugged();
        }
        if (radio_->sessionsEnded() == sessions_) return;
        sessions_ = radio_->sessionsEnded();
        const bool wrote = writes > writesAtSessionEnd_;
        writesAtSessionEnd_ = writes;
        if (wrote) report("written");
        fleet_->sessionEnded(wrote, now);
        if (fleet_->takeUnplugged()) unplugged();
    }

    void moveFleetOn(Clock::time_point now) {
        const bool next = fleet_->advance(now);
        if (fleet_->takeUnplugged()) unplugged();
        if (next) plug();
    }

    // The radio leaves with whatever it has not yet taken in; what it has sent is on the wire.
    void unplugged() {
        report("unplugged");
        radio_.reset();
        rx_.clear();
        rxPacer_.reset();
    }

    // Writes every answer byte whose time has come; false once --cut-after has hung the line up.
    bool transmitDue(Clock::time_point now) {
        std::vector<Byte> out;
        while (!tx_.queue.empty() && tx_.queue.front().due <= now) {
            const auto cut = hangUpAt_ ? hangUpAt_ : options_.cutAfter;
            if (cut && sent_ == *cut) {
                line_.write(out);
                // A hang-up discards what the client has not read yet; give a waiting reader a moment.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                std::cerr << "velora-radio-sim: hanging up after " << sent_ << " bytes\n";
                line_.hangUp();
                return false;
            }
            out.push_back(tx_.queue.front().byte);
            tx_.queue.pop_front();
            ++sent_;
        }
        if (!out.empty()) {
            line_.write(out);
            if (fleet_ && radio_ && !answered_) {
                answered_ = true;
                report("answered");
            }
        }
        return true;
    }

    void waitForLine(Clock::time_point now) {
        // A bench wakes often enough to plug and unplug radios on time.
        using S = FleetBench::State;
        const bool timing = fleet_ && (fleet_->state() == S::Lingering || fleet_->state() == S::Off);
        auto next = now + std::chrono::milliseconds(timing ? 2 : 200);
        if (!rx_.empty()) next = std::min(next, rx_.front().due);
        if (!tx_.queue.empty()) next = std::min(next, tx_.queue.front().due);
        // Wake at the byte's due time to the microsecond: a wait rounded up to whole milliseconds
        // would delay every answer by up to a byte time and make the radio look slower than its line.
        const auto wait = std::max(std::chrono::nanoseconds::zero(),
                                   std::chrono::duration_cast<std::chrono::nanoseconds>(next - now));
        const timespec ts{static_cast<time_t>(wait.count() / 1'000'000'000),
                          static_cast<long>(wait.count() % 1'000'000'000)};

        pollfd p{line_.fd(), POLLIN, 0};
        int rc = ::ppoll(&p, 1, &ts, nullptr);
        if (rc <= 0) return; // time-out, or a signal
        if (p.revents & POLLIN) {
            std::vector<Byte> in;
            if (line_.read(in) == PtyLine::ReadStatus::Dropped) return lineDropped();
            dropped_ = false;
            received_ += in.size();
            auto arrived = Clock::now();
            if (!radio_) {
                // Nothing at the line hears it; the bench notes that the client is probing in vain.
                if (fleet_) fleet_->probedInVain(arrived);
                return;
            }
            auto settings = line_.settings();
            auto t = Pacer::byteTime(settings.baud, settings.bitsPerByte);
            for (Byte b : in)
                rx_.push_back({b, options_.pace ? rxPacer_.schedule(arrived, t) : arrived});
        } else if (p.revents & (POLLHUP | POLLERR)) {
            lineDropped();
        }
    }

    // No one holds the slave open: the session is over. Poll reports this continuously until the
    // next open, so sleep rather than spin.
    void lineDropped() {
        if (!dropped_ && radio_) {
            const bool inMode = radio_->mode() != RadioSim::Mode::Normal;
            radio_->lineDropped();
            // A refused radio's client may close the line without leaving the mode first.
            if (fleet_ && inMode) {
                fleet_->sessionEnded(false, Clock::now());
                if (fleet_->takeUnplugged()) unplugged();
            }
        }
        if (!dropped_) {
            rx_.clear();
            rxPacer_.reset();
            tx_.drop();
            dropped_ = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    const SimOptions& options_;
    PtyLine& line_;
    PacedChannel tx_;
    FleetBench* fleet_;
    std::optional<RadioSim> radio_; // none while the bench has no radio at the line
    Clock::time_point start_ = Clock::now();
    int sessions_ = 0;           // sessions the radio at the line has ended
    int writesAtSessionEnd_ = 0; // its write frames up to the last of them
    bool writing_ = false;
    bool answered_ = false;
    std::deque<TimedByte> rx_;
    Pacer rxPacer_;
    unsigned long sent_ = 0;
    std::optional<unsigned long> hangUpAt_; // set by a --hang-up fault
    unsigned long received_ = 0;
    bool dropped_ = false;
    std::optional<Clock::time_point> endsAt_;
};

} // namespace

int main(int argc, char** argv) {
    // Alone, --version asks for the program's version; with a number it sets the radio's.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "velora-radio-sim " VELORA_VERSION "\n";
        return 0;
    }
    std::string error;
    auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 2;
    }
    if (options->help) {
        std::cout << helpText();
        return 0;
    }
    auto memory = buildMemory(*options, error);
    if (!memory) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 1;
    }

    installSignals();
    // The kernel may defer a timed wake-up by the timer slack (50 us by default); with --pace that
    // would land on every answer and make the radio look slower than its line.
    if (options->pace) ::prctl(PR_SET_TIMERSLACK, 1UL);
    PtyLine line;
    if (!line.open(error)) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 1;
    }
    DeviceLink link;
    if (!options->link.empty() && !link.create(line.devicePath(), options->link, error)) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 1;
    }
    std::cout << "DEVICE " << line.devicePath() << std::endl;

    std::optional<FleetBench> fleet;
    if (options->fleet > 0) {
        auto radios = buildFleet(*options, error);
        if (!radios) {
            std::cerr << "velora-radio-sim: " << error << '\n';
            return 1;
        }
        fleet.emplace(std::move(*radios), options->linger, options->gap, Clock::now());
    }

    Simulator sim(*options, *memory, line, fleet ? &*fleet : nullptr);
    sim.run();

    line.hangUp();
    if (!options->statsFile.empty()) {
        std::ofstream stats(options->statsFile);
        stats << "bytes rx " << sim.received() << " tx " << sim.sent() << '\n';
        if (!stats) std::cerr << "velora-radio-sim: cannot write " << options->statsFile << '\n';
    }
    bool dumped = true;
    if (!options->dumpPrefix.empty() && fleet) {
        for (int i = 0; i < fleet->size(); ++i)
            dumped = dumpMemory(fleet->radio(i).memory, options->dumpPrefix + "." + std::to_string(i + 1),
                                error) &&
                     dumped;
    } else if (!options->dumpPrefix.empty()) {
        dumped = dumpMemory(*memory, options->dumpPrefix, error);
    }
    if (!dumped) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 1;
    }
    return 0;
}
