#pragma once
// The remote channel list (15 entries, channels selected through the function port's remote-select
// lines) and the repeater channel list (2 entries, dual-band data sets) as grids of (group, channel)
// numbers. Both store group + 1 and channel + 1, 0xFF meaning none.
#include <string_view>

#include "channels/ChannelStore.h"
#include "forms/FeatureArea.h"
#include "forms/GridArea.h"

namespace velora::forms {

namespace chlists {
enum Column { kGroupColumn = 1, kChannelColumn = 2 };
inline constexpr int kMsgListAlready = 239;
inline constexpr int kMsgNoChannel = 241;
inline constexpr int kMsgRepeaterSameModel = 243;
inline constexpr int kMsgRemoteNotInUse = 238;
// The in-place editors of the two views.
inline constexpr int kRemoteEditor = 1025;
inline constexpr int kRepeaterEditor = 1028;
} // namespace chlists

class ChannelListArea : public FeatureArea, public GridArea {
  public:
    enum class Kind { Remote, Repeater };
    ChannelListArea(Kind kind, ChannelStore& store, MessageBoxes& boxes);

    int titleText() const override { return kind_ == Kind::Remote ? 254 : 255; }
    int defaultHelp() const override { return kind_ == Kind::Remote ? 42 : 43; }
    std::span<const FieldPage> pages() const override;
    static std::string_view fieldKey(int, int) { return {}; }

    int entries() const;
    // The repeater list applies to dual-band data sets only.
    bool applies() const;
    // Message the view shows when it opens (238: the remote list is not in use), 0 for none.
    int openingMessage() const;
    // The in-place editor's control.
    int editorControl() const {
        return kind_ == Kind::Remote ? chlists::kRemoteEditor : chlists::kRepeaterEditor;
    }

    // GridArea: rows are entries; columns group and channel, typed as numbers.
    int gridRowCount(int page) const override { return page == 0 ? entries() : 0; }
    int gridRowId(int, int row) const override { return row + 1; }
    std::string gridRowTitle(int, int row) const override { return std::to_string(row + 1); }
    int gridColumnCount(int) const override { return 2; }
    int gridColumnTitleAt(int, int col) const override;
    std::string gridColumnKey(int, int col) const override;
    FieldText gridCellTextAt(int page, int row, int col) const override;
    // A channel cell opens only while its entry has a group.
    bool isGridCellEnabledAt(int page, int row, int col) const override;
    CellEditor gridCellEditor(int, int, int) const override { return CellEditor::Text; }
    EditFormat gridEditFormat(int, int, int) const override { return {CharClass::Digits, 3, false}; }
    // Numbers that name no channel, or a channel the list already holds, are refused with the
    // view's message and change nothing.
    FieldEffects commitGridText(int page, int row, int col, std::string_view text) override;
    int gridCellHelpAt(int page, int row, int col) const override;

  private:
    std::size_t entryAt(int row) const;
    Byte groupByte(int row) const;
    Byte channelByte(int row) const;
    bool commitGroup(int row, int n);
    bool commitChannel(int row, int n);

    Kind kind_;
    ChannelStore& store_;
};

class RemoteListArea : public ChannelListArea {
  public:
    RemoteListArea(ChannelStore& store, MessageBoxes& boxes) : ChannelListArea(Kind::Remote, store, boxes) {}
};
class RepeaterListArea : public ChannelListArea {
  public:
    RepeaterListArea(ChannelStore& store, MessageBoxes& boxes)
        : ChannelListArea(Kind::Repeater, store, boxes) {}
};

} // namespace velora::forms
