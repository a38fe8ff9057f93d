#pragma once
// The radio's programmable memory as three fixed-size areas, kept in three copies:
// working (the data set being edited), staging (receives loads before adoption) and
// reference (the state at the last New, load or save, for the modification test).
#include <array>
#include <cstddef>
#include <span>

#include "model/Bytes.h"
#include "model/Layout.h"

namespace velora {

enum class Area { Main, Dtmf, Ext };

struct ImageCopy {
    std::array<Byte, layout::kMainSize> main{};
    std::array<Byte, layout::kDtmfSize> dtmf{};
    std::array<Byte, layout::kExtSize> ext{};

    std::span<Byte> area(Area a);
    std::span<const Byte> area(Area a) const;
    void fillAll(Byte v);
    bool operator==(const ImageCopy&) const = default;
};

class MemoryImage {
  public:
    MemoryImage();

    ImageCopy& working() { return working_; }
    const ImageCopy& working() const { return working_; }
    ImageCopy& staging() { return staging_; }
    const ImageCopy& staging() const { return staging_; }
    const ImageCopy& reference() const { return reference_; }

    // Working copy areas, the form every editor uses.
    std::span<Byte> main() { return working_.main; }
    std::span<const Byte> main() const { return working_.main; }
    std::span<Byte> dtmf() { return working_.dtmf; }
    std::span<const Byte> dtmf() const { return working_.dtmf; }
    std::span<Byte> ext() { return working_.ext; }
    std::span<const Byte> ext() const { return working_.ext; }

    // Start of a region of the working copy. An offset at or past the end of the area
    // resolves to the start of the area, so a bad offset never reaches outside it.
    std::span<Byte> region(Area a, std::size_t offset);
    std::span<const Byte> region(Area a, std::size_t offset) const;

    void reset();       // working := 0xFF everywhere, staging := working
    void stage();       // staging := working
    void adoptStaged(); // working := staging
    void markSaved();   // reference := working

    // Differs from the reference, the model identification excepted. Reads only, so asking between
    // a load into the staging copy and its adoption cannot disturb the loaded data.
    bool isModified() const;

    // Resets the image but keeps the working copy's model identification.
    void resetKeepingIdentification();

  private:
    ImageCopy working_;
    ImageCopy staging_;
    ImageCopy reference_;
};

} // namespace velora
