#include "base/SettingsValues.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace velora::settings {

namespace {

constexpr std::string_view kDataFolderName = "DATA";
constexpr std::size_t kLastModel2Bytes = kModelIdSize - kLastModelBytes;
constexpr std::size_t kPlacementFields = 10;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits on ':'; gives up (nullopt) as soon as there are more than `expected` fields.
std::optional<std::vector<std::string_view>> splitFields(std::string_view s, std::size_t expected) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t colon = s.find(':');
        fields.push_back(s.substr(0, colon));
        if (fields.size() > expected) return std::nullopt;
        if (colon == std::string_view::npos) break;
        s.remove_prefix(colon + 1);
    }
    if (fields.size() != expected) return std::nullopt;
    return fields;
}

// A whole decimal integer with optional sign and surrounding blanks.
std::optional<long long> parseInteger(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Fills out[0..count) from "HH:HH:..." with exactly `count` two-digit fields.
bool parseHexFields(std::string_view text, std::size_t count, std::uint8_t* out) {
    const auto fields = splitFields(trimmed(text), count);
    if (!fields) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view f = (*fields)[i];
        if (f.size() != 2) return false;
        const int hi = hexDigit(f[0]);
        const int lo = hexDigit(f[1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return true;
}

std::string formatHex(const std::uint8_t* bytes, std::size_t count) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
        if (i) out += ':';
        out += buf;
    }
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
               return up(x) == up(y);
           });
}

// The program folder's subfolder named DATA in any case; an exact "DATA" wins over other spellings.
std::filesystem::path dataSubfolder(const std::filesystem::path& programFolder) {
    std::error_code ec;
    std::vector<std::filesystem::path> matches;
    for (std::filesystem::directory_iterator it(programFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code dirEc;
        if (equalsIgnoringCase(name, kDataFolderName) && it->is_directory(dirEc))
            matches.push_back(it->path());
    }
    if (matches.empty()) return {};
    std::sort(matches.begin(), matches.end());
    for (const auto& m : matches)
        if (m.filename() == kDataFolderName) return m;
    return matches.front();
}

} // namespace

std::optional<ModelId> parseLastModel(std::string_view lastModel, std::string_view lastModel2) {
    ModelId id{};
    if (!parseHexFields(lastModel, kLastModelBytes, id.data())) return std::nullopt;
    if (!parseHexFields(lastModel2, kLastModel2Bytes, id.data() + kLastModelBytes)) return std::nullopt;
    return id;
}

std::string formatLastModel(const ModelId& id) {
    return formatHex(id.data(), kLastModelBytes);
}

std::string formatLastModel2(const ModelId& id) {
    return formatHex(id.data() + kLastModelBytes, kLastModel2Bytes);
}

int validComPort(long long port) {
    return port >= kMinComPort && port <= kMaxComPort ? static_cast<int>(port) : kDefaultComPort;
}

int parseComPort(std::string_view text) {
    const auto v = parseInteger(text);
    return v ? validComPort(*v) : kDefaultComPort;
}

bool parseComCloseDelay(std::string_view text) {
    const auto v = parseInteger(text);
    return v && *v == 1;
}

bool folderIsWritable(const std::filesystem::path& folder) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path documentsFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    std::filesystem::path docs = std::filesystem::path(home) / "Documents";
    std::error_code ec;
    if (std::filesystem::is_directory(docs, ec)) return docs;
    return home;
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty()) return "./";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string defaultFilePath(const std::filesystem::path& programFolder,
                            const std::filesystem::path& documents, const WritableTest& writable) {
    const std::filesystem::path data =
        programFolder.empty() ? std::filesystem::path() : dataSubfolder(programFolder);
    if (!data.empty() && writable(data)) return withTrailingSeparator(data.string());
    if (!programFolder.empty() && writable(programFolder))
        return withTrailingSeparator(programFolder.string());
    if (!documents.empty()) return withTrailingSeparator(documents.string());
    // Nothing writable is known: the program's own choice is still the best starting point.
    return withTrailingSeparator((data.empty() ? programFolder : data).string());
}

std::string lastFilePathOr(std::optional<std::string_view> stored, std::string_view defaultPath) {
    if (stored && !stored->empty()) return withTrailingSeparator(std::string(*stored));
    return withTrailingSeparator(std::string(defaultPath));
}

std::optional<WindowPlacement> parseWindowPlacement(std::string_view text) {
    const auto fields = splitFields(text, kPlacementFields);
    if (!fields) return std::nullopt;
    std::array<int, kPlacementFields> v{};
    for (std::size_t i = 0; i < kPlacementFields; ++i) {
        const auto n = parseInteger((*fields)[i]);
        if (!n || *n < INT_MIN || *n > INT_MAX) return std::nullopt;
        v[i] = static_cast<int>(*n);
    }
    return WindowPlacement{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

std::string formatWindowPlacement(const WindowPlacement& p) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", p.flags, p.showState, p.minX, p.minY,
                  p.maxX, p.maxY, p.left, p.top, p.right, p.bottom);
    return buf;
}

int storedShowState(int showState, bool maximisedBeforeMinimise) {
    if (showState != kShowMinimised) return showState;
    return maximisedBeforeMinimise ? kShowMaximised : kShowNormal;
}

WindowPlacement placementForStorage(WindowPlacement p) {
    p.showState = storedShowState(p.showState, (p.flags & kRestoreToMaximised) != 0);
    return p;
}

std::vector<std::string> withRecentFile(const std::vector<std::string>& list, const std::string& path) {
    std::vector<std::string> out;
    if (!path.empty()) out.push_back(path);
    for (const std::string& p : list)
        if (out.size() < kMaxRecentFiles && !p.empty() && std::find(out.begin(), out.end(), p) == out.end())
            out.push_back(p);
    return out;
}

} // namespace velora::settings
