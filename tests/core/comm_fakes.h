#pragma once
// In-memory stand-ins for the serial line and the radio, shared by the communication tests.
#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "comm/ByteLink.h"
#include "comm/RadioProtocol.h"
#include "comm/TransferUi.h"
#include "model/MemoryImage.h"

namespace velora::test {

// A byte link whose far side is a script or a callback. Like the real port, every send discards
// unread input first; a receive that finds too few bytes fails at once (no real waiting).
// Late bytes model the rest of a stalled answer, or a late one: they miss the receive that waits for
// them, no send discards them, they land ahead of the answer to the next frame, and only waiting for
// a quiet line (settle) drops them.
class FakeLink : public comm::ByteLink {
  public:
    std::vector<Byte> sent;    // everything sent, in order
    std::deque<Byte> rx;       // what the far side has sent and we have not read
    std::deque<Byte> inFlight; // late bytes of the last frame's answer
    std::deque<Byte> landing;  // late bytes of an earlier answer: they arrive at the next receive
    std::vector<std::pair<std::size_t, std::vector<Byte>>> script;     // (bytes sent so far, reply)
    std::vector<std::pair<std::size_t, std::vector<Byte>>> lateScript; // (bytes sent so far, in flight)
    std::vector<std::chrono::milliseconds> settles;                    // quiet time of each settle
    std::function<void(FakeLink&, std::span<const Byte>)> onSend;      // called after each send
    std::vector<std::uint32_t> receiveTimeouts; // read time-out in force at each receive
    std::vector<std::string> settingsHistory;
    std::uint32_t timeout = 1000;
    std::string settings = "9600,N,8,2";
    bool open = false;
    bool failOpen = false;
    bool failClose = false;
    bool delay = false;
    int opens = 0;
    int closes = 0;
    int sends = 0;         // send calls so far
    int failSendCall = -1; // the send call (counted from 0) that fails; nothing is sent by it

    comm::PortResult openLink() override {
        ++opens;
        if (failOpen) return {comm::PortError::NotFound, "/dev/ttyUSB0: the device does not exist"};
        open = true;
        return {};
    }
    bool closeLink() override {
        if (open) ++closes;
        open = false;
        return !failClose;
    }
    bool isOpen() const override { return open; }
    bool send(std::span<const Byte> bytes) override {
        if (sends++ == failSendCall) return false;
        rx.clear();
        landing.insert(landing.end(), inFlight.begin(), inFlight.end());
        inFlight.clear();
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        for (auto& [at, reply] : script)
            if (at > sent.size() - bytes.size() && at <= sent.size())
                rx.insert(rx.end(), reply.begin(), reply.end());
        for (auto& [at, late] : lateScript)
            if (at > sent.size() - bytes.size() && at <= sent.size())
                inFlight.insert(inFlight.end(), late.begin(), late.end());
        if (onSend) onSend(*this, bytes);
        return true;
    }
    bool receive(std::span<Byte> bytes) override {
        receiveTimeouts.push_back(timeout);
        rx.insert(rx.begin(), landing.begin(), landing.end());
        landing.clear();
        const std::size_t n = std::min(bytes.size(), rx.size());
        for (std::size_t i = 0; i < n; ++i) {
            bytes[i] = rx.front();
            rx.pop_front();
        }
        return n == bytes.size();
    }
    std::size_t pendingInput() override { return rx.size() + landing.size(); }
    void settle(std::chrono::milliseconds quiet, std::chrono::milliseconds) override {
        settles.push_back(quiet);
        rx.clear();
        inFlight.clear();
        landing.clear();
    }
    std::uint32_t readTimeout() const override { return timeout; }
    bool setReadTimeout(std::uint32_t ms) override {
        timeout = ms;
        return true;
    }
    std::string lineSettings() const override { return settings; }
    bool setLineSettings(std::string_view s) override {
        settings = std::string(s);
        settingsHistory.push_back(settings);
        return true;
    }
    bool closeDelay() const override { return delay; }

    void reply(std::initializer_list<Byte> bytes) { rx.insert(rx.end(), bytes.begin(), bytes.end()); }
};

class RecordingClock : public comm::Clock {
  public:
    std::vector<std::chrono::milliseconds> waits;
    void wait(std::chrono::milliseconds ms) override { waits.push_back(ms); }
};

// A radio on the far side of a FakeLink: parses the application's frames from the byte stream and
// answers them from its own memory, one image per unit selector.
class FakeRadio {
  public:
    comm::Identification id{'Q', '0', '1', '2', '0', 0x04, 0x50, 0x00, 0x0F, 0xF0};
    std::map<Byte, ImageCopy> units; // by selector
    bool answerProgram = true;
    // Frames to leave unanswered: called with the command byte, selector and unit number.
    std::function<bool(Byte cmd, Byte sel, int index)> drop;
    std::vector<std::pair<Byte, Byte>> frames; // (command, selector) of every complete frame

    explicit FakeRadio(FakeLink& link) {
        link.onSend = [this](FakeLink& l, std::span<const Byte> b) {
            buffer_.insert(buffer_.end(), b.begin(), b.end());
            parse(l);
        };
        for (Byte sel :
             {comm::kSelectorDeck1, comm::kSelectorDeck2, comm::kSelectorHead1, comm::kSelectorHead2})
            units[sel].fillAll(0xFF);
    }

    int count(Byte cmd, Byte sel) const {
        return static_cast<int>(std::count(frames.begin(), frames.end(), std::make_pair(cmd, sel)));
    }
    int count(Byte cmd) const {
        return static_cast<int>(
            std::count_if(frames.begin(), frames.end(), [&](auto& f) { return f.first == cmd; }));
    }

  private:
    std::vector<Byte> buffer_;

    bool dropped(Byte cmd, Byte sel, int index) { return drop && drop(cmd, sel, index); }

    // Consumes one complete frame from the front of the buffer if there is one.
    void parse(FakeLink& l) {
        while (!buffer_.empty()) {
            const std::size_t used = frame(l);
            if (used == 0) return;
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(used));
        }
    }

    std::size_t frame(FakeLink& l) {
        const auto& b = buffer_;
        const Byte cmd = b[0];
        auto need = [&](std::size_t n) { return b.size() >= n; };
        auto addr = [&](std::size_t at) { return (b[at] << 8) | b[at + 1]; };
        switch (cmd) {
        case 'P': {
            if (!need(7)) return 0;
            frames.emplace_back(cmd, 0);
            if (answerProgram && l.settings.rfind("9600", 0) == 0) l.reply({comm::kAck});
            return 7;
        }
        case comm::kStx:
            if (!need(2)) return 0;
            frames.emplace_back(cmd, b[1]);
            if (!dropped(cmd, b[1], 0)) l.rx.insert(l.rx.end(), id.begin(), id.end());
            return 2;
        case comm::kAck:
        case comm::kNak:
        case 'E':
            frames.emplace_back(cmd, 0);
            l.reply({comm::kAck});
            return 1;
        case 'R': {
            if (!need(4)) return 0;
            const Byte sel = b[1];
            const int n = addr(2) - comm::kMainBlockBase;
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, n)) return 4;
            const auto block =
                std::span<const Byte>(units[sel].main).subspan(static_cast<std::size_t>(n) * 128, 128);
            if (std::all_of(block.begin(), block.end(), [&](Byte x) { return x == block[0]; })) {
                l.reply({'Z', block[0]});
            } else {
                l.reply({'W'});
                l.rx.insert(l.rx.end(), block.begin(), block.end());
                l.reply({comm::blockChecksum(block)});
            }
            return 4;
        }
        case 'W':
        case 'Z': {
            const std::size_t len = cmd == 'W' ? 4 + 128 + 1 : 5;
            if (!need(len)) return 0;
            const Byte sel = b[1];
            const int n = addr(2) - comm::kMainBlockBase;
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, n)) return len;
            auto dest = std::span<Byte>(units[sel].main).subspan(static_cast<std::size_t>(n) * 128, 128);
            if (cmd == 'W')
                std::copy(b.begin() + 4, b.begin() + 132, dest.begin());
            else
                std::fill(dest.begin(), dest.end(), b[4]);
            l.reply({comm::kAck});
            return len;
        }
        case 'T': {
            if (!need(3)) return 0;
            const Byte sel = b[1];
            const int r = b[2] - 1;
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, r)) return 3;
            l.reply({b[2]});
            const auto rec =
                std::span<const Byte>(units[sel].dtmf).subspan(static_cast<std::size_t>(r) * 16, 16);
            l.rx.insert(l.rx.end(), rec.begin(), rec.end());
            return 3;
        }
        case 'Y': {
            if (!need(4 + 16)) return 0;
            const Byte sel = b[1];
            const int r = b[2] - 1;
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, r)) return 20;
            std::copy(b.begin() + 4, b.begin() + 20, units[sel].dtmf.begin() + r * 16);
            l.reply({comm::kAck});
            return 20;
        }
        case 'S': {
            if (!need(5)) return 0;
            const Byte sel = b[1];
            const int off = addr(2);
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, off / 32)) return 5;
            const auto chunk =
                std::span<const Byte>(units[sel].ext).subspan(static_cast<std::size_t>(off), b[4]);
            if (std::all_of(chunk.begin(), chunk.end(), [&](Byte x) { return x == chunk[0]; })) {
                l.reply({'[', b[2], b[3], chunk[0]});
            } else {
                l.reply({'X', b[2], b[3]});
                l.rx.insert(l.rx.end(), chunk.begin(), chunk.end());
            }
            return 5;
        }
        case 'X':
        case '[': {
            if (!need(5)) return 0;
            const std::size_t len = cmd == 'X' ? 5 + b[4] : 6;
            if (!need(len)) return 0;
            const Byte sel = b[1];
            const int off = addr(2);
            frames.emplace_back(cmd, sel);
            if (dropped(cmd, sel, off / 32)) return len;
            auto dest = std::span<Byte>(units[sel].ext).subspan(static_cast<std::size_t>(off), b[4]);
            if (cmd == 'X')
                std::copy(b.begin() + 5, b.begin() + static_cast<long>(len), dest.begin());
            else
                std::fill(dest.begin(), dest.end(), b[5]);
            l.reply({comm::kAck});
            return len;
        }
        default:
            frames.emplace_back(cmd, 0);
            return 1; // unknown byte: ignored
        }
    }
};

// Records what a transfer shows and answers its prompts from a queue (default: first button).
class RecordingTransferUi : public comm::TransferUi {
  public:
    struct Progress {
        int label, position, total;
    };
    std::vector<Progress> progress;
    std::vector<Message> shown;
    std::vector<MsgAnswer> answers;
    std::vector<std::chrono::milliseconds> waits;
    int pumps = 0;
    std::function<void()> onWait;

    void showProgress(int label, int position, int total) override {
        progress.push_back({label, position, total});
    }
    void pumpMessages() override { ++pumps; }
    void waitWhilePumping(std::chrono::milliseconds ms) override {
        waits.push_back(ms);
        if (onWait) onWait();
    }
    MsgAnswer show(const Message& m) override {
        shown.push_back(m);
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
        switch (m.buttons) {
        case MsgButtons::RetryCancel:
            return MsgAnswer::Retry;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        default:
            return MsgAnswer::Ok;
        }
    }
    std::vector<int> ids() const {
        std::vector<int> out;
        for (const auto& m : shown)
            out.push_back(m.textId);
        return out;
    }
};

} // namespace velora::test
