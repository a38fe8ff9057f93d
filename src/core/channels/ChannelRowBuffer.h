#pragma once
// The channel grid's paste buffer: whole channels (record and name) of consecutive channel numbers,
// with empty entries for numbers that held no channel. Application-wide: the frame discards it
// after a data set is loaded or read.
#include <array>

#include "channels/ChannelStore.h"
#include "channels/GridPasteBuffer.h"

namespace velora::grid {

struct ChannelRowEntry {
    Byte length = 0; // 16 when the row held a channel, 0 when it was empty
    std::array<Byte, 16> record{};
    std::array<Byte, 16> name{};
};

using ChannelRowBuffer = GridPasteBuffer<ChannelRowEntry>;

// Copies grid rows first..last (row r is channel r - 1) of a group.
void copyChannelRows(ChannelRowBuffer& buffer, const ChannelStore& store, int group, int firstRow,
                     int lastRow);

struct ChannelPasteResult {
    int rowsWritten = 0;
    bool stoppedNoRoom = false; // message 229 was shown; rows before stay pasted
};

// Pastes the buffer from `startRow` on: every target channel is replaced by the entry (an empty
// entry deletes it); channel numbers past the group's limit are skipped.
ChannelPasteResult pasteChannelRows(const ChannelRowBuffer& buffer, ChannelStore& store, int group,
                                    int startRow, MessageBoxes* boxes);

inline constexpr int kNoRoomMessage = 229;

} // namespace velora::grid
