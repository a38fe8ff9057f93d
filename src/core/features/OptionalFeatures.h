#pragma once
// The optional features view's fields: radio-wide options of the common settings block (text
// sizes, volume, squelch, power-on text and tones, home channel, horn alert, external PTT, PTT ID)
// on two pages. What a field offers follows the model: a 14-character head widens the text
// sizes and the power-on text, a second head, low-band units and option boards enable fields.
#include <array>
#include <string_view>

#include "channels/ChannelStore.h"
#include "features/GroupChannelPair.h"
#include "forms/FeatureArea.h"

namespace velora::forms {

namespace options {
enum Page { kGeneral = 0, kTones = 1 };
enum GeneralField {
    kChannelTextSize = 0,
    kGroupTextSize,
    kMinimumVolume,
    kSquelch,
    kPowerOnText,
    kRollOver,
    kSmallDigit,
    kTimedPowerOff,
    kTxAudioMonitor,
    kHomeGroup,
    kHomeChannel,
    kNoiseBlanker,
    kBusyLockOverride,
    kOffHookDecode,
    kHornAlertBackup,
    kOffHookHornAlert,
    kChannelTracking,
    kClearToTranspond,
    kExtPttMicMute,
    kExtPttQt,
    kExtPttSte,
    kHornAlertFrame,
    kLogicSignal,
    kLogicSignalTime,
    kSeparator,
    kGeneralCount
};
enum ToneField {
    kToneFrame = 0,
    kPowerOnTone,
    kControlTone,
    kWarningTone,
    kAlertTone,
    kModeFrame,
    kPanelTest,
    kClone,
    kMainProgramming,
    kPttIdFrame,
    kIdFormat,
    kPttId,
    kConnectId,
    kDisconnectId,
    kDialId,
    kInhibitIdInTa,
    kToneCount
};
inline constexpr int kTextSizeOff = 262;
} // namespace options

class OptionalFeaturesArea : public FeatureArea {
  public:
    OptionalFeaturesArea(ChannelStore& store, MessageBoxes& boxes);

    int titleText() const override { return 245; }
    int defaultHelp() const override { return 32; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects commitChoice(int page, int field, int value) override;
    FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    FieldEffects leaveField(int page, int field) override;
    std::vector<ValueItem> valueList(int page, int field) const override;
    EditFormat editFormat(int page, int field) const override;
    NumericRange range(int page, int field) const override;

  private:
    bool largeHead() const;
    bool lowBandUnit() const;
    int textSizeMax() const;
    Byte at(std::size_t offset) const;
    // The other text size takes what this one leaves of the display.
    void coupleTextSizes(int field);
    FieldEffects commitTextSize(int field, std::string_view text);
    FieldEffects commitGeneral(int field, std::string_view text);
    FieldEffects commitTones(int field, std::string_view text);

    ChannelStore& store_;
    GroupChannelPair home_{GroupChannelPair::Slot::Home};
};

} // namespace velora::forms
