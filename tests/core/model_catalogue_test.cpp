#include <gtest/gtest.h>

#include <algorithm>

#include "model/FrequencyCodec.h"
#include "model/MemoryImage.h"
#include "model/ModelCatalogue.h"
#include "model/TestFrequency.h"

using namespace velora;

namespace {

ModelIdentification makeId(std::string_view code, Byte band1, std::uint16_t config, Byte band2, Byte flags2) {
    ModelIdentification::Bytes b{};
    std::copy(code.begin(), code.end(), b.begin());
    b[5] = band1;
    b[6] = static_cast<Byte>(config & 0xFF);
    b[7] = static_cast<Byte>(config >> 8);
    b[8] = band2;
    b[9] = flags2;
    return ModelIdentification(b);
}

// VHF model 1 (band 4) with UHF model 2 (band 6).
ModelIdentification dualVhfUhf() {
    return makeId("Q0120", 4, 0x40F0, 6, 0xF0);
}

} // namespace

TEST(ModelIdentification, DefaultIsSingleBandVhf) {
    const auto id = ModelIdentification::defaults();
    const ModelIdentification::Bytes expected{'Q', '0', '1', '2', '0', 0x04, 0xF0, 0x00, 0x06, 0xF0};
    EXPECT_EQ(id.bytes(), expected);
    EXPECT_TRUE(id.isValid());
    EXPECT_EQ(id.modelIndex(kModel1), 1u);
    EXPECT_EQ(id.bandGroup(kModel1), BandGroup::Vhf);
    EXPECT_EQ(id.bandEntryIndex(kModel1), 3u);
    EXPECT_DOUBLE_EQ(id.bandEdges(kModel1).lower, 148.0);
    EXPECT_DOUBLE_EQ(id.bandEdges(kModel1).upper, 174.0);
    EXPECT_FALSE(id.isDualBand());
    EXPECT_FALSE(id.isDualHead());
    EXPECT_EQ(id.optionBoard(kModel1), 0);
    EXPECT_EQ(id.optionBoardText(kModel1), 262);
    EXPECT_EQ(id.headTypeText(kHead1), 160);
    EXPECT_EQ(dataSetTitle(id), "RM-420");
}

TEST(ModelIdentification, OutsideTheCatalogueGivesSafeAnswers) {
    for (const ModelIdentification& id :
         {ModelIdentification{}, makeId("X9999", 0xFF, 0xFFFF, 0xFF, 0xFF), makeId("Q012", 4, 0, 0, 0)}) {
        EXPECT_FALSE(id.isValid());
        EXPECT_FALSE(id.modelIndex(kModel1).has_value());
        EXPECT_FALSE(id.bandEntryIndex(kModel2).has_value());
        EXPECT_DOUBLE_EQ(id.bandEdges(kModel1).lower, 148.0);
        EXPECT_DOUBLE_EQ(id.bandEdges(kModel1).upper, 174.0);
        EXPECT_EQ(modelAndBandName(id, kModel1), "");
        EXPECT_EQ(modelWithBracketLabel(id, kModel2), "");
        EXPECT_EQ(dataSetTitle(id), "");
        EXPECT_GE(id.optionBoard(kModel2), 0);
        EXPECT_LE(id.optionBoard(kModel2), 2);
    }
    // A known model with a band code outside the table is invalid too.
    EXPECT_FALSE(makeId("Q0130", 0, 0x00F0, 0x0F, 0xF0).isValid());
    EXPECT_FALSE(makeId("Q0130", 10, 0x00F0, 0x0F, 0xF0).isValid());
    EXPECT_EQ(bandName(10), "");
    EXPECT_EQ(modelWithBracketLabel(3), "");
}

TEST(ModelIdentification, ValidityLooksAtModel1Only) {
    EXPECT_TRUE(dualVhfUhf().isValid());
    EXPECT_EQ(dualVhfUhf().modelIndex(kModel2), 2u);
    EXPECT_TRUE(makeId("Q0120", 4, 0x40F0, 5, 0xF0).isValid()); // both VHF
    // Model 2's band code outside the table: accepted, and model 2 has no model, group or name.
    const auto noBand2 = makeId("Q0120", 4, 0x40F0, 0x0F, 0xF0);
    EXPECT_TRUE(noBand2.isValid());
    EXPECT_FALSE(noBand2.modelIndex(kModel2).has_value());
    EXPECT_FALSE(noBand2.bandGroup(kModel2).has_value());
    EXPECT_EQ(modelAndBandName(noBand2, kModel2), "");
    EXPECT_EQ(dataSetTitle(noBand2), "RM-420");
}

TEST(ModelIdentification, OptionBoardsHeadsAndBits) {
    auto id = ModelIdentification::defaults();
    ASSERT_TRUE(id.setOptionBoard(kModel1, 2));
    EXPECT_EQ(id.optionBoard(kModel1), 2);
    EXPECT_EQ(id.optionBoardText(kModel1), 288);
    ASSERT_TRUE(id.setOptionBoard(kModel1, 1));
    EXPECT_EQ(id.configWord() & 0x3, 0x1);
    id.setConfigWord(id.configWord() | 0x3);
    EXPECT_EQ(id.optionBoard(kModel1), 1) << "kind 1 wins when both bits are set";
    EXPECT_FALSE(id.setOptionBoard(kModel1, 3));
    EXPECT_EQ(id.optionBoard(kModel1), 1);
    ASSERT_TRUE(id.setOptionBoard(kModel1, 0));
    EXPECT_EQ(id.configWord() & 0x3, 0);

    // Model 2's board sits in byte 9 and counts only when dual band.
    ASSERT_TRUE(id.setOptionBoard(kModel2, 2));
    EXPECT_EQ(id.bytes()[9], 0xF2);
    EXPECT_FALSE(id.hasOptionBoard(2));
    id.setDualBand(true);
    EXPECT_EQ(id.configWord(), 0x40F0);
    EXPECT_TRUE(id.hasOptionBoard(2));
    EXPECT_TRUE(id.hasOptionBoard(0));

    // Head 2's type counts only with dual head.
    id.setHeadType(kHead2, 1);
    EXPECT_EQ(id.headType(kHead2), 1);
    EXPECT_EQ(id.headTypeText(kHead2), 161);
    EXPECT_FALSE(id.secondTypeHeadInUse());
    id.setDualHead(true);
    EXPECT_TRUE(id.secondTypeHeadInUse());
    id.setDualHead(false);
    id.setHeadType(kHead1, 1);
    EXPECT_TRUE(id.secondTypeHeadInUse());
    EXPECT_EQ(id.configWord(), 0x4CF0);

    ASSERT_TRUE(id.setModelCode(2));
    EXPECT_EQ(id.modelCode(), "Q0130");
    EXPECT_FALSE(id.setModelCode(3));
    EXPECT_EQ(id.modelCode(), "Q0130");
    id.setBandCode(kModel2, 5);
    EXPECT_EQ(id.bytes()[8], 5);
    EXPECT_EQ(id.bandGroup(kModel2), BandGroup::Vhf);
}

TEST(ModelIdentification, SameRadioRule) {
    const auto doc = ModelIdentification::defaults();
    auto radio = doc;
    EXPECT_TRUE(doc.sameRadio(radio));

    auto versionBits = makeId("Q0120", 4, 0x0050, 0x0F, 0x30); // high nibbles of 6 and 9 differ
    EXPECT_TRUE(doc.sameRadio(versionBits)) << "byte 8 is ignored on single-band sides";

    auto otherBand = radio;
    otherBand.setBandCode(kModel1, 5);
    EXPECT_FALSE(doc.sameRadio(otherBand));
    auto lowNibble = radio;
    lowNibble.setOptionBoard(kModel1, 1);
    EXPECT_FALSE(doc.sameRadio(lowNibble));
    auto model2Board = radio;
    model2Board.setOptionBoard(kModel2, 1);
    EXPECT_FALSE(doc.sameRadio(model2Board)) << "byte 9's low nibble counts even when single band";
    auto dualHead = radio;
    dualHead.setDualHead(true);
    EXPECT_FALSE(doc.sameRadio(dualHead));

    // Both dual band: model 2's band code counts.
    const auto dual = dualVhfUhf();
    auto dualOther = dual;
    dualOther.setBandCode(kModel2, 7);
    EXPECT_TRUE(dual.sameRadio(dual));
    EXPECT_FALSE(dual.sameRadio(dualOther));
    EXPECT_FALSE(dual.sameRadio(doc));
}

TEST(ModelIdentification, ImageRoundTripAtItsOffset) {
    MemoryImage image;
    const auto id = dualVhfUhf();
    setIdentification(image, id);
    EXPECT_EQ(image.main()[0x3EE0], 'Q');
    EXPECT_EQ(image.main()[0x3EE6], 0xF0);
    EXPECT_EQ(image.main()[0x3EE7], 0x40);
    EXPECT_EQ(image.main()[0x3EE9], 0xF0);
    EXPECT_EQ(image.main()[0x3EEA], 0xFF);
    EXPECT_EQ(identificationOf(image), id);

    const Byte shortBuffer[3] = {'Q', '0', '1'};
    const auto partial = ModelIdentification::fromBytes(shortBuffer);
    EXPECT_EQ(partial.bytes()[2], '1');
    EXPECT_EQ(partial.bytes()[3], 0xFF);
    EXPECT_FALSE(partial.isValid());
}

TEST(DisplayNames, NamesTitlesAndSeparator) {
    EXPECT_EQ(bandName(1, ','), "29,7-37,0 MHz (K)");
    EXPECT_EQ(bandName(1), "29.7-37.0 MHz (K)");
    EXPECT_EQ(bandName(9), "450-480 MHz(Hi Power) (K)");
    const auto dual = dualVhfUhf();
    EXPECT_EQ(modelAndBandName(dual, kModel1), "RM-420 VHF : 148-174 MHz (K)");
    EXPECT_EQ(modelAndBandName(dual, kModel2), "RM-430 UHF : 450-490 MHz (K)");
    EXPECT_EQ(modelWithBracketLabel(dual, kModel1), "RM-420 [VHF]");
    EXPECT_EQ(dataSetTitle(dual), "RM-420 / RM-430");
    EXPECT_EQ(dataSetTitle(makeId("Q0110", 2, 0x00F0, 6, 0xF0)), "RM-410")
        << "model 2 shown only when dual band";
    EXPECT_EQ(modelAndBandName(makeId("Q0110", 2, 0, 0, 0), kModel1, ','), "RM-410 Low : 35,0-43,0 MHz (K2)");
}

TEST(ListFillers, ItemsAndData) {
    const auto models = modelList();
    ASSERT_EQ(models.size(), 3u);
    EXPECT_EQ(models[2].text, "RM-430 [UHF]");
    EXPECT_EQ(models[2].data, 2);

    const auto others = modelListExcept(1);
    ASSERT_EQ(others.size(), 2u);
    EXPECT_EQ(others[0].data, 0);
    EXPECT_EQ(others[1].data, 2);

    const auto uhf = bandList(BandGroup::Uhf, ',');
    ASSERT_EQ(uhf.size(), 4u);
    EXPECT_EQ(uhf[0].data, 6);
    EXPECT_EQ(uhf[3].data, 9);
    EXPECT_EQ(bandList(BandGroup::Low, ',')[0].text, "29,7-37,0 MHz (K)");

    const std::vector<ListItem> boards{{{}, 262, 0}, {{}, 265, 1}, {{}, 288, 2}};
    EXPECT_EQ(optionBoardList(), boards);
    const std::vector<ListItem> heads{{{}, 160, 0}, {{}, 161, 1}};
    EXPECT_EQ(headTypeList(), heads);
}

// --- Test frequency defaults ------------------------------------------------------------------------

class TestFrequencyDefaults : public ::testing::Test {
  protected:
    void build(ModelIdentification id, int model) {
        image.reset();
        setIdentification(image, id);
        codec.loadBandLimits(id);
        buildTestFrequencyTable(image, model, codec);
    }
    std::string rx(int model, int ch) { return testFrequencyText(image, model, ch, false, codec); }
    std::string tx(int model, int ch) { return testFrequencyText(image, model, ch, true, codec); }

    MemoryImage image;
    FrequencyCodec codec;
};

TEST_F(TestFrequencyDefaults, EntriesPerGroup) {
    for (std::uint8_t code = 1; code <= 9; ++code) {
        const auto n = testFrequencyDefaults(code).size();
        EXPECT_EQ(n, code <= 3 ? 6u : code <= 5 ? 7u : 12u) << int(code);
    }
    EXPECT_TRUE(testFrequencyDefaults(0).empty());
    EXPECT_TRUE(testFrequencyDefaults(0x0F).empty());
}

TEST_F(TestFrequencyDefaults, VhfBandLeavesChannel7Unset) {
    build(ModelIdentification::defaults(), kModel1);
    EXPECT_EQ(rx(kModel1, 1), "161.10000");
    EXPECT_EQ(tx(kModel1, 1), "161.00000");
    EXPECT_EQ(rx(kModel1, 3), "173.90000");
    EXPECT_EQ(tx(kModel1, 6), "161.40000");
    EXPECT_FALSE(hasTestFrequency(image, kModel1, 7, false));
    for (int ch = 7; ch <= 16; ++ch)
        EXPECT_EQ(rx(kModel1, ch), "");
    // The bytes are the encoder's: 161.1 MHz.
    EXPECT_EQ(image.main()[0x3F00], 0x00);
    EXPECT_EQ(image.main()[0x3F02], 0x11);
    EXPECT_EQ(image.main()[0x3F03], 0x16);
}

TEST_F(TestFrequencyDefaults, UhfModel2TableAndUnsetTail) {
    build(dualVhfUhf(), kModel2);
    EXPECT_EQ(rx(kModel2, 1), "460.10000");
    EXPECT_EQ(tx(kModel2, 1), "470.00000");
    EXPECT_EQ(rx(kModel2, 9), "489.90000");
    for (int ch = 10; ch <= 12; ++ch)
        EXPECT_FALSE(hasTestFrequency(image, kModel2, ch, true)) << ch;
    EXPECT_EQ(image.main()[0x3E00 + 4 * 8 + 3], 0x46) << "channel 5 lives in the model-2 table";
    EXPECT_FALSE(hasTestFrequency(image, kModel1, 1, false)) << "model 1's table untouched";
}

TEST_F(TestFrequencyDefaults, HighPowerBandKeepsFineUhfSteps) {
    build(makeId("Q0130", 9, 0x00F0, 0x0F, 0xF0), kModel1);
    EXPECT_EQ(rx(kModel1, 9), "469.95000");
    EXPECT_EQ(rx(kModel1, 10), "470.05000");
    EXPECT_EQ(tx(kModel1, 12), "490.00000");
}

TEST_F(TestFrequencyDefaults, DecimalCommaDoesNotCorruptDefaults) {
    codec.setDecimalSeparator(',');
    build(makeId("Q0110", 1, 0x00F0, 0x0F, 0xF0), kModel1);
    EXPECT_EQ(rx(kModel1, 1), "33,40000");
    EXPECT_EQ(tx(kModel1, 3), "37,00000");
}

TEST_F(TestFrequencyDefaults, UnknownBandLeavesTableUnset) {
    image.reset();
    image.main()[0x3F00] = 0x12;
    setIdentification(image, makeId("Q0120", 0x0F, 0x00F0, 0x0F, 0xF0));
    buildTestFrequencyTable(image, kModel1, codec);
    for (std::size_t i = 0; i < 128; ++i)
        ASSERT_EQ(image.main()[0x3F00 + i], 0xFF) << i;
}
