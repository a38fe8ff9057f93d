#include "comm/TestMode.h"

#include <algorithm>

#include "base/Messenger.h"
#include "comm/SerialPort.h"
#include "model/FrequencyCodec.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"
#include "model/TestFrequency.h"

namespace velora::comm {

namespace {

constexpr int kCaptionError = MessageBoxes::kCaptionError;
constexpr Byte kBandNibble = 0x0F;
constexpr Byte kVersionBits = 0xF0;
constexpr std::uint8_t kVhfBand = 4, kVhfBand2 = 5;

// RX and TX language texts of the test signallings.
constexpr std::array<std::pair<int, int>, kTestSignallingCount> kSignallingTexts{{{127, 127},
                                                                                  {127, 128},
                                                                                  {129, 129},
                                                                                  {130, 130},
                                                                                  {131, 131},
                                                                                  {132, 132},
                                                                                  {133, 134},
                                                                                  {135, 136},
                                                                                  {127, 137}}};

Message errorMessage(const TextSource& texts, int id, MsgButtons buttons) {
    Message m;
    m.textId = id;
    m.text = std::string(texts.text(id));
    m.caption = std::string(texts.text(kCaptionError));
    m.buttons = buttons;
    m.icon = MsgIcon::Error;
    return m;
}

} // namespace

void fillAdjustmentRecord(AdjustmentRecord& r, const std::array<Byte, kStatusRecordSize>& s,
                          const std::array<Byte, 2>& ext) {
    r[0] = s[0]; // item 0
    r[1] = s[1]; // item 3
    r[2] = s[2]; // item 4
    r[3] = s[4]; // item 5 (status byte 3 is not used)
    r[4] = s[5]; // item 6
    r[5] = s[14];
    r[6] = s[15]; // item 7, wide and narrow
    for (std::size_t p = 0; p < 4; ++p) {
        r[7 + p] = s[6 + 2 * p];  // item 8 wide, points 0..3
        r[11 + p] = s[7 + 2 * p]; // item 8 narrow
    }
    for (std::size_t i = 16; i < kStatusRecordSize; ++i)
        r[i - 1] = s[i]; // items 9 to 15
    r[33] = ext[0];      // item 1
    r[34] = ext[1];      // item 2
}

bool hasStatusExtension(const Identification& id) {
    const Byte band = id[ModelIdentification::kBandCode1] & kBandNibble;
    return (id[ModelIdentification::kConfigWord] & kVersionBits) != 0 &&
           (band == kVhfBand || band == kVhfBand2);
}

TestModeKeyAction testModeKeyAction(TestModeKey key, TestModeFocus focus) {
    const bool onButton = focus == TestModeFocus::Close || focus == TestModeFocus::Help ||
                          focus == TestModeFocus::Transmit || focus == TestModeFocus::Print;
    if (onButton) return TestModeKeyAction::None; // the button takes the key itself
    if (key == TestModeKey::Space) return TestModeKeyAction::ToggleTransmit;
    return focus == TestModeFocus::AdjustmentList ? TestModeKeyAction::OpenAdjustment
                                                  : TestModeKeyAction::NextControl;
}

std::pair<std::string, std::string> signallingTexts(const TextSource& texts, int index) {
    if (index < 0 || index >= kTestSignallingCount) return {};
    const auto [rx, tx] = kSignallingTexts[static_cast<std::size_t>(index)];
    return {"  " + std::string(texts.text(rx)), "  " + std::string(texts.text(tx))};
}

std::string adjustmentItemRefusal(int item, std::uint8_t bandCode1, bool statusExtension) {
    const std::uint8_t band = bandCode1 & kBandNibble;
    if (item < 0 || item >= kAdjustmentItemCount)
        return "there is no adjustment item " + std::to_string(item) + " (0 to 15)";
    const std::string which = "adjustment item " + std::to_string(item);
    if ((item == 1 || item == 2) && band != kVhfBand && band != kVhfBand2)
        return which + " is only offered on a radio of band code 4 or 5";
    if ((item == 1 || item == 2) && !statusExtension)
        return which + " is only offered on a radio that reports the two extra adjustment values";
    if (item == 3 && band == 9) return which + " is not offered on a radio of band code 9";
    if ((item == 4 || item == 5) && band != 9) return which + " is only offered on a radio of band code 9";
    return {};
}

std::vector<int> availableAdjustmentItems(std::uint8_t bandCode1, bool statusExtension) {
    std::vector<int> items;
    for (int item = 0; item < kAdjustmentItemCount; ++item)
        if (adjustmentItemRefusal(item, bandCode1, statusExtension).empty()) items.push_back(item);
    return items;
}

bool offersNoiseBlanker(std::uint8_t bandCode1) {
    return bandGroupOfCode(bandCode1 & kBandNibble) == BandGroup::Low;
}

TestModeSession::TestModeSession(RadioProtocol& protocol, const TextSource& texts, TestModeUi& ui,
                                 TestModeShared& shared, const MemoryImage& image)
    : protocol_(protocol), texts_(texts), ui_(ui), shared_(shared), image_(image) {}

bool TestModeSession::dualBand() const {
    return identificationOf(image_).isDualBand();
}

EntryResult TestModeSession::begin() {
    entry_ = EntryResult::Ok;
    if (!ok(protocol_.reopenForTestMode())) {
        protocol_.link().closeLink();
        ui_.show(errorMessage(texts_, kTextTestPortCannotOpen, MsgButtons::Ok));
        ui_.repaint();
        return EntryResult::PortFailed;
    }
    portOpen_ = true;
    if (!runEntry()) {
        protocol_.link().closeLink();
        portOpen_ = false;
        return entry_ == EntryResult::Ok ? EntryResult::Cancelled : entry_;
    }
    active_ = true;
    return EntryResult::Ok;
}

bool TestModeSession::runEntry() {
    firstMatch_ = -1;
    shared_.volume = kEntryVolume;
    shared_.record[kRecordVolume] = static_cast<Byte>(kEntryVolume);
    bool entered = false;
    // A radio that is already in test mode must not stay there when the user gives up.
    auto giveUp = [&](EntryResult r) {
        if (r == EntryResult::Cancelled && entered) protocol_.leaveRadioMode();
        fail(r);
        return false;
    };
    while (true) {
        if (!run(TestOp::EnterTuning)) return giveUp(EntryResult::Cancelled);
        entered = true;
        entry_ = EntryResult::Ok;
        Outcome o = Outcome::Refused;
        if (!retryFrames([&] { return (o = perform(TestOp::Identify)) != Outcome::FrameFailed; }))
            o = Outcome::Refused;
        if (o == Outcome::RetryEntry) continue;
        if (o != Outcome::Ok) {
            // A refused identification has already left test mode and told the user.
            if (entry_ != EntryResult::Ok) return false;
            return giveUp(EntryResult::Cancelled);
        }
        break;
    }
    for (TestOp op : {TestOp::Option22, TestOp::ReadStatus, TestOp::CompareChannels, TestOp::Volume}) {
        entry_ = EntryResult::Ok;
        if (!run(op)) return entry_ != EntryResult::Ok ? false : giveUp(EntryResult::Cancelled);
    }
    channel_ = std::max(firstMatch_, 0);
    signalling_ = 0;
    spacing_ = 0;
    if (!run(TestOp::Channel) || !run(TestOp::Signalling)) return giveUp(EntryResult::Cancelled);
    return true;
}

bool TestModeSession::run(TestOp op) {
    Outcome o = Outcome::FrameFailed;
    return retryFrames([&] { return (o = perform(op)) != Outcome::FrameFailed; }) && o == Outcome::Ok;
}

bool TestModeSession::retryFrames(const std::function<bool()>& attempt) {
    while (true) {
        ui_.pumpMessages();
        if (attempt()) return true;
        const MsgAnswer a = ui_.show(errorMessage(texts_, kTextTestNoAnswer, MsgButtons::RetryCancel));
        ui_.repaint();
        if (a != MsgAnswer::Retry) return false;
    }
}

TestModeSession::Outcome TestModeSession::perform(TestOp op) {
    auto frame = [](RadioStatus s) { return ok(s) ? Outcome::Ok : Outcome::FrameFailed; };
    switch (op) {
    case TestOp::EnterTuning:
        return frame(protocol_.enterTuningMode());
    case TestOp::Leave:
        leaveFrames();
        return Outcome::Ok;
    case TestOp::CompareChannels:
        return compareChannels();
    case TestOp::ReadStatus:
        return readStatus();
    case TestOp::Identify:
        return identify();
    case TestOp::Option22:
        return frame(protocol_.acknowledgeThenSwitch22(kTestSelector, true));
    case TestOp::Volume:
        return frame(protocol_.setPValue(static_cast<Byte>(shared_.volume), dualBand()));
    case TestOp::Channel: {
        std::array<Byte, kTestChannelReplySize> reply{};
        return frame(protocol_.selectTestChannel(kTestSelector, static_cast<Byte>(channel_ + 1), reply));
    }
    case TestOp::Signalling:
        return frame(protocol_.selectTestSignalling(kTestSelector, static_cast<Byte>(signalling_ + 1)));
    case TestOp::Spacing:
        return frame(protocol_.switchOption(kTestSelector, spacing_ != 0));
    case TestOp::Transmit:
        return frame(protocol_.transmit(kTestSelector, transmit_));
    case TestOp::Compander:
        return frame(protocol_.switchOption84(compander_ != 0));
    case TestOp::BeatShift:
        return frame(protocol_.switchOption0B(beatShift_ != 0));
    case TestOp::MskRate:
        return frame(protocol_.switchMskRate(msk_ != 0));
    case TestOp::NoiseBlanker:
        return frame(protocol_.switchOption(kTestSelector, noiseBlanker_ != 0));
    }
    return Outcome::FrameFailed;
}

void TestModeSession::leaveFrames() {
    if (!ok(protocol_.leaveRadioMode())) protocol_.leaveRadioMode();
}

TestModeSession::Outcome TestModeSession::identify() {
    // Decided afresh for every radio: another radio earlier in the run says nothing about this one.
    shared_.statusExtension = false;
    Identification id{};
    if (!ok(protocol_.probeIdentification(kTestSelector, id))) return Outcome::FrameFailed;
    const ModelIdentification radio(id);
    if (!radio.isValid()) {
        leaveFrames();
        const MsgAnswer a = ui_.show(errorMessage(texts_, kTextTestUnknownModel, MsgButtons::RetryCancel));
        ui_.repaint();
        if (a == MsgAnswer::Retry) return Outcome::RetryEntry;
        fail(EntryResult::UnknownModel);
        return Outcome::Refused;
    }
    if (!identificationOf(image_).sameRadio(radio)) {
        leaveFrames();
        ui_.show(errorMessage(texts_, kTextTestRadioDiffers, MsgButtons::Ok));
        ui_.repaint();
        fail(EntryResult::RadioDiffers);
        return Outcome::Refused;
    }
    shared_.statusExtension = hasStatusExtension(id);
    return Outcome::Ok;
}

TestModeSession::Outcome TestModeSession::compareChannels() {
    firstMatch_ = -1;
    const std::span<const Byte> table = image_.main().subspan(layout::kTestFreqModel1);
    for (int i = 0; i < kTestChannelCount; ++i) {
        std::array<Byte, kTestChannelReplySize> reply{};
        if (!ok(protocol_.selectTestChannel(kTestSelector, static_cast<Byte>(i + 1), reply)))
            return Outcome::FrameFailed;
        const auto expected =
            table.subspan(static_cast<std::size_t>(i) * kTestFrequencyEntrySize, kTestFrequencyEntrySize);
        if (!std::equal(reply.begin(), reply.end(), expected.begin())) {
            leaveFrames();
            ui_.show(errorMessage(texts_, kTextTestChannelsDiffer, MsgButtons::Ok));
            ui_.repaint();
            fail(EntryResult::ChannelsDiffer);
            return Outcome::Refused;
        }
        if (firstMatch_ < 0) firstMatch_ = i;
    }
    return Outcome::Ok;
}

TestModeSession::Outcome TestModeSession::readStatus() {
    std::array<Byte, kStatusRecordSize> status{};
    std::array<Byte, 2> ext{shared_.record[33], shared_.record[34]};
    if (!ok(protocol_.readStatusRecord(kTestSelector, status))) return Outcome::FrameFailed;
    if (shared_.statusExtension && !ok(protocol_.readStatusExtension(kTestSelector, ext)))
        return Outcome::FrameFailed;
    fillAdjustmentRecord(shared_.record, status, ext);
    return Outcome::Ok;
}

void TestModeSession::end() {
    if (!portOpen_) return;
    ByteLink& link = protocol_.link();
    // Leaving test mode with the transmitter keyed would leave a carrier on the air.
    if (transmit_ || transmitUnsure_) {
        protocol_.transmit(kTestSelector, false);
        transmit_ = false;
        transmitUnsure_ = false;
    }
    leaveFrames();
    if (link.closeDelay()) ui_.waitWhilePumping(SerialPort::kCloseDelay);
    link.closeLink();
    portOpen_ = false;
    active_ = false;
}

bool TestModeSession::selectChannel(int index) {
    if (!channelDefined(index)) return true;
    channel_ = index;
    return run(TestOp::Channel);
}

bool TestModeSession::selectSignalling(int index) {
    if (index < 0 || index >= kTestSignallingCount) return true;
    signalling_ = index;
    return run(TestOp::Signalling);
}

bool TestModeSession::toggleTransmit() {
    transmit_ = !transmit_;
    transmitUnsure_ = true;
    if (!run(TestOp::Transmit)) return false;
    transmitUnsure_ = false;
    return true;
}

bool TestModeSession::setSpacing(int spacing) {
    spacing_ = spacing != 0 ? 1 : 0;
    return run(TestOp::Spacing);
}

bool TestModeSession::setNoiseBlanker(int index) {
    if (index < 0) return true; // a combo without a selection sends nothing
    noiseBlanker_ = index;
    return run(TestOp::NoiseBlanker);
}

bool TestModeSession::setCompander(int index) {
    if (index < 0) return true;
    compander_ = index;
    return run(TestOp::Compander);
}

bool TestModeSession::setBeatShift(int index) {
    if (index < 0) return true;
    beatShift_ = index;
    return run(TestOp::BeatShift);
}

bool TestModeSession::setMskRate(int index) {
    if (index < 0) return true;
    msk_ = index;
    return run(TestOp::MskRate);
}

bool TestModeSession::prepareAdjustment() {
    if (!transmit_) return true;
    transmit_ = false;
    transmitUnsure_ = true;
    if (!run(TestOp::Transmit)) return false;
    transmitUnsure_ = false;
    return true;
}

void TestModeSession::adjustmentClosed(bool transmitting) {
    transmit_ = transmitting;
    transmitUnsure_ = transmitting;
}

bool TestModeSession::channelDefined(int index) const {
    if (index < 0 || index >= kTestChannelCount) return false;
    return isFrequencySet(readFrequency(image_.main(), testFrequencyOffset(kModel1, index + 1, false)));
}

int TestModeSession::stepChannel(int from, int direction) const {
    int index = from;
    for (int i = 0; i <= kTestChannelCount; ++i) {
        index = (index + (direction < 0 ? kTestChannelCount - 1 : 1)) % kTestChannelCount;
        if (channelDefined(index)) return index;
    }
    return from;
}

std::pair<std::string, std::string> TestModeSession::channelTexts(const FrequencyCodec& codec,
                                                                  int index) const {
    return {"  " + testFrequencyText(image_, kModel1, index + 1, false, codec),
            "  " + testFrequencyText(image_, kModel1, index + 1, true, codec)};
}

} // namespace velora::comm
