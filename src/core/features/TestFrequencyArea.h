#pragma once
// The test frequency editor's area: the 16 test channels of each model (receive and transmit
// frequency) as a grid, one tab page per model (model 2's page only on a dual-band data set). A
// model left without any receive frequency gets its band's default table back, so test mode always
// has a channel to use.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "forms/FeatureArea.h"
#include "forms/GridArea.h"
#include "model/FrequencyCodec.h"
#include "model/TestFrequency.h"

namespace velora::forms {

namespace testfreq {
inline constexpr int kControlGrid = 1028;
inline constexpr int kControlEdit = 1029;
inline constexpr int kControlTabs = 1008;
inline constexpr int kColRx = 1;
inline constexpr int kColTx = 2;
inline constexpr int kTextTitle = 250;
inline constexpr int kTextNumber = 259;
inline constexpr int kTextRx = 260;
inline constexpr int kTextTx = 261;
inline constexpr int kTextRxOutOfBand = 222;
inline constexpr int kTextTxOutOfBand = 223;
inline constexpr int kTextWriteBeforeTestMode = 227;
inline constexpr int kHelpRx = 1101;
inline constexpr int kHelpTx = 1102;
inline constexpr int kHelpView = 44;
inline constexpr int kEditLength = 9;

using Entry = std::array<Byte, kTestFrequencyEntrySize>;

// The view's paste buffer: the entries copied and the model they came from.
struct Clip {
    int model = -1;
    std::vector<Entry> entries;
    bool holdsData() const { return !entries.empty(); }
};

// The reminder shown when the user closes the editor: information text 227 under the product name.
void remindToWrite(MessageBoxes& boxes);
} // namespace testfreq

class TestFrequencyArea : public FeatureArea, public GridArea {
  public:
    using FeatureArea::FeatureArea;

    int titleText() const override { return testfreq::kTextTitle; }
    int defaultHelp() const override { return testfreq::kHelpView; }
    // Page = model: page 0 model 1, page 1 model 2. Neither page has form fields.
    std::span<const FieldPage> pages() const override;
    bool pageAvailable(int page) const override;
    static std::string_view fieldKey(int, int) { return {}; }

    // GridArea: rows 0..15 are test channels 1..16, column 1 receive, column 2 transmit.
    int gridRowCount(int page) const override { return pageAvailable(page) ? kTestChannels : 0; }
    int gridRowId(int, int row) const override { return row + 1; }
    std::string gridRowTitle(int, int row) const override { return std::to_string(row + 1); }
    int gridColumnCount(int) const override { return 2; }
    int gridColumnTitleAt(int, int col) const override;
    std::string gridColumnKey(int, int col) const override;
    // The frequency text, empty when the frequency is unset.
    FieldText gridCellTextAt(int page, int row, int col) const override;
    // A transmit frequency needs the receive frequency of its entry first.
    bool isGridCellEnabledAt(int page, int row, int col) const override;
    CellEditor gridCellEditor(int, int, int) const override { return CellEditor::Text; }
    EditFormat gridEditFormat(int, int, int) const override {
        return {CharClass::Decimal, testfreq::kEditLength};
    }
    // Empty text clears both frequencies of the entry; a value outside the band is stored at the band
    // edge with text 222 or 223. A model left without receive frequencies gets its defaults back.
    FieldEffects commitGridText(int page, int row, int col, std::string_view text) override;
    int gridCellHelpAt(int, int, int col) const override;

    // The grid menu. Rows are 0-based and inclusive.
    testfreq::Clip copyEntries(int page, int first, int last) const;
    // Only into the model the entries came from.
    bool canPaste(const testfreq::Clip& clip, int page) const;
    FieldEffects pasteEntries(const testfreq::Clip& clip, int page, int first);
    FieldEffects clearEntries(int page, int first, int last);

  private:
    bool hasRx(int page, int row) const;
    // The default-table rule; the whole grid is shown again when it applied.
    FieldEffects ensureDefaults(int page);
};

} // namespace velora::forms
