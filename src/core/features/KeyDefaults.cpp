#include "features/KeyDefaults.h"

#include "features/KeyAssignment.h"

namespace velora::keys {

namespace {
constexpr Byte kFirstKeyDefault = 16;
constexpr Byte kSecondKeyDefault = 15;
constexpr Byte kThirdKeyDefault = 22;  // second head type only
constexpr Byte kFourthKeyDefault = 26; // second head type only
} // namespace

Byte defaultFunction(int position, bool secondHeadType) {
    switch (position) {
    case 0:
        return kFirstKeyDefault;
    case 1:
        return kSecondKeyDefault;
    case 2:
        return secondHeadType ? kThirdKeyDefault : kNoFunction;
    case 3:
        return secondHeadType ? kFourthKeyDefault : kNoFunction;
    default:
        return kNoFunction;
    }
}

void resetHead(std::span<Byte> main, int head, bool secondHeadType) {
    if (head < 0 || head >= kHeadCount) return;
    for (int p = 0; p < kKeysPerHead; ++p)
        setByte(main, keyOffset(head, p), defaultFunction(p, secondHeadType));
    setByte(main, knobOffset(head), kDefaultKnobMode);
}

} // namespace velora::keys
