#include "channels/CopyDialogs.h"

#include <array>

#include "channels/ChEditArea.h"
#include "channels/ChInfoLogic.h"
#include "forms/FieldRules.h"

namespace velora::channels {

using forms::CharClass;
using forms::FieldKind;

namespace {

constexpr int kTextCopy = 29, kTextJump = 26, kTextCancel = 12, kTextHelp = 14, kTextTo = 389;
constexpr std::array<DialogButton, 3> kCopyButtons{
    {{kButtonAction, kTextCopy}, {kButtonCancel, kTextCancel}, {kButtonHelp, kTextHelp}}};
constexpr std::array<DialogButton, 3> kJumpButtons{
    {{kButtonAction, kTextJump}, {kButtonCancel, kTextCancel}, {kButtonHelp, kTextHelp}}};

// label, value, spin, label text, kind, help, class, length
constexpr std::array<forms::FieldDescriptor, 4> kChannelCopyFields{{
    {1355, 1357, 0, 345, FieldKind::Text},
    {1356, 1358, 0, 344, FieldKind::Text},
    {1359, 1361, 1089, 345, FieldKind::EditSpin, 0, CharClass::Digits, 3},
    {1360, 1362, 1090, 344, FieldKind::EditSpin, 0, CharClass::Digits, 3},
}};
constexpr std::array<forms::FieldDescriptor, 2> kFrequencyCopyFields{{
    {1361, 1037, 0, 391, FieldKind::Text},
    {1362, 1043, 0, 392, FieldKind::Edit, 0, CharClass::Decimal, 9},
}};
constexpr std::array<forms::FieldDescriptor, 2> kToneCopyFields{{
    {1014, 1318, 0, 496, FieldKind::Text},
    {1319, 1353, 0, 495, FieldKind::Combo, 0, CharClass::Tone, 5},
}};
constexpr std::array<forms::FieldDescriptor, 1> kGroupJumpFields{{
    {1399, 1400, 1401, 345, FieldKind::EditSpin, 0, CharClass::Digits, 3},
}};
constexpr std::array<forms::FieldDescriptor, 2> kGroupCopyFields{{
    {1356, 1358, 0, 345, FieldKind::Text},
    {1357, 1359, 1089, 345, FieldKind::EditSpin, 0, CharClass::Digits, 3},
}};

const std::array<CopyDialogSpec, 5> kSpecs{{
    {388, kChannelCopyFields, kCopyButtons, kTextTo, 2051, true},
    {390, kFrequencyCopyFields, kCopyButtons, kTextTo, 2052, false},
    {393, kToneCopyFields, kCopyButtons, kTextTo, 2053, false},
    {394, kGroupJumpFields, kJumpButtons, 0, 2054, false},
    {395, kGroupCopyFields, kCopyButtons, kTextTo, 2055, true},
}};

} // namespace

const CopyDialogSpec& copyDialogSpec(CopyDialogKind kind) {
    return kSpecs[std::size_t(kind)];
}

int commitNumberField(std::string& text, int max) {
    return forms::clampNumberText(text, {1, max, 1});
}

int stepNumberField(int shown, int max, int direction) {
    return forms::stepWithWrap(shown, {1, max, 1}, direction);
}

std::string sourceText(std::string_view text) {
    return "  " + std::string(text);
}

bool copyChannelTo(ChannelStore& store, MessageBoxes& boxes, int sg, int sc, int dg, int dc) {
    switch (store.copyChannel(dg, dc, sg, sc)) {
    case ChannelStore::CopyResult::Copied:
        return true;
    case ChannelStore::CopyResult::NoRoom:
        boxes.warning(kMsgNoRoom);
        return false;
    default:
        return false;
    }
}

bool copyFrequency(ChannelStore& store, MessageBoxes& boxes, int g, int c, const std::string& text) {
    if (!store.channelExists(g, c)) return false;
    store.setChannelFieldText(text, g, c, ChannelField::TxFrequency, &boxes);
    return true;
}

bool copyTone(ChannelStore& store, MessageBoxes& boxes, int g, int c, const std::string& text) {
    if (!store.channelExists(g, c)) return false;
    store.setChannelFieldText(text, g, c, ChannelField::Encode, &boxes);
    return true;
}

bool copyGroupTo(ChannelStore& store, MessageBoxes& boxes, int s, int d) {
    if (s == d) return false;
    if (!store.copyGroup(d, s)) {
        boxes.warning(kMsgNoRoom);
        return false;
    }
    return true;
}

std::optional<int> jumpTarget(std::string_view text, MessageBoxes& boxes) {
    int n = forms::leadingInt(text);
    if (n == kLastGroupJump) return kGroupCount - 1;
    if (n < 1 || n > kGroupCount) {
        boxes.warning(kMsgNoSuchGroup);
        return std::nullopt;
    }
    return n - 1;
}

} // namespace velora::channels
