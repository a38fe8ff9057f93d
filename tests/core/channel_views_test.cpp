// The channel information view's decisions without a window: which cell editor opens, what a
// commit stores, group stepping, command preconditions, row paste with the narrow-band rule.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "channels/ChInfoLogic.h"

namespace velora::test {
namespace {

using namespace channels;

struct ChInfoFixture : ::testing::Test {
    ChInfoFixture() { prepare(doc); }
    MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    ChInfoLogic view{store, f.boxes};

    void type(int row, int col, const std::string& text) { view.commitText(row, col, text, true); }
    std::string cell(int row, int col) { return view.rowTexts(row)[std::size_t(col - 1)]; }
    std::uint16_t flagsA(int g, int c) { return le16(store.channelRecord(g, c), 12); }
    void setWide(int g, int c) { setLe16(store.channelRecord(g, c), 12, flagsA(g, c) | 0x0400); }
};

TEST_F(ChInfoFixture, CellEditorsFollowTheRowsChannel) {
    // An empty row only takes a receive frequency, whatever column was asked.
    for (int col = kColRx; col <= kColSignalling; ++col) {
        auto s = view.startEditing(4, col);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->col, kColRx) << col;
        EXPECT_EQ(s->editor, CellEditor::Text);
    }
    type(4, kColRx, "150.0");
    // A receive-only channel has no encode tone: its encode cell edits the transmit frequency.
    EXPECT_EQ(view.startEditing(4, kColEncode)->col, kColTx);
    type(4, kColTx, "150.5");
    EXPECT_EQ(view.startEditing(4, kColEncode)->editor, CellEditor::Tone);
    EXPECT_EQ(view.startEditing(4, kColSignalling)->choices, (std::vector<int>{278, 247, 356, 357, 358}));
    EXPECT_EQ(view.startEditing(4, kColName)->maxLength, 8);

    EXPECT_FALSE(view.startEditing(0, kColRx)) << "title row";
    EXPECT_FALSE(view.startEditing(4, 0)) << "number column";
    doc.image().main()[0x10] = 0;
    EXPECT_FALSE(view.startEditing(4, kColName)) << "channel names switched off";
}

TEST_F(ChInfoFixture, TypedKeysOpenOnlyTheEditorsThatTakeThem) {
    EXPECT_TRUE(view.keyOpensEditor(1, kColTx, U'1', '.')) << "goes to the receive editor";
    EXPECT_FALSE(view.keyOpensEditor(1, kColRx, U'a', '.'));
    EXPECT_FALSE(view.keyOpensEditor(1, kColRx, U' ', '.'));
    type(1, kColRx, "150.0");
    type(1, kColTx, "150.0");
    EXPECT_TRUE(view.keyOpensEditor(1, kColDecode, U'd', '.')) << "tone codes take D";
    EXPECT_FALSE(view.keyOpensEditor(1, kColDecode, U'x', '.'));
    // Choice lists open on a key that starts an entry ("T354", "T355" here).
    EXPECT_TRUE(view.keyOpensEditor(1, kColScanAdd, U't', '.'));
    EXPECT_FALSE(view.keyOpensEditor(1, kColScanAdd, U'x', '.'));
}

TEST_F(ChInfoFixture, TypingAndEmptyingTheReceiveCellCreatesAndDeletesTheChannel) {
    EXPECT_EQ(view.freeAreaText(), "  T346 = 2560 T347");
    auto fx = view.commitText(3, kColRx, "150.0125", true);
    EXPECT_TRUE(store.channelExists(0, 2));
    EXPECT_TRUE(fx.row && fx.freeArea);
    EXPECT_EQ(fx.otherViews & forms::views::kRemoteList, forms::views::kRemoteList);
    EXPECT_EQ(cell(3, kColRx), "150.01250");
    EXPECT_EQ(view.freeAreaText(), "  T346 = 2544 T347");

    // Leaving a cell the user did not edit stores nothing, even an empty one; an emptied one commits.
    view.commitText(3, kColName, "XY", false);
    EXPECT_EQ(cell(3, kColName), "   3");
    view.commitText(3, kColRx, "", false);
    EXPECT_TRUE(store.channelExists(0, 2));
    view.commitText(3, kColRx, "", true);
    EXPECT_FALSE(store.channelExists(0, 2));
    EXPECT_EQ(view.freeAreaText(), "  T346 = 2560 T347");
    EXPECT_TRUE(f.messenger.ids().empty());
}

TEST_F(ChInfoFixture, ChoicesAndEnterOverTheEncodeColumn) {
    type(2, kColRx, "150.0");
    view.commitChoice(2, kColScanAdd, 0);
    view.commitChoice(2, kColSignalling, 3);
    view.commitChoice(2, kColDecode, 1); // first CTCSS tone
    EXPECT_EQ(cell(2, kColScanAdd), "T354");
    EXPECT_EQ(cell(2, kColSignalling), "T357");
    EXPECT_EQ(cell(2, kColDecode), "67.0");
    EXPECT_EQ(view.enterAdvance(2, kColDecode), 2) << "skips the encode cell of a receive-only channel";
    type(2, kColTx, "150.0");
    EXPECT_EQ(view.enterAdvance(2, kColDecode), 1);
}

TEST_F(ChInfoFixture, GroupsWrapBothWaysAndTheTitleFollows) {
    view.groupDown();
    EXPECT_EQ(view.group(), 159);
    view.setCurrentRow(7);
    EXPECT_EQ(view.title(), "T256 [ T345 - 160  T344 - 7 ]");
    view.groupUp();
    EXPECT_EQ(view.group(), 0);
    view.setCurrentRow(999);
    EXPECT_EQ(view.channel(), 159) << "rows end at the group's limit";
    view.setGroup(160);
    EXPECT_EQ(view.group(), 159) << "groups end at 160";
}

TEST_F(ChInfoFixture, DialogCommandsNeedTheirChannelToneOrGroup) {
    view.setCurrentRow(1);
    for (int c : {chcmd::kChannelCopy, chcmd::kFrequencyCopy, chcmd::kToneCopy, chcmd::kGroupCopy})
        EXPECT_FALSE(view.commandApplies(c)) << c;
    EXPECT_TRUE(view.commandApplies(chcmd::kGroupJump));
    type(1, kColRx, "150.0");
    EXPECT_TRUE(view.commandApplies(chcmd::kChannelCopy));
    EXPECT_TRUE(view.commandApplies(chcmd::kGroupCopy));
    view.commitChoice(1, kColDecode, 5);
    EXPECT_FALSE(view.commandApplies(chcmd::kToneCopy)) << "receive only";
    type(1, kColTx, "150.0");
    EXPECT_TRUE(view.commandApplies(chcmd::kToneCopy));
    view.commitChoice(1, kColDecode, 0);
    EXPECT_FALSE(view.commandApplies(chcmd::kToneCopy)) << "no decode tone";
}

TEST_F(ChInfoFixture, PasteWithAnEmptyRowReplacesAndClipsAtTheGroupEnd) {
    type(3, kColRx, "150.0");
    type(5, kColRx, "151.0");
    type(11, kColRx, "152.0");
    grid::ChannelRowBuffer buffer;
    view.copyRows(buffer, 5, 3); // selected upwards
    view.pasteRows(buffer, 10);
    EXPECT_EQ(cell(10, kColRx), "150.00000");
    EXPECT_FALSE(store.channelExists(0, 10)) << "the empty row 4 empties row 11";
    EXPECT_EQ(cell(12, kColRx), "151.00000");

    view.pasteRows(buffer, view.rows() - 2);
    EXPECT_TRUE(store.channelExists(0, 158));
    EXPECT_FALSE(store.channelExists(0, 159));
    expectInvariants(doc, store);
}

TEST_F(ChInfoFixture, PastedWideChannelsInTheNarrowRangesBecomeNarrowWithOneWarning) {
    type(1, kColRx, "155.0");
    type(1, kColTx, "155.0");
    type(2, kColRx, "160.0");
    type(2, kColTx, "160.0");
    type(3, kColRx, "148.5");
    type(3, kColTx, "148.5");
    for (int c = 0; c < 3; ++c)
        setWide(0, c); // as a channel from another data set could be
    grid::ChannelRowBuffer buffer;
    view.copyRows(buffer, 1, 3);
    view.pasteRows(buffer, 20);
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{555});
    EXPECT_EQ(flagsA(0, 19) & 0x0400, 0);
    EXPECT_EQ(flagsA(0, 20) & 0x0400, 0);
    EXPECT_NE(flagsA(0, 21) & 0x0400, 0) << "148.5 MHz may stay wide";

    f.messenger.shown.clear();
    view.pasteRows(buffer, 40);
    view.copyRows(buffer, 20, 22);
    view.pasteRows(buffer, 60);
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{555})
        << "one warning for the paste that narrowed, none for the one that changed nothing";
}

TEST(ChInfoNarrowWarning, TellsOnlyWhenTheTypedFrequencyLeavesTheChannelNarrow) {
    ModelIdentification vhf2 = ModelIdentification::defaults();
    vhf2.setBandCode(kModel1, 5); // 136-156 MHz
    struct Case {
        const char* what;
        ModelIdentification id;
        const char *rx, *tx, *newRx;
        bool endsNarrow;
    };
    const Case cases[] = {
        {"narrow range on the same unit", vhf2, "140.0", "145.0", "152.0", true},
        {"moved from the low-band unit to the VHF unit", dualBand(1, 4, 0), "33.3", "33.3", "155.0", false},
    };
    for (const Case& c : cases) {
        MessengerFixture f;
        Document doc;
        prepare(doc, c.id);
        ChannelStore store{doc, f.texts};
        ChInfoLogic view{store, f.boxes};
        view.commitText(1, kColRx, c.rx, true);
        view.commitText(1, kColTx, c.tx, true);
        auto rec = store.channelRecord(0, 0);
        setLe16(rec, 12, le16(rec, 12) | 0x0400); // wide
        f.messenger.shown.clear();
        view.commitText(1, kColRx, c.newRx, true);
        EXPECT_EQ((le16(store.channelRecord(0, 0), 12) & 0x0400) == 0, c.endsNarrow) << c.what;
        EXPECT_EQ(f.messenger.ids(), c.endsNarrow ? std::vector<int>{555} : std::vector<int>{}) << c.what;
    }
}

TEST_F(ChInfoFixture, InsertRemoveAndDeleteRowsKeepTheTablesSound) {
    for (int row : {1, 3, 4})
        type(row, kColRx, "150.0");
    view.setCurrentRow(3);
    view.insertChannelNumber();
    EXPECT_EQ(store.channelNumbers(0), (std::vector<int>{0, 3, 4}));
    view.setCurrentRow(1);
    view.removeChannelNumber();
    EXPECT_EQ(store.channelNumbers(0), (std::vector<int>{2, 3}));
    view.deleteRows(4, 3);
    EXPECT_FALSE(store.groupUsed(0));
    expectInvariants(doc, store);
}

} // namespace
} // namespace velora::test
