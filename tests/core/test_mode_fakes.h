#pragma once
// A radio in test mode on the far side of a FakeLink, for the test-mode and tuning tests: it
// answers every test and tuning frame, keeps the adjustment values it is stepped to, and leaves
// chosen frames unanswered.
#include <array>
#include <functional>
#include <map>
#include <vector>

#include "comm/TestMode.h"
#include "comm_fakes.h"

namespace velora::test {

class TestModeRadio {
  public:
    comm::Identification id{'Q', '0', '1', '2', '0', 0x04, 0x50, 0x00, 0x0F, 0xF0};
    std::array<Byte, 128> testChannels{};      // the radio's 16 test channels, 8 bytes each
    std::array<Byte, 32> status{};             // status record
    std::array<Byte, 2> extension{0x41, 0x42}; // the two extension bytes
    std::map<Byte, int> values;                // value per adjustment code
    std::array<Byte, 4> points{10, 20, 30, 40};
    std::vector<std::vector<Byte>> frames; // every complete frame, in order
    // Leave a frame unanswered: called with the frame and how many frames of its command came before.
    std::function<bool(const std::vector<Byte>& frame, int nth)> drop;

    explicit TestModeRadio(FakeLink& link) {
        testChannels.fill(0xFF);
        for (std::size_t i = 0; i < status.size(); ++i)
            status[i] = static_cast<Byte>(100 + i);
        link.onSend = [this](FakeLink& l, std::span<const Byte> b) {
            buffer_.insert(buffer_.end(), b.begin(), b.end());
            while (!buffer_.empty()) {
                const std::size_t n = length();
                if (n == 0 || buffer_.size() < n) return;
                std::vector<Byte> f(buffer_.begin(), buffer_.begin() + static_cast<long>(n));
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(n));
                answer(l, f);
            }
        };
    }

    // Frames whose first byte is `cmd` (and, when given, whose last byte is `last`).
    int count(Byte cmd, int last = -1) const {
        int n = 0;
        for (const auto& f : frames)
            if (f[0] == cmd && (last < 0 || f.back() == last)) ++n;
        return n;
    }
    std::vector<Byte> commands() const {
        std::vector<Byte> out;
        for (const auto& f : frames)
            out.push_back(f[0]);
        return out;
    }

  private:
    std::vector<Byte> buffer_;
    std::map<Byte, int> seen_;
    bool swallowAck_ = false;

    static bool isItem(Byte b) {
        for (const auto& i :
             std::array<Byte, 22>{0x20, 0x32, 0x33, 0x12, 0x30, 0x31, 0x14, 0x18, 0x17, 0x24, 0x25,
                                  0x26, 0x19, 0x1A, 0x1D, 0x3A, 0x1F, 0x35, 0x36, 0x39, 0x16, 0x13})
            if (i == b) return true;
        return false;
    }

    std::size_t length() const {
        const Byte c = buffer_[0];
        if (c == 'T') return 7;
        if (isItem(c)) return 3;
        switch (c) {
        case comm::kAck:
        case 'E':
        case 0x85:
        case 0x86:
            return 1;
        case comm::kStx:
        case 'F':
        case 'G':
        case 0x05:
        case 0x07:
        case 0x0B:
        case 0x84:
            return 2;
        case 0x10:
        case 0x11:
        case 0x08:
        case 0x22:
        case '7':
        case '8':
            return 3;
        case 'P':
            return 4;
        default:
            return 1;
        }
    }

    void answer(FakeLink& l, const std::vector<Byte>& f) {
        frames.push_back(f);
        const int nth = seen_[f[0]]++;
        if (f[0] == comm::kAck && std::exchange(swallowAck_, false)) return;
        if (drop && drop(f, nth)) return;
        auto send = [&](auto begin, auto end) { l.rx.insert(l.rx.end(), begin, end); };
        const Byte c = f[0];
        if (isItem(c)) {
            if (f[2] == 0x0A) ++values[c];
            if (f[2] == 0x0B) --values[c];
            l.reply({comm::kAck});
            return;
        }
        switch (c) {
        case comm::kStx:
            send(id.begin(), id.end());
            return;
        case 0x05:
            send(status.begin(), status.end());
            return;
        case 0x07:
            send(points.begin(), points.end());
            return;
        case '7':
        case '8':
            l.reply({extension[c == '7' ? 0 : 1]});
            swallowAck_ = true;
            return;
        case 0x10: {
            const auto at = testChannels.begin() + (f[2] - 1) * 8;
            send(at, at + 8);
            return;
        }
        default:
            l.reply({comm::kAck});
        }
    }
};

// Records prompts and answers them from a queue (default: Retry, OK).
class RecordingTestModeUi : public comm::TestModeUi {
  public:
    std::vector<int> shown;
    std::vector<MsgAnswer> answers;
    std::vector<std::chrono::milliseconds> waits;
    MsgAnswer show(const Message& m) override {
        shown.push_back(m.textId);
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
        return m.buttons == MsgButtons::RetryCancel ? MsgAnswer::Retry : MsgAnswer::Ok;
    }
    void waitWhilePumping(std::chrono::milliseconds ms) override { waits.push_back(ms); }
};

} // namespace velora::test
