#pragma once
// The remote and repeater channel lists edited from a channel's side: the channel's position in a
// list, placing it at a typed position and stepping it to the next free position (spin buttons).
#include "channels/ChannelStore.h"

namespace velora::channels {

enum class ListKind { Remote, Repeater };

enum class PlaceResult {
    Unchanged, // same position, an ignored position, or nothing to remove
    Placed,    // moved, added or removed
    Taken,     // the position holds another channel: message 240
    SameModel, // repeater: the other entry's channel is on the same radio unit: message 243
};

inline constexpr int kMsgPositionTaken = 240;
inline constexpr int kMsgRepeaterSameModel = 243;

// Number of usable remote channels from the function-port assignments: 0 (list not in use), 1, 3,
// 7 or 15, or -1 when the assignments form no valid set.
int remoteListSize(const Document& doc);

// Radio unit (0 or 1) a channel belongs to, -1 when (g, c) names no existing channel. The two
// repeater channels must lie on different units.
int unitOf(const ChannelStore& store, int g, int c);
// Whether channels (g0, c0) and (g1, c1) both exist and lie on the same radio unit, which a repeater
// pair may not: it pairs one unit with the other.
bool sameRadioUnit(const ChannelStore& store, int g0, int c0, int g1, int c1);

// Position 1..15 (remote) or 1..2 (repeater) of the channel, 0 when it is not in the list.
int listPosition(const ChannelStore& store, ListKind list, int g, int c);

// Puts channel (g, c) at 1-based `position`; 0 takes it out of the list. Remote positions above
// 15 and repeater positions above 2 change nothing. Messages are shown when boxes are given.
PlaceResult placeInList(ChannelStore& store, ListKind list, int g, int c, int position, MessageBoxes* boxes);

// Moves the channel to the next (direction > 0) or previous free position, passing through "not
// in the list", which takes it out.
PlaceResult stepInList(ChannelStore& store, ListKind list, int g, int c, int direction, MessageBoxes* boxes);

} // namespace velora::channels
