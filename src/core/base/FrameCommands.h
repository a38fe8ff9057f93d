#pragma once
// The main frame's command set as data: command numbers, menus with their language texts, the
// editor list shared by the Edit menu and the navigation tree, accelerators, command states,
// help context numbers and the window title. The GUI only renders these tables.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velora {

namespace cmd {
inline constexpr int kNew = 200, kOpen = 201, kSave = 202, kSaveAs = 203, kExit = 207;
inline constexpr int kPrint = 32794, kPrintPreview = 57609;
inline constexpr int kModelInfo = 32771;
inline constexpr int kChannelInfo = 32773, kOptionalFeatures = 32774, kKeyAssignment = 32776,
                     kScanInfo = 32812, kTwoTone = 32780, kDtmf = 32779, kDravix = 32791, kEmergency = 32781,
                     kOst = 32789, kFunctionPort = 32784, kRemoteList = 32785, kRepeaterList = 32786,
                     kTestFrequency = 32787, kEmbeddedMessage = 32788;
inline constexpr int kReadRadio = 40060, kWriteRadio = 40061, kTestMode = 40064, kMemoryMap = 40006;
inline constexpr int kFleetProgramming = 40065;
inline constexpr int kCommPort = 40011;
inline constexpr int kTreeView = 40008, kToolBar = 59392, kStatusBar = 59393;
inline constexpr int kArrange = 57649, kCascade = 57650, kTileHorizontal = 57651, kTileVertical = 57652,
                     kCloseAll = 40012;
inline constexpr int kHelpTopics = 40069, kAbout = 40096;
// Grid and channel-view commands that only carry accelerators here.
inline constexpr int kGridCopy = 32741, kGridPaste = 32742;
inline constexpr int kChannelCopy = 32798, kFrequencyCopy = 32799, kToneCopy = 32800, kGroupJump = 32801,
                     kChannelDelete = 32805, kChannelEdit = 32807, kGroupUp = 32808, kGroupDown = 32809;
} // namespace cmd

inline constexpr int kSeparator = 0;

struct EditorEntry {
    int command;
    int menuText;
    int treeText;
    bool dualBandOnly;
    bool separatorAfter; // a separator follows in the Edit menu (never in the tree)
};

// Edit menu and tree order.
std::span<const EditorEntry> editorList();
const EditorEntry* findEditor(int command);

struct MenuItem {
    int command; // kSeparator for a separator
    int text;
};

struct MenuPopup {
    int text;
    bool windowMenu; // shown only while an editor is open
    std::vector<MenuItem> items;
};

// The main menu as the frame shows it; the Edit popup leaves out what the data set cannot have.
std::vector<MenuPopup> mainMenu(bool dualBand);

// Editors present in the tree for this data set, in order.
std::vector<EditorEntry> treeEditors(bool dualBand);

bool isCommandEnabled(int command, bool dualBand);

// Help context of a command, or nullopt when it has none.
std::optional<int> helpContext(int command);

struct Accelerator {
    int command;
    std::string_view keys; // portable key-sequence text, e.g. "Ctrl+N"
};
std::span<const Accelerator> accelerators();

struct ToolButton {
    int command; // kSeparator for a gap
    int toolTip;
};
std::span<const ToolButton> toolBar();

// "VELORA  [ model 1 ] [ label : file ]", with a second model bracket for a dual-band data set.
std::string frameTitle(std::string_view model1, std::optional<std::string_view> model2,
                       std::string_view fileLabel, std::string_view fileName);

// Status bar port pane.
std::string portPaneText(int port);

// The texts of one menu with an access key ("&" before a letter) each, none used twice, so Alt and
// the letter always run an item instead of leaving the menu open. An item keeps its marked letter
// unless an item before it took it; one without a free mark gets the first free initial or capital
// of its words, else its first free letter or digit ("&&" is a literal "&"; the part after a tab,
// the shortcut, is never marked). A text without any free letter keeps no mark.
std::vector<std::string> uniqueMnemonics(std::vector<std::string> texts);

} // namespace velora
