#include "RadioMemory.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace velora::sim {

namespace {
constexpr std::array<Byte, kUnitCount> kSelectors{0x0F, 0x1F, 0x8F, 0x9F};
constexpr std::array<const char*, kUnitCount> kNames{"deck1", "deck2", "head1", "head2"};

constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kOldHeaderSize = 50;
constexpr std::size_t kTagSize = 10; // "VELORA" + FF FF FF FF
constexpr std::size_t kVersionOffset = 10;
constexpr std::size_t kIdentOffset = 15;
constexpr std::size_t kAreasSize = layout::kMainSize + layout::kDtmfSize + layout::kExtSize;

bool hasTag(const std::vector<Byte>& data) {
    if (data.size() < kTagSize || !fieldEquals(data, 0, layout::kAppTagText)) return false;
    return std::all_of(data.begin() + 6, data.begin() + kTagSize, [](Byte b) { return b == 0xFF; });
}
} // namespace

void UnitImage::fillAll(Byte v) {
    main.fill(v);
    dtmf.fill(v);
    ext.fill(v);
}

int unitFromSelector(Byte selector) {
    auto it = std::find(kSelectors.begin(), kSelectors.end(), selector);
    return it == kSelectors.end() ? -1 : static_cast<int>(it - kSelectors.begin());
}

Byte selectorOfUnit(int unit) {
    return unit >= 0 && unit < kUnitCount ? kSelectors[unit] : Byte{0};
}

UnitKind kindOfUnit(int unit) {
    return unit >= 2 ? UnitKind::Head : UnitKind::Deck;
}

const char* unitName(int unit) {
    return unit >= 0 && unit < kUnitCount ? kNames[unit] : "?";
}

int unitFromName(const std::string& name) {
    for (int u = 0; u < kUnitCount; ++u)
        if (name == kNames[u]) return u;
    if (name.size() == 4 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        char* end = nullptr;
        unsigned long v = std::strtoul(name.c_str() + 2, &end, 16);
        if (*end == '\0') return unitFromSelector(static_cast<Byte>(v));
    }
    return -1;
}

bool RadioMemory::hasUnit(int unit) const {
    switch (unit) {
    case 0:
    case 2:
        return true;
    case 1:
        return dualBand();
    case 3:
        return dualHead();
    default:
        return false;
    }
}

std::optional<UnitImage> loadDataFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<Byte> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!hasTag(data)) {
        error = path + ": not a data file (wrong tag)";
        return std::nullopt;
    }
    std::size_t header = fieldEquals(data, kVersionOffset, "V01") ? kOldHeaderSize : kHeaderSize;
    if (data.size() < header + kAreasSize) {
        error = path + ": data file too short";
        return std::nullopt;
    }
    UnitImage image;
    const Byte* at = data.data() + header;
    std::copy_n(at, image.main.size(), image.main.begin());
    at += image.main.size();
    std::copy_n(at, image.dtmf.size(), image.dtmf.begin());
    at += image.dtmf.size();
    std::copy_n(at, image.ext.size(), image.ext.begin());
    return image;
}

bool writeDataFile(const std::string& path, const UnitImage& image, const Identification& ident,
                   std::string& error) {
    std::vector<Byte> out(kHeaderSize, 0xFF);
    putText(out, 0, layout::kAppTagText);
    putText(out, kVersionOffset, layout::kVersionText);
    std::copy(ident.begin(), ident.end(), out.begin() + kIdentOffset);
    out.insert(out.end(), image.main.begin(), image.main.end());
    out.insert(out.end(), image.dtmf.begin(), image.dtmf.end());
    out.insert(out.end(), image.ext.begin(), image.ext.end());

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (file) file.close();
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace velora::sim
