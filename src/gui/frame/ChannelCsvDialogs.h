#pragma once
// File > Import Channels... and Export Channels...: channel lists as CSV files, in the program's own
// columns or as CHIRP-style lists, read and written by the same core functions as velora-cli.
#include <QString>
#include <optional>

class QMenu;

namespace velora::gui {

class MainFrame;

inline constexpr int kTextImportChannels = 575;  // "&Import Channels..."
inline constexpr int kTextExportChannels = 576;  // "&Export Channels..."
inline constexpr int kTextVeloraCsvFilter = 577; // "VELORA Channel Lists"
inline constexpr int kTextChirpCsvFilter = 578;  // "CHIRP Channel Lists"
inline constexpr int kTextCsvNotImported = 579;  // "The channel list was not imported:"
inline constexpr int kTextCsvUnusable = 580;     // "The radio cannot hold these rows:"
inline constexpr int kTextCsvImportRest = 581;   // "Import the other rows?"
inline constexpr int kTextCsvImported = 582;     // "%d channel(s) imported."
inline constexpr int kTextCsvGroup = 583;        // "Group for the channel list (1-160):"
inline constexpr int kTextCsvDeleted = 630; // "Channels of the group that the list does not name, deleted:"
inline constexpr int kTextCsvImportList = 631; // "Import the list?"

// Adds the two commands after `menu`'s last item (the File menu, after Save As).
void addChannelCsvActions(MainFrame& frame, QMenu* menu);

// The commands with their file dialogs.
void runImportChannels(MainFrame& frame);
void runExportChannels(MainFrame& frame);

// The work behind them. `group` (1-based) is the group a CHIRP list fills or an export writes;
// without it the user is asked. Every outcome is shown in a message box; true when something was
// imported or written.
bool importChannelsFrom(MainFrame& frame, const QString& path, std::optional<int> group = std::nullopt);
bool exportChannelsTo(MainFrame& frame, const QString& path, bool chirp,
                      std::optional<int> group = std::nullopt);

} // namespace velora::gui
