#include "channels/GridClipText.h"

#include <algorithm>

namespace velora::grid {

namespace {
void appendJoined(std::string& out, std::span<const std::string> fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += '\t';
        out += fields[i];
    }
}
} // namespace

std::string clipText(std::span<const std::string> titles, std::span<const std::vector<std::string>> rows) {
    std::string out;
    if (!titles.empty()) {
        appendJoined(out, titles);
        out += '\n';
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r) out += '\n';
        appendJoined(out, rows[r]);
    }
    return out;
}

std::string channelClipText(const ChannelStore& store, const TextSource& texts, int group, int firstRow,
                            int lastRow, bool withTitle) {
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    std::vector<std::string> titles;
    if (withTitle)
        for (int t : kChannelGridTitles)
            titles.emplace_back(texts.text(t));
    std::vector<std::vector<std::string>> rows;
    for (int row = firstRow; row <= lastRow; ++row) {
        std::vector<std::string> fields{std::to_string(row)};
        bool exists = store.channelExists(group, row - 1);
        for (int f = 0; f < kChannelFieldCount; ++f)
            fields.push_back(exists ? store.channelFieldText(group, row - 1, ChannelField(f)).text
                                    : std::string{});
        rows.push_back(std::move(fields));
    }
    return clipText(titles, rows);
}

} // namespace velora::grid
