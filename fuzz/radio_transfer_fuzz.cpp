// The radio's side of a full read or write, answered frame by frame under the fuzzer's control:
// each answer may be kept, dropped, cut short, replaced, garbled, preceded by noise or left in
// flight. A transfer ends with a complete image or a failure, within a bounded number of frames and
// fake-clock time, and a failed one changes neither the data set nor the staging copy.
#include <numeric>

#include "FuzzSupport.h"
#include "comm/RadioTransfer.h"
#include "comm_fakes.h"

using namespace velora;
using namespace velora::comm;

namespace {

// Retries a failed frame as often as the input says (at most a few times), then cancels; answers
// every other prompt with its first button.
class Ui : public test::RecordingTransferUi {
  public:
    int retriesLeft = 0;
    int prompts = 0;
    MsgAnswer show(const Message& m) override {
        ++prompts;
        if (m.buttons == MsgButtons::RetryCancel) {
            if (retriesLeft <= 0) return MsgAnswer::Cancel;
            --retriesLeft;
            return MsgAnswer::Retry;
        }
        return test::RecordingTransferUi::show(m);
    }
};

// The radio's memory: a default data set with some variety, so that blocks travel whole and filled.
void fillUnits(test::FakeRadio& radio, const Document& doc) {
    for (auto& [sel, copy] : radio.units) {
        copy = doc.image().working();
        for (std::size_t i = 0; i < 16 * 8; ++i)
            copy.ext[i] = static_cast<Byte>(i * 7 + sel);
    }
}

void mutate(test::FakeLink& l, fuzz::Input& in) {
    if (in.empty()) return;
    const std::uint8_t op = in.byte();
    switch (op % 12) {
    case 0: // no answer
        l.rx.clear();
        break;
    case 1: // cut short
        if (!l.rx.empty()) l.rx.resize(in.byte() % l.rx.size());
        break;
    case 2: { // replaced by the fuzzer's bytes
        auto b = in.take(in.byte() % 140);
        l.rx.assign(b.begin(), b.end());
        break;
    }
    case 3: // one byte garbled
        if (!l.rx.empty()) l.rx[in.byte() % l.rx.size()] ^= static_cast<Byte>(in.byte() | 1);
        break;
    case 4: { // noise first
        auto b = in.take(in.byte() % 8 + 1);
        l.rx.insert(l.rx.begin(), b.begin(), b.end());
        break;
    }
    case 5: { // the rest arrives late, after the next frame went out
        const std::size_t keep = l.rx.empty() ? 0 : in.byte() % l.rx.size();
        l.inFlight.assign(l.rx.begin() + static_cast<long>(keep), l.rx.end());
        l.rx.resize(keep);
        break;
    }
    case 6: // NAK instead
        l.rx.assign(1, kNak);
        break;
    default: // answered as the radio would
        break;
    }
}

struct Run {
    test::FakeLink link;
    test::FakeRadio radio{link};
    test::RecordingClock clock;
    RadioProtocol proto{link, clock};
    fuzz::Texts texts;
    Ui ui;
    RadioTransfer transfer{proto, texts, ui};

    explicit Run(fuzz::Input* in) {
        if (!in) return;
        auto answer = link.onSend;
        link.onSend = [this, answer, in](test::FakeLink& l, std::span<const Byte> b) {
            answer(l, b);
            mutate(l, *in);
            FUZZ_CHECK(link.sends < 20000); // a transfer that never ends
        };
    }

    // Everything the transfer waited for, on the fake clock and in time-outs of receives.
    std::chrono::milliseconds elapsed() const {
        auto t = std::accumulate(clock.waits.begin(), clock.waits.end(), std::chrono::milliseconds(0));
        t = std::accumulate(ui.waits.begin(), ui.waits.end(), t);
        t = std::accumulate(link.settles.begin(), link.settles.end(), t);
        for (auto ms : link.receiveTimeouts)
            t += std::chrono::milliseconds(ms);
        return t;
    }
};

// What a clean write leaves in the radio.
const std::map<Byte, ImageCopy>& cleanWrite(const Document& doc) {
    static const std::map<Byte, ImageCopy> units = [&] {
        Run run(nullptr);
        fillUnits(run.radio, doc);
        MemoryImage image = doc.image();
        FUZZ_CHECK(run.transfer.write(image).ok());
        return run.radio.units;
    }();
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.byte();
    auto doc = fuzz::defaultDocument();
    const auto& expected = cleanWrite(*doc);

    Run run(&in);
    fillUnits(run.radio, *doc);
    run.ui.retriesLeft = mode >> 5; // 0..7
    const ImageCopy working = doc->image().working();
    const ImageCopy staging = doc->image().staging();

    if ((mode & 1) == 0) {
        fuzz::Boxes boxes;
        const TransferOutcome out = readAndAdopt(*doc, run.transfer, boxes.boxes);
        if (out.complete()) {
            fuzz::checkTables(*doc);
        } else {
            FUZZ_CHECK(doc->image().working() == working);
            FUZZ_CHECK(doc->image().staging() == staging);
            FUZZ_CHECK(!describe(out).empty());
        }
    } else {
        const TransferOutcome out = run.transfer.write(doc->image());
        if (out.complete()) {
            // The radio never refuses here, so a write that says it finished left the clean image.
            FUZZ_CHECK(run.radio.units.at(kSelectorDeck1).main == expected.at(kSelectorDeck1).main);
            FUZZ_CHECK(run.radio.units.at(kSelectorHead1).ext == expected.at(kSelectorHead1).ext);
        } else {
            FUZZ_CHECK(doc->image().working() == working);
        }
    }
    FUZZ_CHECK(!run.link.open);
    // Each frame waits at most its time-outs; retries and prompts are bounded by the input.
    FUZZ_CHECK(run.elapsed() < std::chrono::hours(2));
    return 0;
}
