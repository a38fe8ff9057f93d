#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dataset/DataSetInit.h"
#include "features/DravixFrames.h"
#include "features/KeyAssignment.h"
#include "features/KeyDefaults.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

using namespace velora;

namespace {

std::vector<Byte> bytes(std::span<const Byte> area, std::size_t off, std::size_t len) {
    return {area.begin() + static_cast<std::ptrdiff_t>(off),
            area.begin() + static_cast<std::ptrdiff_t>(off + len)};
}

// A reset image with the given identification, initialised the way New does it.
void initialiseWith(Document& doc, std::uint16_t config, std::uint16_t model2Word, bool startup = false) {
    doc.image().reset();
    ModelIdentification id = ModelIdentification::defaults();
    id.setConfigWord(config);
    id.setModel2Word(model2Word);
    setIdentification(doc.image(), id);
    defaultInitialise(doc, false, startup);
}

std::vector<Byte> keyTable(const Document& doc, int head) {
    return bytes(doc.image().main(), keys::keyOffset(head, 0), keys::kKeysPerHead);
}

std::vector<Byte> keysWith(std::initializer_list<Byte> first) {
    std::vector<Byte> v(keys::kKeysPerHead, 0xFF);
    std::size_t i = 0;
    for (Byte b : first)
        v[i++] = b;
    return v;
}

constexpr std::uint16_t kHead1Second = ModelIdentification::kHead1SecondType;
constexpr std::uint16_t kHead2Second = ModelIdentification::kHead2SecondType;
constexpr std::uint16_t kDualHead = ModelIdentification::kDualHead;
constexpr std::uint16_t kDualBand = ModelIdentification::kDualBand;

} // namespace

TEST(DefaultDataSet, StartupWithDefaultModel) {
    Document doc;
    doc.image().reset();
    defaultInitialise(doc, true, true);
    auto main = doc.image().main();

    // The catalogue's default model, made single band.
    EXPECT_EQ(bytes(main, layout::kModelId, 10),
              (std::vector<Byte>{'Q', '0', '1', '2', '0', 0x04, 0xF0, 0x00, 0xFF, 0xF0}));
    EXPECT_TRUE(hasApplicationTag(main));
    EXPECT_EQ(fixedText(main, layout::kFormatVersion, 5), "V2.10");
    // Normal mode leaves the capacity marker unset; extended mode marks the data set.
    EXPECT_EQ(main[layout::kCsCapacityMarker], 0xFF);
    Document extended(RunOptions{true, false});
    defaultInitialise(extended, true, true);
    EXPECT_EQ(extended.image().main()[layout::kCsCapacityMarker], 1);
}

TEST(DefaultDataSet, CommonSettingsBlock) {
    Document doc;
    initialiseWith(doc, 0x00F0, 0xF0FF);
    std::array<Byte, 128> expect;
    expect.fill(0xFF);
    auto set = [&](std::initializer_list<int> at, Byte v) {
        for (int i : at)
            expect[static_cast<std::size_t>(i)] = v;
    };
    set({0,  1,  7,  8,  9,  10, 12, 13, 14, 15, 17, 22, 23, 25, 26, 27,
         29, 35, 45, 46, 49, 50, 51, 52, 54, 55, 58, 59, 60, 62, 64},
        0);
    set({4, 24, 44, 61, 63, 68, 69, 70, 71, 72, 73, 74, 75, 76, 92, 94}, 1);
    set({2}, 5);
    set({3}, 20);
    set({5, 6}, 30);
    set({16, 65, 67}, 8);
    set({66}, 10);
    std::string codes = "159D   ";
    for (std::size_t i = 0; i < 7; ++i)
        expect[96 + i] = static_cast<Byte>(codes[i]);
    codes = "A68*   ";
    for (std::size_t i = 0; i < 7; ++i)
        expect[104 + i] = static_cast<Byte>(codes[i]);
    EXPECT_EQ(bytes(doc.image().main(), 0, 128), std::vector<Byte>(expect.begin(), expect.end()));
    EXPECT_EQ(bytes(doc.image().main(), layout::kPttIdLengths, 2), (std::vector<Byte>{0, 0}));
}

TEST(DefaultDataSet, ChannelNameLengthFollowsHeadsInUse) {
    Document doc;
    initialiseWith(doc, kHead1Second, 0xF0FF);
    EXPECT_EQ(doc.image().main()[layout::kCsChannelNameLength], 14);
    initialiseWith(doc, kDualHead | kHead2Second, 0xF0FF);
    EXPECT_EQ(doc.image().main()[layout::kCsChannelNameLength], 14);
    // A second-type bit on an absent head 2 does not count.
    initialiseWith(doc, kHead2Second, 0xF0FF);
    EXPECT_EQ(doc.image().main()[layout::kCsChannelNameLength], 8);
}

TEST(DefaultDataSet, GroupRecordsTwoToneAndDtmf) {
    Document doc;
    doc.image().reset();
    doc.image().working().dtmf.fill(0x31); // the DTMF area is rewritten, whatever it held
    defaultInitialise(doc, true, false);
    auto main = doc.image().main();
    for (std::size_t g = 0; g < 160; ++g) {
        std::size_t rec = layout::kGroupRecords + 8 * g;
        EXPECT_EQ(main[rec], 6) << g;
        EXPECT_EQ(bytes(main, rec + 1, 3), (std::vector<Byte>{0, 0, 0})) << g;
        EXPECT_EQ(main[rec + 4] & 0x03, 0x03) << g;
    }
    const std::vector<Byte> code{0x15, 0xF1, 0x39, 0xFD, 0xB3, 0x00, 0xC0, 0xB2, 0x93, 0x10, 0xF8,
                                 0x00, 0x05, 0x43, 0x79, 0xCF, 0xD5, 0xFA, 0x5A, 0x02, 0x67, 0x17,
                                 0x32, 0x00, 0x81, 0x92, 0x00, 0x09, 0x60, 0x00, 0xFF, 0xFF};
    for (std::size_t base : {0x80u, 0xA0u, 0xC0u})
        EXPECT_EQ(bytes(main, base, 32), code) << base;
    for (std::size_t base : {0xE0u, 0xE6u, 0xECu})
        EXPECT_EQ(bytes(main, base, 6), (std::vector<Byte>{4, 0, 0, 1, 1, 1})) << base;
    EXPECT_EQ(bytes(main, 0xF2, 3), (std::vector<Byte>{1, 1, 1}));
    EXPECT_EQ(bytes(doc.image().dtmf(), 0, layout::kDtmfSize), std::vector<Byte>(layout::kDtmfSize, 0xFF));
}

TEST(DefaultDataSet, KeyTablesOfSingleAndDualHeads) {
    Document doc;
    // Single head of the first type; head 2 stays untouched outside start-up.
    initialiseWith(doc, 0x00F0, 0xF0FF);
    EXPECT_EQ(keyTable(doc, 0), keysWith({16, 15}));
    EXPECT_EQ(doc.image().main()[layout::kKnobModeHead1], 0);
    EXPECT_EQ(keyTable(doc, 1), keysWith({}));
    EXPECT_EQ(doc.image().main()[layout::kKnobModeHead2], 0xFF);

    // At start-up the absent head 2 gets the plain defaults too.
    initialiseWith(doc, kHead1Second, 0xF0FF, true);
    EXPECT_EQ(keyTable(doc, 0), keysWith({16, 15, 22, 26}));
    EXPECT_EQ(keyTable(doc, 1), keysWith({16, 15}));
    EXPECT_EQ(doc.image().main()[layout::kKnobModeHead2], 0);

    // Dual head: each head by its own type.
    initialiseWith(doc, kDualHead | kHead2Second, 0xF0FF);
    EXPECT_EQ(keyTable(doc, 0), keysWith({16, 15}));
    EXPECT_EQ(keyTable(doc, 1), keysWith({16, 15, 22, 26}));
    EXPECT_EQ(doc.image().main()[layout::kKnobModeHead1], 0);
    EXPECT_EQ(doc.image().main()[layout::kKnobModeHead2], 0);
}

TEST(DefaultDataSet, IdentificationBitsAreCleaned) {
    Document doc;
    // Every bit that a default data set must not carry, plus option boards on both units.
    const std::uint16_t dirty = 0x0003 | 0x000C | 0x0300 | 0x2000 | 0x8000;
    initialiseWith(doc, dirty | kDualBand | 0x00F0, 0x0F36, false);
    ModelIdentification id = identificationOf(doc.image());
    EXPECT_EQ(id.configWord(), 0x0003 | kDualBand | 0x00F0);
    EXPECT_EQ(id.model2Word(), 0x0306); // bits 10, 11 and the band's high nibble cleared

    initialiseWith(doc, dirty | kDualBand, 0x0F36, true);
    id = identificationOf(doc.image());
    EXPECT_EQ(id.configWord(), kDualBand); // start-up drops the option boards as well
    EXPECT_EQ(id.model2Word(), 0x0006);

    initialiseWith(doc, dirty, 0x0F36, false);
    EXPECT_EQ(identificationOf(doc.image()).model2Word(), 0xF0FF);
}

TEST(DefaultDataSet, TestFrequencyTables) {
    Document doc;
    initialiseWith(doc, 0x00F0, 0xF0FF);
    auto main = doc.image().main();
    // Band 4, first test channel 161.1 / 161.0 MHz in 10 Hz BCD, least significant byte first.
    EXPECT_EQ(bytes(main, layout::kTestFreqModel1, 8),
              (std::vector<Byte>{0x00, 0x00, 0x11, 0x16, 0x00, 0x00, 0x10, 0x16}));
    EXPECT_EQ(bytes(main, layout::kTestFreqModel2, 128), std::vector<Byte>(128, 0xFF));

    initialiseWith(doc, kDualBand, 0xF006);
    main = doc.image().main();
    // Model 2 in band 6: 460.1 / 470.0 MHz.
    EXPECT_EQ(bytes(main, layout::kTestFreqModel2, 8),
              (std::vector<Byte>{0x00, 0x00, 0x01, 0x46, 0x00, 0x00, 0x00, 0x47}));
}

TEST(DefaultDataSet, DravixAndEmergencyDefaults) {
    Document doc;
    initialiseWith(doc, 0x00F0, 0xF0FF);
    auto main = doc.image().main();
    EXPECT_EQ(bytes(main, dravix::kOwnFrame0 + 8, 6),
              (std::vector<Byte>{0x01, 0x00, 0x10, 0x01, 0x22, 0x8C}));
    // Emergency block: type unset, times 3 s and 10 s, no locator tones, mode type 1, fleet 100, ID 1000.
    const std::size_t e = layout::kEmergency;
    EXPECT_EQ(main[e], 0xFF);
    EXPECT_EQ(bytes(main, e + 6, 11), (std::vector<Byte>{0, 3, 0, 10, 0xFF, 0xFF, 1, 0, 1, 0x01, 0x00}));
    // The call goes to the own fleet: the short emergency frame.
    EXPECT_EQ(bytes(main, dravix::kEmergencyFrame + 6, 8),
              (std::vector<Byte>{0xB4, 0x40, 0x01, 0x00, 0x10, 0x01, 0x3E, 0xC2}));
    EXPECT_EQ(main[dravix::kEmergencyFrameLength], 14);
}

TEST(KeyDefaults, RevertOnlyTouchesHoldersOfTheCode) {
    Document doc;
    initialiseWith(doc, kDualHead | kHead2Second, 0xF0FF);
    auto main = doc.image().main();
    main[keys::keyOffset(0, 0)] = 34;
    main[keys::keyOffset(0, 6)] = 34;
    main[keys::keyOffset(1, 3)] = 34;
    main[keys::keyOffset(1, 4)] = 33;
    keys::HeadSetup heads{true, {false, true}};

    EXPECT_EQ(keys::resetKeysWithFunction(main, 34, heads), 0);
    EXPECT_EQ(main[keys::keyOffset(0, 0)], 16);
    EXPECT_EQ(main[keys::keyOffset(0, 6)], 0xFF);
    EXPECT_EQ(main[keys::keyOffset(1, 3)], 26); // fourth key of a second-type head
    EXPECT_EQ(main[keys::keyOffset(1, 4)], 33);
    EXPECT_EQ(keys::resetKeysWithFunction(main, 34, heads), -1);

    // Head 2 of a single-head set is left alone unless asked for.
    heads.dualHead = false;
    EXPECT_EQ(keys::resetKeysWithFunction(main, 33, heads), -1);
    EXPECT_EQ(keys::resetKeysWithFunction(main, 33, heads, keys::KeyScope::BothTables), 4);
    EXPECT_EQ(main[keys::keyOffset(1, 4)], 0xFF);
}
