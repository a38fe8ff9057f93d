// Channel list maintenance: capacity, adding and deleting, renumbering, group copy, references,
// capacity trimming, names and the repair of loaded tables.
#include <gtest/gtest.h>

#include <functional>

#include "ChannelTestUtil.h"
#include "TestSupport.h"

namespace velora::test {
namespace {

struct StoreFixture : ::testing::Test {
    explicit StoreFixture(bool extended = false) : doc(RunOptions{extended, false}) { prepare(doc); }
    NumberedTexts texts;
    Document doc;
    ChannelStore store{doc, texts};
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
    void setRef(int kind, int g, int c) {
        m(kRefs + 2 * kind) = Byte(g);
        m(kRefs + 2 * kind + 1) = Byte(c);
    }
    void setRemote(int i, int g, int c) {
        m(kRemote + 2 * i) = Byte(g + 1);
        m(kRemote + 2 * i + 1) = Byte(c + 1);
    }
};
struct ExtendedFixture : StoreFixture {
    ExtendedFixture() : StoreFixture(true) {}
};

TEST_F(StoreFixture, AddingToAnEmptyGroupPlacesItAfterTheLowerGroups) {
    put(store, 0, 0);
    put(store, 0, 7);
    put(store, 9, 2);
    int r = put(store, 3, 4);
    ASSERT_GE(r, 0);
    EXPECT_EQ(m(kGroupTable + 2 * 3), 2); // first position = channels of groups 0..2
    EXPECT_EQ(m(kGroupTable + 2 * 3 + 1), 1);
    EXPECT_EQ(m(kGroupTable + 2 * 9), 3); // the higher group moved up
    EXPECT_EQ(m(kList + 2 * 2), 5);       // channel number + 1
    EXPECT_EQ(store.findRecord(3, 4), r);
    EXPECT_TRUE(store.channelExists(3, 4));
    EXPECT_FALSE(store.channelExists(3, 3));
    EXPECT_EQ(store.usedBytes(), 64);
    EXPECT_EQ(store.addChannel(3, 4), ChannelStore::kRefused) << "a channel number cannot repeat";
    EXPECT_EQ(store.addChannel(3, 160), ChannelStore::kRefused) << "channel numbers end at 159";
    EXPECT_EQ(store.addChannel(3, -1), ChannelStore::kRefused);
    EXPECT_GE(put(store, 3, 159), 0);
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, PoolFullAtOneHundredSixtyRefusesAndChangesNothing) {
    for (int c = 0; c < 100; ++c)
        ASSERT_GE(put(store, 0, c), 0);
    for (int c = 0; c < 60; ++c)
        ASSERT_GE(put(store, 5, c), 0);
    EXPECT_EQ(store.freeBytes(), 0);
    ImageCopy before = doc.image().working();
    EXPECT_EQ(store.addChannel(7, 0), ChannelStore::kNoRoom);
    EXPECT_EQ(store.addChannel(0, 150), ChannelStore::kNoRoom);

    MessengerFixture f;
    EXPECT_FALSE(store.setChannelFieldText("150.0", 7, 0, ChannelField::RxFrequency, &f.boxes));
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{229});
    EXPECT_EQ(store.copyChannel(7, 0, 0, 0), ChannelStore::CopyResult::NoRoom);
    EXPECT_EQ(store.copyChannel(7, -1, 0, 0), ChannelStore::CopyResult::Refused) << "refused before no room";
    EXPECT_FALSE(store.copyGroup(9, 5));
    EXPECT_TRUE(doc.image().working() == before);
    // Replacing an existing channel frees its record first, so that copy succeeds.
    EXPECT_EQ(store.copyChannel(5, 0, 0, 3), ChannelStore::CopyResult::Copied);
    expectInvariants(doc, store);
}

TEST_F(ExtendedFixture, PoolFullAtTwoHundredFiftyFive) {
    for (int c = 0; c < 254; ++c)
        ASSERT_GE(put(store, 2, c), 0);
    EXPECT_EQ(store.addChannel(2, 254), ChannelStore::kRefused) << "channel numbers end at 254";
    ASSERT_GE(put(store, 159, 253), 0);
    EXPECT_EQ(store.freeBytes(), 0);
    EXPECT_EQ(store.addChannel(0, 0), ChannelStore::kNoRoom);
    EXPECT_EQ(m(kList + 2 * 255), 0xFF) << "the last list position stays free";
    EXPECT_EQ(m(kGroupTable + 2 * 159), 254);
    expectInvariants(doc, store);
    // Deleting one makes room again, and the freed record is reused.
    int r = store.findRecord(2, 100);
    store.deleteChannel(2, 100);
    EXPECT_EQ(put(store, 0, 0), r);
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, AllocationFollowsTheListNotRecordContents) {
    // Record 0 holds stale bytes that no list entry names: it is free and comes back cleared.
    for (std::size_t i = 0; i < 16; ++i)
        m(kRecords + i) = Byte(i);
    doc.image().ext()[kChannelNames] = 'X';
    EXPECT_EQ(store.firstFreeRecord(), 0);
    int r = store.addChannel(4, 4);
    ASSERT_EQ(r, 0);
    store.initNewRecord(r);
    EXPECT_EQ(le16(doc.image().main(), kRecords + 8), 0xFFFF);
    EXPECT_EQ(le16(doc.image().main(), kRecords + 10), 0xFFFF);
    EXPECT_EQ(doc.image().ext()[kChannelNames], 0xFF);
    // A fresh record: flag A narrow with scan add, flag B model 1, compander off, scrambler off.
    EXPECT_EQ(le16(doc.image().main(), kRecords + 12), 0xFB00);
    EXPECT_EQ(le16(doc.image().main(), kRecords + 14), 0xFEFF);
}

TEST_F(StoreFixture, DeletingTheLastChannelForgetsTheGroupEverywhere) {
    put(store, 1, 0);
    put(store, 2, 3);
    put(store, 2, 4);
    put(store, 3, 0);
    setRef(0, 2, 3);
    setRef(1, 2, 0xFF); // group chosen, channel not yet
    setRef(2, 1, 0);
    setRemote(0, 2, 3);
    setRemote(15, 2, 7); // the unused 16th position goes too
    setRemote(3, 3, 0);
    m(kRepeater) = 3;
    m(kRepeater + 1) = 0xFF;
    int r = store.findRecord(2, 3);

    store.deleteChannel(2, 3);
    EXPECT_EQ(m(kRefs), 0xFF) << "a reference to the deleted channel goes";
    EXPECT_EQ(m(kRefs + 2), 2) << "the group still holds a channel";
    EXPECT_EQ(m(kRemote), 0xFF);
    EXPECT_EQ(m(kRecords + 16 * r), 0xFF);
    EXPECT_EQ(doc.image().ext()[kChannelNames + 16 * r], 0xFF);

    store.deleteChannel(2, 4);
    EXPECT_EQ(m(kGroupTable + 4), 0xFF);
    EXPECT_EQ(m(kGroupTable + 5), 0xFF);
    EXPECT_EQ(m(kRefs + 2), 0xFF);
    EXPECT_EQ(m(kRefs + 3), 0xFF);
    EXPECT_EQ(m(kRemote + 30), 0xFF);
    EXPECT_EQ(m(kRepeater), 0xFF);
    EXPECT_EQ(m(kRefs + 4), 1) << "other groups keep their references";
    EXPECT_EQ(m(kRemote + 6), 4);
    EXPECT_EQ(m(kGroupTable + 6), 1) << "group 3 now follows group 1 directly";
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, DeleteGroupKeepsItsSettingsButNoReferences) {
    put(store, 4, 0);
    put(store, 4, 9);
    put(store, 6, 1);
    store.groupRecord(4)[0] = 12;
    store.groupName(4)[0] = 'N';
    setRef(3, 4, 0xFF);
    setRemote(2, 4, 9);
    m(kRemote + 2 * 5) = 5; // group 4 with no channel chosen
    store.deleteGroup(4);
    EXPECT_FALSE(store.groupUsed(4));
    EXPECT_EQ(store.groupRecord(4)[0], 12);
    EXPECT_EQ(store.groupName(4)[0], 'N');
    EXPECT_EQ(m(kRefs + 6), 0xFF);
    EXPECT_EQ(m(kRemote + 4), 0xFF);
    EXPECT_EQ(m(kRemote + 10), 0xFF);
    EXPECT_EQ(m(kGroupTable + 12), 0);
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, InsertAndRemoveRenumberAndClearReferencesInsteadOfMovingThem) {
    put(store, 5, 0);
    put(store, 5, 2);
    put(store, 5, 3);
    m(0x00) = 1;     // priority 1 applies
    setRef(0, 5, 3); // channel 4
    setRef(1, 5, 0); // channel 1, below the insertion point
    setRef(2, 5, 2); // home channel 3: its feature does not apply, it must not follow either
    setRemote(0, 5, 3);
    setRemote(1, 5, 0);
    int r4 = store.findRecord(5, 3);

    store.insertChannelNumber(5, 2);
    EXPECT_EQ(store.channelNumbers(5), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(store.findRecord(5, 4), r4) << "records do not move";
    EXPECT_EQ(m(kRefs), 0xFF);
    EXPECT_EQ(m(kRefs + 2), 5);
    EXPECT_EQ(m(kRefs + 4), 0xFF);
    EXPECT_EQ(m(kRemote), 0xFF);
    EXPECT_EQ(m(kRemote + 2), 6);
    expectInvariants(doc, store);

    setRef(0, 5, 4);
    store.removeChannelNumber(5, 3); // channel 4 is deleted, 5 becomes 4
    EXPECT_EQ(store.channelNumbers(5), (std::vector<int>{0, 3}));
    EXPECT_EQ(store.findRecord(5, 3), r4);
    EXPECT_EQ(m(kRefs), 0xFF);
    store.removeChannelNumber(5, 1); // an empty number: the rest moves down
    EXPECT_EQ(store.channelNumbers(5), (std::vector<int>{0, 2}));
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, InsertDoesNothingWhenTheTopNumberIsTaken) {
    put(store, 0, 3);
    put(store, 0, 159);
    ImageCopy before = doc.image().working();
    store.insertChannelNumber(0, 0);
    EXPECT_TRUE(doc.image().working() == before);
}

TEST_F(StoreFixture, CopyGroupSucceedsExactlyWhenTheResultFits) {
    for (int c = 0; c < 120; ++c)
        put(store, 0, c);
    for (int c = 0; c < 20; ++c)
        put(store, 1, c * 3);
    for (int c = 0; c < 10; ++c)
        put(store, 2, c);
    ImageCopy before = doc.image().working();
    EXPECT_FALSE(store.copyGroup(3, 1)) << "150 + 20 > 160";
    EXPECT_TRUE(doc.image().working() == before);
    put(store, 4, 0);
    ImageCopy full = doc.image().working();
    EXPECT_FALSE(store.copyGroup(2, 1)) << "151 + 20 - 10 > 160";
    EXPECT_TRUE(doc.image().working() == full) << "the destination group stays";
    store.deleteChannel(4, 0);

    store.groupRecord(1)[0] = 21;
    store.groupName(1)[0] = 'G';
    GroupSnapshot source = snapshot(store, 1);
    EXPECT_TRUE(store.copyGroup(2, 1)) << "150 + 20 - 10 = 160";
    EXPECT_EQ(store.freeBytes(), 0);
    EXPECT_EQ(snapshot(store, 2), source);
    EXPECT_EQ(snapshot(store, 1), source);
    EXPECT_EQ(store.groupRecord(2)[0], 21);
    EXPECT_EQ(store.groupName(2)[0], 'G');
    EXPECT_NE(store.findRecord(2, 0), store.findRecord(1, 0));
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, CopyGroupFromAHigherGroupAndFromAnEmptyOne) {
    put(store, 1, 0);
    for (int c = 0; c < 5; ++c)
        put(store, 8, c + 10);
    GroupSnapshot source = snapshot(store, 8);
    GroupSnapshot other = snapshot(store, 1);
    ASSERT_TRUE(store.copyGroup(0, 8));
    EXPECT_EQ(snapshot(store, 0), source);
    EXPECT_EQ(snapshot(store, 8), source);
    EXPECT_EQ(snapshot(store, 1), other);
    expectInvariants(doc, store);

    store.groupRecord(0)[0] = 9;
    EXPECT_TRUE(store.copyGroup(0, 30)) << "copying an empty group empties the destination";
    EXPECT_FALSE(store.groupUsed(0));
    EXPECT_EQ(store.groupRecord(0)[0], 9);
    ImageCopy before = doc.image().working();
    EXPECT_TRUE(store.copyGroup(8, 8));
    EXPECT_TRUE(doc.image().working() == before) << "a group copied onto itself stays";
    expectInvariants(doc, store);
}

TEST_F(StoreFixture, ChannelCopyGivesTheGroupItsDefaultName) {
    m(0x11) = 3;
    put(store, 0, 0);
    EXPECT_EQ(store.copyChannel(0, 0, 0, 0), ChannelStore::CopyResult::SameChannel);
    EXPECT_EQ(store.copyChannel(11, 5, 0, 1), ChannelStore::CopyResult::NoSource);
    EXPECT_EQ(store.copyChannel(11, 5, 0, 0), ChannelStore::CopyResult::Copied);
    EXPECT_EQ(store.groupNameText(11), " 12");
    auto name = store.groupName(11);
    EXPECT_EQ(std::string(name.begin(), name.end()), " 12" + std::string(13, ' ')) << "blanks after the name";
    EXPECT_EQ(snapshot(store, 11).at(5), snapshot(store, 0).at(0));
}

TEST_F(StoreFixture, ReferencesNameOnlyExistingChannels) {
    put(store, 3, 3);
    EXPECT_FALSE(store.setReference(4, 0xFF, ReferenceKind::Home)) << "empty group";
    EXPECT_FALSE(store.setReference(3, 2, ReferenceKind::Home)) << "missing channel";
    EXPECT_TRUE(store.setReference(3, 3, ReferenceKind::Home));
    EXPECT_TRUE(store.referenceMatches(3, 0xFF, ReferenceKind::Home, false));
    EXPECT_FALSE(store.referenceMatches(3, 3, ReferenceKind::Home, true)) << "no key holds the home function";
    m(0x032D) = 7; // the home function on a function-port byte of head 2
    EXPECT_TRUE(store.referenceMatches(3, 3, ReferenceKind::Home, true));
    store.toggleReference(3, 3, ReferenceKind::Home, false);
    EXPECT_EQ(store.reference(ReferenceKind::Home), std::make_pair(0xFF, 0xFF));
    store.toggleReference(3, 3, ReferenceKind::Emergency, true);
    EXPECT_EQ(store.reference(ReferenceKind::Emergency), std::make_pair(0xFF, 0xFF)) << "clear only";
}

// --- Capacity -------------------------------------------------------------------------------------

TEST(ChannelCapacity, ExtendedDataIsTrimmedInNormalMode) {
    NumberedTexts texts;
    Document ext(RunOptions{true, false});
    prepare(ext);
    ChannelStore big(ext, texts);
    for (int c = 0; c < 150; ++c)
        put(big, 0, c);
    put(big, 1, 199); // channel 200
    for (int c = 0; c < 30; ++c)
        put(big, 2, c);
    big.setReference(1, 199, ReferenceKind::Priority1);
    EXPECT_EQ(big.adjustForCapacity(), 0);
    EXPECT_EQ(ext.image().main()[0x1F], 1);

    Document normal(RunOptions{false, false});
    normal.image().working() = ext.image().working();
    ChannelStore store(normal, texts);
    EXPECT_EQ(store.adjustForCapacity(), 21); // channel 200, then positions 160..179
    EXPECT_EQ(normal.image().main()[0x1F], 0xFF);
    EXPECT_FALSE(store.groupUsed(1));
    EXPECT_EQ(store.channelNumbers(2).size(), 10u);
    EXPECT_EQ(store.reference(ReferenceKind::Priority1).first, 0xFF);
    EXPECT_EQ(store.freeBytes(), 0);
    expectInvariants(normal, store);
    EXPECT_EQ(store.adjustForCapacity(), 0) << "a trimmed data set is left alone";
}

// --- Names ----------------------------------------------------------------------------------------

TEST_F(StoreFixture, NamesAreReadAndPaddedWithinTheirLength) {
    int r = put(store, 0, 0);
    auto name = store.recordName(r);
    const char text[] = "ABC  DEFGHIJKLMN";
    std::copy_n(text, 16, name.begin());
    m(0x10) = 5;
    EXPECT_EQ(store.channelNameText(0, 0), "ABC");
    m(0x10) = 200; // a length past the record reads the whole record
    EXPECT_EQ(store.channelNameText(0, 0), "ABC  DEFGHIJKLMN");
    m(0x10) = 0xFF;
    m(0x11) = 40;
    auto g0 = store.groupName(0);
    std::fill(g0.begin(), g0.end(), Byte('Q'));
    std::fill(store.groupName(1).begin(), store.groupName(1).end(), Byte(0xFF));
    store.padNames();
    EXPECT_EQ(std::string(name.begin(), name.end()), "ABC  DE         ");
    EXPECT_EQ(std::string(g0.begin(), g0.end()), std::string(16, 'Q')) << "a length past 16 pads nothing";
    EXPECT_EQ(store.groupName(1)[0], 0xFF) << "the next record is untouched";
    // Names of records past the pool are left alone.
    doc.image().ext()[kChannelNames + 16 * 200] = 'Z';
    store.padNames();
    EXPECT_EQ(doc.image().ext()[kChannelNames + 16 * 200 + 1], 0xFF);
}

// --- Loaded tables --------------------------------------------------------------------------------

TEST_F(StoreFixture, ConsistentTablesSurviveARebuildByteForByte) {
    for (int c = 0; c < 40; c += 3)
        put(store, 7, c);
    put(store, 2, 9);
    put(store, 150, 0);
    ImageCopy before = doc.image().working();
    EXPECT_TRUE(store.validateTables());
    EXPECT_FALSE(store.rebuildTables());
    EXPECT_TRUE(doc.image().working() == before);
}

TEST_F(StoreFixture, EachFaultAloneMakesTheTablesUnsound) {
    for (int c = 0; c < 3; ++c)
        put(store, 0, c); // list positions 0-2 hold numbers 1-3
    put(store, 1, 5);
    const std::vector<Byte> sound(doc.image().main().begin(), doc.image().main().end());
    struct Case {
        const char* fault;
        std::size_t at1;
        Byte to1;
        std::size_t at2;
        Byte to2;
    } cases[] = {
        {"numbers out of order", kList, 2, kList + 2, 1},
        {"a number repeated", kList + 2, 1, kList + 2, 1},
        {"number 0", kList, 0, kList, 0},
        {"a number past the group's limit", kList + 4, 161, kList + 4, 161},
        {"a record named twice", kList + 1, sound[kList + 3], kList + 1, sound[kList + 3]},
        {"an entry past the list", kList + 8, 1, kList + 9, sound[kList + 1]},
        {"a group's first position off", kGroupTable + 2, 4, kGroupTable + 2, 4},
    };
    for (const Case& c : cases) {
        std::copy(sound.begin(), sound.end(), doc.image().main().begin());
        m(c.at1) = c.to1;
        m(c.at2) = c.to2;
        EXPECT_FALSE(store.validateTables()) << c.fault;
    }
    std::copy(sound.begin(), sound.end(), doc.image().main().begin());
    EXPECT_TRUE(store.validateTables());
}

TEST_F(StoreFixture, EveryListChangeRepairsUnsoundTablesFirst) {
    for (int c = 0; c < 3; ++c)
        put(store, 0, c);
    put(store, 1, 5);
    const std::vector<Byte> unsound = [&] {
        std::swap(m(kList), m(kList + 2)); // group 0's first two numbers out of order
        return std::vector<Byte>(doc.image().main().begin(), doc.image().main().end());
    }();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"add", [&] { put(store, 2, 0); }},
        {"delete", [&] { store.deleteChannel(1, 5); }},
        {"delete group", [&] { store.deleteGroup(1); }},
        {"insert", [&] { store.insertChannelNumber(0, 1); }},
        {"remove", [&] { store.removeChannelNumber(0, 0); }},
        {"copy group", [&] { store.copyGroup(3, 1); }},
        {"trim", [&] { store.trimToNormalCapacity(); }},
    };
    for (const auto& [what, change] : changes) {
        std::copy(unsound.begin(), unsound.end(), doc.image().main().begin());
        ASSERT_FALSE(store.validateTables());
        change();
        EXPECT_TRUE(store.validateTables()) << what;
    }
}

TEST_F(StoreFixture, RebuildKeepsTheSoundEntries) {
    put(store, 0, 0);
    put(store, 0, 1);
    put(store, 0, 2);
    put(store, 1, 5);
    put(store, 2, 1);
    put(store, 2, 4);
    put(store, 3, 7);
    put(store, 4, 2);
    GroupSnapshot g1 = snapshot(store, 1);
    // Group 0: out of order and a repeated number; group 2's second entry names group 1's record;
    // group 3's only entry has number 0 and names group 4's record, which group 4 keeps.
    std::swap(m(kList + 0), m(kList + 4));
    m(kList + 2) = 3;
    m(kList + 2 * 5 + 1) = m(kList + 2 * 3 + 1);
    m(kList + 2 * 6) = 0;
    m(kList + 2 * 6 + 1) = m(kList + 2 * 7 + 1);
    setRef(0, 2, 4);
    EXPECT_FALSE(store.validateTables());
    EXPECT_TRUE(store.rebuildTables());
    EXPECT_EQ(store.channelNumbers(0), (std::vector<int>{0, 2}));
    EXPECT_EQ(snapshot(store, 1), g1);
    EXPECT_EQ(store.channelNumbers(2), (std::vector<int>{1}));
    EXPECT_TRUE(store.channelNumbers(3).empty());
    EXPECT_EQ(store.channelNumbers(4), (std::vector<int>{2}));
    EXPECT_EQ(m(kRefs), 0xFF) << "a reference to a dropped channel goes";
    expectInvariants(doc, store);
}

} // namespace
} // namespace velora::test
