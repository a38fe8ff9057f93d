// The key view: which functions each configuration offers, the keys a head has, the clearing of the
// home and emergency group/channel, and the key-table searches other editors use.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "features/KeyAssignment.h"

namespace velora::test {
namespace {

using namespace keys;

constexpr std::size_t kHome = kRefs + 4, kEmergency = kRefs + 6;

struct Config {
    bool dualHead = false, dualBand = false;
    int board1 = 0, board2 = 0;
    bool head2SecondType = false;
};

ModelIdentification idOf(const Config& c) {
    ModelIdentification id = c.dualBand ? dualBand(4, 8, 1) : ModelIdentification::defaults();
    id.setDualHead(c.dualHead);
    id.setOptionBoard(kModel1, c.board1);
    id.setOptionBoard(kModel2, c.board2);
    id.setHeadType(kHead2, c.head2SecondType ? 1 : 0);
    return id;
}

std::vector<int> codes(const std::vector<forms::ValueItem>& items) {
    std::vector<int> out;
    for (const auto& i : items)
        out.push_back(i.stored);
    return out;
}

TEST(KeyFunctions, OfferedByConfiguration) {
    // The functions that depend on the configuration: 20, 21, 24, 27 and the extended-only 32-34.
    struct Case {
        const char* name;
        Config config;
        bool extended;
        int head;
        std::vector<int> conditional;
    } cases[] = {
        {"plain", {}, false, 0, {}},
        {"second head", {.dualHead = true}, false, 1, {20, 27}},
        {"second unit", {.dualBand = true}, false, 0, {21}},
        {"extended", {}, true, 0, {34, 33, 32}},
        {"kind-1 board on unit 1", {.board1 = 1}, false, 0, {24}},
        {"kind-2 board", {.board1 = 2}, false, 0, {}},
        {"unit-2 board, single unit, head 1", {.dualHead = true, .board2 = 1}, false, 0, {20, 27}},
        {"unit-2 board, single unit, head 2", {.dualHead = true, .board2 = 1}, false, 1, {20, 24, 27}},
        {"unit-2 board, second unit", {.dualBand = true, .board2 = 1}, false, 0, {21, 24}},
    };
    const std::vector<int> conditionalCodes{20, 21, 24, 27, 32, 33, 34};
    for (const auto& c : cases) {
        auto offered = codes(offeredKeyFunctions(idOf(c.config), c.extended, c.head));
        std::vector<int> present;
        for (int code : offered)
            if (std::count(conditionalCodes.begin(), conditionalCodes.end(), code)) present.push_back(code);
        EXPECT_EQ(present, c.conditional) << c.name;
        EXPECT_EQ(offered.size(), 28 + c.conditional.size()) << c.name;
        EXPECT_EQ(offered.front(), 0xFF) << c.name;
        EXPECT_EQ(std::count(offered.begin(), offered.end(), 31), 0) << c.name;
    }
}

TEST(KeyFunctions, ListOrderAndTexts) {
    Config dual{.dualHead = true, .dualBand = true, .board1 = 1};
    auto items = offeredKeyFunctions(idOf(dual), true, 0);
    EXPECT_EQ(codes({items.begin() + 25, items.end()}),
              (std::vector<int>{34, 33, 25, 26, 24, 27, 28, 29, 32, 30}));
    EXPECT_EQ(items[1].text, 310);
    EXPECT_EQ(items[34].text, 340);
    EXPECT_EQ(keyFunctionHelp(31), 1);
    EXPECT_EQ(keyFunctionHelp(0xFF), 220);
    EXPECT_EQ(keyFunctionHelp(24), 245);
}

struct KeyViewFixture : ::testing::Test {
    MessengerFixture f;
    Document doc;
    KeyAssignmentArea area{doc, f.boxes};
    void configure(const Config& c) { prepare(doc, idOf(c)); }
    Byte& m(std::size_t off) { return doc.image().main()[off]; }
};

TEST_F(KeyViewFixture, HeadsListTheirKeysAndFrameThem) {
    configure({.dualHead = true, .head2SecondType = true});
    ASSERT_EQ(area.gridRowCount(0), 7);
    std::vector<std::string> names;
    for (int r = 0; r < 7; ++r)
        names.push_back(area.gridRowTitle(0, r));
    EXPECT_EQ(names, (std::vector<std::string>{"T466", "T467", "T470", "T471", "T472", "T473", "T474"}));
    EXPECT_EQ(area.rowRect(0, 2), (KeyRect{101, 46, 113, 53})) << "row 3 frames position 4";

    ASSERT_EQ(area.gridRowCount(1), 13);
    EXPECT_EQ(area.gridRowTitle(1, 12), "T478");
    EXPECT_EQ(area.rowRect(1, 12), (KeyRect{193, 29, 205, 36}));
    EXPECT_FALSE(area.rowRect(1, 13));

    configure({});
    EXPECT_FALSE(area.pageAvailable(1));
    EXPECT_EQ(area.gridRowCount(1), 0);
}

TEST_F(KeyViewFixture, EachHeadEditsItsOwnKeysAndKnob) {
    configure({.dualHead = true});
    area.commitGridChoice(1, 2, forms::kValueColumn, 5); // head 2, row 3 = position 4
    EXPECT_EQ(m(keyOffset(kHead2, 4)), 5);
    EXPECT_EQ(m(keyOffset(kHead1, 4)), 0xFF);
    area.commitChoice(1, KeyAssignmentArea::kKnob, 1);
    EXPECT_EQ(m(knobOffset(kHead2)), 1);
    EXPECT_EQ(area.knobText(1), "T308");
    EXPECT_EQ(area.knobText(0), "") << "head 1's unset knob shows no selection";
}

TEST_F(KeyViewFixture, UnknownCodesShowEmptyAndUnofferedCodesAreRefused) {
    configure({});
    m(keyOffset(kHead1, 0)) = 31;
    EXPECT_EQ(area.gridCellTextAt(0, 0, forms::kValueColumn).text, "");
    EXPECT_EQ(area.gridCellTextAt(0, 0, forms::kValueColumn).value, 31);
    EXPECT_EQ(area.gridCellHelpAt(0, 0, forms::kValueColumn), 1);

    area.commitGridChoice(0, 0, forms::kValueColumn, 20); // second-head function on a single-head radio
    area.commitGridChoice(0, 0, forms::kValueColumn, 31);
    EXPECT_EQ(m(keyOffset(kHead1, 0)), 31);
    area.commitGridChoice(0, 0, forms::kValueColumn, 16);
    EXPECT_EQ(area.gridCellTextAt(0, 0, forms::kValueColumn).text, "T326");
}

TEST_F(KeyViewFixture, LeavingTheListClearsReferencesThatLostTheirLastUser) {
    // Each case: what still uses the functions after the edit, and which pairs survive.
    struct Case {
        const char* name;
        Config config;
        std::vector<std::pair<std::size_t, Byte>> bytes;
        bool homeKept, emergencyKept;
    } cases[] = {
        {"nothing left", {}, {}, false, false},
        {"home key 17 on head 1", {}, {{keyOffset(kHead1, 5), 17}}, true, false},
        {"home key 18 on fitted head 2", {.dualHead = true}, {{keyOffset(kHead2, 0), 18}}, true, false},
        {"home key on unfitted head 2", {}, {{keyOffset(kHead2, 0), 17}}, false, false},
        {"home pin of head 1", {}, {{0x32A, 7}}, true, false},
        {"home pin of head 2", {}, {{0x32D, 7}}, true, false},
        {"home function on a unit pin", {}, {{0x325, 7}}, false, false},
        {"emergency key on head 1", {}, {{keyOffset(kHead1, 7), 14}}, false, true},
        {"emergency key on unfitted head 2", {}, {{keyOffset(kHead2, 6), 14}}, false, true},
    };
    for (const auto& c : cases) {
        configure(c.config);
        m(keyOffset(kHead1, 4)) = 17; // the keys being edited away
        m(keyOffset(kHead1, 6)) = 14;
        for (auto [at, b] : c.bytes)
            m(at) = b;
        m(kHome) = 1, m(kHome + 1) = 2, m(kEmergency) = 3, m(kEmergency + 1) = 4;

        area.commitGridChoice(0, 2, forms::kValueColumn, 0xFF); // position 4
        area.commitGridChoice(0, 4, forms::kValueColumn, 0xFF); // position 6
        EXPECT_EQ(m(kHome), 1) << c.name << ": nothing is cleared while the list is open";
        area.gridEditEnded(0);

        EXPECT_EQ(m(kHome) != 0xFF && m(kHome + 1) != 0xFF, c.homeKept) << c.name;
        EXPECT_EQ(m(kHome) == 0xFF && m(kHome + 1) == 0xFF, !c.homeKept) << c.name;
        EXPECT_EQ(m(kEmergency) == 0xFF && m(kEmergency + 1) == 0xFF, !c.emergencyKept) << c.name;
    }
}

TEST(KeySearches, FindAndReset) {
    std::vector<Byte> main(0x4000, 0xFF);
    HeadSetup single{false, {true, false}};
    HeadSetup dual{true, {true, false}};
    main[keyOffset(kHead1, 9)] = 5;
    main[keyOffset(kHead2, 2)] = 5;
    main[keyOffset(kHead2, 3)] = 6;

    EXPECT_EQ(findKeyWithFunction(main, 5), (KeyRef{0, 9}));
    EXPECT_EQ(findKeyWithFunction(main, 6), (KeyRef{1, 3})) << "head 2's table counts, fitted or not";
    EXPECT_FALSE(findKeyWithFunction(main, 7));

    // Reset: each key returns to its position's default by its own head's type.
    main[keyOffset(kHead1, 2)] = 9;
    main[keyOffset(kHead2, 1)] = 9;
    main[keyOffset(kHead2, 2)] = 9;
    EXPECT_EQ(resetKeysWithFunction(main, 9, single), 2);
    EXPECT_EQ(main[keyOffset(kHead1, 2)], 22);
    EXPECT_EQ(main[keyOffset(kHead2, 1)], 9);
    EXPECT_EQ(resetKeysWithFunction(main, 9, single, KeyScope::BothTables), 1);
    EXPECT_EQ(main[keyOffset(kHead2, 1)], 15);
    EXPECT_EQ(main[keyOffset(kHead2, 2)], 0xFF) << "first-type head: no default on position 2";
    EXPECT_EQ(resetKeysWithFunction(main, 9, dual), -1);
}

} // namespace
} // namespace velora::test
