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

bool MemoryImage::isModified() {
    staging_ = working_;
    auto blankId = [](ImageCopy& c) {
        std::fill_n(c.main.begin() + layout::kModelId, layout::kModelIdSize, Byte{0xFF});
    };
    blankId(staging_);
    // The reference copy's identification is blanked too, so a later identification-only
    // change still compares equal.
    blankId(reference_);
    return !(staging_.main == reference_.main && staging_.ext == reference_.ext &&
             staging_.dtmf == reference_.dtmf);
}

void MemoryImage::resetKeepingIdentification() {
    std::array<Byte, layout::kModelIdSize> id{};
    std::copy_n(working_.main.begin() + layout::kModelId, id.size(), id.begin());
    reset();
    std::copy(id.begin(), id.end(), working_.main.begin() + layout::kModelId);
}

} // namespace velora
