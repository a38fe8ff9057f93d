// velora-cli testmode: test mode and tuning from a script. The actions after the data file run in
// order, as a technician would press them in the test-mode and adjustment dialogs; test mode is left
// at the end (the transmitter switched off first when it is on).
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

#include "CliArgs.h"
#include "CliSession.h"
#include "comm/SerialPort.h"
#include "comm/TestMode.h"
#include "comm/Tuning.h"
#include "model/ModelCatalogue.h"

namespace velora::cli {

namespace {

constexpr const char* kTestModeUsage =
    "usage: velora-cli testmode --device PATH FILE [ACTION...] [--retries N] [--timing]\n"
    "actions, in order: channel=N signalling=N tx=on|off spacing=wide|narrow noise-blanker=N\n"
    "  compander=N beat-shift=N msk=N item=N (opens an adjustment item) tab=N value=N step=+N|-N\n"
    "  volume=N ok cancel (close the item)";

// Prints every message on stderr and answers a retry prompt from a budget.
class CliTestModeUi : public comm::TestModeUi {
  public:
    CliTestModeUi(CliMessenger& out, int retries) : out_(out), retries_(retries) {}
    MsgAnswer show(const Message& m) override {
        out_.show(m);
        if (m.buttons != MsgButtons::RetryCancel) return MsgAnswer::Ok;
        if (retries_ <= 0) return MsgAnswer::Cancel;
        --retries_;
        std::cerr << "velora-cli: retrying\n";
        return MsgAnswer::Retry;
    }

  private:
    CliMessenger& out_;
    int retries_;
};

std::optional<int> number(const std::string& text) {
    try {
        std::size_t used = 0;
        const int n = std::stoi(text, &used);
        if (used == text.size()) return n;
    } catch (...) {
    }
    return std::nullopt;
}

const char* entryText(comm::EntryResult r) {
    switch (r) {
    case comm::EntryResult::Ok:
        return "entered";
    case comm::EntryResult::PortFailed:
        return "the port cannot be opened";
    case comm::EntryResult::Cancelled:
        return "the radio does not answer";
    case comm::EntryResult::UnknownModel:
        return "the radio's model or band is not supported";
    case comm::EntryResult::RadioDiffers:
        return "the radio differs from the data set";
    case comm::EntryResult::ChannelsDiffer:
        return "the radio's test channels differ from the data set";
    }
    return "failed";
}

} // namespace

int cmdTestMode(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"--device", "--retries"}, {"--timing"});
    auto device = a.value("--device");
    auto retries = number(a.value("--retries").value_or("2"));
    if (!a.ok() || !device || a.positional().empty() || !retries || *retries < 0) {
        printError(a.ok() ? kTestModeUsage : a.error());
        return kExitUsage;
    }
    if (!s.open(a.positional()[0])) return kExitFailure;
    if (identificationOf(s.doc.image()).isDualBand()) {
        printError("test mode is not available for a dual-band data set");
        return kExitFailure;
    }
    comm::SerialPort port;
    port.setPortNumber(1);
    port.setDevicePath(1, *device);
    comm::RadioProtocol protocol(port);
    CliTestModeUi ui(s.messenger, *retries);
    comm::TestModeShared shared;
    comm::TestModeSession session(protocol, s.texts, ui, shared, s.doc.image());
    if (const comm::EntryResult r = session.begin(); r != comm::EntryResult::Ok) {
        printError(std::string("test mode on ") + *device + ": " + entryText(r));
        return kExitFailure;
    }
    std::cout << "test channel " << session.channel() + 1 << "\n";

    const std::uint8_t bandCode1 = identificationOf(s.doc.image()).bandCode(kModel1);
    // An action the radio or the item does not offer is refused with its reason; a number moved into
    // its range is said.
    std::string refusal;
    auto clamped = [](const std::string& what, int asked, comm::Limited l) {
        if (l.clamped)
            std::cerr << "velora-cli: " << what << ' ' << asked << " is out of range; " << l.value
                      << " was set\n";
        return l.value;
    };
    std::unique_ptr<comm::AdjustmentSession> item;
    bool ok = true;
    for (std::size_t i = 1; i < a.positional().size() && ok; ++i) {
        const std::string& action = a.positional()[i];
        const auto eq = action.find('=');
        const std::string key = action.substr(0, eq);
        const std::string text = eq == std::string::npos ? "" : action.substr(eq + 1);
        const auto n = number(text);
        const auto started = std::chrono::steady_clock::now();
        bool known = true;
        if (key == "ok" || key == "cancel") {
            if (!item) {
                known = false;
            } else {
                ok = key == "ok" ? item->accept() : !item->cancel();
                if (!ok && key == "ok") item->cancel();
                session.adjustmentClosed(item->transmitterMayBeOn());
                item.reset();
            }
        } else if (key == "tx" && (text == "on" || text == "off")) {
            const bool on = text == "on";
            if (item && on && !(refusal = item->transmitRefusal()).empty())
                known = false;
            else if (item)
                ok = item->transmitting() == on || item->toggleTransmit();
            else
                ok = session.transmitting() == on || session.toggleTransmit();
        } else if (key == "spacing" && (text == "wide" || text == "narrow")) {
            ok = session.setSpacing(text == "narrow" ? 1 : 0);
        } else if (!n) {
            known = false;
        } else if (key == "channel") {
            known = session.channelDefined(*n - 1);
            ok = !known || session.selectChannel(*n - 1);
        } else if (key == "signalling") {
            known = *n >= 1 && *n <= comm::kTestSignallingCount;
            ok = !known || session.selectSignalling(*n - 1);
        } else if (key == "noise-blanker") {
            ok = session.setNoiseBlanker(*n);
        } else if (key == "compander") {
            ok = session.setCompander(*n);
        } else if (key == "beat-shift") {
            ok = session.setBeatShift(*n);
        } else if (key == "msk") {
            ok = session.setMskRate(*n);
        } else if (key == "item" && !item) {
            refusal = comm::adjustmentItemRefusal(*n, bandCode1, session.shared().statusExtension);
            known = refusal.empty();
            ok = !known || session.prepareAdjustment();
            if (known && ok) {
                item = std::make_unique<comm::AdjustmentSession>(session, *n);
                ok = item->open();
            }
        } else if (item && key == "value") {
            ok = item->setValue(clamped("value", *n, comm::limitValue(*n)));
        } else if (item && key == "step") {
            const int asked = item->value() + *n;
            ok = item->setValue(clamped("value", asked, comm::limitValue(asked)));
        } else if (item && key == "tab") {
            refusal = item->tabRefusal(*n);
            known = refusal.empty();
            ok = !known || item->setTab(*n);
        } else if (item && key == "volume") {
            ok = item->setVolume(clamped("volume", *n, comm::limitVolume(*n)));
        } else {
            known = false;
        }
        if (!known) {
            printError("cannot do '" + action + "' here" + (refusal.empty() ? "" : ": " + refusal));
            ok = false;
            break;
        }
        if (a.flag("--timing")) {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - started);
            std::fprintf(stderr, "time %s %.3f ms\n", action.c_str(),
                         static_cast<double>(us.count()) / 1000.0);
        }
        if (!ok) break;
        if (item)
            std::cout << "item " << item->item() << " tab " << item->tab() << " value " << item->value()
                      << " volume " << item->volume() << (item->transmitting() ? " tx" : "") << "\n";
        else
            std::cout << "channel " << session.channel() + 1 << " signalling " << session.signalling() + 1
                      << (session.transmitting() ? " tx" : "") << "\n";
    }
    // A cancelled prompt inside an item ends test mode at once, as the dialogs do.
    if (item) {
        if (ok) item->cancel();
        session.adjustmentClosed(item->transmitterMayBeOn());
        if (item->failed()) ok = false;
    }
    session.end();
    std::cout << "left test mode\n";
    if (!ok) printError("test mode on " + *device + " ended early");
    return ok ? kExitOk : kExitFailure;
}

} // namespace velora::cli
