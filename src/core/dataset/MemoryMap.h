#pragma once
// The memory map: one area of the working copy (the main area for the deck, the extension area for
// the head) as a hexadecimal dump of 16 bytes a row, edited byte by byte in a buffer of its own and
// written back only when the map is closed with Close. Rows run from the highest address at the top
// to offset 0 at the bottom; grid columns 1-16 show the bytes in hexadecimal, column 17 separates,
// columns 18-33 show the same bytes as characters.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "model/Bytes.h"
#include "model/Document.h"

namespace velora {

enum class MemoryMapMode { Deck = 0, Head = 1 };

// A place in the map's grid: rows 1..rows() from the top, columns as above.
struct MemoryMapPosition {
    int topRow = 1;
    int row = 1;
    int col = 1;
    bool operator==(const MemoryMapPosition&) const = default;
};

// Where each mode's map was left by Close, for the rest of the run.
class MemoryMapPositions {
  public:
    // The remembered position, or the start position: the last 16 rows (offsets 0 to 255) in view,
    // the bottom row current, column 1.
    MemoryMapPosition of(MemoryMapMode mode) const;
    void remember(MemoryMapMode mode, const MemoryMapPosition& p) { saved_[index(mode)] = p; }

  private:
    static std::size_t index(MemoryMapMode m) { return m == MemoryMapMode::Head ? 1 : 0; }
    std::array<std::optional<MemoryMapPosition>, 2> saved_;
};

// What Close changed besides the bytes typed.
struct MemoryMapApplyResult {
    bool identificationKept = false; // the typed identification or tag was refused; the old one stays
    bool tablesRebuilt = false;      // the channel tables broke their invariants and were rebuilt
    bool identificationChanged = false;
};

class MemoryMap {
  public:
    static constexpr int kBytesPerRow = 16;
    static constexpr int kHexFirstCol = 1;
    static constexpr int kHexLastCol = 16;
    static constexpr int kSeparatorCol = 17;
    static constexpr int kCharFirstCol = 18;
    static constexpr int kCharLastCol = 33;
    static constexpr int kGridCols = 34; // with the row-title column
    static constexpr int kVisibleRows = 16;

    // Copies the mode's area of the working copy into the map's own buffer.
    MemoryMap(const Document& doc, MemoryMapMode mode);

    MemoryMapMode mode() const { return mode_; }
    static int rowsOf(MemoryMapMode mode);
    int rows() const { return rowsOf(mode_); }
    static MemoryMapPosition startPosition(MemoryMapMode mode);

    static bool isHexCol(int col) { return col >= kHexFirstCol && col <= kHexLastCol; }
    static bool isCharCol(int col) { return col >= kCharFirstCol && col <= kCharLastCol; }
    // Area offset of a data cell; nothing outside the data cells.
    std::optional<std::size_t> offsetAt(int row, int col) const;
    // The row holding an offset.
    int rowOf(std::size_t offset) const;

    // "   3FF_": the address of the row without its last hexadecimal digit.
    std::string rowTitle(int row) const;
    // "__0" to "__F" over both blocks; the separator column has none.
    static std::string columnTitle(int col);
    // "%.2X" in the hexadecimal block; in the character block the byte as a Latin-1 character, empty
    // for a control character that would show nothing but disturb the line.
    std::string cellText(int row, int col) const;
    // "%.4X" of the current cell's offset; empty outside the data cells.
    std::string addressText(int row, int col) const;

    // The edit box of a cell takes at most this many characters (0 outside the data cells).
    static int editLength(int col);
    // Stores what the edit box held. Hexadecimal block: empty means FF, one digit gets a leading 0,
    // anything but hexadecimal digits is refused. Character block: the character is the byte, empty
    // means FF. Returns whether a byte was stored.
    bool commitText(int row, int col, std::string_view text);

    Byte byteAt(std::size_t offset) const { return velora::byteAt(buffer_, offset); }
    const std::vector<Byte>& buffer() const { return buffer_; }

    // Keys: Right at the last column of a block goes on at the first column of the row above (the next
    // address) unless on the top row; Left at the first column goes back to the last column of the row
    // below unless on the bottom row. Nothing for moves the ordinary grid keys handle.
    std::optional<MemoryMapPosition> wrapRight(int row, int col) const;
    std::optional<MemoryMapPosition> wrapLeft(int row, int col) const;
    // The same byte's cell in the other block (Ctrl+Tab).
    static int partnerCol(int col);

    // Close: the buffer goes into the working copy's area whole, then the checks a loaded data set
    // gets: an identification or application tag that no longer describes a supported radio is
    // refused (the old bytes stay, text 220), channel tables that break their invariants are rebuilt
    // (text 221). The codec follows the identification.
    MemoryMapApplyResult applyTo(Document& doc, MessageBoxes& boxes) const;

  private:
    MemoryMapMode mode_;
    std::vector<Byte> buffer_;
};

} // namespace velora
