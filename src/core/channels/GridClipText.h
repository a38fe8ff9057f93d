#pragma once
// Grid rows as plain text for the system clipboard: fields separated by tabs, rows by a line feed,
// no line feed after the last row, optionally a title line first.
#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/TextSource.h"
#include "channels/ChannelStore.h"

namespace velora::grid {

// titles empty: no title line.
std::string clipText(std::span<const std::string> titles, std::span<const std::vector<std::string>> rows);

// Titles of the channel grid's eight columns (number, the seven channel fields).
inline constexpr std::array<int, 8> kChannelGridTitles{259, 348, 349, 551, 550, 350, 351, 352};

// Grid rows first..last (either order) of a group: the channel number and its seven field texts;
// a row without a channel gives empty fields after the number.
std::string channelClipText(const ChannelStore& store, const TextSource& texts, int group, int firstRow,
                            int lastRow, bool withTitle);

} // namespace velora::grid
