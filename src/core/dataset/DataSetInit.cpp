#include "dataset/DataSetInit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "features/DravixFrames.h"
#include "features/KeyDefaults.h"
#include "model/FrequencyCodec.h"
#include "model/ModelCatalogue.h"
#include "model/TestFrequency.h"

namespace velora {

namespace {

using Id = ModelIdentification;

// Configuration word bits that a default data set never carries.
constexpr std::uint16_t kConfigClearedByDefault =
    (1u << 2) | (1u << 3) | (1u << 8) | (1u << 9) | (1u << 13) | (1u << 15);
constexpr std::uint16_t kConfigBandBits = 0x00F0; // bits 4 to 7
constexpr std::uint16_t kConfigOptionBoard = Id::kOptionKind1 | Id::kOptionKind2;
// Model-2 word (band code of model 2 in the low byte, its flags in the high byte).
constexpr std::uint16_t kModel2OptionBoard = 0x0300;
constexpr std::uint16_t kModel2ClearedByDefault = 0x0C00;
constexpr std::uint16_t kModel2BandBits = 0x00F0;
constexpr std::uint16_t kModel2SingleBand = 0xF0FF;

// Common settings block bytes that the initialisation and the repair name (offsets in the block).
constexpr std::size_t kCsEmergencyDisplay = 0x0D;
constexpr std::size_t kCsEmergencyModeCopy = 0x5E;                         // mirrors the emergency mode type
constexpr std::size_t kCsChannelNameLength = layout::kCsChannelNameLength; // 16
constexpr std::size_t kCsCapacityMarker = layout::kCsCapacityMarker;       // 31
constexpr std::size_t kCsTwoToneSelect = 74;
constexpr std::size_t kCsTwoToneDerived = 92;
constexpr std::size_t kCsFirstCode = 96;
constexpr std::size_t kCsSecondCode = 104;
constexpr std::size_t kCsThirdCode = 112;
constexpr std::size_t kCsCodeLength = 7;
constexpr Byte kCapacityExtended = 1;
constexpr Byte kNameLengthSecondHead = 14;
constexpr Byte kNameLengthFirstHead = 8;

struct ByteDefault {
    std::size_t offset;
    Byte value;
};

// Fixed values of the common settings block in a default data set. Byte 16 depends on the heads
// and is written separately; bytes 13 and 94 are written again with the emergency defaults.
constexpr std::array<ByteDefault, 54> kCommonDefaults{{
    {0, 0},  {1, 0},  {2, 5},  {3, 20}, {4, 1},  {5, 30}, {6, 30}, {7, 0},   {8, 0},  {9, 0},  {10, 0},
    {12, 0}, {14, 0}, {15, 0}, {17, 0}, {22, 0}, {23, 0}, {24, 1}, {25, 0},  {26, 0}, {27, 0}, {29, 0},
    {35, 0}, {44, 1}, {45, 0}, {46, 0}, {49, 0}, {50, 0}, {51, 0}, {52, 0},  {54, 0}, {55, 0}, {58, 0},
    {59, 0}, {60, 0}, {61, 1}, {62, 0}, {63, 1}, {64, 0}, {65, 8}, {66, 10}, {67, 8}, {68, 1}, {69, 1},
    {70, 1}, {71, 1}, {72, 1}, {73, 1}, {74, 1}, {75, 1}, {76, 1}, {92, 1},  {13, 0}, {94, 1},
}};
constexpr std::string_view kFirstCodeDefault = "159D   ";
constexpr std::string_view kSecondCodeDefault = "A68*   ";

// Group records.
constexpr int kGroups = 160;
constexpr std::size_t kGroupRecordSize = 8;
constexpr Byte kGroupTimeOutDefault = 6; // 60 s
constexpr Byte kGroupScanAndSignalling = 0x03;

// 2-tone area.
constexpr std::array<std::size_t, 3> kTwoToneCodes{0x0080, 0x00A0, 0x00C0};
constexpr std::array<Byte, 30> kTwoToneCodePattern{
    0x15, 0xF1, 0x39, 0xFD, 0xB3, 0x00, 0xC0, 0xB2, 0x93, 0x10, 0xF8, 0x00, 0x05, 0x43, 0x79,
    0xCF, 0xD5, 0xFA, 0x5A, 0x02, 0x67, 0x17, 0x32, 0x00, 0x81, 0x92, 0x00, 0x09, 0x60, 0x00};
constexpr std::array<std::size_t, 3> kTwoToneSettings{0x00E0, 0x00E6, 0x00EC};
constexpr std::array<Byte, 6> kTwoToneSettingsPattern{0x04, 0x00, 0x00, 0x01, 0x01, 0x01};
constexpr std::size_t kTwoToneSelectInGroup = 4; // the settings byte each derived byte follows
constexpr std::array<std::size_t, 3> kTwoToneDerived{0x00F2, 0x00F3, 0x00F4};

// Emergency and ID block (offsets from its start).
constexpr std::size_t kEmType = 0x00;
constexpr std::size_t kEmLocator1 = 0x06;
constexpr std::size_t kEmActiveTime = 0x07;
constexpr std::size_t kEmLocator2 = 0x08;
constexpr std::size_t kEmInterval = 0x09;
constexpr std::size_t kEmModeType = 0x0C;
constexpr std::size_t kEmDtmfIdLength = 0x0D;

Id currentId(const Document& doc) {
    return identificationOf(doc.image());
}

void clearIdentificationBits(Document& doc, bool startup) {
    Id id = currentId(doc);
    std::uint16_t config = id.configWord();
    std::uint16_t model2 = id.model2Word();
    if (startup) {
        config &= static_cast<std::uint16_t>(~kConfigOptionBoard);
        model2 &= static_cast<std::uint16_t>(~kModel2OptionBoard);
    }
    config &= static_cast<std::uint16_t>(~kConfigClearedByDefault);
    model2 &= static_cast<std::uint16_t>(~kModel2ClearedByDefault);
    if (id.isDualBand())
        model2 &= static_cast<std::uint16_t>(~kModel2BandBits);
    else
        model2 = kModel2SingleBand;
    id.setConfigWord(config);
    id.setModel2Word(model2);
    setIdentification(doc.image(), id);
}

void writeKeyDefaults(std::span<Byte> main, const Id& id, bool startup) {
    keys::resetHead(main, kHead1, id.headType(kHead1) == 1);
    if (id.isDualHead())
        keys::resetHead(main, kHead2, id.headType(kHead2) == 1);
    else if (startup)
        keys::resetHead(main, kHead2, false);
}

void writeCommonDefaults(std::span<Byte> main, const Id& id) {
    for (auto [offset, value] : kCommonDefaults)
        setByte(main, layout::kCommon + offset, value);
    setByte(main, kCsChannelNameLength,
            id.secondTypeHeadInUse() ? kNameLengthSecondHead : kNameLengthFirstHead);
    putText(main, kCsFirstCode, kFirstCodeDefault);
    putText(main, kCsSecondCode, kSecondCodeDefault);
    fill(main, kCsThirdCode, kCsCodeLength, 0xFF);
    setByte(main, layout::kPttIdLengths, 0);
    setByte(main, layout::kPttIdLengths + 1, 0);
}

void writeGroupDefaults(std::span<Byte> main) {
    for (int g = 0; g < kGroups; ++g) {
        std::size_t rec = layout::kGroupRecords + kGroupRecordSize * static_cast<std::size_t>(g);
        setByte(main, rec, kGroupTimeOutDefault);
        fill(main, rec + 1, 3, 0);
        setByte(main, rec + 4, static_cast<Byte>(byteAt(main, rec + 4) | kGroupScanAndSignalling));
    }
}

void writeTwoToneDefaults(std::span<Byte> main) {
    for (std::size_t base : kTwoToneCodes)
        for (std::size_t i = 0; i < kTwoToneCodePattern.size(); ++i)
            setByte(main, base + i, kTwoToneCodePattern[i]);
    for (std::size_t base : kTwoToneSettings)
        for (std::size_t i = 0; i < kTwoToneSettingsPattern.size(); ++i)
            setByte(main, base + i, kTwoToneSettingsPattern[i]);
    for (std::size_t off : kTwoToneDerived)
        setByte(main, off, 1);
}

void writeEmergencyDefaults(std::span<Byte> main) {
    const std::size_t e = layout::kEmergency;
    setByte(main, e + kEmActiveTime, 3);
    setByte(main, e + kEmInterval, 10);
    setByte(main, e + kEmLocator1, 0);
    setByte(main, e + kEmLocator2, 0);
    setByte(main, e + kEmModeType, 1);
    setByte(main, e + kEmType, 0xFF);
    setByte(main, dravix::kEmergencyFleet, dravix::kDefaultFleet);
    setLe16(main, dravix::kEmergencyId, dravix::kDefaultId);
    setByte(main, e + kEmDtmfIdLength, 0);
    setByte(main, kCsEmergencyDisplay, 0);
    setByte(main, kCsEmergencyModeCopy, 1);
    dravix::buildEmergencyFrame(main);
}

// An unset derived byte follows its selector: 1 stays 1, 0 and 2 give 0, anything else leaves it unset.
void deriveFromSelector(std::span<Byte> main, std::size_t derived, std::size_t selector) {
    if (byteAt(main, derived) != 0xFF) return;
    Byte s = byteAt(main, selector);
    if (s == 1)
        setByte(main, derived, 1);
    else if (s == 0 || s == 2)
        setByte(main, derived, 0);
}

} // namespace

bool hasApplicationTag(std::span<const Byte> mainArea) {
    return fieldEquals(mainArea, layout::kAppTag, layout::kAppTagText);
}

void defaultInitialise(Document& doc, bool defaultModel, bool startup) {
    MemoryImage& image = doc.image();
    if (defaultModel) setIdentification(image, Id::defaults());

    doc.codec().loadBandLimits(currentId(doc));
    putText(image.main(), layout::kFormatVersion, layout::kVersionText);

    clearIdentificationBits(doc, startup);
    putText(image.main(), layout::kAppTag, layout::kAppTagText);

    const Id id = currentId(doc);
    buildTestFrequencyTable(image, kModel1, doc.codec());
    if (id.isDualBand()) buildTestFrequencyTable(image, kModel2, doc.codec());

    auto main = image.main();
    writeKeyDefaults(main, id, startup);
    writeCommonDefaults(main, id);
    writeGroupDefaults(main);
    writeTwoToneDefaults(main);
    std::fill(image.working().dtmf.begin(), image.working().dtmf.end(), Byte{0xFF});
    dravix::writeDefaultBlock(main);
    writeEmergencyDefaults(main);
    if (doc.options().extended) setByte(main, kCsCapacityMarker, kCapacityExtended);
}

void normaliseModelFields(Document& doc) {
    auto main = doc.image().main();
    Id id = currentId(doc);
    doc.codec().loadBandLimits(id);
    deriveFromSelector(main, kCsTwoToneDerived, kCsTwoToneSelect);
    for (std::size_t i = 0; i < kTwoToneDerived.size(); ++i)
        deriveFromSelector(main, kTwoToneDerived[i], kTwoToneSettings[i] + kTwoToneSelectInGroup);
    if (id.isDualBand() && (id.configWord() & kConfigBandBits) == kConfigBandBits) {
        id.setConfigWord(static_cast<std::uint16_t>(id.configWord() & ~kConfigBandBits));
        setIdentification(doc.image(), id);
    }
}

} // namespace velora
