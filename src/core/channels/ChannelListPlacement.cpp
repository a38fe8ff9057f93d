#include "channels/ChannelListPlacement.h"

#include "channels/ChannelLayout.h"
#include "model/FunctionPins.h"
#include "model/Layout.h"

namespace velora::channels {

namespace {

using namespace chlayout;

int entries(ListKind list) {
    return list == ListKind::Remote ? kRemoteEntries : kRepeaterEntries;
}

std::size_t entryOffset(ListKind list, int i) {
    std::size_t base = list == ListKind::Remote ? layout::kRemoteList : kCsRepeaterList;
    return base + kEntrySize * std::size_t(i);
}

struct ListEntry {
    Byte group; // group + 1, 0xFF none
    Byte channel;
    bool empty() const { return group == kUnset; }
};

ListEntry entryAt(ChannelStore& store, ListKind list, int i) {
    auto m = store.document().image().main();
    return {byteAt(m, entryOffset(list, i)), byteAt(m, entryOffset(list, i) + 1)};
}

void setEntry(ChannelStore& store, ListKind list, int i, Byte g, Byte c) {
    auto m = store.document().image().main();
    setByte(m, entryOffset(list, i), g);
    setByte(m, entryOffset(list, i) + 1, c);
}

constexpr int kRemoteSelectFunctions = 4;

} // namespace

int remoteListSize(const Document& doc) {
    const auto m = doc.image().main();
    unsigned assigned = 0;
    for (int pin : pins::inputPinRows(pins::portSetupOf(identificationOf(doc.image())))) {
        const Byte f = byteAt(m, layout::kFunctionPort + std::size_t(pin));
        if (f < kRemoteSelectFunctions) assigned |= 1u << f;
    }
    // The remote-select lines form a binary number, so only the sets {0}, {0,1}, ... make sense.
    switch (assigned) {
    case 0x0:
        return 0;
    case 0x1:
        return 1;
    case 0x3:
        return 3;
    case 0x7:
        return 7;
    case 0xF:
        return 15;
    default:
        return -1;
    }
}

int unitOf(const ChannelStore& store, int g, int c) {
    auto rec = store.channelRecord(g, c);
    if (rec.size() < kRecordSize || !store.channelExists(g, c)) return -1;
    return (le16(rec, kRecFlagsB) & kBModel2) ? 1 : 0;
}

bool sameRadioUnit(const ChannelStore& store, int g0, int c0, int g1, int c1) {
    const int unit = unitOf(store, g0, c0);
    return unit >= 0 && unit == unitOf(store, g1, c1);
}

int listPosition(const ChannelStore& store, ListKind list, int g, int c) {
    if (list == ListKind::Remote) {
        int i = store.remoteIndexOf(g, c);
        return i < 0 ? 0 : i + 1;
    }
    int i = store.repeaterIndexOf(g, c);
    return i == ChannelStore::kNotInRepeaterList ? 0 : i + 1;
}

PlaceResult placeInList(ChannelStore& store, ListKind list, int g, int c, int position, MessageBoxes* boxes) {
    if (!store.channelExists(g, c) || position < 0 || position > entries(list)) return PlaceResult::Unchanged;
    const int current = listPosition(store, list, g, c);
    if (position == current) return PlaceResult::Unchanged;
    if (position == 0) {
        setEntry(store, list, current - 1, kUnset, kUnset);
        return PlaceResult::Placed;
    }
    const int target = position - 1;
    if (!entryAt(store, list, target).empty()) {
        if (boxes) boxes->warning(kMsgPositionTaken);
        return PlaceResult::Taken;
    }
    if (list == ListKind::Repeater) {
        ListEntry other = entryAt(store, list, 1 - target);
        if (!other.empty() && !(other.group == g + 1 && other.channel == c + 1) &&
            sameRadioUnit(store, other.group - 1, other.channel - 1, g, c)) {
            if (boxes) boxes->warning(kMsgRepeaterSameModel);
            return PlaceResult::SameModel;
        }
    }
    if (current > 0) setEntry(store, list, current - 1, kUnset, kUnset);
    setEntry(store, list, target, Byte(g + 1), Byte(c + 1));
    return PlaceResult::Placed;
}

PlaceResult stepInList(ChannelStore& store, ListKind list, int g, int c, int direction, MessageBoxes* boxes) {
    if (direction == 0 || !store.channelExists(g, c)) return PlaceResult::Unchanged;
    const int states = entries(list) + 1; // "not in the list" and every position
    int pos = listPosition(store, list, g, c);
    for (int n = 0; n < states; ++n) {
        pos = (pos + (direction > 0 ? 1 : states - 1)) % states;
        if (pos == 0 || entryAt(store, list, pos - 1).empty()) break;
    }
    return placeInList(store, list, g, c, pos, boxes);
}

} // namespace velora::channels
