#include <gtest/gtest.h>

#include "TestSupport.h"
#include "channels/ChannelRowBuffer.h"
#include "channels/GridClipText.h"
#include "channels/GridNavigation.h"

using namespace velora;
using namespace velora::grid;

namespace {
constexpr GridShape kShape{10, 4}; // rows 1..9, columns 1..3
GridState at(int row, int col) {
    GridState s;
    s.row = row;
    s.col = col;
    s.rowSelEnd = row;
    return s;
}
GridState press(GridState s, GridKey k, KeyModifiers mods = {}, bool wrap = true, int page = 4) {
    return gridKey(kShape, s, k, mods, page, wrap).state;
}
} // namespace

TEST(GridKeys, EnterMovesToTheNextCellAndStopsOnTheLast) {
    GridState s = press(at(1, 2), GridKey::Enter);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(1, 3));
    s = press(s, GridKey::Enter);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(2, 1));
    s = press(at(9, 3), GridKey::Enter);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(9, 3));
    s = press(at(1, 1), GridKey::Enter, {.shift = true});
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(1, 1));
}

TEST(GridKeys, PreviousCellWrapsToTheRowAboveAndStopsOnTheFirst) {
    const std::pair<GridState, std::pair<int, int>> cases[] = {
        {at(4, 3), {4, 2}}, {at(4, 1), {3, 3}}, {at(1, 1), {1, 1}}};
    for (const auto& [from, to] : cases) {
        const GridState s = previousCell(kShape, from);
        EXPECT_EQ(std::pair(s.row, s.col), to);
    }
}

TEST(GridKeys, LeftAndRightWrapAtRowEndsOnlyWhenAskedAndWithoutShift) {
    GridState s = press(at(3, 1), GridKey::Left);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(2, 3));
    s = press(at(3, 3), GridKey::Right);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(4, 1));
    s = press(at(1, 1), GridKey::Left); // first cell: nowhere to go
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(1, 1));
    s = press(at(9, 3), GridKey::Right);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(9, 3));
    s = press(at(3, 3), GridKey::Right, {}, false);
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(3, 3));
    s = press(at(3, 1), GridKey::Left, {.shift = true});
    EXPECT_EQ(std::pair(s.row, s.col), std::pair(3, 1));
}

TEST(GridKeys, PageKeysMoveByAPageClampedAndDropTheSelection) {
    GridState s = at(2, 2);
    s.topRow = 1;
    s.highlight = true;
    s = press(s, GridKey::PageDown);
    EXPECT_EQ(s.row, 6);
    EXPECT_EQ(s.topRow, 5);
    EXPECT_FALSE(s.highlight);
    s = press(s, GridKey::PageDown);
    EXPECT_EQ(s.row, 9);
    s = press(at(3, 1), GridKey::PageUp);
    EXPECT_EQ(s.row, 1);
    EXPECT_FALSE(gridKey(kShape, at(3, 1), GridKey::PageUp, {.ctrl = true}, 4, true).handled);
    EXPECT_FALSE(gridKey(kShape, at(3, 1), GridKey::PageUp, {}, 0, true).handled);
}

TEST(GridKeys, ShiftUpDownGrowsARowSelectionReadInAscendingOrder) {
    GridState s = press(at(5, 3), GridKey::Up, {.shift = true});
    s = press(s, GridKey::Up, {.shift = true});
    EXPECT_TRUE(s.highlight);
    EXPECT_TRUE(s.selectByRow);
    EXPECT_EQ(s.col, 1);
    EXPECT_EQ(selectedRows(s), std::pair(3, 5));
    s = press(s, GridKey::Down);
    EXPECT_FALSE(s.highlight);
    EXPECT_EQ(selectedRows(s), std::pair(6, 6));
}

TEST(GridClicks, FixedColumnSelectsRowsAndACellClickEndsIt) {
    GridState s = clickFixedColumn(kShape, at(2, 2), 4, false);
    s = clickFixedColumn(kShape, s, 7, true);
    EXPECT_EQ(selectedRows(s), std::pair(4, 7));
    EXPECT_TRUE(s.highlight);
    s = clickCell(kShape, s, 5, 2);
    EXPECT_FALSE(s.highlight);
    EXPECT_EQ(selectedRows(s), std::pair(5, 5));
}

TEST(GridPaste, PlanIsClippedAtTheLastRow) {
    auto plan = planPaste(159, 5, 160);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[1].entry, 1);
    EXPECT_EQ(plan[1].row, 160);
    EXPECT_TRUE(planPaste(170, 3, 160).empty());
}

namespace {
struct ChannelGridFixture : ::testing::Test {
    test::MessengerFixture m;
    Document doc;
    ChannelStore store{doc, m.texts};
    void SetUp() override { doc.image().reset(); }
    void add(int g, int c, Byte tag) {
        int r = store.addChannel(g, c);
        ASSERT_GE(r, 0);
        store.record(r)[0] = tag; // marks the record so copies can be told apart
    }
    int tag(int g, int c) { return store.channelRecord(g, c)[0]; }
};
} // namespace

TEST_F(ChannelGridFixture, CopyKeepsEmptyRowsAndPasteReplacesTargets) {
    add(0, 2, 0x31);
    add(0, 4, 0x51);
    add(1, 10, 0x99); // row 11 of group 2 will receive the empty middle row
    ChannelRowBuffer buffer;
    copyChannelRows(buffer, store, 0, 5, 3); // rows 3..5 in either order
    ASSERT_EQ(buffer.entries().size(), 3u);
    EXPECT_EQ(buffer.firstRow(), 3);
    EXPECT_EQ(buffer.entries()[1].length, 0);
    ChannelPasteResult r = pasteChannelRows(buffer, store, 1, 10, &m.boxes);
    EXPECT_EQ(r.rowsWritten, 3);
    EXPECT_EQ(tag(1, 9), 0x31);
    EXPECT_FALSE(store.channelExists(1, 10));
    EXPECT_EQ(tag(1, 11), 0x51);
    EXPECT_TRUE(m.messenger.shown.empty());
}

TEST_F(ChannelGridFixture, PasteStopsAtTheEndOfTheGroup) {
    for (int c = 0; c < 5; ++c)
        add(0, c, Byte(c + 1));
    ChannelRowBuffer buffer;
    copyChannelRows(buffer, store, 0, 1, 5);
    int limit = store.perGroupLimit();
    ChannelPasteResult r = pasteChannelRows(buffer, store, 3, limit - 1, &m.boxes);
    EXPECT_EQ(r.rowsWritten, 2);
    EXPECT_EQ(store.channelNumbers(3), (std::vector<int>{limit - 2, limit - 1}));
}

TEST_F(ChannelGridFixture, ClipTextHasTabsBetweenFieldsAndNoFinalLineFeed) {
    add(0, 0, 0);
    std::string one = channelClipText(store, m.texts, 0, 2, 2, false);
    EXPECT_EQ(one, "2\t\t\t\t\t\t\t"); // missing channel: empty fields after the number
    std::string withTitle = channelClipText(store, m.texts, 0, 3, 2, true);
    EXPECT_EQ(withTitle.substr(0, withTitle.find('\n') + 1),
              "T259\tT348\tT349\tT551\tT550\tT350\tT351\tT352\n");
    EXPECT_EQ(withTitle.substr(withTitle.find('\n') + 1), "2\t\t\t\t\t\t\t\n3\t\t\t\t\t\t\t");

    std::string first = channelClipText(store, m.texts, 0, 1, 1, false);
    std::vector<std::string> fields{"1"};
    for (int f = 0; f < kChannelFieldCount; ++f)
        fields.push_back(store.channelFieldText(0, 0, ChannelField(f)).text);
    std::vector<std::vector<std::string>> rows{fields};
    EXPECT_EQ(first, clipText({}, rows));
    EXPECT_EQ(std::count(first.begin(), first.end(), '\t'), 7);
    EXPECT_EQ(first.find('\n'), std::string::npos);
}
