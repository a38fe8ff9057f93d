#include "model/ModelCatalogue.h"

#include <algorithm>

#include "model/Layout.h"
#include "model/MemoryImage.h"

namespace velora {

namespace {

// Fallback edges for a band code outside the table: those of the default VHF band.
constexpr BandEdges kFallbackEdges{148.0, 174.0};

constexpr std::uint8_t kLowNibble = 0x0F;

std::size_t bandByte(int model) {
    return model == kModel2 ? ModelIdentification::kBandCode2 : ModelIdentification::kBandCode1;
}

} // namespace

// --- Catalogue look-ups --------------------------------------------------------------------------

std::optional<std::size_t> modelIndexOfCode(std::string_view code) {
    for (std::size_t i = 0; i < kModels.size(); ++i)
        if (kModels[i].code == code) return i;
    return std::nullopt;
}

std::optional<std::size_t> bandEntryIndexOfCode(std::uint8_t bandCode) {
    for (std::size_t i = 0; i < kBands.size(); ++i)
        if (kBands[i].code == bandCode) return i;
    return std::nullopt;
}

std::optional<BandGroup> bandGroupOfCode(std::uint8_t bandCode) {
    if (auto i = bandEntryIndexOfCode(bandCode)) return kBands[*i].group;
    return std::nullopt;
}

BandEdges bandEdgesOfCode(std::uint8_t bandCode) {
    if (auto i = bandEntryIndexOfCode(bandCode)) return {kBands[*i].lower, kBands[*i].upper};
    return kFallbackEdges;
}

std::optional<int> testClassOfCode(std::uint8_t bandCode) {
    if (auto i = bandEntryIndexOfCode(bandCode)) return kBands[*i].testClass;
    return std::nullopt;
}

int headTypeTextNumber(int headType) {
    return headType == 1 ? kTextHeadType2 : kTextHeadType1;
}

int optionBoardTextNumber(int kind) {
    switch (kind) {
    case 1:
        return kTextOptionKind1;
    case 2:
        return kTextOptionKind2;
    default:
        return kTextOptionNone;
    }
}

// --- Model identification ------------------------------------------------------------------------

ModelIdentification ModelIdentification::fromBytes(std::span<const Byte> bytes) {
    Bytes b;
    for (std::size_t i = 0; i < kSize; ++i)
        b[i] = byteAt(bytes, i);
    return ModelIdentification(b);
}

ModelIdentification ModelIdentification::defaults() {
    return ModelIdentification(Bytes{'Q', '0', '1', '2', '0', 0x04, 0xF0, 0x00, 0x06, 0xF0});
}

std::string ModelIdentification::modelCode() const {
    return fixedText(bytes_, kCode, kCodeLength);
}

std::uint8_t ModelIdentification::bandCode(int model) const {
    return bytes_[bandByte(model)];
}

std::uint16_t ModelIdentification::configWord() const {
    return le16(bytes_, kConfigWord);
}

std::uint16_t ModelIdentification::model2Word() const {
    return le16(bytes_, kBandCode2);
}

std::optional<std::size_t> ModelIdentification::modelIndex(int model) const {
    if (model == kModel2) {
        if (auto g = bandGroup(kModel2)) return static_cast<std::size_t>(*g);
        return std::nullopt;
    }
    // Compare all five bytes: a code cut short by a NUL must not match.
    const std::string_view code(reinterpret_cast<const char*>(bytes_.data()) + kCode, kCodeLength);
    return modelIndexOfCode(code);
}

bool ModelIdentification::isValid() const {
    return modelIndex(kModel1).has_value() && bandEntryIndexOfCode(bandCode(kModel1)).has_value();
}

std::optional<BandGroup> ModelIdentification::bandGroup(int model) const {
    return bandGroupOfCode(bandCode(model));
}

BandEdges ModelIdentification::bandEdges(int model) const {
    return bandEdgesOfCode(bandCode(model));
}

std::optional<std::size_t> ModelIdentification::bandEntryIndex(int model) const {
    return bandEntryIndexOfCode(bandCode(model));
}

int ModelIdentification::headType(int head) const {
    const std::uint16_t bit = head == kHead2 ? kHead2SecondType : kHead1SecondType;
    return (configWord() & bit) != 0 ? 1 : 0;
}

int ModelIdentification::optionBoard(int model) const {
    bool kind1, kind2;
    if (model == kModel2) {
        kind1 = (bytes_[kModel2Flags] & kModel2OptionKind1) != 0;
        kind2 = (bytes_[kModel2Flags] & kModel2OptionKind2) != 0;
    } else {
        kind1 = (configWord() & kOptionKind1) != 0;
        kind2 = (configWord() & kOptionKind2) != 0;
    }
    return kind1 ? 1 : kind2 ? 2 : 0;
}

bool ModelIdentification::hasOptionBoard(int kind) const {
    return optionBoard(kModel1) == kind || (isDualBand() && optionBoard(kModel2) == kind);
}

bool ModelIdentification::secondTypeHeadInUse() const {
    return headType(kHead1) == 1 || (isDualHead() && headType(kHead2) == 1);
}

bool ModelIdentification::sameRadio(const ModelIdentification& radio) const {
    // Only the low nibbles of bytes 6 and 9 describe the configuration; the high ones carry version bits.
    auto comparable = [](const ModelIdentification& id) {
        Bytes b = id.bytes_;
        b[kConfigWord] &= kLowNibble;
        b[kModel2Flags] &= kLowNibble;
        if (!id.isDualBand()) b[kBandCode2] = 0;
        return b;
    };
    return comparable(*this) == comparable(radio);
}

bool ModelIdentification::setModelCode(std::size_t modelIndex) {
    if (modelIndex >= kModels.size()) return false;
    putText(bytes_, kCode, kModels[modelIndex].code);
    return true;
}

void ModelIdentification::setBandCode(int model, std::uint8_t bandCode) {
    bytes_[bandByte(model)] = bandCode;
}

void ModelIdentification::setConfigWord(std::uint16_t word) {
    setLe16(bytes_, kConfigWord, word);
}

void ModelIdentification::setModel2Word(std::uint16_t word) {
    setLe16(bytes_, kBandCode2, word);
}

void ModelIdentification::setDualBand(bool on) {
    setConfigWord(on ? configWord() | kDualBand : configWord() & ~kDualBand);
}

void ModelIdentification::setDualHead(bool on) {
    setConfigWord(on ? configWord() | kDualHead : configWord() & ~kDualHead);
}

void ModelIdentification::setHeadType(int head, int type) {
    const std::uint16_t bit = head == kHead2 ? kHead2SecondType : kHead1SecondType;
    setConfigWord(type != 0 ? configWord() | bit : configWord() & ~bit);
}

bool ModelIdentification::setOptionBoard(int model, int kind) {
    if (kind < 0 || kind > 2) return false;
    if (model == kModel2) {
        Byte f = bytes_[kModel2Flags] & ~(kModel2OptionKind1 | kModel2OptionKind2);
        if (kind == 1) f |= kModel2OptionKind1;
        if (kind == 2) f |= kModel2OptionKind2;
        bytes_[kModel2Flags] = f;
    } else {
        std::uint16_t w = configWord() & ~(kOptionKind1 | kOptionKind2);
        if (kind == 1) w |= kOptionKind1;
        if (kind == 2) w |= kOptionKind2;
        setConfigWord(w);
    }
    return true;
}

ModelIdentification identificationOf(std::span<const Byte> mainArea) {
    ModelIdentification::Bytes b;
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = byteAt(mainArea, layout::kModelId + i);
    return ModelIdentification(b);
}

ModelIdentification identificationOf(const MemoryImage& image) {
    return identificationOf(image.main());
}

void setIdentification(std::span<Byte> mainArea, const ModelIdentification& id) {
    for (std::size_t i = 0; i < ModelIdentification::kSize; ++i)
        setByte(mainArea, layout::kModelId + i, id.bytes()[i]);
}

void setIdentification(MemoryImage& image, const ModelIdentification& id) {
    setIdentification(image.main(), id);
}

// --- Display names -------------------------------------------------------------------------------

std::string bandName(std::uint8_t bandCode, char decimalSeparator) {
    auto i = bandEntryIndexOfCode(bandCode);
    if (!i) return {};
    std::string text(kBands[*i].rangeText);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text + std::string(kBands[*i].suffix);
}

std::string modelAndBandName(const ModelIdentification& id, int model, char decimalSeparator) {
    auto m = id.modelIndex(model);
    if (!m) return {};
    const ModelEntry& e = kModels[*m];
    return std::string(e.name) + " " + std::string(e.groupLabel) + " " +
           bandName(id.bandCode(model), decimalSeparator);
}

std::string modelWithBracketLabel(std::size_t modelIndex) {
    if (modelIndex >= kModels.size()) return {};
    return std::string(kModels[modelIndex].name) + std::string(kModels[modelIndex].bracketLabel);
}

std::string modelWithBracketLabel(const ModelIdentification& id, int model) {
    auto m = id.modelIndex(model);
    return m ? modelWithBracketLabel(*m) : std::string{};
}

std::string dataSetTitle(const ModelIdentification& id) {
    auto m1 = id.modelIndex(kModel1);
    std::string title = m1 ? std::string(kModels[*m1].name) : std::string{};
    if (id.isDualBand()) {
        if (auto m2 = id.modelIndex(kModel2)) title += " / " + std::string(kModels[*m2].name);
    }
    return title;
}

// --- List fillers --------------------------------------------------------------------------------

std::vector<ListItem> modelList() {
    std::vector<ListItem> items;
    for (std::size_t i = 0; i < kModels.size(); ++i)
        items.push_back({modelWithBracketLabel(i), -1, static_cast<int>(i)});
    return items;
}

std::vector<ListItem> modelListExcept(std::size_t modelIndex) {
    std::vector<ListItem> items = modelList();
    std::erase_if(items, [&](const ListItem& it) { return it.data == static_cast<int>(modelIndex); });
    return items;
}

std::vector<ListItem> bandList(BandGroup group, char decimalSeparator) {
    std::vector<ListItem> items;
    for (const BandEntry& b : kBands)
        if (b.group == group) items.push_back({bandName(b.code, decimalSeparator), -1, b.code});
    return items;
}

std::vector<ListItem> optionBoardList() {
    return {{{}, kTextOptionNone, 0}, {{}, kTextOptionKind1, 1}, {{}, kTextOptionKind2, 2}};
}

std::vector<ListItem> headTypeList() {
    return {{{}, kTextHeadType1, 0}, {{}, kTextHeadType2, 1}};
}

} // namespace velora
