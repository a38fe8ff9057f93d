#pragma once
// Default key assignments of the control heads and the reverting of withdrawn key functions.
// A head's key table is 15 function codes (0xFF = no function) followed elsewhere by its knob mode.
#include <cstddef>
#include <span>

#include "channels/KeyTables.h"
#include "model/Layout.h"

namespace velora::keys {

inline constexpr Byte kDefaultKnobMode = 0;

// Key functions that exist only in the extended capacity mode.
inline constexpr Byte kFunctionExtended1 = 32;
inline constexpr Byte kFunctionExtended2 = 33;
inline constexpr Byte kFunctionExtended3 = 34;

constexpr std::size_t knobOffset(int head) {
    return layout::kKnobModeHead1 + static_cast<std::size_t>(head);
}

// The function a key position falls back to: 16 and 15 on the first two keys, 22 and 26 on the
// next two of a second-type head, none elsewhere.
Byte defaultFunction(int position, bool secondHeadType);

// Puts all 15 keys of a head to their defaults and its knob mode to 0.
void resetHead(std::span<Byte> main, int head, bool secondHeadType);

} // namespace velora::keys
