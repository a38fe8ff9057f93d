#include "channels/CsvText.h"

namespace velora {

std::optional<std::vector<std::string>> readCsvRecord(std::istream& in, int& line, std::string& error) {
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    ++line;
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0;; ++i) {
        if (i == text.size()) {
            if (!quoted) break;
            std::string more;
            if (!std::getline(in, more)) {
                error = "unterminated quoted field";
                return std::vector<std::string>{};
            }
            ++line;
            fields.back() += '\n';
            text = more;
            i = static_cast<std::size_t>(-1);
            continue;
        }
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r' && i + 1 == text.size()) {
            // Line ends written by other platforms.
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\n\r") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

} // namespace velora
