#pragma once
// The constant tables every form-like editor is described by: field descriptors grouped into pages,
// value lists, numeric ranges, special values and where each field keeps its byte. One generic
// mechanism (FeatureArea) runs them; a feature area adds only the rules the tables cannot say.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "forms/CharClass.h"
#include "model/Bytes.h"
#include "model/MemoryImage.h"

namespace velora::forms {

enum class FieldKind : std::uint8_t {
    None = 0, // separator line or filler
    Edit = 1,
    EditSpin = 2, // edit with an up/down button
    List = 3,     // drop-down list
    Check = 4,    // check box: label control = value control
    Combo = 5,    // editable combo box (tones)
    Frame = 7,    // group frame, label only
    Text = 9,     // read-only text
};

// Choices of a drop-down list: the text of message `text` stands for the stored byte.
struct ValueItem {
    int text = 0;
    Byte stored = 0;
    bool operator==(const ValueItem&) const = default;
};

// Ranges are ints, not bytes: some fields clamp in display units (milliseconds) before storing.
struct NumericRange {
    int min = 0;
    int max = 0;
    int step = 1;
};

// A range typed with decimals (seconds with tenths): clamped, then rounded down to the step.
struct DecimalRange {
    double min = 0;
    double max = 0;
    double step = 1;
};

// A stored byte that is not a number but shown as a message text (0xFF shown as "Continuous").
struct SpecialValue {
    int text = 0; // 0: the field has none
    Byte stored = 0;
};

// Printed texts of a two-state field, by whether the stored byte is zero.
struct TwoStateTexts {
    int whenZero = 0;
    int whenNonZero = 0;
};

enum class Storage : std::uint8_t { None, Number, List, Check };
enum class StepRule : std::uint8_t { Wrap, Special };

// Where and how a field keeps its value, for the generic show / commit / step.
struct FieldStorage {
    Storage kind = Storage::None;
    Area area = Area::Main;
    std::uint16_t offset = 0;
    // Number
    NumericRange range{};
    SpecialValue special{};
    StepRule step = StepRule::Wrap;
    int emptyValue = -1; // byte stored for an empty edit; -1: an empty text counts as the number 0
    // List
    std::span<const ValueItem> list{};
    // Check
    Byte ticked = 1;
    Byte cleared = 0;
    bool tickedUnlessCleared = false; // shown ticked for every byte but `cleared` (else only for `ticked`)
    TwoStateTexts print{};
};

struct FieldDescriptor {
    int labelControl = 0;
    int valueControl = 0;
    int spinControl = 0;
    int labelText = 0; // message replacing the label, 0 = none
    FieldKind kind = FieldKind::None;
    int help = 0; // help topic, 0 = the view's default
    CharClass charClass = CharClass::Any;
    int maxLength = 0; // 0 = no limit
    bool fixedPitch = false;
    FieldStorage storage{};
    // A group frame: how many of the following fields it holds; 0 = all up to the next frame or
    // separator line.
    int frameHolds = 0;
};

struct FieldPage {
    int tabText = 0; // tab caption message, 0 for a view without tabs
    std::span<const FieldDescriptor> fields;
};

struct FieldRef {
    int page = 0;
    int field = 0;
    bool operator==(const FieldRef&) const = default;
};

// What a field shows: the text, and the stored value behind it (a check box's ticked state as 1/0,
// a list's byte; -1 when there is none).
struct FieldText {
    std::string text;
    int value = -1;
};

// How an edit filters and limits what is typed; model-dependent fields override it.
struct EditFormat {
    CharClass charClass = CharClass::Any;
    int maxLength = 0;
    bool fixedPitch = false;
    int specialText = 0; // a text shown in place of a number ("Off"): the field is wide enough for it
};

// Views other than the committing one that must show a change (told through the main frame).
namespace views {
inline constexpr unsigned kChannelInfo = 1u << 0;
inline constexpr unsigned kChannelEdit = 1u << 1;
inline constexpr unsigned kGroupEdit = 1u << 2;
inline constexpr unsigned kRemoteList = 1u << 3;
inline constexpr unsigned kRepeaterList = 1u << 4;
inline constexpr unsigned kOptionalFeatures = 1u << 5;
inline constexpr unsigned kScanInfo = 1u << 6;
inline constexpr unsigned kEmergency = 1u << 7;
inline constexpr unsigned kOperatorTone = 1u << 8;
inline constexpr unsigned kKeys = 1u << 9;
inline constexpr unsigned kFunctionPort = 1u << 10;
inline constexpr unsigned kDtmf = 1u << 11;
} // namespace views

// What a commit or step asks the view to do besides showing the field itself again.
struct FieldEffects {
    std::vector<FieldRef> showFields;
    bool refreshEnables = false;
    bool refreshAll = false;
    bool pagesChanged = false; // a page became available or unavailable
    unsigned otherViews = 0;   // views:: bits

    FieldEffects& operator+=(const FieldEffects& o) {
        showFields.insert(showFields.end(), o.showFields.begin(), o.showFields.end());
        refreshEnables |= o.refreshEnables;
        refreshAll |= o.refreshAll;
        pagesChanged |= o.pagesChanged;
        otherViews |= o.otherViews;
        return *this;
    }
};

// Table helpers, so a field row reads like the table it comes from.
constexpr FieldStorage numberAt(std::uint16_t offset, NumericRange range, SpecialValue special = {},
                                StepRule step = StepRule::Wrap, int emptyValue = -1, Area area = Area::Main) {
    FieldStorage s;
    s.kind = Storage::Number;
    s.area = area;
    s.offset = offset;
    s.range = range;
    s.special = special;
    s.step = step;
    s.emptyValue = emptyValue;
    return s;
}

constexpr FieldStorage listAt(std::uint16_t offset, std::span<const ValueItem> list, Area area = Area::Main) {
    FieldStorage s;
    s.kind = Storage::List;
    s.area = area;
    s.offset = offset;
    s.list = list;
    return s;
}

constexpr FieldStorage checkAt(std::uint16_t offset, TwoStateTexts print, Byte ticked = 1, Byte cleared = 0,
                               bool tickedUnlessCleared = false, Area area = Area::Main) {
    FieldStorage s;
    s.kind = Storage::Check;
    s.area = area;
    s.offset = offset;
    s.print = print;
    s.ticked = ticked;
    s.cleared = cleared;
    s.tickedUnlessCleared = tickedUnlessCleared;
    return s;
}

} // namespace velora::forms
