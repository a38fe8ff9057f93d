#include "comm/Tuning.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/Messenger.h"

namespace velora::comm {

namespace {

constexpr int kTextWide = 119, kTextNarrow = 120;
constexpr std::size_t kFourPointItem = 8, kFourPointItemNoSpacing = 13;

using FreqPair = std::pair<const char*, const char*>;

// Items 1 and 2: the band-edge points of VHF radios, by band row 0..7.
constexpr std::array<std::array<FreqPair, 2>, 8> kEdgeTexts{{
    {{{" 29.79750", " 29.69750"}, {" 36.89750", " 36.99750"}}},
    {{{" 35.09750", " 34.99750"}, {" 42.89750", " 42.99750"}}},
    {{{" 40.09750", " 39.99750"}, {" 49.89750", " 49.99750"}}},
    {{{"148.09750", "147.99750"}, {"173.89750", "173.99750"}}},
    {{{"136.09750", "135.99750"}, {"155.89750", "155.99750"}}},
    {{{"450.09750", "469.89750"}, {"449.99750", "479.99750"}}},
    {{{"449.99750", "479.99750"}, {"499.89750", "511.99750"}}},
    {{{"410.09750", "402.99750"}, {"429.89750", "429.99750"}}},
}};

// Items 8 and 13, points 1 to 3, by band row 0..8.
constexpr std::array<std::array<FreqPair, 3>, 9> kPointTexts{{
    {{{" 29.80000", " 29.70000"}, {" 33.40000", " 33.30000"}, {" 36.90000", " 37.00000"}}},
    {{{" 35.10000", " 35.00000"}, {" 39.10000", " 39.00000"}, {" 42.90000", " 43.00000"}}},
    {{{" 40.10000", " 40.00000"}, {" 45.10000", " 45.00000"}, {" 49.90000", " 50.00000"}}},
    {{{"148.10000", "148.00000"}, {"161.10000", "161.00000"}, {"173.90000", "174.00000"}}},
    {{{"136.10000", "136.00000"}, {"146.10000", "146.00000"}, {"155.90000", "156.00000"}}},
    {{{"450.10000", "450.00000"}, {"460.10000", "470.00000"}, {"469.90000", "490.00000"}}},
    {{{"480.10000", "480.00000"}, {"490.10000", "496.00000"}, {"499.90000", "512.00000"}}},
    {{{"410.10000", "403.00000"}, {"420.10000", "416.50000"}, {"429.90000", "430.00000"}}},
    {{{"450.10000", "450.00000"}, {"460.10000", "465.00000"}, {"469.90000", "480.00000"}}},
}};

std::pair<std::string, std::string> blanked(FreqPair p) {
    return {std::string("  ") + p.first, std::string("  ") + p.second};
}

} // namespace

bool adjustmentPerSpacing(int item) {
    return item == 7 || item == 8 || (item >= 9 && item <= 12) || item == 14 || item == 15;
}

std::size_t adjustmentRecordIndex(int item, int tab, int spacing) {
    const std::size_t sp = spacing != 0 ? 1 : 0;
    const auto t = static_cast<std::size_t>(std::clamp(tab, 0, 3));
    switch (item) {
    case 0:
        return 0;
    case 1:
        return 33;
    case 2:
        return 34;
    case 3:
        return 1;
    case 4:
        return 2;
    case 5:
        return 3;
    case 6:
        return 4;
    case 7:
        return 5 + sp;
    case 8:
        return 7 + 4 * sp + t;
    case 13:
        return 23 + t;
    case 9:
    case 10:
    case 11:
    case 12:
        return 15 + 2 * static_cast<std::size_t>(item - 9) + sp;
    case 14:
        return 27 + sp;
    case 15:
        return 29 + sp;
    default:
        return kRecordVolume;
    }
}

std::string adjustmentTitle(const TextSource& texts, int item, int spacing) {
    if (item < 0 || item >= kAdjustmentItemCount) return {};
    std::string title(texts.text(kAdjustmentItems[static_cast<std::size_t>(item)].nameText));
    if (adjustmentPerSpacing(item))
        title += " (" + std::string(texts.text(spacing != 0 ? kTextNarrow : kTextWide)) + ")";
    return title;
}

std::string adjustmentValueText(const TextSource& texts, int value) {
    char number[16];
    std::snprintf(number, sizeof number, "% 3d", value);
    return "  " + std::string(texts.text(kTextValue)) + " : " + number;
}

std::optional<std::pair<std::string, std::string>> adjustmentFrequencyTexts(int item, int tab,
                                                                            std::uint8_t bandCode1) {
    const int code = bandCode1 & 0x0F;
    const auto row = static_cast<std::size_t>(code >= 1 && code <= 9 ? code - 1 : 3);
    if (item == 1 || item == 2) {
        if (row >= kEdgeTexts.size()) return std::pair<std::string, std::string>{"  ", "  "};
        return blanked(kEdgeTexts[row][static_cast<std::size_t>(item - 1)]);
    }
    if (item == 4) return blanked({"460.10000", "460.00000"});
    if (item == 5) return blanked({"475.10000", "475.00000"});
    if ((item == 8 || item == 13) && tab >= 1 && tab <= 3)
        return blanked(kPointTexts[row][static_cast<std::size_t>(tab - 1)]);
    return std::nullopt;
}

Limited limitValue(int asked) {
    const int v = std::clamp(asked, kMinValue, kMaxValue);
    return {v, v != asked};
}

Limited limitVolume(int asked) {
    const int v = std::clamp(asked, 0, kMaxVolume);
    return {v, v != asked};
}

AdjustmentKeyAction adjustmentKeyAction(AdjustmentKey key, AdjustmentFocus focus, int item,
                                        bool transmitting) {
    using Kind = AdjustmentKeyAction::Kind;
    if (item < 0 || item >= kAdjustmentItemCount) return {};
    const AdjustmentItem& info = kAdjustmentItems[static_cast<std::size_t>(item)];
    const bool fourPoints = info.tabs == 4;
    switch (key) {
    case AdjustmentKey::Right:
    case AdjustmentKey::Left:
        // On the tab strip the arrows move between the points.
        if (fourPoints && focus == AdjustmentFocus::TabStrip) return {};
        return {Kind::Value, key == AdjustmentKey::Right ? 1 : -1};
    case AdjustmentKey::Up:
    case AdjustmentKey::Down:
        // The volume is held while the transmitter is on.
        if (transmitting) return {};
        return {Kind::Volume, key == AdjustmentKey::Up ? 1 : -1};
    case AdjustmentKey::Space: {
        const bool onButton = focus == AdjustmentFocus::Ok || focus == AdjustmentFocus::Cancel ||
                              focus == AdjustmentFocus::Transmit || focus == AdjustmentFocus::Help;
        if (!info.transmitAllowed || onButton) return {};
        return {Kind::Transmit, 0};
    }
    case AdjustmentKey::CtrlTab:
        return fourPoints ? AdjustmentKeyAction{Kind::NextTab, 1} : AdjustmentKeyAction{};
    }
    return {};
}

AdjustmentSession::AdjustmentSession(TestModeSession& testMode, int item)
    : testMode_(testMode), shared_(testMode.shared()), protocol_(testMode.protocol()),
      item_(std::clamp(item, 0, kAdjustmentItemCount - 1)), spacing_(testMode.spacing()) {}

Byte& AdjustmentSession::stored(int tab) {
    return shared_.record[adjustmentRecordIndex(item_, tab, spacing_)];
}

int AdjustmentSession::storedValue(int tab) const {
    return shared_.record[adjustmentRecordIndex(item_, tab, spacing_)];
}

bool AdjustmentSession::run(TuneOp op, int arg) {
    if (testMode_.retryFrames([&] { return perform(op, arg) == Outcome::Ok; })) return true;
    failed_ = true;
    return false;
}

bool AdjustmentSession::transmitterOff() {
    if (!transmit_) return true;
    transmitUnsure_ = true;
    if (!ok(protocol_.transmit(kTestSelector, false))) return false;
    transmit_ = false;
    transmitUnsure_ = false;
    return true;
}

AdjustmentSession::Outcome AdjustmentSession::perform(TuneOp op, int arg) {
    auto frame = [](RadioStatus s) { return ok(s) ? Outcome::Ok : Outcome::FrameFailed; };
    switch (op) {
    case TuneOp::Start: {
        if (!ok(protocol_.startAdjustment(code(0), kTestSelector))) return Outcome::FrameFailed;
        if (info().tabs != 4) return Outcome::Ok;
        if (!ok(protocol_.readAdjustmentValue(kTestSelector, snapshot_))) return Outcome::FrameFailed;
        for (int t = 0; t < 4; ++t)
            stored(t) = snapshot_[static_cast<std::size_t>(t)];
        return Outcome::Ok;
    }
    case TuneOp::Stop:
        if (!transmitterOff()) return Outcome::FrameFailed;
        return frame(protocol_.stopAdjustment(code(tab_), kTestSelector));
    case TuneOp::Restore: {
        if (!transmitterOff()) return Outcome::FrameFailed;
        std::array<Byte, kStatusRecordSize> status{};
        std::array<Byte, kTestChannelReplySize> reply{};
        std::array<Byte, 2> ext{shared_.record[33], shared_.record[34]};
        if (!ok(protocol_.selectChannelAndSignalling(
                kTestSelector, static_cast<Byte>(testMode_.channel() + 1),
                static_cast<Byte>(testMode_.signalling() + 1), status, reply)))
            return Outcome::FrameFailed;
        if (shared_.statusExtension && !ok(protocol_.readStatusExtension(kTestSelector, ext)))
            return Outcome::FrameFailed;
        fillAdjustmentRecord(shared_.record, status, ext);
        return Outcome::Ok;
    }
    case TuneOp::Transmit: {
        transmitUnsure_ = true;
        const Outcome o = frame(protocol_.transmit(kTestSelector, arg != 0));
        if (o == Outcome::Ok) transmitUnsure_ = false;
        return o;
    }
    case TuneOp::ChangeTab:
        if (!transmitterOff()) return Outcome::FrameFailed;
        return frame(protocol_.startAdjustment(code(arg), kTestSelector));
    case TuneOp::Step: {
        int acknowledged = 0;
        const RadioStatus s = protocol_.stepAdjustment(code(tab_), kTestSelector, arg, acknowledged);
        applySteps(arg > 0 ? acknowledged : -acknowledged);
        return frame(s);
    }
    case TuneOp::Volume:
        return frame(protocol_.setPValue(static_cast<Byte>(arg), testMode_.dualBand()));
    }
    return Outcome::FrameFailed;
}

bool AdjustmentSession::open() {
    tab_ = 0;
    transmit_ = false;
    if (!run(TuneOp::Start)) return false;
    value_ = storedValue(0);
    for (int t = 0; t < info().tabs; ++t)
        opened_[static_cast<std::size_t>(t)] = storedValue(t);
    return true;
}

void AdjustmentSession::applySteps(int steps) {
    if (steps == 0) return;
    value_ += steps;
    stored(tab_) = static_cast<Byte>(value_);
    // Moving the test-channel point of a four-point item moves the band points with it.
    if ((item_ == kFourPointItem || item_ == kFourPointItemNoSpacing) && tab_ == 0)
        for (int t = 1; t < 4; ++t)
            stored(t) = static_cast<Byte>(stored(t) + steps);
}

std::string AdjustmentSession::transmitRefusal() const {
    if (info().transmitAllowed) return {};
    return "adjustment item " + std::to_string(item_) + " does not allow transmitting";
}

std::string AdjustmentSession::tabRefusal(int tab) const {
    if (tab >= 0 && tab < info().tabs) return {};
    if (info().tabs == 1) return "adjustment item " + std::to_string(item_) + " has no tabs";
    return "adjustment item " + std::to_string(item_) + " has tabs 0 to " + std::to_string(info().tabs - 1);
}

bool AdjustmentSession::setValue(int value) {
    const int target = limitValue(value).value;
    // Each pass sends only the steps the radio has not taken yet, so a retry after a failure in the
    // middle ends where the user asked and the shown value always is the radio's.
    if (target == value_) return true;
    if (testMode_.retryFrames(
            [&] { return target == value_ || perform(TuneOp::Step, target - value_) == Outcome::Ok; }))
        return true;
    failed_ = true;
    return false;
}

bool AdjustmentSession::setVolume(int volume) {
    const int v = limitVolume(volume).value;
    if (v == shared_.volume) return true;
    if (!run(TuneOp::Volume, v)) return false;
    shared_.volume = v;
    shared_.record[kRecordVolume] = static_cast<Byte>(v);
    return true;
}

bool AdjustmentSession::toggleTransmit() {
    if (!info().transmitAllowed) return true;
    if (!run(TuneOp::Transmit, transmit_ ? 0 : 1)) return false;
    transmit_ = !transmit_;
    return true;
}

bool AdjustmentSession::setTab(int tab) {
    if (info().tabs != 4 || tab < 0 || tab >= 4 || tab == tab_) return true;
    if (!run(TuneOp::ChangeTab, tab)) return false;
    // The values stay as stepped since the item was opened: the radio moved its band points along
    // with the test-channel point, so going back to the values read at opening would show numbers
    // the radio no longer holds.
    tab_ = tab;
    value_ = storedValue(tab);
    return true;
}

bool AdjustmentSession::accept() {
    return run(TuneOp::Stop);
}

bool AdjustmentSession::stepBack() {
    // The test-channel point first: it carries the band points along, which the later tabs correct.
    for (int t = 0; t < info().tabs; ++t) {
        const int was = opened_[static_cast<std::size_t>(t)];
        if (storedValue(t) != was && (!setTab(t) || !setValue(was))) return false;
    }
    return true;
}

void AdjustmentSession::warnUnlessBack() {
    for (int t = 0; t < info().tabs; ++t) {
        const int was = opened_[static_cast<std::size_t>(t)];
        if (storedValue(t) == was) continue;
        Message m;
        m.textId = kTextNotBack;
        m.text = std::string(testMode_.texts().text(kTextNotBack));
        for (const int v : {storedValue(t), was})
            if (auto at = m.text.find("%d"); at != std::string::npos)
                m.text.replace(at, 2, std::to_string(v));
        m.caption = std::string(testMode_.texts().text(MessageBoxes::kCaptionWarning));
        m.icon = MsgIcon::Warning;
        testMode_.ui().show(m);
        testMode_.ui().repaint();
        return;
    }
}

bool AdjustmentSession::cancel() {
    if (failed_) return true;
    // The restore re-reads the radio's values: they show whether the steps back arrived.
    if ((transmit_ && !toggleTransmit()) || !stepBack() || !run(TuneOp::Restore)) {
        failed_ = true;
        return true;
    }
    warnUnlessBack();
    if (!run(TuneOp::Stop)) failed_ = true;
    return failed_;
}

} // namespace velora::comm
