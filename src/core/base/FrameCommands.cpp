#include "base/FrameCommands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <utility>

namespace velora {

namespace {

constexpr int kTextFleetProgramming = 614;

constexpr std::array<EditorEntry, 14> kEditors{{
    {cmd::kChannelInfo, 56, 256, false, true},
    {cmd::kOptionalFeatures, 44, 245, false, false},
    {cmd::kKeyAssignment, 43, 244, false, false},
    {cmd::kScanInfo, 45, 246, false, true},
    {cmd::kTwoTone, 47, 248, false, false},
    {cmd::kDtmf, 46, 247, false, false},
    {cmd::kDravix, 48, 249, false, true},
    {cmd::kEmergency, 52, 252, false, false},
    {cmd::kOst, 51, 251, false, true},
    {cmd::kFunctionPort, 53, 253, false, false},
    {cmd::kRemoteList, 54, 254, false, false},
    {cmd::kRepeaterList, 55, 255, true, true},
    {cmd::kTestFrequency, 49, 250, false, false},
    {cmd::kEmbeddedMessage, 50, 167, false, false},
}};

constexpr std::array<std::pair<int, int>, 34> kHelpContexts{{
    {cmd::kNew, 4},
    {cmd::kOpen, 5},
    {cmd::kSave, 6},
    {cmd::kSaveAs, 7},
    {cmd::kExit, 11},
    {cmd::kModelInfo, 21},
    {cmd::kChannelInfo, 31},
    {cmd::kOptionalFeatures, 32},
    {cmd::kKeyAssignment, 33},
    {cmd::kDtmf, 37},
    {cmd::kTwoTone, 36},
    {cmd::kEmergency, 39},
    {cmd::kFunctionPort, 41},
    {cmd::kRemoteList, 42},
    {cmd::kRepeaterList, 43},
    {cmd::kTestFrequency, 44},
    {cmd::kEmbeddedMessage, 45},
    {cmd::kOst, 40},
    {cmd::kDravix, 38},
    {cmd::kPrint, 8},
    {cmd::kScanInfo, 34},
    {cmd::kTreeView, 81},
    {cmd::kCommPort, 71},
    {cmd::kCloseAll, 95},
    {cmd::kReadRadio, 51},
    {cmd::kWriteRadio, 52},
    {cmd::kTestMode, 53},
    {cmd::kPrintPreview, 9},
    {cmd::kArrange, 94},
    {cmd::kCascade, 91},
    {cmd::kTileHorizontal, 92},
    {cmd::kTileVertical, 93},
    {cmd::kToolBar, 82},
    {cmd::kStatusBar, 83},
}};

constexpr std::array<Accelerator, 17> kAccelerators{{
    {cmd::kNew, "Ctrl+N"},
    {cmd::kOpen, "Ctrl+O"},
    {cmd::kSave, "Ctrl+S"},
    {cmd::kPrint, "Ctrl+P"},
    {cmd::kReadRadio, "Ctrl+R"},
    {cmd::kTestMode, "Ctrl+T"},
    {cmd::kMemoryMap, "Ctrl+M"},
    {cmd::kGridCopy, "Ctrl+C"},
    {cmd::kGridPaste, "Ctrl+V"},
    {cmd::kChannelCopy, "Shift+F3"},
    {cmd::kFrequencyCopy, "Shift+F4"},
    {cmd::kToneCopy, "Shift+F5"},
    {cmd::kGroupJump, "Shift+F7"},
    {cmd::kChannelDelete, "Shift+F10"},
    {cmd::kGroupUp, "F7"},
    {cmd::kGroupDown, "F8"},
    {cmd::kChannelEdit, "F11"},
}};

constexpr std::array<ToolButton, 10> kToolBar{{
    {cmd::kNew, 86},
    {cmd::kOpen, 87},
    {cmd::kSave, 88},
    {kSeparator, 0},
    {cmd::kPrint, 89},
    {kSeparator, 0},
    {cmd::kReadRadio, 90},
    {cmd::kWriteRadio, 91},
    {kSeparator, 0},
    {cmd::kAbout, 7},
}};

} // namespace

std::span<const EditorEntry> editorList() {
    return kEditors;
}

const EditorEntry* findEditor(int command) {
    auto it = std::find_if(kEditors.begin(), kEditors.end(),
                           [&](const EditorEntry& e) { return e.command == command; });
    return it == kEditors.end() ? nullptr : &*it;
}

std::vector<EditorEntry> treeEditors(bool dualBand) {
    std::vector<EditorEntry> out;
    for (const auto& e : kEditors)
        if (dualBand || !e.dualBandOnly) out.push_back(e);
    return out;
}

std::vector<MenuPopup> mainMenu(bool dualBand) {
    std::vector<MenuItem> edit;
    for (const auto& e : kEditors) {
        // A left-out editor keeps its separator, so the groups stay apart.
        if (dualBand || !e.dualBandOnly) edit.push_back({e.command, e.menuText});
        if (e.separatorAfter && !edit.empty() && edit.back().command != kSeparator)
            edit.push_back({kSeparator, 0});
    }
    if (!edit.empty() && edit.back().command == kSeparator) edit.pop_back();

    return {
        {30,
         false,
         {{cmd::kNew, 31},
          {cmd::kOpen, 32},
          {cmd::kSave, 33},
          {cmd::kSaveAs, 34},
          {kSeparator, 0},
          {cmd::kPrint, 35},
          {cmd::kPrintPreview, 36},
          {kSeparator, 0},
          {cmd::kExit, 38}}},
        {39, false, {{cmd::kModelInfo, 40}}},
        {42, false, std::move(edit)},
        {59,
         false,
         {{cmd::kReadRadio, 60},
          {cmd::kWriteRadio, 61},
          {cmd::kFleetProgramming, kTextFleetProgramming},
          {cmd::kTestMode, 62},
          {cmd::kMemoryMap, 63}}},
        {66, false, {{cmd::kCommPort, 67}}},
        {68, false, {{cmd::kTreeView, 69}, {kSeparator, 0}, {cmd::kToolBar, 70}, {cmd::kStatusBar, 71}}},
        {72,
         true,
         {{cmd::kCascade, 73},
          {cmd::kTileHorizontal, 74},
          {cmd::kTileVertical, 75},
          {cmd::kArrange, 76},
          {kSeparator, 0},
          {cmd::kCloseAll, 77}}},
        {78, false, {{cmd::kHelpTopics, 79}, {kSeparator, 0}, {cmd::kAbout, 80}}},
    };
}

bool isCommandEnabled(int command, bool dualBand) {
    if (command == cmd::kRepeaterList) return dualBand;
    if (command == cmd::kTestMode) return !dualBand;
    return true;
}

std::optional<int> helpContext(int command) {
    for (const auto& [c, ctx] : kHelpContexts)
        if (c == command) return ctx;
    return std::nullopt;
}

std::span<const Accelerator> accelerators() {
    return kAccelerators;
}

std::span<const ToolButton> toolBar() {
    return kToolBar;
}

std::string frameTitle(std::string_view model1, std::optional<std::string_view> model2,
                       std::string_view fileLabel, std::string_view fileName) {
    std::string t = "VELORA  [ ";
    t += model1;
    t += " ]";
    if (model2) {
        t += " [ ";
        t += *model2;
        t += " ]";
    }
    t += " [ ";
    t += fileLabel;
    t += " : ";
    t += fileName;
    t += " ]";
    return t;
}

std::string portPaneText(int port) {
    return "COM" + std::to_string(port);
}

namespace {
constexpr std::size_t kNoMark = std::string::npos;

// Position of the marked character, kNoMark when there is none.
std::size_t markOf(const std::string& t) {
    for (std::size_t i = 0; i + 1 < t.size() && t[i] != '\t'; ++i) {
        if (t[i] != '&') continue;
        if (t[i + 1] != '&') return i + 1;
        ++i; // "&&" shows one "&"
    }
    return kNoMark;
}

int keyOf(char c) {
    return std::toupper(static_cast<unsigned char>(c));
}

bool isKeyChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}
} // namespace

std::vector<std::string> uniqueMnemonics(std::vector<std::string> texts) {
    std::set<int> taken;
    std::vector<bool> keeps(texts.size(), false);
    for (std::size_t n = 0; n < texts.size(); ++n) {
        const std::size_t m = markOf(texts[n]);
        keeps[n] = m != kNoMark && taken.insert(keyOf(texts[n][m])).second;
    }
    for (std::size_t n = 0; n < texts.size(); ++n) {
        if (keeps[n]) continue;
        std::string& t = texts[n];
        if (const std::size_t m = markOf(t); m != kNoMark) t.erase(m - 1, 1);
        const std::size_t end = std::min(t.find('\t'), t.size());
        std::size_t pick = kNoMark;
        for (int round = 0; round < 2 && pick == kNoMark; ++round)
            for (std::size_t i = 0; i < end && pick == kNoMark; ++i) {
                if (t[i] == '&') { // a literal "&&"
                    ++i;
                    continue;
                }
                const bool initial =
                    i == 0 || !isKeyChar(t[i - 1]) || std::isupper(static_cast<unsigned char>(t[i])) != 0;
                if (isKeyChar(t[i]) && (round == 1 || initial) && !taken.count(keyOf(t[i]))) pick = i;
            }
        if (pick == kNoMark) continue;
        taken.insert(keyOf(t[pick]));
        t.insert(pick, 1, '&');
    }
    return texts;
}

} // namespace velora
