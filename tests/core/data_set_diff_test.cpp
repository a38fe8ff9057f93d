// The comparison of two data sets by meaning: channels per group by CSV column or raw byte wherever
// their records sit, fields by key, the identification by name, and only the bytes that show
// nowhere as ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "base/LanguageFile.h"
#include "dataset/DataSetDiff.h"
#include "dataset/DataSetInit.h"
#include "features/FieldAccess.h"
#include "model/DataFile.h"
#include "dataset/DataSetDiff.h"
#include "dataset/DataSetInit.h"

namespace velora {
namespace {

using test::MessengerFixture;

struct DiffCase {
    const char* name;
    std::function<void(Document&, MessageBoxes&, const TextSource&)> change;
    std::function<void(const DataSetDiff&)> check;
};

class DataSetDiffTest : public ::testing::TestWithParam<DiffCase>, public MessengerFixture {};

// A default data set with channel 1 of group 1 named "Base".
std::unique_ptr<Document> baseDocument(MessageBoxes& boxes, const TextSource& texts) {
    auto doc = std::make_unique<Document>();
    defaultInitialise(*doc, true, false);
    ChannelStore store(*doc, texts);
    test::put(store, 0, 0);
    store.setChannelFieldText("Base", 0, 0, ChannelField::Name, &boxes);
    return doc;
}

// The first enabled check box of the data set, its key and its text after a toggle.
std::pair<std::string, std::string> toggledCheck(Document& doc, MessageBoxes& boxes) {
    forms::FieldAccess access(doc, boxes);
    for (const auto& e : access.fields())
        if (e.kind == forms::FieldKind::Check && e.enabled) return {e.key, e.text == "1" ? "0" : "1"};
    return {};
}

TEST_P(DataSetDiffTest, NamesWhatDiffers) {
    const auto& c = GetParam();
    auto before = baseDocument(boxes, texts);
    auto after = std::make_unique<Document>(*before);
    c.change(*after, boxes, texts);
    const DataSetDiff diff = compareDataSets(*before, *after, texts, boxes);
    c.check(diff);
    if (diff.empty()) {
        EXPECT_EQ(diffLines(diff, texts), std::vector<std::string>{"T565"});
    }
}

const DiffCase kCases[] = {
    {"equal", [](Document&, MessageBoxes&, const TextSource&) {},
     [](const DataSetDiff& d) { EXPECT_TRUE(d.empty()); }},
    {"changed_channel",
     [](Document& doc, MessageBoxes& boxes, const TextSource& texts) {
         ChannelStore(doc, texts).setChannelFieldText("Yard", 0, 0, ChannelField::Name, &boxes);
     },
     [](const DataSetDiff& d) {
         ASSERT_EQ(d.groups.size(), 1u);
         EXPECT_EQ(d.groups[0].kind, ChangeKind::Changed);
         ASSERT_EQ(d.groups[0].channels.size(), 1u);
         const auto& ch = d.groups[0].channels[0];
         EXPECT_EQ(ch.channel, 0);
         ASSERT_EQ(ch.columns.size(), 1u);
         EXPECT_EQ(ch.columns[0].column, "name");
         EXPECT_EQ(ch.columns[0].before, "Base");
         EXPECT_EQ(ch.columns[0].after, "Yard");
         EXPECT_TRUE(d.bytes.empty()) << "the name's bytes show in the channel";
     }},
    {"added_group",
     [](Document& doc, MessageBoxes&, const TextSource& texts) {
         ChannelStore store(doc, texts);
         test::put(store, 2, 6);
     },
     [](const DataSetDiff& d) {
         ASSERT_EQ(d.groups.size(), 1u);
         EXPECT_EQ(d.groups[0].kind, ChangeKind::Added);
         EXPECT_EQ(d.groups[0].group, 2);
         ASSERT_EQ(d.groups[0].channels.size(), 1u);
         const auto& ch = d.groups[0].channels[0];
         EXPECT_EQ(ch.kind, ChangeKind::Added);
         EXPECT_EQ(ch.channel, 6);
         // Its values: the name test::put wrote for group 3, channel 7 starts with 'A' + 8.
         auto name = std::find_if(ch.columns.begin(), ch.columns.end(),
                                  [](const ColumnChange& c) { return c.column == "name"; });
         ASSERT_NE(name, ch.columns.end());
         EXPECT_EQ(name->after.substr(0, 3), "IJK");
         EXPECT_TRUE(d.bytes.empty()) << "the group tables show as the group";
     }},
    {"unshown_channel_bit", // the transmit step flag X: flag word A bit 9, record byte 13 bit 1
     [](Document& doc, MessageBoxes&, const TextSource& texts) {
         ChannelStore(doc, texts).channelRecord(0, 0)[13] ^= 0x02;
     },
     [](const DataSetDiff& d) {
         ASSERT_EQ(d.groups.size(), 1u);
         ASSERT_EQ(d.groups[0].channels.size(), 1u);
         const auto& ch = d.groups[0].channels[0];
         EXPECT_TRUE(ch.columns.empty());
         ASSERT_EQ(ch.raw.size(), 1u);
         EXPECT_FALSE(ch.raw[0].name);
         EXPECT_EQ(ch.raw[0].offset, 13);
         EXPECT_EQ(ch.raw[0].before ^ ch.raw[0].after, 0x02);
         EXPECT_TRUE(d.bytes.empty());
     }},
    {"version_mark_cleared", // as a write clears it; the default mark of model 1 is 0xF
     [](Document& doc, MessageBoxes&, const TextSource&) { doc.image().main()[0x3EE6] &= 0x0F; },
     [](const DataSetDiff& d) {
         ASSERT_EQ(d.identification.size(), 1u);
         EXPECT_EQ(d.identification[0].text, kTextDiffVersion1);
         EXPECT_EQ(d.identification[0].before, 0xFu);
         EXPECT_EQ(d.identification[0].after, 0x0u);
         EXPECT_TRUE(d.bytes.empty());
     }},
    {"model2_word", // bit 9 of the word: the option board of model 2
     [](Document& doc, MessageBoxes&, const TextSource&) { doc.image().main()[0x3EE9] ^= 0x02; },
     [](const DataSetDiff& d) {
         ASSERT_EQ(d.identification.size(), 1u);
         EXPECT_EQ(d.identification[0].text, kTextDiffModel2Word);
         EXPECT_EQ(d.identification[0].before ^ d.identification[0].after, 0x0200u);
         EXPECT_TRUE(d.bytes.empty());
     }},
    {"changed_field",
     [](Document& doc, MessageBoxes& boxes, const TextSource&) {
         auto [key, text] = toggledCheck(doc, boxes);
         ASSERT_FALSE(key.empty());
         forms::FieldAccess(doc, boxes).set(key, text);
     },
     [](const DataSetDiff& d) {
         ASSERT_FALSE(d.fields.empty());
         const auto& f = d.fields[0];
         ASSERT_TRUE(f.before && f.after);
         EXPECT_NE(*f.before, *f.after);
         EXPECT_TRUE(d.groups.empty());
         EXPECT_TRUE(d.bytes.empty()) << "the field's byte shows as the field";
     }},
    {"differs_but_shows_alike", // a check box of the scan settings shows 0 and 3 alike; a radio reads 3
     [](Document& doc, MessageBoxes&, const TextSource&) { doc.image().main()[0x09] ^= 0x03; },
     [](const DataSetDiff& d) {
         EXPECT_TRUE(d.fields.empty());
         ASSERT_EQ(d.bytes.size(), 1u);
         EXPECT_EQ(d.bytes[0].area, Area::Main);
         EXPECT_EQ(d.bytes[0].begin, 0x09u);
         EXPECT_EQ(d.bytes[0].end, 0x0Au);
     }},
    {"unseen_bytes",
     [](Document& doc, MessageBoxes&, const TextSource&) {
         doc.image().ext()[0x1F10] ^= 0x5A;
         doc.image().ext()[0x1F12] ^= 0x5A;
     },
     [](const DataSetDiff& d) {
         EXPECT_TRUE(d.groups.empty());
         EXPECT_TRUE(d.fields.empty());
         ASSERT_EQ(d.bytes.size(), 1u);
         EXPECT_EQ(d.bytes[0].area, Area::Ext);
         EXPECT_EQ(d.bytes[0].begin, 0x1F10u);
         EXPECT_EQ(d.bytes[0].end, 0x1F13u);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, DataSetDiffTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataSetDiffLines, ChannelChangeNamesGroupChannelAndColumn) {
    test::NumberedTexts texts;
    DataSetDiff d;
    d.groups.push_back(
        {ChangeKind::Changed, 0, {}, {{ChangeKind::Changed, 1, {{"rx", "151.8125", "152"}}, {}}}});
    EXPECT_EQ(diffLines(d, texts), (std::vector<std::string>{"T559", "  T562: rx \"151.8125\" -> \"152\""}));
}

// Two data sets with the same channels whose records sit in other slots of the pool, and random
// single bit flips in a channel's record or name and anywhere outside the pool (free records are
// read by nobody and are left out).
TEST(DataSetDiffProperty, EveryFlipIsReportedWhereverRecordsSit) {
    test::MessengerFixture fx;
    const std::vector<std::pair<int, int>> channels{{0, 0}, {0, 3}, {1, 1}, {4, 0}, {4, 9}};
    auto build = [&](bool reversed) {
        auto doc = std::make_unique<Document>();
        defaultInitialise(*doc, true, false);
        ChannelStore store(*doc, fx.texts);
        auto order = channels;
        if (reversed) std::reverse(order.begin(), order.end());
        for (auto [g, c] : order)
            test::put(store, g, c);
        return doc;
    };
    const auto before = build(false), placed = build(true);
    ASSERT_NE(ChannelStore(*before, fx.texts).findRecord(0, 0),
              ChannelStore(*placed, fx.texts).findRecord(0, 0));
    EXPECT_TRUE(compareDataSets(*before, *placed, fx.texts, fx.boxes).empty())
        << "placement is no difference";

    std::mt19937 rng(4711);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    auto inPool = [](Area area, std::size_t i) {
        return (area == Area::Main && i >= test::kRecords && i < test::kRecords + 0x1000) ||
               (area == Area::Ext && i >= test::kChannelNames && i < test::kChannelNames + 0x1000);
    };
    for (int trial = 0; trial < 200; ++trial) {
        auto after = std::make_unique<Document>(*placed);
        const Byte bit = Byte(1u << pick(8));
        std::string what;
        std::optional<std::pair<int, int>> channel;
        if (trial % 2 == 0) {
            channel = channels[pick(channels.size())];
            ChannelStore store(*after, fx.texts);
            const std::size_t i = pick(32);
            const int r = store.findRecord(channel->first, channel->second);
            (i < 16 ? store.record(r)[i] : store.recordName(r)[i - 16]) ^= bit;
            what = "channel " + std::to_string(channel->second + 1) + " byte " + std::to_string(i);
        } else {
            const Area area = std::array{Area::Main, Area::Dtmf, Area::Ext}[pick(3)];
            auto bytes = after->image().working().area(area);
            std::size_t i;
            do
                i = pick(bytes.size());
            while (inPool(area, i));
            bytes[i] ^= bit;
            what = areaName(area) + " " + std::to_string(i);
        }
        const DataSetDiff d = compareDataSets(*before, *after, fx.texts, fx.boxes);
        ASSERT_FALSE(d.empty()) << what << " bit " << int(bit);
        if (!channel) continue;
        const bool named = std::any_of(d.groups.begin(), d.groups.end(), [&](const GroupChange& g) {
            return g.group == channel->first &&
                   std::any_of(g.channels.begin(), g.channels.end(),
                               [&](const ChannelChange& c) { return c.channel == channel->second; });
        });
        EXPECT_TRUE(named) << what << " bit " << int(bit);
    }
}

// Compare with File: the file is the before side, the data set being edited the after side, and
// what opening the file said is a note about the file, not a box about the edited data set.
TEST(DataSetDiffFile, FileBeforeEditedAfterWithNotesAboutTheFile) {
    LanguageFile texts;
    ASSERT_EQ(texts.load(std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng"), LanguageFile::Status::Ok);
    test::RecordingMessenger messenger;
    MessageBoxes boxes(messenger, texts);
    test::TempDir dir;
    auto file = baseDocument(boxes, texts);
    file->image().main()[test::kGroupTable] = 0x05; // a first position that does not fit: rebuilt on open
    ASSERT_TRUE(writeDataFile(file->image(), dir.file("other.dat")).ok());
    auto current = baseDocument(boxes, texts);
    ChannelStore store(*current, texts);
    test::put(store, 2, 0);
    store.padNames();

    const auto result = compareWithDataFile(*current, dir.file("other.dat"), texts, boxes);
    ASSERT_TRUE(result);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(result->sides, "From other.dat (before) to the data set being edited, velora.dat (after):");
    ASSERT_EQ(result->notes.size(), 1u);
    EXPECT_EQ(result->notes[0].rfind("Note on other.dat: ", 0), 0u) << result->notes[0];
    EXPECT_NE(result->notes[0].find(std::string(texts.text(221)).substr(0, 20)), std::string::npos);
    ASSERT_FALSE(result->lines.empty());
    EXPECT_EQ(result->lines[0], "Group 3 added");

    EXPECT_FALSE(compareWithDataFile(*current, dir.file("missing.dat"), texts, boxes));
    EXPECT_EQ(messenger.shown.size(), 1u) << "a file that cannot be opened says why in a box";
}

} // namespace
} // namespace velora
