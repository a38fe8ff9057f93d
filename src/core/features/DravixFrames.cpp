#include "features/DravixFrames.h"

#include <bit>
#include <utility>

namespace velora::dravix {

namespace {

// Frame byte positions.
constexpr std::size_t kHeadSize = 8; // preamble, synchronisation, command, byte 7
constexpr std::size_t kCommandPos = 6;
constexpr std::size_t kAddressPos = 7;
constexpr std::size_t kFleetPos = 8;
constexpr std::size_t kCheckPos = 12;
constexpr std::size_t kSecondPartPos = 14; // the other fleet's 8-byte part of the emergency frame
constexpr std::size_t kSecondCheckPos = 20;

constexpr Byte kOwnAddress = 0x80;
constexpr Byte kEmergencySameFleet = 0x40;
constexpr Byte kEmergencyOtherFleet = 0x41;

constexpr std::uint16_t kPolynomial = 0xE815;
constexpr int kDataBits = 48;
constexpr std::uint16_t kInvertedBit = 0x0002;

constexpr std::array<Byte, kHeadSize> ownFrameHead(Byte command) {
    return {0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, command, kOwnAddress};
}

// Command byte through byte 11 of a frame: command, address, fleet, then the two 12-bit IDs packed.
void putAddressedPart(std::span<Byte> frame, Byte fleet, std::uint16_t source, std::uint16_t destination) {
    setByte(frame, kFleetPos, fleet);
    setByte(frame, kFleetPos + 1, static_cast<Byte>((source >> 4) & 0xFF));
    setByte(frame, kFleetPos + 2, static_cast<Byte>(((source & 0x0F) << 4) | ((destination >> 8) & 0x0F)));
    setByte(frame, kFleetPos + 3, static_cast<Byte>(destination & 0xFF));
}

void putCheck(std::span<Byte> frame, std::size_t from, std::size_t checkPos) {
    std::array<Byte, 6> data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = byteAt(frame, from + i);
    std::uint16_t check = frameCheck(data);
    setByte(frame, checkPos, static_cast<Byte>(check >> 8));
    setByte(frame, checkPos + 1, static_cast<Byte>(check & 0xFF));
}

bool allUnset(std::span<const Byte> main, std::size_t off, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i)
        if (byteAt(main, off + i) != 0xFF) return false;
    return true;
}

} // namespace

std::uint16_t frameCheck(std::span<const Byte, 6> d) {
    // The data words followed by 16 zero bits form the dividend; W4 only ever feeds zeros.
    std::array<std::uint16_t, 4> w{static_cast<std::uint16_t>(d[0] << 8 | d[1]),
                                   static_cast<std::uint16_t>(d[2] << 8 | d[3]),
                                   static_cast<std::uint16_t>(d[4] << 8 | d[5]), 0};
    int ones = std::popcount(w[0]) + std::popcount(w[1]) + std::popcount(w[2]);
    for (int i = 0; i < kDataBits; ++i) {
        if (w[0] & 0x8000) w[0] ^= kPolynomial;
        for (std::size_t k = 0; k < w.size(); ++k) {
            std::uint16_t carry = k + 1 < w.size() ? static_cast<std::uint16_t>(w[k + 1] >> 15) : 0;
            w[k] = static_cast<std::uint16_t>((w[k] << 1) | carry);
        }
    }
    // Bit 0 of the remainder is always clear here, so setting it makes the parity even.
    std::uint16_t r = w[0] ^ kInvertedBit;
    ones += std::popcount(r);
    if (ones % 2 != 0) r |= 1;
    return r;
}

void buildOwnFrames(std::span<Byte> main) {
    Byte fleet = byteAt(main, kOwnFleet);
    std::uint16_t id = le16(main, kOwnId);
    for (std::size_t base : {kOwnFrame0, kOwnFrame1}) {
        if (base + kFrameSize > main.size()) continue;
        auto frame = main.subspan(base, kFrameSize);
        putAddressedPart(frame, fleet, id, id);
        putCheck(frame, kCommandPos, kCheckPos);
    }
}

void buildEmergencyFrame(std::span<Byte> main) {
    if (kEmergencyFrameLength >= main.size()) return;
    auto frame = main.subspan(kEmergencyFrame, kEmergencyFrameSize);
    Byte ownFleet = byteAt(main, kOwnFleet);
    Byte callFleet = byteAt(main, kEmergencyFleet);
    bool otherFleet = ownFleet != callFleet;

    fill(frame, 0, frame.size(), 0xFF);
    auto head = ownFrameHead(kCommandEmergency);
    for (std::size_t i = 0; i < kCommandPos + 1; ++i)
        frame[i] = head[i];
    frame[kAddressPos] = otherFleet ? kEmergencyOtherFleet : kEmergencySameFleet;
    putAddressedPart(frame, ownFleet, le16(main, kOwnId), le16(main, kEmergencyId));
    putCheck(frame, kCommandPos, kCheckPos);
    if (otherFleet) {
        frame[kSecondPartPos] = callFleet;
        putCheck(frame, kSecondPartPos, kSecondCheckPos);
    }
    setByte(main, kEmergencyFrameLength, static_cast<Byte>(otherFleet ? kEmergencyFrameSize : kFrameSize));
}

void writeDefaultBlock(std::span<Byte> main) {
    setByte(main, kSideTone, kDefaultSideTone);
    setLe16(main, kUnnamedWord, kDefaultUnnamedWord);
    setByte(main, kOwnFleet, kDefaultFleet);
    setLe16(main, kOwnId, kDefaultId);
    setLe16(main, kTxDelay, kDefaultTxDelay);
    for (auto [base, command] : {std::pair{kOwnFrame0, kCommandOwn0}, std::pair{kOwnFrame1, kCommandOwn1}}) {
        auto head = ownFrameHead(command);
        for (std::size_t i = 0; i < head.size(); ++i)
            setByte(main, base + i, head[i]);
    }
    buildOwnFrames(main);
}

void repairBlock(std::span<Byte> main) {
    if (allUnset(main, kSideTone, 1)) setByte(main, kSideTone, kDefaultSideTone);
    if (allUnset(main, kUnnamedWord, 2)) setLe16(main, kUnnamedWord, kDefaultUnnamedWord);
    if (allUnset(main, kOwnFleet, 1)) setByte(main, kOwnFleet, kDefaultFleet);
    if (allUnset(main, kOwnId, 2)) setLe16(main, kOwnId, kDefaultId);
    if (allUnset(main, kTxDelay, 2)) setLe16(main, kTxDelay, kDefaultTxDelay);
    for (auto [base, command] : {std::pair{kOwnFrame0, kCommandOwn0}, std::pair{kOwnFrame1, kCommandOwn1}}) {
        auto head = ownFrameHead(command);
        for (std::size_t i = 0; i < head.size(); ++i)
            if (byteAt(main, base + i) == 0xFF) setByte(main, base + i, head[i]);
    }
    buildOwnFrames(main);
}

} // namespace velora::dravix
