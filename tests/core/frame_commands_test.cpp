#include <gtest/gtest.h>

#include <algorithm>

#include "base/FrameCommands.h"
#include "base/ScreenFit.h"

namespace velora {
namespace {

const MenuPopup& popup(const std::vector<MenuPopup>& menu, int text) {
    return *std::find_if(menu.begin(), menu.end(), [&](const MenuPopup& p) { return p.text == text; });
}

std::vector<int> commands(const MenuPopup& p) {
    std::vector<int> out;
    for (const auto& i : p.items)
        out.push_back(i.command);
    return out;
}

TEST(FrameCommandsTest, EditMenuFollowsTheBandConfiguration) {
    auto single = commands(popup(mainMenu(false), 42));
    auto dual = commands(popup(mainMenu(true), 42));
    EXPECT_EQ(std::count(single.begin(), single.end(), cmd::kRepeaterList), 0);
    EXPECT_EQ(std::count(dual.begin(), dual.end(), cmd::kRepeaterList), 1);
    for (const auto& menu : {single, dual}) {
        EXPECT_EQ(menu.front(), cmd::kChannelInfo);
        EXPECT_EQ(menu.back(), cmd::kEmbeddedMessage);
        EXPECT_EQ(std::count(menu.begin(), menu.end(), kSeparator), 5);
        for (std::size_t i = 1; i < menu.size(); ++i)
            EXPECT_FALSE(menu[i] == kSeparator && menu[i - 1] == kSeparator);
    }
    EXPECT_EQ(treeEditors(false).size(), 13u);
    EXPECT_EQ(treeEditors(true).size(), 14u);
    EXPECT_EQ(findEditor(cmd::kEmbeddedMessage)->treeText, 167);
}

TEST(FrameCommandsTest, CommandStatesAndHelpContexts) {
    EXPECT_FALSE(isCommandEnabled(cmd::kRepeaterList, false));
    EXPECT_TRUE(isCommandEnabled(cmd::kRepeaterList, true));
    EXPECT_TRUE(isCommandEnabled(cmd::kTestMode, false));
    EXPECT_FALSE(isCommandEnabled(cmd::kTestMode, true));
    EXPECT_EQ(helpContext(cmd::kTreeView), 81);
    EXPECT_EQ(helpContext(cmd::kModelInfo), 21);
    EXPECT_EQ(helpContext(cmd::kPrintPreview), 9);
    EXPECT_EQ(helpContext(cmd::kStatusBar), 83);
    EXPECT_FALSE(helpContext(cmd::kAbout));
    EXPECT_FALSE(helpContext(cmd::kMemoryMap));
    // Only the Window popup waits for an open editor.
    auto menu = mainMenu(false);
    EXPECT_EQ(std::count_if(menu.begin(), menu.end(), [](const MenuPopup& p) { return p.windowMenu; }), 1);
    EXPECT_TRUE(popup(menu, 72).windowMenu);
}

TEST(FrameCommandsTest, TitleNamesOneOrTwoModelsAndTheFile) {
    EXPECT_EQ(frameTitle("RM-420 VHF : 148-174 MHz (K)", std::nullopt, "File", "velora.dat"),
              "VELORA  [ RM-420 VHF : 148-174 MHz (K) ] [ File : velora.dat ]");
    EXPECT_EQ(frameTitle("A", std::string_view("B"), "File", "x %s.dat"),
              "VELORA  [ A ] [ B ] [ File : x %s.dat ]");
    EXPECT_EQ(portPaneText(12), "COM12");
}

TEST(FrameCommandsTest, MnemonicsAreMadeUnique) {
    using Texts = std::vector<std::string>;
    const std::pair<Texts, Texts> cases[] = {
        // The first holder keeps its letter; a later one moves to a free initial.
        {{"&Redo", "&Channel", "&Remote Channel List"}, {"&Redo", "&Channel", "Remote Channel &List"}},
        {{"&Arrange", "Close &All Window", "&Cascade"}, {"&Arrange", "Close All &Window", "&Cascade"}},
        // No mark: a free capital first, the shortcut after the tab never.
        {{"&Export", "Save &As", "&Print\tCtrl+P", "Export as PDF..."},
         {"&Export", "Save &As", "&Print\tCtrl+P", "Export as P&DF..."}},
        // No initial free: the first free letter; "&&" stays a literal and is never a mark.
        {{"&Go", "&Get && Up\tX", "&G&&V"}, {"&Go", "Get && &Up\tX", "G&&&V"}},
        {{"&Ab", "&Ab", "&&Ab"}, {"&Ab", "A&b", "&&Ab"}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(uniqueMnemonics(in), out);
}

TEST(ScreenFitTest, KeepsWindowsWithinReach) {
    const ScreenRect area{0, 0, 1920, 1080};
    EXPECT_EQ(fitIntoArea({100, 100, 900, 700}, area), (ScreenRect{100, 100, 900, 700}));
    // Saved on a second screen that is gone.
    EXPECT_EQ(fitIntoArea({2500, 300, 3300, 900}, area), (ScreenRect{1120, 300, 1920, 900}));
    EXPECT_EQ(fitIntoArea({-500, -50, 300, 550}, area), (ScreenRect{0, 0, 800, 600}));
    // Larger than the screen now.
    EXPECT_EQ(fitIntoArea({-10, -10, 4000, 3000}, area), area);
    EXPECT_EQ(fitIntoArea({10, 10, 10, 500}, area), area);
    EXPECT_EQ(fitIntoArea({0, 0, 100, 100}, {50, 40, 1000, 700}), (ScreenRect{50, 40, 150, 140}));
}

} // namespace
} // namespace velora
