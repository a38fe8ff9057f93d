#pragma once
// The 2-tone view's fields: three sequential-tone decode codes, one tab page each with the same
// twelve fields (two decoders' call format and type, tones A/B/C in hertz, call alert, transpond,
// auto reset). Every tone keeps beside its frequency a block of decoder coefficients computed
// from it.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "forms/FeatureArea.h"

namespace velora::forms {

namespace twotone {
enum Field {
    kDecoder1Frame = 0,
    kFormat1,
    kType1,
    kDecoder2Frame,
    kFormat2,
    kType2,
    kToneA,
    kToneB,
    kToneC,
    kCallAlert,
    kTranspond,
    kAutoReset,
    kFieldCount
};
inline constexpr int kCodes = 3;

// Tone frequencies in tenths of a hertz.
inline constexpr int kToneMin = 2885;
inline constexpr int kToneMax = 28400;

// Three bytes of packed decimal, tenths of a hertz: units/tenths, hundreds/tens, thousands.
std::array<Byte, 3> encodeToneFrequency(int tenths);
int decodeToneFrequency(std::span<const Byte> area, std::size_t offset);

// The 7-byte decoder coefficient block of a tone: C1, C2, gain (16-bit little-endian), samples.
std::array<Byte, 7> toneCoefficients(int tenths);

// The call-alert mode (0, 1, 2) and transpond switch share two bytes P and Q; the DTMF decoder
// stores them the same way.
struct AlertTranspond {
    int alert = 0;
    bool transpond = false;
};
AlertTranspond readAlertPair(Byte p, Byte q);
std::pair<Byte, Byte> alertPairBytes(AlertTranspond v);
// The call-alert list shared with the DTMF decoder.
std::span<const ValueItem> callAlertList();
} // namespace twotone

class TwoToneArea : public FeatureArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return 248; }
    int defaultHelp() const override { return 36; }
    // Page k edits code k; the pages share one layout.
    std::span<const FieldPage> pages() const override;
    static std::string fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects commitChoice(int page, int field, int value) override;
    FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    std::vector<ValueItem> valueList(int page, int field) const override;

    // Run when the view opens or is activated: a code whose decoders share one format turns
    // decoder 2 off. True when anything changed.
    bool resolveEqualFormats();

  private:
    Byte at(std::size_t offset) const;
    void storeTone(int code, int field, int tenths);
    void storeAlertPair(int code, twotone::AlertTranspond v);
};

} // namespace velora::forms
