#pragma once
// The DTMF view's fields: dialling speed and digit times, the DTMF switches (page 0), the decode
// settings with the individual, group and dead-beat-disable codes (page 1), and the nine auto-dial
// codes as a grid (page 2, available while Auto Dial is on). Digit times are stored with the
// speed's offset added, so a speed change moves them.
#include <array>
#include <string_view>
#include <vector>

#include "forms/FeatureArea.h"
#include "forms/GridArea.h"

namespace velora::forms {

namespace dtmf {
enum Page { kTiming = 0, kDecode = 1, kAutoDialPage = 2 };
enum TimingField {
    kSpeed = 0,
    kFirstDigitDelay,
    kFirstDigitTime,
    kStarHashDigitTime,
    kSideTone,
    kManualDial,
    kHoldTime,
    kKeypadAutoPtt,
    kAutoDial,
    kAutoDialProgramming,
    kTimingCount
};
enum DecodeField {
    kCallAlert = 0,
    kPrimaryCode,
    kSecondaryCode,
    kDeadBeatCode,
    kTranspond,
    kAutoReset,
    kDecodeCount
};
inline constexpr int kAutoDialCodes = 9;
inline constexpr std::size_t kAutoDialSize = 16;
inline constexpr std::size_t kCodeSize = 7;
inline constexpr int kControlGrid = 1014;
using AutoDialRecord = std::array<Byte, kAutoDialSize>;

// Digits per second of a speed index, -1 for an index outside the table.
int speedDigits(int index);
// What a speed index adds to both digit-time bytes (an index outside the table counts as 8).
int speedOffset(int index);
} // namespace dtmf

class DtmfArea : public FeatureArea, public GridArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return 247; }
    int defaultHelp() const override { return 37; }
    std::span<const FieldPage> pages() const override;
    // The auto-dial page exists while Auto Dial is on.
    bool pageAvailable(int page) const override;
    static std::string_view fieldKey(int page, int field);

    FieldText fieldText(int page, int field) const override;
    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitField(int page, int field, std::string_view text) override;
    FieldEffects commitChoice(int page, int field, int value) override;
    FieldEffects stepField(int page, int field, std::string_view text, int direction) override;
    std::vector<ValueItem> valueList(int page, int field) const override;

    // GridArea: the auto-dial codes on page 2, one typed column; rows 0..8 are codes 1..9.
    int gridColumnTitleAt(int, int) const override { return 515; }
    int gridRowCount(int page) const override {
        return page == dtmf::kAutoDialPage ? dtmf::kAutoDialCodes : 0;
    }
    int gridRowId(int, int row) const override { return row + 1; }
    std::string gridRowTitle(int, int row) const override { return std::to_string(row + 1); }
    FieldText gridCellTextAt(int page, int row, int col) const override;
    int gridCellHelpAt(int, int, int) const override { return 540; }
    CellEditor gridCellEditor(int, int, int) const override { return CellEditor::Text; }
    EditFormat gridEditFormat(int, int, int) const override;
    // A code holding a blank is refused; an empty one clears the row.
    FieldEffects commitGridText(int page, int row, int col, std::string_view text) override;

    // The grid menu: the 16-byte records of rows, written back from `first` on (never past the
    // last row), and clearing rows to no code.
    std::vector<dtmf::AutoDialRecord> copyAutoDial(const std::vector<int>& rows) const;
    void pasteAutoDial(int first, const std::vector<dtmf::AutoDialRecord>& records);
    void clearAutoDial(const std::vector<int>& rows);

  private:
    Byte at(std::size_t offset) const;
    bool on(std::size_t offset) const { return at(offset) == 1; }
    int offset() const;
    void setSpeedIndex(int index);
    FieldEffects commitTiming(int field, std::string_view text);
};

} // namespace velora::forms
