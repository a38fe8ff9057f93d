// The printed report: page plan by selection and orientation, channel page breaks, page numbers,
// and rows whose texts are known from the data set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "ChannelTestUtil.h"
#include "TestSupport.h"
#include "base/LanguageFile.h"
#include "dataset/DataSetInit.h"
#include "features/FieldAccess.h"
#include "print/DeliverySheet.h"
#include "print/ReportLayout.h"
#include "print/TextRender.h"

namespace velora::print {
namespace {

using test::RecordingMessenger;

struct Report : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(texts.load(std::string(VELORA_SOURCE_DATA) + "/velora.lng"), LanguageFile::Status::Ok);
    }
    void fresh(RunOptions run = {}) {
        doc = std::make_unique<Document>(run);
        defaultInitialise(*doc, true, false);
    }
    void set(ModelIdentification id) {
        setIdentification(doc->image(), id);
        doc->codec().loadBandLimits(id);
    }
    void setField(const std::string& key, const std::string& value) {
        forms::FieldAccess access(*doc, boxes);
        ASSERT_FALSE(access.set(key, value)) << key;
    }
    std::vector<PlanEntry> plan(unsigned sections, bool landscape = false) {
        Selection s;
        s.sections = sections;
        return ReportLayout(*doc, boxes).pagePlan(s, landscape);
    }
    PageDescription build(Selection s, bool landscape = false, const TestSheetValues* sheet = nullptr) {
        ReportOptions o;
        o.selection = s;
        o.landscape = landscape;
        if (landscape) std::swap(o.width, o.height);
        o.stamp = "STAMP";
        o.testSheet = sheet;
        return ReportLayout(*doc, boxes).build(o);
    }
    // The texts of the row of `page` that holds `first`, left to right.
    static std::vector<std::string> row(const Page& page, const std::string& first) {
        auto it = std::find_if(page.texts.begin(), page.texts.end(),
                               [&](const TextRun& t) { return t.text == first; });
        if (it == page.texts.end()) return {};
        std::vector<TextRun> same;
        for (const TextRun& t : page.texts)
            if (t.y == it->y) same.push_back(t);
        std::sort(same.begin(), same.end(), [](const TextRun& a, const TextRun& b) { return a.x < b.x; });
        std::vector<std::string> out;
        for (const TextRun& t : same)
            out.push_back(t.text);
        return out;
    }

    LanguageFile texts;
    RecordingMessenger messenger;
    MessageBoxes boxes{messenger, texts};
    std::unique_ptr<Document> doc;
};

TEST_F(Report, PlanFollowsSelectionOrientationAndDataSet) {
    using K = PageKind;
    struct Case {
        const char* name;
        unsigned sections;
        bool landscape;
        bool dual; // dual head and dual band
        std::vector<PlanEntry> want;
    };
    const std::vector<Case> cases = {
        {"model only: one header page", section::kModel, false, false, {{K::Empty, 0}}},
        {"optional features: both lists",
         section::kOptions,
         false,
         false,
         {{K::Options, 0}, {K::Options, 1}}},
        {"keys: one head", section::kKeys, false, false, {{K::Keys, 0}}},
        {"keys: two heads", section::kKeys, false, true, {{K::Keys, 0}, {K::Keys, 1}}},
        {"2-tone portrait", section::kTwoTone, false, false, {{K::TwoTone, 0}}},
        {"2-tone landscape", section::kTwoTone, true, false, {{K::TwoTone, 0}, {K::TwoTone, 1}}},
        {"dtmf landscape with auto dial", section::kDtmf, true, false, {{K::Dtmf, 0}, {K::Dtmf, 1}}},
        {"function port", section::kFunctionPort, false, false, {{K::FunctionPort, 0}, {K::FunctionPort, 1}}},
        {"repeater list needs dual band", section::kRepeaterList, false, false, {{K::Empty, 0}}},
        {"test frequency dual band",
         section::kTestFrequency,
         false,
         true,
         {{K::TestFrequency, 0}, {K::TestFrequency, 1}}},
        {"order of the sections",
         section::kTestFrequency | section::kScan | section::kDravix,
         false,
         false,
         {{K::Scan, 0}, {K::Dravix, 0}, {K::TestFrequency, 0}}},
    };
    for (const Case& c : cases) {
        fresh();
        if (c.dual) {
            ModelIdentification id = test::dualBand(4, 6);
            id.setDualHead(true);
            set(id);
        }
        EXPECT_EQ(plan(c.sections, c.landscape), c.want) << c.name;
    }
    fresh();
    setField("dtmf.auto_dial", "0");
    EXPECT_EQ(plan(section::kDtmf, true), (std::vector<PlanEntry>{{K::Dtmf, 0}})) << "no auto-dial page";
}

TEST_F(Report, ChannelPagesBreakByOrientationOnAFullDataSet) {
    fresh(RunOptions{true, false});
    ChannelStore store(*doc, texts);
    for (int c = 0; c < 254; ++c)
        ASSERT_GE(test::put(store, 0, c), 0);
    ASSERT_GE(test::put(store, 1, 0), 0);
    struct Case {
        int start, end;
        bool landscape;
        std::size_t pages;
    };
    ReportLayout layout(*doc, boxes);
    for (const Case& c : std::vector<Case>{
             {1, 1, false, 1 + 252 / 3},      // 2 on the first page, then 3 a page
             {1, 1, true, 1 + (253 + 1) / 2}, // 1, then 2 a page
             {2, 4, false, 1},                // groups 3 and 4 have no channels
             {1, 160, false, 1 + 252 / 3 + 1},
         }) {
        Selection s;
        s.sections = section::kChannels;
        s.startGroup = c.start;
        s.endGroup = c.end;
        EXPECT_EQ(layout.channelPages(s, c.landscape).size(), c.pages) << c.start << "-" << c.end;
    }
    Selection all = everySection(*doc);
    const auto planned = layout.pagePlan(all, false);
    const PageDescription pages = build(all);
    ASSERT_EQ(pages.pages.size(), planned.size()) << "every planned page fits its sheet";
    for (std::size_t i = 0; i < pages.pages.size(); ++i) {
        const std::string number = "Page :" +
                                   std::string(i + 1 < 10    ? "  "
                                               : i + 1 < 100 ? " "
                                                             : "") +
                                   std::to_string(i + 1);
        const auto& t = pages.pages[i].texts;
        EXPECT_TRUE(
            std::any_of(t.begin(), t.end(), [&](const TextRun& r) { return r.text == "STAMP   " + number; }))
            << "page " << i + 1;
    }
    const std::string text = renderText(pages);
    EXPECT_EQ(std::size_t(std::count(text.begin(), text.end(), '\f')), pages.pages.size() - 1);
}

TEST_F(Report, GroupOfThreeChannelsTakesTwoPagesEitherWay) {
    fresh();
    ChannelStore store(*doc, texts);
    for (int c = 0; c < 3; ++c)
        ASSERT_GE(test::put(store, 0, c), 0);
    ReportLayout layout(*doc, boxes);
    Selection s;
    s.sections = section::kChannels;
    EXPECT_EQ(layout.channelPages(s, false), (std::vector<ChannelPage>{{true, 0, {0, 1}}, {false, 0, {2}}}));
    EXPECT_EQ(layout.channelPages(s, true), (std::vector<ChannelPage>{{true, 0, {0}}, {false, 0, {1, 2}}}));
}

TEST_F(Report, RowsPrintTheEditorsTexts) {
    fresh();
    ChannelStore store(*doc, texts);
    ASSERT_GE(store.addChannel(0, 0), 0);
    ASSERT_TRUE(store.setChannelFieldText("151", 0, 0, ChannelField::RxFrequency, nullptr));
    ASSERT_TRUE(store.setChannelFieldText("ALPHA", 0, 0, ChannelField::Name, nullptr));
    Selection s;
    s.sections = section::kChannels | section::kTestFrequency;
    const PageDescription pages = build(s);
    ASSERT_EQ(pages.pages.size(), 2u);
    EXPECT_EQ(row(pages.pages[0], " 1"), (std::vector<std::string>{" 1", "161.10000", "161.00000"}));
    EXPECT_EQ(row(pages.pages[0], "16"),
              (std::vector<std::string>{"16", "--------------", "--------------"}));
    const Page& ch = pages.pages[1];
    EXPECT_EQ(row(ch, "RX Frequency"),
              (std::vector<std::string>{"RX Frequency", "151.00000", "Busy Channel Lockout", "No"}));
    EXPECT_EQ(row(ch, "Channel Name").at(1), "ALPHA");
    EXPECT_EQ(row(ch, "Remote Channel No.").at(1), "--------------") << "a field that does not apply";
}

// Fixed-length texts stand side by side in the image without terminators: each prints with its own
// length only.
TEST_F(Report, FullLengthTextsNeverRunIntoTheirNeighbours) {
    fresh();
    setField("message.line_1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    setField("message.line_2", "abcdefghijklmnopqrstuvwxyz6789!?");
    setField("dtmf.3.1", "0123456789ABCD*#");
    setField("dtmf.3.2", "9876543210");
    setField("ost.1.1.name", "NAME_ONE");
    setField("ost.1.2.name", "NAME_TWO");
    Selection s;
    s.sections = section::kMessage | section::kDtmf | section::kOst;
    const PageDescription pages = build(s);
    const Page& first = pages.pages.front();
    EXPECT_EQ(row(first, "Embedded Message"),
              (std::vector<std::string>{"Embedded Message", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}));
    auto message2 = std::find_if(first.texts.begin(), first.texts.end(),
                                 [](const TextRun& t) { return t.text.rfind("abcdef", 0) == 0; });
    ASSERT_NE(message2, first.texts.end());
    EXPECT_EQ(message2->text, "abcdefghijklmnopqrstuvwxyz6789!?");
    EXPECT_EQ(row(pages.pages[0], " 1").back(), "0123456789ABCD*#");
    EXPECT_EQ(row(pages.pages[1], " 1").at(1), "NAME_ONE");
}

// The test-mode sheet splits its items at item 10 into two columns in either orientation.
TEST_F(Report, TestSheetUsesTheSameColumnsInLandscape) {
    fresh();
    TestSheetValues v;
    v.items = {0, 10};
    v.record.fill(7);
    v.record[comm::kRecordVolume] = 33;
    Selection s;
    s.sections = section::kModel | section::kTestSheet;
    for (bool landscape : {false, true}) {
        const PageDescription pages = build(s, landscape, &v);
        ASSERT_EQ(pages.pages.size(), 1u);
        const auto left = row(pages.pages[0], texts.text(103).data());
        ASSERT_FALSE(left.empty()) << landscape;
        EXPECT_EQ(left.size(), 4u) << "item 10 starts the right column at the top";
        EXPECT_EQ(left[1], "7");
        EXPECT_EQ(row(pages.pages[0], texts.text(197).data()),
                  (std::vector<std::string>{texts.text(197).data(), "33"}))
            << "the volume closes the right column, below item 10 wide and narrow";
    }
}

// The knob row comes first; the frame caption heads the key table with its column head under it.
TEST_F(Report, KeyPageShowsTheKnobAboveTheKeyTable) {
    fresh();
    Selection s;
    s.sections = section::kKeys;
    const PageDescription pages = build(s);
    const Page& page = pages.pages.at(0);
    auto y = [&](int n) {
        auto it = std::find_if(page.texts.begin(), page.texts.end(),
                               [&](const TextRun& t) { return t.text == texts.text(n); });
        return it == page.texts.end() ? 0.0 : it->y;
    };
    ASSERT_LT(y(461), 0.0);
    EXPECT_GT(y(464), y(465));
    EXPECT_GT(y(465), y(461));
}

TEST_F(Report, RangeEditsAndSectionLists) {
    struct Case {
        GroupRange from;
        bool start;
        int typed;
        GroupRange want;
    };
    for (const Case& c : std::vector<Case>{
             {{1, 20}, true, 150, {150, 150}},
             {{50, 160}, false, 20, {20, 20}},
             {{1, 160}, true, 0, {1, 160}},
             {{1, 160}, false, 999, {1, 160}},
         })
        EXPECT_EQ(c.start ? withStart(c.from, c.typed) : withEnd(c.from, c.typed), c.want) << c.typed;

    fresh();
    std::string error;
    auto parsed = parseSections("model,channels:5-20,dtmf", *doc, &error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->sections, section::kModel | section::kChannels | section::kDtmf);
    EXPECT_EQ(parsed->startGroup, 5);
    EXPECT_EQ(parsed->endGroup, 20);
    EXPECT_EQ(parseSections("all", *doc)->sections, section::kAll & ~section::kRepeaterList);
    EXPECT_FALSE(parseSections("model,bogus", *doc, &error));
    EXPECT_FALSE(parseSections("dtmf:1-2", *doc, &error));
}

// The delivery sheet of a production log: each radio once with its last result and its own values,
// lined up in the text form as on paper.
TEST_F(Report, DeliverySheetListsEachRadioOnceWithItsValuesAndResult) {
    const std::vector<fleet::LogLine> log{
        {"unit1", "t1", "COM1", "RM", "dravix.id=1001; emergency.dtmf_id=201", "verified", 0},
        {"Zo\xC3\xAB", "t2", "COM1", "RM", "options.power_on_text=ZOE", "failed at block 12", 2},
        {"unit3", "t3", "COM1", "RM", "", "skipped: another model (--force-model writes it)", 0},
        {"Zo\xC3\xAB", "t4", "COM1", "RM", "options.power_on_text=ZOE", "verified", 0},
    };
    const DeliveryHead head{"ACME Ltd", "2026-12-08", "base.dat", {"M1", "M2"}};
    EXPECT_EQ(renderText(deliverySheet(head, log, texts)),
              "Delivery sheet\n"
              "\n"
              "Customer:  ACME Ltd\n"
              "Date:      2026-12-08\n"
              "Data set:  base.dat\n"
              "Model:     M1, M2\n"
              "Radios:    3\n"
              "\n"
              "unit1  verified  dravix.id=1001; emergency.dtmf_id=201\n"
              "Zo\xEB    verified  options.power_on_text=ZOE\n"
              "unit3  skipped: another model (--force-model writes it)\n");

    // On letter paper a long row's values go on below it inside the frame, and a long fleet runs
    // over numbered pages with every radio on one of them.
    std::vector<fleet::LogLine> fleet;
    std::string values;
    for (int k = 0; k < 12; ++k)
        values += (k ? "; " : "") + std::string("options.power_on_text=NAME") + std::to_string(k);
    for (int r = 0; r < 100; ++r)
        fleet.push_back(
            {"R" + std::to_string(r), "", "", "", r == 7 ? values : "dravix.id=1", "verified", 0});
    const PageDescription paper = deliverySheet({}, fleet, texts, 800, 1050);
    ASSERT_GT(paper.pages.size(), 1u);
    std::vector<std::string> wrapped;
    int labels = 0;
    for (std::size_t p = 0; p < paper.pages.size(); ++p) {
        const Page& page = paper.pages[p];
        const std::string number =
            "Page " + std::to_string(p + 1) + " of " + std::to_string(paper.pages.size());
        EXPECT_EQ(std::count_if(page.texts.begin(), page.texts.end(),
                                [&](const TextRun& t) { return t.text == number; }),
                  1);
        for (const TextRun& t : page.texts) {
            if (t.font.face == Face::CourierNew) {
                EXPECT_LE(t.x + textWidth(t.text, t.font), 767.01) << t.text;
            }
            labels += t.text.size() > 1 && t.text[0] == 'R' && std::isdigit(t.text[1]) ? 1 : 0;
            if (t.text.rfind("options.", 0) == 0) wrapped.push_back(t.text);
        }
    }
    EXPECT_EQ(labels, 100);
    ASSERT_GT(wrapped.size(), 1u);
    std::string joined;
    for (const auto& w : wrapped)
        joined += (joined.empty() ? "" : " ") + w;
    EXPECT_EQ(joined, values);
}

} // namespace
} // namespace velora::print
