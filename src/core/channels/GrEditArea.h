#pragma once
// The group edit view's fields: name, time-out timer with pre-alert, rekey and reset times,
// group signalling and group scan add of the channel information view's current group.
#include "channels/ChannelStore.h"
#include "forms/FeatureArea.h"

namespace velora::channels {

namespace gredit {
enum Field { kName = 0, kTimer, kPreAlert, kRekey, kReset, kSignalling, kScanAdd, kFieldCount };
}

class GrEditArea : public forms::FeatureArea {
  public:
    GrEditArea(ChannelStore& store, MessageBoxes& boxes);

    void setGroup(int g);
    int group() const { return group_; }
    // "Group Edit [ Group - n ]"
    std::string windowTitle() const;

    int titleText() const override { return 359; }
    int defaultHelp() const override { return 46; }
    std::span<const forms::FieldPage> pages() const override;

    forms::FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    forms::FieldEffects commitField(int page, int field, std::string_view text) override;
    forms::FieldEffects commitChoice(int page, int field, int value) override;
    forms::FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    std::vector<forms::ValueItem> valueList(int page, int field) const override;
    forms::EditFormat editFormat(int page, int field) const override;

  private:
    Byte recordByte(int i) const;
    void setRecordByte(int i, Byte v);

    ChannelStore& store_;
    int group_ = 0;
};

} // namespace velora::channels
