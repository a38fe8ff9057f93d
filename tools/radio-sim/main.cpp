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
#include <iostream>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

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
    Simulator(const SimOptions& options, RadioMemory& memory, PtyLine& line)
        : options_(options), line_(line), tx_(line, options.pace), radio_(memory, tx_, options.config) {
        if (options.verbose)
            radio_.setLogger([](const std::string& text) { std::cerr << "sim: " << text << '\n'; });
    }

    // Bytes that crossed the line over the whole run: taken in from the client, sent to it.
    unsigned long received() const { return received_; }
    unsigned long sent() const { return sent_; }

    // Runs until a signal, the end of a --once session or a --cut-after hang-up.
    void run() {
        while (!g_stop) {
            auto now = Clock::now();
            while (!rx_.empty() && rx_.front().due <= now) {
                radio_.receive(rx_.front().byte);
                rx_.pop_front();
                if (radio_.takeHangUp()) hangUpAt_ = sent_ + tx_.queue.size();
            }
            if (!transmitDue(now)) return;
            if (options_.once && radio_.sessionsEnded() > 0 && tx_.queue.empty()) {
                if (!endsAt_) endsAt_ = now + std::chrono::seconds(10);
                // Let the client read the last answer and close the line itself.
                if (dropped_ || now >= *endsAt_) return;
            }
            waitForLine(now);
        }
    }

  private:
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
        if (!out.empty()) line_.write(out);
        return true;
    }

    void waitForLine(Clock::time_point now) {
        auto next = now + std::chrono::milliseconds(200);
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
        if (!dropped_) {
            radio_.lineDropped();
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
    RadioSim radio_;
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

    Simulator sim(*options, *memory, line);
    sim.run();

    line.hangUp();
    if (!options->statsFile.empty()) {
        std::ofstream stats(options->statsFile);
        stats << "bytes rx " << sim.received() << " tx " << sim.sent() << '\n';
        if (!stats) std::cerr << "velora-radio-sim: cannot write " << options->statsFile << '\n';
    }
    if (!options->dumpPrefix.empty() && !dumpMemory(*memory, options->dumpPrefix, error)) {
        std::cerr << "velora-radio-sim: " << error << '\n';
        return 1;
    }
    return 0;
}
