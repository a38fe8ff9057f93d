#pragma once
// The channel edit view's fields: every setting of one channel, including those the channel grid
// has no column for, as a table of field descriptors run by the form-view pattern. The channel is
// the channel information view's current one; moving here moves the grid.
#include <array>

#include "channels/ChannelStore.h"
#include "forms/FeatureArea.h"

namespace velora::channels {

namespace chedit {
enum Field {
    kGroup = 0,
    kChannel,
    kRx,
    kTx,
    kDecode,
    kEncode,
    kName,
    kPower,
    kBandwidth,
    kSignalling,
    kScrambler,
    kRemote,
    kRepeater,
    kBusyLockout,
    kPttId,
    kScanAdd,
    kBeatShift,
    kCompander,
    kPriority1,
    kPriority2,
    kHome,
    kEmergency,
    kFieldCount
};
inline constexpr int kMsgCompanderOff = 228;
} // namespace chedit

class ChEditArea : public forms::FeatureArea {
  public:
    ChEditArea(ChannelStore& store, MessageBoxes& boxes);

    void setChannel(int g, int c);
    int group() const { return group_; }
    int channel() const { return channel_; }
    bool channelExists() const { return store_.channelExists(group_, channel_); }

    int titleText() const override { return 369; }
    int defaultHelp() const override { return 47; }
    std::span<const forms::FieldPage> pages() const override;

    // Runs before every full show: the narrow-band rule without a message, so a restricted wide
    // channel shows (and becomes) narrow and its bandwidth list offers only narrow.
    void applyShowRules();

    forms::FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    forms::FieldEffects commitField(int page, int field, std::string_view text) override;
    forms::FieldEffects commitChoice(int page, int field, int value) override;
    forms::FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    std::vector<forms::ValueItem> valueList(int page, int field) const override;
    forms::EditFormat editFormat(int page, int field) const override;

    // The bandwidth list losing the focus: a wide channel cannot keep the compander (message 228).
    forms::FieldEffects leaveField(int page, int field) override;

  private:
    int unit() const; // radio unit of the channel (0 model 1, 1 model 2)
    bool hasBandwidthChoice() const;
    std::uint16_t flags(std::size_t at) const;
    void setFlags(std::size_t at, std::uint16_t v);
    forms::FieldEffects channelChanged(int field) const;

    ChannelStore& store_;
    int group_ = 0;
    int channel_ = 0;
    bool restricted_ = false;
};

} // namespace velora::channels
