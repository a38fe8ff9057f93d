// Channel fields typed as text: frequencies with their step flags and radio unit, the narrow-band
// rule, tones, names, choices, and the rules applied to all channels.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"

namespace velora::test {
namespace {

struct FieldFixture : ::testing::Test {
    explicit FieldFixture(RunOptions o = {}) : doc(o) { prepare(doc); }
    MessengerFixture f;
    Document doc;
    ChannelStore store{doc, f.texts};
    MessageBoxes* boxes() { return &f.boxes; }

    bool set(int g, int c, ChannelField field, const std::string& text) {
        return store.setChannelFieldText(text, g, c, field, boxes());
    }
    std::string text(int g, int c, ChannelField field) { return store.channelFieldText(g, c, field).text; }
    std::uint16_t flagsA(int g, int c) { return le16(store.channelRecord(g, c), 12); }
    std::uint16_t flagsB(int g, int c) { return le16(store.channelRecord(g, c), 14); }
    void setFlagsA(int g, int c, std::uint16_t v) { setLe16(store.channelRecord(g, c), 12, v); }
};

struct FineStepFixture : FieldFixture {
    FineStepFixture() : FieldFixture(RunOptions{false, true}) {}
};

TEST(StepFields, FollowTheReportedStepGrid) {
    auto eq = [](StepFields s, bool x, bool e, int r) { return s.x == x && s.e == e && s.r == r; };
    EXPECT_TRUE(eq(stepFieldsFor('/', 15181125), true, true, 1)); // kHz digits end in 1.25
    EXPECT_TRUE(eq(stepFieldsFor('/', 15181625), true, true, 1)); // 6.25
    EXPECT_TRUE(eq(stepFieldsFor('/', 15181375), true, true, 2)); // 3.75
    EXPECT_TRUE(eq(stepFieldsFor('/', 15181875), true, true, 2)); // 8.75
    EXPECT_TRUE(eq(stepFieldsFor('0', 0), true, true, 0));        // 2.5 kHz
    EXPECT_TRUE(eq(stepFieldsFor('1', 0), false, false, 3));      // 5 kHz
    EXPECT_TRUE(eq(stepFieldsFor('2', 0), true, false, 3));       // 6.25 kHz
    EXPECT_TRUE(eq(stepFieldsFor('3', 0), false, true, 3));       // 7.5 kHz
}

// Receive: X bit 8, E bit 12, R bits 14-15 of A. Transmit: X bit 9, E bit 13, R bits 10-11 of B.
TEST_F(FineStepFixture, FrequenciesStoreTheirStepFlags) {
    ASSERT_TRUE(set(0, 0, ChannelField::RxFrequency, "151.8125"));
    EXPECT_EQ(text(0, 0, ChannelField::RxFrequency), "151.81250");
    EXPECT_EQ(flagsA(0, 0) & 0xD100, 0xC100); // X=1 E=0 R=3
    ASSERT_TRUE(set(0, 0, ChannelField::RxFrequency, "151.8175"));
    EXPECT_EQ(flagsA(0, 0) & 0xD100, 0x1100); // X=1 E=1 R=0
    ASSERT_TRUE(set(0, 0, ChannelField::RxFrequency, "151.81375"));
    EXPECT_EQ(flagsA(0, 0) & 0xD100, 0x9100); // X=1 E=1 R=2
    ASSERT_TRUE(set(0, 0, ChannelField::TxFrequency, "151.8225"));
    EXPECT_EQ(flagsA(0, 0) & 0x2200, 0x2000); // X=0 E=1
    EXPECT_EQ(flagsB(0, 0) & 0x0C00, 0x0C00); // R=3
    ASSERT_TRUE(set(0, 0, ChannelField::TxFrequency, "151.81125"));
    EXPECT_EQ(flagsA(0, 0) & 0x2200, 0x2200);
    EXPECT_EQ(flagsB(0, 0) & 0x0C00, 0x0400); // R=1
    EXPECT_TRUE(f.messenger.ids().empty());
}

TEST_F(FieldFixture, ClearingTheTransmitFrequency) {
    set(0, 0, ChannelField::RxFrequency, "150.0");
    set(0, 0, ChannelField::TxFrequency, "150.015");
    set(0, 0, ChannelField::Encode, "D023N");
    EXPECT_EQ(flagsA(0, 0) & 0x2200, 0x0000); // 5 kHz: X=0 E=0
    ASSERT_TRUE(set(0, 0, ChannelField::TxFrequency, ""));
    EXPECT_EQ(text(0, 0, ChannelField::TxFrequency), "");
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::Encode).raw, 0xFFFF);
    EXPECT_EQ(flagsA(0, 0) & 0x2200, 0x2200);
    EXPECT_EQ(flagsB(0, 0) & 0x0C00, 0x0C00);
}

TEST_F(FieldFixture, ReceiveFrequencyCreatesAndDeletesTheChannel) {
    EXPECT_FALSE(set(3, 9, ChannelField::TxFrequency, "150.0")) << "only a receive frequency creates";
    EXPECT_TRUE(set(3, 9, ChannelField::RxFrequency, "")) << "empty text on an empty row";
    EXPECT_FALSE(store.groupUsed(3));
    ASSERT_TRUE(set(3, 9, ChannelField::RxFrequency, "155.5"));
    EXPECT_TRUE(store.channelExists(3, 9));
    EXPECT_EQ(store.freeBytes(), 16 * 159);
    EXPECT_EQ(text(3, 9, ChannelField::Name), "  10") << "default name, right-aligned in 4";
    ASSERT_TRUE(set(3, 9, ChannelField::RxFrequency, "0"));
    EXPECT_FALSE(store.groupUsed(3));
    EXPECT_EQ(store.freeBytes(), 16 * 160);
    expectInvariants(doc, store);
}

TEST_F(FieldFixture, ANewChannelNamesItsUnnamedGroupWithinTheNameLength) {
    struct Case {
        Byte length;
        int group;
        Byte first; // the group name's first byte: none (0xFF) for length 0
        const char* shown;
    } cases[] = {{0, 3, 0xFF, ""}, {1, 4, '5', "5"}, {3, 5, ' ', "  6"}};
    for (const Case& c : cases) {
        doc.image().main()[layout::kCsGroupNameLength] = c.length;
        set(c.group, 0, ChannelField::RxFrequency, "150.0");
        EXPECT_EQ(store.groupName(c.group)[0], c.first) << int(c.length);
        EXPECT_EQ(store.groupNameText(c.group), c.shown) << int(c.length);
    }
}

TEST_F(FieldFixture, OutOfBandFrequenciesAreCorrectedAndReported) {
    EXPECT_FALSE(set(0, 0, ChannelField::RxFrequency, "600"));
    EXPECT_EQ(text(0, 0, ChannelField::RxFrequency), "174.00000");
    EXPECT_FALSE(set(0, 0, ChannelField::TxFrequency, "190"));
    EXPECT_EQ(text(0, 0, ChannelField::TxFrequency), "190.00000") << "inside the wide range: kept";
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{222, 223}));
}

TEST_F(FieldFixture, NarrowBandRuleOnEntry) {
    ModelIdentification id = ModelIdentification::defaults();
    id.setBandCode(kModel1, 5); // 136-156 MHz: every frequency below is inside the band
    prepare(doc, id);
    set(0, 0, ChannelField::RxFrequency, "140.0");
    setFlagsA(0, 0, flagsA(0, 0) | 0x0400);
    set(0, 0, ChannelField::TxFrequency, "140.0");
    EXPECT_NE(flagsA(0, 0) & 0x0400, 0) << "140 MHz may stay wide";
    set(0, 0, ChannelField::TxFrequency, "149.9875");
    EXPECT_NE(flagsA(0, 0) & 0x0400, 0) << "the range edges are outside";
    EXPECT_TRUE(f.messenger.ids().empty());

    EXPECT_TRUE(set(0, 0, ChannelField::TxFrequency, "155.0"));
    EXPECT_EQ(flagsA(0, 0) & 0x0400, 0);
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{555});
    EXPECT_TRUE(store.warningFlag());

    // Receive-only channels are never restricted.
    set(0, 1, ChannelField::RxFrequency, "155.0");
    setFlagsA(0, 1, flagsA(0, 1) | 0x0400);
    EXPECT_EQ(store.checkNarrowband(0, 1, boxes()), 0);
    EXPECT_NE(flagsA(0, 1) & 0x0400, 0);
}

TEST(NarrowBandAfterLoad, WarnsOnlyWhenAChannelChanged) {
    MessengerFixture f;
    Document doc;
    prepare(doc, ModelIdentification::defaults());
    ChannelStore store(doc, f.texts);
    store.setChannelFieldText("140.0", 0, 0, ChannelField::RxFrequency, nullptr);
    store.setChannelFieldText("155.0", 0, 0, ChannelField::TxFrequency, &f.boxes); // narrow already
    ASSERT_EQ(f.messenger.ids(), std::vector<int>{});
    setLe16(store.channelRecord(0, 0), 12, le16(store.channelRecord(0, 0), 12) | 0x0400);
    store.checkNarrowband(0, 0, nullptr); // leaves the warning flag set
    EXPECT_FALSE(store.checkAllNarrowband(true, &f.boxes)) << "a stale flag is no reason to warn";
    EXPECT_TRUE(f.messenger.ids().empty());

    setLe16(store.channelRecord(0, 0), 12, le16(store.channelRecord(0, 0), 12) | 0x0400);
    EXPECT_TRUE(store.checkAllNarrowband(true, &f.boxes));
    setLe16(store.channelRecord(0, 0), 12, le16(store.channelRecord(0, 0), 12) | 0x0400);
    EXPECT_TRUE(store.checkAllNarrowband(false, &f.boxes));
    EXPECT_EQ(f.messenger.ids(), (std::vector<int>{553, 554}));
    EXPECT_FALSE(store.warningFlag());
}

TEST_F(FieldFixture, ReceiveFrequencyOfTheOtherBandMovesTheChannelToTheOtherUnit) {
    prepare(doc, dualBand(4, 6)); // VHF + UHF
    set(1, 2, ChannelField::RxFrequency, "150.0");
    set(1, 2, ChannelField::TxFrequency, "150.0");
    set(1, 2, ChannelField::Encode, "67.0");
    doc.image().main()[kRepeater] = 2;
    doc.image().main()[kRepeater + 1] = 3;
    ASSERT_EQ(flagsB(1, 2) & 0x0100, 0);

    EXPECT_TRUE(set(1, 2, ChannelField::RxFrequency, "460.0"));
    EXPECT_NE(flagsB(1, 2) & 0x0100, 0) << "radio unit 2";
    EXPECT_EQ(text(1, 2, ChannelField::TxFrequency), "");
    EXPECT_EQ(store.channelFieldText(1, 2, ChannelField::Encode).raw, 0xFFFF);
    EXPECT_EQ(flagsA(1, 2) & 0x2200, 0x2200);
    EXPECT_EQ(flagsB(1, 2) & 0x0C00, 0x0C00);
    EXPECT_EQ(store.repeaterIndexOf(1, 2), 0xFF);
    EXPECT_EQ(flagsA(1, 2) & 0x0400, 0) << "both units have a bandwidth choice: stays narrow";
    // The transmit frequency is now checked against unit 2's band.
    EXPECT_TRUE(set(1, 2, ChannelField::TxFrequency, "465.0"));
    EXPECT_FALSE(set(1, 2, ChannelField::TxFrequency, "150.0"));
}

TEST_F(FieldFixture, CrossingTheLowBandBoundarySetsWideAndCompanderOff) {
    prepare(doc, dualBand(1, 6, 0)); // low band + UHF
    set(0, 0, ChannelField::RxFrequency, "33.4");
    ASSERT_EQ(flagsB(0, 0) & 0x0300, 0x0200) << "model 1, compander off from the new record";
    setLe16(store.channelRecord(0, 0), 14, flagsB(0, 0) & ~0x0200);
    set(0, 0, ChannelField::RxFrequency, "460.0");
    EXPECT_EQ(flagsB(0, 0) & 0x0300, 0x0300);
    EXPECT_NE(flagsA(0, 0) & 0x0400, 0);
}

TEST_F(FieldFixture, NoiseBlankerIsCopiedIntoLowBandChannelsOnly) {
    prepare(doc, dualBand(2, 6, 0)); // low band + UHF
    doc.image().main()[0x0F] = 0xFF;
    set(0, 0, ChannelField::RxFrequency, "460.0");
    set(0, 1, ChannelField::RxFrequency, "39.0");
    EXPECT_EQ(doc.image().main()[0x0F], 0) << "unset is taken as off and written back";
    EXPECT_EQ(flagsA(0, 1) & 0x0400, 0);
    const std::uint16_t uhf = flagsA(0, 0);
    store.applyNoiseBlanker(1);
    EXPECT_NE(flagsA(0, 1) & 0x0400, 0);
    EXPECT_EQ(flagsA(0, 0), uhf);
}

TEST_F(FieldFixture, PttIdIsClearedWhereTheUnitHasNoKindTwoBoard) {
    ModelIdentification id = dualBand(4, 6);
    id.setOptionBoard(kModel2, 2);
    prepare(doc, id);
    set(0, 0, ChannelField::RxFrequency, "150.0");
    set(0, 1, ChannelField::RxFrequency, "460.0");
    setFlagsA(0, 0, flagsA(0, 0) | 0x0008);
    setFlagsA(0, 1, flagsA(0, 1) | 0x0008);
    store.clearPttIdWithoutOption();
    EXPECT_NE(flagsA(0, 0) & 0x0008, 0) << "only in PTT ID mode 2";
    doc.image().main()[0x34] = 2;
    store.clearPttIdWithoutOption();
    EXPECT_EQ(flagsA(0, 0) & 0x0008, 0);
    EXPECT_NE(flagsA(0, 1) & 0x0008, 0);
}

TEST_F(FieldFixture, TextsOfEveryField) {
    for (auto fld : {ChannelField::RxFrequency, ChannelField::Decode, ChannelField::ScanAdd})
        EXPECT_EQ(store.channelFieldText(0, 0, fld).text, "") << "missing channel";
    set(0, 0, ChannelField::RxFrequency, "45");
    EXPECT_EQ(text(0, 0, ChannelField::RxFrequency), "148.00000") << "below the wide range: lower edge";
    prepare(doc, dualBand(1, 6, 0));
    set(0, 0, ChannelField::RxFrequency, "45");
    EXPECT_EQ(text(0, 0, ChannelField::RxFrequency), "45.00000");
    EXPECT_EQ(text(0, 0, ChannelField::Decode), "T262");
    set(0, 0, ChannelField::Decode, "D089X9");
    EXPECT_EQ(text(0, 0, ChannelField::Decode), "D077N");
    set(0, 0, ChannelField::Decode, "T262");
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::Decode).raw, 0xFFFF);
    EXPECT_EQ(text(0, 0, ChannelField::ScanAdd), "T355");
    EXPECT_EQ(text(0, 0, ChannelField::Signalling), "T278");

    store.setChannelChoice(0, 0, ChannelField::ScanAdd, 0);
    store.setChannelChoice(0, 0, ChannelField::Signalling, 3);
    store.setChannelChoice(0, 0, ChannelField::Encode, 1);
    store.setChannelChoice(0, 0, ChannelField::Signalling, 9); // not a choice: ignored
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::ScanAdd).raw, 0);
    EXPECT_EQ(text(0, 0, ChannelField::ScanAdd), "T354");
    EXPECT_EQ(text(0, 0, ChannelField::Signalling), "T357");
    EXPECT_EQ(store.channelFieldText(0, 0, ChannelField::Encode).raw, 670);

    set(0, 0, ChannelField::Name, "A NAME THAT IS MUCH TOO LONG");
    auto name = store.channelName(0, 0);
    EXPECT_EQ(std::string(name.begin(), name.end()), "A NAME THAT IS M");
    EXPECT_EQ(text(0, 0, ChannelField::Name), "A NAME T");
    set(0, 0, ChannelField::Name, "AB");
    EXPECT_EQ(std::string(name.begin(), name.end()), "AB              ");
    set(0, 0, ChannelField::Name, "");
    EXPECT_EQ(name[0], 0xFF);
    EXPECT_EQ(text(0, 0, ChannelField::Name), "");
}

} // namespace
} // namespace velora::test
