#pragma once
// Test mode: puts the radio into its test mode, checks that it is the radio of the data set, and
// then selects test channels and signallings, switches the transmitter and the radio's options.
// Every radio action runs through one operation runner that asks the user to retry a failed frame;
// a cancelled action ends test mode. The dialogs only show this state and forward the user's input.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/TextSource.h"
#include "comm/RadioProtocol.h"
#include "comm/TransferUi.h"
#include "model/MemoryImage.h"

namespace velora {
class FrequencyCodec;
}

namespace velora::comm {

// Language texts of test mode.
inline constexpr int kTextTestPortCannotOpen = 208;
inline constexpr int kTextTestNoAnswer = 209;
inline constexpr int kTextTestUnknownModel = 210;
inline constexpr int kTextTestChannelsDiffer = 211;
inline constexpr int kTextTestRadioDiffers = 212;

inline constexpr Byte kTestSelector = kSelectorDeck1;
inline constexpr int kTestChannelCount = 16;
inline constexpr int kTestSignallingCount = 9;
inline constexpr int kEntryVolume = 20;
inline constexpr int kAdjustmentItemCount = 16;

// What test mode and tuning need from their window besides message boxes: messages pumped before
// each radio action, the close-delay wait, and a repaint after each prompt.
class TestModeUi : public TransferUi {
  public:
    void showProgress(int, int, int) override {}
    virtual void repaint() {}
};

// The adjustment values: the radio's 32-byte status record and its 2 extension bytes rearranged so
// that each item, point and channel spacing has one byte, and the volume in the last byte.
inline constexpr std::size_t kAdjustmentRecordSize = 36;
inline constexpr std::size_t kRecordVolume = 35;
using AdjustmentRecord = std::array<Byte, kAdjustmentRecordSize>;

// Values of the whole run that test mode sets and tuning uses.
struct TestModeShared {
    bool statusExtension = false; // the radio reports two more adjustment values
    int volume = kEntryVolume;
    AdjustmentRecord record{};
};

// Rearranges a status record (and its extension bytes) into the record; the volume byte is kept.
void fillAdjustmentRecord(AdjustmentRecord& record, const std::array<Byte, kStatusRecordSize>& status,
                          const std::array<Byte, 2>& extension);

// Whether this radio reports the two extension bytes: a version nibble above 0 on a VHF radio.
bool hasStatusExtension(const Identification& id);

// Help contexts of the test-mode dialog: the dialog's own, and those of the controls F1 is pressed on.
namespace testhelp {
inline constexpr int kDialog = 53, kChannel = 3001, kSignalling = 3002, kSpacing = 3003, kNoiseBlanker = 3007,
                     kPrint = 3040;
} // namespace testhelp

// The operations of the runner. The numbers are those the help and the log name.
enum class TestOp {
    EnterTuning = 0,
    Leave = 1,
    CompareChannels = 2,
    ReadStatus = 3,
    Identify = 4,
    Option22 = 6,
    Volume = 7,
    Channel = 10,
    Signalling = 11,
    Spacing = 12,
    Transmit = 13,
    Compander = 14,
    BeatShift = 15,
    MskRate = 16,
    NoiseBlanker = 17,
};

enum class EntryResult {
    Ok,
    PortFailed,    // text 208 was shown
    Cancelled,     // the user cancelled a retry prompt
    UnknownModel,  // the radio's model or band is not in the catalogue, user cancelled
    RadioDiffers,  // text 212 was shown
    ChannelsDiffer // text 211 was shown
};

// Keys that test mode handles itself, and where the focus is when they come.
enum class TestModeKey { Space, Enter };
enum class TestModeFocus { Close, Help, Transmit, Print, AdjustmentList, Other };
enum class TestModeKeyAction { None, ToggleTransmit, OpenAdjustment, NextControl };
TestModeKeyAction testModeKeyAction(TestModeKey key, TestModeFocus focus);

// RX and TX texts of a test signalling index, each after two blanks.
std::pair<std::string, std::string> signallingTexts(const TextSource& texts, int index);
// Why this radio does not offer an adjustment item; empty when it does. The dialog's list and the
// command line both follow it.
std::string adjustmentItemRefusal(int item, std::uint8_t bandCode1, bool statusExtension);
// The adjustment items listed for this data set and radio, in item order.
std::vector<int> availableAdjustmentItems(std::uint8_t bandCode1, bool statusExtension);
// Low-band radios offer the noise blanker instead of the channel spacing.
bool offersNoiseBlanker(std::uint8_t bandCode1);

class TestModeSession {
  public:
    TestModeSession(RadioProtocol& protocol, const TextSource& texts, TestModeUi& ui, TestModeShared& shared,
                    const MemoryImage& image);

    // Reopens the port and runs the entry sequence. Anything but Ok has told the user why and leaves
    // the port closed.
    EntryResult begin();
    // Leaves test mode: the transmitter off if it is (or may be) on, 'E', the close delay, and the
    // port closed. Safe to call more than once.
    void end();
    bool active() const { return active_; }

    // The operation runner: true when the frames went through, false when the user cancelled
    // (test mode must then end).
    bool run(TestOp op);
    // Every radio action of test mode and tuning: `attempt` is made until it reports success, and
    // after each failure the user is asked whether to retry. False when the user cancels.
    bool retryFrames(const std::function<bool()>& attempt);

    // User actions. Each returns false when a cancelled prompt ends test mode.
    bool selectChannel(int index);    // 0..15, only a defined test channel
    bool selectSignalling(int index); // 0..8
    bool toggleTransmit();
    bool setSpacing(int spacing); // 0 wide, 1 narrow
    bool setNoiseBlanker(int index);
    bool setCompander(int index);
    bool setBeatShift(int index);
    bool setMskRate(int index);
    // Switches the transmitter off before an adjustment item opens; false when cancelled.
    bool prepareAdjustment();
    // What the adjustment dialog hands back when it closes.
    void adjustmentClosed(bool transmitting);

    // Next defined test channel from `from` in direction +1 or -1, cyclically; `from` itself when
    // no other is defined.
    int stepChannel(int from, int direction) const;
    bool channelDefined(int index) const;
    // "  148.00000" and "  148.10000" for a test channel, from the data set.
    std::pair<std::string, std::string> channelTexts(const FrequencyCodec& codec, int index) const;

    int channel() const { return channel_; }
    int signalling() const { return signalling_; }
    bool transmitting() const { return transmit_; }
    int spacing() const { return spacing_; }
    int firstMatchingChannel() const { return firstMatch_; }
    const TestModeShared& shared() const { return shared_; }
    TestModeShared& shared() { return shared_; }
    RadioProtocol& protocol() { return protocol_; }
    TestModeUi& ui() { return ui_; }
    const TextSource& texts() const { return texts_; }
    bool dualBand() const;

  private:
    enum class Outcome { Ok, FrameFailed, Refused, RetryEntry };
    Outcome perform(TestOp op);
    Outcome identify();
    Outcome compareChannels();
    Outcome readStatus();
    void leaveFrames(); // 'E', once more when the first is not acknowledged
    bool runEntry();
    void fail(EntryResult r) { entry_ = r; }

    RadioProtocol& protocol_;
    const TextSource& texts_;
    TestModeUi& ui_;
    TestModeShared& shared_;
    const MemoryImage& image_;
    bool active_ = false;
    bool portOpen_ = false;
    EntryResult entry_ = EntryResult::Ok;
    int channel_ = 0;
    int signalling_ = 0;
    bool transmit_ = false;
    bool transmitUnsure_ = false; // a transmitter frame failed: the radio may be sending
    int spacing_ = 0;
    int noiseBlanker_ = 0;
    int compander_ = 0;
    int beatShift_ = 0;
    int msk_ = 0;
    int firstMatch_ = -1;
};

} // namespace velora::comm
