// The test frequency editor's area: commits at the band edges, clearing an entry's pair, the
// default table of a model left without receive frequencies, the paste buffer, the close reminder and
// the keyed access of `velora-cli fields` / `set`.
#include <gtest/gtest.h>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "dataset/DataSetInit.h"
#include "features/FieldAccess.h"
#include "features/TestFrequencyArea.h"

namespace velora::test {
namespace {

using namespace forms;
using testfreq::kColRx;
using testfreq::kColTx;

struct TestFreqFixture : ::testing::Test {
    explicit TestFreqFixture(ModelIdentification id = ModelIdentification::defaults()) {
        doc.image().reset();
        setIdentification(doc.image(), id);
        defaultInitialise(doc, false, false);
    }
    MessengerFixture f;
    Document doc;
    TestFrequencyArea area{doc, f.boxes};
    std::string shown(int page, int row, int col) const { return area.gridCellTextAt(page, row, col).text; }
};

struct DualBandFixture : TestFreqFixture {
    DualBandFixture() : TestFreqFixture(dualBand(4, 6)) {}
};

TEST_F(DualBandFixture, CommitsRoundTripAndCorrectAtTheBandEdges) {
    struct Case {
        int page, col;
        const char* typed;
        const char* shown;
        int message; // 0: none
    } cases[] = {
        {0, kColRx, "148", "148.00000", 0},
        {0, kColRx, "174.0", "174.00000", 0},
        {0, kColTx, "173.99375", "173.99375", 0},
        {0, kColRx, "300", "174.00000", 222}, // beyond every VHF value: the band edge
        {0, kColTx, "50", "148.00000", 223},
        {1, kColRx, "450", "450.00000", 0}, // model 2, 450-490 MHz
        {1, kColTx, "490", "490.00000", 0},
        {1, kColTx, "900", "490.00000", 223},
    };
    for (const Case& c : cases) {
        f.messenger.shown.clear();
        area.commitGridText(c.page, 4, c.col, c.typed);
        EXPECT_EQ(shown(c.page, 4, c.col), c.shown) << c.typed;
        EXPECT_EQ(f.messenger.ids(), c.message ? std::vector<int>{c.message} : std::vector<int>{}) << c.typed;
    }
}

TEST_F(TestFreqFixture, ClearingEitherFrequencyClearsTheEntrysPair) {
    for (int col : {kColRx, kColTx}) {
        area.commitGridText(0, 2, kColRx, "150");
        area.commitGridText(0, 2, kColTx, "151");
        area.commitGridText(0, 2, col, "");
        EXPECT_EQ(shown(0, 2, kColRx), "") << col;
        EXPECT_EQ(shown(0, 2, kColTx), "") << col;
        EXPECT_EQ(readFrequency(doc.image().main(), testFrequencyOffset(kModel1, 3, true)), kNoFrequency);
    }
    // An unset entry between set ones shows nothing, whatever was shown before it.
    EXPECT_NE(shown(0, 1, kColRx), "");
    EXPECT_EQ(shown(0, 2, kColRx), "");
    EXPECT_NE(shown(0, 3, kColRx), "");
}

TEST_F(TestFreqFixture, AModelLeftWithoutReceiveFrequenciesGetsItsDefaults) {
    const auto defaults = doc.image().working().main;
    for (int row = 1; row < kTestChannels; ++row)
        area.commitGridText(0, row, kColRx, "");
    EXPECT_FALSE(area.commitGridText(0, 0, kColRx, "155").refreshAll);
    EXPECT_TRUE(area.commitGridText(0, 0, kColRx, "").refreshAll);
    EXPECT_TRUE(doc.image().working().main == defaults);

    f.messenger.shown.clear();
    EXPECT_TRUE(area.clearEntries(0, 0, kTestChannels - 1).refreshAll);
    EXPECT_TRUE(doc.image().working().main == defaults);
}

TEST_F(TestFreqFixture, TransmitWaitsForTheReceiveFrequency) {
    area.clearEntries(0, 5, 5);
    EXPECT_FALSE(area.isGridCellEnabledAt(0, 5, kColTx));
    EXPECT_EQ(forms::editableColumn(area, 0, 5, kColTx), kColRx);
    EXPECT_EQ(forms::editableColumn(area, 0, 0, kColTx), kColTx);
    area.commitGridText(0, 5, kColTx, "150");
    EXPECT_EQ(shown(0, 5, kColTx), "");
}

TEST_F(DualBandFixture, PasteOnlyIntoTheModelCopiedFrom) {
    const auto clip = area.copyEntries(0, 0, 2);
    EXPECT_FALSE(area.canPaste(clip, 1));
    EXPECT_TRUE(area.pasteEntries(clip, 1, 0).showFields.empty());
    EXPECT_EQ(shown(1, 0, kColRx), "460.10000");

    ASSERT_TRUE(area.canPaste(clip, 0));
    area.pasteEntries(clip, 0, 14); // never beyond entry 16
    EXPECT_EQ(shown(0, 14, kColRx), shown(0, 0, kColRx));
    EXPECT_EQ(shown(0, 15, kColTx), shown(0, 1, kColTx));
}

TEST_F(TestFreqFixture, ClosingRemindsToWriteUnderTheProductName) {
    testfreq::remindToWrite(f.boxes);
    ASSERT_EQ(f.messenger.ids(), std::vector<int>{227});
    EXPECT_EQ(f.messenger.shown[0].caption, "VELORA");
    EXPECT_EQ(f.messenger.shown[0].icon, MsgIcon::Information);
}

TEST_F(TestFreqFixture, FieldsAndSetAddressEveryCellByModelEntryAndColumn) {
    FieldAccess access(doc, f.boxes);
    const std::vector<std::string> areas{"test_frequency"};
    EXPECT_EQ(access.fields(areas).size(), 32u); // single band: model 1 only
    EXPECT_FALSE(access.find("test_frequency.2.1.rx"));
    EXPECT_EQ(access.find("test_frequency.1.1.rx")->text, "161.10000");

    EXPECT_TRUE(access.set("test_frequency.1.16.tx", "150")); // refused: no receive frequency yet
    EXPECT_FALSE(access.set("test_frequency.1.16.rx", "150.0125"));
    EXPECT_EQ(access.find("test_frequency.1.16.rx")->text, "150.01250");
    EXPECT_FALSE(access.set("test_frequency.1.16.tx", ""));
    EXPECT_EQ(access.find("test_frequency.1.16.rx")->text, "");
}

} // namespace
} // namespace velora::test
