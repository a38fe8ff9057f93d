#pragma once
// The fixed catalogue of radio models and frequency bands, and the 10-byte model identification
// that every data set, data file header and radio identification reply carries.
//
// Model numbers: 0 means model 1 (the first radio unit), 1 means model 2 (the second radio unit of a
// dual-band radio). Any other model number is read as model 1.
// Head numbers: 0 means head 1, 1 means head 2.
// Every query is total: an identification outside the catalogue gives "none" (std::nullopt), an
// empty text or a documented fallback, never an out-of-range access.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Bytes.h"

namespace velora {

class MemoryImage;

// Frequency band group; its value equals the index of the model that covers it.
enum class BandGroup : std::uint8_t { Low = 0, Vhf = 1, Uhf = 2 };

inline constexpr int kModel1 = 0;
inline constexpr int kModel2 = 1;
inline constexpr int kHead1 = 0;
inline constexpr int kHead2 = 1;

struct ModelEntry {
    std::string_view code; // 5 characters, identification bytes 0 to 4
    std::string_view name; // "RM-420"
    BandGroup group;
    std::string_view groupLabel;   // "VHF :"
    std::string_view bracketLabel; // " [VHF]"
};

struct BandEntry {
    std::uint8_t code;          // band code = entry index + 1
    std::string_view rangeText; // with '.' as decimal point; see bandName()
    std::string_view suffix;    // variant suffix, " (K2)"
    BandGroup group;
    double lower; // band edges in MHz
    double upper;
    int testClass; // selects the default test frequencies within the group
};

inline constexpr std::array<ModelEntry, 3> kModels{{
    {"Q0110", "RM-410", BandGroup::Low, "Low :", " [Low]"},
    {"Q0120", "RM-420", BandGroup::Vhf, "VHF :", " [VHF]"},
    {"Q0130", "RM-430", BandGroup::Uhf, "UHF :", " [UHF]"},
}};

inline constexpr std::array<BandEntry, 9> kBands{{
    {1, "29.7-37.0 MHz", " (K)", BandGroup::Low, 29.7, 37.0, 0},
    {2, "35.0-43.0 MHz", " (K2)", BandGroup::Low, 35.0, 43.0, 1},
    {3, "40.0-50.0 MHz", " (K3)", BandGroup::Low, 40.0, 50.0, 2},
    {4, "148-174 MHz", " (K)", BandGroup::Vhf, 148.0, 174.0, 0},
    {5, "136-156 MHz", " (K2)", BandGroup::Vhf, 136.0, 156.0, 1},
    {6, "450-490 MHz", " (K)", BandGroup::Uhf, 450.0, 490.0, 0},
    {7, "480-512 MHz", " (K2)", BandGroup::Uhf, 480.0, 512.0, 1},
    {8, "403-430 MHz", " (K3)", BandGroup::Uhf, 403.0, 430.0, 2},
    {9, "450-480 MHz(Hi Power)", " (K)", BandGroup::Uhf, 450.0, 480.0, 3},
}};

// Band code of model 2 in a single-band identification (0xFF is also met).
inline constexpr std::uint8_t kNoModel2Band = 0x0F;

// Language text numbers of the catalogue's choices.
inline constexpr int kTextHeadType1 = 160;  // first head type, 8-character display
inline constexpr int kTextHeadType2 = 161;  // second head type, 14-character display
inline constexpr int kTextOptionNone = 262; // option board kind 0
inline constexpr int kTextOptionKind1 = 265;
inline constexpr int kTextOptionKind2 = 288;

struct BandEdges {
    double lower;
    double upper;
};

// --- Catalogue look-ups --------------------------------------------------------------------------

std::optional<std::size_t> modelIndexOfCode(std::string_view code);     // exact 5-character match
std::optional<std::size_t> bandEntryIndexOfCode(std::uint8_t bandCode); // code 1..9 -> 0..8
std::optional<BandGroup> bandGroupOfCode(std::uint8_t bandCode);
// Edges from the band table; a code outside the table gets 148 to 174 MHz.
BandEdges bandEdgesOfCode(std::uint8_t bandCode);
std::optional<int> testClassOfCode(std::uint8_t bandCode);

int headTypeTextNumber(int headType); // 0 -> 160, 1 -> 161; anything else 160
int optionBoardTextNumber(int kind);  // 0 -> 262, 1 -> 265, 2 -> 288; anything else 262

// --- Model identification ------------------------------------------------------------------------

class ModelIdentification {
  public:
    static constexpr std::size_t kSize = 10;
    using Bytes = std::array<Byte, kSize>;

    // Byte positions.
    static constexpr std::size_t kCode = 0;
    static constexpr std::size_t kCodeLength = 5;
    static constexpr std::size_t kBandCode1 = 5;
    static constexpr std::size_t kConfigWord = 6; // little-endian, bytes 6 and 7
    static constexpr std::size_t kBandCode2 = 8;  // the model-2 word is bytes 8 and 9
    static constexpr std::size_t kModel2Flags = 9;

    // Configuration word bits.
    static constexpr std::uint16_t kOptionKind1 = 0x0001; // wins over kind 2 when both are set
    static constexpr std::uint16_t kOptionKind2 = 0x0002;
    static constexpr std::uint16_t kHead1SecondType = 0x0400;
    static constexpr std::uint16_t kHead2SecondType = 0x0800;
    static constexpr std::uint16_t kDualHead = 0x1000;
    static constexpr std::uint16_t kDualBand = 0x4000;
    // Model-2 flags (byte 9) bits: model 2's option board, read like config bits 0 and 1.
    static constexpr Byte kModel2OptionKind1 = 0x01;
    static constexpr Byte kModel2OptionKind2 = 0x02;

    // All 0xFF: an identification outside the catalogue.
    ModelIdentification() { bytes_.fill(0xFF); }
    explicit ModelIdentification(const Bytes& bytes) : bytes_(bytes) {}
    // The first 10 bytes of a buffer; missing bytes read as 0xFF.
    static ModelIdentification fromBytes(std::span<const Byte> bytes);
    // "Q0120" 04 F0 00 06 F0.
    static ModelIdentification defaults();

    const Bytes& bytes() const { return bytes_; }
    bool operator==(const ModelIdentification&) const = default;

    // Bytes 0 to 4 as text, cut at NUL or 0xFF.
    std::string modelCode() const;
    std::uint8_t bandCode(int model) const; // byte 5 or byte 8
    std::uint16_t configWord() const;
    std::uint16_t model2Word() const; // bytes 8 and 9, little-endian

    // Model 1: position of the model code in the model table. Model 2: the model whose index equals
    // the band group of model 2's band code (whether or not the dual-band bit is set).
    std::optional<std::size_t> modelIndex(int model = kModel1) const;
    // Model code of model 1 in the model table and model 1's band code in the band table. The one
    // rule for accepting an identification, whether it comes from a data file, a radio or the
    // remembered settings: a model-2 band code outside the table is accepted and gives model 2 no
    // group, which every user of model 2 must allow for.
    bool isValid() const;

    std::optional<BandGroup> bandGroup(int model) const;
    BandEdges bandEdges(int model) const; // 148-174 MHz outside the table
    std::optional<std::size_t> bandEntryIndex(int model) const;

    bool isDualBand() const { return (configWord() & kDualBand) != 0; }
    bool isDualHead() const { return (configWord() & kDualHead) != 0; }
    int headType(int head) const; // 0 first type, 1 second type
    int headTypeText(int head) const { return headTypeTextNumber(headType(head)); }
    int optionBoard(int model) const; // kind 0, 1 or 2
    int optionBoardText(int model) const { return optionBoardTextNumber(optionBoard(model)); }
    // Model 1's board, or (dual band) model 2's board, is of the given kind.
    bool hasOptionBoard(int kind) const;
    // Head 1 of the second type, or dual head and head 2 of the second type.
    bool secondTypeHeadInUse() const;
    // Whether a radio reporting `radio` is the radio this identification describes: bytes 0 to 5
    // and 7 equal; bytes 6 and 9 compared in their low four bits only; byte 8 counts as 0 on a side
    // whose dual-band bit is clear.
    bool sameRadio(const ModelIdentification& radio) const;

    // Setters. A model index outside the table or an option-board kind other than 0, 1, 2 changes
    // nothing and returns false.
    bool setModelCode(std::size_t modelIndex);
    void setBandCode(int model, std::uint8_t bandCode);
    void setDualBand(bool on);
    void setDualHead(bool on);
    void setHeadType(int head, int type); // type 0 first, anything else second
    bool setOptionBoard(int model, int kind);
    void setConfigWord(std::uint16_t word);
    void setModel2Word(std::uint16_t word);

  private:
    Bytes bytes_;
};

// The identification inside a main area (offset layout::kModelId) and in a memory image's working copy.
ModelIdentification identificationOf(std::span<const Byte> mainArea);
ModelIdentification identificationOf(const MemoryImage& image);
void setIdentification(std::span<Byte> mainArea, const ModelIdentification& id);
void setIdentification(MemoryImage& image, const ModelIdentification& id);

// --- Display names (decimal separator of the user's locale as a parameter) -------------------------

// Range text with every '.' replaced by the separator, then the variant suffix: "148-174 MHz (K)".
// Empty for a code outside the band table.
std::string bandName(std::uint8_t bandCode, char decimalSeparator = '.');
// "RM-420 VHF : 148-174 MHz (K)". Empty when the model is not in the catalogue; the band name part
// is empty when the band code is not in the table.
std::string modelAndBandName(const ModelIdentification& id, int model, char decimalSeparator = '.');
// "RM-420 [VHF]"; empty when the model is not in the catalogue.
std::string modelWithBracketLabel(const ModelIdentification& id, int model);
std::string modelWithBracketLabel(std::size_t modelIndex);
// "RM-420", or "RM-420 / RM-430" for a dual-band identification (model 2's name left out when it has
// no model).
std::string dataSetTitle(const ModelIdentification& id);

// --- List fillers for the model dialog --------------------------------------------------------------

// One entry of a list control. `textNumber` >= 0 means the entry shows that language text and `text`
// is empty; otherwise `text` is shown literally. `data` is the item data.
struct ListItem {
    std::string text;
    int textNumber = -1;
    int data = 0;
    bool operator==(const ListItem&) const = default;
};

// All three models, "RM-410 [Low]" style; data = model index.
std::vector<ListItem> modelList();
// All models but the given index; data = model index.
std::vector<ListItem> modelListExcept(std::size_t modelIndex);
// The bands of a group in table order; text = band name, data = band code.
std::vector<ListItem> bandList(BandGroup group, char decimalSeparator = '.');
// Option-board kinds 0, 1, 2 (texts 262, 265, 288); data = kind.
std::vector<ListItem> optionBoardList();
// Head types 0, 1 (texts 160, 161); data = type.
std::vector<ListItem> headTypeList();

} // namespace velora
