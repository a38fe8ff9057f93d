#include <gtest/gtest.h>

#include "TestSupport.h"
#include "comm/Tuning.h"
#include "model/ModelCatalogue.h"
#include "test_mode_fakes.h"

using namespace velora;
using namespace velora::comm;
using namespace velora::test;

namespace {

constexpr Byte kOn = 0x0D, kOff = 0x0E, kUp = 0x0A, kDown = 0x0B;

// Test mode entered on a radio that agrees with the data set.
struct Tuner {
    FakeLink link;
    RecordingClock clock;
    RadioProtocol protocol{link, clock};
    TestModeRadio radio{link};
    RecordingTestModeUi ui;
    TestModeShared shared;
    MemoryImage image;
    NumberedTexts texts;
    TestModeSession session{protocol, texts, ui, shared, image};

    Tuner() {
        setIdentification(image, ModelIdentification(radio.id));
        std::fill_n(radio.testChannels.begin(), 8, Byte{0x11});
        std::copy(radio.testChannels.begin(), radio.testChannels.end(),
                  image.working().main.begin() + layout::kTestFreqModel1);
        EXPECT_EQ(session.begin(), EntryResult::Ok);
        radio.frames.clear();
    }
    int steps(Byte code, Byte direction) const {
        int n = 0;
        for (const auto& f : radio.frames)
            if (f == std::vector<Byte>{code, 0x0F, direction}) ++n;
        return n;
    }
};

} // namespace

TEST(Tuning, StepsGoToTheRadioOneByOne) {
    Tuner t;
    AdjustmentSession s(t.session, 0); // status byte 0 = 100
    ASSERT_TRUE(s.open());
    EXPECT_EQ(t.radio.frames.front(), (std::vector<Byte>{0x20, 0x0F, kOn}));
    EXPECT_EQ(s.value(), 100);
    ASSERT_TRUE(s.setValue(97));
    EXPECT_EQ(t.steps(0x20, kDown), 3);
    t.radio.frames.clear();
    ASSERT_TRUE(s.setValue(97));
    EXPECT_TRUE(t.radio.frames.empty());
    EXPECT_EQ(t.shared.record[adjustmentRecordIndex(0, 0, 0)], 97);
    ASSERT_TRUE(s.accept());
    EXPECT_EQ(t.radio.frames.back(), (std::vector<Byte>{0x20, 0x0F, kOff}));
}

TEST(Tuning, RetryAfterAFailedStepSendsOnlyTheStepsLeft) {
    struct Case {
        MsgAnswer answer;
        int radioSteps; // steps the radio took in the end
        bool failed;
    };
    for (const Case c : {Case{MsgAnswer::Retry, 5, false}, Case{MsgAnswer::Cancel, 2, true}}) {
        SCOPED_TRACE(c.radioSteps);
        Tuner t;
        AdjustmentSession s(t.session, 3); // item 3, status byte 1 = 101
        ASSERT_TRUE(s.open());
        // The third step is lost once; the first two were acknowledged.
        t.radio.drop = [](const std::vector<Byte>& f, int nth) { return f[0] == 0x12 && nth == 3; };
        t.ui.answers = {c.answer};
        EXPECT_EQ(s.setValue(106), !c.failed);
        EXPECT_EQ(t.ui.shown, std::vector<int>{209});
        EXPECT_EQ(t.radio.values[0x12], c.radioSteps);
        EXPECT_EQ(s.value(), 101 + c.radioSteps);
        EXPECT_EQ(t.shared.record[adjustmentRecordIndex(3, 0, 0)], 101 + c.radioSteps);
        EXPECT_EQ(s.failed(), c.failed);
        if (c.failed) {
            t.radio.frames.clear();
            EXPECT_TRUE(s.cancel()); // test mode closes as well; nothing more is sent here
            EXPECT_TRUE(t.radio.frames.empty());
        }
    }
}

TEST(Tuning, FourPointItemCarriesTheBandPointsAlong) {
    Tuner t;
    t.radio.points = {10, 20, 30, 253};
    AdjustmentSession s(t.session, 8);
    ASSERT_TRUE(s.open());
    EXPECT_EQ(t.radio.count(0x07), 1);
    EXPECT_EQ(s.value(), 10);
    ASSERT_TRUE(s.setValue(15));
    EXPECT_EQ(s.storedValue(1), 25);
    EXPECT_EQ(s.storedValue(3), 2);
    t.radio.frames.clear();
    ASSERT_TRUE(s.setTab(3));
    EXPECT_EQ(t.radio.frames, (std::vector<std::vector<Byte>>{{0x26, 0x0F, kOn}}));
    EXPECT_EQ(s.value(), 2);
    ASSERT_TRUE(s.setValue(3));
    EXPECT_EQ(t.steps(0x26, kUp), 1);
    EXPECT_EQ(s.storedValue(0), 15); // only the test-channel point moves the others
    // Tabs 0 to 3 exist, 4 and -1 do not.
    ASSERT_TRUE(s.setTab(0));
    EXPECT_EQ(s.value(), 15);
    t.radio.frames.clear();
    ASSERT_TRUE(s.setTab(4));
    ASSERT_TRUE(s.setTab(-1));
    EXPECT_TRUE(t.radio.frames.empty());
    EXPECT_EQ(s.tab(), 0);
}

TEST(Tuning, VolumeTransmitAndCancel) {
    Tuner t;
    AdjustmentSession s(t.session, 7);
    ASSERT_TRUE(s.open());
    t.radio.frames.clear();
    ASSERT_TRUE(s.setVolume(30));
    ASSERT_TRUE(s.toggleTransmit());
    EXPECT_EQ(t.radio.frames, (std::vector<std::vector<Byte>>{{'P', 0x0F, 0x1A, 30}, {0x08, 0x0F, kOn}}));
    EXPECT_EQ(s.volume(), 30);
    t.radio.frames.clear();
    EXPECT_FALSE(s.cancel());
    // Transmitter off, status re-read, test channel and signalling again, extension, item stopped.
    std::vector<Byte> commands;
    for (Byte c : t.radio.commands())
        if (c != kAck) commands.push_back(c);
    EXPECT_EQ(commands, (std::vector<Byte>{0x08, 0x05, 0x10, 0x11, '7', '8', 0x18}));
    EXPECT_FALSE(s.transmitting());

    // Items that may not transmit send nothing.
    AdjustmentSession squelch(t.session, 15);
    ASSERT_TRUE(squelch.open());
    t.radio.frames.clear();
    EXPECT_TRUE(squelch.toggleTransmit());
    EXPECT_TRUE(t.radio.frames.empty());
}

TEST(Tuning, CancelStepsEveryMovedPointBackAndReadsItBack) {
    struct Case {
        const char* name;
        int item;
        std::vector<std::pair<int, int>> moves; // tab, value
        Byte strayStatus;                       // status byte 0 after the steps back, 0: as it was
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"one point", 0, {{0, 102}}, 0, {}},
        {"test-channel point carries the others, then a band point", 8, {{0, 15}, {3, 46}}, 0, {}},
        {"the radio does not come back", 0, {{0, 102}}, 99, {kTextNotBack}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tuner t;
        t.radio.points = {10, 20, 30, 40};
        for (std::size_t p = 0; p < 4; ++p) // the status record holds the points too
            t.radio.status[6 + 2 * p] = t.radio.points[p];
        AdjustmentSession s(t.session, c.item);
        ASSERT_TRUE(s.open());
        for (const auto& [tab, value] : c.moves)
            ASSERT_TRUE(s.setTab(tab) && s.setValue(value));
        if (c.strayStatus) t.radio.status[0] = c.strayStatus;
        EXPECT_FALSE(s.cancel());
        for (const auto& [code, net] : t.radio.values)
            EXPECT_EQ(net, 0) << int(code);
        EXPECT_EQ(t.ui.shown, c.shown);
        EXPECT_EQ(t.radio.frames.back().back(), kOff); // the item stopped
    }
}

TEST(Tuning, KeyboardRules) {
    using Kind = AdjustmentKeyAction::Kind;
    struct Case {
        AdjustmentKey key;
        AdjustmentFocus focus;
        int item;
        bool transmitting;
        Kind kind;
        int delta;
    };
    const Case cases[] = {
        {AdjustmentKey::Right, AdjustmentFocus::Other, 0, false, Kind::Value, 1},
        {AdjustmentKey::Left, AdjustmentFocus::TabStrip, 0, false, Kind::Value, -1},
        {AdjustmentKey::Left, AdjustmentFocus::TabStrip, 8, false, Kind::None, 0},
        {AdjustmentKey::Up, AdjustmentFocus::Other, 0, false, Kind::Volume, 1},
        {AdjustmentKey::Down, AdjustmentFocus::Other, 0, true, Kind::None, 0},
        {AdjustmentKey::Space, AdjustmentFocus::Other, 0, false, Kind::Transmit, 0},
        {AdjustmentKey::Space, AdjustmentFocus::Ok, 0, false, Kind::None, 0},
        {AdjustmentKey::Space, AdjustmentFocus::Other, 13, false, Kind::None, 0},
        {AdjustmentKey::CtrlTab, AdjustmentFocus::Other, 8, false, Kind::NextTab, 1},
        {AdjustmentKey::CtrlTab, AdjustmentFocus::Other, 7, false, Kind::None, 0},
    };
    for (const auto& c : cases) {
        const AdjustmentKeyAction a = adjustmentKeyAction(c.key, c.focus, c.item, c.transmitting);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.delta, c.delta);
    }
}

TEST(Tuning, EachItemPointAndSpacingHasItsRecordByte) {
    struct Case {
        int item, tab, spacing;
        std::size_t byte;
    } cases[] = {
        {0, 0, 0, 0},   {1, 0, 0, 33},  {2, 0, 1, 34},  {3, 0, 0, 1},   {6, 0, 0, 4},
        {7, 0, 0, 5},   {7, 0, 1, 6},   {8, 0, 0, 7},   {8, 3, 0, 10},  {8, 0, 1, 11},
        {8, 3, 1, 14},  {9, 0, 0, 15},  {12, 0, 0, 21}, {12, 0, 1, 22}, {13, 0, 1, 23},
        {13, 3, 0, 26}, {14, 0, 1, 28}, {15, 0, 0, 29}, {15, 0, 1, 30}, {16, 0, 0, 35},
    };
    for (const Case& c : cases)
        EXPECT_EQ(adjustmentRecordIndex(c.item, c.tab, c.spacing), c.byte)
            << c.item << " " << c.tab << " " << c.spacing;
}

TEST(Tuning, DialogTexts) {
    NumberedTexts texts;
    EXPECT_EQ(adjustmentTitle(texts, 8, 1), "T111 (T120)");
    EXPECT_EQ(adjustmentTitle(texts, 13, 1), "T116");
    EXPECT_EQ(adjustmentTitle(texts, 6, 0), "T109");
    EXPECT_EQ(adjustmentTitle(texts, 7, 0), "T110 (T119)");
    EXPECT_EQ(adjustmentTitle(texts, 9, 1), "T112 (T120)");
    EXPECT_EQ(adjustmentTitle(texts, 12, 0), "T115 (T119)");
    EXPECT_EQ(adjustmentTitle(texts, 15, 1), "T118 (T120)");
    EXPECT_EQ(adjustmentValueText(texts, 97), "  T196 :  97");
    EXPECT_EQ(adjustmentFrequencyTexts(1, 0, 4)->first, "  148.09750");
    EXPECT_EQ(adjustmentFrequencyTexts(13, 2, 0x0F)->second, "  161.00000"); // other codes: row 3
    EXPECT_FALSE(adjustmentFrequencyTexts(8, 0, 4).has_value());
}
