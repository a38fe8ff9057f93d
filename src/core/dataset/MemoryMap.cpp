#include "dataset/MemoryMap.h"

#include <algorithm>
#include <cstdio>

#include "channels/ChannelStore.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/DataSetInit.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {

constexpr int kTextNotSupported = 220; // the identification does not name a supported radio

Area areaOf(MemoryMapMode mode) {
    return mode == MemoryMapMode::Head ? Area::Ext : Area::Main;
}

std::string hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.*X", digits, value);
    return buf;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Latin-1 control characters show nothing useful and would shift the fixed-pitch columns.
bool printable(Byte b) {
    return (b >= 0x20 && b < 0x7F) || b >= 0xA0;
}

// Copies a range of the map's main area over the working copy's, where it is to be kept as it was.
void keepRange(std::span<Byte> target, std::span<const Byte> old, std::size_t offset, std::size_t size) {
    std::copy_n(old.begin() + std::ptrdiff_t(offset), size, target.begin() + std::ptrdiff_t(offset));
}

} // namespace

MemoryMapPosition MemoryMapPositions::of(MemoryMapMode mode) const {
    return saved_[index(mode)].value_or(MemoryMap::startPosition(mode));
}

MemoryMap::MemoryMap(const Document& doc, MemoryMapMode mode) : mode_(mode) {
    auto area = doc.image().working().area(areaOf(mode));
    buffer_.assign(area.begin(), area.end());
}

int MemoryMap::rowsOf(MemoryMapMode mode) {
    const std::size_t size = mode == MemoryMapMode::Head ? layout::kExtSize : layout::kMainSize;
    return int(size / kBytesPerRow);
}

MemoryMapPosition MemoryMap::startPosition(MemoryMapMode mode) {
    const int rows = rowsOf(mode);
    return {rows - kVisibleRows + 1, rows, kHexFirstCol};
}

std::optional<std::size_t> MemoryMap::offsetAt(int row, int col) const {
    if (row < 1 || row > rows()) return std::nullopt;
    int column = -1;
    if (isHexCol(col))
        column = col - kHexFirstCol;
    else if (isCharCol(col))
        column = col - kCharFirstCol;
    else
        return std::nullopt;
    return std::size_t(kBytesPerRow) * std::size_t(rows() - row) + std::size_t(column);
}

int MemoryMap::rowOf(std::size_t offset) const {
    return rows() - int(offset / kBytesPerRow);
}

std::string MemoryMap::rowTitle(int row) const {
    return "   " + hex(unsigned(rows() - row), 3) + "_";
}

std::string MemoryMap::columnTitle(int col) {
    if (isHexCol(col)) return "__" + hex(unsigned(col - kHexFirstCol), 1);
    if (isCharCol(col)) return "__" + hex(unsigned(col - kCharFirstCol), 1);
    return {};
}

std::string MemoryMap::cellText(int row, int col) const {
    auto off = offsetAt(row, col);
    if (!off) return {};
    const Byte b = byteAt(*off);
    if (isHexCol(col)) return hex(b, 2);
    return printable(b) ? std::string(1, char(b)) : std::string();
}

std::string MemoryMap::addressText(int row, int col) const {
    auto off = offsetAt(row, col);
    return off ? hex(unsigned(*off), 4) : std::string();
}

int MemoryMap::editLength(int col) {
    return isHexCol(col) ? 2 : isCharCol(col) ? 1 : 0;
}

bool MemoryMap::commitText(int row, int col, std::string_view text) {
    auto off = offsetAt(row, col);
    if (!off) return false;
    Byte value = 0xFF;
    if (isHexCol(col)) {
        if (text.size() > 2) return false;
        int v = 0;
        for (char c : text) {
            const int d = hexDigit(c);
            if (d < 0) return false;
            v = v * 16 + d;
        }
        if (!text.empty()) value = Byte(v);
    } else {
        if (text.size() > 1) return false;
        if (!text.empty()) value = Byte(text.front());
    }
    buffer_[*off] = value;
    return true;
}

std::optional<MemoryMapPosition> MemoryMap::wrapRight(int row, int col) const {
    if ((col != kHexLastCol && col != kCharLastCol) || row <= 1) return std::nullopt;
    const int first = col == kHexLastCol ? kHexFirstCol : kCharFirstCol;
    return MemoryMapPosition{0, row - 1, first};
}

std::optional<MemoryMapPosition> MemoryMap::wrapLeft(int row, int col) const {
    if ((col != kHexFirstCol && col != kCharFirstCol) || row >= rows()) return std::nullopt;
    const int last = col == kHexFirstCol ? kHexLastCol : kCharLastCol;
    return MemoryMapPosition{0, row + 1, last};
}

int MemoryMap::partnerCol(int col) {
    if (isHexCol(col)) return col - kHexFirstCol + kCharFirstCol;
    if (isCharCol(col)) return col - kCharFirstCol + kHexFirstCol;
    return col;
}

MemoryMapApplyResult MemoryMap::applyTo(Document& doc, MessageBoxes& boxes) const {
    MemoryMapApplyResult result;
    MemoryImage& image = doc.image();
    auto target = image.working().area(areaOf(mode_));
    const ModelIdentification before = identificationOf(image);

    if (mode_ == MemoryMapMode::Deck) {
        // The same acceptance rule as a loaded data set's: typing may not leave the data set without
        // the application tag or naming a radio this application does not support. Those bytes stay
        // as they were; every other byte is stored exactly as typed.
        std::vector<Byte> typed = buffer_;
        const bool tagOk = hasApplicationTag(typed);
        const bool idOk = identificationOf(std::span<const Byte>(typed)).isValid();
        if (!tagOk) keepRange(typed, target, layout::kAppTag, layout::kAppTagText.size());
        if (!idOk) keepRange(typed, target, layout::kModelId, layout::kModelIdSize);
        std::copy(typed.begin(), typed.end(), target.begin());
        if (!tagOk || !idOk) {
            result.identificationKept = true;
            boxes.warning(kTextNotSupported);
        }
    } else {
        std::copy(buffer_.begin(), buffer_.end(), target.begin());
    }

    const ModelIdentification after = identificationOf(image);
    result.identificationChanged = after != before;
    doc.codec().loadBandLimits(after);

    // Every channel editor relies on sound tables; bytes typed into them may have broken them.
    ChannelStore store(doc, boxes.texts());
    if (!store.validateTables()) {
        store.rebuildTables();
        result.tablesRebuilt = true;
        boxes.warning(kTextTablesRebuilt);
    }
    return result;
}

} // namespace velora
