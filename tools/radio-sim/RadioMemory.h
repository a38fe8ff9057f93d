#pragma once
// The simulated radio's memory: one image per unit (deck 1, deck 2, head 1, head 2) and the radio's
// 10-byte identification. Decks serve the main and DTMF code areas, heads the extension area; each
// unit keeps all three areas so that it loads from and dumps to an ordinary data file.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "model/Bytes.h"
#include "model/Layout.h"

namespace velora::sim {

using Identification = std::array<Byte, layout::kModelIdSize>;

struct UnitImage {
    std::array<Byte, layout::kMainSize> main{};
    std::array<Byte, layout::kDtmfSize> dtmf{};
    std::array<Byte, layout::kExtSize> ext{};

    UnitImage() { fillAll(0xFF); }
    void fillAll(Byte v);
    bool operator==(const UnitImage&) const = default;
};

inline constexpr int kUnitCount = 4;
enum class UnitKind { Deck, Head };

// Unit index 0..3 <-> selector byte and name; -1 for anything else.
int unitFromSelector(Byte selector);
Byte selectorOfUnit(int unit);
UnitKind kindOfUnit(int unit);
const char* unitName(int unit);            // "deck1", "deck2", "head1", "head2"
int unitFromName(const std::string& name); // names above, or the selector in hex ("0x8F")

class RadioMemory {
  public:
    Identification ident{};
    std::array<UnitImage, kUnitCount> units{};

    bool dualBand() const { return (ident[7] & 0x40) != 0; } // configuration word bit 14
    bool dualHead() const { return (ident[7] & 0x10) != 0; } // configuration word bit 12
    bool hasUnit(int unit) const;

    UnitImage& unit(int u) { return units[static_cast<std::size_t>(u)]; }
    const UnitImage& unit(int u) const { return units[static_cast<std::size_t>(u)]; }
};

// Reads a data file: 64-byte header (50 bytes when bytes 10..12 are "V01"), then the three areas.
std::optional<UnitImage> loadDataFile(const std::string& path, std::string& error);

// Writes a 24800-byte data file ("VELORA", FF x4, "V2.10", identification, FF x39, areas).
bool writeDataFile(const std::string& path, const UnitImage& image, const Identification& ident,
                   std::string& error);

} // namespace velora::sim
