// The channel edit and group edit fields, the list positions edited from a channel, and the copy
// and jump dialogs' effects.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "channels/ChEditArea.h"
#include "channels/ChannelListPlacement.h"
#include "channels/CopyDialogs.h"
#include "channels/GrEditArea.h"

namespace velora::test {
namespace {

using namespace channels;

struct FormsFixture : ::testing::Test {
    FormsFixture() { prepare(doc); }
    MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
    void channel(int g, int c, const char* rx, const char* tx = nullptr) {
        store.setChannelFieldText(rx, g, c, ChannelField::RxFrequency, nullptr);
        if (tx) store.setChannelFieldText(tx, g, c, ChannelField::TxFrequency, nullptr);
    }
};

struct ChEditFixture : FormsFixture {
    ChEditArea area{store, f.boxes};
    std::string shown(int field) { return area.fieldText(0, field).text; }
    int value(int field) { return area.fieldText(0, field).value; }
    bool enabled(int field) { return area.isFieldEnabled(0, field); }
};

TEST_F(ChEditFixture, AMissingChannelOffersOnlyGroupChannelAndReceiveFrequency) {
    area.setChannel(2, 5);
    for (int i = 0; i < chedit::kFieldCount; ++i)
        EXPECT_EQ(enabled(i), i <= chedit::kRx) << i;
    EXPECT_EQ(shown(chedit::kGroup), "3");
    EXPECT_EQ(shown(chedit::kChannel), "6");

    area.commitField(0, chedit::kRx, "150.0");
    ASSERT_TRUE(area.channelExists());
    EXPECT_EQ(value(chedit::kScanAdd), 1) << "new channels are scanned";
    EXPECT_EQ(shown(chedit::kScrambler), "T278");
    EXPECT_EQ(shown(chedit::kBandwidth), "T387");
    EXPECT_FALSE(enabled(chedit::kEncode));
    area.commitField(0, chedit::kTx, "150.5");
    EXPECT_TRUE(enabled(chedit::kEncode));
    area.commitField(0, chedit::kEncode, "D023N");
    area.commitField(0, chedit::kTx, "");
    EXPECT_FALSE(enabled(chedit::kEncode));
    EXPECT_EQ(shown(chedit::kEncode), "T262")
        << "clearing the transmit frequency switches the encode tone off";
}

TEST_F(ChEditFixture, GroupAndChannelNumbersClampAndWrap) {
    auto fx = area.commitField(0, chedit::kGroup, "0");
    EXPECT_EQ(area.group(), 0);
    EXPECT_TRUE(fx.otherViews & forms::views::kChannelInfo) << "the grid follows";
    area.stepField(0, chedit::kGroup, "1", -1);
    EXPECT_EQ(area.group(), 159);
    area.commitField(0, chedit::kChannel, "999");
    EXPECT_EQ(area.channel(), 159);
    area.stepField(0, chedit::kChannel, "160", +1);
    EXPECT_EQ(area.channel(), 0);
}

TEST_F(ChEditFixture, WideWithCompanderIsRefusedOnLeavingTheBandwidthList) {
    channel(0, 0, "148.5", "148.5");
    area.setChannel(0, 0);
    area.applyShowRules();
    ASSERT_EQ(area.valueList(0, chedit::kBandwidth).size(), 2u);
    ASSERT_TRUE(enabled(chedit::kCompander));
    area.commitChoice(0, chedit::kCompander, 1);
    EXPECT_EQ(store.channelRecord(0, 0)[15] & 0x02, 0) << "compander on is bit 9 clear";
    area.commitChoice(0, chedit::kBandwidth, 1);
    EXPECT_FALSE(enabled(chedit::kCompander));
    area.leaveField(0, chedit::kBandwidth);
    ASSERT_EQ(f.messenger.ids(), std::vector<int>{228});
    EXPECT_EQ(f.messenger.shown[0].caption, "T205");
    EXPECT_EQ(value(chedit::kCompander), 0);
    area.leaveField(0, chedit::kBandwidth);
    EXPECT_EQ(f.messenger.ids().size(), 1u) << "no second warning once the compander is off";
}

TEST_F(ChEditFixture, ARestrictedChannelShowsAndStaysNarrow) {
    channel(0, 0, "155.0", "155.0");
    setLe16(store.channelRecord(0, 0), 12, le16(store.channelRecord(0, 0), 12) | 0x0400);
    area.setChannel(0, 0);
    area.applyShowRules();
    EXPECT_EQ(shown(chedit::kBandwidth), "T387");
    EXPECT_EQ(area.valueList(0, chedit::kBandwidth), (std::vector<forms::ValueItem>{{387, 0}}));
    area.commitChoice(0, chedit::kBandwidth, 1);
    EXPECT_EQ(shown(chedit::kBandwidth), "T387") << "wide is not on offer";
    EXPECT_TRUE(f.messenger.ids().empty()) << "showing narrows without a message";
}

TEST_F(ChEditFixture, VoiceScramblerCodesOffAndStepping) {
    ModelIdentification id = ModelIdentification::defaults();
    id.setOptionBoard(kModel1, 1);
    setIdentification(doc.image(), id);
    channel(0, 0, "150.0");
    area.setChannel(0, 0);
    EXPECT_TRUE(enabled(chedit::kScrambler));
    area.commitField(0, chedit::kScrambler, "20");
    EXPECT_EQ(shown(chedit::kScrambler), "16");
    area.stepField(0, chedit::kScrambler, "16", +1);
    EXPECT_EQ(shown(chedit::kScrambler), "T278");
    area.stepField(0, chedit::kScrambler, "T278", +1);
    EXPECT_EQ(shown(chedit::kScrambler), "1");
    area.commitField(0, chedit::kScrambler, "0");
    EXPECT_EQ(shown(chedit::kScrambler), "T278");
    EXPECT_EQ(store.channelRecord(0, 0)[14], 0xFF);
}

TEST_F(ChEditFixture, ReferencesToggleOnlyWhileTheirFeatureApplies) {
    channel(1, 4, "150.0");
    area.setChannel(1, 4);
    EXPECT_FALSE(enabled(chedit::kPriority1));
    area.commitChoice(0, chedit::kPriority1, 1);
    EXPECT_EQ(m(0x50), 0xFF);
    m(0x00) = 1; // priority 1 scan on
    EXPECT_TRUE(enabled(chedit::kPriority1));
    auto fx = area.commitChoice(0, chedit::kPriority1, 1);
    EXPECT_EQ(m(0x50), 1);
    EXPECT_EQ(m(0x51), 4);
    EXPECT_TRUE(fx.otherViews & forms::views::kScanInfo);
    EXPECT_EQ(value(chedit::kPriority1), 1);
    area.commitChoice(0, chedit::kPriority1, 0);
    EXPECT_EQ(m(0x50), 0xFF);
}

TEST_F(ChEditFixture, RemotePositionsAreRefusedWhenTaken) {
    m(0x320) = 0;
    m(0x321) = 1; // remote select lines 0 and 1: three usable positions
    channel(0, 0, "150.0");
    channel(0, 1, "151.0");
    area.setChannel(0, 0);
    ASSERT_TRUE(enabled(chedit::kRemote));
    area.commitField(0, chedit::kRemote, "2");
    EXPECT_EQ(shown(chedit::kRemote), "2");
    area.setChannel(0, 1);
    area.commitField(0, chedit::kRemote, "2");
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{240});
    EXPECT_EQ(shown(chedit::kRemote), "");
    area.stepField(0, chedit::kRemote, "", +1);
    EXPECT_EQ(shown(chedit::kRemote), "1");
    area.stepField(0, chedit::kRemote, "1", +1);
    EXPECT_EQ(shown(chedit::kRemote), "3") << "steps over the taken position";
    area.commitField(0, chedit::kRemote, "0");
    EXPECT_EQ(shown(chedit::kRemote), "");
    EXPECT_EQ(store.remoteIndexOf(0, 0), 1) << "the other channel keeps its place";
}

TEST_F(FormsFixture, RepeaterEntriesPairTheTwoRadioUnits) {
    prepare(doc, dualBand(4, 6));
    channel(0, 0, "150.0");
    channel(0, 1, "151.0");
    channel(0, 2, "460.0");
    EXPECT_EQ(placeInList(store, ListKind::Repeater, 0, 0, 1, &f.boxes), PlaceResult::Placed);
    EXPECT_EQ(placeInList(store, ListKind::Repeater, 0, 1, 2, &f.boxes), PlaceResult::SameModel);
    EXPECT_EQ(placeInList(store, ListKind::Repeater, 0, 2, 1, &f.boxes), PlaceResult::Taken);
    EXPECT_EQ(placeInList(store, ListKind::Repeater, 0, 2, 2, &f.boxes), PlaceResult::Placed);
    EXPECT_EQ(placeInList(store, ListKind::Repeater, 0, 2, 3, &f.boxes), PlaceResult::Unchanged);
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{243, 240}));
    EXPECT_EQ(listPosition(store, ListKind::Repeater, 0, 2), 2);
}

struct GrEditFixture : FormsFixture {
    GrEditFixture() {
        for (int g = 0; g < 160; ++g) {
            m(0x400 + 8 * g) = 6;
            m(0x400 + 8 * g + 4) = 0x03;
        }
        area.setGroup(4);
    }
    GrEditArea area{store, f.boxes};
    Byte rec(int i) { return m(0x400 + 8 * 4 + i); }
    std::string shown(int field) { return area.fieldText(0, field).text; }
};

TEST_F(GrEditFixture, TimeOutTimerEntryStepsAndEnables) {
    EXPECT_EQ(shown(gredit::kTimer), "60");
    area.commitField(0, gredit::kTimer, "275");
    EXPECT_EQ(rec(0), 27);
    area.commitField(0, gredit::kTimer, "");
    EXPECT_EQ(rec(0), 6) << "an empty timer is the default minute, not off";
    area.commitField(0, gredit::kRekey, "99");
    EXPECT_EQ(rec(2), 60);
    area.commitField(0, gredit::kTimer, "20");
    EXPECT_EQ(shown(gredit::kTimer), "T278");
    EXPECT_FALSE(area.isFieldEnabled(0, gredit::kRekey));
    EXPECT_EQ(rec(2), 60) << "disabled fields keep their values";

    area.stepField(0, gredit::kTimer, "T278", -1);
    EXPECT_EQ(shown(gredit::kTimer), "300");
    area.stepField(0, gredit::kTimer, "300", +1);
    EXPECT_EQ(rec(0), 0);
    area.stepField(0, gredit::kTimer, "T278", +1);
    EXPECT_EQ(shown(gredit::kTimer), "30");
    area.stepField(0, gredit::kReset, "T278", -1);
    EXPECT_EQ(rec(3), 15);
}

TEST_F(GrEditFixture, NameSignallingScanAddAndTitle) {
    m(0x11) = 6;
    area.commitField(0, gredit::kName, "ALPHABRAVO");
    EXPECT_EQ(shown(gredit::kName), "ALPHAB");
    EXPECT_EQ(doc.image().ext()[16 * 4 + 15], ' ');
    area.commitField(0, gredit::kName, "");
    EXPECT_EQ(doc.image().ext()[16 * 4], 0xFF);
    area.commitChoice(0, gredit::kSignalling, 0);
    area.commitChoice(0, gredit::kScanAdd, 0);
    EXPECT_EQ(rec(4), 0x00);
    m(0x07) = 0;
    EXPECT_FALSE(area.isFieldEnabled(0, gredit::kScanAdd));
    EXPECT_EQ(area.windowTitle(), "T359 [ T345 - 5 ]");
    // Every field that can show "Off" is sized for it.
    for (int field : {gredit::kTimer, gredit::kPreAlert, gredit::kRekey, gredit::kReset})
        EXPECT_EQ(area.editFormat(0, field).specialText, 278) << field;
    EXPECT_EQ(area.editFormat(0, gredit::kName).specialText, 0);
}

TEST_F(FormsFixture, ChannelCopyOntoItselfOrIntoAFullPool) {
    channel(0, 0, "150.0");
    ImageCopy before = doc.image().working();
    EXPECT_FALSE(copyChannelTo(store, f.boxes, 0, 0, 0, 0));
    EXPECT_TRUE(doc.image().working() == before);
    for (int c = 1; c < 160; ++c)
        put(store, 1, c);
    before = doc.image().working();
    EXPECT_FALSE(copyChannelTo(store, f.boxes, 0, 0, 2, 0));
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{229});
    EXPECT_TRUE(doc.image().working() == before);
    EXPECT_TRUE(copyChannelTo(store, f.boxes, 0, 0, 1, 7)) << "the destination's record is freed first";
    EXPECT_EQ(store.channelFieldText(1, 7, ChannelField::RxFrequency).text, "150.00000");
    expectInvariants(doc, store);
}

TEST_F(FormsFixture, FrequencyToneAndGroupCopies) {
    channel(0, 0, "150.0");
    EXPECT_EQ(sourceText("150.00000"), "  150.00000");
    copyFrequency(store, f.boxes, 0, 0, "150.0");
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::TxFrequency).text, "150.00000");
    copyTone(store, f.boxes, 0, 0, "D023N");
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::Encode).text, "D023N");

    for (int c = 0; c < 5; ++c)
        put(store, 3, c);
    EXPECT_TRUE(copyGroupTo(store, f.boxes, 0, 3));
    EXPECT_EQ(store.channelNumbers(3), std::vector<int>{0});
    EXPECT_EQ(store.freeBytes(), 16 * 158) << "the destination's extra channels are freed";
    EXPECT_FALSE(copyGroupTo(store, f.boxes, 3, 3));
    EXPECT_TRUE(f.messenger.ids().empty());
    for (int c = 0; c < 150; ++c)
        put(store, 9, c);
    EXPECT_FALSE(copyGroupTo(store, f.boxes, 9, 10)) << "152 + 150 > 160";
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{kMsgNoRoom});
    expectInvariants(doc, store);
}

TEST(CopyDialogNumbers, ClampStepAndJumpTargets) {
    MessengerFixture f;
    std::string t = "0";
    EXPECT_EQ(commitNumberField(t, 160), 1);
    EXPECT_EQ(t, "1");
    t = "999";
    EXPECT_EQ(commitNumberField(t, 254), 254);
    EXPECT_EQ(stepNumberField(160, 160, +1), 1);
    EXPECT_EQ(stepNumberField(1, 160, -1), 160);

    EXPECT_EQ(jumpTarget("160", f.boxes), 159);
    EXPECT_EQ(jumpTarget("1", f.boxes), 0);
    EXPECT_EQ(jumpTarget("999", f.boxes), 159); // the last group
    EXPECT_TRUE(f.messenger.ids().empty());
    for (const char* bad : {"0", "161", "998", ""})
        EXPECT_FALSE(jumpTarget(bad, f.boxes)) << bad;
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{241, 241, 241, 241}));
}

} // namespace
} // namespace velora::test
