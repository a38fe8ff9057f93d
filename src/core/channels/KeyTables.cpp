#include "channels/KeyTables.h"

#include "channels/ChannelLayout.h"

namespace velora::keys {

namespace {

bool headHolds(std::span<const Byte> main, int head, Byte code) {
    for (int p = 0; p < kKeysPerHead; ++p)
        if (byteAt(main, keyOffset(head, p)) == code) return true;
    return false;
}

} // namespace

HeadSetup headSetupOf(const ModelIdentification& id) {
    HeadSetup h;
    h.dualHead = id.isDualHead();
    h.secondType[kHead1] = id.headType(kHead1) == 1;
    h.secondType[kHead2] = id.headType(kHead2) == 1;
    return h;
}

std::optional<KeyRef> findKeyWithFunction(std::span<const Byte> main, Byte code) {
    for (int h = 0; h < kHeadCount; ++h)
        for (int p = 0; p < kKeysPerHead; ++p)
            if (byteAt(main, keyOffset(h, p)) == code) return KeyRef{h, p};
    return std::nullopt;
}

bool homeFunctionAssigned(std::span<const Byte> main, const HeadSetup& heads) {
    for (int h = 0; h < (heads.dualHead ? kHeadCount : 1); ++h)
        if (headHolds(main, h, kFunctionHome1) || headHolds(main, h, kFunctionHome2)) return true;
    for (std::size_t i = 0; i < chlayout::kPortHeadByteCount; ++i)
        if (byteAt(main, chlayout::kPortHeadBytes + i) == kPortFunctionHome) return true;
    return false;
}

bool emergencyFunctionAssigned(std::span<const Byte> main) {
    return findKeyWithFunction(main, kFunctionEmergency).has_value();
}

} // namespace velora::keys
