#pragma once
// The per-user settings values: their text forms, validation and defaults. Storage (QSettings,
// group "Backup") is the caller's; a value that is missing or does not parse takes its default.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velora::settings {

inline constexpr std::string_view kLastModel = "LastModel";
inline constexpr std::string_view kLastModel2 = "LastModel2";
inline constexpr std::string_view kComPort = "ComPort";
inline constexpr std::string_view kComCloseDelay = "ComCloseDelay";
inline constexpr std::string_view kLastFilePath = "LastFilePath";
inline constexpr std::string_view kLastWinPos = "LastWinPos";

// ---- LastModel ("%02X:" x 8, identification bytes 0..7) and LastModel2 ("%02X:%02X", bytes 8, 9)

inline constexpr std::size_t kModelIdSize = 10;
inline constexpr std::size_t kLastModelBytes = 8;
using ModelId = std::array<std::uint8_t, kModelIdSize>;

// Valid only together, every field exactly two hexadecimal digits. Whether the identification names
// a catalogue model is for the caller to check.
std::optional<ModelId> parseLastModel(std::string_view lastModel, std::string_view lastModel2);
std::string formatLastModel(const ModelId& id);
std::string formatLastModel2(const ModelId& id);

// ---- ComPort: 1..20; anything else, a non-number included, gives 1

inline constexpr int kMinComPort = 1;
inline constexpr int kMaxComPort = 20;
inline constexpr int kDefaultComPort = 1;

int validComPort(long long port);
int parseComPort(std::string_view text);

// ---- ComCloseDelay: on only when the value is 1

bool parseComCloseDelay(std::string_view text);
inline int formatComCloseDelay(bool on) {
    return on ? 1 : 0;
}

// ---- LastFilePath: a folder, always ending with '/'

using WritableTest = std::function<bool(const std::filesystem::path&)>;

// Whether the current user may create files in the folder.
bool folderIsWritable(const std::filesystem::path& folder);

// The user's Documents folder ($HOME/Documents when it exists, else $HOME); empty when unknown.
std::filesystem::path documentsFolder();

// The initial folder of the file dialogs: the program folder's subfolder named DATA (any case) when
// it exists, else the program folder. An installed program folder is usually read-only, so when
// neither is writable the documents folder is taken instead.
std::string defaultFilePath(const std::filesystem::path& programFolder,
                            const std::filesystem::path& documents,
                            const WritableTest& writable = folderIsWritable);

// The stored folder, or the default when it is missing or empty.
std::string lastFilePathOr(std::optional<std::string_view> stored, std::string_view defaultPath);

std::string withTrailingSeparator(std::string folder);

// ---- LastWinPos ("%i:" x 10): flags, show state, minimised x y, maximised x y, normal rectangle

inline constexpr int kRestoreToMaximised = 2; // flag: the minimised window was maximised before
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimised = 2;
inline constexpr int kShowMaximised = 3;

struct WindowPlacement {
    int flags = 0;
    int showState = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0; // normal rectangle

    bool operator==(const WindowPlacement&) const = default;
};

// Used only when exactly ten integers parse; no value means "show the window maximised".
std::optional<WindowPlacement> parseWindowPlacement(std::string_view text);
std::string formatWindowPlacement(const WindowPlacement& p);

// A window minimised at exit is stored with the state it will be restored to: maximised when it
// was maximised before it was minimised, else normal.
int storedShowState(int showState, bool maximisedBeforeMinimise);
WindowPlacement placementForStorage(WindowPlacement p);

// ---- RecentFiles: the data files last opened or saved, the latest first

inline constexpr std::string_view kRecentFiles = "RecentFiles";
inline constexpr std::size_t kMaxRecentFiles = 4;

// The list with `path` put first: an earlier entry of the same file moves up rather than
// repeating, empty entries go, and the oldest drop off past kMaxRecentFiles.
std::vector<std::string> withRecentFile(const std::vector<std::string>& list, const std::string& path);

} // namespace velora::settings
