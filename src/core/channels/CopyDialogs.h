#pragma once
// The copy and jump dialogs without their windows: their field tables, the number fields' clamping
// and stepping, and what Copy or Jump does to the data set. All work on the channel information
// view's current group and channel, fixed when a dialog opens.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "channels/ChannelStore.h"
#include "forms/FieldTypes.h"

namespace velora::channels {

enum class CopyDialogKind { ChannelCopy, FrequencyCopy, ToneCopy, GroupJump, GroupCopy };

struct DialogButton {
    int id; // 1 the action (Copy / Jump), 2 Cancel, 9 Help
    int text;
};

struct CopyDialogSpec {
    int title;
    std::span<const forms::FieldDescriptor> fields;
    std::span<const DialogButton> buttons;
    int toText; // "to" between source and destination, 0 when the dialog has none
    int help;
    bool staysOpen; // Copy may be pressed again; Cancel closes
};
const CopyDialogSpec& copyDialogSpec(CopyDialogKind kind);

inline constexpr int kButtonAction = 1, kButtonCancel = 2, kButtonHelp = 9;
inline constexpr int kMsgNoRoom = 229;
inline constexpr int kMsgNoSuchGroup = 241;

// A number field leaving the focus: the text clamped to 1..max and rewritten; the number returned.
int commitNumberField(std::string& text, int max);
// A spin click on a number field showing `shown` (1-based): one step with wrap-around in 1..max.
int stepNumberField(int shown, int max, int direction);

// A source value shown read-only: two blanks, then the text.
std::string sourceText(std::string_view text);

// Channel Copy. Nothing happens when the destination is the source; a full pool shows 229.
// true when the channel was copied.
bool copyChannelTo(ChannelStore& store, MessageBoxes& boxes, int sg, int sc, int dg, int dc);
// Frequency Copy: the text becomes the transmit frequency (band checks and messages as typed).
bool copyFrequency(ChannelStore& store, MessageBoxes& boxes, int g, int c, const std::string& text);
// QT/DQT Copy: the text becomes the encode tone.
bool copyTone(ChannelStore& store, MessageBoxes& boxes, int g, int c, const std::string& text);
// Group Copy onto another group; without room message 229 and nothing changes. true when copied.
bool copyGroupTo(ChannelStore& store, MessageBoxes& boxes, int s, int d);
// Group Jump: the 0-based group the typed number names; 999 names the last group, so the end of the
// list is one jump away. Any other number outside 1..160 names no group: message 241 and no jump.
inline constexpr int kLastGroupJump = 999;
std::optional<int> jumpTarget(std::string_view text, MessageBoxes& boxes);

} // namespace velora::channels
