#pragma once
// The embedded message: two free lines of 32 characters stored with the data set, blank-padded,
// a cleared line being 32 bytes of 0xFF.
#include <array>
#include <string_view>

#include "forms/FeatureArea.h"

namespace velora::forms {

namespace embmsg {
enum Field { kLine1 = 0, kLine2, kFieldCount };
inline constexpr std::size_t kLineLength = 32;
} // namespace embmsg

// The stored bytes of line 1 or 2 with 0xFF turned into NUL, as the report prints them.
std::array<Byte, embmsg::kLineLength> embeddedMessageLine(const Document& doc, int line);

class EmbeddedMessageArea : public FeatureArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return 167; }
    int defaultHelp() const override { return 45; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
};

} // namespace velora::forms
