#include "model/MemoryImage.h"

#include <algorithm>

namespace velora {

std::span<Byte> ImageCopy::area(Area a) {
    switch (a) {
    case Area::Main:
        return main;
    case Area::Dtmf:
        return dtmf;
    case Area::Ext:
        return ext;
    }
    return main;
}

std::span<const Byte> ImageCopy::area(Area a) const {
    return const_cast<ImageCopy*>(this)->area(a);
}

void ImageCopy::fillAll(Byte v) {
    main.fill(v);
    dtmf.fill(v);
    ext.fill(v);
}

MemoryImage::MemoryImage() {
    reset();
    markSaved();
}

std::span<Byte> MemoryImage::region(Area a, std::size_t offset) {
    auto s = working_.area(a);
    return offset < s.size() ? s.subspan(offset) : s;
}

std::span<const Byte> MemoryImage::region(Area a, std::size_t offset) const {
    return const_cast<MemoryImage*>(this)->region(a, offset);
}

void MemoryImage::reset() {
    working_.fillAll(0xFF);
    staging_ = working_;
}

void MemoryImage::stage() {
    staging_ = working_;
}
void MemoryImage::adoptStaged() {
    working_ = staging_;
}
void MemoryImage::markSaved() {
    reference_ = working_;
}

bool MemoryImage::isModified() const {
    // The model identification is skipped, so changing it alone never counts as a modification.
    const auto idStart = working_.main.begin() + layout::kModelId;
    const auto idEnd = idStart + layout::kModelIdSize;
    const auto refId = reference_.main.begin() + layout::kModelId;
    const bool mainSame = std::equal(working_.main.begin(), idStart, reference_.main.begin()) &&
                          std::equal(idEnd, working_.main.end(), refId + layout::kModelIdSize);
    return !(mainSame && working_.ext == reference_.ext && working_.dtmf == reference_.dtmf);
}

void MemoryImage::resetKeepingIdentification() {
    std::array<Byte, layout::kModelIdSize> id{};
    std::copy_n(working_.main.begin() + layout::kModelId, id.size(), id.begin());
    reset();
    std::copy(id.begin(), id.end(), working_.main.begin() + layout::kModelId);
}

} // namespace velora
