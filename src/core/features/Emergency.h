#pragma once
// The emergency view's fields: the emergency group/channel (in use while a key holds the emergency
// function), active and interval times, locator tones, mode and type, and by type either the
// emergency DTMF ID or the Dravix fleet and ID to call. The emergency frame follows the call values.
#include <string_view>

#include "channels/ChannelStore.h"
#include "features/GroupChannelPair.h"
#include "forms/FeatureArea.h"

namespace velora::forms {

namespace emergency {
enum Field {
    kGroup = 0,
    kChannel,
    kActiveTime,
    kIntervalTime,
    kLocatorTone1,
    kLocatorTone2,
    kModeType,
    kType,
    kDtmfId,
    kCallFleet,
    kCallId,
    kChannelDisplay,
    kFieldCount
};
// Emergency types.
inline constexpr Byte kTypeNone = 0xFF, kTypeDtmf = 0, kTypeDravix = 1, kTypeDataBoard = 2;
inline constexpr std::size_t kDtmfIdSize = 16;
inline constexpr int kMsgNoEmergencyKey = 224;
} // namespace emergency

class EmergencyArea : public FeatureArea {
  public:
    EmergencyArea(ChannelStore& store, MessageBoxes& boxes);

    int titleText() const override { return 252; }
    int defaultHelp() const override { return 39; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int page, int field);

    // Message the view shows when it opens (224: no key holds the emergency function), 0 for none.
    int openingMessage() const;

    FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects commitChoice(int page, int field, int value) override;
    std::vector<ValueItem> valueList(int page, int field) const override;

  private:
    Byte at(std::size_t offset) const;

    ChannelStore& store_;
    GroupChannelPair pair_{GroupChannelPair::Slot::Emergency};
};

} // namespace velora::forms
