#pragma once
// Where each control head's key table lies and the searches in it that decide whether the home and
// emergency channels are in use. The channel store asks this, so it sits below the key editor.
#include <cstddef>
#include <optional>
#include <span>

#include "model/Bytes.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::keys {

inline constexpr int kHeadCount = 2;
inline constexpr int kKeysPerHead = 15;
inline constexpr Byte kNoFunction = 0xFF;

// Functions other editors depend on.
inline constexpr Byte kFunctionEmergency = 14;
inline constexpr Byte kFunctionHome1 = 17;
inline constexpr Byte kFunctionHome2 = 18;
// A function-port pin function that serves as a home key on the head pins.
inline constexpr Byte kPortFunctionHome = 7;

// Which heads are fitted and of which display type (second type: the 14-character display).
struct HeadSetup {
    bool dualHead = false;
    bool secondType[kHeadCount] = {false, false};
};

// The heads an identification describes.
HeadSetup headSetupOf(const ModelIdentification& id);

constexpr std::size_t keyOffset(int head, int position) {
    return layout::kKeyTables + static_cast<std::size_t>(kKeysPerHead * head + position);
}

struct KeyRef {
    int head = -1;
    int position = -1;
    bool operator==(const KeyRef&) const = default;
};

// The first key (head 1 first) holding `code`. Both heads' tables count, fitted or not, as every
// check of the emergency function does.
std::optional<KeyRef> findKeyWithFunction(std::span<const Byte> main, Byte code);

// The home group/channel is in use while a key of a fitted head holds a home function or a head pin
// of the function port (0x32A-0x32D) holds the port's home function.
bool homeFunctionAssigned(std::span<const Byte> main, const HeadSetup& heads);
// The emergency group/channel is in use while any key holds the emergency function.
bool emergencyFunctionAssigned(std::span<const Byte> main);

} // namespace velora::keys
