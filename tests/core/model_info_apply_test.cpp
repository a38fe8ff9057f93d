#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#include "dataset/ModelInfoApply.h"
#include "dataset/ModelInfoForm.h"
#include "features/KeyDefaults.h"

namespace velora {
namespace {

constexpr int kLow = 0, kVhf = 1, kUhf = 2;

struct Host : ModelChangeHost {
    bool allowDiscard = true;
    int discardAsked = 0;
    int closed = 0;
    bool confirmDiscard() override {
        ++discardAsked;
        return allowDiscard;
    }
    void closeAllEditors() override { ++closed; }
};

class ModelInfoApplyTest : public ::testing::Test {
  protected:
    ModelInfoApplyTest() {
        doc.image().reset();
        defaultInitialise(doc, true, true); // RM-420, 148-174 MHz, single band, single head
        doc.image().markSaved();
    }
    ModelIdentification id() const { return identificationOf(doc.image()); }
    ModelConfig current() const { return ModelInfoForm(id()).config(); }
    // Channel n of group 1 with the PTT ID bit set, on the given radio unit.
    void putChannel(int n, bool model2) {
        ChannelStore store(doc, f.texts);
        auto rec = store.record(store.addChannel(0, n));
        setLe16(rec, 0, 0x1250);
        setLe16(rec, 2, 0x1500);
        setLe16(rec, 12, 0x0008);
        setLe16(rec, 14, model2 ? 0x0100 : 0x0000);
    }
    std::span<Byte> channel(int n) { return ChannelStore(doc, f.texts).channelRecord(0, n); }
    bool pttIdOn(int n) { return le16(channel(n), 12) & 0x0008; }
    ModelOkOutcome ok(const ModelConfig& c, ModelApplyResult* r = nullptr) {
        return confirmModelChange(doc, f.boxes, c, host, r);
    }

    Document doc;
    test::MessengerFixture f;
    Host host;
};

TEST_F(ModelInfoApplyTest, BandOnlyChangeAppliesSilentlyKeepsDataAndStaysUnmodified) {
    putChannel(3, false);
    doc.image().markSaved();
    doc.setFileName("mine.dat");
    auto c = current();
    c.band1 = 5; // 136-156 MHz
    ModelApplyResult r;
    EXPECT_EQ(ok(c, &r), ModelOkOutcome::Applied);
    EXPECT_TRUE(f.messenger.shown.empty());
    EXPECT_EQ(host.discardAsked, 0);
    EXPECT_EQ(id().bandCode(kModel1), 5);
    EXPECT_EQ(le16(channel(3), 0), 0x1250);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), "mine.dat");
    EXPECT_FALSE(r.discardClipboard);
}

TEST_F(ModelInfoApplyTest, BandChangeDoesNotHideEarlierEdits) {
    putChannel(0, false); // an unsaved edit
    auto c = current();
    c.band1 = 5;
    ok(c);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ModelInfoApplyTest, ModelChangeAsksThenConfirmsDiscardThenReinitialises) {
    putChannel(0, false);
    doc.setFileName("mine.dat");
    ModelInfoForm form(id());
    form.chooseModel1(kUhf);
    ModelApplyResult r;
    EXPECT_EQ(ok(form.config(), &r), ModelOkOutcome::Applied);
    EXPECT_EQ(f.messenger.ids(), std::vector<int>{-1});
    EXPECT_EQ(f.messenger.shown[0].text, "T219");
    EXPECT_EQ(f.messenger.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(f.messenger.shown[0].defaultCancel) << "a fresh data set is never one Enter away";
    EXPECT_EQ(host.discardAsked, 1);
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(id().modelCode(), "Q0130");
    EXPECT_EQ(id().bandCode(kModel1), 6);                                 // first UHF band
    EXPECT_EQ(le16(doc.image().main(), layout::kChannelRecords), 0xFFFF); // channels gone
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), "velora.dat");
    EXPECT_TRUE(r.discardClipboard);
}

TEST_F(ModelInfoApplyTest, ModelChangeCancelledAtQuestionOrDiscardLeavesEverything) {
    putChannel(0, false);
    auto before = doc.image().working();
    ModelInfoForm form(id());
    form.chooseModel1(kLow);

    f.messenger.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(ok(form.config()), ModelOkOutcome::Cancelled);
    EXPECT_EQ(host.discardAsked, 0);

    host.allowDiscard = false;
    EXPECT_EQ(ok(form.config()), ModelOkOutcome::Cancelled);
    EXPECT_EQ(host.closed, 0);
    EXPECT_TRUE(doc.image().working() == before);
}

TEST_F(ModelInfoApplyTest, DualBandOnGivesSecondModelAndReinitialises) {
    ModelInfoForm form(id());
    form.chooseDualBand();
    EXPECT_EQ(form.config().model2, kUhf);
    EXPECT_EQ(form.config().band2, 6);
    ok(form.config());
    EXPECT_TRUE(id().isDualBand());
    EXPECT_EQ(id().bandCode(kModel2), 6);
    EXPECT_EQ(f.messenger.shown.at(0).text, "T219");
}

TEST(ModelInfoFormTest, DualBandProposesTheOtherGroup) {
    auto uhf = ModelIdentification::defaults();
    uhf.setModelCode(kUhf);
    uhf.setBandCode(kModel1, 6);
    uhf.setBandCode(kModel2, 6); // model 2 in the same group as model 1
    ModelInfoForm a(uhf);
    a.chooseDualBand();
    EXPECT_EQ(a.config().model2, kVhf);
    EXPECT_EQ(a.config().band2, 4);

    auto low = ModelIdentification::defaults();
    low.setModelCode(kLow);
    low.setBandCode(kModel1, 1);
    low.setBandCode(kModel2, 0x0F); // no group: taken as UHF
    ModelInfoForm b(low);
    b.chooseDualBand();
    EXPECT_EQ(b.config().model2, kUhf);
}

TEST(ModelInfoFormTest, LoadedSecondModelOutsideTheListsIsOfferedAsOnDualBand) {
    struct Case {
        std::size_t model1;
        Byte band1, band2;
        int model2;
    };
    for (const Case& k : {Case{kUhf, 6, 0x0F, kVhf}, Case{kLow, 1, 0x42, kUhf}, Case{kVhf, 4, 5, kUhf}}) {
        auto id = ModelIdentification::defaults();
        id.setModelCode(k.model1);
        id.setBandCode(kModel1, k.band1);
        id.setDualBand(true);
        id.setBandCode(kModel2, k.band2);
        const ModelInfoForm form(id);
        const auto& c = form.config();
        EXPECT_EQ(c.model2, k.model2) << int(k.band2);
        const auto m1 = form.model1Items();
        EXPECT_TRUE(std::any_of(m1.begin(), m1.end(), [&](auto& i) { return i.data == c.model1; }));
        const auto b2 = form.band2Items();
        EXPECT_TRUE(std::any_of(b2.begin(), b2.end(), [&](auto& i) { return i.data == c.band2; }));
    }
}

TEST(ModelInfoFormTest, ListsAndReactionsFollowTheChoices) {
    auto id = ModelIdentification::defaults();
    id.setDualHead(true);
    id.setHeadType(kHead2, 1);
    ModelInfoForm form(id);
    EXPECT_TRUE(form.head2Enabled());
    EXPECT_EQ(form.config().head2Type, 1);
    form.chooseSingleHead();
    EXPECT_EQ(form.config().head2Type, -1);
    form.chooseDualHead();
    EXPECT_EQ(form.config().head2Type, 1); // remembered

    EXPECT_EQ(form.model1Items().size(), 3u);
    form.chooseDualBand();
    EXPECT_EQ(form.model1Items().size(), 2u);
    for (const auto& item : form.model1Items())
        EXPECT_NE(item.data, form.config().model2);
    form.chooseModel1(kLow);
    EXPECT_EQ(form.config().band1, 1);
    EXPECT_EQ(form.band1Items().size(), 3u);
    form.chooseModel2(kVhf);
    EXPECT_EQ(form.config().band2, 4);
    form.chooseBand2(5);
    form.chooseSingleBand();
    EXPECT_EQ(form.config().model2, -1);
    EXPECT_FALSE(form.model2Enabled());
    form.chooseDualBand();
    EXPECT_EQ(form.config().model2, kVhf) << "remembered";
    EXPECT_EQ(form.config().band2, 5) << "remembered";
}

TEST_F(ModelInfoApplyTest, HeadCountChangeAsksAndClearsFunctionPortWithoutMarkingSaved) {
    auto main = doc.image().main();
    setByte(main, layout::kFunctionPort + 10, 3);
    setByte(main, layout::kFunctionPortPins + 1, 2);
    doc.image().markSaved();
    ModelInfoForm form(id());
    form.chooseDualHead();
    form.chooseHead2Type(0);
    ModelApplyResult r;
    ok(form.config(), &r);
    EXPECT_EQ(f.messenger.shown.at(0).text, "T242");
    EXPECT_EQ(host.discardAsked, 0);
    EXPECT_TRUE(id().isDualHead());
    EXPECT_EQ(byteAt(main, layout::kFunctionPort + 10), 0xFF);
    EXPECT_EQ(byteAt(main, layout::kFunctionPortPins + 1), 0xFF);
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead2, 0)), 16);
    EXPECT_TRUE(doc.isModified()); // the changed keys and ports are offered for saving
    EXPECT_EQ(doc.fileName(), "velora.dat");
}

TEST_F(ModelInfoApplyTest, HeadCountAndTypeTogetherAskBothTexts) {
    ModelInfoForm form(id());
    form.chooseDualHead();
    form.chooseHead1Type(1);
    ok(form.config());
    EXPECT_EQ(f.messenger.shown.at(0).text, "T242\nT226");
    auto main = doc.image().main();
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead1, 2)), 22);
    EXPECT_EQ(byteAt(main, layout::kCsChannelNameLength), 14);
}

TEST_F(ModelInfoApplyTest, SecondHeadWithTheLongDisplayGetsItsKeysAndTheHeadTypeText) {
    ModelInfoForm form(id());
    form.chooseDualHead();
    form.chooseHead2Type(1);
    ok(form.config());
    EXPECT_EQ(f.messenger.shown.at(0).text, "T242\nT226");
    auto main = doc.image().main();
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead2, 2)), 22);
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead2, 3)), 26);
    EXPECT_EQ(byteAt(main, layout::kCsChannelNameLength), 14);
}

TEST_F(ModelInfoApplyTest, HeadCountWithHeadTypeKeepsTheFunctionPort) {
    auto main = doc.image().main();
    setByte(main, layout::kFunctionPort + 10, 3);
    setByte(main, layout::kFunctionPortPins + 1, 2);
    ModelInfoForm form(id());
    form.chooseDualHead();
    form.chooseHead1Type(1);
    ok(form.config());
    EXPECT_EQ(byteAt(main, layout::kFunctionPort + 10), 3);
    EXPECT_EQ(byteAt(main, layout::kFunctionPortPins + 1), 2);
}

TEST_F(ModelInfoApplyTest, LosingTheLongDisplayCutsPowerOnTextAndNameLength) {
    auto i = id();
    i.setHeadType(kHead1, 1);
    setIdentification(doc.image(), i);
    auto main = doc.image().main();
    setByte(main, layout::kCsChannelNameLength, 14);
    putText(main, layout::kPowerOnText, "ABCDEFGHIJKLMN");
    auto c = current();
    c.head1Type = 0;
    ok(c);
    EXPECT_EQ(f.messenger.shown.at(0).text, "T226");
    EXPECT_EQ(fixedText(main, layout::kPowerOnText, 14), "ABCDEFGH      ");
    EXPECT_EQ(byteAt(main, layout::kCsChannelNameLength), 8);
}

TEST_F(ModelInfoApplyTest, OptionBoardKind2FollowsIntoModeByteAndChannels) {
    putChannel(1, false);
    auto c = current();
    c.board1 = 2;
    ok(c);
    EXPECT_TRUE(f.messenger.shown.empty());
    EXPECT_EQ(id().optionBoard(kModel1), 2);
    EXPECT_EQ(byteAt(doc.image().main(), layout::kCsOptionBoardMode), 2);
    EXPECT_TRUE(pttIdOn(1));

    c.board1 = 1;
    ok(c);
    EXPECT_EQ(byteAt(doc.image().main(), layout::kCsOptionBoardMode), 0);
    EXPECT_EQ(id().optionBoard(kModel1), 1);
}

TEST_F(ModelInfoApplyTest, PttIdClearedOnChannelsOfAUnitWithoutKind2Board) {
    ModelInfoForm form(id());
    form.chooseDualBand();
    form.chooseBoard2(2);
    ok(form.config());
    putChannel(0, false);
    putChannel(1, true);
    setByte(doc.image().main(), layout::kCsOptionBoardMode, 2);
    auto c = ModelInfoForm(id()).config();
    c.band1 = 5; // any apply runs the channel pass
    ok(c);
    EXPECT_FALSE(pttIdOn(0));
    EXPECT_TRUE(pttIdOn(1));
}

TEST_F(ModelInfoApplyTest, SingleHeadWithdrawsHead2FunctionsAndUnusedReferences) {
    ModelInfoForm form(id());
    form.chooseDualHead();
    form.chooseHead2Type(0);
    ok(form.config());
    auto main = doc.image().main();
    setByte(main, keys::keyOffset(kHead1, 5), 20); // second-head function
    setByte(main, keys::keyOffset(kHead1, 6), 17); // home key
    setByte(main, layout::kCommon + 0x54, 2);      // home reference
    setByte(main, layout::kCommon + 0x55, 3);
    setByte(main, layout::kCommon + 0x56, 4); // emergency reference without key 14
    setByte(main, layout::kCommon + 0x57, 5);
    setByte(main, layout::kFunctionPortPins + 2, 6); // a head-2 pin

    f.messenger.shown.clear();
    auto c = ModelInfoForm(id()).config();
    c.dualHead = false;
    c.head2Type = -1;
    ok(c);
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead1, 5)), 0xFF);
    EXPECT_EQ(byteAt(main, keys::keyOffset(kHead1, 6)), 17);
    EXPECT_EQ(byteAt(main, layout::kCommon + 0x54), 2); // a home key still uses it
    EXPECT_EQ(byteAt(main, layout::kFunctionPortPins + 2), 0xFF);
    EXPECT_EQ(byteAt(main, layout::kCommon + 0x56), 0xFF);
}

TEST_F(ModelInfoApplyTest, EmergencyReferenceKeptWhileAnyKeyTableHoldsItsFunction) {
    auto main = doc.image().main();
    setByte(main, keys::keyOffset(kHead2, 3), 14); // head 2 is not fitted
    setByte(main, layout::kCommon + 0x56, 4);
    setByte(main, layout::kCommon + 0x57, 5);
    auto c = current();
    c.band1 = 5;
    ok(c);
    EXPECT_EQ(byteAt(main, layout::kCommon + 0x56), 4);
    EXPECT_EQ(byteAt(main, layout::kCommon + 0x57), 5);
}

} // namespace
} // namespace velora
