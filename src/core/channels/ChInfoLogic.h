#pragma once
// The channel information view without its window: one group at a time as a grid with one row per
// channel number, which editor a cell opens, what a commit stores, the group stepping, the row
// commands (copy, paste, delete, insert, renumber) and the texts of title, free area and group name.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "channels/ChannelRowBuffer.h"
#include "channels/ChannelStore.h"
#include "channels/GridColumns.h"
#include "forms/CharClass.h"
#include "forms/FieldTypes.h"

namespace velora::channels {

namespace chcmd {
inline constexpr int kDelete = 32740, kCopy = 32741, kPaste = 32742, kToClip = 32797, kToClipTitle = 32811;
inline constexpr int kChannelCopy = 32798, kFrequencyCopy = 32799, kToneCopy = 32800, kGroupJump = 32801,
                     kGroupCopy = 32802, kChannelInsert = 32804, kChannelDelete = 32805, kGroupEdit = 32806,
                     kChannelEdit = 32807, kGroupUp = 32808, kGroupDown = 32809;
} // namespace chcmd

// The "Channel Function" menu: label and the key that really runs the command.
struct ChannelFunction {
    int command;
    const char* label;
    const char* keys; // portable key-sequence text
};
// In menu order; separators are entries with command 0.
const std::vector<ChannelFunction>& channelFunctions();

// Grid columns (0 is the channel number); column k > 0 shows channel field k - 1.
inline constexpr int kColRx = 1, kColTx = 2, kColDecode = 3, kColEncode = 4, kColName = 5, kColScanAdd = 6,
                     kColSignalling = 7, kChInfoCols = 8;
inline constexpr std::array<grid::GridColumn, kChInfoCols> kChInfoColumns{{
    {259, 40, grid::kAlignCentre, true},
    {348, 90, grid::kAlignRight, true},
    {349, 90, grid::kAlignRight, true},
    {551, 85, grid::kAlignRight, true},
    {550, 85, grid::kAlignRight, true},
    {350, 120, grid::kAlignLeft, false},
    {351, 75, grid::kAlignCentre, true},
    {352, 85, grid::kAlignCentre, true},
}};

enum class CellEditor { Text, Tone, Choice };

// The editor a cell opens: the column may differ from the one asked (an empty row always edits
// its receive frequency, the encode tone of a receive-only channel its transmit frequency).
struct EditStart {
    int col = 0;
    CellEditor editor = CellEditor::Text;
    forms::CharClass charClass = forms::CharClass::Any;
    int maxLength = 0;
    bool nameFont = false;
    std::vector<int> choices; // choice editor: item texts, the index is the stored value
};

// What a change asks the views to show again.
struct ChInfoRefresh {
    bool row = false; // the row that was edited
    bool allRows = false;
    bool freeArea = false;
    bool groupName = false;
    unsigned otherViews = 0; // forms::views bits
    bool any() const { return row || allRows || freeArea || groupName || otherViews; }
};

// Views that show channel references and must follow channel changes.
inline constexpr unsigned kChannelDependents = forms::views::kRemoteList | forms::views::kRepeaterList |
                                               forms::views::kOptionalFeatures | forms::views::kScanInfo |
                                               forms::views::kEmergency;

inline constexpr int kGroupCount = 160;
inline constexpr int kMsgNarrowOnEntry = 555;

class ChInfoLogic {
  public:
    ChInfoLogic(ChannelStore& store, MessageBoxes& boxes) : store_(store), boxes_(boxes) {}

    int group() const { return group_; }
    void setGroup(int g);
    // Grid row of the current cell; the current channel is row - 1.
    void setCurrentRow(int row);
    int channel() const { return channel_; }
    int rows() const { return store_.perGroupLimit() + 1; }

    void groupUp() { setGroup((group_ + 1) % kGroupCount); }
    void groupDown() { setGroup((group_ + kGroupCount - 1) % kGroupCount); }

    std::string title() const;
    std::string freeAreaText() const;
    std::string groupNameText() const { return store_.groupNameText(group_); }
    // The seven field texts of a grid row; empty texts for a row without a channel.
    std::array<std::string, 7> rowTexts(int row) const;

    // Which editor the cell opens, none on a fixed cell or the name column with names switched off.
    std::optional<EditStart> startEditing(int row, int col) const;
    // Whether a typed character on the cell opens its editor.
    bool keyOpensEditor(int row, int col, char32_t typed, char decimalPoint) const;
    // Cells Enter moves on after a commit in the column (past the encode column of a receive-only channel).
    int enterAdvance(int row, int col) const;

    // Text editor or tone edit text leaving the cell; text the user did not edit stores nothing.
    ChInfoRefresh commitText(int row, int col, const std::string& text, bool modified);
    // A list choice: tone list position (tone columns) or item index (scan add, signalling).
    ChInfoRefresh commitChoice(int row, int col, int index);

    // Whether a command may run now (dialogs need their channel, tone or group).
    bool commandApplies(int command) const;
    ChInfoRefresh insertChannelNumber();
    ChInfoRefresh removeChannelNumber();

    // Row commands on grid rows first..last.
    void copyRows(grid::ChannelRowBuffer& buffer, int first, int last) const;
    // Pastes at startRow; pasted channels follow the narrow-band rule like typed ones (message 555
    // once when a channel had to be made narrow).
    ChInfoRefresh pasteRows(const grid::ChannelRowBuffer& buffer, int startRow);
    ChInfoRefresh deleteRows(int first, int last);
    std::string clipText(int first, int last, bool withTitle) const;

    // Help topic of a grid column.
    static int helpTopic(int col);
    static constexpr int kHelpView = 31, kHelpChannelEdit = 47, kHelpGroupEdit = 46;

    ChannelStore& store() { return store_; }
    const ChannelStore& store() const { return store_; }

  private:
    bool exists(int row) const { return store_.channelExists(group_, row - 1); }
    bool hasTx(int row) const;

    ChannelStore& store_;
    MessageBoxes& boxes_;
    int group_ = 0;
    int channel_ = 0;
};

} // namespace velora::channels
