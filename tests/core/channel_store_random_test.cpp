// Random operations: on tables full of random bytes (nothing may crash or reach outside the areas,
// and the first change leaves sound tables), and on valid data (every invariant holds after each
// operation and an operation on one group leaves every other group as it was).
#include <gtest/gtest.h>

#include <random>

#include "ChannelTestUtil.h"
#include "TestSupport.h"

namespace velora::test {
namespace {

const std::vector<std::string> kTexts{"",    "0",    "150",  "155.5",     "460",
                                      "999", "-5",   "abc",  "151.81375", "D023N",
                                      "D9",  "67.0", "T262", "NAME",      std::string(40, 'x'),
                                      "1e9", "nan",  "33.4"};

struct Runner {
    ChannelStore& store;
    std::mt19937& rng;
    MessageBoxes* boxes;
    bool wild; // also pass numbers outside every range

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    int group() {
        if (wild && pick(8) == 0) return std::vector<int>{-1, 160, 255, 1000}[std::size_t(pick(4))];
        return pick(3) == 0 ? pick(160) : std::vector<int>{0, 1, 2, 3, 158, 159}[std::size_t(pick(6))];
    }
    int channel() {
        if (wild && pick(8) == 0) return std::vector<int>{-1, 254, 255, 0xFF, 4000}[std::size_t(pick(5))];
        return pick(2) == 0 ? pick(store.perGroupLimit()) : pick(6);
    }
    ChannelField field() { return ChannelField(pick(kChannelFieldCount)); }

    // Runs one operation; returns the group it may change (-1: any, -2: none).
    int step() {
        int g = group(), c = channel();
        switch (pick(16)) {
        case 0:
        case 1:
            put(store, g, c, Byte(pick(2) ? 0x15 : 0x46));
            return g;
        case 2:
            store.deleteChannel(g, c);
            return g;
        case 3:
            store.insertChannelNumber(g, c);
            return g;
        case 4:
            store.removeChannelNumber(g, c);
            return g;
        case 5:
            store.deleteGroup(g);
            return g;
        case 6:
            store.copyGroup(g, group());
            return g;
        case 7:
            store.copyChannel(g, c, group(), channel());
            return g;
        case 8:
        case 9:
            store.setChannelFieldText(kTexts[std::size_t(pick(int(kTexts.size())))], g, c, field(), boxes);
            return g;
        case 10:
            store.setChannelChoice(g, c, field(), pick(210) - 2);
            return g;
        case 11:
            for (int k = 0; k < kChannelFieldCount; ++k)
                (void)store.channelFieldText(g, c, ChannelField(k));
            (void)store.channelNameText(g, c);
            (void)store.groupNameText(g);
            return -2;
        case 12:
            if (pick(2))
                store.setReference(pick(4) ? g : 0xFF, pick(3) ? c : 0xFF, ReferenceKind(pick(4)));
            else
                store.toggleReference(g, c, ReferenceKind(pick(4)), pick(2));
            return -2;
        case 13:
            store.padNames();
            return -1;
        case 14:
            store.checkAllNarrowband(pick(2), boxes);
            return -1;
        default:
            store.rebuildTables();
            return -1;
        }
    }
};

void randomise(Document& doc, std::mt19937& rng) {
    auto m = doc.image().main();
    auto e = doc.image().ext();
    std::uniform_int_distribution<int> byte(0, 255);
    auto scramble = [&](std::span<Byte> area, std::size_t off, std::size_t len) {
        for (std::size_t i = 0; i < len; ++i)
            area[off + i] = Byte(byte(rng));
    };
    scramble(m, 0, 0x80);        // common block: references, lists, length bytes, marker
    scramble(m, 0x0300, 0x100);  // key tables, function port, remote list
    scramble(m, 0x1480, 0x1380); // group table, channel list and every record
    scramble(e, 0, 0x1A00);      // all names
}

TEST(ChannelStoreRandom, GarbageTablesNeverCrashAndAreRepairedByTheFirstChange) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        MessengerFixture f;
        Document doc(RunOptions{seed % 2 == 0, seed % 3 == 0});
        prepare(doc);
        randomise(doc, rng);
        ChannelStore store(doc, f.texts);
        Runner run{store, rng, &f.boxes, true};
        store.adjustForCapacity();
        for (int i = 0; i < 300; ++i) {
            bool wasSound = store.validateTables();
            run.step();
            // Sound tables stay sound; a rebuild (also run by the first change) makes them sound.
            if (wasSound) {
                ASSERT_TRUE(store.validateTables()) << "step " << i;
            }
        }
        store.rebuildTables();
        ASSERT_TRUE(store.validateTables());
        ASSERT_LE(store.usedBytes(), 16 * 255);
    }
}

TEST(ChannelStoreRandom, ValidDataKeepsEveryInvariantAndOtherGroupsIntact) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        MessengerFixture f;
        Document doc(RunOptions{seed % 2 == 0, false});
        prepare(doc);
        doc.image().main()[0x00] = 1; // priority 1 applies
        ChannelStore store(doc, f.texts);
        Runner run{store, rng, &f.boxes, false};
        for (int i = 0; i < 150; ++i)
            put(store, run.group(), run.channel());
        for (int k = 0; k < 4; ++k) {
            int g = run.group();
            auto nums = store.channelNumbers(g);
            if (!nums.empty()) store.setReference(g, nums[0], ReferenceKind(k));
        }
        for (int i = 0; i < 15; ++i) {
            int g = run.group();
            auto nums = store.channelNumbers(g);
            if (nums.empty()) continue;
            doc.image().main()[kRemote + 2 * i] = Byte(g + 1);
            doc.image().main()[kRemote + 2 * i + 1] = Byte(nums.back() + 1);
        }
        expectInvariants(doc, store);

        for (int i = 0; i < 400; ++i) {
            std::vector<GroupSnapshot> before;
            for (int g = 0; g < 160; ++g)
                before.push_back(snapshot(store, g));
            int touched = run.step();
            ASSERT_NO_FATAL_FAILURE(expectInvariants(doc, store)) << "step " << i;
            ASSERT_TRUE(store.validateTables());
            if (touched == -1) continue;
            for (int g = 0; g < 160; ++g)
                if (g != touched) {
                    ASSERT_EQ(snapshot(store, g), before[std::size_t(g)]) << "group " << g << " step " << i;
                }
        }
        EXPECT_GT(store.usedBytes(), 0) << "the run kept some channels to work on";
    }
}

} // namespace
} // namespace velora::test
