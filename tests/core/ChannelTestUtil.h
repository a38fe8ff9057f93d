#pragma once
// Helpers shared by the channel store tests: a data set with a chosen model, direct channel set-up,
// an independent check of the channel-list invariants and a per-group snapshot.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "channels/ChannelStore.h"
#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace velora::test {

inline constexpr std::size_t kGroupTable = 0x1480;
inline constexpr std::size_t kList = 0x1600;
inline constexpr std::size_t kRecords = 0x1800;
inline constexpr std::size_t kChannelNames = 0x0A00;
inline constexpr std::size_t kRefs = 0x50;
inline constexpr std::size_t kRepeater = 0x58;
inline constexpr std::size_t kRemote = 0x0380;

// A blank data set (everything 0xFF) carrying an identification, with the codec's band limits loaded.
inline void prepare(Document& doc, ModelIdentification id = ModelIdentification::defaults()) {
    doc.image().reset();
    setIdentification(doc.image(), id);
    doc.codec().loadBandLimits(id);
    doc.codec().setFineStep(doc.options().fineStep);
    doc.image().main()[0x10] = 8; // channel name length
    doc.image().main()[0x11] = 0; // group names off
}

inline ModelIdentification dualBand(std::uint8_t band1, std::uint8_t band2, std::size_t model1 = 1) {
    ModelIdentification id = ModelIdentification::defaults();
    id.setModelCode(model1);
    id.setBandCode(kModel1, band1);
    id.setBandCode(kModel2, band2);
    id.setDualBand(true);
    return id;
}

// Adds channel c of group g with a receive frequency written straight into the record.
inline int put(ChannelStore& s, int g, int c, std::uint8_t tag = 0x15) {
    int r = s.addChannel(g, c);
    if (r < 0) return r;
    s.initNewRecord(r);
    auto rec = s.record(r);
    rec[0] = 0x00;
    rec[1] = Byte(c % 100);
    rec[2] = Byte(g % 100);
    rec[3] = tag; // distinct per channel
    auto name = s.recordName(r);
    for (std::size_t i = 0; i < 16; ++i)
        name[i] = Byte('A' + (g + c + i) % 26);
    return r;
}

struct ChannelCopy {
    std::array<Byte, 16> record{};
    std::array<Byte, 16> name{};
    bool operator==(const ChannelCopy&) const = default;
};
using GroupSnapshot = std::map<int, ChannelCopy>; // channel number -> contents

inline GroupSnapshot snapshot(const ChannelStore& s, int g) {
    GroupSnapshot out;
    for (int c : s.channelNumbers(g)) {
        int r = s.findRecord(g, c);
        ChannelCopy cc;
        std::copy_n(s.record(r).begin(), 16, cc.record.begin());
        std::copy_n(s.recordName(r).begin(), 16, cc.name.begin());
        out[c] = cc;
    }
    return out;
}

// Every invariant of the channel tables, checked without the store's own validation, plus:
// references and list entries only name groups that hold channels and channels that exist.
inline void expectInvariants(const Document& doc, const ChannelStore& s) {
    auto m = doc.image().main();
    const int total = int(doc.options().totalLimit()), perGroup = int(doc.options().perGroupLimit());
    int sum = 0;
    std::set<int> records;
    for (int g = 0; g < 160; ++g) {
        Byte first = m[kGroupTable + 2 * g], n = m[kGroupTable + 2 * g + 1];
        if (n == 0xFF) {
            ASSERT_EQ(first, 0xFF) << "group " << g;
            continue;
        }
        ASSERT_GE(n, 1) << "group " << g;
        ASSERT_LE(n, perGroup) << "group " << g;
        ASSERT_EQ(first, sum) << "group " << g;
        int last = 0;
        for (int k = sum; k < sum + n; ++k) {
            Byte num = m[kList + 2 * k], rec = m[kList + 2 * k + 1];
            ASSERT_GT(num, last) << "position " << k;
            ASSERT_LE(num, perGroup) << "position " << k;
            ASSERT_TRUE(records.insert(rec).second) << "record " << int(rec) << " used twice";
            bool free = m[kRecords + 16 * rec] == 0xFF && m[kRecords + 16 * rec + 1] == 0xFF &&
                        m[kRecords + 16 * rec + 2] == 0xFF && m[kRecords + 16 * rec + 3] == 0xFF;
            ASSERT_FALSE(free) << "position " << k << " names a free record";
            last = num;
        }
        sum += n;
    }
    ASSERT_LE(sum, total);
    for (int k = sum; k < 256; ++k)
        ASSERT_EQ(m[kList + 2 * k], 0xFF) << "tail position " << k;
    ASSERT_EQ(s.usedBytes(), 16 * sum);
    for (int i = 0; i < 4; ++i) {
        Byte g = m[kRefs + 2 * i], c = m[kRefs + 2 * i + 1];
        if (g == 0xFF) continue;
        ASSERT_TRUE(s.groupUsed(g)) << "reference " << i;
        if (c != 0xFF) {
            ASSERT_GE(s.findRecord(g, c), 0) << "reference " << i;
        }
    }
    auto checkList = [&](std::size_t off, const char* what) {
        Byte g = m[off], c = m[off + 1];
        if (g == 0xFF) return;
        ASSERT_TRUE(s.groupUsed(g - 1)) << what;
        if (c != 0xFF) {
            ASSERT_GE(s.findRecord(g - 1, c - 1), 0) << what;
        }
    };
    for (int i = 0; i < 16; ++i)
        checkList(kRemote + 2 * i, "remote entry");
    for (int i = 0; i < 2; ++i)
        checkList(kRepeater + 2 * i, "repeater entry");
}

} // namespace velora::test
