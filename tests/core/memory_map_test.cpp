// The memory map: addresses of the bottom-to-top dump, byte edits in both blocks kept in the map's
// own buffer until Close, and the checks Close runs.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/DataSetInit.h"
#include "dataset/MemoryMap.h"

namespace velora::test {
namespace {

using Mode = MemoryMapMode;

struct MemoryMapFixture : ::testing::Test {
    MemoryMapFixture() {
        doc.image().reset();
        defaultInitialise(doc, true, true);
        doc.image().markSaved();
    }
    MessengerFixture f;
    Document doc;
};

TEST(MemoryMapLayout, RowsRunFromTheHighestAddressDownToOffsetZero) {
    struct Case {
        Mode mode;
        int row, col;
        const char* address;
        const char* rowTitle;
    } cases[] = {
        {Mode::Deck, 1024, 1, "0000", "   000_"},  // bottom-left
        {Mode::Deck, 1024, 18, "0000", "   000_"}, // its character cell
        {Mode::Deck, 1, 16, "3FFF", "   3FF_"},    // top-right
        {Mode::Deck, 1, 33, "3FFF", "   3FF_"},    {Mode::Deck, 1023, 3, "0012", "   001_"},
        {Mode::Head, 512, 1, "0000", "   000_"},   {Mode::Head, 1, 16, "1FFF", "   1FF_"},
        {Mode::Deck, 5, 17, "", "   3FB_"}, // the separator column is no byte
    };
    Document doc;
    for (const Case& c : cases) {
        MemoryMap map(doc, c.mode);
        EXPECT_EQ(map.addressText(c.row, c.col), c.address) << c.row << "," << c.col;
        EXPECT_EQ(map.rowTitle(c.row), c.rowTitle) << c.row;
    }
    EXPECT_EQ(MemoryMap::columnTitle(1), "__0");
    EXPECT_EQ(MemoryMap::columnTitle(33), "__F");
    EXPECT_EQ(MemoryMap::startPosition(Mode::Deck), (MemoryMapPosition{1009, 1024, 1}));
    EXPECT_EQ(MemoryMap::startPosition(Mode::Head), (MemoryMapPosition{497, 512, 1}));
}

TEST(MemoryMapLayout, RightAndLeftCarryOnAtTheNextAndPreviousAddress) {
    Document doc;
    MemoryMap map(doc, Mode::Head);
    struct Case {
        bool right;
        int row, col;
        std::optional<MemoryMapPosition> to;
    } cases[] = {
        {true, 10, 16, MemoryMapPosition{0, 9, 1}},
        {true, 10, 33, MemoryMapPosition{0, 9, 18}},
        {true, 1, 16, std::nullopt},
        {true, 10, 5, std::nullopt},
        {false, 10, 1, MemoryMapPosition{0, 11, 16}},
        {false, 10, 18, MemoryMapPosition{0, 11, 33}},
        {false, 512, 1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.right ? map.wrapRight(c.row, c.col) : map.wrapLeft(c.row, c.col), c.to)
            << c.row << "," << c.col;
    EXPECT_EQ(MemoryMap::partnerCol(4), 21);
    EXPECT_EQ(MemoryMap::partnerCol(21), 4);
}

TEST_F(MemoryMapFixture, EditsStayInTheMapsOwnBufferUntilClose) {
    struct Case {
        Mode mode;
        int row, col;
        const char* typed;
        Byte stored;
        const char* hexText;
        const char* charText;
    } cases[] = {
        {Mode::Deck, 1024, 1, "", 0xFF, "FF", "\xFF"}, // empty means FF
        {Mode::Deck, 1024, 2, "7", 0x07, "07", ""},    // one digit gets a leading 0
        {Mode::Deck, 1, 16, "A5", 0xA5, "A5", "\xA5"},
        {Mode::Deck, 1000, 20, "K", 0x4B, "4B", "K"}, // the character block stores the character
        {Mode::Head, 512, 1, "3C", 0x3C, "3C", "<"},
        {Mode::Head, 1, 33, "z", 0x7A, "7A", "z"},
    };
    for (const Case& c : cases) {
        const ImageCopy working = doc.image().working();
        const ImageCopy staging = doc.image().staging();
        MemoryMap map(doc, c.mode);
        ASSERT_TRUE(map.commitText(c.row, c.col, c.typed)) << c.typed;
        const std::size_t off = *map.offsetAt(c.row, c.col);
        const int hexCol = MemoryMap::isHexCol(c.col) ? c.col : MemoryMap::partnerCol(c.col);
        EXPECT_EQ(map.cellText(c.row, hexCol), c.hexText);
        EXPECT_EQ(map.cellText(c.row, MemoryMap::partnerCol(hexCol)), c.charText);
        // Nothing reaches the data set, nor the staging copy loads use, before Close.
        EXPECT_TRUE(doc.image().working() == working);
        EXPECT_TRUE(doc.image().staging() == staging);

        map.applyTo(doc, f.boxes);
        const auto area = doc.image().working().area(c.mode == Mode::Deck ? Area::Main : Area::Ext);
        EXPECT_EQ(area[off], c.stored) << c.typed;
    }
    EXPECT_TRUE(f.messenger.shown.empty());
}

TEST_F(MemoryMapFixture, CloseStoresExactlyTheBytesTyped) {
    // A Dravix setting: its own frames are derived from it elsewhere, but the map rebuilds nothing.
    auto expected = doc.image().working().main;
    const std::size_t off = layout::kDravix + 1;
    expected[off] = 0x22;
    MemoryMap map(doc, Mode::Deck);
    map.commitText(map.rowOf(off), int(off % 16) + 1, "22");
    map.applyTo(doc, f.boxes);
    EXPECT_TRUE(doc.image().working().main == expected);
}

TEST_F(MemoryMapFixture, RefusesWhatIsNotAByte) {
    MemoryMap map(doc, Mode::Deck);
    const Byte before = map.byteAt(0);
    for (const char* typed : {"G", "123", "-1"})
        EXPECT_FALSE(map.commitText(1024, 1, typed)) << typed;
    EXPECT_FALSE(map.commitText(1024, 18, "AB"));
    EXPECT_FALSE(map.commitText(1024, 17, "00"));
    EXPECT_EQ(map.byteAt(0), before);
}

TEST_F(MemoryMapFixture, CloseKeepsAnIdentificationThatNamesNoSupportedRadio) {
    const auto idBefore = identificationOf(doc.image());
    MemoryMap map(doc, Mode::Deck);
    const int idRow = map.rowOf(layout::kModelId);
    const int idCol = int(layout::kModelId % 16) + 1;
    map.commitText(idRow, idCol, "00");       // model code byte 0: no such model
    map.commitText(map.rowOf(0x20), 1, "5A"); // an ordinary byte in the same session
    const auto result = map.applyTo(doc, f.boxes);
    EXPECT_TRUE(result.identificationKept);
    EXPECT_EQ(identificationOf(doc.image()), idBefore);
    EXPECT_EQ(doc.image().main()[0x20], 0x5A);
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{220});

    // The application tag is kept the same way.
    f.messenger.shown.clear();
    MemoryMap tag(doc, Mode::Deck);
    tag.commitText(tag.rowOf(layout::kAppTag), int(layout::kAppTag % 16) + 1 + 17, "X");
    EXPECT_TRUE(tag.applyTo(doc, f.boxes).identificationKept);
    EXPECT_TRUE(hasApplicationTag(doc.image().main()));
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{220});
}

TEST_F(MemoryMapFixture, CloseTakesAValidIdentificationAndTheCodecFollows) {
    MemoryMap map(doc, Mode::Deck);
    const std::size_t band1 = layout::kModelId + ModelIdentification::kBandCode1;
    map.commitText(map.rowOf(band1), int(band1 % 16) + 1, "06"); // 450-490 MHz
    const auto result = map.applyTo(doc, f.boxes);
    EXPECT_FALSE(result.identificationKept);
    EXPECT_TRUE(result.identificationChanged);
    EXPECT_EQ(doc.codec().bandLimits(kModel1).upper, 490.0);
    EXPECT_TRUE(f.messenger.shown.empty());
}

TEST_F(MemoryMapFixture, CloseRebuildsBrokenChannelTables) {
    ChannelStore store(doc, f.texts);
    put(store, 0, 0);
    put(store, 0, 1);
    MemoryMap map(doc, Mode::Deck);
    // Group 0 claims a third channel the list does not hold.
    const std::size_t count = layout::kGroupTable + 1;
    map.commitText(map.rowOf(count), int(count % 16) + 1, "03");
    EXPECT_TRUE(map.applyTo(doc, f.boxes).tablesRebuilt);
    EXPECT_TRUE(store.validateTables());
    EXPECT_TRUE(store.channelExists(0, 1));
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{kTextTablesRebuilt});
}

TEST(MemoryMapPositions, EachModeRemembersWhereItWasLeft) {
    MemoryMapPositions positions;
    positions.remember(Mode::Head, {3, 7, 20});
    EXPECT_EQ(positions.of(Mode::Head), (MemoryMapPosition{3, 7, 20}));
    EXPECT_EQ(positions.of(Mode::Deck), MemoryMap::startPosition(Mode::Deck));
}

} // namespace
} // namespace velora::test
