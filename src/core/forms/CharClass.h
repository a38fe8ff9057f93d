#pragma once
// Which typed characters an edit control takes, by the class byte the control is given. One pure
// function decides for every edit of the application; the GUI's filtered line edit only asks it.
#include <cstdint>
#include <string>
#include <string_view>

namespace velora::forms {

enum class CharClass : std::uint8_t {
    Nothing = 0,
    Any = 1,
    Digits = 2,
    Decimal = 3, // digits and one decimal point, shown as the locale's
    Dtmf = 5,    // 0-9 * # A-D
    Hex = 6,
    Alnum = 7,
    Name = 10,       // display / name text
    ZeroToFive = 20, // 0-5 and '-'
    DigitsOrA = 21,
    DigitsOrC = 30,
    DigitsOrCO = 31,
    Tone = 40, // the tone editor's own rule (not a class byte of the radio's data)
};

inline constexpr char32_t kBackspace = U'\b';

// The edit's state when a character arrives. Texts are Latin-1, one char per position.
struct EditContext {
    std::string_view text;
    int selStart = 0; // the cursor when nothing is selected
    int selLength = 0;
    char decimalPoint = '.';
};

struct CharVerdict {
    bool accept = false;
    char32_t insert = 0; // the character that goes in: the typed one, its capital or the locale's point
    bool replaced(char32_t typed) const { return accept && insert != typed; }
};

// The decision for one typed character (Backspace included).
CharVerdict filterTypedChar(CharClass cls, const EditContext& ctx, char32_t typed);

// Whether a key pressed on a grid cell may open that cell's editor: the character is taken as a
// capital and tested without context; classes the table does not list refuse.
bool opensEditor(CharClass cls, char32_t typed, char decimalPoint = '.');

struct EditResult {
    std::string text;
    int cursor = 0;
};

// Inserts a whole string (a paste or an input-method commit) as if typed one character at a time:
// refused characters are dropped, capitals and points replaced, and the result cut at maxLength
// (0 = no limit). The first inserted character replaces the selection.
EditResult insertFiltered(CharClass cls, const EditContext& ctx, std::u32string_view input, int maxLength);

} // namespace velora::forms
