#include "base/PortMap.h"

#include <fstream>

#include "base/InputFile.h"
#include "base/SettingsValues.h"

namespace velora::settings {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

void appendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((cp >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// A value as QSettings writes it: quotes around text with blanks at its ends or with ',' ';' '=',
// C-style backslash escapes, "\x" followed by a hexadecimal code point. An unquoted ',' makes the
// value a list, which is no path. Blanks outside quotes at either end are not part of the value.
std::optional<std::string> unescapeValue(std::string_view raw) {
    static constexpr std::string_view kEscapes = "a\ab\bf\fn\nr\rt\tv\v\"\"?\?''\\\\";
    std::string out;
    std::size_t keep = 0; // unquoted trailing blanks beyond this are dropped
    bool quoted = false;
    std::size_t i = 0;
    while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
        ++i;
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c == '"') {
            quoted = !quoted;
            keep = out.size();
        } else if (c == '\\' && i < raw.size()) {
            const char e = raw[i++];
            const std::size_t k = kEscapes.find(e);
            if (k != std::string_view::npos && k % 2 == 0) {
                out += kEscapes[k + 1];
            } else if (e == 'x' || digitValue(e, 8) >= 0) {
                const int base = e == 'x' ? 16 : 8;
                unsigned long cp = e == 'x' ? 0 : static_cast<unsigned long>(digitValue(e, 8));
                while (i < raw.size() && digitValue(raw[i], base) >= 0 && cp < 0x10000)
                    cp = cp * static_cast<unsigned long>(base) +
                         static_cast<unsigned long>(digitValue(raw[i++], base));
                appendUtf8(out, cp & 0xFFFF);
            }
            keep = out.size();
        } else if (c == ',' && !quoted) {
            return std::nullopt;
        } else if (c == ';' && !quoted) {
            break; // a comment to the end of the line
        } else {
            out += c;
            if (quoted || !isBlank(c)) keep = out.size();
        }
    }
    out.resize(keep);
    // A string beginning with '@' is stored with a second '@'; other '@' forms are typed values.
    if (out.rfind("@@", 0) == 0) return out.substr(1);
    if (out.rfind("@String(", 0) == 0 && out.back() == ')') return out.substr(8, out.size() - 9);
    if (!out.empty() && out[0] == '@') return std::nullopt;
    return out;
}

} // namespace

std::string portKey(int port) {
    return "COM" + std::to_string(port);
}

std::map<int, std::string> portMapFrom(const PortLookup& lookup) {
    std::map<int, std::string> paths;
    for (int p = kMinComPort; p <= kMaxComPort; ++p)
        if (auto v = lookup(portKey(p))) {
            std::string path = trimmed(*v);
            if (!path.empty()) paths[p] = std::move(path);
        }
    return paths;
}

std::filesystem::path settingsFile(std::string_view organisation, std::string_view application,
                                   const EnvLookup& env) {
    std::filesystem::path base;
    const char* xdg = env("XDG_CONFIG_HOME");
    const char* home = env("HOME");
    if (xdg && xdg[0] == '/')
        base = xdg;
    else if (home && home[0] != '\0')
        base = std::filesystem::path(home) / ".config";
    else
        return {};
    return base / organisation / (std::string(application) + ".conf");
}

std::map<std::string, std::string> readIniGroup(const std::filesystem::path& file, std::string_view group) {
    std::map<std::string, std::string> values;
    // A settings file is a few lines; a FIFO, device or huge file in its place gives the defaults.
    constexpr std::uintmax_t kMaxSettingsFileSize = 1u << 20;
    if (regularFileError(file.string(), kMaxSettingsFileSize) != 0) return values;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        const std::string t = trimmed(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            inGroup = std::string_view(t).substr(1, t.size() - 2) == group;
            continue;
        }
        const std::size_t eq = t.find('=');
        if (!inGroup || eq == std::string::npos) continue;
        if (auto v = unescapeValue(std::string_view(t).substr(eq + 1)))
            values[trimmed(std::string_view(t).substr(0, eq))] = std::move(*v);
        else
            values.erase(trimmed(std::string_view(t).substr(0, eq)));
    }
    return values;
}

std::map<int, std::string> readPortMap(const std::filesystem::path& file) {
    const auto values = readIniGroup(file, kPortsGroup);
    return portMapFrom([&](const std::string& key) -> std::optional<std::string> {
        auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    });
}

} // namespace velora::settings
