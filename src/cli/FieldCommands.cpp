// velora-cli fields / set: the feature editors' fields by key.
#include <iostream>
#include <optional>
#include <string>

#include "CliArgs.h"
#include "CliSession.h"
#include "base/Latin1.h"
#include "dataset/FleetManifest.h"
#include "features/FieldAccess.h"

namespace velora::cli {

namespace {

using forms::FieldEntry;

std::string areaList() {
    std::string out;
    for (const auto& a : forms::registeredAreas())
        out += (out.empty() ? "" : ", ") + std::string(a.name);
    return out;
}

// JSON string of a Latin-1 text: every byte above 0x7F is its own code point.
void jsonString(std::ostream& os, std::string_view s) {
    static const char* hex = "0123456789abcdef";
    os << '"';
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\')
            os << '\\' << ch;
        else if (c == '\n')
            os << "\\n";
        else if (c == '\t')
            os << "\\t";
        else if (c < 0x20 || c >= 0x7F)
            os << "\\u00" << hex[c >> 4] << hex[c & 15];
        else
            os << ch;
    }
    os << '"';
}

void printJson(const std::vector<FieldEntry>& entries) {
    std::cout << "[";
    bool first = true;
    for (const FieldEntry& e : entries) {
        std::cout << (first ? "\n" : ",\n") << "{\"key\":";
        first = false;
        jsonString(std::cout, e.key);
        std::cout << ",\"area\":";
        jsonString(std::cout, e.area);
        std::cout << ",\"page\":" << e.page << ",\"field\":" << e.field
                  << ",\"row\":" << (e.row > 0 ? std::to_string(e.row) : "null")
                  << ",\"label_id\":" << e.labelId << ",\"control\":" << e.control << ",\"kind\":";
        jsonString(std::cout, forms::fieldKindName(e.kind));
        std::cout << ",\"text\":";
        jsonString(std::cout, e.text);
        std::cout << ",\"enabled\":" << (e.enabled ? "true" : "false");
        if (e.hasValues) {
            std::cout << ",\"values\":[";
            for (std::size_t i = 0; i < e.values.size(); ++i) {
                if (i) std::cout << ',';
                jsonString(std::cout, e.values[i]);
            }
            std::cout << ']';
        }
        std::cout << '}';
    }
    std::cout << "\n]\n";
}

void printPlain(const std::vector<FieldEntry>& entries) {
    std::string out;
    for (const FieldEntry& e : entries) {
        std::string text = e.text;
        // One line per field, whatever a free text holds.
        for (char& c : text)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        out += e.key + '\t' + latin1ToUtf8(text) + '\n';
    }
    std::cout << out;
}

} // namespace

int cmdFields(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {}, {"--json"});
    if (!a.ok() || a.positional().empty()) {
        printError(a.ok() ? "usage: velora-cli fields FILE [AREA...] [--json]" : a.error());
        return kExitUsage;
    }
    std::vector<std::string> areas(a.positional().begin() + 1, a.positional().end());
    for (const auto& name : areas)
        if (!forms::findArea(name)) {
            printError("unknown area '" + name + "' (areas: " + areaList() + ")");
            return kExitUsage;
        }
    if (!s.open(a.positional()[0])) return kExitFailure;
    forms::FieldAccess access(s.doc, s.boxes);
    auto entries = access.fields(areas);
    if (a.flag("--json"))
        printJson(entries);
    else
        printPlain(entries);
    return kExitOk;
}

int cmdSet(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"-o"}, {"--strict"});
    const auto& p = a.positional();
    if (!a.ok() || p.size() < 2) {
        printError(a.ok() ? "usage: velora-cli set FILE KEY=TEXT... [-o OUT] [--strict]" : a.error());
        return kExitUsage;
    }
    std::vector<std::pair<std::string, std::string>> assignments;
    for (auto it = p.begin() + 1; it != p.end(); ++it) {
        auto eq = it->find('=');
        if (eq == std::string::npos || eq == 0) {
            printError("'" + *it + "' is not KEY=TEXT");
            return kExitUsage;
        }
        assignments.emplace_back(it->substr(0, eq), it->substr(eq + 1));
    }
    const std::string& path = p[0];
    if (!s.open(path)) return kExitFailure;
    forms::FieldAccess access(s.doc, s.boxes);
    // Each value the field does not show as typed: "key: typed -> stored", in UTF-8.
    std::vector<std::string> changed;
    for (const auto& [key, typed] : assignments) {
        s.messenger.context = key;
        const fleet::EntryResult entered = fleet::enterField(access, key, typed);
        s.messenger.context.clear();
        if (entered.refusal) {
            printError(key + ": " + *entered.refusal + "; nothing changed");
            return kExitFailure;
        }
        if (entered.shown) changed.push_back(key + ": \"" + typed + "\" -> \"" + *entered.shown + "\"");
    }
    const bool strict = a.flag("--strict");
    for (const std::string& line : changed)
        printError(line + (strict ? "; nothing changed" : ""));
    if (strict && !changed.empty()) return kExitFailure;
    return s.save(a.value("-o").value_or(path)) ? kExitOk : kExitFailure;
}

} // namespace velora::cli
