// The check that keeps an incomplete data set from being written to a radio.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "channels/ChannelListPlacement.h"
#include "channels/ChannelStore.h"
#include "dataset/PreWriteCheck.h"
#include "model/ModelCatalogue.h"

using namespace velora;
using namespace velora::comm;

namespace {

struct PreWriteTest : ::testing::Test {
    velora::test::NumberedTexts texts;
    Document doc;
    std::span<Byte> m = doc.image().main();

    void SetUp() override {
        doc.image().reset();
        setIdentification(doc.image(), ModelIdentification::defaults());
    }
    std::vector<int> findings() { return checkBeforeWrite(doc, texts).incomplete; }
    void addChannel(int g, int c, bool model2 = false) {
        ChannelStore store(doc, texts);
        ASSERT_GE(store.addChannel(g, c), 0);
        auto rec = store.channelRecord(g, c);
        setLe16(rec, 0, 0x1250);
        setLe16(rec, 2, 0x1500);
        setLe16(rec, 14, model2 ? 0x0100 : 0x0000);
    }
    void setDualBand() {
        ModelIdentification id = identificationOf(doc.image());
        id.setDualBand(true);
        setIdentification(doc.image(), id);
    }
};

} // namespace

TEST_F(PreWriteTest, FreshDataSetPasses) {
    EXPECT_TRUE(checkBeforeWrite(doc, texts).ok());
    velora::test::RecordingMessenger messenger;
    EXPECT_TRUE(runPreWriteCheck(doc, texts, messenger));
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(PreWriteTest, NamedToneWithoutTonesIsReportedAlone) {
    doc.image().ext()[layout::kOstNames + 16 * 3] = 'A';
    m[0x00] = 1; // priority 1 without channel, which would be listed otherwise
    const PreWriteFindings f = checkBeforeWrite(doc, texts);
    EXPECT_TRUE(f.ostWithoutTone);
    velora::test::RecordingMessenger messenger;
    EXPECT_FALSE(runPreWriteCheck(doc, texts, messenger));
    EXPECT_EQ(messenger.ids(), std::vector<int>{176});
    EXPECT_EQ(messenger.shown[0].icon, MsgIcon::Error);

    setLe16(m, layout::kOstTable + 4 * 3 + 2, 670); // one tone is enough
    EXPECT_FALSE(checkBeforeWrite(doc, texts).ostWithoutTone);
}

TEST_F(PreWriteTest, SpecialChannelReferences) {
    m[0x00] = 1;
    EXPECT_EQ(findings(), std::vector<int>{435}) << "priority 1 on without channel";
    m[0x00] = 0;
    m[0x52] = 3; // group chosen, channel not yet
    EXPECT_EQ(findings(), std::vector<int>{436});
    m[0x53] = 0;
    EXPECT_TRUE(findings().empty());

    m[layout::kKeyTableHead2 + 4] = 14; // emergency key on head 2
    EXPECT_EQ(findings(), std::vector<int>{384});
    m[0x56] = 0;
    m[0x57] = 0;
    m[layout::kKeyTableHead2 + 4] = 0xFF;

    m[0x032B] = 7; // function-port head pin with the home function
    EXPECT_EQ(findings(), std::vector<int>{383});
}

TEST_F(PreWriteTest, EmergencyAndDravixValues) {
    m[layout::kEmergency] = 1;
    EXPECT_EQ(findings(), (std::vector<int>{479, 480, 458, 459}));
    m[layout::kEmergency] = 0;
    EXPECT_EQ(findings(), (std::vector<int>{457}));
    m[0x3AA0] = 5;
    EXPECT_TRUE(findings().empty());
}

TEST_F(PreWriteTest, PttIdTexts) {
    m[layout::kCsOptionBoardMode] = 0;
    m[0x37] = 0;
    m[0x36] = 1;
    EXPECT_EQ(findings(), std::vector<int>{431});
    m[0x36] = 2;
    m[layout::kPttIdLengths + 1] = 0;
    EXPECT_EQ(findings(), std::vector<int>{432});
    m[0x37] = 1; // both IDs
    EXPECT_EQ(findings(), (std::vector<int>{431, 432}));
    m[layout::kPttIdLengths] = 4;
    m[layout::kPttIdLengths + 1] = 4;
    EXPECT_TRUE(findings().empty());
}

TEST_F(PreWriteTest, KeyOutputFunctionNeedsAPin) {
    m[layout::kKeyTables + 2] = 1;
    EXPECT_EQ(findings(), std::vector<int>{174});
    m[layout::kFunctionPortPins + 1] = 4;
    EXPECT_TRUE(findings().empty());
}

TEST_F(PreWriteTest, RemoteListSizeFollowsTheSelectLines) {
    EXPECT_EQ(channels::remoteListSize(doc), 0);
    m[layout::kFunctionPort + 0] = 0;
    EXPECT_EQ(channels::remoteListSize(doc), 1);
    m[layout::kFunctionPort + 3] = 1;
    EXPECT_EQ(channels::remoteListSize(doc), 3);
    m[0x032A] = 2; // a head pin counts
    EXPECT_EQ(channels::remoteListSize(doc), 7);
    m[0x032C] = 3; // head 2 pins count only with a second head
    EXPECT_EQ(channels::remoteListSize(doc), 7);
    m[layout::kFunctionPort + 0] = 0xFF;
    EXPECT_EQ(channels::remoteListSize(doc), -1) << "lines 1 and 2 without line 0";
    EXPECT_EQ(findings(), std::vector<int>{175});
}

TEST_F(PreWriteTest, RemoteListEntriesMustNameExistingChannelsWithinTheSize) {
    addChannel(2, 4);
    m[layout::kFunctionPort] = 0;
    m[layout::kFunctionPort + 1] = 1; // size 3
    m[layout::kRemoteList + 2 * 2] = 3;
    m[layout::kRemoteList + 2 * 2 + 1] = 5;
    EXPECT_TRUE(findings().empty());
    m[layout::kRemoteList + 2 * 2 + 1] = 6; // channel 6 of group 3 does not exist
    EXPECT_EQ(findings(), std::vector<int>{254});
    m[layout::kRemoteList + 2 * 2 + 1] = 0xFF;
    EXPECT_EQ(findings(), std::vector<int>{254}) << "channel not chosen";
    m[layout::kRemoteList + 2 * 2] = 0xFF;
    m[layout::kRemoteList + 2 * 3] = 3;
    m[layout::kRemoteList + 2 * 3 + 1] = 5;
    EXPECT_EQ(findings(), std::vector<int>{254}) << "entry 4 is beyond a list of 3";
}

TEST_F(PreWriteTest, RepeaterChannelsMustSitOnDifferentUnits) {
    addChannel(0, 0, false);
    addChannel(0, 1, false);
    addChannel(0, 2, true);
    m[0x58] = 1;
    m[0x59] = 1;
    m[0x5A] = 1;
    m[0x5B] = 2;
    EXPECT_TRUE(findings().empty()) << "single band: the list is not checked";
    setDualBand();
    EXPECT_EQ(findings(), std::vector<int>{255});
    m[0x5B] = 3;
    EXPECT_TRUE(findings().empty());
    m[0x5B] = 0xFF;
    EXPECT_EQ(findings(), std::vector<int>{255});
}

TEST_F(PreWriteTest, ListMessageQuotesEachSetting) {
    m[0x00] = 1;
    m[layout::kEmergency] = 0;
    velora::test::RecordingMessenger messenger;
    EXPECT_FALSE(runPreWriteCheck(doc, texts, messenger));
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_EQ(messenger.shown[0].text, "T173\n\n\"T435\"\n\"T457\"\n");
    EXPECT_EQ(messenger.shown[0].caption, "T204");
}
