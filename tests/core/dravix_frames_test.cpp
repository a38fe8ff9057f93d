#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <random>
#include <vector>

#include "features/DravixFrames.h"
#include "model/Layout.h"

using namespace velora;
namespace dx = velora::dravix;

namespace {

using Main = std::array<Byte, layout::kMainSize>;

Main blankMain() {
    Main m;
    m.fill(0xFF);
    return m;
}

std::vector<Byte> bytes(const Main& m, std::size_t off, std::size_t len) {
    return {m.begin() + static_cast<std::ptrdiff_t>(off), m.begin() + static_cast<std::ptrdiff_t>(off + len)};
}

void setEmergencyCall(Main& m, Byte fleet, std::uint16_t id) {
    m[dx::kEmergencyFleet] = fleet;
    setLe16(m, dx::kEmergencyId, id);
}

} // namespace

TEST(FrameCheck, DataAndCheckWordAlwaysHaveEvenParity) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 2000; ++n) {
        std::array<Byte, 6> d{};
        int ones = 0;
        for (auto& b : d) {
            b = static_cast<Byte>(byte(rng));
            ones += std::popcount(b);
        }
        ones += std::popcount(dx::frameCheck(d));
        EXPECT_EQ(ones % 2, 0) << "case " << n;
    }
}

TEST(DravixBlock, DefaultBlockForFleet100Id1000) {
    Main m = blankMain();
    dx::writeDefaultBlock(m);
    EXPECT_EQ(bytes(m, layout::kDravix, 8),
              (std::vector<Byte>{0x01, 0x0A, 0x00, 0x01, 0x01, 0x00, 0xEA, 0x01}));
    EXPECT_EQ(bytes(m, dx::kOwnFrame0, dx::kFrameSize),
              (std::vector<Byte>{0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xFE, 0x80, 0x01, 0x00, 0x10, 0x01, 0x22,
                                 0x8C}));
    EXPECT_EQ(bytes(m, dx::kOwnFrame1, dx::kFrameSize),
              (std::vector<Byte>{0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xFC, 0x80, 0x01, 0x00, 0x10, 0x01, 0xC7,
                                 0xB9}));
    // Nothing past the two frames inside the 64-byte block is touched.
    for (std::size_t i = dx::kOwnFrame1 + dx::kFrameSize; i < layout::kDravix + layout::kDravixSize; ++i)
        EXPECT_EQ(m[i], 0xFF) << i;
}

TEST(DravixBlock, OwnFramesFollowFleetAndIdPacking) {
    Main m = blankMain();
    dx::writeDefaultBlock(m);
    m[dx::kOwnFleet] = 0x2A;
    setLe16(m, dx::kOwnId, 0x0ABC);
    dx::buildOwnFrames(m);
    // Check words worked out by long division of the data by the generator 0x1D02A.
    EXPECT_EQ(bytes(m, dx::kOwnFrame0 + 6, 8),
              (std::vector<Byte>{0xFE, 0x80, 0x2A, 0xAB, 0xCA, 0xBC, 0xC4, 0x8E}));
    EXPECT_EQ(bytes(m, dx::kOwnFrame1 + 6, 8),
              (std::vector<Byte>{0xFC, 0x80, 0x2A, 0xAB, 0xCA, 0xBC, 0x21, 0xBB}));
}

TEST(DravixBlock, RepairOfUnsetBlockGivesDefaultsAndCompleteFrames) {
    Main repaired = blankMain();
    dx::repairBlock(repaired);
    Main fresh = blankMain();
    dx::writeDefaultBlock(fresh);
    EXPECT_EQ(bytes(repaired, layout::kDravix, layout::kDravixSize),
              bytes(fresh, layout::kDravix, layout::kDravixSize));
}

TEST(DravixBlock, RepairKeepsSetFieldsAndRebuildsStaleFrames) {
    Main m = blankMain();
    dx::writeDefaultBlock(m);
    m[dx::kOwnFleet] = 5;
    setLe16(m, dx::kTxDelay, 190);
    setLe16(m, dx::kOwnId, 0xFFFF);
    m[dx::kOwnFrame0 + 4] = 0xFF;  // a lost synchronisation byte
    m[dx::kOwnFrame1 + 12] = 0x00; // a stale check word
    dx::repairBlock(m);
    EXPECT_EQ(bytes(m, dx::kOwnFleet, 5), (std::vector<Byte>{5, 0x01, 0x00, 190, 0}));
    EXPECT_EQ(bytes(m, dx::kOwnFrame0, dx::kFrameSize),
              (std::vector<Byte>{0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xFE, 0x80, 0x05, 0x00, 0x10, 0x01, 0x62,
                                 0xA2}));
    EXPECT_EQ(bytes(m, dx::kOwnFrame1, dx::kFrameSize),
              (std::vector<Byte>{0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xFC, 0x80, 0x05, 0x00, 0x10, 0x01, 0x87,
                                 0x97}));
}

TEST(EmergencyFrame, SameFleetGivesShortFrame) {
    Main m = blankMain();
    dx::writeDefaultBlock(m);
    setEmergencyCall(m, 1, 1);
    dx::buildEmergencyFrame(m);
    EXPECT_EQ(bytes(m, dx::kEmergencyFrame, 22),
              (std::vector<Byte>{0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xB4, 0x40, 0x01, 0x00, 0x10,
                                 0x01, 0x3E, 0xC2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(m[dx::kEmergencyFrameLength], 14);
}

TEST(EmergencyFrame, OtherFleetAddsSecondPartAndShrinksBackWhenFleetsMatch) {
    Main m = blankMain();
    dx::writeDefaultBlock(m);
    setEmergencyCall(m, 7, 0x0123);
    dx::buildEmergencyFrame(m);
    EXPECT_EQ(m[dx::kEmergencyFrameLength], 22);
    EXPECT_EQ(bytes(m, dx::kEmergencyFrame + 6, 6), (std::vector<Byte>{0xB4, 0x41, 0x01, 0x00, 0x11, 0x23}));
    EXPECT_EQ(bytes(m, dx::kEmergencyFrame + 14, 8),
              (std::vector<Byte>{0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEC, 0x7E}));

    // The own fleet is changed to the call fleet: the frame shortens and its tail is cleared.
    m[dx::kOwnFleet] = 7;
    dx::buildEmergencyFrame(m);
    EXPECT_EQ(m[dx::kEmergencyFrameLength], 14);
    EXPECT_EQ(m[dx::kEmergencyFrame + 7], 0x40);
    EXPECT_EQ(bytes(m, dx::kEmergencyFrame + 14, 8), std::vector<Byte>(8, 0xFF));
}
