#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "channels/ChannelStore.h"
#include "comm/RadioTransfer.h"
#include "comm_fakes.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/DataSetInit.h"
#include "features/DravixFrames.h"
#include "features/KeyDefaults.h"
#include "model/DataFile.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

using namespace velora;

namespace {

constexpr RunOptions kNormal{false, false};
constexpr RunOptions kExtended{true, false};

// Numbered texts, with a real format for the trimming warning so the count can be seen.
class FormatTexts : public test::NumberedTexts {
  public:
    std::string_view text(int number) const override {
        if (number == kTextChannelsTrimmed) return "%d channels removed";
        return NumberedTexts::text(number);
    }
};

struct Fixture {
    FormatTexts texts;
    test::RecordingMessenger messenger;
    MessageBoxes boxes{messenger, texts};
};

using Freq = std::array<Byte, 4>;
constexpr Freq kNone{0xFF, 0xFF, 0xFF, 0xFF};
constexpr Freq k150{0x00, 0x00, 0x00, 0x15};
constexpr Freq k155{0x00, 0x00, 0x50, 0x15};
constexpr Freq k140{0x00, 0x00, 0x00, 0x14};
constexpr std::uint16_t kWide = 1u << 10;

// A data set as this application saves it: defaults, then whatever the test adds.
std::unique_ptr<Document> source(RunOptions options) {
    auto doc = std::make_unique<Document>(options);
    doc->image().reset();
    defaultInitialise(*doc, true, false);
    return doc;
}

void putChannel(Document& doc, int g, int c, Freq rx = k150, Freq tx = kNone, bool wide = false) {
    test::NumberedTexts texts;
    ChannelStore store(doc, texts);
    int r = store.addChannel(g, c);
    ASSERT_GE(r, 0) << g << "/" << c;
    auto rec = store.record(r);
    for (std::size_t i = 0; i < 4; ++i) {
        rec[i] = rx[i];
        rec[4 + i] = tx[i];
    }
    setLe16(rec, 12, wide ? kWide : 0);
    setLe16(rec, 14, 0x00FF);
}

std::uint16_t flagsA(Document& doc, int g, int c) {
    test::NumberedTexts texts;
    ChannelStore store(doc, texts);
    return le16(store.channelRecord(g, c), 12);
}

int count(Document& doc, int g) {
    test::NumberedTexts texts;
    ChannelStore store(doc, texts);
    return static_cast<int>(store.channelNumbers(g).size());
}

// Loads `from` into a fresh document running with `options`, the way Open or a radio read does.
std::unique_ptr<Document> adopt(const Document& from, RunOptions options, LoadOrigin origin, Fixture& fx,
                                AdoptResult* result = nullptr) {
    auto doc = std::make_unique<Document>(options);
    doc->setFileName("previous.dat");
    doc->image().staging() = from.image().working();
    AdoptResult r = adoptLoadedDataSet(*doc, origin, fx.boxes);
    if (result) *result = r;
    return doc;
}

// A radio holding `data` and reporting `id`, read into doc's staging copy; with `kept`, read the way
// both programs do it (kept in the history, then adopted).
comm::TransferOutcome readRadio(Document& doc, const ImageCopy& data, const comm::Identification& id,
                                Fixture& fx, HistoryResult* kept = nullptr) {
    test::FakeLink link;
    test::FakeRadio radio{link};
    radio.id = id;
    radio.units[comm::kSelectorDeck1] = data;
    radio.units[comm::kSelectorHead1] = data;
    test::RecordingClock clock;
    comm::RadioProtocol protocol{link, clock};
    test::RecordingTransferUi ui;
    ui.answers = {MsgAnswer::Cancel}; // to an unknown model: give up rather than retry
    comm::RadioTransfer transfer{protocol, fx.texts, ui};
    return kept ? comm::readAndAdopt(doc, transfer, fx.boxes, nullptr, kept) : transfer.read(doc.image());
}

} // namespace

TEST(Adoption, WhatARadioReadAcceptsIsSavedAndOpensAgain) {
    struct Case {
        const char* what;
        comm::Identification id;
        bool accepted;
    };
    const Case cases[] = {
        {"single band", {'Q', '0', '1', '2', '0', 4, 0xF0, 0x00, 0x0F, 0xF0}, true},
        {"low band", {'Q', '0', '1', '1', '0', 2, 0x00, 0x00, 0xFF, 0xF0}, true},
        {"dual band VHF and UHF", {'Q', '0', '1', '2', '0', 4, 0xF0, 0x50, 0x06, 0xF0}, true},
        {"dual band, both VHF", {'Q', '0', '1', '2', '0', 4, 0xF0, 0x40, 0x05, 0xF0}, true},
        {"dual band, model 2 band 0x0F", {'Q', '0', '1', '3', '0', 6, 0xF0, 0x40, 0x0F, 0xF0}, true},
        {"dual band, model 2 band 0xA4", {'Q', '0', '1', '2', '0', 4, 0x00, 0x40, 0xA4, 0x02}, true},
        {"unknown model code", {'Q', '0', '1', '4', '0', 4, 0xF0, 0x00, 0x0F, 0xF0}, false},
        {"model 1 band outside the table", {'Q', '0', '1', '2', '0', 0x0A, 0xF0, 0x00, 0x0F, 0xF0}, false},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto radioData = source(kNormal);
        putChannel(*radioData, 0, 0);
        setIdentification(radioData->image(), ModelIdentification(c.id));
        Fixture fx;
        Document doc(kNormal);
        const bool read = readRadio(doc, radioData->image().working(), c.id, fx).ok();
        EXPECT_EQ(read, c.accepted);
        if (read) adoptLoadedDataSet(doc, LoadOrigin::Radio, fx.boxes);
        // A refused identification is saved too (a file can carry anything): it must not open either.
        Document& saved = read ? doc : *radioData;
        const std::string path = (dir.path() / "radio.dat").string();
        ASSERT_TRUE(writeDataFile(saved.image(), path).ok());

        Document reopened(kNormal);
        EXPECT_EQ(readDataFile(reopened.image(), path).ok(), c.accepted);
        if (!c.accepted) continue;
        adoptLoadedDataSet(reopened, LoadOrigin::File, fx.boxes);
        EXPECT_EQ(identificationOf(reopened.image()), identificationOf(doc.image()));
        EXPECT_EQ(count(reopened, 0), 1) << "the radio's channels, not a re-initialised data set";
        ChannelStore store(reopened, fx.texts);
        for (const char* rx : {"155.5", "460.1", "33.3"})
            store.setChannelFieldText(rx, 1, 0, ChannelField::RxFrequency, nullptr);
        EXPECT_TRUE(store.channelExists(1, 0));
    }
}

TEST(Adoption, AskingWhetherModifiedBeforeAdoptionKeepsTheRadioData) {
    auto radioData = source(kNormal);
    putChannel(*radioData, 0, 7);
    Fixture fx;
    auto doc = source(kNormal);
    doc->image().markSaved();
    putChannel(*doc, 3, 3); // an unsaved edit
    ASSERT_TRUE(
        readRadio(*doc, radioData->image().working(), ModelIdentification::defaults().bytes(), fx).ok());
    EXPECT_TRUE(doc->isModified());
    adoptLoadedDataSet(*doc, LoadOrigin::Radio, fx.boxes);
    EXPECT_EQ(count(*doc, 0), 1);
    EXPECT_EQ(count(*doc, 3), 0);
}

TEST(Adoption, ARadioItDidNotPrepareIsKeptInTheHistoryAsItArrived) {
    auto radio = source(kNormal);
    putChannel(*radio, 2, 5);
    auto main = radio->image().main();
    fill(main, layout::kAppTag, layout::kAppTagText.size(), 0xFF); // another program's data
    std::copy_n("X1.00", 5, main.begin() + layout::kFormatVersion);
    test::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    Fixture fx;
    Document doc(kNormal);
    HistoryResult kept;
    ASSERT_TRUE(
        readRadio(doc, radio->image().working(), identificationOf(radio->image()).bytes(), fx, &kept).ok());
    ASSERT_TRUE(kept.ok()) << kept.error;
    EXPECT_EQ(fx.messenger.ids(), std::vector<int>{kTextNoApplicationTag}); // the data set was replaced

    MemoryImage history;
    ASSERT_TRUE(readDataFile(history, kept.file.string()).ok());
    const ImageCopy& sent = radio->image().working();
    EXPECT_TRUE(history.staging().main == sent.main);
    EXPECT_TRUE(history.staging().dtmf == sent.dtmf);
    EXPECT_TRUE(history.staging().ext == sent.ext);
}

TEST(Adoption, ConsistentDataSetIsTakenOverByteForByte) {
    auto src = source(kNormal);
    putChannel(*src, 0, 0);
    putChannel(*src, 0, 4, k150, k150);
    putChannel(*src, 7, 159);
    {
        test::NumberedTexts texts;
        ChannelStore(*src, texts).padNames(); // as saved
    }
    Fixture fx;
    AdoptResult result;
    auto doc = adopt(*src, kNormal, LoadOrigin::File, fx, &result);
    EXPECT_TRUE(fx.messenger.shown.empty());
    EXPECT_EQ(doc->image().working(), src->image().working());
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->fileName(), "previous.dat"); // a file load keeps the name Open gave it
    EXPECT_FALSE(result.reinitialised || result.tablesRebuilt || result.narrowed);
    EXPECT_EQ(result.channelsTrimmed, 0);

    // After a radio read the data set is always called velora.dat.
    doc = adopt(*src, kNormal, LoadOrigin::Radio, fx);
    EXPECT_EQ(doc->fileName(), "velora.dat");
    EXPECT_EQ(doc->image().working(), src->image().working());
}

TEST(Adoption, ExtendedDataSetLosesHighChannelsInNormalMode) {
    auto src = source(kExtended);
    for (int c = 0; c < 170; ++c)
        putChannel(*src, 0, c);
    putChannel(*src, 1, 199); // channel 200
    auto main = src->image().main();
    main[keys::keyOffset(0, 0)] = 34;
    main[keys::keyOffset(0, 5)] = 33;
    main[25] = 3;
    main[29] = 1;

    Fixture fx;
    AdoptResult result;
    auto doc = adopt(*src, kNormal, LoadOrigin::File, fx, &result);
    EXPECT_EQ(count(*doc, 0), 160);
    EXPECT_EQ(count(*doc, 1), 0);
    auto m = doc->image().main();
    EXPECT_EQ(m[layout::kCsCapacityMarker], 0xFF);
    EXPECT_EQ(m[keys::keyOffset(0, 0)], 16); // extended-only functions revert to the defaults
    EXPECT_EQ(m[keys::keyOffset(0, 5)], 0xFF);
    EXPECT_EQ(m[25], 1);
    EXPECT_EQ(m[29], 0);
    EXPECT_EQ(result.channelsTrimmed, 11);
    ASSERT_EQ(fx.messenger.ids(), std::vector<int>{kTextChannelsTrimmed});
    EXPECT_EQ(fx.messenger.shown[0].text, "11 channels removed");
    EXPECT_EQ(fx.messenger.shown[0].icon, MsgIcon::Warning);
    EXPECT_FALSE(doc->isModified());
}

TEST(Adoption, NormalModeTrimsListPositionsBeyond160) {
    auto src = source(kExtended);
    for (int c = 0; c < 100; ++c)
        putChannel(*src, 2, c);
    for (int c = 0; c < 100; ++c)
        putChannel(*src, 5, c);
    Fixture fx;
    auto doc = adopt(*src, kNormal, LoadOrigin::File, fx);
    EXPECT_EQ(count(*doc, 2), 100);
    EXPECT_EQ(count(*doc, 5), 60);
    ASSERT_EQ(fx.messenger.shown.size(), 1u);
    EXPECT_EQ(fx.messenger.shown[0].text, "40 channels removed");
}

TEST(Adoption, ExtendedDataSetKeepsEverythingInExtendedMode) {
    auto src = source(kExtended);
    for (int c = 0; c < 170; ++c)
        putChannel(*src, 0, c);
    putChannel(*src, 1, 199);
    src->image().main()[keys::keyOffset(0, 0)] = 34;
    Fixture fx;
    auto doc = adopt(*src, kExtended, LoadOrigin::File, fx);
    EXPECT_EQ(count(*doc, 0), 170);
    EXPECT_EQ(count(*doc, 1), 1);
    EXPECT_EQ(doc->image().main()[layout::kCsCapacityMarker], 1);
    EXPECT_EQ(doc->image().main()[keys::keyOffset(0, 0)], 34);
    EXPECT_TRUE(fx.messenger.shown.empty());
    EXPECT_EQ(doc->image().working(), src->image().working());
}

TEST(Adoption, NormalDataSetIsMarkedInExtendedMode) {
    auto src = source(kNormal);
    Fixture fx;
    auto doc = adopt(*src, kExtended, LoadOrigin::File, fx);
    EXPECT_EQ(doc->image().main()[layout::kCsCapacityMarker], 1);
    EXPECT_FALSE(doc->isModified());
}

TEST(Adoption, MissingApplicationTagGivesDefaultsOfTheNamedModelWithWarning) {
    auto src = source(kNormal);
    ModelIdentification id = ModelIdentification::defaults();
    id.setModelCode(2);
    id.setBandCode(kModel1, 6);
    setIdentification(src->image(), id);
    putChannel(*src, 3, 3);
    src->image().main()[2] = 9;
    fill(src->image().main(), layout::kAppTag, 6, 0xFF);

    Document expect;
    setIdentification(expect.image(), id);
    defaultInitialise(expect, false, false);

    for (LoadOrigin origin : {LoadOrigin::File, LoadOrigin::Radio}) {
        Fixture fx;
        AdoptResult result;
        auto doc = adopt(*src, kNormal, origin, fx, &result);
        EXPECT_EQ(doc->image().working(), expect.image().working());
        EXPECT_EQ(identificationOf(doc->image()).modelCode(), "Q0130");
        EXPECT_TRUE(result.reinitialised);
        EXPECT_EQ(fx.messenger.ids(), std::vector<int>{kTextNoApplicationTag});
        EXPECT_FALSE(doc->isModified());
        EXPECT_EQ(doc->fileName(), origin == LoadOrigin::Radio ? "velora.dat" : "previous.dat");
    }
}

TEST(Adoption, WideChannelsInNarrowBandRangesBecomeNarrow) {
    auto src = source(kNormal);
    putChannel(*src, 0, 0, k155, k155, true);
    putChannel(*src, 0, 1, k140, k140, true);
    putChannel(*src, 0, 2, k155, kNone, true); // receive only: not restricted

    for (auto [origin, text] : {std::pair{LoadOrigin::File, 553}, std::pair{LoadOrigin::Radio, 554}}) {
        Fixture fx;
        AdoptResult result;
        auto doc = adopt(*src, kNormal, origin, fx, &result);
        EXPECT_EQ(flagsA(*doc, 0, 0) & kWide, 0);
        EXPECT_EQ(flagsA(*doc, 0, 1) & kWide, kWide);
        EXPECT_EQ(flagsA(*doc, 0, 2) & kWide, kWide);
        EXPECT_TRUE(result.narrowed);
        EXPECT_EQ(fx.messenger.ids(), std::vector<int>{text});
        EXPECT_FALSE(doc->isModified());
    }

    // Nothing to change, nothing to say.
    auto quiet = source(kNormal);
    putChannel(*quiet, 0, 0, k140, k140, true);
    Fixture fx;
    adopt(*quiet, kNormal, LoadOrigin::File, fx);
    EXPECT_TRUE(fx.messenger.shown.empty());
}

TEST(Adoption, BrokenChannelTablesAreRebuiltWithWarning) {
    auto src = source(kNormal);
    putChannel(*src, 0, 0);
    putChannel(*src, 0, 1);
    putChannel(*src, 4, 9);
    // Group 0 claims a third channel the list does not hold; group 4's first position is off.
    auto main = src->image().main();
    main[layout::kGroupTable + 1] = 3;

    Fixture fx;
    AdoptResult result;
    auto doc = adopt(*src, kNormal, LoadOrigin::File, fx, &result);
    test::NumberedTexts texts;
    ChannelStore store(*doc, texts);
    EXPECT_TRUE(store.validateTables());
    EXPECT_TRUE(store.channelExists(0, 0));
    EXPECT_TRUE(store.channelExists(0, 1));
    EXPECT_TRUE(result.tablesRebuilt);
    EXPECT_EQ(fx.messenger.ids(), std::vector<int>{kTextTablesRebuilt});
    EXPECT_FALSE(doc->isModified());
}

TEST(Adoption, UnsetSettingsAreRepaired) {
    auto src = source(kNormal);
    ModelIdentification id = identificationOf(src->image());
    id.setDualBand(true);
    id.setBandCode(kModel2, 6);
    id.setConfigWord(id.configWord() | 0x00F0);
    setIdentification(src->image(), id);
    auto main = src->image().main();
    main[15] = 0xFF;
    main[29] = 0xFF;
    main[92] = 0xFF;
    main[74] = 2;
    main[0xF2] = 0xFF;
    main[0xE4] = 1;
    main[0xF3] = 0xFF;
    main[0xEA] = 7; // not a selector value: stays unset
    fill(main, layout::kDravix, layout::kDravixSize, 0xFF);
    fill(main, layout::kTestFreqModel2, layout::kTestFreqTableSize, 0xFF);

    Fixture fx;
    auto file = adopt(*src, kNormal, LoadOrigin::File, fx);
    auto m = file->image().main();
    EXPECT_EQ(m[15], 0);
    EXPECT_EQ(m[29], 0);
    EXPECT_EQ(m[92], 0);
    EXPECT_EQ(m[0xF2], 1);
    EXPECT_EQ(m[0xF3], 0xFF);
    EXPECT_EQ(identificationOf(file->image()).configWord() & 0x00F0, 0);
    EXPECT_EQ(m[dravix::kOwnFleet], 1);
    EXPECT_EQ(m[dravix::kOwnFrame1 + 6], dravix::kCommandOwn1);
    EXPECT_EQ(m[dravix::kOwnFrame1 + 12], 0xC7);
    // Only a radio read fills an empty test frequency table of model 2.
    EXPECT_EQ(m[layout::kTestFreqModel2], 0xFF);
    auto radio = adopt(*src, kNormal, LoadOrigin::Radio, fx);
    EXPECT_EQ(radio->image().main()[layout::kTestFreqModel2 + 3], 0x46);
    EXPECT_TRUE(fx.messenger.shown.empty());
}

TEST(Adoption, EmergencyFrameIsRebuiltFromTheLoadedFleetsAndIds) {
    // The frame was built for `built`; then another program changed the values behind its back.
    struct Values {
        Byte ownFleet, callFleet;
        std::uint16_t callId;
    };
    struct Case {
        const char* what;
        Values built, stored;
        std::vector<Byte> frame; // all 22 bytes, then the length byte
    };
    const Case cases[] = {
        {"call fleet and ID changed", {1, 1, 1}, {1, 7, 0x123}, {0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB,
                                                                 0xB4, 0x41, 0x01, 0x00, 0x11, 0x23,
                                                                 0x6B, 0xEF, 0x07, 0xFF, 0xFF, 0xFF,
                                                                 0xFF, 0xFF, 0xEC, 0x7E, 22}},
        {"own fleet changed", {1, 1, 1}, {7, 1, 1}, {0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xB4, 0x41,
                                                     0x07, 0x00, 0x10, 0x01, 0x9E, 0xCA, 0x01, 0xFF,
                                                     0xFF, 0xFF, 0xFF, 0xFF, 0x13, 0x09, 22}},
        {"own fleet unset, repaired to the call fleet",
         {3, 1, 5},
         {0xFF, 1, 5},
         {0xAA, 0xAA, 0xAA, 0xAA, 0x23, 0xEB, 0xB4, 0x40, 0x01, 0x00, 0x10, 0x05,
          0xDE, 0x3E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 14}},
    };
    for (const Case& c : cases) {
        auto src = source(kNormal);
        auto main = src->image().main();
        auto put = [&](const Values& v) {
            main[dravix::kOwnFleet] = v.ownFleet;
            main[dravix::kEmergencyFleet] = v.callFleet;
            setLe16(main, dravix::kEmergencyId, v.callId);
        };
        put(c.built);
        dravix::buildEmergencyFrame(main);
        put(c.stored);
        Fixture fx;
        auto doc = adopt(*src, kNormal, LoadOrigin::File, fx);
        auto m = doc->image().main();
        EXPECT_EQ(std::vector<Byte>(m.begin() + dravix::kEmergencyFrame,
                                    m.begin() + dravix::kEmergencyFrameLength + 1),
                  c.frame)
            << c.what;
    }
}

TEST(Adoption, NamesAreBlankFilledToTheirDisplayLength) {
    auto src = source(kNormal);
    putChannel(*src, 0, 0);
    test::NumberedTexts texts;
    auto name = ChannelStore(*src, texts).channelName(0, 0);
    fill(name, 0, 16, 0xFF);
    putText(name, 0, "ABCDEFGHIJ");
    Fixture fx;
    auto doc = adopt(*src, kNormal, LoadOrigin::File, fx);
    auto loaded = ChannelStore(*doc, texts).channelName(0, 0);
    // Display length 8: the rest of the record becomes blanks.
    EXPECT_EQ(fixedText(loaded, 0, 16), "ABCDEFGH        ");
    EXPECT_FALSE(doc->isModified());
}
