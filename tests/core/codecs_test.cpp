#include <gtest/gtest.h>

#include <set>

#include "model/FrequencyCodec.h"
#include "model/MemoryImage.h"
#include "model/ModelCatalogue.h"
#include "model/TestFrequency.h"
#include "model/ToneCodec.h"

using namespace velora;

namespace {

ModelIdentification singleBand(std::string_view code, Byte band) {
    auto id = ModelIdentification::defaults();
    id.setModelCode(*modelIndexOfCode(code));
    id.setBandCode(kModel1, band);
    return id;
}

ModelIdentification dualVhfUhf() {
    auto id = ModelIdentification::defaults(); // VHF band 4, model 2 band 6
    id.setDualBand(true);
    return id;
}

std::string encodeDecode(const FrequencyCodec& c, std::string_view text, BandGroup g, char* step = nullptr) {
    auto f = c.textToFrequency(text, g);
    if (!f) return "none";
    if (step) *step = f->stepCode;
    return c.frequencyToText(f->bytes).value_or("bad");
}

} // namespace

// --- Stored frequency ----------------------------------------------------------------------------

TEST(FrequencyCodec, PacksBcdLeastSignificantByteFirst) {
    FrequencyCodec c;
    auto f = c.textToFrequency("148.01250", BandGroup::Vhf);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->bytes, (FrequencyBytes{0x50, 0x12, 0x80, 0x14}));
    f = c.textToFrequency("150.0125", BandGroup::Vhf);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->bytes, (FrequencyBytes{0x50, 0x12, 0x00, 0x15}));
    EXPECT_EQ(c.frequencyToText({0x50, 0x12, 0x80, 0x14}), "148.01250");
    EXPECT_EQ(c.frequencyToText({0x00, 0x00, 0x50, 0x04}), "45.00000");
    EXPECT_EQ(c.frequencyToText({0x00, 0x00, 0x50, 0x00}), "5.00000");
    EXPECT_FALSE(c.frequencyToText(kNoFrequency));
    EXPECT_FALSE(c.frequencyToText({0x00, 0x1A, 0x50, 0x14})) << "nibble A is not a decimal digit";
    EXPECT_FALSE(c.frequencyToText({0xF0, 0x00, 0x50, 0x14}));
}

TEST(FrequencyCodec, ChannelStepsAndStepCodes) {
    FrequencyCodec c;
    char step = 0;
    EXPECT_EQ(encodeDecode(c, "151.8125", BandGroup::Vhf, &step), "151.81250");
    EXPECT_EQ(step, '2');
    EXPECT_EQ(encodeDecode(c, "151.8150", BandGroup::Vhf, &step), "151.81500");
    EXPECT_EQ(step, '1');
    EXPECT_EQ(encodeDecode(c, "151.8225", BandGroup::Vhf, &step), "151.82250");
    EXPECT_EQ(step, '3');
    EXPECT_EQ(encodeDecode(c, "151.8175", BandGroup::Vhf, &step), "151.81750");
    EXPECT_EQ(step, '0');
    EXPECT_EQ(encodeDecode(c, "151.81375", BandGroup::Vhf, &step), "151.81000");
    EXPECT_EQ(step, '1');
    c.setFineStep(true);
    EXPECT_EQ(encodeDecode(c, "151.81375", BandGroup::Vhf, &step), "151.81375");
    EXPECT_EQ(step, '/');
    // Low band knows no candidate steps: always rounded down to 5 kHz, even with the fine step.
    EXPECT_EQ(encodeDecode(c, "33.4437", BandGroup::Low, &step), "33.44000");
    EXPECT_EQ(step, '1');
    EXPECT_EQ(encodeDecode(c, "33.4125", BandGroup::Low, &step), "33.41000");
    // UHF: 6.25 kHz, then 5 kHz, else rounded down to 6.25 kHz; 2.5 kHz is not a UHF step.
    EXPECT_EQ(encodeDecode(c, "460.0125", BandGroup::Uhf, &step), "460.01250");
    EXPECT_EQ(step, '2');
    EXPECT_EQ(encodeDecode(c, "460.005", BandGroup::Uhf, &step), "460.00500");
    EXPECT_EQ(step, '1');
    EXPECT_EQ(encodeDecode(c, "460.0025", BandGroup::Uhf, &step), "460.00000");
    EXPECT_EQ(step, '2');
    // Rounding to the hertz happens before the step test.
    EXPECT_EQ(encodeDecode(c, "151.8124996", BandGroup::Vhf, &step), "151.81250");
}

TEST(FrequencyCodec, NoFrequencyAndUnstorableValues) {
    FrequencyCodec c;
    for (std::string_view t : {"", "0", "0.00000", "abc", " ", "-0", ".", "0.000001"})
        EXPECT_EQ(encodeDecode(c, t, BandGroup::Vhf), "none") << '"' << t << '"';
    EXPECT_EQ(encodeDecode(c, "-150", BandGroup::Vhf), "none");
    EXPECT_EQ(encodeDecode(c, "1000", BandGroup::Uhf), "none") << "needs a ninth digit";
    EXPECT_EQ(encodeDecode(c, "999.995", BandGroup::Vhf), "999.99500");
    EXPECT_EQ(encodeDecode(c, "1.5e2", BandGroup::Vhf), "150.00000");
    EXPECT_EQ(encodeDecode(c, std::string_view("1.5e23").substr(0, 5), BandGroup::Vhf), "150.00000")
        << "the exponent ends with the text";
    EXPECT_EQ(encodeDecode(c, "150.5x3", BandGroup::Vhf), "150.50000") << "only an e starts an exponent";
    EXPECT_TRUE(c.isNoFrequencyText("0,5")) << "',' is not the separator here";
}

TEST(FrequencyCodec, NumbersFollowTheCodecSeparator) {
    FrequencyCodec c;
    c.setDecimalSeparator(',');
    EXPECT_EQ(encodeDecode(c, "148,0125", BandGroup::Vhf), "148,01250");
    // As with the C library in a decimal-comma locale, a full stop ends the number.
    EXPECT_EQ(encodeDecode(c, "148.0125", BandGroup::Vhf), "148,00000");

    EXPECT_DOUBLE_EQ(parseNumber("  +12.5MHz", '.'), 12.5);
    EXPECT_DOUBLE_EQ(parseNumber("1.5e2", '.'), 150.0);
    EXPECT_DOUBLE_EQ(parseNumber("1.5e", '.'), 1.5);
    EXPECT_DOUBLE_EQ(parseNumber(",5", ','), 0.5);
    EXPECT_DOUBLE_EQ(parseNumber("inf", '.'), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("nan", '.'), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("1e999", '.'), 0.0);
    EXPECT_EQ(formatNumber(33.4, 5, ',', 9), " 33,40000");
}

// --- Band checks ---------------------------------------------------------------------------------

TEST(FrequencyCodec, TestFrequencyCheck) {
    FrequencyCodec c;
    c.loadBandLimits(ModelIdentification::defaults()); // VHF 148-174
    std::string t = "600";
    EXPECT_FALSE(checkTestFrequency(t, kModel1, c));
    EXPECT_EQ(t, "174.00000");
    t = "50";
    EXPECT_FALSE(checkTestFrequency(t, kModel1, c));
    EXPECT_EQ(t, "148.00000");
    t = "200";
    EXPECT_FALSE(checkTestFrequency(t, kModel1, c)) << "kept inside the wide range but out of band";
    EXPECT_EQ(t, "200.00000");
    t = "150.1";
    EXPECT_TRUE(checkTestFrequency(t, kModel1, c));
    EXPECT_EQ(t, "150.10000");
    for (std::string_view none : {"", "0", "xyz"}) {
        t = none;
        EXPECT_TRUE(checkTestFrequency(t, kModel1, c));
        EXPECT_EQ(t, "");
    }
}

TEST(FrequencyCodec, ChannelCheckSingleBand) {
    FrequencyCodec c;
    const auto uhf = singleBand("Q0130", 6); // 450-490
    std::string t = "600";
    auto r = c.checkChannelFrequency(t, uhf, false, false);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(t, "490.00000");
    t = "495";
    EXPECT_FALSE(c.checkChannelFrequency(t, uhf, false, true).valid);
    EXPECT_EQ(t, "495.00000");
    t = "470";
    r = c.checkChannelFrequency(t, uhf, true, false);
    EXPECT_TRUE(r.valid);
    EXPECT_FALSE(r.model2) << "single band never picks model 2";
    EXPECT_EQ(t, "470.00000");

    t = "33.4";
    EXPECT_TRUE(c.checkChannelFrequency(t, singleBand("Q0110", 1), false, false).valid);
    EXPECT_EQ(t, " 33.40000") << "width 9";
    t = "20";
    EXPECT_FALSE(c.checkChannelFrequency(t, singleBand("Q0110", 2), false, false).valid);
    EXPECT_EQ(t, " 35.00000");

    // A band code outside the table checks against 100-550 MHz.
    t = "90";
    EXPECT_FALSE(c.checkChannelFrequency(t, singleBand("Q0120", 0), false, false).valid);
    EXPECT_EQ(t, "100.00000");

    for (std::string_view none : {"", "0", "junk"}) {
        t = none;
        r = c.checkChannelFrequency(t, uhf, false, false);
        EXPECT_TRUE(r.none);
        EXPECT_TRUE(r.valid);
        EXPECT_EQ(t, "");
    }
}

TEST(FrequencyCodec, ChannelCheckOnBothSidesOfEveryEdge) {
    // Inside the band: valid as typed. Between the band and the wide limits: kept, but invalid.
    // Beyond the wide limits: the band edge on that side takes its place.
    struct Case {
        const char* code;
        Byte band;
        const char* typed;
        const char* shown;
        bool valid;
    } cases[] = {
        {"Q0120", 4, "148", "148.00000", true},  {"Q0120", 4, "147.99999", "147.99999", false},
        {"Q0120", 4, "174", "174.00000", true},  {"Q0120", 4, "174.00001", "174.00001", false},
        {"Q0120", 4, "100", "100.00000", false}, {"Q0120", 4, "99.99999", "148.00000", false},
        {"Q0120", 4, "280", "280.00000", false}, {"Q0120", 4, "280.00001", "174.00000", false},
        {"Q0130", 6, "450", "450.00000", true},  {"Q0130", 6, "449.99999", "449.99999", false},
        {"Q0130", 6, "490", "490.00000", true},  {"Q0130", 6, "490.00001", "490.00001", false},
        {"Q0130", 6, "327", "327.00000", false}, {"Q0130", 6, "326.99999", "450.00000", false},
        {"Q0130", 6, "550", "550.00000", false}, {"Q0130", 6, "550.00001", "490.00000", false},
        {"Q0110", 1, "29.7", " 29.70000", true}, {"Q0110", 1, "29.69999", " 29.70000", false},
        {"Q0110", 1, "37", " 37.00000", true},   {"Q0110", 1, "37.00001", " 37.00001", false},
        {"Q0110", 1, "50", " 50.00000", false},  {"Q0110", 1, "50.00001", " 37.00000", false},
    };
    FrequencyCodec c;
    for (const Case& k : cases) {
        std::string t = k.typed;
        EXPECT_EQ(c.checkChannelFrequency(t, singleBand(k.code, k.band), false, false).valid, k.valid)
            << k.typed;
        EXPECT_EQ(t, k.shown) << k.typed;
    }
}

TEST(FrequencyCodec, ChannelCheckDualBandChoosesTheRadioUnit) {
    FrequencyCodec c;
    const auto dual = dualVhfUhf();
    std::string t = "460";
    auto r = c.checkChannelFrequency(t, dual, false, false);
    EXPECT_TRUE(r.model2);
    EXPECT_TRUE(r.valid);
    t = "150";
    r = c.checkChannelFrequency(t, dual, true, false);
    EXPECT_FALSE(r.model2) << "receive: the value decides, not the channel's unit";
    EXPECT_TRUE(r.valid);
    t = "600"; // in neither wide range: the smaller band code (model 1, VHF)
    r = c.checkChannelFrequency(t, dual, false, false);
    EXPECT_FALSE(r.model2);
    EXPECT_EQ(t, "174.00000");

    // Transmit follows the channel's radio unit.
    t = "150";
    r = c.checkChannelFrequency(t, dual, true, true);
    EXPECT_TRUE(r.model2);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(t, "450.00000");

    // Model 2 with the smaller code wins when neither range holds the value.
    auto uhfFirst = singleBand("Q0130", 6);
    uhfFirst.setDualBand(true);
    uhfFirst.setBandCode(kModel2, 2); // low band 35-43
    t = "70";
    r = c.checkChannelFrequency(t, uhfFirst, false, false);
    EXPECT_TRUE(r.model2);
    EXPECT_EQ(t, " 43.00000");
    // Both sides of model 1's wide range (327-550 MHz): inside it, model 1; outside, model 2.
    const std::pair<const char*, bool> sides[] = {
        {"327", false}, {"326.99999", true}, {"550", false}, {"550.00001", true}};
    for (auto [typed, model2] : sides) {
        t = typed;
        EXPECT_EQ(c.checkChannelFrequency(t, uhfFirst, false, false).model2, model2) << typed;
    }
}

// --- Test frequency tables -----------------------------------------------------------------------

class TestFrequencyTable : public ::testing::Test {
  protected:
    void SetUp() override {
        setIdentification(image, dualVhfUhf());
        codec.loadBandLimits(dualVhfUhf());
    }
    TestFrequencyResult set(int model, int ch, bool tx, std::string text) {
        return setTestFrequency(image, model, ch, tx, text, codec);
    }
    MemoryImage image;
    FrequencyCodec codec;
};

TEST_F(TestFrequencyTable, StoreReportAndClear) {
    EXPECT_EQ(set(kModel1, 3, false, "150"), TestFrequencyResult::Stored);
    EXPECT_EQ(set(kModel1, 3, true, "600"), TestFrequencyResult::OutOfBand);
    EXPECT_EQ(testFrequencyText(image, kModel1, 3, false, codec), "150.00000");
    EXPECT_EQ(testFrequencyText(image, kModel1, 3, true, codec), "174.00000");
    EXPECT_EQ(image.main()[0x3F00 + 16 + 7], 0x17);

    std::string text = "0";
    EXPECT_EQ(setTestFrequency(image, kModel1, 3, false, text, codec), TestFrequencyResult::Cleared);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(hasTestFrequency(image, kModel1, 3, false));
    EXPECT_FALSE(hasTestFrequency(image, kModel1, 3, true)) << "clearing one clears both";

    EXPECT_EQ(set(kModel2, 16, true, "460.0125"), TestFrequencyResult::Stored);
    EXPECT_EQ(image.main()[0x3E00 + 15 * 8 + 4], 0x50);
}

TEST_F(TestFrequencyTable, OutOfRangeChannelsWriteNothing) {
    const auto before = image.working();
    EXPECT_EQ(set(kModel1, 0, false, "150"), TestFrequencyResult::BadChannel);
    EXPECT_EQ(set(kModel1, 17, false, "150"), TestFrequencyResult::BadChannel);
    EXPECT_EQ(set(2, 1, false, "150"), TestFrequencyResult::BadChannel);
    EXPECT_TRUE(image.working() == before);
    EXPECT_EQ(testFrequencyText(image, kModel1, 17, false, codec), "");
}

TEST_F(TestFrequencyTable, EmptyTableIsRebuiltFromTheBand) {
    EXPECT_TRUE(ensureTestFrequencies(image, kModel2, codec));
    EXPECT_EQ(testFrequencyText(image, kModel2, 1, false, codec), "460.10000");
    EXPECT_FALSE(ensureTestFrequencies(image, kModel2, codec));

    // Only receive frequencies count: a lone transmit frequency does not keep the table.
    for (int ch = 1; ch <= 16; ++ch)
        set(kModel1, ch, false, "");
    writeFrequency(image.main(), testFrequencyOffset(kModel1, 5, true), {0x00, 0x00, 0x50, 0x15});
    EXPECT_TRUE(ensureTestFrequencies(image, kModel1, codec));
    EXPECT_EQ(testFrequencyText(image, kModel1, 5, true, codec), "161.20000");
}

TEST(FrequencyCodec, LoadBandLimitsFollowsTheIdentification) {
    FrequencyCodec c;
    c.setBandLimits(kModel2, BandGroup::Low, 1, 2);
    c.loadBandLimits(singleBand("Q0110", 3));
    EXPECT_EQ(c.bandLimits(kModel1).group, BandGroup::Low);
    EXPECT_DOUBLE_EQ(c.bandLimits(kModel1).lower, 40.0);
    EXPECT_DOUBLE_EQ(c.bandLimits(kModel2).upper, 2.0) << "single band leaves model 2 alone";
    auto dual = dualVhfUhf();
    dual.setBandCode(kModel2, 8);
    c.loadBandLimits(dual);
    EXPECT_EQ(c.bandLimits(kModel2).group, BandGroup::Uhf);
    EXPECT_DOUBLE_EQ(c.bandLimits(kModel2).lower, 403.0);
    EXPECT_DOUBLE_EQ(c.bandLimits(kModel2).upper, 430.0);
}

// --- Tones ---------------------------------------------------------------------------------------

TEST(ToneCodec, WordsToText) {
    EXPECT_EQ(toneToText(0xFFFF, "Off"), "Off");
    EXPECT_EQ(toneToText(670, "Off"), "67.0");
    EXPECT_EQ(toneToText(885, "Off", ','), "88,5");
    EXPECT_EQ(toneToText(0x2813, "Off"), "D023N");
    EXPECT_EQ(toneToText(0xA813, "Off"), "D023I");
    EXPECT_EQ(toneToText(0x7E13, "Off"), "D023N") << "bits 9 to 12 and 14 are ignored";
    EXPECT_EQ(toneToText(0x29EC, "Off"), "D754N");
}

TEST(ToneCodec, NormalisesTypedTexts) {
    auto norm = [](std::string t, char sep = '.') {
        normaliseToneText(t, "Off", sep);
        return t;
    };
    EXPECT_EQ(norm("D089X9"), "D077N");
    EXPECT_EQ(norm("D2"), "D200N");
    EXPECT_EQ(norm("D"), "D000N");
    EXPECT_EQ(norm("D023I"), "D023I");
    EXPECT_EQ(norm("D0!3N"), "D003N") << "characters below '0' become '0'";
    EXPECT_EQ(norm("300"), "254.1");
    EXPECT_EQ(norm("50"), "67.0");
    EXPECT_EQ(norm("100.37"), "100.3") << "tenths are truncated";
    EXPECT_EQ(norm("abc"), "67.0");
    EXPECT_EQ(norm("1e300"), "254.1");
    EXPECT_EQ(norm("-5"), "67.0");
    EXPECT_EQ(norm("88,5", ','), "88,5");
    EXPECT_EQ(norm("Off"), "Off");
    EXPECT_EQ(norm(""), "");
}

TEST(ToneCodec, TextsToWords) {
    EXPECT_EQ(textToTone("Off", "Off"), 0xFFFF);
    EXPECT_EQ(textToTone("", "Off"), 0xFFFF);
    EXPECT_EQ(textToTone("D023N", "Off"), 0x2813);
    EXPECT_EQ(textToTone("D023I", "Off"), 0xA813);
    EXPECT_EQ(textToTone("D99", "Off"), 0x2800 + 0770);
    EXPECT_EQ(textToTone("88.5", "Off"), 885);
    EXPECT_EQ(textToTone("88,5", "Off", ','), 885);
    EXPECT_EQ(textToTone("300", "Off"), 2541);
    // Every CTCSS value the editor accepts survives text and back.
    for (std::uint16_t t = kCtcssMin; t <= kCtcssMax; ++t)
        ASSERT_EQ(textToTone(toneToText(t, "Off", ','), "Off", ','), t) << t;
}

TEST(ToneCodec, TheToneChoices) {
    EXPECT_EQ(toneChoiceText(0, "Off"), "Off");
    EXPECT_EQ(toneChoiceText(1, "Off"), "67.0");
    EXPECT_EQ(toneChoiceText(13, "Off"), "100.0");
    EXPECT_EQ(toneChoiceText(39, "Off"), "250.3");
    EXPECT_EQ(toneChoiceText(40, "Off"), "D023N");
    EXPECT_EQ(toneChoiceText(122, "Off"), "D754N");
    EXPECT_EQ(toneChoiceText(123, "Off"), "D023I");
    EXPECT_EQ(toneChoiceText(205, "Off"), "D754I");
    EXPECT_EQ(toneChoiceWord(206), kToneOff);

    std::set<std::uint16_t> words;
    for (std::size_t i = 0; i < kToneChoiceCount; ++i) {
        const std::uint16_t w = toneChoiceWord(i);
        words.insert(w);
        EXPECT_EQ(textToTone(toneChoiceText(i, "Off", ','), "Off", ','), w) << i;
        EXPECT_EQ(toneChoiceIndex(w), i);
    }
    EXPECT_EQ(words.size(), kToneChoiceCount);
    EXPECT_EQ(toneChoiceIndex(0x7E13), 40u) << "decoder-ignored bits do not hide the choice";
    EXPECT_FALSE(toneChoiceIndex(700));
    EXPECT_FALSE(toneChoiceIndex(0x2800 + 0777));
}
