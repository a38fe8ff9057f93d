#pragma once
// The key assignment of the control heads: the functions a key may carry and when each is offered,
// the keys a head has, the panel picture's key rectangles, the searches other editors make in the
// key tables, and the key view's area (one tab page per fitted head: the up/down knob list as a form
// field, the keys as a grid).
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "features/KeyDefaults.h"
#include "forms/FeatureArea.h"
#include "forms/GridArea.h"

namespace velora::keys {

// --- Functions ---------------------------------------------------------------------------------

// When a function is offered in the key list.
enum class Offer : std::uint8_t {
    Always,
    SecondHead,
    SecondUnit,
    Extended,   // only with the extended capacity mode of the run
    Kind1Board, // an option board of kind 1 on a unit that the edited head can reach
};

struct KeyFunction {
    int text;
    Byte code;
    int help;
    Offer offer;
};

// Every key function in the order the list offers them. Code 31 does not exist.
inline constexpr std::array<KeyFunction, 35> kKeyFunctions{{
    {309, kNoFunction, 220, Offer::Always},
    {310, 0, 221, Offer::Always},
    {311, 1, 222, Offer::Always},
    {312, 2, 223, Offer::Always},
    {313, 3, 224, Offer::Always},
    {314, 4, 225, Offer::Always},
    {315, 5, 226, Offer::Always},
    {316, 6, 227, Offer::Always},
    {317, 7, 228, Offer::Always},
    {318, 8, 229, Offer::Always},
    {319, 9, 230, Offer::Always},
    {320, 10, 231, Offer::Always},
    {321, 11, 232, Offer::Always},
    {322, 12, 233, Offer::Always},
    {323, 13, 234, Offer::Always},
    {324, 14, 235, Offer::Always},
    {325, 15, 236, Offer::Always},
    {326, 16, 237, Offer::Always},
    {327, 17, 238, Offer::Always},
    {328, 18, 239, Offer::Always},
    {329, 19, 240, Offer::Always},
    {330, 20, 241, Offer::SecondHead},
    {331, 21, 242, Offer::SecondUnit},
    {332, 22, 243, Offer::Always},
    {333, 23, 244, Offer::Always},
    {343, kFunctionExtended3, 33, Offer::Extended},
    {342, kFunctionExtended2, 33, Offer::Extended},
    {335, 25, 246, Offer::Always},
    {336, 26, 247, Offer::Always},
    {334, 24, 245, Offer::Kind1Board},
    {337, 27, 248, Offer::SecondHead},
    {338, 28, 249, Offer::Always},
    {339, 29, 250, Offer::Always},
    {341, kFunctionExtended1, 33, Offer::Extended},
    {340, 30, 251, Offer::Always},
}};

const KeyFunction* keyFunction(Byte code);
// Name message of a stored code; nullopt when the code is not a function.
std::optional<int> keyFunctionMessage(int code);
// Help topic of a stored code; 1 when the code is not a function.
int keyFunctionHelp(int code);

// The functions offered for keys of `head` (0 or 1), in list order.
std::vector<forms::ValueItem> offeredKeyFunctions(const ModelIdentification& id, bool extended, int head);

// --- Keys of a head and the panel picture ------------------------------------------------------

// Key positions of a head in grid order: 13 on a second-type head (the 14-character display), else 7.
std::span<const int> keyPositions(bool secondHeadType);
inline constexpr int keyNameMessage(int position) {
    return 466 + position;
}

inline constexpr forms::ValueItem kKnobModes[] = {{307, 0}, {308, 1}};
std::optional<int> knobModeMessage(int mode);
int knobModeHelp(int mode); // 1 when the mode is not in the list

struct KeyRect {
    int left, top, right, bottom;
    bool operator==(const KeyRect&) const = default;
};
// Bitmap coordinates of the keys on the panel picture, by key position (0-12); both pictures place
// their keys alike.
inline constexpr std::array<KeyRect, 13> kKeyRects{{
    {51, 17, 64, 24},
    {51, 29, 64, 36},
    {147, 17, 159, 24},
    {147, 29, 159, 36},
    {101, 46, 113, 53},
    {124, 46, 136, 53},
    {147, 46, 159, 53},
    {170, 46, 182, 53},
    {193, 46, 205, 53},
    {170, 17, 182, 24},
    {193, 17, 205, 24},
    {170, 29, 182, 36},
    {193, 29, 205, 36},
}};
std::optional<KeyRect> keyRect(int position);

// --- Searches in the key tables -----------------------------------------------------------------

enum class KeyScope { FittedHeads, BothTables };
// Every key holding `code` reverts to its position's default (by its head's type). Returns the first
// position found (head 1 first) or -1.
int resetKeysWithFunction(std::span<Byte> main, Byte code, const HeadSetup& heads,
                          KeyScope scope = KeyScope::FittedHeads);

// Clears the home and emergency group/channel pairs whose function is assigned nowhere any more.
// Returns whether a byte changed.
bool clearUnassignedReferences(std::span<Byte> main, const HeadSetup& heads);

// --- The key view --------------------------------------------------------------------------------

// Controls of the view that are not form fields.
inline constexpr int kControlGrid = 1019;
inline constexpr int kControlPicture = 1029;
inline constexpr int kControlTabs = 1407;
inline constexpr int kTextFunctionColumn = 461;

class KeyAssignmentArea : public forms::FeatureArea, public forms::GridArea {
  public:
    // Fields of each head's page.
    enum Field { kPanelFrame = 0, kKnob, kFieldCount };

    KeyAssignmentArea(Document& doc, MessageBoxes& boxes) : FeatureArea(doc, boxes) {}

    int titleText() const override { return 244; }
    int defaultHelp() const override { return 33; }
    // Page h edits head h; head 2's page exists only with a second head.
    std::span<const forms::FieldPage> pages() const override;
    bool pageAvailable(int page) const override;

    int headCount() const;
    bool secondHeadType(int head) const;

    // Texts for the grid and printing.
    std::string keyNameText(int position) const { return text(keyNameMessage(position)); }
    // Empty when the stored code is not a function.
    std::string keyFunctionText(int head, int position) const;
    // Empty when the stored mode is not in the list.
    std::string knobText(int head) const;
    int knobHelp(int head) const { return knobModeHelp(knobByte(head)); }

    // Key position of a grid row of `head`, -1 outside the grid.
    int rowPosition(int head, int row) const;
    // The key of `row` framed in the panel picture; no rectangle for a row without a key.
    std::optional<KeyRect> rowRect(int head, int row) const { return keyRect(rowPosition(head, row)); }

    std::vector<forms::ValueItem> offeredFunctions(int head) const;

    // GridArea: page = head.
    int gridColumnTitleAt(int, int) const override { return kTextFunctionColumn; }
    int gridRowCount(int page) const override;
    int gridRowId(int page, int row) const override { return rowPosition(page, row); }
    std::string gridRowTitle(int page, int row) const override;
    forms::FieldText gridCellTextAt(int page, int row, int col) const override;
    std::vector<forms::ValueItem> gridChoicesAt(int page, int, int) const override {
        return offeredFunctions(page);
    }
    forms::FieldEffects commitGridChoice(int page, int row, int col, int value) override;
    // Clears the home and emergency group/channel when no key or pin uses them any more.
    forms::FieldEffects gridEditEnded(int page) override;
    int gridCellHelpAt(int page, int row, int col) const override;

  private:
    ModelIdentification id() const;
    Byte knobByte(int head) const;
};

} // namespace velora::keys
