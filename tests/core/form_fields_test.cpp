#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "features/GroupChannelPair.h"
#include "forms/FeatureArea.h"
#include "forms/FieldRules.h"

using namespace velora;
using namespace velora::forms;

TEST(Stepping, WrapGoesRoundAtBothEnds) {
    NumericRange r{0, 8, 1};
    EXPECT_EQ(stepWithWrap(8, r, +1), 0);
    EXPECT_EQ(stepWithWrap(0, r, -1), 8);
    EXPECT_EQ(stepWithWrap(3, r, +1), 4);
    EXPECT_EQ(stepWithWrap(3, r, 0), 3);
    EXPECT_EQ(stepWithWrap(200, r, +1), 0); // out of range: up to the minimum,
    EXPECT_EQ(stepWithWrap(200, r, -1), 8); // down to the maximum
}

TEST(Stepping, StepNeverOvershootsTheRange) {
    NumericRange r{5, 50, 5};
    EXPECT_EQ(stepWithWrap(47, r, +1), 50);
    EXPECT_EQ(stepWithWrap(7, r, -1), 5);
    EXPECT_EQ(stepWithWrap(250, NumericRange{0, 255, 10}, +1), 255); // no byte wrap-around
}

TEST(Stepping, SpecialSitsBetweenMaximumAndMinimum) {
    NumericRange r{1, 30, 1};
    EXPECT_EQ(stepWithSpecial(30, r, 0xFF, +1), 0xFF);
    EXPECT_EQ(stepWithSpecial(0xFF, r, 0xFF, +1), 1);
    EXPECT_EQ(stepWithSpecial(1, r, 0xFF, -1), 0xFF);
    EXPECT_EQ(stepWithSpecial(0xFF, r, 0xFF, -1), 30);
    EXPECT_EQ(stepWithSpecial(12, r, 0xFF, -1), 11);
    EXPECT_EQ(stepWithSpecial(0, r, 0xFF, +1), 1); // outside: to the minimum / maximum
    EXPECT_EQ(stepWithSpecial(40, r, 0xFF, -1), 30);
}

TEST(ClampNumberText, ClampsRoundsAndRewrites) {
    std::string t = "45";
    EXPECT_EQ(clampNumberText(t, {0, 31, 1}), 31);
    EXPECT_EQ(t, "31");
    t = "abc";
    EXPECT_EQ(clampNumberText(t, {0, 31, 1}), 0);
    EXPECT_EQ(t, "0");
    t = "737ms";
    EXPECT_EQ(clampNumberText(t, {100, 1000, 50}), 700);
    EXPECT_EQ(t, "700");
    t = "7";
    EXPECT_EQ(clampNumberText(t, {5, 50, 10}), 5); // rounding from 0 stays inside the range
    t = "-3";
    EXPECT_EQ(clampNumberText(t, {0, 31, 1}), 0);
    // Both sides of each end and of a step.
    struct Case {
        const char* typed;
        NumericRange range;
        int value;
    } cases[] = {
        {"31", {0, 31, 1}, 31}, {"32", {0, 31, 1}, 31},        {"0", {0, 31, 1}, 0},
        {"-1", {0, 31, 1}, 0},  {"749", {100, 1000, 50}, 700}, {"750", {100, 1000, 50}, 750},
    };
    for (const Case& c : cases) {
        t = c.typed;
        EXPECT_EQ(clampNumberText(t, c.range), c.value) << c.typed;
        EXPECT_EQ(t, std::to_string(c.value)) << c.typed;
    }
}

TEST(ClampNumberText, LongDigitStringsSaturateInsteadOfWrapping) {
    std::string t = "99999999999999999999";
    EXPECT_EQ(clampNumberText(t, {0, 31, 1}), 31);
    EXPECT_EQ(t, "31");
    t = "4294967297"; // 2^32 + 1 would wrap to 1
    EXPECT_EQ(clampNumberText(t, {0, 31, 1}), 31);
    EXPECT_EQ(leadingInt("-99999999999999"), INT_MIN);
    t = "12";
    EXPECT_EQ(clampNumberText(t, {9, 3, 1}), 12); // reversed range: raw, text untouched
    EXPECT_EQ(t, "12");
}

TEST(ValueLists, FirstMatchingItemAndNoneForUnknownBytes) {
    constexpr ValueItem list[] = {{263, 0xFF}, {295, 0}, {296, 0}};
    EXPECT_EQ(valueListText(list, 0), 295);
    EXPECT_EQ(valueListText(list, 0xFF), 263);
    EXPECT_FALSE(valueListText(list, 7).has_value());
}

TEST(FixedTexts, BlankToFill) {
    std::array<Byte, 4> blank{' ', 0, ' ', ' '};
    blankToFill(blank, 4);
    EXPECT_EQ(blank, (std::array<Byte, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    std::array<Byte, 4> lead{0, 'A', 'B', 'C'};
    blankToFill(lead, 4); // starts with NUL: zeroed, which is all NUL, hence unset
    EXPECT_EQ(lead, (std::array<Byte, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    std::array<Byte, 4> text{'A', ' ', ' ', ' '};
    blankToFill(text, 4);
    EXPECT_EQ(text, (std::array<Byte, 4>{'A', ' ', ' ', ' '}));
    std::array<Byte, 4> r{0, 'A', 0, 0};
    replaceBytes(r, 3, 0, ' ');
    EXPECT_EQ(r, (std::array<Byte, 4>{' ', 'A', ' ', 0}));
}

namespace {
// A small area over a few common-settings bytes, exercising each storage kind.
constexpr ValueItem kOnOff[] = {{278, 0}, {277, 1}};
constexpr FieldDescriptor kPage0[] = {
    {.labelControl = 10,
     .valueControl = 11,
     .spinControl = 12,
     .labelText = 400,
     .kind = FieldKind::EditSpin,
     .help = 102,
     .charClass = CharClass::Digits,
     .maxLength = 2,
     .storage = numberAt(0x16, {0, 31, 1})},
    {.labelControl = 20,
     .valueControl = 21,
     .labelText = 405,
     .kind = FieldKind::EditSpin,
     .storage = numberAt(0x39, {1, 30, 1}, {296, 0xFF}, StepRule::Special, 0xFF)},
    {.labelControl = 30,
     .valueControl = 31,
     .labelText = 403,
     .kind = FieldKind::List,
     .storage = listAt(0x2C, kOnOff)},
    {.labelControl = 40,
     .valueControl = 40,
     .labelText = 411,
     .kind = FieldKind::Check,
     .storage = checkAt(0x38, {281, 282}, 0, 0xFF, true)},
};
constexpr FieldPage kPages[] = {{396, kPage0}};

class DemoArea : public FeatureArea {
  public:
    using FeatureArea::FeatureArea;
    int titleText() const override { return 245; }
    int defaultHelp() const override { return 32; }
    std::span<const FieldPage> pages() const override { return kPages; }
};

struct AreaFixture : ::testing::Test {
    test::MessengerFixture m;
    Document doc;
    DemoArea area{doc, m.boxes};
    Byte& at(std::size_t off) { return doc.image().main()[off]; }
};
} // namespace

TEST_F(AreaFixture, NumberFieldShowsInRangeOnlyAndCommitsClamped) {
    at(0x16) = 12;
    EXPECT_EQ(area.fieldText(0, 0).text, "12");
    at(0x16) = 40;
    EXPECT_EQ(area.fieldText(0, 0).text, "");
    EXPECT_EQ(at(0x16), 40); // shown empty, left alone
    area.commitField(0, 0, "45");
    EXPECT_EQ(at(0x16), 31);
    area.stepField(0, 0, "31", +1);
    EXPECT_EQ(at(0x16), 0);
    area.stepField(0, 0, "7", -1); // the typed text is committed before stepping
    EXPECT_EQ(at(0x16), 6);
}

TEST_F(AreaFixture, SpecialTextAndEmptyTextStoreTheSpecialByte) {
    at(0x39) = 0xFF;
    EXPECT_EQ(area.fieldText(0, 1).text, "T296");
    at(0x39) = 5;
    area.commitField(0, 1, "T296");
    EXPECT_EQ(at(0x39), 0xFF);
    at(0x39) = 5;
    area.commitField(0, 1, "  ");
    EXPECT_EQ(at(0x39), 0xFF);
    at(0x39) = 5;
    area.commitField(0, 1, " \t");
    EXPECT_EQ(at(0x39), 0xFF) << "a tab is as blank as a space";
    area.stepField(0, 1, "30", +1);
    EXPECT_EQ(at(0x39), 0xFF);
    area.stepField(0, 1, "T296", +1);
    EXPECT_EQ(at(0x39), 1);
}

TEST_F(AreaFixture, ListsAndChecksStoreTheirBytes) {
    at(0x2C) = 1;
    EXPECT_EQ(area.fieldText(0, 2).text, "T277");
    at(0x2C) = 9;
    EXPECT_EQ(area.fieldText(0, 2).text, "");
    area.commitChoice(0, 2, -1); // no selection stores nothing
    EXPECT_EQ(at(0x2C), 9);
    area.commitChoice(0, 2, 0);
    EXPECT_EQ(at(0x2C), 0);

    at(0x38) = 0x12;
    EXPECT_EQ(area.fieldText(0, 3).value, 1); // ticked unless cleared
    area.commitChoice(0, 3, 0);
    EXPECT_EQ(at(0x38), 0xFF);
    EXPECT_EQ(area.fieldText(0, 3).value, 0);
    area.commitChoice(0, 3, 1);
    EXPECT_EQ(at(0x38), 0);
}

TEST_F(AreaFixture, HelpFallsBackToTheDefaultAndControlsAreFoundInPageOrder) {
    EXPECT_EQ(area.helpTopic(0, 0), 102);
    EXPECT_EQ(area.helpTopic(0, 1), 32);
    EXPECT_EQ(area.helpTopic(3, 0), 32);
    ASSERT_TRUE(area.findValueControl(31));
    EXPECT_EQ(*area.findValueControl(31), (FieldRef{0, 2}));
    EXPECT_FALSE(area.findValueControl(999));
    EXPECT_FALSE(area.findValueControl(0));
}

namespace {
struct PairFixture : ::testing::Test {
    test::MessengerFixture m;
    Document doc;
    ChannelStore store{doc, m.texts};
    GroupChannelPair home{GroupChannelPair::Slot::Home};
    Byte& group() { return doc.image().main()[0x54]; }
    Byte& channel() { return doc.image().main()[0x55]; }
    void SetUp() override {
        doc.image().reset();
        for (auto [g, c] : {std::pair{2, 0}, {2, 4}, {6, 1}}) {
            int r = store.addChannel(g, c);
            ASSERT_GE(r, 0);
            store.record(r)[0] = 0x00; // a receive frequency makes the channel exist
        }
        group() = 2;
        channel() = 4;
    }
};
} // namespace

TEST_F(PairFixture, MissingGroupIsRefusedWithMessage241AndChangesNothing) {
    EXPECT_EQ(home.commitGroup("4", store, m.boxes), GroupChannelPair::Result::Refused);
    EXPECT_EQ(home.commitGroup("999999999999", store, m.boxes), GroupChannelPair::Result::Refused);
    EXPECT_EQ(home.commitGroup("0", store, m.boxes), GroupChannelPair::Result::Refused);
    EXPECT_EQ(m.messenger.ids(), (std::vector<int>{241, 241, 241}));
    EXPECT_EQ(group(), 2);
    EXPECT_EQ(channel(), 4);
}

TEST_F(PairFixture, NewGroupClearsTheChannelAndTheSameGroupChangesNothing) {
    EXPECT_EQ(home.commitGroup("3", store, m.boxes), GroupChannelPair::Result::Unchanged);
    EXPECT_EQ(channel(), 4);
    EXPECT_EQ(home.commitGroup("7", store, m.boxes), GroupChannelPair::Result::Stored);
    EXPECT_EQ(group(), 6);
    EXPECT_EQ(channel(), 0xFF);
    EXPECT_EQ(home.groupText(doc), "7");
    EXPECT_EQ(home.channelText(doc), "");
    EXPECT_EQ(home.commitGroup("", store, m.boxes), GroupChannelPair::Result::Stored);
    EXPECT_EQ(group(), 0xFF);
    EXPECT_TRUE(m.messenger.shown.empty());
}

TEST_F(PairFixture, ChannelMustExistInThePairsGroup) {
    EXPECT_EQ(home.commitChannel("2", store, m.boxes), GroupChannelPair::Result::Refused); // only in group 7
    EXPECT_EQ(channel(), 4);
    EXPECT_EQ(home.commitChannel("1", store, m.boxes), GroupChannelPair::Result::Stored);
    EXPECT_EQ(channel(), 0);
    EXPECT_EQ(home.commitChannel("", store, m.boxes), GroupChannelPair::Result::Stored);
    EXPECT_EQ(channel(), 0xFF);
    EXPECT_EQ(m.messenger.ids(), (std::vector<int>{241}));
}

namespace {
// Commits the pair again while its message box is up, as a focus change during the box would.
struct ReenteringMessenger : Messenger {
    std::function<void()> duringShow;
    int count = 0;
    MsgAnswer show(const Message&) override {
        ++count;
        if (duringShow) duringShow();
        return MsgAnswer::Ok;
    }
};
} // namespace

TEST_F(PairFixture, GuardStopsASecondCommitWhileTheMessageIsUp) {
    ReenteringMessenger messenger;
    MessageBoxes boxes{messenger, m.texts};
    GroupChannelPair::Result inner{};
    messenger.duringShow = [&] { inner = home.commitGroup("9", store, boxes); };
    EXPECT_EQ(home.commitGroup("9", store, boxes), GroupChannelPair::Result::Refused);
    EXPECT_EQ(inner, GroupChannelPair::Result::Busy);
    EXPECT_EQ(messenger.count, 1);
    // Released afterwards.
    messenger.duringShow = nullptr;
    EXPECT_EQ(home.commitGroup("9", store, boxes), GroupChannelPair::Result::Refused);
    EXPECT_EQ(messenger.count, 2);
}
