#pragma once
// Tuning one adjustment item of the radio from test mode: the item table, where each item's value
// lives in the adjustment record, the texts of the adjustment dialog, and the session that starts
// the item, steps its value, switches the transmitter and the volume, changes the adjustment point
// and stops the item. Every change goes to the radio at once; nothing touches the memory image.
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "comm/TestMode.h"

namespace velora::comm {

struct AdjustmentItem {
    int nameText;
    std::array<Byte, 4> codes; // command code of each adjustment point (tab)
    int tabs;
    bool transmitAllowed;
    int help;
};

inline constexpr std::array<AdjustmentItem, kAdjustmentItemCount> kAdjustmentItems{{
    {103, {0x20}, 1, true, 3011},
    {104, {0x32}, 1, true, 3012},
    {105, {0x33}, 1, true, 3013},
    {106, {0x12}, 1, true, 3014},
    {107, {0x30}, 1, true, 3025},
    {108, {0x31}, 1, true, 3026},
    {109, {0x14}, 1, true, 3015},
    {110, {0x18}, 1, true, 3016},
    {111, {0x17, 0x24, 0x25, 0x26}, 4, true, 3017},
    {112, {0x19}, 1, true, 3018},
    {113, {0x1A}, 1, true, 3019},
    {114, {0x1D}, 1, true, 3020},
    {115, {0x3A}, 1, true, 3024},
    {116, {0x1F, 0x35, 0x36, 0x39}, 4, false, 3021},
    {117, {0x16}, 1, false, 3023},
    {118, {0x13}, 1, false, 3022},
}};

inline constexpr int kTextVolume = 197;
inline constexpr int kTextNotBack = 693; // Cancel left the radio off the value it had
inline constexpr int kTextValue = 196;
inline constexpr std::array<int, 4> kTabTexts{198, 199, 201, 203};
inline constexpr int kMinValue = 1, kMaxValue = 255, kMaxVolume = 255;

// A value or volume moved into its range, and whether it had to be moved, so that the caller can
// say so.
struct Limited {
    int value;
    bool clamped;
};
Limited limitValue(int asked);  // 1..255
Limited limitVolume(int asked); // 0..255

// Whether the item keeps a value for each channel spacing (wide and narrow).
bool adjustmentPerSpacing(int item);
// Byte of the adjustment record that holds the item's value for this point and channel spacing.
std::size_t adjustmentRecordIndex(int item, int tab, int spacing);
// The item's name, with "(Wide)" or "(Narrow)" for items stored per channel spacing.
std::string adjustmentTitle(const TextSource& texts, int item, int spacing);
// "  Value :  97" above a bar; the volume group uses the same form.
std::string adjustmentValueText(const TextSource& texts, int value);
// The fixed RX and TX texts of an item's point for model 1's band, each after two blanks; nothing
// when the point shows the current test channel.
std::optional<std::pair<std::string, std::string>> adjustmentFrequencyTexts(int item, int tab,
                                                                            std::uint8_t bandCode1);

enum class AdjustmentKey { Right, Left, Up, Down, Space, CtrlTab };
enum class AdjustmentFocus { Ok, Cancel, Transmit, Help, TabStrip, Other };
struct AdjustmentKeyAction {
    enum class Kind { None, Value, Volume, Transmit, NextTab };
    Kind kind = Kind::None;
    int delta = 0;
};
AdjustmentKeyAction adjustmentKeyAction(AdjustmentKey key, AdjustmentFocus focus, int item,
                                        bool transmitting);

enum class TuneOp { Start = 0, Stop = 1, Restore = 2, Transmit = 3, ChangeTab = 4, Step = 10, Volume = 20 };

class AdjustmentSession {
  public:
    AdjustmentSession(TestModeSession& testMode, int item);

    // Starts the item in the radio; false when the user cancelled (the dialog is not shown).
    bool open();
    // Moves the value to `value` (1..255) with single steps. A failed step asks to retry; a retry
    // sends only the steps the radio has not taken, and a cancel keeps the value the radio reached.
    // False when cancelled: the dialog then takes its Cancel path.
    bool setValue(int value);
    bool setVolume(int volume);
    bool toggleTransmit();
    bool setTab(int tab);
    // OK: stops the item; false when cancelled.
    bool accept();
    // Cancel path, unless an earlier operation was cancelled: steps every point moved since opening
    // back to the value it had then, puts the test channel and signalling back (which reads the
    // values again), warns when the radio does not hold the opening values, and stops the item.
    // Returns true when test mode must close as well.
    bool cancel();

    // Why the item cannot transmit or has no such point; empty when it can.
    std::string transmitRefusal() const;
    std::string tabRefusal(int tab) const;

    int item() const { return item_; }
    const AdjustmentItem& info() const { return kAdjustmentItems[static_cast<std::size_t>(item_)]; }
    int tab() const { return tab_; }
    int value() const { return value_; }
    int volume() const { return testMode_.shared().volume; }
    bool transmitting() const { return transmit_; }
    // Also true when a transmitter frame failed, so whoever leaves test mode switches it off.
    bool transmitterMayBeOn() const { return transmit_ || transmitUnsure_; }
    bool failed() const { return failed_; }
    int spacing() const { return spacing_; }
    // Value stored for a point of this item (at the current spacing).
    int storedValue(int tab) const;

  private:
    enum class Outcome { Ok, FrameFailed };
    bool run(TuneOp op, int arg = 0);
    Outcome perform(TuneOp op, int arg);
    bool transmitterOff();
    bool stepBack();
    void warnUnlessBack();
    void applySteps(int steps);
    Byte code(int tab) const { return info().codes[static_cast<std::size_t>(tab)]; }
    Byte& stored(int tab);

    TestModeSession& testMode_;
    TestModeShared& shared_;
    RadioProtocol& protocol_;
    int item_;
    int tab_ = 0;
    int spacing_;
    int value_ = kMinValue;
    bool transmit_ = false;
    bool transmitUnsure_ = false;
    bool failed_ = false;
    std::array<Byte, 4> snapshot_{};
    std::array<int, 4> opened_{}; // each point's value when the item was opened
};

} // namespace velora::comm
