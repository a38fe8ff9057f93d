// Fleet manifests: reading the CSV, building each radio's data set from the base, and refusing
// rows and fleets that would program radios wrongly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "base/LanguageFile.h"
#include "dataset/DataSetInit.h"
#include "dataset/FleetManifest.h"

namespace velora {
namespace {

// The item texts a manifest names ("DTMF") are the language file's.
struct MessengerFixture {
    MessengerFixture() {
        EXPECT_EQ(texts.load(std::filesystem::path(VELORA_SOURCE_DATA) / "velora.lng"),
                  LanguageFile::Status::Ok);
    }
    LanguageFile texts;
    test::RecordingMessenger messenger;
    MessageBoxes boxes{messenger, texts};
};

struct ManifestCase {
    const char* name;
    const char* csv;
    const char* error;   // part of the reading error; nullptr when the manifest reads
    const char* refusal; // part of the first row refusal; nullptr when every row builds
    const char* changed; // part of a change report; nullptr when none
    int duplicates;      // duplicate lines expected
};

const ManifestCase kManifestCases[] = {
    {"no_radio_column", "label,dravix.id\nA,1\n", "Line 1: No 'radio' column", nullptr, nullptr, 0},
    {"label_twice", "radio,dravix.id\nA,1\nB,2\nA,3\n", "Line 4, column radio", nullptr, nullptr, 0},
    {"more_cells_than_columns", "radio,dravix.id\nA,1,2\n", "Line 2: More cells", nullptr, nullptr, 0},
    {"unknown_key", "radio,dravix.nothing\nA,1\n", nullptr, "Line 2, column dravix.nothing", nullptr, 0},
    {"refused_value", "radio,emergency.type\nA,\nB,Loud\n", nullptr, "Line 3, column emergency.type", nullptr,
     0},
    // A field a column before enables enters the row's later column.
    {"enabled_by_earlier_column", "radio,emergency.type,emergency.dtmf_id\nA,DTMF,123\n", nullptr, nullptr,
     nullptr, 0},
    {"disabled_field", "radio,emergency.dtmf_id\nA,123\n", nullptr, "Line 2, column emergency.dtmf_id",
     nullptr, 0},
    {"clamped_value_reported", "radio,dravix.fleet,dravix.id\nA,999,1001\n", nullptr, nullptr,
     "Line 2, column dravix.fleet: \"999\" -> \"349\"", 0},
    {"distinct_pairs", "radio,dravix.fleet,dravix.id\nA,100,1001\nB,100,1002\nC,101,1001\n", nullptr, nullptr,
     nullptr, 0},
    {"same_pair", "radio,dravix.fleet,dravix.id\nA,100,1001\nB,101,1001\nC,100,1001\n", nullptr, nullptr,
     nullptr, 1},
    // An empty cell is the base's value, so two empty ID cells give two radios the same ID.
    {"empty_cells_share_base", "radio,dravix.id\nA,\nB,\nC,1005\n", nullptr, nullptr, nullptr, 1},
    {"no_unique_column", "radio,options.power_on_text\nA,X\nB,X\n", nullptr, nullptr, nullptr, 0},
    {"no_dtmf_id_is_no_duplicate", "radio,emergency.dtmf_id\nA,\nB,\n", nullptr, nullptr, nullptr, 0},
    {"same_dtmf_id", "radio,emergency.type,emergency.dtmf_id\nA,DTMF,123\nB,DTMF,124\nC,DTMF,123\n", nullptr,
     nullptr, nullptr, 1},
};

class FleetManifestTest : public ::testing::TestWithParam<ManifestCase>, public MessengerFixture {};

TEST_P(FleetManifestTest, ReadsBuildsAndRefuses) {
    const auto& c = GetParam();
    std::istringstream in(c.csv);
    std::string error;
    const auto m = fleet::readManifest(in, texts, error);
    if (c.error) {
        ASSERT_FALSE(m);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        return;
    }
    ASSERT_TRUE(m) << error;
    Document base;
    defaultInitialise(base, true, false);
    std::vector<fleet::RowBuild> built;
    std::string refusal, changed;
    for (std::size_t r = 0; r < m->rows.size(); ++r) {
        Document doc;
        built.push_back(fleet::buildRow(base, *m, r, doc, boxes));
        if (built.back().refusal && refusal.empty()) refusal = *built.back().refusal;
        for (const auto& l : built.back().changed)
            changed += l + '\n';
    }
    if (c.refusal)
        EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
    else
        EXPECT_EQ(refusal, "");
    if (c.changed)
        EXPECT_NE(changed.find(c.changed), std::string::npos) << changed;
    else
        EXPECT_EQ(changed, "");
    EXPECT_EQ(int(fleet::duplicateLines(*m, built, texts).size()), c.duplicates);
}

INSTANTIATE_TEST_SUITE_P(Cases, FleetManifestTest, ::testing::ValuesIn(kManifestCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FleetManifestFixture : public ::testing::Test, public MessengerFixture {};

// An empty cell keeps the base byte for byte; a set cell changes only what it names.
TEST_F(FleetManifestFixture, EmptyCellKeepsTheBase) {
    std::istringstream in("radio,options.power_on_text,dravix.id\nA,,\nB,HELLO,\n");
    std::string error;
    const auto m = fleet::readManifest(in, texts, error);
    ASSERT_TRUE(m) << error;
    Document base;
    defaultInitialise(base, true, false);
    Document a, b;
    fleet::buildRow(base, *m, 0, a, boxes);
    fleet::buildRow(base, *m, 1, b, boxes);
    const auto same = [&](Document& d) { return std::ranges::equal(d.image().main(), base.image().main()); };
    EXPECT_TRUE(same(a));
    EXPECT_FALSE(same(b));
}

// A fleet far larger than any real one is checked in well under a second.
TEST_F(FleetManifestFixture, TenThousandRowsInUnderASecond) {
    std::string csv = "radio,dravix.fleet,dravix.id,emergency.type,emergency.dtmf_id\n";
    for (int i = 0; i < 10000; ++i)
        csv += "R" + std::to_string(i) + "," + std::to_string(100 + i / 4000) + "," +
               std::to_string(1000 + i % 4000) + ",DTMF," + std::to_string(10000 + i) + "\n";
    std::istringstream in(csv);
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const auto m = fleet::readManifest(in, texts, error);
    ASSERT_TRUE(m) << error;
    Document base;
    defaultInitialise(base, true, false);
    std::vector<fleet::RowBuild> built;
    Document doc;
    for (std::size_t r = 0; r < m->rows.size(); ++r)
        built.push_back(fleet::buildRow(base, *m, r, doc, boxes));
    EXPECT_TRUE(fleet::duplicateLines(*m, built, texts).empty());
    const auto took = std::chrono::steady_clock::now() - start;
#ifdef __SANITIZE_ADDRESS__
    constexpr auto kBound = std::chrono::seconds(5); // the sanitizer's own slowdown
#else
    constexpr auto kBound = std::chrono::seconds(1);
#endif
    EXPECT_LT(took, kBound);
    EXPECT_FALSE(built.back().refusal) << *built.back().refusal;
}

} // namespace
} // namespace velora
