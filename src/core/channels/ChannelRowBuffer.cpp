#include "channels/ChannelRowBuffer.h"

#include <algorithm>

#include "channels/ChannelLayout.h"
#include "model/Layout.h"

namespace velora::grid {

void copyChannelRows(ChannelRowBuffer& buffer, const ChannelStore& store, int group, int firstRow,
                     int lastRow) {
    buffer.copy(firstRow, lastRow, [&](int row) {
        ChannelRowEntry e;
        int r = store.findRecord(group, row - 1);
        if (r < 0 || !store.channelExists(group, row - 1)) return e;
        auto rec = store.record(r);
        auto name = store.recordName(r);
        if (rec.size() < 16 || name.size() < 16) return e;
        e.length = 16;
        std::copy_n(rec.begin(), 16, e.record.begin());
        std::copy_n(name.begin(), 16, e.name.begin());
        return e;
    });
}

namespace {
// A group that receives a channel gets its default name when names are on and it has none.
void giveGroupDefaultName(ChannelStore& store, int group) {
    Byte length = byteAt(store.document().image().main(), layout::kCsGroupNameLength);
    auto name = store.groupName(group);
    if (length == 0 || length == chlayout::kUnset || name.empty()) return;
    if (!std::all_of(name.begin(), name.end(), [](Byte b) { return b == chlayout::kUnset; })) return;
    std::string text = store.defaultName(group + 1, length);
    std::fill(name.begin(), name.end(), Byte(' '));
    std::copy_n(text.begin(), std::min(text.size(), name.size()), name.begin());
}
} // namespace

ChannelPasteResult pasteChannelRows(const ChannelRowBuffer& buffer, ChannelStore& store, int group,
                                    int startRow, MessageBoxes* boxes) {
    ChannelPasteResult result;
    const auto& entries = buffer.entries();
    for (PastePlacement p : planPaste(startRow, int(entries.size()), store.perGroupLimit())) {
        int channel = p.row - 1;
        const ChannelRowEntry& e = entries[std::size_t(p.entry)];
        if (store.findRecord(group, channel) >= 0) store.deleteChannel(group, channel);
        if (e.length != 0) {
            int r = store.addChannel(group, channel);
            if (r < 0) {
                if (boxes) boxes->warning(kNoRoomMessage);
                result.stoppedNoRoom = true;
                return result;
            }
            std::copy(e.record.begin(), e.record.end(), store.record(r).begin());
            std::copy(e.name.begin(), e.name.end(), store.recordName(r).begin());
            giveGroupDefaultName(store, group);
        }
        ++result.rowsWritten;
    }
    return result;
}

} // namespace velora::grid
