#include <gtest/gtest.h>

#include "TestSupport.h"
#include "comm/TestMode.h"
#include "model/ModelCatalogue.h"
#include "test_mode_fakes.h"

using namespace velora;
using namespace velora::comm;
using namespace velora::test;

namespace {

constexpr Byte kOn = 0x0D, kOff = 0x0E;

// A data set and a radio that agree: the radio's identification, and test channels 1 and 2 set.
struct Bench {
    FakeLink link;
    RecordingClock clock;
    RadioProtocol protocol{link, clock};
    TestModeRadio radio{link};
    RecordingTestModeUi ui;
    TestModeShared shared;
    MemoryImage image;
    TestModeSession session{protocol, TestTexts(), ui, shared, image};

    static const TextSource& TestTexts() {
        static const NumberedTexts texts;
        return texts;
    }

    Bench() {
        setIdentification(image, ModelIdentification(radio.id));
        for (std::size_t i = 0; i < 16; ++i)
            radio.testChannels[i] = static_cast<Byte>(0x10 + i); // channels 1 and 2
        std::copy(radio.testChannels.begin(), radio.testChannels.end(),
                  image.working().main.begin() + layout::kTestFreqModel1);
    }
    std::vector<Byte> withoutAcks() const {
        std::vector<Byte> out;
        for (Byte c : radio.commands())
            if (c != kAck) out.push_back(c);
        return out;
    }
};

} // namespace

TEST(TestMode, EntryRunsTheFramesInOrder) {
    Bench b;
    ASSERT_EQ(b.session.begin(), EntryResult::Ok);
    std::vector<Byte> expected{'T', kStx, 0x22, 0x05, '7', '8'};
    expected.insert(expected.end(), 16, 0x10);
    expected.insert(expected.end(), {'P', 0x10, 0x11});
    EXPECT_EQ(b.withoutAcks(), expected);
    EXPECT_EQ(b.radio.frames[b.radio.frames.size() - 4], (std::vector<Byte>{'P', 0x0F, 0x1A, 20}));
    EXPECT_EQ(b.session.channel(), 0);
    EXPECT_EQ(b.shared.record[33], 0x41); // item 1 from the extension
    EXPECT_EQ(b.shared.record[5], 114);   // item 7 wide from status byte 14
    EXPECT_EQ(b.shared.record[11], 107);  // item 8 narrow point 0 from status byte 7
}

TEST(TestMode, StatusExtensionIsDecidedForEveryRadio) {
    Bench b;
    ASSERT_EQ(b.session.begin(), EntryResult::Ok);
    b.session.end();
    EXPECT_TRUE(b.shared.statusExtension);
    // The next radio in the same run has version nibble 0: no extension, whatever the first had.
    b.radio.id[6] = 0x00;
    b.radio.frames.clear();
    ASSERT_EQ(b.session.begin(), EntryResult::Ok);
    EXPECT_FALSE(b.shared.statusExtension);
    EXPECT_EQ(b.radio.count('7'), 0);
    EXPECT_EQ(availableAdjustmentItems(4, b.shared.statusExtension),
              (std::vector<int>{0, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(TestMode, EntryRefusals) {
    struct Case {
        const char* name;
        std::function<void(Bench&)> arrange;
        EntryResult result;
        int message;
        bool leaves;
    };
    const std::vector<Case> cases{
        {"port", [](Bench& b) { b.link.failOpen = true; }, EntryResult::PortFailed, 208, false},
        {"unknown model", [](Bench& b) { b.radio.id[4] = '9'; }, EntryResult::UnknownModel, 210, true},
        {"other band", [](Bench& b) { b.radio.id[5] = 5; }, EntryResult::RadioDiffers, 212, true},
        {"test channel 3 differs", [](Bench& b) { b.radio.testChannels[20] = 0x99; },
         EntryResult::ChannelsDiffer, 211, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b;
        b.ui.answers = {MsgAnswer::Cancel};
        c.arrange(b);
        EXPECT_EQ(b.session.begin(), c.result);
        ASSERT_FALSE(b.ui.shown.empty());
        EXPECT_EQ(b.ui.shown.front(), c.message);
        EXPECT_EQ(b.radio.count('E') > 0, c.leaves);
        EXPECT_FALSE(b.link.open);
    }
}

TEST(TestMode, FailedFrameIsRetriedOrEndsTestMode) {
    Bench b;
    b.radio.drop = [](const std::vector<Byte>& f, int nth) { return f[0] == 0x11 && nth == 0; };
    ASSERT_EQ(b.session.begin(), EntryResult::Ok);
    EXPECT_EQ(b.ui.shown, std::vector<int>{209});
    EXPECT_EQ(b.radio.count(0x11), 2);

    b.radio.drop = [](const std::vector<Byte>& f, int) { return f[0] == 0x08; };
    b.ui.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(b.session.toggleTransmit());
}

TEST(TestMode, OptionFrames) {
    struct Case {
        std::function<bool(TestModeSession&)> act;
        std::vector<Byte> frame;
    };
    const std::vector<Case> cases{
        {[](TestModeSession& s) { return s.setSpacing(1); }, {'G', 0x0F}},
        {[](TestModeSession& s) { return s.setSpacing(0); }, {'F', 0x0F}},
        {[](TestModeSession& s) { return s.setNoiseBlanker(1); }, {'G', 0x0F}},
        {[](TestModeSession& s) { return s.setNoiseBlanker(0); }, {'F', 0x0F}},
        {[](TestModeSession& s) { return s.setCompander(1); }, {0x84, kOn}},
        {[](TestModeSession& s) { return s.setBeatShift(0); }, {0x0B, kOff}},
        {[](TestModeSession& s) { return s.setMskRate(1); }, {0x86}},
        {[](TestModeSession& s) { return s.setMskRate(0); }, {0x85}},
        {[](TestModeSession& s) { return s.selectSignalling(4); }, {0x11, 0x0F, 5}},
        {[](TestModeSession& s) { return s.selectChannel(1); }, {0x10, 0x0F, 2}},
        {[](TestModeSession& s) { return s.toggleTransmit(); }, {0x08, 0x0F, kOn}},
    };
    Bench b;
    ASSERT_EQ(b.session.begin(), EntryResult::Ok);
    for (const auto& c : cases) {
        b.radio.frames.clear();
        EXPECT_TRUE(c.act(b.session));
        ASSERT_FALSE(b.radio.frames.empty());
        EXPECT_EQ(b.radio.frames.front(), c.frame);
    }
    // An undefined test channel, and a combo without a selection, send nothing.
    b.radio.frames.clear();
    EXPECT_TRUE(b.session.selectChannel(5));
    EXPECT_TRUE(b.session.setCompander(-1));
    EXPECT_TRUE(b.radio.frames.empty());
    EXPECT_EQ(b.session.stepChannel(1, 1), 0);
    EXPECT_EQ(b.session.stepChannel(0, -1), 1);
}

TEST(TestMode, LeavingWithTheTransmitterOnSwitchesItOffFirst) {
    for (bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled);
        Bench b;
        ASSERT_EQ(b.session.begin(), EntryResult::Ok);
        if (cancelled) {
            // The radio took the frame but its answer was lost: it may well be sending.
            b.radio.drop = [](const std::vector<Byte>& f, int) { return f[0] == 0x08; };
            b.ui.answers = {MsgAnswer::Cancel};
        }
        b.session.toggleTransmit();
        b.radio.drop = nullptr;
        b.radio.frames.clear();
        b.session.end();
        const std::vector<std::vector<Byte>> expected{{0x08, 0x0F, kOff}, {'E'}};
        EXPECT_EQ(b.radio.frames, expected);
        EXPECT_FALSE(b.link.open);
    }
}

TEST(TestMode, KeyboardRules) {
    struct Case {
        TestModeKey key;
        TestModeFocus focus;
        TestModeKeyAction action;
    };
    const Case cases[] = {
        {TestModeKey::Space, TestModeFocus::Other, TestModeKeyAction::ToggleTransmit},
        {TestModeKey::Space, TestModeFocus::AdjustmentList, TestModeKeyAction::ToggleTransmit},
        {TestModeKey::Space, TestModeFocus::Close, TestModeKeyAction::None},
        {TestModeKey::Space, TestModeFocus::Transmit, TestModeKeyAction::None},
        {TestModeKey::Enter, TestModeFocus::AdjustmentList, TestModeKeyAction::OpenAdjustment},
        {TestModeKey::Enter, TestModeFocus::Other, TestModeKeyAction::NextControl},
        {TestModeKey::Enter, TestModeFocus::Print, TestModeKeyAction::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(testModeKeyAction(c.key, c.focus), c.action);
}
