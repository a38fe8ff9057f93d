#pragma once
// The operator selectable tone view: three settings and a grid of sixteen entries, each a display
// name and two QT/DQT tones. Names are typed into the grid, tones typed or chosen from the tone list.
#include <array>
#include <string_view>
#include <vector>

#include "forms/FeatureArea.h"
#include "forms/GridArea.h"

namespace velora::forms {

namespace ost {
enum Field { kBackUp = 0, kDirectOst, kNameDisplay, kFieldCount };
enum Column { kNameColumn = 1, kTone1Column = 2, kTone2Column = 3 };
inline constexpr int kEntries = 16;
inline constexpr std::size_t kNameSize = 16;
inline constexpr int kControlGrid = 1014;
// One entry as the grid menu copies it: the 16 name bytes and the two tone words.
struct Entry {
    std::array<Byte, kNameSize> name{};
    std::uint16_t tone1 = 0xFFFF;
    std::uint16_t tone2 = 0xFFFF;
};
} // namespace ost

class OperatorToneArea : public FeatureArea, public GridArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return 251; }
    int defaultHelp() const override { return 40; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int page, int field);

    // OST Name Display is shown only with the extended-capacity start option.
    bool nameDisplayShown() const;
    // Characters a name shows and takes: 14 with a head of the second display type, else 8.
    int nameLength() const;

    bool isFieldEnabled(int page, int field) const override;
    FieldEffects commitChoice(int page, int field, int value) override;
    std::vector<ValueItem> valueList(int page, int field) const override;

    // GridArea: rows 0..15 are entries 1..16; columns name, tone 1, tone 2.
    int gridRowCount(int page) const override { return page == 0 ? ost::kEntries : 0; }
    int gridRowId(int, int row) const override { return row + 1; }
    std::string gridRowTitle(int, int row) const override { return std::to_string(row + 1); }
    int gridColumnCount(int) const override { return 3; }
    int gridColumnTitleAt(int, int col) const override;
    std::string gridColumnKey(int, int col) const override;
    FieldText gridCellTextAt(int page, int row, int col) const override;
    CellEditor gridCellEditor(int, int, int col) const override;
    std::vector<std::string> gridTextChoices(int page, int row, int col) const override;
    EditFormat gridEditFormat(int page, int row, int col) const override;
    FieldEffects commitGridText(int page, int row, int col, std::string_view text) override;
    int gridCellHelpAt(int, int, int col) const override;

    // The grid menu: entries of rows, written back from `first` on (never past entry 16), and
    // clearing rows to no name and no tones.
    std::vector<ost::Entry> copyEntries(const std::vector<int>& rows) const;
    void pasteEntries(int first, const std::vector<ost::Entry>& entries);
    void clearEntries(const std::vector<int>& rows);

  private:
    Byte at(std::size_t offset) const;
    std::string offText() const { return text(262); }
    char decimalPoint() const;
};

} // namespace velora::forms
