#pragma once
// Minimal CSV: comma-separated, fields with commas, quotes or line breaks quoted with doubled quotes.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace velora {

// Reads one record; nullopt at end of input. `line` is advanced by the physical lines consumed.
std::optional<std::vector<std::string>> readCsvRecord(std::istream& in, int& line, std::string& error);
std::string csvField(const std::string& field);

} // namespace velora
