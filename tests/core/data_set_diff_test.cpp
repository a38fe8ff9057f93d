// The comparison of two data sets by meaning: channels per group by CSV column, fields by key,
// and only the bytes that show nowhere as ranges.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "dataset/DataSetDiff.h"
#include "dataset/DataSetInit.h"
#include "features/FieldAccess.h"

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
    if (diff.empty()) EXPECT_EQ(diffLines(diff, texts), std::vector<std::string>{"T565"});
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
         EXPECT_EQ(d.groups[0].channels[0].kind, ChangeKind::Added);
         EXPECT_EQ(d.groups[0].channels[0].channel, 6);
         EXPECT_TRUE(d.bytes.empty()) << "the group tables show as the group";
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
    d.groups.push_back({ChangeKind::Changed, 0, {}, {{ChangeKind::Changed, 1, {{"rx", "151.8125", "152"}}}}});
    EXPECT_EQ(diffLines(d, texts), (std::vector<std::string>{"T559", "  T562: rx \"151.8125\" -> \"152\""}));
}

} // namespace
} // namespace velora
