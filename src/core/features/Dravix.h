#pragma once
// The Dravix view's fields: own fleet and ID, data transmit modulation delay and side tone. The
// frames the radio sends carry fleet and ID, so a change of either rebuilds them.
#include <string_view>

#include "forms/FeatureArea.h"

namespace velora::forms {

namespace dravixview {
enum Field { kFleet = 0, kId, kTxDelay, kSideTone, kFieldCount };
inline constexpr NumericRange kFleetRange{100, 349, 1};
inline constexpr NumericRange kIdRange{1000, 4999, 1};
inline constexpr int kFleetBias = 99; // stored fleet = fleet - 99
inline constexpr int kIdBias = 999;   // stored ID = ID - 999
} // namespace dravixview

// Fleet and ID texts of stored values, empty outside their ranges; shared with the emergency view.
std::string fleetText(int stored);
std::string idText(int stored);
// Typed fleet and ID brought into range, as stored.
Byte storedFleet(std::string_view typed);
std::uint16_t storedId(std::string_view typed);

class DravixArea : public FeatureArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return 249; }
    int defaultHelp() const override { return 38; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
};

} // namespace velora::forms
