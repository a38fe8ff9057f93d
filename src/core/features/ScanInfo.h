#pragma once
// The scan information view's fields: the two priority modes with their group/channel pairs,
// look-back, dropout-delay and dwell times in tenths of a second, the revert channel, group scan,
// priority quick scan and the scan switches. All single bytes of the common settings block.
#include <array>
#include <string_view>

#include "channels/ChannelStore.h"
#include "features/GroupChannelPair.h"
#include "forms/FeatureArea.h"

namespace velora::forms {

namespace scan {
enum Field {
    kPriority1 = 0,
    kPriority2,
    kPriority1Group,
    kPriority1Channel,
    kPriority2Group,
    kPriority2Channel,
    kLookBackA,
    kLookBackB,
    kRevert,
    kDropoutDelay,
    kDwell,
    kGroupScan,
    kQuickScan,
    kPriority1TempDa,
    kPriority2TempDa,
    kOffHookScan,
    kRevertDisplay,
    kFieldCount
};
// Priority modes (bytes 0x00 and 0x01).
inline constexpr int kModeOff = 0;
inline constexpr int kModeFixed = 1;
inline constexpr int kModeSelected = 2;
inline constexpr int kModeOperator = 3;
} // namespace scan

class ScanInfoArea : public FeatureArea {
  public:
    ScanInfoArea(ChannelStore& store, MessageBoxes& boxes);

    int titleText() const override { return 246; }
    int defaultHelp() const override { return 34; }
    std::span<const FieldPage> pages() const override;
    // Stable names of the fields ("look_back_time_b"), for scripts.
    static std::string_view fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects commitChoice(int page, int field, int value) override;
    FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    FieldEffects leaveField(int page, int field) override;
    std::vector<ValueItem> valueList(int page, int field) const override;

  private:
    int mode(int priority) const; // byte 0x00 or 0x01
    GroupChannelPair& pairOf(int field);
    FieldEffects commitPair(int field, std::string_view text);
    char decimalPoint() const;

    ChannelStore& store_;
    std::array<GroupChannelPair, 2> pairs_{GroupChannelPair(GroupChannelPair::Slot::Priority1),
                                           GroupChannelPair(GroupChannelPair::Slot::Priority2)};
};

} // namespace velora::forms
